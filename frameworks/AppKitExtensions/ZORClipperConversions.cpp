#include "frameworks/AppKitExtensions/ZORClipperConversions.h"

#include <algorithm>
#include <cmath>

namespace {

ClipperLib::cInt toClipper(double v)
{
    // Halves away from zero, as llround does.
    constexpr double limit = static_cast<double>(ClipperLib::hiRange);
    if (!(std::fabs(v) < limit))
        return ClipperLib::hiRange + 1;
    return std::llround(v);
}

}

ClipperLib::Paths ZORClipperPathToPolygons(const gfx::BezierPath& path, double scale, double flatness)
{
    gfx::BezierPath scaled(path);
    scaled.transformUsingAffineTransform(gfx::AffineTransform::scaling(scale, scale));
    const double tolerance = std::isfinite(flatness) ? std::max(flatness, ZORClipperFlatness) : ZORClipperFlatness;
    ClipperLib::Paths polygons;
    ClipperLib::IntPoint start;
    bool open = false;
    scaled.forEachFlattenedElement(tolerance, [&](gfx::BezierPathElement kind, gfx::Point p) {
        if (kind == gfx::BezierPathElement::ClosePath) {
            open = false;
            return;
        }
        ClipperLib::IntPoint q(toClipper(p.x), toClipper(p.y));
        if (kind == gfx::BezierPathElement::MoveTo) {
            polygons.emplace_back();
            start = q;
            open = true;
        } else if (!open) {
            // Drawing on after a close starts a new outline at the closed subpath's start.
            polygons.emplace_back(1, start);
            open = true;
        }
        polygons.back().push_back(q);
    });
    return polygons;
}

std::int64_t ZORClipperPointCount(const gfx::BezierPath& path, double scale, double flatness)
{
    // Curves flatten alike at any scale for the tolerance scaled alike.
    const double tolerance = std::isfinite(flatness) ? std::max(flatness, ZORClipperFlatness) : ZORClipperFlatness;
    return path.flattenedElementCount(tolerance / scale);
}

void ZORClipperRequireRange(const ClipperLib::Paths& polygons)
{
    for (const auto& polygon : polygons) {
        for (const auto& point : polygon) {
            if (std::llabs(point.X) > ClipperLib::hiRange || std::llabs(point.Y) > ClipperLib::hiRange)
                throw ClipperLib::clipperException("Coordinate outside allowed range");
        }
    }
}

std::shared_ptr<gfx::BezierPath> ZORClipperPolygonsToPath(const ClipperLib::Paths& polygons, double scale)
{
    auto path = gfx::BezierPath::bezierPath();
    for (const auto& polygon : polygons) {
        if (polygon.empty())
            continue;
        // Dividing each coordinate keeps results on exact tenths (3 / 10 is 0.3; 3 * 0.1 is not).
        auto point = [scale](const ClipperLib::IntPoint& q) {
            return gfx::Point { static_cast<double>(q.X) / scale, static_cast<double>(q.Y) / scale };
        };
        path->moveToPoint(point(polygon.front()));
        for (std::size_t i = 1; i < polygon.size(); ++i)
            path->lineToPoint(point(polygon[i]));
        if (polygon.size() > 1)
            path->closePath();
    }
    return path;
}
