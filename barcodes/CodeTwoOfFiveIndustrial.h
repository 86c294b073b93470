#pragma once

#include "barcodes/TBQGenericBarcode.h"

// Industrial 2 of 5: five bars per digit, two of them wide; the spaces carry no information. The modulo-10 check
// digit is the user's choice.
class CodeTwoOfFiveIndustrial : public TBQGenericBarcode {
    FND_OBJECT(CodeTwoOfFiveIndustrial)
public:
    fnd::String barcodeName() const override;
    ModuleString encodeChar(unsigned char character) const override;
    ModuleString encodedStartSequence() const override { return "1110111010"; }
    ModuleString encodedStopSequence() const override { return "1110101110"; }
    void generateChecksum() override;
};
