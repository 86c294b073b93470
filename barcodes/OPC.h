#pragma once

#include "barcodes/CodeTwoOfFiveInterleaved.h"

// Optical Product Code: nine digits and a Luhn-style check digit, in Interleaved 2 of 5.
class OPC : public CodeTwoOfFiveInterleaved {
    FND_OBJECT(OPC)
public:
    fnd::String barcodeName() const override;
    fnd::Index maximumOfAllowedCharacters() const override { return 9; }
    fnd::Index minimumOfAllowedCharacters() const override { return 9; }
    bool autoGenerateChecksum() const override { return true; }
    // ddddd-dddd-d
    fnd::String caption() const override;
    void generateChecksum() override;
};
