#include "frameworks/AppKitExtensions/detail/PolygonOffset.h"

#include "frameworks/AppKitExtensions/ClipperExtensions.h"
#include "frameworks/AppKitExtensions/detail/OutlineComponents.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <span>
#include <vector>

namespace ZOROutlineOffset {

namespace {

using ClipperLib::cInt;
using ClipperLib::IntPoint;
using ClipperLib::Path;
using ClipperLib::Paths;

// Pieces united in one go before the results are united pairwise: neighbours along an outline overlap, and a few
// dozen of them cross one another only a few hundred times.
constexpr std::size_t PiecesPerUnion = 32;
constexpr std::size_t PiecesOverlap = 8;
// The most points all round joins together take: an outline of many sharp teeth turns round thousands of times, and
// at a huge offset each turn takes up to a thousand steps. Past this the steps grow coarser for all joins alike.
constexpr double RoundJoinPointBudget = 400000;
// Outlines of less area (in square units of the grid) are rounding specks.
constexpr double SpeckArea = 2;
// The raw offset is united in one go when its runs of edges overlap at most once per so many of its points.
constexpr std::size_t RawPointsPerCrossing = 4;
// The most points of outlines offset piece by piece: the pieces' unions grow faster than the outlines (a comb of
// 20,000 points grown by 1e4 took a second, of 40,000 points twelve).
constexpr std::size_t PiecewisePointLimit = 20000;
// A raw offset of more points is united part by part, each part the outlines whose edges may meet.
constexpr std::size_t RawPointsUnitedWhole = 16384;
// The clipper's steps for each loop a join turning inwards makes (through the vertex itself) times each point of
// the run: it walks the outline the loop joins to find its lowest point. A circle of 40,000 points shrunk so that
// every other join is such a loop took 0.3 s; side by side with others in one run, more still.
constexpr double SweepStepsPerLoopPoint = 1.0 / 3;

// The clipper's rounding: halves away from zero.
cInt roundToGrid(double v)
{
    return v < 0 ? static_cast<cInt>(v - 0.5) : static_cast<cInt>(v + 0.5);
}

struct Normal {
    double x { 0 }, y { 0 };
};

Normal unitNormal(IntPoint a, IntPoint b)
{
    if (a == b)
        return {};
    double dx = static_cast<double>(b.X - a.X), dy = static_cast<double>(b.Y - a.Y);
    const double f = 1.0 / std::sqrt(dx * dx + dy * dy);
    dx *= f;
    dy *= f;
    return { dy, -dx };
}

// The outlines as the offsetter keeps them: repeated points dropped, outlines of fewer than three points left out.
// They come resolved, outers anticlockwise and holes the other way round. (The offsetter itself turns all of them
// round when the one with the lowest point runs clockwise, which a hole touching its outer there does.)
std::vector<Path> offsetterContours(const Paths& outlines)
{
    std::vector<Path> contours;
    for (const auto& path : outlines) {
        if (path.empty())
            continue;
        std::size_t highI = path.size() - 1;
        while (highI > 0 && path[0] == path[highI])
            --highI;
        Path contour { path[0] };
        for (std::size_t i = 1; i <= highI; ++i) {
            if (contour.back() != path[i])
                contour.push_back(path[i]);
        }
        if (contour.size() >= 3)
            contours.push_back(std::move(contour));
    }
    return contours;
}

// The points the offsetter puts at each vertex of a contour (its join), and the pieces its raw offset sweeps: for
// each edge the band between the edge and its offset (from the join before to the join after), for each convex
// corner the fan from the corner over its join. Joins that turn inwards, and joins of one point, sweep nothing.
// The raw offset is the pieces' sum plus the outline, and every piece runs the one way, so the offset (where the
// sum is positive) is the outline with the pieces united onto it, or, shrinking, taken from it.
class Sweeper {
public:
    Sweeper(double delta, ClipperLib::JoinType join, double miterLimit, double arcTolerance)
        : m_delta(delta)
        , m_join(join)
    {
        m_miterLim = miterLimit > 2 ? 2 / (miterLimit * miterLimit) : 0.5;
        double y;
        if (arcTolerance <= 0.0)
            y = 0.25;
        else if (arcTolerance > std::fabs(delta) * 0.25)
            y = std::fabs(delta) * 0.25;
        else
            y = arcTolerance;
        double steps = std::numbers::pi / std::acos(1 - y / std::fabs(delta));
        if (steps > std::fabs(delta) * std::numbers::pi)
            steps = std::fabs(delta) * std::numbers::pi;
        setSteps(steps);
    }

