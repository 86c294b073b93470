#pragma once

#include "barcodes/CodeTwoOfFiveIndustrial.h"

// Matrix 2 of 5: three bars and two spaces per digit, two of the five elements wide.
class CodeTwoOfFiveMatrix : public CodeTwoOfFiveIndustrial {
    FND_OBJECT(CodeTwoOfFiveMatrix)
public:
    fnd::String barcodeName() const override;
    ModuleString encodeChar(unsigned char character) const override;
    ModuleString encodedStartSequence() const override { return "1111101010"; }
    ModuleString encodedStopSequence() const override { return encodedStartSequence(); }
};
