#pragma once

#include "barcodes/TBQGenericBarcode.h"

// Code 128 (ISO/IEC 15417): printable ASCII with automatic choice of the code sets A, B and C and the modulo-103
// check character.
class Code128 : public TBQGenericBarcode {
    FND_OBJECT(Code128)
public:
    // More characters than this leave an error text and no symbol.
    static constexpr fnd::Index MaximumLength = 140;

    fnd::String barcodeName() const override;
    bool autoGenerateChecksum() const override { return true; }
    bool appendChecksumToCaption() const override { return false; }
    // The whole symbol; empty for an empty content, which has no symbol.
    ModuleString completeEncodedBarcode() const override;
    gfx::Rect autoCalcedQuietZone() const override;
    bool supportLeftLightMarginIndicators() const override { return true; }
    bool supportRightLightMarginIndicators() const override { return true; }
    fnd::CharacterSet allowedCharacterSet() const override;
    fnd::String humanReadableAllowedCharacterSet() const override;
    fnd::String validatedContentString() const override;
};