    // Holds the round joins of the contours to the budget of points.
    void budgetRoundJoins(const std::vector<Path>& contours)
    {
        if (m_join != ClipperLib::jtRound)
            return;
        double turning = 0;
        for (const auto& contour : contours) {
            normalsOf(contour);
            std::size_t k = contour.size() - 1;
            for (std::size_t j = 0; j < contour.size(); ++j) {
                const Normal nj = m_normals[j], nk = m_normals[k];
                const double sinA = std::clamp(nk.x * nj.y - nj.x * nk.y, -1.0, 1.0);
                const double cosA = nk.x * nj.x + nk.y * nj.y;
                if (std::fabs(sinA * m_delta) < 1.0 && cosA > 0)
                    continue;
                if (sinA * m_delta >= 0)
                    turning += std::fabs(std::atan2(sinA, cosA));
                k = j;
            }
        }
        if (turning * m_stepsPerRad > RoundJoinPointBudget)
            setSteps(RoundJoinPointBudget / turning * 2 * std::numbers::pi);
    }

    // The raw offset the offsetter lays round the contour: every vertex's join points, in order.
    Path rawOffset(const Path& contour)
    {
        m_loops = 0;
        normalsOf(contour);
        Path raw;
        std::size_t k = contour.size() - 1;
        for (std::size_t j = 0; j < contour.size(); ++j)
            joinAt(contour, j, k, raw);
        return raw;
    }

    // The loops through their vertex that the joins turning inwards made in the last raw offset.
    std::size_t loops() const { return m_loops; }

    void addPieces(const Path& contour, Paths& pieces)
    {
        const std::size_t firstPiece = pieces.size();
        addContourPieces(contour, pieces);
        // The last group of the contour reaches over its first pieces too.
        const std::size_t count = std::min(PiecesOverlap, pieces.size() - firstPiece);
        for (std::size_t i = 0; i < count; ++i)
            pieces.push_back(pieces[firstPiece + i]);
    }

private:
    void addContourPieces(const Path& contour, Paths& pieces)
    {
        const std::size_t len = contour.size();
        normalsOf(contour);
        std::vector<Path> joins(len);
        std::vector<bool> fans(len, false);
        std::size_t k = len - 1;
        for (std::size_t j = 0; j < len; ++j)
            fans[j] = joinAt(contour, j, k, joins[j]);
        for (std::size_t j = 0; j < len; ++j) {
            if (fans[j] && joins[j].size() > 1) {
                Path fan = joins[j];
                fan.push_back(contour[j]);
                pieces.push_back(std::move(fan));
            }
            const std::size_t next = j + 1 == len ? 0 : j + 1;
            pieces.push_back({ joins[j].back(), joins[next].front(), contour[next], contour[j] });
            // The same band on the other side, which the offset holds too: growing, it lies in the shape or within
            // the offset of its outline; shrinking, outside the shape. It covers the outline from both sides, so
            // the pieces unite into solid blobs instead of bands round a copy of every tooth of the outline.
            const Normal n = m_normals[j];
            pieces.push_back({ contour[j], contour[next], at(contour[next], -n.x * m_delta, -n.y * m_delta),
                at(contour[j], -n.x * m_delta, -n.y * m_delta) });
            // And between two such bands at a corner, within the offset of the corner: without it the united
            // pieces' border would pass through the corner, and its crossings, rounded to the grid, could leave
            // specks of the outline's edge uncovered.
            const Normal before = m_normals[j == 0 ? len - 1 : j - 1];
            pieces.push_back({ contour[j], at(contour[j], -before.x * m_delta, -before.y * m_delta),
                at(contour[j], -n.x * m_delta, -n.y * m_delta) });
        }
    }

    // Steps to a full turn of a round join.
    void setSteps(double steps)
    {
        m_sin = std::sin(2 * std::numbers::pi / steps);
        m_cos = std::cos(2 * std::numbers::pi / steps);
        m_stepsPerRad = steps / (2 * std::numbers::pi);
        if (m_delta < 0.0)
            m_sin = -m_sin;
    }

    void normalsOf(const Path& contour)
    {
        const std::size_t len = contour.size();
        m_normals.clear();
        for (std::size_t j = 0; j + 1 < len; ++j)
            m_normals.push_back(unitNormal(contour[j], contour[j + 1]));
        m_normals.push_back(unitNormal(contour[len - 1], contour[0]));
    }

    IntPoint at(const IntPoint& p, double x, double y) const
    {
        return { roundToGrid(static_cast<double>(p.X) + x), roundToGrid(static_cast<double>(p.Y) + y) };
    }

