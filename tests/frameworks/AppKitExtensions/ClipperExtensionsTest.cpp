#include "frameworks/AppKitExtensions/ClipperExtensions.h"

#include "frameworks/AppKitExtensions/ZORClipperConversions.h"
#include "platform/foundation/TestSupport.h"

#include "PathTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <random>

namespace {

using namespace ClipperExtensions;
using gfx::BezierPath;
using gfx::Rect;

struct Outlines {
    int pieces { 0 };
    int holes { 0 };
    double area { 0 };
};

// Outer outlines, holes and the area they enclose, read back through the clipper's own measures.
Outlines outlinesOf(const BezierPath& path)
{
    Outlines out;
    for (const auto& polygon : ZORClipperPathToPolygons(path, 1000)) {
        double a = ClipperLib::Area(polygon) / 1e6;
        (a >= 0 ? out.pieces : out.holes)++;
        out.area += a;
    }
    return out;
}

std::shared_ptr<BezierPath> square(double x, double y, double side)
{
    return BezierPath::bezierPathWithRect({ x, y, side, side });
}

TEST(ClipperExtensions, BooleansOfOverlappingSquares)
{
    auto a = square(0, 0, 10), b = square(5, 5, 10);
    auto both = outlinesOf(*bezierPathByUnionWithPath(*a, *b));
    EXPECT_EQ(both.pieces, 1);
    EXPECT_EQ(both.holes, 0);
    EXPECT_NEAR(both.area, 175, 1e-9);
    auto common = outlinesOf(*bezierPathByIntersectingPath(*a, *b));
    EXPECT_EQ(common.pieces, 1);
    EXPECT_NEAR(common.area, 25, 1e-9);
    EXPECT_TRUE(gfx::nearlyEqual(bezierPathByIntersectingPath(*a, *b)->bounds(), { 5, 5, 5, 5 }));
    auto minus = outlinesOf(*bezierPathByDifferenceWithPath(*a, *b));
    EXPECT_EQ(minus.pieces, 1);
    EXPECT_NEAR(minus.area, 75, 1e-9);
    auto either = outlinesOf(*bezierPathByXORWithPath(*a, *b));
    EXPECT_EQ(either.pieces, 2);
    EXPECT_NEAR(either.area, 150, 1e-9);
    EXPECT_TRUE(bezierPathByDifferenceWithPath(*a, *a)->isEmpty());
    EXPECT_TRUE(bezierPathByApplyingBooleanOperation(*a, 4, *b)->isEmpty()) << "an unknown operation";
}

TEST(ClipperExtensions, NestedShapesMakeHolesAndSeparateShapesStaySeparate)
{
    auto outer = square(0, 0, 30), inner = square(10, 10, 10);
    auto ring = outlinesOf(*bezierPathByDifferenceWithPath(*outer, *inner));
    EXPECT_EQ(ring.pieces, 1);
    EXPECT_EQ(ring.holes, 1);
    EXPECT_NEAR(ring.area, 800, 1e-9);

    // A path holding a ring (square with a square inside) keeps its hole through a union with a disjoint square.
    BezierPath withHole(*outer);
    withHole.appendBezierPath(*inner);
    auto kept = outlinesOf(*bezierPathByUnionWithPath(withHole, *square(50, 0, 5)));
    EXPECT_EQ(kept.pieces, 2);
    EXPECT_EQ(kept.holes, 1);
    EXPECT_NEAR(kept.area, 825, 1e-9);
    // Filling the hole again.
    auto filled = outlinesOf(*bezierPathByUnionWithPath(withHole, *inner));
    EXPECT_EQ(filled.pieces, 1);
    EXPECT_EQ(filled.holes, 0);
    EXPECT_NEAR(filled.area, 900, 1e-9);

    auto apart = outlinesOf(*bezierPathByUnionWithPath(*square(0, 0, 10), *square(20, 0, 10)));
    EXPECT_EQ(apart.pieces, 2);
    EXPECT_NEAR(apart.area, 200, 1e-9);
    EXPECT_TRUE(bezierPathByIntersectingPath(*square(0, 0, 10), *square(20, 0, 10))->isEmpty());
}

TEST(ClipperExtensions, CurvesAreFlattenedFinelyAndOpenPathsClosed)
{
    auto disc = BezierPath::bezierPathWithOvalInRect({ -10, -10, 20, 20 });
    auto half = bezierPathByIntersectingPath(*disc, *BezierPath::bezierPathWithRect({ -20, 0, 40, 20 }));
    // Within what holding the outline to tenths of a unit allows.
    EXPECT_NEAR(outlinesOf(*half).area, std::numbers::pi * 100 / 2, 0.5);
    // Every result coordinate is a whole number of tenths.
    for (double v : { half->bounds().minX(), half->bounds().maxY() })
        EXPECT_EQ(v * 10, std::round(v * 10)) << v;
    for (const auto& p : half->allPoints()) {
        EXPECT_NEAR(p.x * 10, std::round(p.x * 10), 1e-9);
        EXPECT_NEAR(p.y * 10, std::round(p.y * 10), 1e-9);
    }
    // A lone line closes onto itself and encloses nothing.
    BezierPath stroke;
    stroke.moveToPoint({ 0, 0 });
    stroke.lineToPoint({ 10, 10 });
    EXPECT_TRUE(bezierPathByIntersectingPath(stroke, *square(0, 0, 20))->isEmpty());
}

TEST(ClipperExtensions, OffsettingASquareGrowsAndShrinksItsBounds)
{
    auto sq = square(0, 0, 10);
    EXPECT_EQ(bezierPathWithOffset(sq, 0), sq) << "no offset: the path itself";
    for (auto join : { gfx::LineJoinStyle::Miter, gfx::LineJoinStyle::Round, gfx::LineJoinStyle::Bevel }) {
        auto grown = bezierPathWithOffset(sq, 1, join, 10);
        EXPECT_TRUE(gfx::nearlyEqual(grown->bounds(), { -1, -1, 12, 12 }, 1e-9)) << static_cast<int>(join);
        auto shrunk = bezierPathWithOffset(sq, -2, join, 10);
        EXPECT_TRUE(gfx::nearlyEqual(shrunk->bounds(), { 2, 2, 6, 6 }, 1e-9)) << static_cast<int>(join);
        EXPECT_NEAR(outlinesOf(*shrunk).area, 36, 1e-9);
    }
    // Corners: kept by a miter, rounded (by a polygon a little inside the arc), or cut square.
    EXPECT_NEAR(outlinesOf(*bezierPathWithOffset(sq, 1, gfx::LineJoinStyle::Miter, 10)).area, 144, 1e-9);
    EXPECT_NEAR(
        outlinesOf(*bezierPathWithOffset(sq, 1, gfx::LineJoinStyle::Round, 10)).area, 140 + std::numbers::pi, 0.15);
    EXPECT_NEAR(outlinesOf(*bezierPathWithOffset(sq, 1, gfx::LineJoinStyle::Bevel, 10)).area, 143.3, 0.05);
    EXPECT_FALSE(bezierPathWithOffset(sq, 1, gfx::LineJoinStyle::Round, 10)->containsPoint({ -0.9, -0.9 }));
    // The path's own join style when none is given.
    sq->setLineJoinStyle(gfx::LineJoinStyle::Round);
    EXPECT_NEAR(outlinesOf(*bezierPathWithOffset(sq, 1)).area, 140 + std::numbers::pi, 0.15);
    // Shrinking away everything leaves nothing.
    EXPECT_TRUE(bezierPathWithOffset(sq, -6, gfx::LineJoinStyle::Miter, 10)->isEmpty());
}

// A shape shrunk by more than half its narrower side is gone: every point left would lie the offset away from every
// edge, which needs a box twice the offset wide and high. Just short of that a sliver stays.
TEST(ClipperExtensions, ShrinkingPastHalfTheWidthLeavesNothing)
{
    auto disc = BezierPath::bezierPathWithOvalInRect({ 0, 0, 100, 100 }); // some 4,000 points to the clipper
    for (auto join : { gfx::LineJoinStyle::Miter, gfx::LineJoinStyle::Round, gfx::LineJoinStyle::Bevel }) {
        EXPECT_TRUE(bezierPathWithOffset(disc, -60, join, 10)->isEmpty()) << static_cast<int>(join);
        EXPECT_TRUE(bezierPathWithOffset(square(0, 0, 10), -5.5, join, 10)->isEmpty()) << static_cast<int>(join);
        // The square 10 wide shrunk by 4.5 leaves the middle square, 1 wide.
        auto middle = bezierPathWithOffset(square(0, 0, 10), -4.5, join, 10);
        EXPECT_TRUE(gfx::nearlyEqual(middle->bounds(), { 4.5, 4.5, 1, 1 }, 1e-9)) << static_cast<int>(join);
    }
    auto core = bezierPathWithOffset(disc, -49, gfx::LineJoinStyle::Round, 10);
    EXPECT_TRUE(gfx::nearlyEqual(core->bounds(), { 49, 49, 2, 2 }, 0.15));
}

TEST(ClipperExtensions, OffsettingARingShrinksItsHole)
{
    BezierPath ring(*square(0, 0, 30));
    ring.appendBezierPath(*square(10, 10, 10)); // drawn in the same direction as the outside
    auto grown
        = outlinesOf(*bezierPathWithOffset(std::make_shared<BezierPath>(ring), 1, gfx::LineJoinStyle::Miter, 10));
    EXPECT_EQ(grown.pieces, 1);
    EXPECT_EQ(grown.holes, 1);
    EXPECT_NEAR(grown.area, 32 * 32 - 8 * 8, 1e-9);
}

TEST(ClipperExtensions, ConversionsKeepOnePolygonPerSubpath)
{
    BezierPath two(*square(0, 0, 1));
    two.appendBezierPath(*square(5, 5, 1));
    auto polygons = ZORClipperPathToPolygons(two, 10);
    ASSERT_EQ(polygons.size(), 2u);
    EXPECT_EQ(polygons[1][0].X, 50);
    EXPECT_EQ(polygons[1][2].Y, 60);
    // Halves round away from zero.
    BezierPath halves;
    halves.moveToPoint({ 0.05, -0.05 });
    halves.lineToPoint({ 0.25, -0.25 });
    auto rounded = ZORClipperPathToPolygons(halves, 10);
    EXPECT_EQ(rounded[0][0].X, 1);
    EXPECT_EQ(rounded[0][0].Y, -1);
    EXPECT_EQ(rounded[0][1].X, 3);

    ClipperLib::Paths back { { { 0, 0 }, { 30, 0 }, { 30, 7 } }, { { 1, 1 } } };
    auto path = ZORClipperPolygonsToPath(back, 10);
    ASSERT_EQ(path->elementCount(), 5);
    EXPECT_EQ(path->associatedPoints(2)[0], (gfx::Point { 3, 0.7 }));
    EXPECT_EQ(path->elementAtIndex(3), gfx::BezierPathElement::ClosePath);
    EXPECT_EQ(path->elementAtIndex(4), gfx::BezierPathElement::MoveTo) << "a one-point polygon is a lone move";
    EXPECT_TRUE(ZORClipperPolygonsToPath({}, 10)->isEmpty());
}

// The offset as the clipper's own offsetter makes it in one go, from the outlines simplified strictly.
ClipperLib::Paths offsetterResult(const BezierPath& path, double offset, ClipperLib::JoinType join, double miterLimit)
{
    ClipperLib::Paths outlines;
    ClipperLib::SimplifyPolygons(ZORClipperPathToPolygons(path, ZORClipperScale), outlines, ClipperLib::pftEvenOdd);
    ClipperLib::ClipperOffset offsetter(miterLimit, 0.25);
    offsetter.AddPaths(outlines, join, ClipperLib::etClosedPolygon);
    ClipperLib::Paths solution;
    offsetter.Execute(solution, offset * ZORClipperScale);
    return solution;
}

double areaOf(const ClipperLib::Paths& polygons)
{
    double area = 0;
    for (const auto& polygon : polygons)
        area += ClipperLib::Area(polygon);
    return area;
}

double lengthOf(const ClipperLib::Paths& polygons)
{
    double length = 0;
    for (const auto& polygon : polygons)
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            const auto& a = polygon[i];
            const auto& b = polygon[(i + 1) % polygon.size()];
            length += std::hypot(double(b.X - a.X), double(b.Y - a.Y));
        }
    return length;
}

