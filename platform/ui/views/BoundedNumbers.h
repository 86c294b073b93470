#pragma once

#include "platform/foundation/runtime/Geometry.h"

namespace ui {

// The largest coordinate or length a view, cell or control keeps: ten million points is far beyond any screen. A
// view archive holds no more, and no edge or sum computed from such numbers overflows.
inline constexpr double LargestCoordinate = 1e7;

// A number a setter was given, as the object keeps it: within [minimum, maximum] (an infinity, or a number beyond a
// bound, is taken as that bound), and `current` in place of NaN, which has no place at all.
constexpr double boundedNumber(double wanted, double minimum, double maximum, double current)
{
    if (wanted != wanted)
        return current;
    return wanted < minimum ? minimum : wanted > maximum ? maximum : wanted;
}

// A length (a size, a spacing, a width): from 0 to LargestCoordinate.
constexpr double boundedLength(double wanted, double current)
{
    return boundedNumber(wanted, 0, LargestCoordinate, current);
}

constexpr gfx::Size boundedSize(gfx::Size wanted, gfx::Size current)
{
    return { boundedLength(wanted.width, current.width), boundedLength(wanted.height, current.height) };
}

// A coordinate: within LargestCoordinate of 0.
constexpr double boundedCoordinate(double wanted, double current)
{
    return boundedNumber(wanted, -LargestCoordinate, LargestCoordinate, current);
}

constexpr gfx::Point boundedPoint(gfx::Point wanted, gfx::Point current)
{
    return { boundedCoordinate(wanted.x, current.x), boundedCoordinate(wanted.y, current.y) };
}

}
