#pragma once

#include "barcodes/CodeTwoOfFiveInterleaved.h"

// ITF-14: a GTIN-14 in Interleaved 2 of 5, thirteen digits and the check digit.
class ITF14 : public CodeTwoOfFiveInterleaved {
    FND_OBJECT(ITF14)
public:
    fnd::String barcodeName() const override;
    fnd::Index maximumOfAllowedCharacters() const override { return 13; }
    fnd::Index minimumOfAllowedCharacters() const override { return 13; }
    bool autoGenerateChecksum() const override { return true; }
    // d dd ddddd ddddd d
    fnd::String caption() const override;
    gfx::Rect autoCalcedQuietZone() const override;
    bool supportLeftLightMarginIndicators() const override { return true; }
    bool supportRightLightMarginIndicators() const override { return true; }
};