// The area of what the one has and the other lacks.
double areaBeyond(const ClipperLib::Paths& one, const ClipperLib::Paths& other)
{
    ClipperLib::Clipper clipper;
    clipper.AddPaths(one, ClipperLib::ptSubject, true);
    clipper.AddPaths(other, ClipperLib::ptClip, true);
    ClipperLib::Paths beyond;
    clipper.Execute(ClipperLib::ctDifference, beyond, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    return std::fabs(areaOf(beyond));
}

// Offsets are made from the offsetter's own join points, but its pieces are united a few at a time: where edges
// cross, the crossing is rounded to the grid of tenths in another union, so the outlines may lie a tenth apart
// (one grid unit) along their length. What lies between them covers at most their length times a unit and a half.
// Where the offsetter's own result was wrong (a shape grown lost some of itself, or shrunk reached outside itself,
// as it does with some outlines nested in holes), the offset must be right instead.
TEST(ClipperExtensions, OffsetsOfRandomPathsAreTheOffsettersWithinAGridUnit)
{
    const ClipperLib::JoinType joins[] = { ClipperLib::jtMiter, ClipperLib::jtRound, ClipperLib::jtSquare };
    const gfx::LineJoinStyle styles[]
        = { gfx::LineJoinStyle::Miter, gfx::LineJoinStyle::Round, gfx::LineJoinStyle::Bevel };
    int compared = 0, offsetterWrong = 0;
    for (unsigned seed = 1; seed <= 60; ++seed) {
        std::mt19937 random(seed);
        auto path = std::make_shared<BezierPath>(pathtest::randomPath(random, 16));
        const int join = static_cast<int>(seed % 3);
        double offset = std::uniform_real_distribution<double>(0.5, 25)(random);
        if (seed % 2 == 0)
            offset = -offset;
        const double miterLimit = std::uniform_real_distribution<double>(2, 10)(random);
        ClipperLib::Paths shape;
        ClipperLib::SimplifyPolygons(ZORClipperPathToPolygons(*path, ZORClipperScale), shape, ClipperLib::pftEvenOdd);
        const auto expected = offsetterResult(*path, offset, joins[join], miterLimit);
        const auto made
            = ZORClipperPathToPolygons(*bezierPathWithOffset(path, offset, styles[join], miterLimit), ZORClipperScale);
        // Growing keeps the whole shape, shrinking stays inside it.
        const double shapeTolerance = lengthOf(shape) + 1;
        if (offset > 0)
            EXPECT_LE(areaBeyond(shape, made), shapeTolerance) << seed << " offset " << offset;
        else
            EXPECT_LE(areaBeyond(made, shape), shapeTolerance) << seed << " offset " << offset;
        if ((offset > 0 ? areaBeyond(shape, expected) : areaBeyond(expected, shape)) > shapeTolerance) {
            ++offsetterWrong;
            continue;
        }
        if (made.empty() && offset < 0 && std::fabs(areaOf(expected)) < 1e4)
            continue; // a shrink that leaves at most a speck is answered without the clipper
        const double tolerance = 1.5 * (lengthOf(expected) + lengthOf(made)) + 1;
        EXPECT_LE(areaBeyond(expected, made) + areaBeyond(made, expected), tolerance) << seed << " offset " << offset;
        ++compared;
    }
    EXPECT_GT(compared, 45);
    EXPECT_LT(offsetterWrong, 8);
}

// The shape's outlines in units, and what the offset of them is by its definition: the points of the shape (by the
// even-odd rule) and the points within the offset of its outline, growing; the points of the shape farther than the
// offset from its outline, shrinking. Round joins make exactly that, to within the grid and the joins' steps.
struct OffsetReference {
    std::vector<std::vector<gfx::Point>> outlines;

    // The outline of the shape, resolved by the even-odd rule: an edge drawn there and back again bounds nothing.
    explicit OffsetReference(const BezierPath& path)
    {
        ClipperLib::Paths resolved;
        ClipperLib::SimplifyPolygons(ZORClipperPathToPolygons(path, ZORClipperScale), resolved, ClipperLib::pftEvenOdd);
        for (const auto& polygon : resolved) {
            outlines.emplace_back();
            for (const auto& q : polygon)
                outlines.back().push_back({ q.X / ZORClipperScale, q.Y / ZORClipperScale });
        }
    }

    bool inside(gfx::Point p) const
    {
        bool in = false;
        for (const auto& outline : outlines) {
            for (std::size_t i = 0; i < outline.size(); ++i) {
                const gfx::Point a = outline[i], b = outline[(i + 1) % outline.size()];
                if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y))
                    in = !in;
            }
        }
        return in;
    }

    double distanceToOutline(gfx::Point p) const
    {
        double nearest = INFINITY;
        for (const auto& outline : outlines) {
            for (std::size_t i = 0; i < outline.size(); ++i) {
                const gfx::Point a = outline[i], b = outline[(i + 1) % outline.size()];
                const double dx = b.x - a.x, dy = b.y - a.y, squared = dx * dx + dy * dy;
                const double t
                    = squared > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / squared, 0.0, 1.0) : 0.0;
                nearest = std::min(nearest, std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy));
            }
        }
        return nearest;
    }
};

