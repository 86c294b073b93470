// A shadow is blurred only over what its shape reaches: these pin down that the blur still spreads as far as it
// should, wherever the shape and the clip lie.
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Shadow.h"

#include "support/Canvas.h"

#include <gtest/gtest.h>

#include <vector>

using namespace gfx;

namespace {

void setShadowReachShadow(Size offset, double blurRadius)
{
    Shadow shadow;
    shadow.setShadowColor(Color::blackColor());
    shadow.setShadowOffset(offset);
    shadow.setShadowBlurRadius(blurRadius);
    shadow.set();
}

}

TEST(ShadowReach, BlurSpreadsAsFarInALargeCanvasAsInASmallOne)
{
    // Blur radius 6 is sigma 3: three box passes of radii 2, 2 and 3 reach 7 pixels beyond the shape.
    std::vector<int> small, large;
    for (int size : { 40, 400 }) {
        Canvas canvas(size, size);
        setShadowReachShadow({ 0, 0 }, 6);
        Color::whiteColor()->set();
        BezierPath::fillRect({ 15, 15, 10, 10 });
        auto& row = size == 40 ? small : large;
        for (int x = 0; x < 40; ++x)
            row.push_back(canvas.alpha(x, 20));
        EXPECT_EQ(canvas.alpha(7, 20), 0) << size;
        EXPECT_GT(canvas.alpha(8, 20), 0) << size;
        EXPECT_GT(canvas.alpha(31, 20), 0) << size;
        EXPECT_EQ(canvas.alpha(32, 20), 0) << size;
        EXPECT_EQ(canvas.alpha(20, 7), 0) << size;
        EXPECT_GT(canvas.alpha(20, 8), 0) << size;
    }
    EXPECT_EQ(small, large);
}

TEST(ShadowReach, ShapeOutsideTheClipCastsIntoIt)
{
    // The square lies left of the clip; its hard shadow, 25 points right, lands inside it.
    Canvas canvas(100, 100);
    canvas.context().clipToRect({ 50, 0, 50, 100 });
    setShadowReachShadow({ 25, 0 }, 0);
    Color::whiteColor()->set();
    BezierPath::fillRect({ 30, 40, 10, 10 });
    EXPECT_EQ(canvas.alpha(35, 45), 0);
    EXPECT_EQ(canvas.at(55, 45), argb(255, 0, 0, 0));
    EXPECT_EQ(canvas.at(64, 49), argb(255, 0, 0, 0));
    EXPECT_EQ(canvas.alpha(65, 45), 0);
    EXPECT_EQ(canvas.alpha(55, 50), 0);
}

TEST(ShadowReach, ShadowLeavesTheClipAlone)
{
    // A blurred shadow reaching past the clip is cut at the clip's edge.
    Canvas canvas(60, 60);
    canvas.context().clipToRect({ 0, 0, 30, 60 });
    setShadowReachShadow({ 0, 0 }, 6);
    Color::whiteColor()->set();
    BezierPath::fillRect({ 20, 20, 8, 8 });
    EXPECT_GT(canvas.alpha(29, 24), 0);
    EXPECT_EQ(canvas.alpha(30, 24), 0);
    EXPECT_EQ(canvas.alpha(33, 24), 0);
}
