// The path as a shape to fill with text: crossings of horizontal lines and the line fragments inside it.

#include "frameworks/AppKitExtensions/Text_ZORAppKitExtensions.h"

#include "frameworks/AppKitExtensions/QFGeometry.h"
#include "platform/foundation/runtime/Log.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

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
// What a line fragment leaves free at its top and at its bottom.
constexpr double LineMargin = 1.0;
// How far inside a line rectangle's corners are tested.
constexpr double EdgeTolerance = 1e-3;
// The most crossings of lines with the outline that one call of lineFragmentRectsForFixedLineheight measures: its
// work grows with them, and lines across an outline of many teeth cross it at every tooth.
constexpr double LineFragmentCrossingLimit = 1e7;

struct CrossingSegment {
    Point a, b;
    double low, high;
};

// The segments a horizontal line at y crosses, counted as the crossings and the hit test count them: from the lower
// end up to, not including, the upper one (flat segments never). Heights asked in growing order walk the segments
// once; a lower height starts again.
class CrossingSweep {
public:
    // Flat segments (and any not a number) reach no line and are left out.
    explicit CrossingSweep(std::vector<CrossingSegment> segments)
        : m_segments(std::move(segments))
    {
        std::erase_if(m_segments, [](const CrossingSegment& s) { return !(s.low < s.high); });
        std::sort(m_segments.begin(), m_segments.end(),
            [](const CrossingSegment& s, const CrossingSegment& t) { return s.low < t.low; });
    }

    const std::vector<const CrossingSegment*>& at(double y)
    {
        if (y < m_lastY) {
            m_next = 0;
            m_active.clear();
        }
        m_lastY = y;
        while (m_next < m_segments.size() && m_segments[m_next].low <= y)
            m_active.push_back(&m_segments[m_next++]);
        // A segment whose top the line has reached is done with for every later line.
        std::erase_if(m_active, [y](const CrossingSegment* s) { return !(y < s->high); });
        return m_active;
    }

    // How many of the lines start + i × step (i from 1 below lines) each segment reaches, summed.
    double crossingsOfLines(double start, double step, std::int64_t lines) const
    {
        double total = 0;
        for (const auto& s : m_segments) {
            const double first = std::max(1.0, std::ceil((s.low - start) / step));
            const double last = std::min(static_cast<double>(lines - 1), std::ceil((s.high - start) / step) - 1);
            if (last >= first)
                total += last - first + 1;
        }
        return total;
    }

private:
    std::vector<CrossingSegment> m_segments;
    std::vector<const CrossingSegment*> m_active;
    std::size_t m_next { 0 };
    double m_lastY { -INFINITY };
};

CrossingSegment crossingSegment(Point a, Point b)
{
    return { a, b, std::min(a.y, b.y), std::max(a.y, b.y) };
}

// Calls edge(from, to) for every line and close of a flattened path, in order.
template <class Edge>
void forEachOutlineEdge(const BezierPath& flat, Edge&& edge)
{
    Point current, start;
    for (std::int64_t i = 0; i < flat.elementCount(); ++i) {
        auto kind = flat.elementKinds()[static_cast<std::size_t>(i)];
        if (kind == gfx::BezierPathElement::MoveTo) {
            current = start = flat.associatedPoints(i)[0];
            continue;
        }
        Point to = kind == gfx::BezierPathElement::ClosePath ? start : flat.associatedPoints(i).back();
        edge(current, to);
        current = to;
    }
}

// The segments intersectingPointsWithHorizontalLineAtY tests: every line and close of the flattened path.
std::vector<CrossingSegment> outlineSegments(const BezierPath& flat)
{
    std::vector<CrossingSegment> segments;
    forEachOutlineEdge(flat, [&](Point from, Point to) { segments.push_back(crossingSegment(from, to)); });
    return segments;
}