// Offsets against that reference at points on a grid over the shape, away from the result's outline by more than
// what rounding to tenths, the round joins' chords (a quarter of a tenth) and the curves' flattening may move it.
// Miter and bevel joins reach past the round ones at convex corners, by at most the miter limit (or 2) times the
// offset, and never fall short of them.
TEST(ClipperExtensions, OffsetsOfRandomPathsHoldThePointsTheOffsetHoldsByDefinition)
{
    constexpr double Tolerance = 0.15;
    constexpr int Samples = 24;
    for (unsigned seed = 1; seed <= 30; ++seed) {
        std::mt19937 random(seed);
        auto path = std::make_shared<BezierPath>(pathtest::randomPath(random, 12));
        double offset = std::uniform_real_distribution<double>(0.5, 20)(random);
        if (seed % 2 == 0)
            offset = -offset;
        const auto join
            = std::array { gfx::LineJoinStyle::Round, gfx::LineJoinStyle::Miter, gfx::LineJoinStyle::Bevel }[seed % 3];
        const double reach = join == gfx::LineJoinStyle::Round ? 1 : 4; // the miter limit
        const auto made = bezierPathWithOffset(path, offset, join, reach);
        ASSERT_TRUE(made) << seed;
        const OffsetReference shape(*path);
        const gfx::Rect box = gfx::insetRect(path->bounds(), -std::fabs(offset) - 1, -std::fabs(offset) - 1);
        int wrong = 0;
        for (int i = 0; i < Samples; ++i) {
            for (int j = 0; j < Samples; ++j) {
                const gfx::Point p { box.minX() + (i + 0.5) * box.size.width / Samples,
                    box.minY() + (j + 0.5) * box.size.height / Samples };
                const double d = shape.distanceToOutline(p);
                const bool in = shape.inside(p);
                const bool held = made->containsPoint(p, gfx::WindingRule::EvenOdd);
                // Where the round offset surely holds the point, and where no join reaches.
                const bool surelyHeld
                    = offset > 0 ? in || d < offset - Tolerance : in && d > -offset * reach + Tolerance;
                const bool surelyNot
                    = offset > 0 ? !in && d > offset * reach + Tolerance : !in || d < -offset - Tolerance;
                if ((surelyHeld && !held) || (surelyNot && held)) {
                    ++wrong;
                    ADD_FAILURE() << "seed " << seed << " offset " << offset << " at " << p.x << ", " << p.y
                                  << (in ? " inside" : " outside") << " at " << d << " from the outline, "
                                  << (held ? "held" : "not held");
                }
            }
        }
        EXPECT_EQ(wrong, 0) << seed;
    }
}

