#pragma once

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Font.h"

#include <numbers>

// What the path tests share: a straight path and the font text is set along paths in.
namespace pathtest {

inline constexpr double Pi = std::numbers::pi;

// The straight path from a to b.
inline gfx::BezierPath line(gfx::Point a, gfx::Point b)
{
    gfx::BezierPath path;
    path.moveToPoint(a);
    path.lineToPoint(b);
    return path;
}

inline const auto font = gfx::Font::fontWithName("DejaVu Sans", 24);

// How far the font advances for the character.
inline double advanceOf(char32_t c)
{
    return font->advancementForGlyph(font->glyphForCharacter(c)).width;
}

}
