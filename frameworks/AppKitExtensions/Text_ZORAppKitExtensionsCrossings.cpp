// The path as a shape to fill with text: crossings of horizontal lines and the line fragments inside it.

#include "frameworks/AppKitExtensions/Text_ZORAppKitExtensions.h"

#include "frameworks/AppKitExtensions/QFGeometry.h"
#include "platform/foundation/runtime/Log.h"

#include <algorithm>
#include <cmath>

using gfx::BezierPath;
using gfx::Point;
using gfx::Rect;

int ZORComparePointsByX(Point a, Point b)
{
    return a.x < b.x ? -1 : a.x > b.x ? 1 : 0;
}

namespace Text_ZORAppKitExtensions {

namespace {

// Shapes for text are measured coarsely: a line's crossings need not follow the curve closely.
constexpr double CrossingFlatness = 5.0;
// How far inside a line rectangle's corners are tested.
constexpr double EdgeTolerance = 1e-3;

}

std::vector<Point> intersectingPointsWithHorizontalLineAtY(const BezierPath& path, double y)
{
    if (path.isEmpty())
        return {};
    const Rect bounds = path.bounds();
    if (y < bounds.minY() || y > bounds.maxY())
        return {};
    const Rect room = gfx::insetRect(bounds, -1, -1);
    const BezierPath flat = path.flattened(CrossingFlatness);
    std::vector<Point> points;
    // Each segment counts the heights from its lower end up to, not including, its upper end, so a vertex on the
    // line is counted by one of its two segments only (twice at a peak or a trough), and flat segments by neither.
    auto cross = [&](Point a, Point b) {
        double low = std::min(a.y, b.y), high = std::max(a.y, b.y);
        if (!(low <= y && y < high))
            return;
        Point p { a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y), y };
        if (gfx::pointInRect(p, room))
            points.push_back(p);
    };
    Point current, start;
    for (std::int64_t i = 0; i < flat.elementCount(); ++i) {
        auto kind = flat.elementKinds()[static_cast<std::size_t>(i)];
        if (kind == gfx::BezierPathElement::MoveTo) {
            current = start = flat.associatedPoints(i)[0];
            continue;
        }
        Point to = kind == gfx::BezierPathElement::ClosePath ? start : flat.associatedPoints(i).back();
        cross(current, to);
        current = to;
    }
    std::sort(points.begin(), points.end(), [](Point a, Point b) { return ZORComparePointsByX(a, b) < 0; });
    if (points.size() % 2 == 1)
        points.pop_back();
    return points;
}

std::vector<Rect> lineFragmentRectsForFixedLineheight(const BezierPath& path, double lineHeight)
{
    fnd::assertThat(lineHeight > 0, "lineheight must be positive and greater than 0");
    std::vector<Rect> rects;
    const Rect bounds = path.bounds();
    const double lineCount = std::floor(bounds.height() / lineHeight) + 1;
    // Each line flattens the path again: a tiny line height would take for ever (and NaN is no count at all).
    if (!(lineCount <= PathPlacementLimit)) {
        fnd::logf(fnd::LogLevel::Error, "A line height of {} would measure {} lines of the shape, more than {}.",
            lineHeight, lineCount, PathPlacementLimit);
        return rects;
    }
    const auto lines = static_cast<std::int64_t>(lineCount);
    auto previous = intersectingPointsWithHorizontalLineAtY(path, bounds.minY() + 1.0);
    for (std::int64_t i = 1; i < lines; ++i) {
        const double y = bounds.minY() + static_cast<double>(i) * lineHeight;
        auto crossings = intersectingPointsWithHorizontalLineAtY(path, y);
        if (crossings.empty())
            continue;
        if (!previous.empty()) {
            // Each stretch is what lies inside at both its bottom and its top.
            const std::size_t m = std::max(previous.size(), crossings.size());
            double left = 0;
            for (std::size_t k = 0; k < m; ++k) {
                double a = previous[k % previous.size()].x, b = crossings[k % crossings.size()].x;
                if (k % 2 == 0) {
                    left = std::max(a, b);
                    continue;
                }
                double right = std::min(a, b);
                Rect r = QFStandardizedRect({ left, y - lineHeight, right - left, lineHeight });
                r = { r.minX(), r.minY() + 1.0, r.width(), r.height() - 2.0 };
                // Corners on the outline (where the crossings put them) count as inside.
                Rect probe = gfx::insetRect(r, EdgeTolerance, EdgeTolerance);
                if (r.width() > 0 && path.containsPoint({ probe.minX(), probe.minY() })
                    && path.containsPoint({ probe.maxX(), probe.minY() })
                    && path.containsPoint({ probe.maxX(), probe.maxY() })
                    && path.containsPoint({ probe.minX(), probe.maxY() }))
                    rects.push_back(r);
            }
        }
        previous = std::move(crossings);
    }
    return rects;
}

Rect lineFragmentRectForProposedRect(
    const BezierPath& path, const Rect& proposed, Rect* remainingRect, double datumOffset)
{
    const double f = std::clamp(datumOffset + 0.5, 0.0, 1.0);
    auto crossings = intersectingPointsWithHorizontalLineAtY(path, proposed.minY() + f * proposed.height());
    for (std::size_t k = 0; k + 1 < crossings.size(); k += 2) {
        // The first inside stretch that reaches into the proposed rectangle, cut to it.
        double entry = std::max(crossings[k].x, proposed.minX());
        double exit = std::min(crossings[k + 1].x, proposed.maxX());
        if (!(exit > entry))
            continue;
        if (remainingRect)
            *remainingRect = exit < proposed.maxX()
                ? Rect { exit, proposed.minY(), proposed.maxX() - exit, proposed.height() }
                : gfx::ZeroRect;
        return { entry, proposed.minY(), exit - entry, proposed.height() };
    }
    if (remainingRect)
        *remainingRect = gfx::ZeroRect;
    return gfx::ZeroRect;
}

}
