#include "frameworks/AppKitExtensions/detail/OutlineComponents.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>

namespace ZOROutlineComponents {

namespace {

using ClipperLib::cInt;
using ClipperLib::IntPoint;
using ClipperLib::Path;
using ClipperLib::Paths;

// Consecutive edges one box stands for, as long as the box stays within so many typical edges across: boxes around
// whole outlines would join a dot to the rectangle around it, and boxes around single edges would be as many as the
// points. An edge longer than that gets boxes of its own, at most so many.
constexpr std::size_t EdgesPerRun = 16;
constexpr std::size_t PiecesOfALongEdge = 64;
// The grid the boxes are sorted into has at most this many cells along a side.
constexpr double GridCellsPerSide = 1024;
// A box over more cells than this is compared with every other box instead (a long edge, a big outline's box).
constexpr std::int64_t CellsOfASmallBox = 16;
// Box comparisons and enclosure tests allowed per box or point, beyond a fixed allowance: past them (boxes piled
// on one another, thousands of outlines inside one of thousands of points) the outlines are taken whole, and past
// that all together, as the clipper would take them anyway.
constexpr std::size_t StepsPerItem = 64;
constexpr std::size_t StepsAllowance = 1000000;
// Outlines of so few points in all are told apart by boxes around whole outlines only.
constexpr std::size_t FewPoints = 1024;

struct Box {
    cInt x0, y0, x1, y1;
    std::uint32_t owner;
};

bool overlap(const Box& a, const Box& b)
{
    return a.x0 <= b.x1 && b.x0 <= a.x1 && a.y0 <= b.y1 && b.y0 <= a.y1;
}

// Twice the signed area of the triangle: positive when c lies left of the line from a to b. Coordinates within the
// clipper's range, so that differences fit.
__int128 turn(const IntPoint& a, const IntPoint& b, const IntPoint& c)
{
    return __int128(b.X - a.X) * (c.Y - a.Y) - __int128(b.Y - a.Y) * (c.X - a.X);
}

bool holds(const Box& box, const IntPoint& p)
{
    return box.x0 <= p.X && p.X <= box.x1 && box.y0 <= p.Y && p.Y <= box.y1;
}

// A box grown around points; coordinates within the clipper's range, so that differences fit.
struct BoxBuilder {
    cInt x0 { 0 }, y0 { 0 }, x1 { -1 }, y1 { -1 };
    bool isEmpty() const { return x0 > x1; }
    void add(const IntPoint& p)
    {
        if (isEmpty()) {
            x0 = x1 = p.X;
            y0 = y1 = p.Y;
            return;
        }
        x0 = std::min(x0, p.X);
        y0 = std::min(y0, p.Y);
        x1 = std::max(x1, p.X);
        y1 = std::max(y1, p.Y);
    }
    cInt extent() const { return std::max(x1 - x0, y1 - y0); }
    // The box a unit wider all round, so that boxes of edges that touch overlap even where an edge runs along a
    // box's side.
    Box box(std::uint32_t owner) const { return { x0 - 1, y0 - 1, x1 + 1, y1 + 1, owner }; }
};

cInt extentOf(const IntPoint& a, const IntPoint& b)
{
    return std::max(b.X > a.X ? b.X - a.X : a.X - b.X, b.Y > a.Y ? b.Y - a.Y : a.Y - b.Y);
}

// How a long edge slanting across the plane is boxed: a box hugs an edge along an axis, one slanting gets boxes
// along it, as many as its shorter side needs to keep them within the extent across.
std::size_t piecesWanted(const IntPoint& a, const IntPoint& b, cInt extent)
{
    const cInt across = std::min(b.X > a.X ? b.X - a.X : a.X - b.X, b.Y > a.Y ? b.Y - a.Y : a.Y - b.Y);
    return std::min<std::size_t>(across / extent + 1, PiecesOfALongEdge);
}

// How runs of edges are boxed: within EdgesPerRun typical (median) edges across, and the share of the pieces a long
// edge wants that it gets, so that all of them together are no more than the edges.
struct RunBoxing {
    cInt extent { 1 };
    double pieceShare { 1 };
};

RunBoxing runBoxing(const Paths& outlines, std::span<const std::size_t> kept)
{
    std::size_t edges = 0;
    for (std::size_t index : kept)
        edges += outlines[index].size();
    const std::size_t stride = std::max<std::size_t>(1, edges / 65536);
    std::vector<cInt> sample;
    std::size_t skip = 0; // edges to pass before the next one sampled
    for (std::size_t index : kept) {
        const Path& outline = outlines[index];
        std::size_t i = skip;
        for (; i < outline.size(); i += stride)
            sample.push_back(extentOf(outline[i], outline[(i + 1) % outline.size()]));
        skip = i - outline.size();
    }
    RunBoxing boxing;
    if (sample.empty())
        return boxing;
    std::nth_element(sample.begin(), sample.begin() + sample.size() / 2, sample.end());
    const cInt typical = sample[sample.size() / 2];
    boxing.extent = typical > ClipperLib::hiRange / cInt(EdgesPerRun) ? ClipperLib::hiRange
                                                                      : std::max<cInt>(EdgesPerRun * typical, 1);
    double pieces = 0;
    for (std::size_t index : kept) {
        const Path& outline = outlines[index];
        for (std::size_t i = 0; i < outline.size(); ++i) {
            const IntPoint& a = outline[i];
            const IntPoint& b = outline[(i + 1) % outline.size()];
            if (extentOf(a, b) > boxing.extent)
                pieces += static_cast<double>(piecesWanted(a, b, boxing.extent));
        }
    }
    boxing.pieceShare = pieces > static_cast<double>(edges) ? static_cast<double>(edges) / pieces : 1;
    return boxing;
}

// Boxes around the outline's edges: runs of them within the extent, and pieces of edges longer than that.
void addRunBoxes(const Path& outline, std::uint32_t owner, const RunBoxing& boxing, std::vector<Box>& boxes)
{
    const cInt extent = boxing.extent;
    BoxBuilder run;
    std::size_t edges = 0;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const IntPoint& a = outline[i];
        const IntPoint& b = outline[(i + 1) % outline.size()];
        const cInt length = extentOf(a, b);
        if (length > extent) {
            if (!run.isEmpty())
                boxes.push_back(run.box(owner));
            run = {};
            const auto pieces = std::max<std::size_t>(
                1, static_cast<std::size_t>(static_cast<double>(piecesWanted(a, b, extent)) * boxing.pieceShare));
            // Points along the edge in whole units, each within a unit of the edge, which the boxes' margin takes.
            const auto along = [&](std::size_t k) {
                return IntPoint { a.X + static_cast<cInt>(__int128(b.X - a.X) * __int128(k) / __int128(pieces)),
                    a.Y + static_cast<cInt>(__int128(b.Y - a.Y) * __int128(k) / __int128(pieces)) };
            };
            IntPoint from = a;
            for (std::size_t k = 1; k <= pieces; ++k) {
                const IntPoint to = k == pieces ? b : along(k);
                BoxBuilder piece;
                piece.add(from);
                piece.add(to);
                const Box box = piece.box(owner);
                boxes.push_back({ box.x0 - 1, box.y0 - 1, box.x1 + 1, box.y1 + 1, owner });
                from = to;
            }
            continue;
        }
        BoxBuilder grown = run;
        grown.add(a);
        grown.add(b);
        if (!run.isEmpty() && (edges == EdgesPerRun || grown.extent() > extent)) {
            boxes.push_back(run.box(owner));
            grown = {};
            grown.add(a);
            grown.add(b);
            edges = 0;
        }
        run = grown;
        ++edges;
    }
    if (!run.isEmpty())
        boxes.push_back(run.box(owner));
}

Box boxAround(const Path& outline, std::uint32_t owner)
{
    BoxBuilder box;
    for (const IntPoint& p : outline)
        box.add(p);
    return box.box(owner);
}

class DisjointSets {
public:
    explicit DisjointSets(std::size_t count)
        : m_parent(count)
    {
        for (std::size_t i = 0; i < count; ++i)
            m_parent[i] = static_cast<std::uint32_t>(i);
    }
    std::uint32_t find(std::uint32_t i)
    {
        while (m_parent[i] != i)
            i = m_parent[i] = m_parent[m_parent[i]];
        return i;
    }
    void unite(std::uint32_t a, std::uint32_t b)
    {
        a = find(a);
        b = find(b);
        if (a != b)
            m_parent[std::max(a, b)] = std::min(a, b);
    }

private:
    std::vector<std::uint32_t> m_parent;
};

// Boxes sorted into the cells of a grid about as fine as the typical box, so that a box is compared only with those
// in its cells; boxes over many cells are compared with all.
class BoxGrid {
public:
    explicit BoxGrid(std::span<const Box> boxes)
        : m_boxes(boxes)
    {
        if (boxes.empty())
            return;
        double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
        std::vector<double> sizes;
        sizes.reserve(boxes.size());
        for (const Box& box : boxes) {
            x0 = std::min(x0, double(box.x0));
            y0 = std::min(y0, double(box.y0));
            x1 = std::max(x1, double(box.x1));
            y1 = std::max(y1, double(box.y1));
            sizes.push_back(std::max(double(box.x1) - double(box.x0), double(box.y1) - double(box.y0)));
        }
        std::nth_element(sizes.begin(), sizes.begin() + sizes.size() / 2, sizes.end());
        m_x0 = x0;
        m_y0 = y0;
        m_cell = std::max({ sizes[sizes.size() / 2], std::max(x1 - x0, y1 - y0) / GridCellsPerSide, 1.0 });
        m_columns = static_cast<std::int64_t>((x1 - x0) / m_cell) + 1;
        m_rows = static_cast<std::int64_t>((y1 - y0) / m_cell) + 1;
        // The boxes of each cell, one cell after another (counted first, then placed).
        m_cellStart.assign(static_cast<std::size_t>(m_columns * m_rows) + 1, 0);
        forEachCellOfSmallBoxes([&](std::size_t cell, std::uint32_t) { ++m_cellStart[cell + 1]; });
        for (std::size_t cell = 1; cell < m_cellStart.size(); ++cell)
            m_cellStart[cell] += m_cellStart[cell - 1];
        m_cellBoxes.resize(m_cellStart.back());
        std::vector<std::uint32_t> filled(m_cellStart.begin(), m_cellStart.end() - 1);
        forEachCellOfSmallBoxes([&](std::size_t cell, std::uint32_t box) { m_cellBoxes[filled[cell]++] = box; });
    }

