#include "platform/graphics/BezierPath.h"

#include "platform/graphics/detail/BezierPathCache.h"

#include <algorithm>
#include <cmath>

namespace gfx {

namespace {

// Line segments that keep a uniformly stepped cubic within tolerance of the curve: the polyline's error is at most
// 3/4 of the largest second difference of the control polygon over n².
int segmentsFor(Point p0, Point c1, Point c2, Point p3, double tolerance)
{
    double d1 = std::hypot(p0.x - 2 * c1.x + c2.x, p0.y - 2 * c1.y + c2.y);
    double d2 = std::hypot(c1.x - 2 * c2.x + p3.x, c1.y - 2 * c2.y + p3.y);
    double m = std::max(d1, d2);
    if (!(m > 0))
        return 1;
    double n = std::ceil(std::sqrt(0.75 * m / tolerance));
    return static_cast<int>(std::clamp(n, 1.0, 10000.0));
}

Point cubicAt(Point p0, Point c1, Point c2, Point p3, double t)
{
    double u = 1 - t;
    double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
    return { a * p0.x + b * c1.x + c * c2.x + d * p3.x, a * p0.y + b * c1.y + c * c2.y + d * p3.y };
}

// Parameters in (0, 1) where one coordinate of a cubic has a zero derivative.
void extremaOf(double p0, double c1, double c2, double p3, std::vector<double>& out)
{
    // Derivative / 3 = a t² + b t + c.
    double a = -p0 + 3 * c1 - 3 * c2 + p3;
    double b = 2 * (p0 - 2 * c1 + c2);
    double c = c1 - p0;
    auto keep = [&](double t) {
        if (t > 0 && t < 1)
            out.push_back(t);
    };
    if (std::fabs(a) < 1e-12) {
        if (std::fabs(b) > 1e-12)
            keep(-c / b);
        return;
    }
    double disc = b * b - 4 * a * c;
    if (disc < 0)
        return;
    double s = std::sqrt(disc);
    keep((-b + s) / (2 * a));
    keep((-b - s) / (2 * a));
}

struct BoundsBuilder {
    double x0 { INFINITY }, y0 { INFINITY }, x1 { -INFINITY }, y1 { -INFINITY };
    void add(Point p)
    {
        x0 = std::min(x0, p.x);
        y0 = std::min(y0, p.y);
        x1 = std::max(x1, p.x);
        y1 = std::max(y1, p.y);
    }
    Rect rect() const { return x0 > x1 ? ZeroRect : Rect { x0, y0, x1 - x0, y1 - y0 }; }
};

// Walks the elements with the point each one starts from (a close starts from the last point and ends at the
// subpath start).
template <typename Visit> void walk(const BezierPath& path, Visit&& visit)
{
    Point current, start;
    for (std::int64_t i = 0; i < path.elementCount(); ++i) {
        auto pts = path.associatedPoints(i);
        auto kind = path.elementKinds()[static_cast<std::size_t>(i)];
        visit(kind, current, pts, start);
        switch (kind) {
        case BezierPathElement::MoveTo:
            start = current = pts[0];
            break;
        case BezierPathElement::LineTo:
            current = pts[0];
            break;
        case BezierPathElement::CurveTo:
            current = pts[2];
            break;
        case BezierPathElement::ClosePath:
            current = start;
            break;
        }
    }
}

}

BezierPath BezierPath::flattened(double tolerance) const
{
    BezierPath out;
    out.m_lineWidth = m_lineWidth;
    out.m_lineCap = m_lineCap;
    out.m_lineJoin = m_lineJoin;
    out.m_miterLimit = m_miterLimit;
    out.m_windingRule = m_windingRule;
    out.m_flatness = m_flatness;
    out.m_dash = m_dash;
    out.m_dashPhase = m_dashPhase;
    // Made straight into the reserved lists: element by element through the public calls took some 60 ns a point.
    const auto count = static_cast<std::size_t>(flattenedElementCount(tolerance));
    out.m_kinds.reserve(count);
    out.m_offsets.reserve(count);
    out.m_points.reserve(count);
    forEachFlattenedElement(tolerance, [&out](BezierPathElement kind, Point p) {
        out.m_kinds.push_back(kind);
        out.m_offsets.push_back(static_cast<std::uint32_t>(out.m_points.size()));
        if (kind == BezierPathElement::ClosePath)
            return;
        out.m_points.push_back(p);
        if (kind == BezierPathElement::MoveTo)
            out.m_subpathStart = p;
    });
    out.m_hasCurrentPoint = !out.m_kinds.empty();
    return out;
}

void BezierPath::forEachFlattenedElement(
    double tolerance, const std::function<void(BezierPathElement, Point)>& visit) const
{
    if (!(tolerance > 0))
        tolerance = 0.6;
    walk(*this, [&](BezierPathElement kind, Point from, std::span<const Point> pts, Point start) {
        switch (kind) {
        case BezierPathElement::MoveTo:
        case BezierPathElement::LineTo:
            visit(kind, pts[0]);
            break;
        case BezierPathElement::CurveTo: {
            int n = segmentsFor(from, pts[0], pts[1], pts[2], tolerance);
            for (int k = 1; k < n; ++k)
                visit(BezierPathElement::LineTo, cubicAt(from, pts[0], pts[1], pts[2], static_cast<double>(k) / n));
            visit(BezierPathElement::LineTo, pts[2]);
            break;
        }
        case BezierPathElement::ClosePath:
            visit(kind, start);
            break;
        }
    });
}

std::int64_t BezierPath::flattenedElementCount(double tolerance) const
{
    if (!(tolerance > 0))
        tolerance = 0.6;
    std::int64_t count = 0;
    walk(*this, [&](BezierPathElement kind, Point from, std::span<const Point> pts, Point) {
        count += kind == BezierPathElement::CurveTo ? segmentsFor(from, pts[0], pts[1], pts[2], tolerance) : 1;
    });
    return count;
}

BezierPath BezierPath::bezierPathByFlatteningPath() const
{
    if (!m_cache)
        m_cache = std::make_unique<Cache>();
    if (!m_cache->flattened || m_cache->flattenedTolerance != m_flatness) {
        m_cache->flattened = std::make_unique<BezierPath>(flattened(m_flatness));
        m_cache->flattenedTolerance = m_flatness;
    }
    return *m_cache->flattened;
}

Rect BezierPath::bounds() const
{
    if (m_cache && m_cache->bounds)
        return *m_cache->bounds;
    BoundsBuilder b;
    std::vector<double> ts;
    walk(*this, [&](BezierPathElement kind, Point from, std::span<const Point> pts, Point) {
        switch (kind) {
        case BezierPathElement::MoveTo:
        case BezierPathElement::LineTo:
            b.add(pts[0]);
            break;
        case BezierPathElement::CurveTo:
            b.add(from);
            b.add(pts[2]);
            ts.clear();
            extremaOf(from.x, pts[0].x, pts[1].x, pts[2].x, ts);
            extremaOf(from.y, pts[0].y, pts[1].y, pts[2].y, ts);
            for (double t : ts)
                b.add(cubicAt(from, pts[0], pts[1], pts[2], t));
            break;
        case BezierPathElement::ClosePath:
            break;
        }
    });
    if (!m_cache)
        m_cache = std::make_unique<Cache>();
    m_cache->bounds = b.rect();
    return *m_cache->bounds;
}

Rect BezierPath::controlPointBounds() const
{
    if (m_cache && m_cache->controlPointBounds)
        return *m_cache->controlPointBounds;
    BoundsBuilder b;
    for (Point p : m_points)
        b.add(p);
    if (!m_cache)
        m_cache = std::make_unique<Cache>();
    m_cache->controlPointBounds = b.rect();
    return *m_cache->controlPointBounds;
}

BezierPath BezierPath::bezierPathByReversingPath() const
{
    BezierPath out(*this);
    out.removeAllPoints();
    // One subpath at a time: its segments in reverse order, starting from its last point; a closed one stays closed.
    struct Segment {
        BezierPathElement kind;
        Point from;
        Point c1, c2;
    };
    std::vector<Segment> segments;
    Point subpathLast;
    bool open = false;
    auto flush = [&](bool closed) {
        if (!open)
            return;
        out.moveToPoint(subpathLast);
        for (auto it = segments.rbegin(); it != segments.rend(); ++it) {
            if (it->kind == BezierPathElement::CurveTo)
                out.curveToPoint(it->from, it->c2, it->c1);
            else
                out.lineToPoint(it->from);
        }
        if (closed)
            out.closePath();
        segments.clear();
        open = false;
    };
    walk(*this, [&](BezierPathElement kind, Point from, std::span<const Point> pts, Point) {
        switch (kind) {
        case BezierPathElement::MoveTo:
            flush(false);
            open = true;
            subpathLast = pts[0];
            break;
        case BezierPathElement::LineTo:
            if (!open) {
                open = true;
                subpathLast = from;
            }
            segments.push_back({ kind, from, {}, {} });
            subpathLast = pts[0];
            break;
        case BezierPathElement::CurveTo:
            if (!open) {
                open = true;
                subpathLast = from;
            }
            segments.push_back({ kind, from, pts[0], pts[1] });
            subpathLast = pts[2];
            break;
        case BezierPathElement::ClosePath:
            if (!open) {
                open = true;
                subpathLast = from;
            }
            flush(true);
            break;
        }
    });
    flush(false);
    return out;
}

bool BezierPath::containsPoint(Point p) const
{
    return containsPoint(p, m_windingRule);
}

bool BezierPath::containsPoint(Point p, WindingRule rule) const
{
    if (!m_cache)
        m_cache = std::make_unique<Cache>();
    if (!m_cache->hitPolygon)
        m_cache->hitPolygon = std::make_unique<BezierPath>(flattened(HitTestFlatness));
    const BezierPath& poly = *m_cache->hitPolygon;

    int winding = 0;
    auto edge = [&](Point a, Point b) {
        // Half-open in y, so a vertex on the test ray is counted once.
        if (a.y <= p.y) {
            if (b.y > p.y && (b.x - a.x) * (p.y - a.y) - (p.x - a.x) * (b.y - a.y) > 0)
                ++winding;
        } else if (b.y <= p.y && (b.x - a.x) * (p.y - a.y) - (p.x - a.x) * (b.y - a.y) < 0) {
            --winding;
        }
    };
    Point start, current;
    bool open = false;
    for (std::int64_t i = 0; i < poly.elementCount(); ++i) {
        auto kind = poly.m_kinds[static_cast<std::size_t>(i)];
        if (kind == BezierPathElement::MoveTo) {
            if (open)
                edge(current, start);
            start = current = poly.associatedPoints(i)[0];
            open = true;
        } else if (kind == BezierPathElement::LineTo) {
            Point next = poly.associatedPoints(i)[0];
            edge(current, next);
            current = next;
            open = true;
        } else {
            edge(current, start);
            current = start;
            open = false;
        }
    }
    if (open)
        edge(current, start);
    return rule == WindingRule::EvenOdd ? (winding % 2) != 0 : winding != 0;
}

}
