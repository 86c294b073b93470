#pragma once

#include "platform/foundation/runtime/Value.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace gfx::PngTextChunks {

// The uncompressed text chunks (tEXt, and iTXt without compression) of a PNG file's bytes, keyword to text; the
// first chunk of a keyword counts. Stops at the first damaged chunk and keeps what came before it; empty for bytes
// that are not a PNG.
std::map<std::string, std::string> read(const fnd::Data& png);

// The PNG with tEXt chunks for the pairs put right after its header chunk; the bytes unchanged when they do not start
// with a PNG's signature and an intact header chunk. Keywords are 1 to 79 printable Latin-1 characters without a NUL;
// pairs with any other keyword are left out.
fnd::Data withText(const fnd::Data& png, const std::vector<std::pair<std::string, std::string>>& text);

}