// A round join's polygon takes more steps the larger the offset; past a moderate offset the steps stop growing,
// so a huge offset costs no more points (and memory) than a moderate one, and stays as close to round.
TEST(ClipperExtensions, HugeOffsetsMakeNoMorePointsThanModerateOnes)
{
    auto sq = square(0, 0, 10);
    for (double r : { 1e4, 1e11, 1e14 }) {
        auto grown = bezierPathWithOffset(sq, r, gfx::LineJoinStyle::Round, 10);
        EXPECT_LE(grown->elementCount(), 1100) << r;
        // Four sides pushed out by r, four quarter discs at the corners: 100 + 40 r + pi r^2; the corner polygons
        // lie inside their arcs by a relative (2 pi / n)^2 / 6 of the discs' area, about 7e-6 for n = 1000 steps.
        const double exact = 100 + 40 * r + std::numbers::pi * r * r;
        const double area = outlinesOf(*grown).area;
        EXPECT_LE(area, exact * (1 + 1e-12)) << r;
        EXPECT_GE(area, exact * (1 - 1e-5)) << r;
        EXPECT_TRUE(gfx::nearlyEqual(grown->bounds(), { -r, -r, 10 + 2 * r, 10 + 2 * r }, 1e-6 * r)) << r;
    }
    // A disc's curves are flattened as coarsely as those corners are rounded: radius 1,000 units at 0.01 of a tenth
    // would be some 2,350 points, each with its own join (and each crossing the others once pushed 1e11 away); at
    // the joins' tolerance of 1e11 * (1 - cos(pi / 1000)), about 5e5 units, each quarter is one chord. Its area:
    // pi (1e11 + 1000)^2, to the same 1e-5 (the chords' square loses 2e-9 of it).
    const double r = 1e11;
    auto disc = bezierPathWithOffset(
        BezierPath::bezierPathWithOvalInRect({ -1000, -1000, 2000, 2000 }), r, gfx::LineJoinStyle::Round, 10);
    EXPECT_LE(disc->elementCount(), 1100);
    EXPECT_NEAR(outlinesOf(*disc).area / (std::numbers::pi * (r + 1000) * (r + 1000)), 1, 1e-5);
    // Grown by its own size, an oval's curves are flattened to a ten-thousandth of the offset, 1e7 units for 1e11:
    // a 5e10 radius then takes some 2 pi sqrt(5e10 / 2e7), about 300 chords, where the joins' tolerance alone left
    // 7,000 (every one crossing the others once pushed out, which four equal ovals and their square took forty
    // seconds to resolve). Each chord lies at most 1e7 inside the circle, so the 1.5e11 disc loses at most
    // 2 * 1e7 / 1.5e11, 1.3e-4, of its area.
    auto own = bezierPathWithOffset(
        BezierPath::bezierPathWithOvalInRect({ 0, 0, 1e11, 1e11 }), 1e11, gfx::LineJoinStyle::Round, 10);
    EXPECT_LE(own->elementCount(), 1500);
    EXPECT_NEAR(outlinesOf(*own).area / (std::numbers::pi * 1.5e11 * 1.5e11), 1, 1.4e-4);
    // A moderate offset keeps the clipper's own precision: a quarter of a tenth of a unit, about 44 steps to the
    // turn at an offset of 10.
    auto near = bezierPathWithOffset(sq, 10, gfx::LineJoinStyle::Round, 10);
    EXPECT_NEAR(outlinesOf(*near).area, 100 + 400 + std::numbers::pi * 100, 0.6);
}

