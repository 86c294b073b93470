#pragma once

#include "barcodes/TBQGenericBarcode.h"

// Codabar: the user types the start and stop characters (A to D) with the data; an optional modulo-16 check
// character goes before the stop character.
class Codabar : public TBQGenericBarcode {
    FND_OBJECT(Codabar)
public:
    fnd::String barcodeName() const override;
    fnd::CharacterSet allowedCharacterSet() const override;
    fnd::String humanReadableAllowedCharacterSet() const override;
    // A content that does not begin and end with A to D, or has them inside, is an error with nothing to encode.
    fnd::String validatedContentString() const override;
    fnd::String contentForEncoding() const override;
    ModuleString encodedContent() const override;
    fnd::String caption() const override;
    ModuleString encodeChar(unsigned char character) const override;
    void generateChecksum() override;
    // The value of a character (0 when not in the table) and the character of a value.
    int indexFromCodeword(unsigned char character) const;
    char charForIndex(int index) const;
};
