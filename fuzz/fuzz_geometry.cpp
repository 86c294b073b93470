// Geometry text forms arrive from stored defaults and archives: any bytes must parse to a value or to zero.
#include "platform/graphics/Geometry.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fnd::String text(std::string_view(reinterpret_cast<const char*>(data), size));
    gfx::Rect r = gfx::rectFromString(text);
    // What parses prints and parses back to the same value.
    if (gfx::rectFromString(gfx::stringFromRect(r)) != r)
        __builtin_trap();
    gfx::pointFromString(text);
    gfx::sizeFromString(text);
    fnd::Range range = gfx::rangeFromString(text);
    if (gfx::rangeFromString(gfx::stringFromRange(range)) != range)
        __builtin_trap();
    return 0;
}
