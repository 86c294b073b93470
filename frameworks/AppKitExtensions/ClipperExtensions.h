#pragma once

#include "platform/graphics/BezierPath.h"

#include <cstdint>
#include <memory>

// Boolean operations and offsetting of closed paths through the polygon clipper. Paths are flattened and held to
// a tenth of a unit (ZORClipperConversions.h); every subpath is one outline, an open one taken as closed, and
// outlines combine by the even-odd rule, so a subpath inside another is a hole.
namespace ClipperExtensions {

using PathPtr = std::shared_ptr<gfx::BezierPath>;

// Operation codes as stored by callers.
enum BooleanOperation : std::uint64_t {
    BooleanIntersection = 0,
    BooleanUnion = 1,
    BooleanDifference = 2, // the path minus the other
    BooleanXOR = 3,
};

// A new path; empty for an unknown code or when the clipper fails (coordinates beyond its range, logged).
PathPtr bezierPathByApplyingBooleanOperation(
    const gfx::BezierPath& path, std::uint64_t operation, const gfx::BezierPath& other);
PathPtr bezierPathByIntersectingPath(const gfx::BezierPath& path, const gfx::BezierPath& other);
PathPtr bezierPathByUnionWithPath(const gfx::BezierPath& path, const gfx::BezierPath& other);
PathPtr bezierPathByDifferenceWithPath(const gfx::BezierPath& path, const gfx::BezierPath& other);
PathPtr bezierPathByXORWithPath(const gfx::BezierPath& path, const gfx::BezierPath& other);

// The outline grown (positive offset) or shrunk (negative) by the offset; holes shrink as the shape grows. Miter
// joins are cut at the miter limit (at least 2), bevel joins squared off, round joins rounded. An offset of 0 gives
// the path itself.
PathPtr bezierPathWithOffset(const PathPtr& path, double offset, gfx::LineJoinStyle joinStyle, double miterLimit);
// With the path's own join style and miter limit.
PathPtr bezierPathWithOffset(const PathPtr& path, double offset);

// Whether the first subpath is closed.
bool isClosed(const gfx::BezierPath& path);

}