// Curves flatten into more segments the larger they are, up to the 10,000 a curve takes at most, however many points
// that makes (a coarser flattening once lost a tenth of the area of many dots); the parts of a path of huge ones, far
// apart, each go to the clipper on their own.
TEST(ClipperExtensions, HugeCurvesFlattenIntoABoundedNumberOfSegments)
{
    BezierPath discs; // 4 discs of radius 1e9, 16 curves: 10,000 segments each
    for (int i = 0; i < 4; ++i)
        discs.appendBezierPathWithOvalInRect({ 3e9 * i, 0, 2e9, 2e9 });
    auto polygons = ZORClipperPathToPolygons(discs, ZORClipperScale);
    ASSERT_EQ(polygons.size(), 4u);
    // Each a disc of (1e10 scaled units)^2 pi, to within what the oval's four cubics (2.8e-4 more) and the chords
    // (a quarter turn in 10,000, 3e-9 less) leave.
    for (const auto& polygon : polygons) {
        EXPECT_EQ(polygon.size(), 4u * 10000 + 1) << "the clipper's flattening, as fine as a curve is taken";
        EXPECT_NEAR(std::fabs(ClipperLib::Area(polygon)) / (std::numbers::pi * 1e20), 1 + 2.8e-4, 1e-5);
    }
    EXPECT_EQ(ZORClipperPointCount(discs, ZORClipperScale), 4 * (2 + 4 * 10000));
    const auto withSquare = bezierPathByUnionWithPath(discs, *square(-10, -10, 1));
    ASSERT_TRUE(withSquare);
    EXPECT_EQ(outlinesOf(*withSquare).pieces, 5);
    // A disc of radius 10,000 units (1e5 scaled): its quarters' second differences are 0.46 r, so the standard
    // tolerance of 0.01 takes sqrt(0.75 * 0.46e5 / 0.01) = 1,858 segments a quarter, 7,432 in all.
    auto large = ZORClipperPathToPolygons(
        *BezierPath::bezierPathWithOvalInRect({ -10000, -10000, 20000, 20000 }), ZORClipperScale);
    ASSERT_EQ(large.size(), 1u);
    EXPECT_NEAR(double(large[0].size()), 4 * 1858 + 1, 8);
}

