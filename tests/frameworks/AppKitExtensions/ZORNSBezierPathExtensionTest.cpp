#include "frameworks/AppKitExtensions/ZORNSBezierPathExtension.h"

#include "frameworks/AppKitExtensions/ZORBezierPathIterator.h"
#include "platform/graphics/Color.h"
#include "support/Canvas.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace ZORNSBezierPathExtension;
using gfx::BezierPath;
using gfx::Point;
using gfx::Rect;

BezierPath polyline(std::initializer_list<Point> points, bool close = false)
{
    BezierPath path;
    bool first = true;
    for (Point p : points) {
        if (first)
            path.moveToPoint(p);
        else
            path.lineToPoint(p);
        first = false;
    }
    if (close)
        path.closePath();
    return path;
}

TEST(ZORNSBezierPathExtension, RoundedRectanglesStayInsideTheirRectangle)
{
    Rect rect { 10, 20, 40, 20 };
    for (double radius : { 0.0, 5.0, 10.0, 100.0 }) {
        auto path = bezierPathWithRoundedRectangle(rect, radius);
        EXPECT_TRUE(gfx::nearlyEqual(path->bounds(), rect, 1e-9)) << "radius " << radius;
        EXPECT_EQ(path->associatedPoints(0)[0], (Point { 30, 40 })) << "starts at the top middle";
        EXPECT_TRUE(path->containsPoint({ 30, 30 }));
        EXPECT_EQ(path->containsPoint({ 10.5, 20.5 }), radius < 1) << "a rounded corner leaves its tip out";
    }
    // A radius beyond half the shorter side is a stadium: the left and right ends are half circles.
    auto stadium = bezierPathWithRoundedRectangle(rect, 100);
    EXPECT_TRUE(stadium->containsPoint({ 10.2, 30 }));
    EXPECT_FALSE(stadium->containsPoint({ 11, 21 }));

    BezierPath left, right;
    appendBezierPathWithLeftRoundedRectangle(left, rect, 8);
    appendBezierPathWithRightRoundedRectangle(right, rect, 8);
    for (auto* path : { &left, &right })
        EXPECT_TRUE(gfx::nearlyEqual(path->bounds(), rect, 1e-9));
    EXPECT_FALSE(left.containsPoint({ 10.5, 20.5 }));
    EXPECT_TRUE(left.containsPoint({ 49.5, 20.5 })) << "right corners stay square";
    EXPECT_TRUE(right.containsPoint({ 10.5, 39.5 }));
    EXPECT_FALSE(right.containsPoint({ 49.5, 39.5 }));
}

TEST(ZORNSBezierPathExtension, BleedAndCropMarks)
{
    Rect rect { 0, 0, 120, 80 };
    for (int index : { 3, 8, -1 })
        EXPECT_TRUE(bezierPathWithBleedMarkInRect(rect, index)->isEmpty()) << index;
    auto mark = bezierPathWithBleedMarkInRect(rect, 5);
    ASSERT_EQ(mark->elementCount(), 4);
    EXPECT_EQ(mark->associatedPoints(0)[0], (Point { 120, 0 }));
    EXPECT_EQ(mark->associatedPoints(1)[0], (Point { 0, 0 }));
    EXPECT_EQ(mark->associatedPoints(2)[0], (Point { 120, 0 }));
    EXPECT_EQ(mark->associatedPoints(3)[0], (Point { 120, 80 }));

    // Outer oval inset by a quarter, inner by a third; the ticks run from the edges to the outer oval.
    auto crop = bezierPathWithCropMarkInRect(rect);
    BezierPath outer, inner;
    outer.appendBezierPathWithOvalInRect({ 30, 20, 60, 40 });
    inner.appendBezierPathWithOvalInRect({ 40, 80.0 / 3, 40, 80.0 / 3 });
    ASSERT_EQ(crop->elementCount(), outer.elementCount() + inner.elementCount() + 12);
    EXPECT_TRUE(gfx::nearlyEqual(outer.bounds(), { 30, 20, 60, 40 }, 1e-9));
    for (std::int64_t i = 0; i < outer.elementCount(); ++i)
        EXPECT_EQ(crop->elementAtIndex(i), outer.elementAtIndex(i));
    auto tail = crop->elementCount() - 12;
    EXPECT_EQ(crop->associatedPoints(tail)[0], (Point { 60, 80.0 / 3 }));
    EXPECT_EQ(crop->associatedPoints(tail + 4)[0], (Point { 60, 0 }));
    EXPECT_EQ(crop->associatedPoints(tail + 5)[0], (Point { 60, 20 }));
    EXPECT_EQ(crop->associatedPoints(tail + 11)[0], (Point { 90, 40 }));
}

