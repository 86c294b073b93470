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

// Code 39, Code 93, Codabar, Code 11, Telepen and the 2 of 5 family. Values are the symbology's character values.
namespace CheckDigits {

// Code 39: the sum of the values, modulo 43.
int code39Mod43(std::span<const int> values);
// PZN: digit × position, positions counted from 1 at the leftmost digit, modulo 11. 10 means no valid number.
int pznMod11(std::string_view digits);
// Code 93: value × weight, weights 1, 2 ... maximumWeight (at most 20) from the rightmost value and round again,
// modulo 47.
int code93Mod47(std::span<const int> values, int maximumWeight);
// Codabar: the value that brings the sum of all values to a multiple of 16.
int codabarMod16(std::span<const int> values);
// Code 11: value × weight, weights 1 to 10 from the rightmost value and round again, modulo 11.
int code11Mod11(std::span<const int> values);
// Telepen: the value that brings the sum of all values to a multiple of 127.
int telepenMod127(std::span<const int> values);
// Identcode and Leitcode: weights 4 and 9 alternate from the leftmost digit.
int identcodeMod10(std::string_view digits);
// OPC: weights 2 and 1 alternate from the leftmost digit, and the digits of each product are added.
int opcMod10(std::string_view digits);

}
