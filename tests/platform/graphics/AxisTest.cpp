#include "platform/graphics/Axis.h"

#include "GraphicsPrinters.h"

#include <gtest/gtest.h>

using namespace gfx;

// One rectangle seen along each axis: x runs 10..40, y runs 20..70.
TEST(Axis, ReadsAndBuildsTheSameRectangleAlongEitherAxis)
{
    const Rect r { 10, 20, 30, 50 };
    struct Case {
        Axis axis;
        double minAlong, lengthAlong, midAlong, maxAlong, minAcross, lengthAcross, midAcross, maxAcross;
    };
    const Case cases[] = {
        { Axis::X, 10, 30, 25, 40, 20, 50, 45, 70 },
        { Axis::Y, 20, 50, 45, 70, 10, 30, 25, 40 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.axis == Axis::X ? "along x" : "along y");
        EXPECT_EQ(minAlong(r, c.axis), c.minAlong);
        EXPECT_EQ(lengthAlong(r, c.axis), c.lengthAlong);
        EXPECT_EQ(midAlong(r, c.axis), c.midAlong);
        EXPECT_EQ(maxAlong(r, c.axis), c.maxAlong);
        EXPECT_EQ(minAcross(r, c.axis), c.minAcross);
        EXPECT_EQ(lengthAcross(r, c.axis), c.lengthAcross);
        EXPECT_EQ(midAcross(r, c.axis), c.midAcross);
        EXPECT_EQ(maxAcross(r, c.axis), c.maxAcross);
        EXPECT_EQ(rectOnAxis(c.axis, c.minAlong, c.minAcross, c.lengthAlong, c.lengthAcross), r);
    }
}

// Changing the coordinate along one axis leaves the other alone: a pane stretched and moved in a row of panes keeps
// its place and height across the row.
TEST(Axis, ChangesOneCoordinateAndKeepsTheOther)
{
    const Rect r { 10, 20, 30, 50 };
    EXPECT_EQ(withLengthAlong(r, Axis::X, 5), Rect(10, 20, 5, 50));
    EXPECT_EQ(withLengthAlong(r, Axis::Y, 5), Rect(10, 20, 30, 5));
    EXPECT_EQ(withLengthAcross(r, Axis::X, 5), Rect(10, 20, 30, 5));
    EXPECT_EQ(withMinAlong(r, Axis::Y, 0), Rect(10, 0, 30, 50));
    EXPECT_EQ(offsetAlong(r, Axis::X, -4), Rect(6, 20, 30, 50));
    EXPECT_EQ(offsetAlong(r, Axis::Y, 4), Rect(10, 24, 30, 50));
    EXPECT_EQ(withAcross(Size { 3, 4 }, Axis::X, 9), (Size { 3, 9 }));
    EXPECT_EQ(along(Point { 3, 4 }, Axis::Y), 4);
    EXPECT_EQ(across(Point { 3, 4 }, Axis::Y), 3);
    static_assert(crossAxis(crossAxis(Axis::X)) == Axis::X);
}
