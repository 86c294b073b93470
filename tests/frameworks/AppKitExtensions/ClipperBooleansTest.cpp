#include "frameworks/AppKitExtensions/ClipperExtensions.h"

#include "frameworks/AppKitExtensions/ZORClipperConversions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <string>

// Booleans of paths of many outlines: each part of the path whose outlines meet goes to the clipper on its own, so
// no bound on the whole path makes its curves coarser or its result empty.
namespace clipperbooleans {

using namespace ClipperExtensions;
using gfx::BezierPath;

constexpr double Pi = std::numbers::pi;

// The area a path of straight outlines encloses, each outline counted with its sign (holes run the other way).
double signedArea(const BezierPath& path)
{
    double area = 0;
    gfx::Point start, previous;
    for (std::int64_t i = 0; i < path.elementCount(); ++i) {
        const auto kind = path.elementAtIndex(i);
        if (kind == gfx::BezierPathElement::ClosePath) {
            area += previous.x * start.y - start.x * previous.y;
            previous = start;
            continue;
        }
        const gfx::Point p = path.associatedPoints(i)[0];
        if (kind == gfx::BezierPathElement::MoveTo)
            start = p;
        else
            area += previous.x * p.y - p.x * previous.y;
        previous = p;
    }
    return area / 2;
}

double areaOf(const gfx::Rect& r)
{
    return r.size.width * r.size.height;
}

std::int64_t outlineCount(const BezierPath& path)
{
    std::int64_t count = 0;
    for (auto kind : path.elementKinds())
        count += kind == gfx::BezierPathElement::MoveTo;
    return count;
}

// Dots of radius 5 on a grid 12 apart, each moved by up to a unit so that rounding to tenths does not err alike for
// all of them.
BezierPath jitteredDots(int count, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> jitter(0, 1);
    const int columns = static_cast<int>(std::ceil(std::sqrt(count)));
    BezierPath path;
    for (int i = 0; i < count; ++i)
        path.appendBezierPathWithOvalInRect(
            { (i % columns) * 12.0 + jitter(random), (i / columns) * 12.0 + jitter(random), 10, 10 });
    return path;
}

// A dot's four cubics enclose 2.8e-4 more than its circle; chords within a thousandth of a unit of the curve (the
// clipper's flattening of 0.01 of a tenth) take back less than 2 pi r * 0.001 / (pi r^2) = 4e-4 of it. A coarser
// flattening loses more: the octagons a path of 10,000 points came back as lost 10 %.
constexpr double DotAreaTolerance = 5e-4;

TEST(ClipperBooleans, ThousandsOfDotsInsideARectangleKeepTheirArea)
{
    for (int count : { 1000, 5000 }) {
        const BezierPath dots = jitteredDots(count, 7);
        const auto rectangle = BezierPath::bezierPathWithRect(gfx::insetRect(dots.bounds(), -1, -1));
        const auto inside = bezierPathByIntersectingPath(dots, *rectangle);
        ASSERT_TRUE(inside) << count;
        EXPECT_EQ(outlineCount(*inside), count);
        EXPECT_NEAR(signedArea(*inside) / (count * Pi * 25), 1, DotAreaTolerance) << count;
        // Taken out of the rectangle, they leave as many holes.
        const auto punched = bezierPathByDifferenceWithPath(*rectangle, dots);
        ASSERT_TRUE(punched) << count;
        EXPECT_EQ(outlineCount(*punched), count + 1);
        EXPECT_NEAR((areaOf(rectangle->bounds()) - signedArea(*punched)) / (count * Pi * 25), 1, DotAreaTolerance)
            << count;
    }
}

// A row of dots whose centres lie on the rectangle's lower edge: each operation keeps whole halves of dots.
TEST(ClipperBooleans, ARectangleThroughTheCentresOfARowOfDotsHalvesThem)
{
    constexpr int Count = 1000;
    std::mt19937 random(3);
    BezierPath row;
    for (int i = 0; i < Count; ++i)
        row.appendBezierPathWithOvalInRect(
            { i * 12.0 + std::uniform_real_distribution<double>(0, 1)(random), -5, 10, 10 });
    const gfx::Rect box { -10, 0, Count * 12.0 + 20, 20 };
    const auto rectangle = BezierPath::bezierPathWithRect(box);
    const double half = Count * Pi * 25 / 2;
    struct Case {
        std::uint64_t operation;
        double area; // worked out from the halves
        double halves; // how many half-dot areas of error the tolerance allows for
    };
    const Case cases[] = {
        { BooleanIntersection, half, 1 }, { BooleanUnion, areaOf(box) + half, 1 }, { BooleanDifference, half, 1 },
        { BooleanXOR, areaOf(box), 2 }, // the upper halves cut out, the lower ones added: the errors add up
    };
    for (const auto& c : cases) {
        const auto result = bezierPathByApplyingBooleanOperation(row, c.operation, *rectangle);
        ASSERT_TRUE(result) << c.operation;
        EXPECT_NEAR(signedArea(*result), c.area, c.halves * half * DotAreaTolerance) << c.operation;
    }
}

// A comb: `teeth` points zigzagging 10 high along the top of a base, a unit apart.
BezierPath comb(int teeth, double dx = 0, double dy = 0)
{
    BezierPath path;
    path.moveToPoint({ dx, dy - 10 });
    for (int i = 0; i < teeth; ++i)
        path.lineToPoint({ dx + i, dy + (i % 2) * 10.0 });
    path.lineToPoint({ dx + teeth - 1, dy - 10 });
    path.closePath();
    return path;
}

// The clipper's sweep meets every tooth of two combs laid over each other with all the others beside it: its time
// grows with the square of their points. Past what it does in a couple of seconds the operation is refused, and the
// caller is told by no path at all, which no result of an operation is (an empty intersection is an empty path).
TEST(ClipperBooleans, OperationsTooLargeForTheSweepAreRefusedWithNoPath)
{
    const BezierPath a = comb(40000), b = comb(40000, 0.5, 3);
    EXPECT_EQ(bezierPathByUnionWithPath(a, b), nullptr);
    EXPECT_EQ(bezierPathByIntersectingPath(a, b), nullptr);
    // Combs apart have nothing in common, and no sweep is needed to say so: an empty intersection is an empty path.
    const auto none = bezierPathByIntersectingPath(a, comb(40000, 0, 100));
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->isEmpty());
    // Smaller combs are swept. A comb of 5,000 points is 4,999 long: a base 10 deep under teeth 5 high on average;
    // with the same comb 3 higher its union reaches from the lower base to the upper teeth.
    const auto both = bezierPathByUnionWithPath(comb(5000), comb(5000, 0, 3));
    ASSERT_TRUE(both);
    EXPECT_NEAR(signedArea(*both), 4999 * (10 + 5 + 3), 1e-6);
}

