#include "platform/graphics/Geometry.h"
#include "platform/graphics/AffineTransform.h"

#include "GraphicsPrinters.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace gfx;

TEST(Geometry, PointInRectTakesMinEdgesAndLeavesMaxEdges)
{
    const Rect r { 10, 20, 30, 40 };
    struct Case {
        Point p;
        bool in, mouseUnflipped;
    };
    const Case cases[] = {
        { { 10, 20 }, true, false }, // bottom-left corner: in, but a y-up pointer test leaves the bottom edge out
        { { 39.999, 59.999 }, true, true },
        { { 40, 30 }, false, false }, // max x edge
        { { 20, 60 }, false, true }, // max y edge: only the y-up pointer test takes it
        { { 9.999, 30 }, false, false },
        { { 25, 40 }, true, true },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pointInRect(c.p, r), c.in) << c.p.x << "," << c.p.y;
        EXPECT_EQ(mouseInRect(c.p, r, true), c.in) << c.p.x << "," << c.p.y;
        EXPECT_EQ(mouseInRect(c.p, r, false), c.mouseUnflipped) << c.p.x << "," << c.p.y;
    }
    EXPECT_FALSE(pointInRect({ 0, 0 }, Rect { 0, 0, 0, 10 }));
}

TEST(Geometry, IntersectionAndUnionTreatEmptyRectsAsAbsent)
{
    const Rect a { 0, 0, 10, 10 };
    EXPECT_EQ(intersectionRect(a, { 5, 5, 10, 10 }), (Rect { 5, 5, 5, 5 }));
    EXPECT_EQ(intersectionRect(a, { 10, 0, 5, 5 }), ZeroRect); // touching edges share no area
    EXPECT_FALSE(intersectsRect(a, { 10, 0, 5, 5 }));
    EXPECT_TRUE(intersectsRect(a, { 9.5, 9.5, 5, 5 }));
    EXPECT_FALSE(intersectsRect(a, { 2, 2, 0, 5 }));
    EXPECT_EQ(unionRect(a, { 20, 20, 0, 0 }), a);
    EXPECT_EQ(unionRect({ 3, 3, 0, 0 }, { 20, 20, 0, 5 }), ZeroRect);
    EXPECT_EQ(unionRect(a, { -5, 2, 5, 20 }), (Rect { -5, 0, 15, 22 }));
    EXPECT_TRUE(containsRect(a, { 0, 0, 10, 10 }));
    EXPECT_FALSE(containsRect(a, { 1, 1, 0, 0 }));
    EXPECT_FALSE(containsRect(a, { 1, 1, 10, 1 }));
}

TEST(Geometry, IntegralInsetAndDivide)
{
    EXPECT_EQ(integralRect({ 0.2, -0.5, 100, 50 }), (Rect { 0, -1, 101, 51 }));
    EXPECT_EQ(integralRect({ 0.2, 0.2, 0, 5 }), ZeroRect);
    // 100 × 50 points at 300 dpi.
    Rect pixels = integralRect({ 0, 0, 100 * 300 / 72.0, 50 * 300 / 72.0 });
    EXPECT_EQ(pixels.size, (Size { 417, 209 }));
    EXPECT_EQ(insetRect({ 0, 0, 10, 10 }, 2, 3), (Rect { 2, 3, 6, 4 }));
    EXPECT_EQ(insetRect({ 0, 0, 10, 10 }, EdgeInsets { 1, 2, 3, 4 }), (Rect { 2, 3, 4, 6 }));

    struct Case {
        RectEdge edge;
        double amount;
        Rect slice, rest;
    };
    const Rect r { 0, 0, 10, 20 };
    const Case cases[] = {
        { RectEdge::MinY, 1, { 0, 0, 10, 1 }, { 0, 1, 10, 19 } },
        { RectEdge::MaxY, 5, { 0, 15, 10, 5 }, { 0, 0, 10, 15 } },
        { RectEdge::MinX, 3, { 0, 0, 3, 20 }, { 3, 0, 7, 20 } },
        { RectEdge::MaxX, 30, { 0, 0, 10, 20 }, { 0, 0, 0, 20 } },
        { RectEdge::MinX, -4, { 0, 0, 0, 20 }, { 0, 0, 10, 20 } },
    };
    for (const auto& c : cases) {
        auto [slice, rest] = divideRect(r, c.amount, c.edge);
        EXPECT_EQ(slice, c.slice) << static_cast<int>(c.edge) << " " << c.amount;
        EXPECT_EQ(rest, c.rest) << static_cast<int>(c.edge) << " " << c.amount;
    }
}

