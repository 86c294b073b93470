#pragma once

#include "barcodes/TBQGenericBarcode.h"

// Code 39 (ISO/IEC 16388): nine elements per character, three of them wide, framed by "*". The check character is
// the user's choice.
class Code39 : public TBQGenericBarcode {
    FND_OBJECT(Code39)
public:
    fnd::String barcodeName() const override;
    fnd::CharacterSet allowedCharacterSet() const override;
    fnd::String humanReadableAllowedCharacterSet() const override;
    ModuleString encodeChar(unsigned char character) const override;
    ModuleString encodedStartSequence() const override;
    ModuleString encodedStopSequence() const override;
    void generateChecksum() override;
    // The value of a character for the check (0 for one not in the table) and the character of a value.
    int indexFromCodeword(unsigned char character) const;
    char charForIndex(int index) const;
};
