#pragma once

#include <cstdint>

namespace gfx::detail {

// Paths of rectangles that bitmap contexts have filled straight into their pixels rather than through Cairo, since
// the program started: for tests and benchmarks that need to know which way a fill went.
std::uint64_t directRectangleFillCount();

}