// The edges the path's hit test counts: those of its hit polygon, each subpath closed.
std::vector<CrossingSegment> hitTestSegments(const BezierPath& polygon)
{
    std::vector<CrossingSegment> segments;
    Point start, current;
    bool open = false;
    for (std::int64_t i = 0; i < polygon.elementCount(); ++i) {
        auto kind = polygon.elementKinds()[static_cast<std::size_t>(i)];
        if (kind == gfx::BezierPathElement::MoveTo) {
            if (open)
                segments.push_back(crossingSegment(current, start));
            start = current = polygon.associatedPoints(i)[0];
            open = true;
        } else if (kind == gfx::BezierPathElement::LineTo) {
            Point next = polygon.associatedPoints(i)[0];
            segments.push_back(crossingSegment(current, next));
            current = next;
            open = true;
        } else {
            segments.push_back(crossingSegment(current, start));
            current = start;
            open = false;
        }
    }
    if (open)
        segments.push_back(crossingSegment(current, start));
    return segments;
}

// The crossings at y of the segments that reach it, as intersectingPointsWithHorizontalLineAtY gives them.
std::vector<Point> crossingsAt(const std::vector<const CrossingSegment*>& segments, double y, const Rect& bounds)
{
    const Rect room = gfx::insetRect(bounds, -1, -1);
    std::vector<Point> points;
    points.reserve(segments.size());
    for (const auto* s : segments) {
        Point p { s->a.x + (y - s->a.y) * (s->b.x - s->a.x) / (s->b.y - s->a.y), y };
        if (gfx::pointInRect(p, room))
            points.push_back(p);
    }
    std::sort(points.begin(), points.end(), [](Point a, Point b) { return ZORComparePointsByX(a, b) < 0; });
    if (points.size() % 2 == 1)
        points.pop_back();
    return points;
}

// The path's hit test (BezierPath::containsPoint) for many points of one height: the edges the height reaches,
// sorted by where they cross it. An edge counts for a point left of its crossing, upwards +1 and downwards -1; one
// crossing within rounding of the point is decided by the hit test's own sum, so every answer is the hit test's.
class RowHitTest {
public:
    RowHitTest(const std::vector<const CrossingSegment*>& edges, double y, gfx::WindingRule rule, double slack)
        : m_y(y)
        , m_rule(rule)
        , m_slack(slack)
    {
        m_edges.reserve(edges.size());
        for (const auto* e : edges) {
            const double x = e->a.x + (y - e->a.y) * (e->b.x - e->a.x) / (e->b.y - e->a.y);
            if (std::isfinite(x))
                m_edges.push_back({ x, e });
            else
                m_unsorted.push_back(e);
        }
        std::sort(m_edges.begin(), m_edges.end(), [](const Crossing& c, const Crossing& d) { return c.x < d.x; });
        // From the right: the winding of a point left of every crossing from k on.
        m_windingFrom.assign(m_edges.size() + 1, 0);
        for (std::size_t k = m_edges.size(); k-- > 0;)
            m_windingFrom[k] = m_windingFrom[k + 1] + (m_edges[k].edge->a.y <= y ? 1 : -1);
    }

    bool contains(double x) const
    {
        auto near = std::lower_bound(
            m_edges.begin(), m_edges.end(), x - m_slack, [](const Crossing& c, double v) { return c.x < v; });
        auto far
            = std::upper_bound(near, m_edges.end(), x + m_slack, [](double v, const Crossing& c) { return v < c.x; });
        int winding = m_windingFrom[static_cast<std::size_t>(far - m_edges.begin())];
        for (auto it = near; it != far; ++it)
            winding += exactly(*it->edge, x);
        for (const auto* e : m_unsorted)
            winding += exactly(*e, x);
        return m_rule == gfx::WindingRule::EvenOdd ? (winding % 2) != 0 : winding != 0;
    }

private:
    struct Crossing {
        double x;
        const CrossingSegment* edge;
    };

