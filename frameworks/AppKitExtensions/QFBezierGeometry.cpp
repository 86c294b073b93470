// The cubic-segment functions of QFGeometry.h: subdivision, slope and the nearest point, which turns into root
// finding on a degree-five polynomial in Bernstein form.

#include "frameworks/AppKitExtensions/QFGeometry.h"

#include <algorithm>
#include <array>
#include <cmath>

using gfx::Point;

namespace {

constexpr int MaximumDepth = 64;
// Half the spread of a control polygon's intercepts below which it counts as a straight line.
const double FlatnessEpsilon = std::ldexp(1.0, -(MaximumDepth + 1));

constexpr int MaximumDegree = 5;

int signOf(double v)
{
    return v < 0 ? -1 : 1;
}

int crossingCount(std::span<const Point, 6> w)
{
    int crossings = 0;
    int previous = signOf(w[0].y);
    for (std::size_t i = 1; i < w.size(); ++i) {
        int sign = signOf(w[i].y);
        if (sign != previous)
            ++crossings;
        previous = sign;
    }
    return crossings;
}

// Whether the control polygon lies close enough to its chord that the chord's x-intercept is the root.
bool controlPolygonFlatEnough(std::span<const Point, 6> w)
{
    constexpr std::size_t last = 5;
    // The chord as a x + b y + c = 0.
    double a = w[0].y - w[last].y;
    double b = w[last].x - w[0].x;
    double c = w[0].x * w[last].y - w[last].x * w[0].y;
    double abSquared = a * a + b * b;
    double above = 0, below = 0;
    for (std::size_t i = 1; i < last; ++i) {
        double d = a * w[i].x + b * w[i].y + c;
        double signedSquare = (d > 0 ? 1 : -1) * d * d / abSquared;
        above = std::max(above, signedSquare);
        below = std::min(below, signedSquare);
    }
    // Where the two lines parallel to the chord at those distances cross the x axis.
    auto intercept = [&](double offset) { return -(c + offset) / a; };
    double i1 = intercept(above), i2 = intercept(below);
    double error = 0.5 * (std::max(i1, i2) - std::min(i1, i2));
    return error < FlatnessEpsilon;
}

double chordXIntercept(std::span<const Point, 6> w)
{
    double dx = w[5].x - w[0].x, dy = w[5].y - w[0].y;
    return w[0].x - w[0].y * dx / dy;
}

}

Point QFSubdivideBezier(std::span<const Point> points, double t, Point* left, Point* right)
{
    const std::size_t n = std::min<std::size_t>(points.size(), MaximumDegree + 1);
    if (n == 0)
        return {};
    std::array<Point, MaximumDegree + 1> row {};
    std::copy_n(points.begin(), n, row.begin());
    if (left)
        left[0] = row[0];
    if (right)
        right[n - 1] = row[n - 1];
    for (std::size_t level = 1; level < n; ++level) {
        for (std::size_t i = 0; i + level < n; ++i)
            row[i] = QFInterpolatePoints(row[i], row[i + 1], t);
        if (left)
            left[level] = row[0];
        if (right)
            right[n - 1 - level] = row[n - 1 - level];
    }
    return row[0];
}

double QFSlopeOfBezierAtT(Point p0, Point p1, Point p2, Point p3, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    double cx = 3 * (p1.x - p0.x), bx = 3 * (p2.x - p1.x) - cx, ax = p3.x - p0.x - cx - bx;
    double cy = 3 * (p1.y - p0.y), by = 3 * (p2.y - p1.y) - cy, ay = p3.y - p0.y - cy - by;
    return std::atan2(cy + 2 * by * t + 3 * ay * t * t, cx + 2 * bx * t + 3 * ax * t * t);
}

std::vector<double> QFFindRoots(std::span<const Point, 6> w, int depth)
{
    int crossings = crossingCount(w);
    if (crossings == 0)
        return {};
    if (crossings == 1) {
        if (depth >= MaximumDepth)
            return { (w[0].x + w[5].x) / 2 };
        if (controlPolygonFlatEnough(w))
            return { chordXIntercept(w) };
    }
    std::array<Point, 6> left, right;
    QFSubdivideBezier(w, 0.5, left.data(), right.data());
    auto roots = QFFindRoots(left, depth + 1);
    auto more = QFFindRoots(right, depth + 1);
    roots.insert(roots.end(), more.begin(), more.end());
    return roots;
}

Point QFNearestPointOnCurve(Point p0, Point p1, Point p2, Point p3, Point p, double* tOut)
{
    const std::array<Point, 4> v { p0, p1, p2, p3 };
    // (curve - p) · curve' as a degree-five Bernstein polynomial.
    static constexpr double weights[3][4] = {
        { 1.0, 0.6, 0.3, 0.1 },
        { 0.4, 0.6, 0.6, 0.4 },
        { 0.1, 0.3, 0.6, 1.0 },
    };
    std::array<Point, 4> c;
    std::array<Point, 3> d;
    for (std::size_t i = 0; i < 4; ++i)
        c[i] = QFSubtractPoints(v[i], p);
    for (std::size_t i = 0; i < 3; ++i)
        d[i] = { 3 * (v[i + 1].x - v[i].x), 3 * (v[i + 1].y - v[i].y) };
    std::array<Point, 6> w;
    for (std::size_t i = 0; i < 6; ++i)
        w[i] = { static_cast<double>(i) / 5.0, 0.0 };
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 4; ++j)
            w[i + j].y += QFDotProduct(d[i], c[j]) * weights[i][j];

    std::vector<double> candidates { 0.0 };
    for (double root : QFFindRoots(w))
        candidates.push_back(root);
    candidates.push_back(1.0);

    Point best = p0;
    double bestT = 0, bestDistance = INFINITY;
    for (double t : candidates) {
        Point q = QFSubdivideBezier(v, t);
        double distance = QFSquaredDistance(q, p);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = q;
            bestT = t;
        }
    }
    if (tOut)
        *tOut = bestT;
    return best;
}
