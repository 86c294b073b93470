#pragma once

#include "frameworks/AppKitExtensions/ZORNSBezierPathExtension.h"
#include "platform/foundation/runtime/IndexSet.h"
#include "platform/graphics/BezierPath.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// A partcode names one point of one element of a path: (element index + 1) × 4 + point index, so that any value
// below 4 names nothing. A curve's points are 0 (first control point), 1 (second control point) and 2 (end point);
// a move or line has point 0; a close has none of its own. The on-path point of an element is point 2 of a curve and
// point 0 of anything else.
using ZORPartcode = std::int64_t;

ZORPartcode ZORPartcodeForElement(std::int64_t element);
ZORPartcode ZORPartcodeForElementAndPoint(std::int64_t element, std::int64_t point);

// De Casteljau split of a cubic at t: left = P0, Q0, R0, M and right = M, R1, Q2, P3.
void ZORSplitCubicBezier(const gfx::Point curve[4], double t, gfx::Point left[4], gfx::Point right[4]);

// What a vector drawing editor needs of a path: addressing points by partcode, hit tests, subpath limits, tangents,
// element boxes and a checksum (this header's first half), and moving, inserting and deleting points (the second).
namespace Editing_ZORAppKitExtensions {

using PathPtr = std::shared_ptr<gfx::BezierPath>;

// Flags of the subpath searches.
enum SubpathSearch : std::uint64_t {
    // Starting element: the element after the subpath's move. Ending element: see subpathEndingElementForElement.
    SubpathSearchAfterMove = 0x1,
    // Ending element: stop before the subpath's close.
    SubpathSearchBeforeClose = 0x1000,
};

// Options of moveControlPointPartcode.
enum MoveOptions : std::uint64_t {
    // The opposite handle at the same on-path point stays on the line through it; moving the first point of a
    // closed subpath also moves a closing point lying on it.
    MoveSmoothJoins = 0x1,
    // With MoveSmoothJoins: the opposite handle is mirrored (same length) instead of keeping its own length.
    MoveMirrorsHandles = 0x2,
    // The direction from the reference point snaps to multiples of the constraint angle.
    MoveConstrained = 0x4,
    // Moving a curve's end point moves its first control point by as much.
    MoveFirstControlPointWithEnd = 0x1000,
};

// The index of the first point of the array whose square of side tolerance, centred on it, holds p (minimum edges
// inside, maximum edges outside), searching from the end when reverse; fnd::NotFound when none does.
std::int64_t point(gfx::Point p, std::span<const gfx::Point> inNSPointArray, double tolerance, bool reverse = false);

gfx::BezierPathElement elementTypeForPartcode(const gfx::BezierPath& path, ZORPartcode partcode);
bool isOnPathPartcode(const gfx::BezierPath& path, ZORPartcode partcode);
ZORPartcode partcodeForLastPoint(const gfx::BezierPath& path);
// The first or last point of an open path.
bool isOpenEndPoint(const gfx::BezierPath& path, ZORPartcode partcode);
// Whether the element starts or ends its subpath, which is open.
bool isHeadOrTailPoint(const gfx::BezierPath& path, std::int64_t elementIndex);
gfx::Point controlPointForPartcode(const gfx::BezierPath& path, ZORPartcode partcode);
void setControlPoint(gfx::BezierPath& path, gfx::Point point, ZORPartcode forPartcode);

// The partcode of the point within tolerance of p, searching from the element on; 0 for a miss. With
// prioritiseOnPathPoints, on-path points win over control points lying on them; without, a curve's control points
// are found before the point they hang on.
ZORPartcode partcodeHitByPoint(const gfx::BezierPath& path, gfx::Point p, double tolerance,
    std::int64_t startingFromElement = 0, bool prioritiseOnPathPoints = false);
// The element (index 1 or more) whose segment passes within tolerance of p, with the segment's parameter and the
// nearest point on it; -1 for a miss. Elements are tried in the order of elementBoundsContainsPoint.
std::int64_t elementHitByPoint(
    const gfx::BezierPath& path, gfx::Point p, double tolerance, double* tValue, gfx::Point* nearestPoint = nullptr);
// The nearest point of the element hit, or p.
gfx::Point nearestPointToPoint(const gfx::BezierPath& path, gfx::Point p, double tolerance);
// The first element (from 1) whose box holds p, else the first whose box grown by tolerance does; -1 when none.
std::int64_t elementBoundsContainsPoint(const gfx::BezierPath& path, gfx::Point p, double tolerance);
// The box spanning the element's start point and its points (a curve's whole control polygon); a move's box is the
// zero rectangle.
gfx::Rect boundingBoxForElement(const gfx::BezierPath& path, std::int64_t index);
// Every element's box, equal boxes once, in element order.
std::vector<gfx::Rect> allBoundingBoxes(const gfx::BezierPath& path);
// The boxes a change of the partcode's point affects.
std::vector<gfx::Rect> boundingBoxesForPartcode(const gfx::BezierPath& path, ZORPartcode partcode);
// Strokes every element's box in red with the thinnest line.
void drawElementsBoundingBoxes(const gfx::BezierPath& path);

using ZORNSBezierPathExtension::subpathContainingElementIsClosed;
// The subpath's move (with SubpathSearchAfterMove, the element after it); -1 when there is none.
std::int64_t subpathStartingElementForElement(
    const gfx::BezierPath& path, std::int64_t element, std::uint64_t flags = 0);
// The subpath's last element before the next move (a close does not end the search). With SubpathSearchBeforeClose
// the element before the subpath's close; with SubpathSearchAfterMove the last element before the close (or the
// element after the close when drawing goes on without a move).
std::int64_t subpathEndingElementForElement(const gfx::BezierPath& path, std::int64_t element, std::uint64_t flags = 0);
// Radians: at the start pointing backwards out of the path, at the end along its last segment.
double tangentAtStartOfSubpath(const gfx::BezierPath& path, std::int64_t element);
double tangentAtEndOfSubpath(const gfx::BezierPath& path, std::int64_t element);
void getPathMoveToCount(const gfx::BezierPath& path, std::int64_t* moveToCount, std::int64_t* lineToCount,
    std::int64_t* curveToCount, std::int64_t* closePathCount);
// A hash of the element kinds and the rounded points, to tell whether a path changed.
std::uint64_t checksum(const gfx::BezierPath& path);

// Editing. The constraint angle is shared by every path of the process: pi / 12 until changed. One that is not a
// positive finite number leaves constrained moves free.

double constraintAngle();
void setConstraintAngle(double radians);
// The mirror image of p through centre.
gfx::Point colinearPointForPoint(gfx::Point p, gfx::Point centre);
// The point at radius from centre, on the far side from p.
gfx::Point colinearPointForPoint(gfx::Point p, gfx::Point centre, double radius);
// Handles a and b turned to lie on one line through the vertex, keeping their lengths; the line's direction is the
// mean of the directions a→vertex and vertex→b.
void colineariseVertex(gfx::Point a, gfx::Point vertex, gfx::Point b, gfx::Point* outA, gfx::Point* outB);

// The point a constrained move of the partcode measures its direction from.
gfx::Point referencePointForConstrainedPartcode(const gfx::BezierPath& path, ZORPartcode partcode);
// Moves the point and, as the options ask, the handles and points that depend on it.
void moveControlPointPartcode(gfx::BezierPath& path, ZORPartcode partcode, gfx::Point toPoint, std::uint64_t options);
// A new path without the on-path point (the segments on both sides merge); the path itself for a control point.
PathPtr deleteControlPointForPartcode(const PathPtr& path, ZORPartcode partcode);
// A new path with the segment under p split there: type 0 keeps lines and curves, 1 makes the first half of a curve a
// line, 2 makes the halves of a line straight curves, 3 both. nullptr when no segment is hit.
PathPtr insertControlPointAtPoint(const gfx::BezierPath& path, gfx::Point p, double tolerance, std::int64_t type);
PathPtr bezierPathByRemovingTrailingElements(const gfx::BezierPath& path, std::int64_t count);
PathPtr bezierPathByRemovingElementAtIndex(const PathPtr& path, std::int64_t index);
// Each removed element leaves a gap: drawing goes on with a move to where it ended. The path itself when an index
// lies outside it.
PathPtr bezierPathByRemovingElementsAtIndexes(const PathPtr& path, const fnd::IndexSet& indexes);
// Without lines that go nowhere and curves that are points; curves whose handles lie on their ends become lines.
PathPtr bezierPathByStrippingRedundantElements(const gfx::BezierPath& path);

}
