#include "frameworks/AppKitExtensions/ZORShading.h"

#include "platform/graphics/Color.h"
#include "support/Canvas.h"

#include <gtest/gtest.h>

namespace {

using namespace ZORShading;

const auto red = gfx::Color::colorWithDeviceRed(1, 0, 0);
const auto blue = gfx::Color::colorWithDeviceRed(0, 0, 1);
constexpr auto Red = argb(255, 255, 0, 0);
constexpr auto Blue = argb(255, 0, 0, 255);
// A pixel samples the shading at its centre: half a pixel of a 40-pixel ramp from the exact end colour.
constexpr int EdgeTolerance = 8;

TEST(ZORShading, LinearFillsRunBottomToTopOrLeftToRightInsideThePath)
{
    {
        Canvas canvas(40, 40);
        auto path = gfx::BezierPath::bezierPathWithRect({ 0, 0, 40, 40 });
        linearGradientFillWithStartColor(*path, *red, *blue);
        EXPECT_LE(pixelDistance(canvas.at(20, 0), Red), EdgeTolerance);
        EXPECT_LE(pixelDistance(canvas.at(20, 39), Blue), EdgeTolerance);
        EXPECT_LE(pixelDistance(canvas.at(0, 20), canvas.at(39, 20)), 0) << "bands run horizontally";
    }
    {
        Canvas canvas(40, 40);
        auto path = gfx::BezierPath::bezierPathWithRect({ 0, 0, 40, 40 });
        linearVerticalGradientFillWithStartColor(*path, *red, *blue);
        EXPECT_LE(pixelDistance(canvas.at(0, 20), Red), EdgeTolerance);
        EXPECT_LE(pixelDistance(canvas.at(39, 20), Blue), EdgeTolerance);
    }
    {
        // The shading spans the path's own bounds and stays inside it.
        Canvas canvas(40, 40);
        auto path = gfx::BezierPath::bezierPathWithOvalInRect({ 10, 10, 20, 20 });
        linearGradientFillWithStartColor(*path, *red, *blue);
        EXPECT_EQ(canvas.alpha(5, 5), 0);
        EXPECT_EQ(canvas.alpha(11, 11), 0) << "outside the oval";
        // Row 12's centre lies an eighth of the way up the oval's bounds, row 27's seven eighths.
        EXPECT_LE(pixelDistance(canvas.at(20, 12), argb(255, 223, 0, 32)), 2);
        EXPECT_LE(pixelDistance(canvas.at(20, 27), argb(255, 32, 0, 223)), 2);
    }
}

TEST(ZORShading, BilinearPutsTheInnerColourAtBothEdgesAndTheOuterInTheMiddle)
{
    Canvas canvas(40, 40);
    auto path = gfx::BezierPath::bezierPathWithRect({ 0, 0, 40, 40 });
    bilinearGradientFillWithOuterColor(*path, *red, *blue);
    EXPECT_LE(pixelDistance(canvas.at(20, 0), Blue), EdgeTolerance * 2);
    EXPECT_LE(pixelDistance(canvas.at(20, 39), Blue), EdgeTolerance * 2);
    EXPECT_LE(pixelDistance(canvas.at(20, 19), Red), EdgeTolerance * 2);
    EXPECT_LE(pixelDistance(canvas.at(20, 20), Red), EdgeTolerance * 2);
    // Halfway between edge and middle, the two colours mix evenly.
    EXPECT_LE(pixelDistance(canvas.at(20, 10), argb(255, 128, 0, 128)), EdgeTolerance * 2);
}

TEST(ZORShading, CustomCallbacksSeeTheColoursAndTheirDifferences)
{
    static std::array<double, 12> seen;
    static int released = 0;
    ShadingCallbacks callbacks;
    callbacks.evaluate = [](void* info, const double* in, double* out) {
        seen = *static_cast<const std::array<double, 12>*>(info);
        // A hard step at the middle: green below, the second colour above.
        for (int i = 0; i < 4; ++i)
            out[i] = in[0] < 0.5 ? (i == 1 || i == 3 ? 1.0 : 0.0) : seen[4 + i];
    };
    callbacks.releaseInfo = [](void*) { ++released; };
    Canvas canvas(20, 20);
    auto path = gfx::BezierPath::bezierPathWithRect({ 0, 0, 20, 20 });
    customFillWithCallbacks(
        *path, callbacks, *gfx::Color::colorWithDeviceRed(0.2, 0.4, 0.6, 0.8), *blue, { 0, 0 }, { 0, 20 });
    EXPECT_EQ(released, 1);
    EXPECT_DOUBLE_EQ(seen[0], 0.2);
    EXPECT_DOUBLE_EQ(seen[3], 0.8);
    EXPECT_DOUBLE_EQ(seen[6], 1.0);
    EXPECT_DOUBLE_EQ(seen[8], -0.2);
    EXPECT_DOUBLE_EQ(seen[11], 0.2);
    EXPECT_LE(pixelDistance(canvas.at(10, 2), argb(255, 0, 255, 0)), 4);
    EXPECT_LE(pixelDistance(canvas.at(10, 17), Blue), 4);
}

}
