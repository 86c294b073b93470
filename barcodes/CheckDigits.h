#pragma once

#include <span>
#include <string_view>

// Check characters shared by the symbologies. Digits are '0'..'9' bytes; other bytes are not expected.
namespace CheckDigits {

// The GS1 modulo-10 check digit (EAN, UPC, ITF-14, SSCC): weights 3 and 1 alternate from the rightmost data digit.
int gs1Mod10(std::string_view digits);

// Sum of values[i] × weight, where the rightmost value gets weights[0], the next weights[1], and so on, the weights
// repeating from the start when they run out.
long weightedSumFromRight(std::span<const int> values, std::span<const int> weights);

}