    // The offsetter's points at vertex j, k the vertex whose edge leads in (kept when the join is one point on a
    // nearly straight run); whether the join turns outwards.
    bool joinAt(const Path& src, std::size_t j, std::size_t& k, Path& out)
    {
        const Normal nj = m_normals[j], nk = m_normals[k];
        const IntPoint p = src[j];
        double sinA = nk.x * nj.y - nj.x * nk.y;
        if (std::fabs(sinA * m_delta) < 1.0) {
            const double cosA = nk.x * nj.x + nj.y * nk.y;
            if (cosA > 0) {
                out.push_back(at(p, nk.x * m_delta, nk.y * m_delta));
                return false;
            }
        } else if (sinA > 1.0) {
            sinA = 1.0;
        } else if (sinA < -1.0) {
            sinA = -1.0;
        }
        bool outwards = false;
        if (sinA * m_delta < 0) {
            ++m_loops;
            out.push_back(at(p, nk.x * m_delta, nk.y * m_delta));
            out.push_back(p);
            out.push_back(at(p, nj.x * m_delta, nj.y * m_delta));
        } else {
            outwards = true;
            switch (m_join) {
            case ClipperLib::jtMiter: {
                const double r = 1 + (nj.x * nk.x + nj.y * nk.y);
                if (r >= m_miterLim) {
                    const double q = m_delta / r;
                    out.push_back(at(p, (nk.x + nj.x) * q, (nk.y + nj.y) * q));
                } else {
                    square(p, nj, nk, sinA, out);
                }
                break;
            }
            case ClipperLib::jtSquare:
                square(p, nj, nk, sinA, out);
                break;
            case ClipperLib::jtRound:
                round(p, nj, nk, sinA, out);
                break;
            }
        }
        k = j;
        return outwards;
    }

    void square(IntPoint p, Normal nj, Normal nk, double sinA, Path& out) const
    {
        const double dx = std::tan(std::atan2(sinA, nk.x * nj.x + nk.y * nj.y) / 4);
        out.push_back(at(p, m_delta * (nk.x - nk.y * dx), m_delta * (nk.y + nk.x * dx)));
        out.push_back(at(p, m_delta * (nj.x + nj.y * dx), m_delta * (nj.y - nj.x * dx)));
    }

    void round(IntPoint p, Normal nj, Normal nk, double sinA, Path& out) const
    {
        const double a = std::atan2(sinA, nk.x * nj.x + nk.y * nj.y);
        const int steps = std::max(static_cast<int>(roundToGrid(m_stepsPerRad * std::fabs(a))), 1);
        double x = nk.x, y = nk.y;
        for (int i = 0; i < steps; ++i) {
            out.push_back(at(p, x * m_delta, y * m_delta));
            const double x2 = x;
            x = x * m_cos - m_sin * y;
            y = x2 * m_sin + y * m_cos;
        }
        out.push_back(at(p, nj.x * m_delta, nj.y * m_delta));
    }

