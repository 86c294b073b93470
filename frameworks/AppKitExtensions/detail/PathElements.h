#pragma once

#include "platform/graphics/BezierPath.h"

#include <cstdint>

// Small readers of path elements shared by the path categories.
namespace ZORPathElements {

using Kind = gfx::BezierPathElement;

// The element a partcode (element * 4 + 4, point in the low two bits) addresses.
inline std::int64_t elementOf(std::int64_t partcode)
{
    return (partcode >> 2) - 1;
}

// A range exception, as the path class raises, for an index that names no element.
inline Kind kindAt(const gfx::BezierPath& path, std::int64_t index)
{
    return path.elementAtIndex(index);
}

// The index of the move that starts the subpath holding the element (searching backwards); -1 when none.
inline std::int64_t subpathStartIndex(const gfx::BezierPath& path, std::int64_t index)
{
    for (auto i = index; i >= 0; --i)
        if (kindAt(path, i) == Kind::MoveTo)
            return i;
    return -1;
}

// Where the pen stands after the element: a curve's end point, a move's or line's point, and for a close the start
// of its subpath (the zero point when there is none).
inline gfx::Point onPathPoint(const gfx::BezierPath& path, std::int64_t index)
{
    auto kind = kindAt(path, index);
    if (kind == Kind::ClosePath) {
        auto start = subpathStartIndex(path, index);
        return start < 0 ? gfx::Point {} : path.associatedPoints(start)[0];
    }
    auto points = path.associatedPoints(index);
    return kind == Kind::CurveTo ? points[2] : points[0];
}

// The element's first point: a curve's first control point, a close's subpath start.
inline gfx::Point firstAssociatedPoint(const gfx::BezierPath& path, std::int64_t index)
{
    if (kindAt(path, index) == Kind::ClosePath)
        return onPathPoint(path, index);
    return path.associatedPoints(index)[0];
}

}
