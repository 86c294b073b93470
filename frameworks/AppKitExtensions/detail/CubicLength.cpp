#include "frameworks/AppKitExtensions/detail/CubicLength.h"

#include "frameworks/AppKitExtensions/QFGeometry.h"

#include <cmath>

namespace ZORCubicLength {

namespace {

// Deep enough for any sensible error on any drawable curve; it stops a zero or meaningless error from recursing
// without end.
constexpr int MaximumDepth = 16;

double lengthAtDepth(const Cubic& c, double maximumError, int depth)
{
    double chord = QFDistanceBetweenPoints(c.p0, c.p3);
    double polygon = QFDistanceBetweenPoints(c.p0, c.p1) + QFDistanceBetweenPoints(c.p1, c.p2)
        + QFDistanceBetweenPoints(c.p2, c.p3);
    if (polygon - chord > maximumError && depth < MaximumDepth) {
        auto [left, right] = splitAt(c, 0.5);
        return lengthAtDepth(left, maximumError, depth + 1) + lengthAtDepth(right, maximumError, depth + 1);
    }
    return (chord + polygon) / 2;
}

}

std::pair<Cubic, Cubic> splitAt(const Cubic& c, double t)
{
    gfx::Point p01 = QFInterpolatePoints(c.p0, c.p1, t);
    gfx::Point p12 = QFInterpolatePoints(c.p1, c.p2, t);
    gfx::Point p23 = QFInterpolatePoints(c.p2, c.p3, t);
    gfx::Point p012 = QFInterpolatePoints(p01, p12, t);
    gfx::Point p123 = QFInterpolatePoints(p12, p23, t);
    gfx::Point p0123 = QFInterpolatePoints(p012, p123, t);
    return { { c.p0, p01, p012, p0123 }, { p0123, p123, p23, c.p3 } };
}

double length(const Cubic& curve, double maximumError)
{
    return lengthAtDepth(curve, maximumError, 0);
}

std::pair<Cubic, Cubic> splitAtLength(const Cubic& curve, double length, double maximumError)
{
    double t = 0.5, low = 0, high = 1;
    auto parts = splitAt(curve, t);
    for (;;) {
        double measured = ZORCubicLength::length(parts.first, maximumError / 2);
        if (std::fabs(length - measured) < maximumError)
            break;
        double next = length > measured ? (high + t) / 2 : (low + t) / 2;
        if (length > measured)
            low = t;
        else
            high = t;
        if (next == t)
            break;
        t = next;
        parts = splitAt(curve, t);
    }
    return parts;
}

}
