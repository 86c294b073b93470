#pragma once

#include "platform/foundation/runtime/Geometry.h"
#include "platform/foundation/runtime/Range.h"
#include "platform/foundation/runtime/String.h"

#include <utility>

// Operations on the plain geometry values. Rectangles are y up; the "flipped" variants are for y-down views.

namespace gfx {

struct EdgeInsets {
    double top { 0 };
    double left { 0 };
    double bottom { 0 };
    double right { 0 };
    constexpr bool operator==(const EdgeInsets&) const = default;
};

enum class RectEdge { MinX = 0, MinY = 1, MaxX = 2, MaxY = 3 };

inline constexpr Point ZeroPoint {};
inline constexpr Size ZeroSize {};
inline constexpr Rect ZeroRect {};

// Min edges inside, max edges outside; an empty rectangle contains nothing.
bool pointInRect(Point p, const Rect& r);
// The pointer test of a view: with y up the bottom edge is outside and the top edge inside; a flipped view tests as
// pointInRect does.
bool mouseInRect(Point p, const Rect& r, bool flipped);
// Both rectangles non-empty and overlapping with a positive area.
bool intersectsRect(const Rect& a, const Rect& b);
// The zero rectangle when they do not overlap.
Rect intersectionRect(const Rect& a, const Rect& b);
// An empty rectangle does not take part; two empty ones give the zero rectangle.
Rect unionRect(const Rect& a, const Rect& b);
// b is not empty and lies wholly inside a.
bool containsRect(const Rect& a, const Rect& b);
constexpr Rect insetRect(const Rect& r, double dx, double dy)
{
    return { r.origin.x + dx, r.origin.y + dy, r.size.width - 2 * dx, r.size.height - 2 * dy };
}
// Insets on a y-up rectangle: top shrinks from maxY, bottom from minY.
constexpr Rect insetRect(const Rect& r, const EdgeInsets& in)
{
    return { r.origin.x + in.left, r.origin.y + in.bottom, r.size.width - in.left - in.right,
        r.size.height - in.top - in.bottom };
}
constexpr Rect offsetRect(const Rect& r, double dx, double dy)
{
    return { r.origin.x + dx, r.origin.y + dy, r.size.width, r.size.height };
}
// The smallest rectangle with whole-number edges enclosing r; an empty rectangle gives the zero rectangle.
Rect integralRect(const Rect& r);
// Cuts a slice of `amount` (clamped to 0 .. the side) off the given edge; returns {slice, remainder}.
std::pair<Rect, Rect> divideRect(const Rect& r, double amount, RectEdge edge);
// A rectangle with a non-negative size covering the same area.
Rect standardizedRect(const Rect& r);

bool nearlyEqual(double a, double b, double tolerance = 1e-9);
bool nearlyEqual(Point a, Point b, double tolerance = 1e-9);
bool nearlyEqual(Size a, Size b, double tolerance = 1e-9);
bool nearlyEqual(const Rect& a, const Rect& b, double tolerance = 1e-9);

// Text forms "{x, y}", "{w, h}", "{{x, y}, {w, h}}" and "{loc, len}", numbers in their shortest exact form. Parsing
// is lenient about spaces; text that does not parse gives the zero value.
fnd::String stringFromPoint(Point p);
fnd::String stringFromSize(Size s);
fnd::String stringFromRect(const Rect& r);
fnd::String stringFromRange(fnd::Range r);
Point pointFromString(const fnd::String& s);
Size sizeFromString(const fnd::String& s);
Rect rectFromString(const fnd::String& s);
fnd::Range rangeFromString(const fnd::String& s);

}