    double m_delta;
    ClipperLib::JoinType m_join;
    double m_miterLim { 0.5 };
    double m_sin { 0 }, m_cos { 1 }, m_stepsPerRad { 0 };
    std::size_t m_loops { 0 };
    std::vector<Normal> m_normals;
};

Paths united(const Paths& a, const Paths& b)
{
    ClipperLib::Clipper clipper;
    clipper.AddPaths(a, ClipperLib::ptSubject, true);
    clipper.AddPaths(b, ClipperLib::ptClip, true);
    Paths out;
    clipper.Execute(ClipperLib::ctUnion, out, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    return out;
}

// The pieces united in one go, each counted once wherever it lies, whichever way round it runs: the bands and
// corners on the far side run the other way round from the offset's own, and the two must not cancel where they
// overlap.
Paths unitedGroup(std::span<const Path> pieces)
{
    ClipperLib::Clipper clipper;
    for (const auto& piece : pieces) {
        if (ClipperLib::Orientation(piece)) {
            clipper.AddPath(piece, ClipperLib::ptSubject, true);
        } else {
            Path turned(piece.rbegin(), piece.rend());
            clipper.AddPath(turned, ClipperLib::ptSubject, true);
        }
    }
    Paths out;
    clipper.Execute(ClipperLib::ctUnion, out, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    return out;
}

// Whether one run of the clipper over these raw outlines stays within its bounds: its points, its sweep, and the
// loops of joins turning inwards, each of which costs a walk along the outline it joins.
bool fitsOneRun(const Paths& raw, std::span<const std::size_t> indexes, std::span<const std::size_t> loops)
{
    double points = 0, loopCount = 0;
    for (std::size_t index : indexes) {
        points += static_cast<double>(raw[index].size());
        loopCount += static_cast<double>(loops[index]);
    }
    const double limit = ClipperExtensions::ClipperRunSweepLimit;
    if (points > static_cast<double>(ClipperExtensions::ClipperRunPointLimit)
        || loopCount * points * SweepStepsPerLoopPoint > limit)
        return false;
    return points * points <= limit || ZOROutlineComponents::sweepSteps(raw, indexes) <= limit;
}

// The raw outlines united by the positive rule, as the offsetter unites them, or nothing when that is too large
// for the clipper. Runs over many outlines side by side cost far more than a run per outline, so where no outline
// winds round another's part (dots, letters without holes), each part is united on its own.
std::optional<Paths> unitedRaw(const Paths& raw, std::span<const std::size_t> loops, std::size_t rawPoints)
{
    std::vector<std::vector<std::size_t>> runs;
    if (rawPoints > RawPointsUnitedWhole) {
        auto parts = ZOROutlineComponents::independentComponents(raw, raw.size());
        if (std::ranges::all_of(parts, [](const auto& part) { return part.winding == 0; })) {
            for (auto& part : parts)
                runs.push_back(std::move(part.outlines));
        }
    }
    if (runs.empty()) {
        runs.emplace_back(raw.size());
        for (std::size_t i = 0; i < raw.size(); ++i)
            runs.back()[i] = i;
    }
    for (const auto& run : runs) {
        if (!fitsOneRun(raw, run, loops))
            return std::nullopt;
    }
    Paths out;
    for (const auto& run : runs) {
        ClipperLib::Clipper clipper;
        for (std::size_t index : run)
            clipper.AddPath(raw[index], ClipperLib::ptSubject, true);
        Paths united;
        clipper.Execute(ClipperLib::ctUnion, united, ClipperLib::pftPositive, ClipperLib::pftPositive);
        for (auto& polygon : united)
            out.push_back(std::move(polygon));
    }
    return out;
}

Paths unitedTree(std::span<const Paths> parts)
{
    if (parts.size() == 1)
        return parts[0];
    const std::size_t half = parts.size() / 2;
    return united(unitedTree(parts.first(half)), unitedTree(parts.subspan(half)));
}

// Neighbouring pieces first, then ever larger unions of them, so that no union holds pieces that end up inside. Each
// group reaches over the next one's first pieces: two groups' unions meeting only along their pieces' shared sides
// would each round their crossings there to the grid, and between them a sliver could stay uncovered.
Paths unitedPieces(std::span<const Path> pieces)
{
    std::vector<Paths> groups;
    for (std::size_t first = 0; first < pieces.size(); first += PiecesPerUnion) {
        const std::size_t end = std::min(pieces.size(), first + PiecesPerUnion + PiecesOverlap);
        groups.push_back(unitedGroup(pieces.subspan(first, end - first)));
    }
    return groups.empty() ? Paths {} : unitedTree(groups);
}

}

std::optional<Paths> offsetOutlines(
    const Paths& outlines, double delta, ClipperLib::JoinType join, double miterLimit, double arcTolerance)
{
    const std::vector<Path> contours = offsetterContours(outlines);
    Paths shape(contours.begin(), contours.end());
    if (delta == 0 || shape.empty())
        return shape;
    Sweeper sweeper(delta, join, miterLimit, arcTolerance);
    sweeper.budgetRoundJoins(contours);

    // Where the raw offset crosses itself only here and there (most shapes, and any offset small beside their
    // features), the one union of it is what the offsetter makes, and quicker than the pieces' unions.
    Paths raw;
    std::vector<std::size_t> loops;
    std::size_t rawPoints = 0, shapePoints = 0;
    for (const auto& contour : contours) {
        raw.push_back(sweeper.rawOffset(contour));
        loops.push_back(sweeper.loops());
        rawPoints += raw.back().size();
        shapePoints += contour.size();
    }
    const std::size_t crossingsAllowed = rawPoints / RawPointsPerCrossing;
    if (ZOROutlineComponents::overlappingRuns(raw, crossingsAllowed + 1) <= crossingsAllowed)
        return unitedRaw(raw, loops, rawPoints);

    if (shapePoints > PiecewisePointLimit)
        return std::nullopt;
    Paths pieces;
    for (const auto& contour : contours)
        sweeper.addPieces(contour, pieces);
    const Paths swept = unitedPieces(pieces);
    ClipperLib::Clipper clipper;
    clipper.AddPaths(shape, ClipperLib::ptSubject, true);
    clipper.AddPaths(swept, ClipperLib::ptClip, true);
    Paths out;
    clipper.Execute(delta > 0 ? ClipperLib::ctUnion : ClipperLib::ctDifference, out, ClipperLib::pftNonZero,
        ClipperLib::pftNonZero);
    // Where many pieces' edges meet at a point, their crossings rounded to the grid can leave a speck of half a unit
    // between them, a pinhole or a grain apart from the result; nothing the offset makes is that small.
    std::erase_if(out, [](const Path& polygon) { return std::fabs(ClipperLib::Area(polygon)) < SpeckArea; });
    return out;
}

}