    // Calls meet(a, b) for the boxes of every pair of owners whose boxes overlap (some pairs more than once), unless
    // the comparisons exceed the budget first or meet answers false: whether it went through.
    template <typename Meet> bool forEachOverlap(std::size_t budget, Meet&& meet) const
    {
        std::size_t spent = 0;
        for (std::size_t cell = 0; cell + 1 < m_cellStart.size(); ++cell) {
            const std::size_t first = m_cellStart[cell], end = m_cellStart[cell + 1];
            for (std::size_t i = first; i < end; ++i) {
                // Counted before comparing: one cell may hold most of the boxes.
                spent += end - i;
                if (spent > budget)
                    return false;
                for (std::size_t j = i + 1; j < end; ++j) {
                    const Box &a = m_boxes[m_cellBoxes[i]], &b = m_boxes[m_cellBoxes[j]];
                    if (a.owner != b.owner && overlap(a, b) && !meet(a, b))
                        return false;
                }
            }
        }
        for (std::uint32_t large : m_large) {
            spent += m_boxes.size();
            if (spent > budget)
                return false;
            const Box& a = m_boxes[large];
            for (const Box& b : m_boxes) {
                if (a.owner != b.owner && overlap(a, b) && !meet(a, b))
                    return false;
            }
        }
        return true;
    }

