#pragma once

#include "barcodes/TBQGenericBarcode.h"

// Telepen, ASCII form: every character is its ASCII value with even parity in 16 modules of narrow and wide
// (three modules) elements, and a modulo-127 check character is always drawn, never shown.
class Telepen : public TBQGenericBarcode {
    FND_OBJECT(Telepen)
public:
    fnd::String barcodeName() const override;
    fnd::CharacterSet allowedCharacterSet() const override;
    fnd::String humanReadableAllowedCharacterSet() const override;
    fnd::Index maximumOfAllowedCharacters() const override { return 30; }
    // The pattern of the character's ASCII value (0 to 127); "" above 127.
    ModuleString encodeChar(unsigned char character) const override;
    ModuleString encodedStartSequence() const override;
    ModuleString encodedStopSequence() const override;
    bool autoGenerateChecksum() const override { return true; }
    bool appendChecksumToCaption() const override { return false; }
    void generateChecksum() override;
};
