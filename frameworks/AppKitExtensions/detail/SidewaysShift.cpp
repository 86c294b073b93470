#include "frameworks/AppKitExtensions/detail/SidewaysShift.h"

#include <cmath>
#include <vector>

namespace ZORSidewaysShift {

namespace {

using gfx::Point;

// A sharp corner's mitre is cut off beyond this multiple of the distance.
constexpr double MiterLimit = 4.0;

Point unitNormal(Point a, Point b, double side)
{
    double dx = b.x - a.x, dy = b.y - a.y, length = std::hypot(dx, dy);
    return { -side * dy / length, side * dx / length };
}

void emit(gfx::BezierPath& out, std::vector<Point> points, bool closed, double distance, double side)
{
    // Repeated points have no direction.
    std::vector<Point> unique;
    for (Point p : points)
        if (unique.empty() || unique.back() != p)
            unique.push_back(p);
    if (closed && unique.size() > 1 && unique.front() == unique.back())
        unique.pop_back();
    const std::size_t n = unique.size();
    if (n < 2)
        return;
    const std::size_t segments = closed ? n : n - 1;
    std::vector<Point> normals(segments);
    for (std::size_t i = 0; i < segments; ++i)
        normals[i] = unitNormal(unique[i], unique[(i + 1) % n], side);
    for (std::size_t i = 0; i < n; ++i) {
        bool hasBefore = closed || i > 0, hasAfter = closed || i + 1 < n;
        Point before = normals[hasBefore ? (i + segments - 1) % segments : 0];
        Point after = normals[hasAfter ? i % segments : segments - 1];
        if (!hasBefore)
            before = after;
        if (!hasAfter)
            after = before;
        Point mitre { before.x + after.x, before.y + after.y };
        double length = std::hypot(mitre.x, mitre.y);
        Point direction = after;
        double scale = 1;
        if (length > 1e-9) {
            direction = { mitre.x / length, mitre.y / length };
            double cosine = direction.x * after.x + direction.y * after.y;
            scale = std::min(1 / cosine, MiterLimit);
        }
        Point shifted { unique[i].x + distance * scale * direction.x, unique[i].y + distance * scale * direction.y };
        if (i == 0)
            out.moveToPoint(shifted);
        else
            out.lineToPoint(shifted);
    }
    if (closed)
        out.closePath();
}

}

gfx::BezierPath shiftedSideways(const gfx::BezierPath& flattened, double distance, double side)
{
    gfx::BezierPath out(flattened);
    out.removeAllPoints();
    std::vector<Point> points;
    Point start;
    for (std::int64_t i = 0; i < flattened.elementCount(); ++i) {
        auto kind = flattened.elementKinds()[static_cast<std::size_t>(i)];
        if (kind == gfx::BezierPathElement::ClosePath) {
            emit(out, points, true, distance, side);
            points.assign(1, start);
            continue;
        }
        Point p = flattened.associatedPoints(i).back();
        if (kind == gfx::BezierPathElement::MoveTo) {
            if (points.size() > 1)
                emit(out, points, false, distance, side);
            points.clear();
            start = p;
        }
        points.push_back(p);
    }
    if (points.size() > 1)
        emit(out, points, false, distance, side);
    return out;
}

}
