#pragma once

#include "barcodes/CodeTwoOfFiveIndustrial.h"

// Interleaved 2 of 5: digits in pairs, the first in the bars and the second in the spaces between them.
class CodeTwoOfFiveInterleaved : public CodeTwoOfFiveIndustrial {
    FND_OBJECT(CodeTwoOfFiveInterleaved)
public:
    fnd::String barcodeName() const override;
    ModuleString encodedContent() const override;
    ModuleString encodedStartSequence() const override { return "1010"; }
    ModuleString encodedStopSequence() const override { return "11101"; }
    // With the "0" the bars begin with when their count of digits is odd: the caption shows what a reader reads.
    fnd::String caption() const override;
    // Whether element 0 to 4 of a digit character is narrow (a character that is no digit is all narrow).
    bool _getBarForDigit(int digit, int barNumber) const;

private:
    // The content and its check digit when there is one; the bars put a "0" in front when they are odd in number.
    std::string dataDigits() const;
};
