#pragma once

#include "platform/graphics/Geometry.h"

#include <cstdint>

namespace txt {
class LayoutManager;
}

// What happens to each glyph laid along a path: told once per glyph placed, in glyph order. location is where the
// glyph's line box starts (its top corner before the glyph's advance, on the path's start side), angle the path's
// direction there in radians; yOffset is the caller's offset of the text from the path, for the helper to apply.
class TextOnPathPlacement {
public:
    virtual ~TextOnPathPlacement() = default;
    virtual void layoutManager(txt::LayoutManager& layoutManager, std::uint64_t willPlaceGlyphAtIndex,
        gfx::Point atLocation, double pathAngle, double yOffset)
        = 0;
};