    // The hit test's own count for one edge.
    int exactly(const CrossingSegment& e, double x) const
    {
        const Point a = e.a, b = e.b;
        const double cross = (b.x - a.x) * (m_y - a.y) - (x - a.x) * (b.y - a.y);
        if (a.y <= m_y)
            return cross > 0 ? 1 : 0;
        return cross < 0 ? -1 : 0;
    }

    double m_y;
    gfx::WindingRule m_rule;
    double m_slack;
    std::vector<Crossing> m_edges;
    std::vector<const CrossingSegment*> m_unsorted;
    std::vector<int> m_windingFrom;
};

// The largest coordinate of the segments, against which rounding is measured.
double largestCoordinate(const std::vector<CrossingSegment>& segments)
{
    double largest = 0;
    for (const auto& s : segments)
        largest = std::max({ largest, std::fabs(s.a.x), std::fabs(s.b.x), std::fabs(s.a.y), std::fabs(s.b.y) });
    return largest;
}

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
    forEachOutlineEdge(flat, cross);
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
    // A tiny line height would take for ever (and NaN is no count at all).
    if (!(lineCount <= PathPlacementLimit)) {
        fnd::logf(fnd::LogLevel::Error, "A line height of {} would measure {} lines of the shape, more than {}.",
            lineHeight, lineCount, PathPlacementLimit);
        return rects;
    }
    const auto lines = static_cast<std::int64_t>(lineCount);
    // Each line's crossings, and the hit tests of its rectangles' corners, come from sweeps up the outline that meet
    // each segment only while the lines reach it: testing every corner against the whole path took the corners
    // times the path.
    CrossingSweep outline(outlineSegments(path.flattened(CrossingFlatness)));
    const auto hitEdges = hitTestSegments(path.flattened(gfx::BezierPath::HitTestFlatness));
    const double slack = 1e-9 * (1 + largestCoordinate(hitEdges));
    CrossingSweep bottoms(hitEdges), tops(hitEdges);
    const double crossings = outline.crossingsOfLines(bounds.minY(), lineHeight, lines)
        + 2 * bottoms.crossingsOfLines(bounds.minY(), lineHeight, lines);
    if (!(crossings <= LineFragmentCrossingLimit)) {
        fnd::logf(fnd::LogLevel::Error,
            "Lines of a height of {} would cross the shape's outline {} times, more than {}.", lineHeight, crossings,
            LineFragmentCrossingLimit);
        return rects;
    }
    // A line loses a point at its top and one at its bottom: one thinner than the two holds nothing.
    if (lineHeight < 2 * LineMargin)
        return rects;
    auto previous = intersectingPointsWithHorizontalLineAtY(path, bounds.minY() + 1.0);
    for (std::int64_t i = 1; i < lines; ++i) {
        const double y = bounds.minY() + static_cast<double>(i) * lineHeight;
        auto crossings
            = y < bounds.minY() || y > bounds.maxY() ? std::vector<Point> {} : crossingsAt(outline.at(y), y, bounds);
        if (crossings.empty())
            continue;
        if (!previous.empty()) {
            // Each stretch is what lies inside at both its bottom and its top; the rows of corners are hit-tested
            // once the first stretch needs them.
            std::optional<RowHitTest> bottomRow, topRow;
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
                r = { r.minX(), r.minY() + LineMargin, r.width(), r.height() - 2 * LineMargin };
                if (!(r.width() > 0))
                    continue;
                // Corners on the outline (where the crossings put them) count as inside.
                Rect probe = gfx::insetRect(r, EdgeTolerance, EdgeTolerance);
                if (!bottomRow) {
                    bottomRow.emplace(bottoms.at(probe.minY()), probe.minY(), path.windingRule(), slack);
                    topRow.emplace(tops.at(probe.maxY()), probe.maxY(), path.windingRule(), slack);
                }
                if (bottomRow->contains(probe.minX()) && bottomRow->contains(probe.maxX())
                    && topRow->contains(probe.maxX()) && topRow->contains(probe.minX()))
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