TEST(ClipperExtensions, OffsetsBeyondTheClippersRangeGiveAnEmptyPath)
{
    auto sq = square(0, 0, 10);
    for (double offset : { 1e18, -1e18, std::nan(""), HUGE_VAL, -HUGE_VAL }) {
        for (auto join : { gfx::LineJoinStyle::Miter, gfx::LineJoinStyle::Round, gfx::LineJoinStyle::Bevel })
            EXPECT_TRUE(bezierPathWithOffset(sq, offset, join, 10)->isEmpty()) << offset;
    }
    // A spike so sharp that an unlimited miter would reach far beyond the range is cut at a bounded length.
    auto spike = BezierPath::bezierPath();
    spike->moveToPoint({ 0, 0 });
    spike->lineToPoint({ 1e9, 0.1 });
    spike->lineToPoint({ 0, 0.2 });
    spike->closePath();
    auto grown = bezierPathWithOffset(spike, 1000, gfx::LineJoinStyle::Miter, 1e300);
    ASSERT_FALSE(grown->isEmpty());
    EXPECT_LE(grown->bounds().maxX(), 1e9 + 1000 * 1000 + 1);
}

// Grown far, the offsets of many outlines near one another cross at nearly every pair of edges, so they are made
// piece by piece, whose unions grow faster than the outlines: past 20,000 points that is refused, and the caller is
// told by no path at all (a shape shrunk away is an empty path). So is an outline of more than 20,000 points that
// touches itself, which the clipper's strict simplification splits comparing every point with every other.
TEST(ClipperExtensions, OffsetsTooLargeForTheClipperAreRefusedWithNoPath)
{
    auto squares = std::make_shared<BezierPath>(); // 24,000 points along a diagonal
    for (int i = 0; i < 6000; ++i)
        squares->appendBezierPathWithRect({ 3.0 * i, 3.0 * i, 1, 1 });
    testsupport::CapturedLog log;
    EXPECT_EQ(bezierPathWithOffset(squares, 1e3, gfx::LineJoinStyle::Round, 10), nullptr);
    EXPECT_NE(bezierPathWithOffset(squares, 0.5, gfx::LineJoinStyle::Round, 10), nullptr)
        << "apart when grown a little";
    EXPECT_TRUE(log.contains(fnd::LogLevel::Warning, "path offset refused"));
    auto chain = std::make_shared<BezierPath>(); // squares touching corner to corner: one outline, 20,004 points
    for (int i = 0; i < 5001; ++i)
        chain->appendBezierPathWithRect({ double(i), double(i), 1, 1 });
    EXPECT_EQ(bezierPathWithOffset(chain, 0.2, gfx::LineJoinStyle::Miter, 10), nullptr);
    // A square shrunk away is an empty path.
    const auto gone = bezierPathWithOffset(square(0, 0, 1), -0.6, gfx::LineJoinStyle::Miter, 10);
    ASSERT_NE(gone, nullptr);
    EXPECT_TRUE(gone->isEmpty());
}

