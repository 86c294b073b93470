#include "platform/graphics/BezierPath.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace gfx {

namespace {

constexpr double DegreesToRadians = std::numbers::pi / 180.0;

// cos and sin of an angle in degrees, exact at quarter turns so that arcs meet axis-aligned lines exactly.
Point unitVector(double degrees)
{
    double turns = std::fmod(degrees, 360.0);
    if (turns < 0)
        turns += 360.0;
    if (turns == 0)
        return { 1, 0 };
    if (turns == 90)
        return { 0, 1 };
    if (turns == 180)
        return { -1, 0 };
    if (turns == 270)
        return { 0, -1 };
    return { std::cos(degrees * DegreesToRadians), std::sin(degrees * DegreesToRadians) };
}

Point onCircle(Point c, double r, double degrees)
{
    Point u = unitVector(degrees);
    return { c.x + r * u.x, c.y + r * u.y };
}

// A sweep in degrees reduced to 0..360 in the drawing direction; more than a full turn draws one full turn.
double normalisedSweep(double sweep)
{
    if (sweep >= 360)
        return 360;
    if (sweep < 0) {
        sweep = std::fmod(sweep, 360.0);
        if (sweep < 0)
            sweep += 360;
    }
    return sweep;
}

}

void BezierPath::appendBezierPathWithRect(const Rect& r)
{
    moveToPoint({ r.minX(), r.minY() });
    lineToPoint({ r.maxX(), r.minY() });
    lineToPoint({ r.maxX(), r.maxY() });
    lineToPoint({ r.minX(), r.maxY() });
    closePath();
}

void BezierPath::appendBezierPathWithOvalInRect(const Rect& r)
{
    double cx = r.midX();
    double cy = r.midY();
    double kx = r.width() / 2 * Kappa;
    double ky = r.height() / 2 * Kappa;
    moveToPoint({ r.maxX(), cy });
    curveToPoint({ cx, r.maxY() }, { r.maxX(), cy + ky }, { cx + kx, r.maxY() });
    curveToPoint({ r.minX(), cy }, { cx - kx, r.maxY() }, { r.minX(), cy + ky });
    curveToPoint({ cx, r.minY() }, { r.minX(), cy - ky }, { cx - kx, r.minY() });
    curveToPoint({ r.maxX(), cy }, { cx + kx, r.minY() }, { r.maxX(), cy - ky });
    closePath();
}

void BezierPath::appendBezierPathWithRoundedRect(const Rect& rect, double xRadius, double yRadius)
{
    Rect r = standardizedRect(rect);
    double rx = std::min(xRadius, r.width() / 2);
    double ry = std::min(yRadius, r.height() / 2);
    if (!(rx > 0 && ry > 0)) {
        appendBezierPathWithRect(r);
        return;
    }
    double kx = rx * Kappa;
    double ky = ry * Kappa;
    moveToPoint({ r.minX() + rx, r.minY() });
    lineToPoint({ r.maxX() - rx, r.minY() });
    curveToPoint({ r.maxX(), r.minY() + ry }, { r.maxX() - rx + kx, r.minY() }, { r.maxX(), r.minY() + ry - ky });
    lineToPoint({ r.maxX(), r.maxY() - ry });
    curveToPoint({ r.maxX() - rx, r.maxY() }, { r.maxX(), r.maxY() - ry + ky }, { r.maxX() - rx + kx, r.maxY() });
    lineToPoint({ r.minX() + rx, r.maxY() });
    curveToPoint({ r.minX(), r.maxY() - ry }, { r.minX() + rx - kx, r.maxY() }, { r.minX(), r.maxY() - ry + ky });
    lineToPoint({ r.minX(), r.minY() + ry });
    curveToPoint({ r.minX() + rx, r.minY() }, { r.minX(), r.minY() + ry - ky }, { r.minX() + rx - kx, r.minY() });
    closePath();
}

// Cubic segments of at most a quarter turn each; the current point is already at the start.
static void appendArcSegments(BezierPath& path, Point c, double r, double startDegrees, double sweepDegrees)
{
    if (sweepDegrees == 0)
        return;
    int n = std::max(1, static_cast<int>(std::ceil(std::fabs(sweepDegrees) / 90.0 - 1e-9)));
    double step = sweepDegrees / n;
    double k = 4.0 / 3.0 * std::tan(step * DegreesToRadians / 4) * r;
    for (int i = 0; i < n; ++i) {
        double a0 = startDegrees + step * i;
        double a1 = (i == n - 1) ? startDegrees + sweepDegrees : a0 + step;
        Point u0 = unitVector(a0);
        Point u1 = unitVector(a1);
        Point p0 { c.x + r * u0.x, c.y + r * u0.y };
        Point p3 { c.x + r * u1.x, c.y + r * u1.y };
        path.curveToPoint(p3, { p0.x - k * u0.y, p0.y + k * u0.x }, { p3.x + k * u1.y, p3.y - k * u1.x });
    }
}

void BezierPath::appendBezierPathWithArcWithCenter(
    Point center, double radius, double startAngle, double endAngle, bool clockwise)
{
    double sweep = clockwise ? -normalisedSweep(startAngle - endAngle) : normalisedSweep(endAngle - startAngle);
    Point start = onCircle(center, radius, startAngle);
    if (m_hasCurrentPoint)
        lineToPoint(start);
    else
        moveToPoint(start);
    appendArcSegments(*this, center, radius, startAngle, sweep);
}

void BezierPath::appendBezierPathWithArcFromPoint(Point p1, Point p2, double radius)
{
    requireCurrentPoint("appendBezierPathWithArcFromPoint");
    Point p0 = currentPoint();
    double ax = p0.x - p1.x, ay = p0.y - p1.y;
    double bx = p2.x - p1.x, by = p2.y - p1.y;
    double la = std::hypot(ax, ay), lb = std::hypot(bx, by);
    double cross = ax * by - ay * bx;
    if (radius == 0 || la == 0 || lb == 0 || std::fabs(cross) <= 1e-12 * la * lb) {
        lineToPoint(p1);
        return;
    }
    ax /= la, ay /= la, bx /= lb, by /= lb;
    double half = std::acos(std::clamp(ax * bx + ay * by, -1.0, 1.0)) / 2;
    double along = radius / std::tan(half);
    Point t1 { p1.x + ax * along, p1.y + ay * along };
    Point t2 { p1.x + bx * along, p1.y + by * along };
    double mx = ax + bx, my = ay + by;
    double ml = std::hypot(mx, my);
    double toCentre = radius / std::sin(half);
    Point c { p1.x + mx / ml * toCentre, p1.y + my / ml * toCentre };
    if (t1 != p0)
        lineToPoint(t1);
    double a1 = std::atan2(t1.y - c.y, t1.x - c.x) / DegreesToRadians;
    double a2 = std::atan2(t2.y - c.y, t2.x - c.x) / DegreesToRadians;
    double sweep = std::remainder(a2 - a1, 360.0);
    appendArcSegments(*this, c, std::fabs(radius), a1, sweep);
    // The last segment ends on t2 up to rounding; land on it exactly.
    if (!m_kinds.empty() && m_kinds.back() == BezierPathElement::CurveTo)
        m_points.back() = t2;
}

void BezierPath::appendBezierPathWithPoints(std::span<const Point> points)
{
    if (points.empty())
        return;
    moveToPoint(points[0]);
    for (std::size_t i = 1; i < points.size(); ++i)
        lineToPoint(points[i]);
}

}