// A regular polygon of so many points round the origin.
BezierPath regularPolygon(int points, double radius)
{
    BezierPath polygon;
    for (int i = 0; i < points; ++i) {
        const double a = 2 * Pi * i / points;
        const gfx::Point p { radius * std::cos(a), radius * std::sin(a) };
        i == 0 ? polygon.moveToPoint(p) : polygon.lineToPoint(p);
    }
    polygon.closePath();
    return polygon;
}

// A regular polygon of 50,000 points: one outline far beyond what once was refused, yet one sweep of it is quick.
TEST(ClipperBooleans, OutlinesOfManyPointsAreTakenWhenTheirSweepIsQuick)
{
    constexpr int Points = 50000;
    constexpr double Radius = 1000;
    const BezierPath polygon = regularPolygon(Points, Radius);
    const double area = Points / 2.0 * Radius * Radius * std::sin(2 * Pi / Points);
    // Rounding every point to tenths moves the outline by at most 0.05 * sqrt(2) anywhere along it.
    const double rounding = 2 * Pi * Radius * 0.071;
    const auto upper = bezierPathByIntersectingPath(polygon, *BezierPath::bezierPathWithRect({ -2000, 0, 4000, 2000 }));
    ASSERT_TRUE(upper);
    EXPECT_NEAR(signedArea(*upper), area / 2, rounding / 2);
    const auto square = BezierPath::bezierPathWithRect({ -100, -100, 200, 200 });
    const auto ring = bezierPathByDifferenceWithPath(polygon, *square);
    ASSERT_TRUE(ring);
    EXPECT_NEAR(signedArea(*ring), area - 40000, rounding);
}

