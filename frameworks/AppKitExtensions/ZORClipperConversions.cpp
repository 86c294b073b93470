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
    // A curve's segments grow with the square root of its size over the tolerance: past the point limit the
    // tolerance grows (by the square of the excess, at least fourfold) until the outline fits, or until every curve
    // is one segment and only the path's own elements are left. Only counted until then: a path of huge curves
    // would otherwise be made at the fine tolerance first, hundreds of thousands of points to be thrown away.
    double tolerance = std::isfinite(flatness) ? std::max(flatness, ZORClipperFlatness) : ZORClipperFlatness;
    std::int64_t count = scaled.flattenedElementCount(tolerance);
    for (int coarser = 0; count > ZORClipperMaxPoints && coarser < 64; ++coarser) {
        const double excess = double(count) / ZORClipperMaxPoints;
        const double coarserTolerance = tolerance * std::max(4.0, excess * excess);
        if (!std::isfinite(coarserTolerance))
            break;
        tolerance = coarserTolerance;
        count = scaled.flattenedElementCount(tolerance);
    }
    if (count > ZORClipperPointLimit)
        throw ClipperLib::clipperException("the path has more points than the clipper takes");
    const gfx::BezierPath flat = scaled.flattened(tolerance);

    ClipperLib::Paths polygons;
    ClipperLib::IntPoint start;
    bool open = false;
    for (std::int64_t i = 0; i < flat.elementCount(); ++i) {
        auto kind = flat.elementKinds()[static_cast<std::size_t>(i)];
        if (kind == gfx::BezierPathElement::ClosePath) {
            open = false;
            continue;
        }
        gfx::Point p = flat.associatedPoints(i)[0];
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
    }
    return polygons;
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