TEST(Geometry, TextFormsRoundTripAndBadTextGivesZero)
{
    EXPECT_EQ(stringFromPoint({ 1.5, -2 }).utf8(), "{1.5, -2}");
    EXPECT_EQ(stringFromSize({ 0.1, 3 }).utf8(), "{0.1, 3}");
    EXPECT_EQ(stringFromRect({ 1, 2, 3, 4.25 }).utf8(), "{{1, 2}, {3, 4.25}}");
    EXPECT_EQ(stringFromRange({ 5, 12 }).utf8(), "{5, 12}");

    const Rect r { -1e-7, 2.5, 1e9, 1.0 / 3.0 };
    EXPECT_EQ(rectFromString(stringFromRect(r)), r);
    EXPECT_EQ(pointFromString("  {3,4}  "), (Point { 3, 4 }));
    EXPECT_EQ(sizeFromString("{ 7 , 8 }"), (Size { 7, 8 }));
    EXPECT_EQ(rangeFromString(stringFromRange({ fnd::NotFound, 0 })), (fnd::Range { fnd::NotFound, 0 }));

    for (const char* bad : { "", "{1}", "{1, 2", "1, 2", "{a, b}", "{1, 2} x", "{{1, 2}, {3}}", "{nan, 1}" }) {
        EXPECT_EQ(pointFromString(bad), ZeroPoint) << bad;
        EXPECT_EQ(rectFromString(bad), ZeroRect) << bad;
    }
    EXPECT_EQ(rangeFromString("{-1, 2}"), (fnd::Range {}));
    EXPECT_EQ(rangeFromString("{1.5, 2}"), (fnd::Range {}));
}

TEST(AffineTransform, AddedOperationsActBeforeTheExistingOnes)
{
    // "Scaled, then rotated, then moved" is written move, rotate, scale.
    AffineTransform t;
    t.translateBy(100, 0);
    t.rotateByDegrees(90);
    t.scaleBy(2);
    Point p = t.transformPoint({ 1, 0 });
    EXPECT_NEAR(p.x, 100, 1e-12);
    EXPECT_NEAR(p.y, 2, 1e-12);

    AffineTransform appended = AffineTransform::scaling(2, 2);
    appended.appendTransform(AffineTransform::translation(5, 0));
    EXPECT_EQ(appended.transformPoint({ 1, 1 }), (Point { 7, 2 }));
    AffineTransform prepended = AffineTransform::scaling(2, 2);
    prepended.prependTransform(AffineTransform::translation(5, 0));
    EXPECT_EQ(prepended.transformPoint({ 1, 1 }), (Point { 12, 2 }));

    // Sizes ignore the translation; a quarter turn stays exact.
    EXPECT_EQ(t.transformSize({ 1, 0 }), (Size { 0, 2 }));
}

TEST(AffineTransform, InverseUndoesAndSingularIsLeftAlone)
{
    AffineTransform t;
    t.translateBy(3, -7);
    t.rotateByRadians(0.3);
    t.scaleBy(2, 0.5);
    auto inv = t.inverted();
    ASSERT_TRUE(inv);
    Point p = inv->transformPoint(t.transformPoint({ 11, -4 }));
    EXPECT_NEAR(p.x, 11, 1e-12);
    EXPECT_NEAR(p.y, -4, 1e-12);

    AffineTransform singular = AffineTransform::scaling(0, 3);
    singular.translateBy(1, 1);
    AffineTransform before = singular;
    EXPECT_FALSE(singular.invert());
    EXPECT_EQ(singular, before);
    EXPECT_FALSE(singular.inverted());
}
