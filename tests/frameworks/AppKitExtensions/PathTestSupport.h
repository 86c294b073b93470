#pragma once

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Font.h"

#include <numbers>
#include <random>

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

// A seeded random path of one to four subpaths of lines and curves within 0..200, some closed, some drawn on past
// their close, some with a point repeated (a segment of no length).
inline gfx::BezierPath randomPath(std::mt19937& random, int elements = 40)
{
    std::uniform_real_distribution<double> coordinate(0, 200);
    std::uniform_int_distribution<int> pick(0, 9);
    auto point = [&] { return gfx::Point { coordinate(random), coordinate(random) }; };
    gfx::BezierPath path;
    path.moveToPoint(point());
    gfx::Point last = path.currentPoint();
    for (int i = 0; i < elements; ++i) {
        switch (pick(random)) {
        case 0:
            path.moveToPoint(last = point());
            break;
        case 1:
            path.closePath();
            break;
        case 2:
            path.lineToPoint(last);
            break;
        case 3:
        case 4:
        case 5:
            path.curveToPoint(last = point(), point(), point());
            break;
        default:
            path.lineToPoint(last = point());
            break;
        }
    }
    return path;
}

}
