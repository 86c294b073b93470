#pragma once

#include "platform/graphics/Geometry.h"

// Orientation-dependent layout written once: a row of things runs along an axis (panes side by side run along x,
// stacked panes along y), and these helpers pick or set the coordinate along that axis or across it.

namespace gfx {

enum class Axis { X, Y };

constexpr Axis crossAxis(Axis axis)
{
    return axis == Axis::X ? Axis::Y : Axis::X;
}

// Reading.
constexpr double along(Point p, Axis axis)
{
    return axis == Axis::X ? p.x : p.y;
}
constexpr double across(Point p, Axis axis)
{
    return along(p, crossAxis(axis));
}
constexpr double along(Size s, Axis axis)
{
    return axis == Axis::X ? s.width : s.height;
}
constexpr double across(Size s, Axis axis)
{
    return along(s, crossAxis(axis));
}
// A rectangle's start, length and end on an axis.
constexpr double minAlong(const Rect& r, Axis axis)
{
    return along(r.origin, axis);
}
constexpr double lengthAlong(const Rect& r, Axis axis)
{
    return along(r.size, axis);
}
constexpr double maxAlong(const Rect& r, Axis axis)
{
    return minAlong(r, axis) + lengthAlong(r, axis);
}
constexpr double midAlong(const Rect& r, Axis axis)
{
    return minAlong(r, axis) + lengthAlong(r, axis) / 2;
}
constexpr double minAcross(const Rect& r, Axis axis)
{
    return minAlong(r, crossAxis(axis));
}
constexpr double lengthAcross(const Rect& r, Axis axis)
{
    return lengthAlong(r, crossAxis(axis));
}
constexpr double midAcross(const Rect& r, Axis axis)
{
    return midAlong(r, crossAxis(axis));
}
constexpr double maxAcross(const Rect& r, Axis axis)
{
    return maxAlong(r, crossAxis(axis));
}

// Building from values along and across.
constexpr Point pointOnAxis(Axis axis, double alongValue, double acrossValue)
{
    return axis == Axis::X ? Point { alongValue, acrossValue } : Point { acrossValue, alongValue };
}
constexpr Size sizeOnAxis(Axis axis, double alongValue, double acrossValue)
{
    return axis == Axis::X ? Size { alongValue, acrossValue } : Size { acrossValue, alongValue };
}
constexpr Rect rectOnAxis(Axis axis, double alongStart, double acrossStart, double alongLength, double acrossLength)
{
    return { pointOnAxis(axis, alongStart, acrossStart), sizeOnAxis(axis, alongLength, acrossLength) };
}

// Changing one coordinate, the other kept.
constexpr Point withAlong(Point p, Axis axis, double value)
{
    return pointOnAxis(axis, value, across(p, axis));
}
constexpr Size withAlong(Size s, Axis axis, double value)
{
    return sizeOnAxis(axis, value, across(s, axis));
}
constexpr Size withAcross(Size s, Axis axis, double value)
{
    return withAlong(s, crossAxis(axis), value);
}
// The rectangle moved so that it starts at the value, its size kept.
constexpr Rect withMinAlong(const Rect& r, Axis axis, double value)
{
    return { withAlong(r.origin, axis, value), r.size };
}
// The rectangle with that length, its origin kept.
constexpr Rect withLengthAlong(const Rect& r, Axis axis, double value)
{
    return { r.origin, withAlong(r.size, axis, value) };
}
constexpr Rect withLengthAcross(const Rect& r, Axis axis, double value)
{
    return withLengthAlong(r, crossAxis(axis), value);
}
constexpr Rect offsetAlong(const Rect& r, Axis axis, double delta)
{
    return withMinAlong(r, axis, minAlong(r, axis) + delta);
}

}