// Grown by a little, an outline's raw offset crosses itself only here and there, and is united in one go however
// many points it has: a regular polygon of 50,000 points (convex) grows by its perimeter times the offset, plus the
// round corners' disc of the offset's radius (a little less, by the chords of the joins).
TEST(ClipperExtensions, OffsetsOfOutlinesOfManyPointsAreMadeWhenTheyCrossThemselvesLittle)
{
    constexpr int Points = 50000;
    constexpr double Radius = 1000;
    auto polygon = std::make_shared<BezierPath>();
    for (int i = 0; i < Points; ++i) {
        const double a = 2 * std::numbers::pi * i / Points;
        const gfx::Point p { Radius * std::cos(a), Radius * std::sin(a) };
        i == 0 ? polygon->moveToPoint(p) : polygon->lineToPoint(p);
    }
    polygon->closePath();
    const double area = Points / 2.0 * Radius * Radius * std::sin(2 * std::numbers::pi / Points);
    const double perimeter = Points * 2 * Radius * std::sin(std::numbers::pi / Points);
    const auto grown = bezierPathWithOffset(polygon, 1, gfx::LineJoinStyle::Round, 10);
    ASSERT_TRUE(grown);
    // Rounding to tenths moves the outline by at most 0.05 * sqrt(2) anywhere along it, in and out.
    EXPECT_NEAR(outlinesOf(*grown).area, area + perimeter + std::numbers::pi, 2 * perimeter * 0.071);
}

