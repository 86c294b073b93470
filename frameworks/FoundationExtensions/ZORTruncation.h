#pragma once

#include "platform/foundation/runtime/String.h"

// Shortening text to a length with an ellipsis.
namespace ZORTruncation {

// "…" (U+2026).
const fnd::String& ellipsis();

// The string itself when it is not longer than the length; else its start followed by "…", at most length units in
// all. The cut never falls inside a character (a surrogate pair or a letter with its marks), so the result may be
// a little shorter; a length of 0 or less gives "".
fnd::String stringWithEllipsisByTruncatingToLength(const fnd::String& string, fnd::Index length);

}
