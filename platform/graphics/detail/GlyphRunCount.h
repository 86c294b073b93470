#pragma once

#include <cstdint>

namespace gfx::detail {

// Glyph runs that bitmap and window contexts have drawn straight into their pixels rather than through Cairo, since
// the program started: for tests that need to know which way a run went.
std::uint64_t directGlyphRunCount();

}