// Many outlines side by side: where none winds round another's part they are united part by part, nested ones in one
// run; either way each keeps its shape. A dot of radius 5 grown by 1 is a disc of radius 6, shrunk by 1 one of
// radius 4 (the round joins' chords take at most 0.025 of the radius, the flattening and the grid of tenths less);
// a square hole of 6 in a square of 1,000 grown by 1 (mitred) is a hole of 4 in a square of 1,002.
TEST(ClipperExtensions, OffsetsOfManyOutlinesKeepEveryOutlinesShape)
{
    constexpr int Dots = 2000;
    std::mt19937 random(11);
    std::uniform_real_distribution<double> jitter(0, 1);
    auto dots = std::make_shared<BezierPath>();
    for (int i = 0; i < Dots; ++i)
        dots->appendBezierPathWithOvalInRect(
            { (i % 45) * 14.0 + jitter(random), (i / 45) * 14.0 + jitter(random), 10, 10 });
    for (double offset : { 1.0, -1.0 }) {
        const auto made = bezierPathWithOffset(dots, offset, gfx::LineJoinStyle::Round, 10);
        ASSERT_TRUE(made) << offset;
        const auto outlines = outlinesOf(*made);
        EXPECT_EQ(outlines.pieces, Dots) << offset;
        EXPECT_EQ(outlines.holes, 0) << offset;
        const double radius = 5 + offset;
        EXPECT_NEAR(outlines.area / (Dots * std::numbers::pi * radius * radius), 1, 0.01) << offset;
    }
    constexpr int Side = 71;
    auto holes = std::make_shared<BezierPath>(*square(0, 0, 1000));
    for (int i = 0; i < Side * Side; ++i)
        holes->appendBezierPathWithRect({ 10 + (i % Side) * 14.0, 10 + (i / Side) * 14.0, 6, 6 });
    for (double offset : { 1.0, -1.0 }) {
        const auto made = bezierPathWithOffset(holes, offset, gfx::LineJoinStyle::Miter, 10);
        ASSERT_TRUE(made) << offset;
        const auto outlines = outlinesOf(*made);
        EXPECT_EQ(outlines.pieces, 1) << offset;
        EXPECT_EQ(outlines.holes, Side * Side) << offset;
        const double outer = 1000 + 2 * offset, hole = 6 - 2 * offset;
        EXPECT_NEAR(outlines.area, outer * outer - Side * Side * hole * hole, 1e-6) << offset;
    }
}

TEST(ClipperExtensions, CoordinatesBeyondTheClippersRangeGiveAnEmptyPath)
{
    auto huge = square(0, 0, 1e300);
    EXPECT_TRUE(bezierPathByUnionWithPath(*huge, *square(0, 0, 1))->isEmpty());
    EXPECT_TRUE(bezierPathWithOffset(huge, 1)->isEmpty());
    auto nan = square(0, 0, std::nan(""));
    EXPECT_TRUE(bezierPathByIntersectingPath(*nan, *square(0, 0, 1))->isEmpty());
}

}
