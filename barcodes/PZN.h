#pragma once

#include "barcodes/Code39.h"

// The German pharmacy product number: seven digits and a modulo-11 check digit in Code 39, with "-" after the start.
class PZN : public Code39 {
    FND_OBJECT(PZN)
public:
    fnd::String barcodeName() const override;
    fnd::CharacterSet allowedCharacterSet() const override;
    fnd::String humanReadableAllowedCharacterSet() const override;
    fnd::Index maximumOfAllowedCharacters() const override { return 7; }
    fnd::Index minimumOfAllowedCharacters() const override { return 7; }
    // Seven digits whose check remainder is 10 are no product number: an error, and nothing to encode.
    fnd::String validatedContentString() const override;
    bool autoGenerateChecksum() const override { return true; }
    ModuleString encodedStartSequence() const override;
    fnd::String caption() const override;
    void generateChecksum() override;
};
