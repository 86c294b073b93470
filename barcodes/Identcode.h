#pragma once

#include "barcodes/CodeTwoOfFiveInterleaved.h"

// Identcode: a parcel-service number of eleven digits and a check digit, in Interleaved 2 of 5.
class Identcode : public CodeTwoOfFiveInterleaved {
    FND_OBJECT(Identcode)
public:
    fnd::String barcodeName() const override;
    fnd::Index maximumOfAllowedCharacters() const override { return 11; }
    fnd::Index minimumOfAllowedCharacters() const override { return 11; }
    bool autoGenerateChecksum() const override { return true; }
    // dd.ddd ddd.ddd d
    fnd::String caption() const override;
    void generateChecksum() override;
};
