#include "frameworks/AppKitExtensions/ClipperExtensions.h"

#include "frameworks/AppKitExtensions/ZORClipperConversions.h"
#include "frameworks/AppKitExtensions/ZORNSBezierPathExtension.h"
#include "frameworks/AppKitExtensions/detail/OutlineComponents.h"
#include "frameworks/AppKitExtensions/detail/PolygonOffset.h"
#include "platform/foundation/runtime/Log.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

namespace ClipperExtensions {

namespace {

// A round join is a polygon whose step count, for the clipper's fixed tolerance (a quarter of a scaled unit), grows
// with the square root of the offset: an offset of 1e11 took a gigabyte. Past this many steps to a full turn the
// tolerance grows with the offset instead, so no offset costs more points than a moderate one (an arc's chords then
// stay within 5e-6 of its radius, and offsets below some 5,000 units are drawn as before).
constexpr double OffsetStepsPerTurn = 1000;
constexpr double OffsetArcTolerance = 0.25;
// A miter reaches out at most the limit times the offset; beyond this one, a sharp spike would throw its point past
// any useful size (and past the clipper's range).
constexpr double OffsetMiterLimitCap = 1000;
// A huge offset draws mostly its own round: detail below this fraction of it does not show, while every flattened
// point pushed past the curves' radius crosses nearly every other (equal huge ovals grown by their own size crossed
// millions of times, some forty seconds).
constexpr double OffsetDetailFraction = 1e-4;
// The most points of outlines that touch themselves split by the clipper's strict simplification, which grows with
// the square of them (two seconds for 30,000 points of squares touching corner to corner).
constexpr std::size_t StrictSimplificationPointLimit = 20000;

// The box around the outlines.
struct OffsetBounds {
    double minX { INFINITY }, minY { INFINITY }, maxX { -INFINITY }, maxY { -INFINITY };
    explicit OffsetBounds(const ClipperLib::Paths& outlines)
    {
        for (const auto& polygon : outlines) {
            for (const auto& point : polygon) {
                minX = std::min(minX, double(point.X));
                maxX = std::max(maxX, double(point.X));
                minY = std::min(minY, double(point.Y));
                maxY = std::max(maxY, double(point.Y));
            }
        }
    }
    bool isEmpty() const { return minX > maxX; }
    double farthest() const
    {
        return isEmpty() ? 0 : std::max({ std::fabs(minX), std::fabs(maxX), std::fabs(minY), std::fabs(maxY) });
    }
};

// Whether every point the offset makes fits the clipper's range: the outlines' farthest coordinate plus the farthest
// a join reaches (a miter, or a square join's corner), with room for the frame a shrinking offset adds around them.
bool offsetStaysInRange(const OffsetBounds& bounds, double delta, double miterLimit)
{
    constexpr double Range = static_cast<double>(ClipperLib::hiRange) / 2;
    return std::isfinite(delta) && bounds.farthest() + std::max(miterLimit, 2.0) * std::fabs(delta) + 100 < Range;
}

// Whether shrinking by the delta leaves nothing: a point of the result lies the offset away from every edge, short of
// the round joins' tolerance and the rounding to integers, and no such point fits in a box less than twice that wide
// or high. Answered here because the raw outlines of such a shrink cross one another at nearly every pair of edges
// (a circle of a thousand points shrunk past its radius took the clipper half a million crossings), and because the
// clipper could leave a stray speck of them behind, outside the shape it shrank (seen with specks of a few units).
bool shrinkLeavesNothing(const OffsetBounds& bounds, double delta, double arcTolerance)
{
    const double narrowest = std::min(bounds.maxX - bounds.minX, bounds.maxY - bounds.minY);
    return delta < 0 && -delta - arcTolerance - 2 > narrowest / 2;
}

// The outlines resolved by the even-odd rule into simple ones, holes opposite to their outers, as the clipper's
// strict simplification gives them: nothing when that would take too long. The simplification compares every point
// of an outline with every other, to split it where it touches itself (a second for 10,000 points); the union it
// runs first is all it does where no outline touches itself. The union drops points on a straight line between their
// neighbours (a quarter or so of a flattened curve's, once rounded to the grid), which add nothing but joins of one
// point on a straight run.
std::optional<ClipperLib::Paths> evenOddOutlines(const ClipperLib::Paths& polygons, std::size_t points)
{
    ClipperLib::Clipper clipper;
    clipper.AddPaths(polygons, ClipperLib::ptSubject, true);
    ClipperLib::Paths outlines;
    clipper.Execute(ClipperLib::ctUnion, outlines, ClipperLib::pftEvenOdd, ClipperLib::pftEvenOdd);
    for (const auto& outline : outlines) {
        ClipperLib::Path sorted = outline;
        std::sort(sorted.begin(), sorted.end(), [](const ClipperLib::IntPoint& a, const ClipperLib::IntPoint& b) {
            return a.X < b.X || (a.X == b.X && a.Y < b.Y);
        });
        if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end()) {
            if (points > StrictSimplificationPointLimit)
                return std::nullopt;
            ClipperLib::SimplifyPolygons(polygons, outlines, ClipperLib::pftEvenOdd);
            break;
        }
    }
    return outlines;
}

PathPtr refusedOffset(const char* why)
{
    fnd::logf(fnd::LogLevel::Warning, "path offset refused: {}", why);
    return nullptr;
}

ClipperLib::JoinType joinTypeFor(gfx::LineJoinStyle style)
{
    switch (style) {
    case gfx::LineJoinStyle::Round:
        return ClipperLib::jtRound;
    case gfx::LineJoinStyle::Bevel:
        return ClipperLib::jtSquare;
    case gfx::LineJoinStyle::Miter:
        break;
    }
    return ClipperLib::jtMiter;
}

}

