#pragma once

#include <string>
#include <string_view>

// One character per module of width X, left to right: '1' dark, anything else light. Quiet zones are not part of
// it. Width patterns are strings of the digits '1'..'4': element widths alternating bar, space, starting with a bar.
using ModuleString = std::string;

namespace BarcodeExtension {

// Every '0' becomes '1' and every other character '0'.
ModuleString swapHandedness(std::string_view modules);
// swapHandedness, then reversed.
ModuleString swapParity(std::string_view modules);
// The modules of a width pattern; a character other than '1'..'4' is an element of width 0.
ModuleString expandWidthPattern(std::string_view widths);

}

// Small helpers the encoders share; characters are bytes.
// c - '0' for digits, else c - 55 (so 'A' is 10, 'Z' is 35).
int barcodeDigitValue(char c);
// Index of the first occurrence; 0 when absent (as callers expect, absent and index 0 read alike).
int barcodeIndexOfChar(std::string_view text, char c);
// Appends the source to the destination, which grows as needed.
void barcodeAppendString(std::string& destination, std::string_view source);
// Whether the characters at index and index + 1 are both digits.
bool barcodeIsDigitPair(std::string_view text, std::size_t index);
// '0'..'9' for 0..9, 'A'..'Z' for 10..35.
char gs1DigitToChar(int value);
// "(01)", "(100)", "(3100)": the thousands digit from 1000, the hundreds digit above 99, then tens and units.
std::string gs1AIToString(int applicationIdentifier);
