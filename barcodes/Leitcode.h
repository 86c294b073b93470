#pragma once

#include "barcodes/CodeTwoOfFiveInterleaved.h"

// Leitcode: a parcel-service routing number of thirteen digits and a check digit, in Interleaved 2 of 5.
class Leitcode : public CodeTwoOfFiveInterleaved {
    FND_OBJECT(Leitcode)
public:
    fnd::String barcodeName() const override;
    fnd::Index maximumOfAllowedCharacters() const override { return 13; }
    fnd::Index minimumOfAllowedCharacters() const override { return 13; }
    bool autoGenerateChecksum() const override { return true; }
    // ddddd.ddd.ddd.dd d
    fnd::String caption() const override;
    void generateChecksum() override;
};
