#pragma once

#include "platform/foundation/runtime/String.h"

#include <cstdint>

namespace fnd {
class NumberFormatter;
}

namespace ZORFormatPattern {

// Text to put after the number part of a number-formatter format. Translated texts may hold characters a format
// reads as digits or separators; those texts are quoted so they still show literally.
fnd::String literal(const fnd::String& text);

// "#0" followed by "." and one "0" per digit after the point (no point for 0 digits).
fnd::String numberPart(unsigned digitsAfterPoint);

// The number fields' format, set on the formatter: numberPart, then the suffix of the show type (0 none, 1 percent,
// 2 degree, any other per inch) from the framework's table "ZORNumberTextField"; localised separators, no grouping.
void setSuffixedNumberFormat(fnd::NumberFormatter& formatter, std::int32_t showType, unsigned digitsAfterPoint);

}