    // Calls visit(box) for every box that holds the point; counts the comparisons into spent.
    template <typename Visit> void forEachHolding(const IntPoint& p, std::size_t& spent, Visit&& visit) const
    {
        if (!m_cellStart.empty()) {
            const std::size_t cell = cellOf(column(double(p.X)), row(double(p.Y)));
            for (std::size_t i = m_cellStart[cell]; i < m_cellStart[cell + 1]; ++i) {
                ++spent;
                if (holds(m_boxes[m_cellBoxes[i]], p))
                    visit(m_boxes[m_cellBoxes[i]]);
            }
        }
        for (std::uint32_t large : m_large) {
            ++spent;
            if (holds(m_boxes[large], p))
                visit(m_boxes[large]);
        }
    }

private:
    // Cells along each axis, clamped to the grid: a point outside it shares a cell with boxes that cannot hold it,
    // which the comparison then tells.
    std::int64_t column(double x) const
    {
        return std::clamp(static_cast<std::int64_t>(std::floor((x - m_x0) / m_cell)), std::int64_t(0), m_columns - 1);
    }
    std::int64_t row(double y) const
    {
        return std::clamp(static_cast<std::int64_t>(std::floor((y - m_y0) / m_cell)), std::int64_t(0), m_rows - 1);
    }
    std::size_t cellOf(std::int64_t column, std::int64_t row) const
    {
        return static_cast<std::size_t>(row * m_columns + column);
    }

