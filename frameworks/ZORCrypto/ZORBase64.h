#pragma once

#include "platform/foundation/runtime/Value.h"

#include <optional>

// Base64 with the alphabet and padding of RFC 4648, without line breaks.
namespace ZORBase64 {

// The text as ASCII bytes; an empty input gives an empty result.
fnd::Data encode(const fnd::Data& bytes);
// nullopt unless the text is whole groups of four alphabet characters, with "=" or "==" padding only at the very
// end (and no bits set that the padding drops, so one text decodes to one byte string).
std::optional<fnd::Data> decode(const fnd::Data& text);

}
