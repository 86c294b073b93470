#pragma once

#include "platform/graphics/BezierPath.h"

#include <cstdint>
#include <memory>

// Boolean operations and offsetting of closed paths through the polygon clipper. Paths are flattened and held to
// a tenth of a unit (ZORClipperConversions.h); every subpath is one outline, an open one taken as closed, and
// outlines combine by the even-odd rule, so a subpath inside another is a hole.
namespace ClipperExtensions {

using PathPtr = std::shared_ptr<gfx::BezierPath>;

// An operation too large for the clipper is refused, and the caller is told by no path at all (a null pointer),
// which no result is: an empty intersection, or a shape shrunk away, is an empty path. The clipper is handed at
// most so many points of both paths together, flattened (the polygons and the result take some 16 bytes a point);
inline constexpr std::int64_t ClipperPathPointLimit = 16000000;
// so many points in one run (outlines whose boundaries meet go to it together; it holds some 200 bytes a point);
inline constexpr std::int64_t ClipperRunPointLimit = 2000000;
// and so many steps of one run's sweep, which grow with the square of the points where outlines of many teeth lie
// side by side (two combs of 20,000 points laid over each other take 1.2e9 steps, some two seconds).
inline constexpr double ClipperRunSweepLimit = 1.5e9;

// Operation codes as stored by callers.
enum BooleanOperation : std::uint64_t {
    BooleanIntersection = 0,
    BooleanUnion = 1,
    BooleanDifference = 2, // the path minus the other
    BooleanXOR = 3,
};

// A new path: empty for an unknown code or when the clipper fails (coordinates beyond its range, logged), none when
// refused as too large. Outlines whose boundaries do not meet are combined apart, each part knowing which outlines
// of the others enclose it, so a path of many separate pieces costs what each piece costs on its own.
PathPtr bezierPathByApplyingBooleanOperation(
    const gfx::BezierPath& path, std::uint64_t operation, const gfx::BezierPath& other);
PathPtr bezierPathByIntersectingPath(const gfx::BezierPath& path, const gfx::BezierPath& other);
PathPtr bezierPathByUnionWithPath(const gfx::BezierPath& path, const gfx::BezierPath& other);
PathPtr bezierPathByDifferenceWithPath(const gfx::BezierPath& path, const gfx::BezierPath& other);
PathPtr bezierPathByXORWithPath(const gfx::BezierPath& path, const gfx::BezierPath& other);

// The outline grown (positive offset) or shrunk (negative) by the offset; holes shrink as the shape grows. Miter
// joins are cut at the miter limit (at least 2), bevel joins squared off, round joins rounded. An offset of 0 gives
// the path itself; none when refused as too large.
PathPtr bezierPathWithOffset(const PathPtr& path, double offset, gfx::LineJoinStyle joinStyle, double miterLimit);
// With the path's own join style and miter limit.
PathPtr bezierPathWithOffset(const PathPtr& path, double offset);

// Whether the first subpath is closed.
bool isClosed(const gfx::BezierPath& path);

}