    // Calls visit(cell, box) for every cell of every box over few cells; keeps the others aside.
    template <typename Visit> void forEachCellOfSmallBoxes(Visit&& visit)
    {
        m_large.clear();
        for (std::uint32_t i = 0; i < m_boxes.size(); ++i) {
            const Box& box = m_boxes[i];
            const std::int64_t c0 = column(double(box.x0)), c1 = column(double(box.x1));
            const std::int64_t r0 = row(double(box.y0)), r1 = row(double(box.y1));
            if ((c1 - c0 + 1) * (r1 - r0 + 1) > CellsOfASmallBox) {
                m_large.push_back(i);
                continue;
            }
            for (std::int64_t r = r0; r <= r1; ++r)
                for (std::int64_t c = c0; c <= c1; ++c)
                    visit(cellOf(c, r), i);
        }
    }

    std::span<const Box> m_boxes;
    double m_x0 { 0 }, m_y0 { 0 }, m_cell { 1 };
    std::int64_t m_columns { 1 }, m_rows { 1 };
    std::vector<std::uint32_t> m_cellStart; // where each cell's boxes begin in m_cellBoxes, and the end
    std::vector<std::uint32_t> m_cellBoxes;
    std::vector<std::uint32_t> m_large;
};

// The components when boxes stand for runs of edges (or for whole outlines): nothing when the comparisons grow past
// their budget.
std::optional<std::vector<Component>> componentsOf(
    const Paths& outlines, std::span<const std::size_t> kept, std::size_t subjectCount, bool wholeOutlines)
{
    std::vector<Box> boxes;
    std::size_t points = 0;
    const RunBoxing boxing = wholeOutlines ? RunBoxing {} : runBoxing(outlines, kept);
    for (std::uint32_t k = 0; k < kept.size(); ++k) {
        const Path& outline = outlines[kept[k]];
        points += outline.size();
        if (wholeOutlines)
            boxes.push_back(boxAround(outline, k));
        else
            addRunBoxes(outline, k, boxing, boxes);
    }
    DisjointSets sets(kept.size());
    const BoxGrid grid(boxes);
    if (!grid.forEachOverlap(StepsPerItem * boxes.size() + StepsAllowance, [&](const Box& a, const Box& b) {
            sets.unite(a.owner, b.owner);
            return true;
        }))
        return std::nullopt;

    std::vector<Component> components;
    std::vector<std::uint32_t> componentOf(kept.size());
    std::vector<std::int64_t> componentOfRoot(kept.size(), -1);
    for (std::uint32_t k = 0; k < kept.size(); ++k) {
        const std::uint32_t root = sets.find(k);
        if (componentOfRoot[root] < 0) {
            componentOfRoot[root] = static_cast<std::int64_t>(components.size());
            components.emplace_back();
        }
        componentOf[k] = static_cast<std::uint32_t>(componentOfRoot[root]);
        components[componentOf[k]].outlines.push_back(kept[k]);
    }
    if (wholeOutlines || components.size() < 2)
        return components; // an outline around another shares its part: nothing encloses a part from outside

    // What encloses each part: the outlines of other parts around one point of it.
    std::vector<Box> outlineBoxes;
    outlineBoxes.reserve(kept.size());
    for (std::uint32_t k = 0; k < kept.size(); ++k)
        outlineBoxes.push_back(boxAround(outlines[kept[k]], k));
    const BoxGrid outlineGrid(outlineBoxes);
    const std::size_t budget = StepsPerItem * (points + components.size()) + StepsAllowance;
    std::size_t spent = 0;
    std::vector<std::uint32_t> firstOutline(components.size());
    for (std::uint32_t k = static_cast<std::uint32_t>(kept.size()); k-- > 0;)
        firstOutline[componentOf[k]] = k;
    for (std::size_t c = 0; c < components.size(); ++c) {
        const IntPoint& point = outlines[kept[firstOutline[c]]].front();
        outlineGrid.forEachHolding(point, spent, [&](const Box& box) {
            if (componentOf[box.owner] == c)
                return;
            const Path& outline = outlines[kept[box.owner]];
            spent += outline.size();
            if (spent > budget)
                return;
            const long winding = windingAround(outline, point);
            components[c].winding += winding;
            if (winding % 2 != 0) {
                bool& inside = kept[box.owner] < subjectCount ? components[c].insideSubject : components[c].insideClip;
                inside = !inside;
            }
        });
        if (spent > budget)
            return std::nullopt;
    }
    return components;
}

}

