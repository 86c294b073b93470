#pragma once

#include "barcodes/TBQGenericBarcode.h"

#include <string_view>

// Code 93: six elements of one to four modules per character, two modulo-47 check characters (always drawn, never
// shown) and a termination bar after the stop character.
class Code93 : public TBQGenericBarcode {
    FND_OBJECT(Code93)
public:
    fnd::String barcodeName() const override;
    fnd::CharacterSet allowedCharacterSet() const override;
    fnd::String humanReadableAllowedCharacterSet() const override;
    ModuleString encodeChar(unsigned char character) const override;
    ModuleString encodedStartSequence() const override;
    ModuleString encodedStopSequence() const override;
    bool autoGenerateChecksum() const override { return true; }
    bool appendChecksumToCaption() const override { return false; }
    void generateChecksum() override;
    // The weighted sum modulo 47 of a text, weights 1 to maximumWeight counted from its rightmost character.
    int checksumForString(std::string_view text, int maximumWeight) const;
    // The value of a character (0 when not in the table) and the character of a value ("0" when none has it).
    int indexFromCodeword(unsigned char character) const;
    char charForIndex(int index) const;
};
