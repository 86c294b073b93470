#pragma once

#include <string_view>

// The Code 128 symbol table of ISO/IEC 15417: six element widths per symbol value.
namespace Code128Patterns {

constexpr int Shift = 98;
constexpr int CodeC = 99;
constexpr int CodeB = 100;
constexpr int CodeA = 101;
constexpr int FNC1 = 102;
constexpr int StartA = 103;
constexpr int StartB = 104;
constexpr int StartC = 105;
constexpr std::string_view Stop = "2331112";

// The width pattern of a value 0 to 105.
std::string_view widths(int value);

}