std::vector<Component> independentComponents(const Paths& outlines, std::size_t subjectCount)
{
    std::vector<std::size_t> kept;
    for (std::size_t i = 0; i < outlines.size(); ++i) {
        if (outlines[i].size() >= 3)
            kept.push_back(i);
    }
    // A few outlines are as quick to combine in one run as to tell apart by their edges.
    std::size_t points = 0;
    for (std::size_t i : kept)
        points += outlines[i].size();
    if (points > FewPoints) {
        if (auto components = componentsOf(outlines, kept, subjectCount, false))
            return std::move(*components);
    }
    if (auto components = componentsOf(outlines, kept, subjectCount, true))
        return std::move(*components);
    std::vector<Component> all(kept.empty() ? 0 : 1);
    if (!kept.empty())
        all[0].outlines = std::move(kept);
    return all;
}

std::size_t overlappingRuns(const Paths& outlines, std::size_t limit)
{
    std::vector<std::size_t> all;
    for (std::size_t i = 0; i < outlines.size(); ++i) {
        if (!outlines[i].empty())
            all.push_back(i);
    }
    // Each run its own owner, so that runs of one outline are compared too; neighbours along an outline share a
    // point and always overlap.
    const RunBoxing boxing = runBoxing(outlines, all);
    std::vector<Box> boxes;
    std::vector<std::uint32_t> outlineOfRun, placeInOutline, runsOf(outlines.size(), 0);
    for (std::size_t i : all) {
        std::vector<Box> runs;
        addRunBoxes(outlines[i], 0, boxing, runs);
        runsOf[i] = static_cast<std::uint32_t>(runs.size());
        for (std::uint32_t r = 0; r < runs.size(); ++r) {
            runs[r].owner = static_cast<std::uint32_t>(boxes.size());
            outlineOfRun.push_back(static_cast<std::uint32_t>(i));
            placeInOutline.push_back(r);
            boxes.push_back(runs[r]);
        }
    }
    const auto neighbours = [&](std::uint32_t a, std::uint32_t b) {
        if (outlineOfRun[a] != outlineOfRun[b])
            return false;
        const std::uint32_t apart = placeInOutline[a] > placeInOutline[b] ? placeInOutline[a] - placeInOutline[b]
                                                                          : placeInOutline[b] - placeInOutline[a];
        return apart == 1 || apart + 1 == runsOf[outlineOfRun[a]];
    };
    std::size_t pairs = 0;
    const BoxGrid grid(boxes);
    const bool counted
        = grid.forEachOverlap(StepsPerItem * boxes.size() + StepsAllowance, [&](const Box& a, const Box& b) {
              pairs += !neighbours(a.owner, b.owner);
              return pairs < limit;
          });
    return counted ? pairs : limit;
}

