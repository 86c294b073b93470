#include "frameworks/AppKitExtensions/QFGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

using gfx::Point;

double QFSnapAngleTo45(double degrees)
{
    double a = std::fmod(degrees, 360.0);
    if (a < 0)
        a += 360.0;
    if (a <= 22.5 || a > 337.5)
        return 0;
    return 45.0 * std::ceil((a - 22.5) / 45.0);
}

double QFAngleBetweenPoints(Point a, Point b)
{
    return std::atan2(static_cast<float>(b.y - a.y), static_cast<float>(b.x - a.x));
}

double QFTurnAngle(Point a, Point b, Point c)
{
    return QFAngleBetweenPoints(a, b) - QFAngleBetweenPoints(b, c);
}

double QFDistanceBetweenPoints(Point a, Point b)
{
    return std::hypot(static_cast<float>(b.x - a.x), static_cast<float>(b.y - a.y));
}

double QFFractionAlongSegment(Point p, Point a, Point b)
{
    double whole = QFDistanceBetweenPoints(a, b);
    return whole == 0 ? 0 : QFDistanceBetweenPoints(a, p) / whole;
}

Point QFMidPoint(Point a, Point b)
{
    return { (a.x + b.x) / 2, (a.y + b.y) / 2 };
}

Point QFInterpolatePoints(Point a, Point b, double t)
{
    return { a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t };
}

Point QFAddPoints(Point a, Point b)
{
    return { a.x + b.x, a.y + b.y };
}

Point QFSubtractPoints(Point a, Point b)
{
    return { a.x - b.x, a.y - b.y };
}

double QFDotProduct(Point a, Point b)
{
    return a.x * b.x + a.y * b.y;
}

double QFSquaredLength(Point v)
{
    return v.x * v.x + v.y * v.y;
}

double QFSquaredDistance(Point a, Point b)
{
    return QFSquaredLength(QFSubtractPoints(a, b));
}

bool QFPointsEqualWithTolerance(Point a, Point b, double tolerance)
{
    return std::fabs(a.x - b.x) <= tolerance && std::fabs(a.y - b.y) <= tolerance;
}

Point QFSegmentIntersection(Point p1, Point p2, Point p3, Point p4)
{
    double d = (p2.x - p1.x) * (p4.y - p3.y) - (p2.y - p1.y) * (p4.x - p3.x);
    if (d == 0)
        return QFNoSegmentIntersection;
    double t = ((p1.y - p3.y) * (p4.x - p3.x) - (p1.x - p3.x) * (p4.y - p3.y)) / d;
    if (t < 0 || t > 1)
        return QFNoSegmentIntersection;
    return QFInterpolatePoints(p1, p2, t);
}

Point QFNearestPointOnSegment(Point p, Point a, Point b)
{
    Point ab = QFSubtractPoints(b, a);
    double lengthSquared = QFSquaredLength(ab);
    if (lengthSquared == 0)
        return a;
    double t = QFDotProduct(QFSubtractPoints(p, a), ab) / lengthSquared;
    if (t <= 0)
        return a;
    if (t >= 1)
        return b;
    return QFInterpolatePoints(a, b, t);
}

Point QFCircleCentreThroughPoints(Point a, Point b, Point c)
{
    double s = a.x * a.x + a.y * a.y;
    double u = b.x * b.x + b.y * b.y - s;
    double v = c.x * c.x + c.y * c.y - s;
    double k = 2 * ((b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y));
    if (k == 0) {
        constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
        return { NaN, NaN };
    }
    return { (u * (c.y - a.y) - (b.y - a.y) * v) / k, (v * (b.x - a.x) - (c.x - a.x) * u) / k };
}