// An outline drawn twice encloses nothing by the even-odd rule; the clipper finds that joining its edges one at a
// time along the whole chain of them, which grows with the square of their number: past what it does in a couple
// of seconds, the operation is refused.
TEST(ClipperBooleans, OutlinesDrawnTwiceCancelOrAreRefused)
{
    const auto square = BezierPath::bezierPathWithRect({ 5000, 0, 1, 1 });
    BezierPath twice = regularPolygon(5000, 1000);
    twice.appendBezierPath(regularPolygon(5000, 1000));
    const auto cancelled = bezierPathByUnionWithPath(twice, *square);
    ASSERT_TRUE(cancelled);
    EXPECT_NEAR(signedArea(*cancelled), 1, 1e-9);
    BezierPath longer = regularPolygon(30000, 1000);
    longer.appendBezierPath(regularPolygon(30000, 1000));
    EXPECT_EQ(bezierPathByUnionWithPath(longer, *square), nullptr);
}

// Two huge ovals a rounding apart in one path touch at thousands of their points, and by the even-odd rule leave
// thousands of slivers between them: the clipper splits what it builds at every one of those points, walking the
// pieces each time (ten seconds for two ovals of 40,000 points). Refused. Small ones a rounding apart are combined.
TEST(ClipperBooleans, OutlinesTouchingAtThousandsOfPointsAreRefusedWhenLong)
{
    const auto twice = [](const gfx::Rect& oval) {
        BezierPath path;
        path.appendBezierPathWithOvalInRect(oval);
        path.appendBezierPathWithOvalInRect(gfx::offsetRect(oval, 0, 0.03125));
        return path;
    };
    const auto square = BezierPath::bezierPathWithRect({ -10, -10, 1, 1 });
    EXPECT_EQ(bezierPathByUnionWithPath(twice({ 1e11, -40.203125, 1e11, 1e11 }), *square), nullptr);
    const auto small = bezierPathByUnionWithPath(twice({ 0, 0, 1000, 1000 }), *square);
    ASSERT_TRUE(small);
    // The square and the slivers, which lie along the outline within the shift and a tenth of rounding.
    EXPECT_GT(signedArea(*small), 1);
    EXPECT_LT(signedArea(*small), 1 + Pi * 1000 * (0.03125 + 0.1));
}

// Random paths of dots, squares, rings and triangles, some overlapping and some nested, against the same operation made
// by one run of the clipper over all of their outlines: the parts made one at a time must cover the same region, and
// their outlines must run so that the nonzero rule fills that region as the even-odd rule does.
BezierPath randomShapes(std::mt19937& random, int count)
{
    std::uniform_real_distribution<double> place(0, 300), size(2, 60);
    std::uniform_int_distribution<int> pick(0, 4);
    BezierPath path;
    for (int i = 0; i < count; ++i) {
        const gfx::Rect r { place(random), place(random), size(random), size(random) };
        switch (pick(random)) {
        case 0:
            path.appendBezierPathWithOvalInRect(r);
            break;
        case 1:
            path.appendBezierPathWithRect(r);
            break;
        case 2: // a ring: the inner square drawn the same way round as the outer one
            path.appendBezierPathWithRect(r);
            path.appendBezierPathWithRect(gfx::insetRect(r, r.size.width / 4, r.size.height / 4));
            break;
        case 3: // a small dot
            path.appendBezierPathWithOvalInRect({ r.origin, { 3, 3 } });
            break;
        default: { // a large triangle, its long edges slanting past other shapes
            const gfx::Point corners[] = { r.origin, { r.origin.x + 4 * r.size.width, r.origin.y + r.size.height },
                { r.origin.x + r.size.width, r.origin.y + 4 * r.size.height } };
            path.appendBezierPathWithPoints(corners);
            path.closePath();
            break;
        }
        }
    }
    return path;
}