namespace {

// The edge from a to b or from b to a, as one number (two edges may share one, which only adds to the estimate).
std::uint64_t edgeKey(const IntPoint& a, const IntPoint& b)
{
    const auto mix = [](std::uint64_t h, cInt v) {
        h ^= static_cast<std::uint64_t>(v) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
        return h * 0xff51afd7ed558ccdULL;
    };
    const bool ordered = a.X < b.X || (a.X == b.X && a.Y <= b.Y);
    const IntPoint& p = ordered ? a : b;
    const IntPoint& q = ordered ? b : a;
    return mix(mix(mix(mix(0, p.X), p.Y), q.X), q.Y);
}

// Steps the clipper takes over edges drawn more than once, in one outline or in several: it joins such edges one
// at a time, walking the chain they lie in each time, so a chain of them costs the square of its length (two copies
// of an outline of 20,000 points took 2.7 s).
double sharedChainSteps(const Paths& outlines, std::span<const std::size_t> indexes)
{
    constexpr double StepsPerSharedPair = 3;
    std::vector<std::uint64_t> keys;
    for (std::size_t index : indexes) {
        const Path& outline = outlines[index];
        for (std::size_t i = 0; i < outline.size(); ++i)
            keys.push_back(edgeKey(outline[i], outline[(i + 1) % outline.size()]));
    }
    std::sort(keys.begin(), keys.end());
    const auto shared = [&](std::uint64_t key) {
        const auto [first, end] = std::equal_range(keys.begin(), keys.end(), key);
        return end - first > 1;
    };
    double steps = 0;
    for (std::size_t index : indexes) {
        const Path& outline = outlines[index];
        double chain = 0;
        for (std::size_t i = 0; i < outline.size(); ++i) {
            if (shared(edgeKey(outline[i], outline[(i + 1) % outline.size()]))) {
                ++chain;
                continue;
            }
            steps += StepsPerSharedPair * chain * chain;
            chain = 0;
        }
        steps += StepsPerSharedPair * chain * chain;
    }
    return steps;
}

// Steps the clipper takes at points where outlines touch: where two long outlines a rounding apart meet at
// thousands of their points (two huge ovals touching at 27,000 of their 160,000 points took ten seconds), it splits
// the polygon it builds there and finds which piece holds the other by walking them. Counted as the points of the
// outlines that meet at each point where more than one does.
double touchingSteps(const Paths& outlines, std::span<const std::size_t> indexes)
{
    constexpr double StepsPerTouchingPoint = 2;
    struct Place {
        cInt x, y;
        std::size_t outline;
        auto operator<=>(const Place&) const = default;
    };
    std::vector<Place> places;
    for (std::size_t index : indexes) {
        const Path& outline = outlines[index];
        for (std::size_t i = 0; i < outline.size(); ++i) {
            // A point repeated along the outline is one place of it.
            if (outline[i] != outline[i == 0 ? outline.size() - 1 : i - 1])
                places.push_back({ outline[i].X, outline[i].Y, index });
        }
    }
    std::sort(places.begin(), places.end());
    double steps = 0;
    for (std::size_t first = 0; first < places.size();) {
        std::size_t end = first + 1;
        while (end < places.size() && places[end].x == places[first].x && places[end].y == places[first].y)
            ++end;
        // Sorted by outline last: the first and the last differ where several outlines meet. (An outline's own
        // points meet where the rounding turns it back on itself, in spikes a unit long the sweep passes quickly.)
        if (places[first].outline != places[end - 1].outline) {
            for (std::size_t i = first; i < end; ++i)
                steps += StepsPerTouchingPoint * static_cast<double>(outlines[places[i].outline].size());
        }
        first = end;
    }
    return steps;
}

}