PathPtr bezierPathWithOffset(const PathPtr& path, double offset, gfx::LineJoinStyle joinStyle, double miterLimit)
{
    if (offset == 0)
        return path;
    try {
        const double delta = offset * ZORClipperScale;
        const double arcTolerance
            = std::max(OffsetArcTolerance, std::fabs(delta) * (1 - std::cos(std::numbers::pi / OffsetStepsPerTurn)));
        // Outlines first resolved by the even-odd rule, so that holes are oriented as holes and shrink as the
        // shape grows, whatever direction they were drawn in. Curves are flattened more coarsely as the joins'
        // tolerance grows with a huge offset: finer detail would not show in the result, yet every outline point
        // pushed out so far crosses nearly every other (a curve grown by 1e13 took ten seconds).
        // Where the joins' tolerance has grown with a huge offset, the curves' follows the offset itself.
        double flatness = ZORClipperFlatness * arcTolerance / OffsetArcTolerance;
        if (arcTolerance > OffsetArcTolerance)
            flatness = std::max(flatness, OffsetDetailFraction * std::fabs(delta));
        // The outlines are resolved in one run of the clipper.
        if (ZORClipperPointCount(*path, ZORClipperScale, flatness) > ClipperRunPointLimit)
            return refusedOffset("the path flattens into more points than the clipper takes in one run");
        const ClipperLib::Paths polygons = ZORClipperPathToPolygons(*path, ZORClipperScale, flatness);
        ZORClipperRequireRange(polygons);
        std::size_t points = 0;
        for (const auto& polygon : polygons)
            points += polygon.size();
        if (double(points) * double(points) > ClipperRunSweepLimit
            && ZOROutlineComponents::sweepSteps(polygons) > ClipperRunSweepLimit)
            return refusedOffset("the path's outlines would take the clipper's sweep too long");
        const auto resolved = evenOddOutlines(polygons, points);
        if (!resolved)
            return refusedOffset("an outline touches itself, and has too many points to be split there");
        const ClipperLib::Paths& outlines = *resolved;
        // The clipper takes a limit below 2 (or none) as 2.
        miterLimit = std::isfinite(miterLimit) ? std::min(miterLimit, OffsetMiterLimitCap) : 2;
        const OffsetBounds bounds(outlines);
        if (!offsetStaysInRange(bounds, delta, miterLimit)) {
            fnd::logf(fnd::LogLevel::Error, "path offset failed: an offset of {} leaves the clipper's range", offset);
            return gfx::BezierPath::bezierPath();
        }
        if (shrinkLeavesNothing(bounds, delta, arcTolerance))
            return gfx::BezierPath::bezierPath();
        const auto offsetOutlines
            = ZOROutlineOffset::offsetOutlines(outlines, delta, joinTypeFor(joinStyle), miterLimit, arcTolerance);
        if (!offsetOutlines)
            return refusedOffset("the offset outlines cross one another too often for the clipper");
        return ZORClipperPolygonsToPath(*offsetOutlines, ZORClipperScale);
    } catch (const ClipperLib::clipperException& e) {
        fnd::logf(fnd::LogLevel::Error, "path offset failed: {}", e.what());
        return gfx::BezierPath::bezierPath();
    }
}

PathPtr bezierPathWithOffset(const PathPtr& path, double offset)
{
    return bezierPathWithOffset(path, offset, path->lineJoinStyle(), path->miterLimit());
}

bool isClosed(const gfx::BezierPath& path)
{
    return ZORNSBezierPathExtension::isPathClosed(path);
}

}
