#pragma once

#include "platform/graphics/Geometry.h"

#include <span>
#include <vector>

// Plain functions on points, rectangles and cubic bezier segments, y up. Angles are radians unless said otherwise;
// angle and distance functions work in single precision (atan2 and the hypotenuse of single-precision differences),
// as the path queries built on them expect.

// Points and angles.

// Degrees snapped to a multiple of 45, after reducing them to 0..360: each sector spans 22.5 to either side of its
// multiple, and a boundary belongs to the lower sector (22.5 gives 0, 22.6 gives 45, 350 gives 0).
double QFSnapAngleTo45(double degrees);
double QFAngleBetweenPoints(gfx::Point a, gfx::Point b);
// The angle a→b minus the angle b→c.
double QFTurnAngle(gfx::Point a, gfx::Point b, gfx::Point c);
double QFDistanceBetweenPoints(gfx::Point a, gfx::Point b);
// |a p| / |a b|; 0 when a and b coincide.
double QFFractionAlongSegment(gfx::Point p, gfx::Point a, gfx::Point b);
gfx::Point QFMidPoint(gfx::Point a, gfx::Point b);
gfx::Point QFInterpolatePoints(gfx::Point a, gfx::Point b, double t);
gfx::Point QFAddPoints(gfx::Point a, gfx::Point b);
gfx::Point QFSubtractPoints(gfx::Point a, gfx::Point b);
double QFDotProduct(gfx::Point a, gfx::Point b);
double QFSquaredLength(gfx::Point v);
double QFSquaredDistance(gfx::Point a, gfx::Point b);
bool QFPointsEqualWithTolerance(gfx::Point a, gfx::Point b, double tolerance);

// What QFSegmentIntersection answers for parallel lines or a miss: a point far from any drawing.
inline constexpr gfx::Point QFNoSegmentIntersection { -10000000.2, -999999.6 };
// Where the segment p1–p2 meets the infinite line through p3 and p4, or QFNoSegmentIntersection.
gfx::Point QFSegmentIntersection(gfx::Point p1, gfx::Point p2, gfx::Point p3, gfx::Point p4);
// The projection of p on the segment a–b, clamped to it; a when the segment has no length.
gfx::Point QFNearestPointOnSegment(gfx::Point p, gfx::Point a, gfx::Point b);
// The centre of the circle through three points; NaN coordinates when they lie on one line (no such circle).
gfx::Point QFCircleCentreThroughPoints(gfx::Point a, gfx::Point b, gfx::Point c);

// Cubic segments.

// De Casteljau evaluation at t of the curve with these control points (degree = count - 1, at most 5): returns the
// point at t; left and right, when given, receive the control points of the two parts (as many as the curve has).
gfx::Point QFSubdivideBezier(
    std::span<const gfx::Point> points, double t, gfx::Point* left = nullptr, gfx::Point* right = nullptr);
// The tangent's direction at t (clamped to 0..1), in double precision.
double QFSlopeOfBezierAtT(gfx::Point p0, gfx::Point p1, gfx::Point p2, gfx::Point p3, double t);
// The point of the cubic nearest to p, with its parameter in t when given: the parameters where the curve's tangent
// is perpendicular to the line to p are the roots of a degree-five polynomial, found in Bernstein form.
gfx::Point QFNearestPointOnCurve(
    gfx::Point p0, gfx::Point p1, gfx::Point p2, gfx::Point p3, gfx::Point p, double* t = nullptr);
// The roots in 0..1 of a degree-five polynomial given by its six Bernstein control points (x = i/5, y = the
// coefficient), left to right, by recursive subdivision down to depth 64.
std::vector<double> QFFindRoots(std::span<const gfx::Point, 6> controlPoints, int depth = 0);

// Rectangles.

gfx::Rect QFRectFromPoints(gfx::Point a, gfx::Point b);
gfx::Rect QFRectAtPoint(gfx::Point p);
gfx::Rect QFRectCentredAtOrigin(gfx::Size size);
gfx::Rect QFStandardizedRect(const gfx::Rect& r);
// The smallest rectangle covering both, empty ones included.
gfx::Rect QFUnionRect(const gfx::Rect& r, const gfx::Rect& s);
gfx::Rect QFRectIncludingPoint(const gfx::Rect& r, gfx::Point p);
gfx::Rect QFCentreRectOnPoint(const gfx::Rect& r, gfx::Point p);
gfx::Rect QFScaleRect(const gfx::Rect& r, double sx, double sy);
// Edge 0: x; 1: y; 2: maxX; 3: maxY; any other: 0.
double QFRectEdgeValue(int edge, const gfx::Rect& r);
bool QFRectsEqualWithTolerance(const gfx::Rect& r, const gfx::Rect& s, double tolerance);
// centreOnly false: whether the rectangles intersect; true: whether r's centre lies in s.
bool QFRectHitsRect(bool centreOnly, const gfx::Rect& r, const gfx::Rect& s);
bool QFPointInAnyRect(std::span<const gfx::Rect> rects, gfx::Point p);

// Handles of a rectangle: 0 bottom middle, 1 left middle, 2 top middle, 3 right middle, 4 (minX, minY),
// 5 (maxX, minY), 6 (maxX, maxY), 7 (minX, maxY), 8 centre. Any other index stands at the origin and has no
// opposite (-1).
gfx::Point QFHandlePoint(int handle, const gfx::Rect& r);
bool QFIsCornerHandle(int handle);
int QFOppositeHandle(int handle);
gfx::Point QFOppositeHandlePoint(int handle, const gfx::Rect& r);
// The first handle standing exactly at p; -1 when none.
int QFHandleAtPoint(gfx::Point p, const gfx::Rect& r);
// Drags the handle to p: its edges follow, and when the rectangle turns inside out it is normalised and the handle
// now under the pointer is returned; otherwise the dragged one. Handle 8 moves the whole rectangle.
int QFResizeRectByHandle(gfx::Rect& r, int handle, gfx::Point p);

// r (its size kept) placed in frame: 0 centred, 1 top centre, 2 top left, 3 top right, 4 left middle, 5 bottom
// centre, 6 bottom left, 7 bottom right, 8 right middle; any other value centred.
gfx::Rect QFAlignRectInRect(int alignment, const gfx::Rect& r, const gfx::Rect& frame);
// r sized by the scaling (0: shrunk uniformly to fit only when too large; 1: scaled uniformly to fit; any other:
// frame's size) and then aligned in frame.
gfx::Rect QFFitRectInRect(int scaling, int alignment, const gfx::Rect& r, const gfx::Rect& frame);
