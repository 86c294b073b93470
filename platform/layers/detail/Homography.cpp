#include "platform/layers/detail/Homography.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace ui::detail {

namespace {

// Points whose weight falls below this are taken to lie at or behind the eye.
constexpr double MinimumWeight = 1e-6;

}

Homography Homography::flattening(const Transform3D& t)
{
    Homography h;
    h.m = { { { t.m11, t.m12, t.m14 }, { t.m21, t.m22, t.m24 }, { t.m41, t.m42, t.m44 } } };
    return h;
}

Homography Homography::fromAffine(const gfx::AffineTransform& t)
{
    Homography h;
    h.m = { { { t.m11, t.m12, 0 }, { t.m21, t.m22, 0 }, { t.tX, t.tY, 1 } } };
    return h;
}

std::array<double, 3> Homography::transformHomogeneous(gfx::Point p) const
{
    return { p.x * m[0][0] + p.y * m[1][0] + m[2][0], p.x * m[0][1] + p.y * m[1][1] + m[2][1],
        p.x * m[0][2] + p.y * m[1][2] + m[2][2] };
}

std::optional<gfx::Point> Homography::transformPoint(gfx::Point p) const
{
    auto [x, y, w] = transformHomogeneous(p);
    if (!(w > MinimumWeight))
        return std::nullopt;
    return gfx::Point { x / w, y / w };
}

double Homography::determinant() const
{
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0])
        + m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

std::optional<Homography> Homography::inverted() const
{
    const double det = determinant();
    // Singular when the determinant is tiny beside the scale of the plane's own axes (the first two rows) and of
    // where it is carried (the third): a far translation, such as a layer thousands of points along a scroll, is no
    // collapse, while a plane seen edge-on is one.
    double axes = 0, carried = 0;
    for (int j = 0; j < 3; ++j) {
        axes = std::max({ axes, std::abs(m[0][j]), std::abs(m[1][j]) });
        carried = std::max(carried, std::abs(m[2][j]));
    }
    if (axes == 0 || std::abs(det) <= 1e-14 * axes * axes * std::max(axes, carried))
        return std::nullopt;
    Homography r;
    r.m[0][0] = (m[1][1] * m[2][2] - m[1][2] * m[2][1]) / det;
    r.m[0][1] = (m[0][2] * m[2][1] - m[0][1] * m[2][2]) / det;
    r.m[0][2] = (m[0][1] * m[1][2] - m[0][2] * m[1][1]) / det;
    r.m[1][0] = (m[1][2] * m[2][0] - m[1][0] * m[2][2]) / det;
    r.m[1][1] = (m[0][0] * m[2][2] - m[0][2] * m[2][0]) / det;
    r.m[1][2] = (m[0][2] * m[1][0] - m[0][0] * m[1][2]) / det;
    r.m[2][0] = (m[1][0] * m[2][1] - m[1][1] * m[2][0]) / det;
    r.m[2][1] = (m[0][1] * m[2][0] - m[0][0] * m[2][1]) / det;
    r.m[2][2] = (m[0][0] * m[1][1] - m[0][1] * m[1][0]) / det;
    return r;
}

bool Homography::preservesOrientationAt(gfx::Point p) const
{
    // The Jacobian determinant of the map at p is det(H) / W(p)³.
    const double w = transformHomogeneous(p)[2];
    return determinant() * w > 0;
}

Homography concatenated(const Homography& a, const Homography& b)
{
    Homography r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
    return r;
}

std::vector<gfx::Point> projectedPolygon(const Homography& h, const std::vector<gfx::Point>& polygon)
{
    // Cut the polygon where W crosses the bound (W is linear in the plane), then divide.
    std::vector<gfx::Point> out;
    const std::size_t n = polygon.size();
    for (std::size_t i = 0; i < n; ++i) {
        const gfx::Point a = polygon[i], b = polygon[(i + 1) % n];
        const auto ha = h.transformHomogeneous(a), hb = h.transformHomogeneous(b);
        const bool aIn = ha[2] > MinimumWeight, bIn = hb[2] > MinimumWeight;
        if (aIn)
            out.push_back({ ha[0] / ha[2], ha[1] / ha[2] });
        if (aIn != bIn) {
            const double t = (MinimumWeight * 2 - ha[2]) / (hb[2] - ha[2]);
            const gfx::Point c { a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t };
            const auto hc = h.transformHomogeneous(c);
            if (hc[2] > 0)
                out.push_back({ hc[0] / hc[2], hc[1] / hc[2] });
        }
    }
    return out;
}

std::optional<gfx::Rect> boundingBoxOfRect(const Homography& h, const gfx::Rect& r)
{
    auto points
        = projectedPolygon(h, { r.origin, { r.maxX(), r.minY() }, { r.maxX(), r.maxY() }, { r.minX(), r.maxY() } });
    if (points.empty())
        return std::nullopt;
    double minX = points[0].x, maxX = minX, minY = points[0].y, maxY = minY;
    for (const auto& p : points) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    return gfx::Rect { minX, minY, maxX - minX, maxY - minY };
}

}