TEST(ZORNSBezierPathExtension, EndPointsAndAngles)
{
    BezierPath empty;
    EXPECT_EQ(firstPoint(empty), (Point {}));
    EXPECT_EQ(lastPoint(empty), (Point {}));
    auto open = polyline({ { 1, 2 }, { 1, 12 }, { 11, 12 } });
    EXPECT_EQ(firstPoint(open), (Point { 1, 2 }));
    EXPECT_EQ(lastPoint(open), (Point { 11, 12 }));
    EXPECT_NEAR(startAngle(open), 90, 1e-5);
    EXPECT_NEAR(endAngle(open), 180, 1e-5) << "the reversed path leaves its end going left";
    EXPECT_NEAR(slopeStartingPath(open), M_PI / 2, 1e-6);
    EXPECT_EQ(slopeStartingPath(polyline({ { 1, 2 } })), 0);
    EXPECT_EQ(lastPoint(polyline({ { 0, 0 }, { 5, 0 } }, true)), (Point {})) << "a close has no point of its own";

    BezierPath curved;
    curved.moveToPoint({ 0, 0 });
    curved.curveToPoint({ 10, 10 }, { 0, -5 }, { 10, 5 });
    EXPECT_NEAR(startAngle(curved), -90, 1e-5) << "towards the first control point";
    EXPECT_EQ(lastPoint(curved), (Point { 10, 10 }));
}

TEST(ZORNSBezierPathExtension, ClosedMeansTheElementsOwnSubpathIsClosed)
{
    // The first subpath is open and the second closed: the first answer is about the first subpath alone.
    auto path = polyline({ { 0, 0 }, { 10, 0 } });
    path.appendBezierPath(polyline({ { 20, 0 }, { 30, 0 }, { 30, 10 } }, true));
    EXPECT_FALSE(isPathClosed(path));
    EXPECT_FALSE(subpathContainingElementIsClosed(path, 1));
    EXPECT_TRUE(subpathContainingElementIsClosed(path, 2));
    EXPECT_TRUE(subpathContainingElementIsClosed(path, 4));
    EXPECT_FALSE(subpathContainingElementIsClosed(path, 6));
    EXPECT_FALSE(subpathContainingElementIsClosed(path, -1));
    EXPECT_TRUE(isPathClosed(*BezierPath::bezierPathWithRect({ 0, 0, 1, 1 })));
}

TEST(ZORNSBezierPathExtension, RectangularMeansOneClosedAxisAlignedLoopOfFourCorners)
{
    EXPECT_TRUE(isRectangular(BezierPath()));
    EXPECT_TRUE(isRectangular(*BezierPath::bezierPathWithRect({ 1, 2, 3, 4 })));
    EXPECT_TRUE(isRectangular(polyline({ { 0, 0 }, { 0, 5 }, { 8, 5 }, { 8, 0 }, { 0, 0 } })))
        << "a last line onto the start closes it too";
    EXPECT_FALSE(isRectangular(*BezierPath::bezierPathWithOvalInRect({ 0, 0, 4, 4 })));
    EXPECT_FALSE(isRectangular(polyline({ { 0, 0 }, { 4, 0 }, { 4, 4 } }, true))) << "a triangle on three corners";
    EXPECT_FALSE(isRectangular(polyline({ { 0, 0 }, { 4, 0 }, { 0, 4 }, { 4, 4 } }, true))) << "a Z through all four";
    EXPECT_FALSE(isRectangular(polyline({ { 0, 0 }, { 4, 0 }, { 4, 4 }, { 0, 4 } }))) << "open";
    auto two = *BezierPath::bezierPathWithRect({ 0, 0, 1, 1 });
    two.appendBezierPathWithRect({ 0, 0, 1, 1 });
    EXPECT_FALSE(isRectangular(two));
}

TEST(ZORNSBezierPathExtension, PositionOfPointSnapsToTheFirstOnPathPointWithinThePadding)
{
    BezierPath path = polyline({ { 0, 0 }, { 10, 0 } });
    path.curveToPoint({ 20, 10 }, { 10.5, 0.5 }, { 15, 10 });
    EXPECT_EQ(positionOfPointAtPoint(path, { 10, 0 }, 0), (Point { 10, 0 })) << "padding 0 never snaps";
    EXPECT_EQ(positionOfPointAtPoint(path, { 10.4, 0.4 }, 0), (Point { 10.4, 0.4 }));
    EXPECT_EQ(positionOfPointAtPoint(path, { 10.4, 0.4 }, 0.5), (Point { 10, 0 }));
    EXPECT_EQ(positionOfPointAtPoint(path, { 10.5, 0.5 }, 0.5), (Point { 10.5, 0.5 })) << "control points do not count";
    EXPECT_EQ(positionOfPointAtPoint(path, { 19, 9 }, 2), (Point { 20, 10 }));
}

