#pragma once

#include "platform/foundation/runtime/String.h"

#include <cstdint>

namespace fnd {
class Coder;
class NumberFormatter;
}

namespace ZORFormatPattern {

// Text to put after the number part of a number-formatter format. Translated texts may hold characters a format
// reads as digits or separators; those texts are quoted so they still show literally.
fnd::String literal(const fnd::String& text);

// Digits after the point of the number formats. A double carries about 15 significant digits, so more only show zeros,
// and a format of millions of them takes seconds and gigabytes to build: setters clamp to this bound and decoders
// refuse an archive beyond it.
inline constexpr std::uint32_t MaximumDigitsAfterPoint = 15;
std::uint32_t clampedDigitsAfterPoint(std::int64_t digits);
// Reads "numberOfDigitsAfterPoint" into digits when the coder has it; a value beyond the bound fails the coder (and
// leaves digits as they were). False when the coder has failed.
bool decodeDigitsAfterPoint(fnd::Coder& coder, std::uint32_t& digits);

// "#0" followed by "." and one "0" per digit after the point (no point for 0 digits).
fnd::String numberPart(unsigned digitsAfterPoint);

// The number fields' format, set on the formatter: numberPart, then the suffix of the show type (0 none, 1 percent,
// 2 degree, any other per inch) from the framework's table "ZORNumberTextField"; localised separators, no grouping.
void setSuffixedNumberFormat(fnd::NumberFormatter& formatter, std::int32_t showType, unsigned digitsAfterPoint);

}