ClipperLib::Paths inOneRun(const BezierPath& subject, std::uint64_t operation, const BezierPath& clip)
{
    ClipperLib::Clipper clipper;
    clipper.AddPaths(ZORClipperPathToPolygons(subject, ZORClipperScale), ClipperLib::ptSubject, true);
    clipper.AddPaths(ZORClipperPathToPolygons(clip, ZORClipperScale), ClipperLib::ptClip, true);
    ClipperLib::Paths solution;
    clipper.Execute(
        static_cast<ClipperLib::ClipType>(operation), solution, ClipperLib::pftEvenOdd, ClipperLib::pftEvenOdd);
    return solution;
}

// How wide the widest piece is that one region has and the other lacks, on average along it (twice its area over its
// perimeter), in grid units.
double widestDifference(const ClipperLib::Paths& a, const ClipperLib::Paths& b)
{
    ClipperLib::Clipper clipper;
    clipper.AddPaths(a, ClipperLib::ptSubject, true);
    clipper.AddPaths(b, ClipperLib::ptClip, true);
    ClipperLib::Paths pieces;
    clipper.Execute(ClipperLib::ctXor, pieces, ClipperLib::pftEvenOdd, ClipperLib::pftEvenOdd);
    double widest = 0;
    for (const auto& piece : pieces) {
        double perimeter = 0;
        for (std::size_t i = 0; i < piece.size(); ++i) {
            const auto &p = piece[i], &q = piece[(i + 1) % piece.size()];
            perimeter += std::hypot(double(q.X - p.X), double(q.Y - p.Y));
        }
        widest = std::max(widest, 2 * std::fabs(ClipperLib::Area(piece)) / perimeter);
    }
    return widest;
}

TEST(ClipperBooleans, PartsMadeOneAtATimeMatchOneRunOverTheWholePaths)
{
    for (unsigned seed = 1; seed <= 30; ++seed) {
        std::mt19937 random(seed);
        const BezierPath subject = randomShapes(random, 12), clip = randomShapes(random, 12);
        for (std::uint64_t operation = BooleanIntersection; operation <= BooleanXOR; ++operation) {
            const std::string where = "seed " + std::to_string(seed) + " operation " + std::to_string(operation);
            const auto made = bezierPathByApplyingBooleanOperation(subject, operation, clip);
            ASSERT_TRUE(made) << where;
            const auto polygons = ZORClipperPathToPolygons(*made, ZORClipperScale);
            // Both on the same grid of tenths: they differ at most where the clipper rounds a crossing, in slivers
            // along long edges, a fraction of a grid unit wide (a dot of radius 1.5 missing would be 15 wide).
            EXPECT_LE(widestDifference(polygons, inOneRun(subject, operation, clip)), 1) << where;
            std::uniform_real_distribution<double> place(0, 560);
            for (int i = 0; i < 200; ++i) {
                const gfx::Point p { place(random) + 0.013, place(random) + 0.017 }; // off the grid of tenths
                EXPECT_EQ(made->containsPoint(p, gfx::WindingRule::NonZero),
                    made->containsPoint(p, gfx::WindingRule::EvenOdd))
                    << where << " at " << p.x << ", " << p.y;
            }
        }
    }
}

}