TEST(ZORNSBezierPathExtension, IteratorWithFlatnessLeavesTheDefaultsAlone)
{
    const double before = BezierPath::defaultFlatness();
    BezierPath path;
    path.moveToPoint({ 0, 0 });
    path.curveToPoint({ 100, 0 }, { 0, 100 }, { 100, 100 });
    auto iterator = pathIteratorWithTransform(path, gfx::AffineTransform::translation(5, 0), 0.5, true);
    EXPECT_EQ(BezierPath::defaultFlatness(), before);
    EXPECT_EQ(path.flatness(), before);
    EXPECT_GT(iterator->elementCount(), 4) << "flattened into lines";
    Point points[3];
    EXPECT_EQ(iterator->nextWithPointBuffer(points), 0);
    EXPECT_EQ(points[0], (Point { 105, 0 })) << "reversed and moved";
    while (iterator->nextWithPointBuffer(points) != fnd::NotFound)
        ;
    EXPECT_EQ(points[0], (Point { 5, 0 }));
}

TEST(ZORNSBezierPathExtension, HelpPathsCoverWholeDevicePixelsUnderAnyScale)
{
    Canvas canvas(40, 40);
    canvas.context().scaleCTM(2, 2);
    const auto before = canvas.context().CTM();
    gfx::Color::blackColor()->set();
    // y 5.3 is device row 10.6: the line lands on the centre of row 11, one pixel wide.
    strokeAsHelpPath(*bezierPathWithLineFrom({ 2, 5.3 }, { 15, 5.3 }));
    for (int x = 6; x < 29; ++x) {
        EXPECT_EQ(canvas.alpha(x, 11), 255) << x;
        EXPECT_EQ(canvas.alpha(x, 10), 0) << x;
        EXPECT_EQ(canvas.alpha(x, 12), 0) << x;
    }
    EXPECT_EQ(canvas.context().CTM(), before);
    EXPECT_TRUE(canvas.context().shouldAntialias());

    // A filled square snaps its corners to pixel centres: whole pixels, no partly covered edge.
    fillAsHelpPath(*BezierPath::bezierPathWithRect({ 10.1, 10.1, 5, 5 }));
    for (int x = 18; x < 34; ++x)
        for (int y = 18; y < 34; ++y) {
            int a = canvas.alpha(x, y);
            EXPECT_TRUE(a == 0 || a == 255) << x << "," << y;
        }
    EXPECT_EQ(canvas.alpha(25, 25), 255);
    EXPECT_EQ(canvas.alpha(31, 31), 0) << "device 30.5 is the far edge";

    BezierPath snapped = *BezierPath::bezierPathWithRect({ 0.2, 1.7, 2.4, 2.2 });
    ZORNSBezierPathExtensionPrivat::normalizeBezierPath(snapped);
    EXPECT_EQ(snapped.associatedPoints(0)[0], (Point { 0.5, 2.5 }));
    EXPECT_EQ(snapped.associatedPoints(2)[0], (Point { 3.5, 4.5 }));
}

TEST(ZORBezierPathIterator, WalksElementsThroughItsTransform)
{
    auto path = std::make_shared<BezierPath>();
    auto empty = std::make_shared<ZORBezierPathIterator>(path);
    EXPECT_EQ(empty->nextWithPointBuffer(nullptr), fnd::NotFound);

    path->moveToPoint({ 1, 2 });
    path->curveToPoint({ 7, 8 }, { 3, 4 }, { 5, 6 });
    path->closePath();
    ZORBezierPathIterator iterator(path, gfx::AffineTransform::translation(10, 0));
    EXPECT_EQ(iterator.elementCount(), 3);
    EXPECT_EQ(iterator.windingRule(), path->windingRule());
    Point points[3] { { -1, -1 }, { -1, -1 }, { -1, -1 } };
    EXPECT_EQ(iterator.nextWithPointBuffer(points), 0);
    EXPECT_EQ(points[0], (Point { 11, 2 }));
    double coordinates[6] {};
    EXPECT_EQ(iterator.nextWithCooBuffer(coordinates), 2);
    EXPECT_EQ(std::vector<double>(coordinates, coordinates + 6), (std::vector<double> { 13, 4, 15, 6, 17, 8 }));
    double untouched[6] { 9, 9, 9, 9, 9, 9 };
    EXPECT_EQ(iterator.nextWithCooBuffer(untouched), 3);
    EXPECT_EQ(untouched[0], 9) << "a close has no points to copy";
    EXPECT_EQ(iterator.nextWithCooBuffer(untouched), fnd::NotFound);
    EXPECT_EQ(iterator.nextWithPointBuffer(points), fnd::NotFound) << "stays at the end";
}

}
