#pragma once

#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/BezierPath.h"

#include <memory>

class ZORBezierPathIterator;

// Ready-made shapes, queries about a path, pixel-exact guide lines ("help paths"), and the length of a path with
// trimming and the point at a length. The point of an element is its only point for a move or a line, its end point
// for a curve; a close's point is the start of the subpath it closes.
namespace ZORNSBezierPathExtension {

using PathPtr = std::shared_ptr<gfx::BezierPath>;

// Shapes. The bezierPath... functions return a new path, the append... functions add to the given one.

PathPtr bezierPathWithLineFrom(gfx::Point from, gfx::Point to);
PathPtr bezierPathWithRoundedRectangle(const gfx::Rect& rect, double radius);
// From the middle of the top edge, counter-clockwise through four corner arcs, closed. The radius is held to
// 0 .. half the shorter side, so the arcs never overshoot the corners.
void appendBezierPathWithRoundedRectangle(gfx::BezierPath& path, const gfx::Rect& rect, double radius);
// Only the two left (right) corners round.
void appendBezierPathWithLeftRoundedRectangle(gfx::BezierPath& path, const gfx::Rect& rect, double radius);
void appendBezierPathWithRightRoundedRectangle(gfx::BezierPath& path, const gfx::Rect& rect, double radius);
// An L of two open lines along two whole sides, meeting at corner 4 (minX, minY), 5 (maxX, minY), 6 (maxX, maxY) or
// 7 (minX, maxY); any other index gives an empty path.
PathPtr bezierPathWithBleedMarkInRect(const gfx::Rect& rect, int originPointIndex);
// A registration mark: ovals inset by a quarter and a third of the size, the inner oval's diameters and four ticks
// from the edges to the outer oval.
PathPtr bezierPathWithCropMarkInRect(const gfx::Rect& rect);
PathPtr bezierPathWithCrossInRect(const gfx::Rect& rect);
PathPtr bezierPathWith45CrossInRect(const gfx::Rect& rect);

// Queries.

// The point of the first (last) element; the zero point for an empty path or a close.
gfx::Point firstPoint(const gfx::BezierPath& path);
gfx::Point lastPoint(const gfx::BezierPath& path);
// Degrees: the direction from the path's first point to its second (a curve's first control point).
double startAngle(const gfx::BezierPath& path);
// startAngle of the reversed path.
double endAngle(const gfx::BezierPath& path);
// Radians from the point of element 0 to the first point of element 1; 0 with fewer than two elements.
double slopeStartingPath(const gfx::BezierPath& path);
// Whether the first subpath is closed.
bool isPathClosed(const gfx::BezierPath& path);
// Whether the subpath holding the element has a close before the next move. False for an index outside the path.
bool subpathContainingElementIsClosed(const gfx::BezierPath& path, std::int64_t index);
// An empty path, or one closed subpath of four lines around the corners of its bounds, each edge axis-aligned.
bool isRectangular(const gfx::BezierPath& path);
// The first on-path point whose x and y both differ from point by less than padding; otherwise point.
gfx::Point positionOfPointAtPoint(const gfx::BezierPath& path, gfx::Point point, double padding);

std::shared_ptr<ZORBezierPathIterator> pathIterator(const std::shared_ptr<const gfx::BezierPath>& path);
// Over a flattened copy when flatness is not 0 (the path and the class defaults keep their own flatness), reversed
// when asked, with every point passed through the transform.
std::shared_ptr<ZORBezierPathIterator> pathIteratorWithTransform(
    const gfx::BezierPath& path, const gfx::AffineTransform& transform, double flatness, bool reversePath);

// Help paths: drawn in device space on pixel centres, so a line width of 0 covers exactly one row or column of
// device pixels whatever the current transform. Antialiasing is off unless asked for.

void strokeAsHelpPath(const gfx::BezierPath& path);
void strokeAsHelpPathWithLineWidth(const gfx::BezierPath& path, double lineWidth, bool antiAliasing);
void fillAsHelpPath(const gfx::BezierPath& path);
void fillAsHelpPathWithAntiAliasing(const gfx::BezierPath& path, bool antiAliasing);

// Lengths. Curves are measured by adaptive subdivision until a piece's control polygon exceeds its chord by no
// more than maximumError (0.1 where not given).

double length(const gfx::BezierPath& path);
double lengthWithMaximumError(const gfx::BezierPath& path, double maximumError);
// -1 for an index outside the path, 0 for element 0 and for moves; a close measures back to its subpath's start.
double lengthOfElement(const gfx::BezierPath& path, std::int64_t index);
// The sum over the elements first..last, both clamped to the path.
double lengthOfPathFromElement(const gfx::BezierPath& path, std::int64_t first, std::int64_t last);

// Trimming. The path itself comes back when nothing is cut off.

// The first `length` of the path; a length of 0 or less leaves only the first move.
PathPtr bezierPathByTrimmingToLength(const PathPtr& path, double length, double maximumError = 0.1);
// The path without its first `length`; empty when that is the whole path.
PathPtr bezierPathByTrimmingFromLength(const PathPtr& path, double length, double maximumError = 0.1);
// `length` of the path from `start` on.
PathPtr bezierPathByTrimmingFromLength(const PathPtr& path, double start, double length, double maximumError);
inline PathPtr bezierPathByTrimmingFromLengthToLength(const PathPtr& path, double start, double length)
{
    return bezierPathByTrimmingFromLength(path, start, length, 0.1);
}
// Without `amount` at both ends.
PathPtr bezierPathByTrimmingFromBothEnds(const PathPtr& path, double amount, double maximumError = 0.1);
// Without a piece of `amount` out of the middle: the first half up to it, then the rest.
PathPtr bezierPathByTrimmingFromCentre(const PathPtr& path, double amount, double maximumError = 0.1);

// The point at a distance along the path, and the direction there in radians through slope when given. With fewer
// than two elements: the zero point, slope untouched.
gfx::Point pointOnPathAtLength(const gfx::BezierPath& path, double length, double* slope = nullptr);

}

namespace ZORNSBezierPathExtensionPrivat {

// Every point to the centre of its device pixel: (round(x) + 0.5, round(y) + 0.5).
void normalizeBezierPath(gfx::BezierPath& path);

}
