#pragma once

#include "platform/foundation/String.h"

namespace ZORFormatPattern {

// Text to put after the number part of a number-formatter format. Translated texts may hold characters a format
// reads as digits or separators; those texts are quoted so they still show literally.
fnd::String literal(const fnd::String& text);

// "#0" followed by "." and one "0" per digit after the point (no point for 0 digits).
fnd::String numberPart(unsigned digitsAfterPoint);

}
