#include "frameworks/AppKitExtensions/ClipperExtensions.h"

#include "frameworks/AppKitExtensions/ZORClipperConversions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

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

TEST(ClipperExtensions, CoordinatesBeyondTheClippersRangeGiveAnEmptyPath)
{
    auto huge = square(0, 0, 1e300);
    EXPECT_TRUE(bezierPathByUnionWithPath(*huge, *square(0, 0, 1))->isEmpty());
    EXPECT_TRUE(bezierPathWithOffset(huge, 1)->isEmpty());
    auto nan = square(0, 0, std::nan(""));
    EXPECT_TRUE(bezierPathByIntersectingPath(*nan, *square(0, 0, 1))->isEmpty());
}

}