double sweepSteps(const Paths& outlines, std::span<const std::size_t> indexes)
{
    // Every edge that is not level spans the heights from its lower to its upper end; the sweep turns where an
    // outline changes between going up and going down.
    std::vector<cInt> lows, highs, turns;
    for (std::size_t index : indexes) {
        const Path& outline = outlines[index];
        int firstDirection = 0, direction = 0;
        cInt firstTurn = 0;
        for (std::size_t i = 0; i < outline.size(); ++i) {
            const IntPoint& a = outline[i];
            const IntPoint& b = outline[(i + 1) % outline.size()];
            if (a.Y == b.Y)
                continue;
            lows.push_back(std::min(a.Y, b.Y));
            highs.push_back(std::max(a.Y, b.Y));
            const int now = b.Y > a.Y ? 1 : -1;
            if (firstDirection == 0) {
                firstDirection = now;
                firstTurn = a.Y;
            } else if (now != direction) {
                turns.push_back(a.Y);
            }
            direction = now;
        }
        if (direction != firstDirection)
            turns.push_back(firstTurn);
    }
    std::sort(lows.begin(), lows.end());
    std::sort(highs.begin(), highs.end());
    double steps = static_cast<double>(lows.size());
    for (cInt y : turns) {
        const auto started = std::upper_bound(lows.begin(), lows.end(), y) - lows.begin();
        const auto ended = std::lower_bound(highs.begin(), highs.end(), y) - highs.begin();
        steps += static_cast<double>(started - ended);
    }
    return steps + sharedChainSteps(outlines, indexes) + touchingSteps(outlines, indexes);
}

double sweepSteps(const Paths& outlines)
{
    std::vector<std::size_t> all(outlines.size());
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i] = i;
    return sweepSteps(outlines, all);
}

long windingAround(const Path& outline, const IntPoint& point)
{
    // Crossings of the ray from the point to the right, each edge taken as holding its lower end only, counted
    // with the way the edge goes: up anticlockwise, down clockwise.
    long winding = 0;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const IntPoint& a = outline[i];
        const IntPoint& b = outline[(i + 1) % outline.size()];
        if ((a.Y > point.Y) == (b.Y > point.Y))
            continue;
        // The edge passes right of the point when the point lies left of it going up, or right of it going down.
        const bool up = b.Y > a.Y;
        if ((turn(a, b, point) > 0) == up)
            winding += up ? 1 : -1;
    }
    return winding;
}

bool encloses(const Path& outline, const IntPoint& point)
{
    return windingAround(outline, point) % 2 != 0;
}

std::optional<Path> starShapedOutline(const Path& outline)
{
    Path points;
    points.reserve(outline.size());
    for (const IntPoint& p : outline) {
        while (points.size() >= 2 && turn(points[points.size() - 2], points.back(), p) == 0)
            points.pop_back();
        if (points.empty() || points.back() != p)
            points.push_back(p);
    }
    // Round the seam: the last points against the first, the first against the last.
    while (points.size() >= 3 && turn(points[points.size() - 2], points.back(), points.front()) == 0)
        points.pop_back();
    while (points.size() >= 3 && turn(points.back(), points.front(), points[1]) == 0)
        points.erase(points.begin());
    if (points.size() < 3)
        return std::nullopt;
    // Every edge runs the same way round a point in the middle, and the edges go round it once: then every ray
    // from the point meets the outline once, and no edge can cross another.
    BoxBuilder box;
    for (const IntPoint& p : points)
        box.add(p);
    const IntPoint middle { box.x0 + (box.x1 - box.x0) / 2, box.y0 + (box.y1 - box.y0) / 2 };
    const bool left = turn(middle, points.back(), points.front()) > 0;
    int rounds = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const IntPoint& a = points[i];
        const IntPoint& b = points[(i + 1) % points.size()];
        const __int128 side = turn(middle, a, b);
        if (side == 0 || (side > 0) != left)
            return std::nullopt;
        // Round once: one edge crosses the ray from the middle to the right.
        rounds += (a.Y > middle.Y) != (b.Y > middle.Y) && (turn(a, b, middle) > 0) == (b.Y > a.Y);
    }
    if (rounds != 1)
        return std::nullopt;
    if (!left)
        std::reverse(points.begin(), points.end());
    return points;
}

}
