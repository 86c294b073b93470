#include "frameworks/AppKitExtensions/ZORNSGradientExtensions.h"

#include "DrawingTestSupport.h"

#include <gtest/gtest.h>

namespace {

using drawing::grey;
using drawing::hasStops;
using drawing::near;
using drawing::rgba;
using drawing::RGBA;
namespace G = ZORNSGradientExtensions;

TEST(ZORNSGradientExtensions, PresetsByTypeNumber)
{
    EXPECT_TRUE(hasStops(G::gradientByType(0), { { grey(0.678), 0 }, { grey(0.821), 1 } }));
    EXPECT_TRUE(hasStops(G::gradientByType(1),
        { { { 0.925, 0.933, 0.976, 1 }, 0 }, { { 0.855, 0.871, 0.929, 1 }, 0.5 }, { { 0.855, 0.871, 0.929, 1 }, 0.5 },
            { { 0.741, 0.761, 0.827, 1 }, 1 } }));
    EXPECT_TRUE(hasStops(
        G::gradientByType(2), { { grey(0.882), 0 }, { grey(0.882), 0.5 }, { grey(0.945), 0.5 }, { grey(0.996), 1 } }));
    EXPECT_TRUE(hasStops(G::gradientByType(3),
        { { grey(0.051), 0 }, { grey(0.122), 0.56 }, { grey(0.157), 0.57 }, { grey(0.184), 0.58 },
            { grey(0.247), 1 } }));
    EXPECT_TRUE(hasStops(G::gradientByType(100), { { grey(0.821), 0 }, { grey(0.956), 1 } }));
    // The button glows are opaque at their peak and clear at both ends.
    for (std::int64_t type : { 200, 201 })
        EXPECT_TRUE(
            hasStops(G::gradientByType(type), { { grey(0.7, 0), 0 }, { grey(0.7, 1), 0.5 }, { grey(0.7, 0), 1 } }))
            << type;
    for (std::int64_t type : { -1, 4, 99, 101, 199, 202 }) {
        EXPECT_FALSE(G::gradientByType(type)) << type;
        EXPECT_FALSE(G::inactiveGradientByType(type)) << type;
    }
}

TEST(ZORNSGradientExtensions, PresetsAreBuiltOnceAndTheGreyBarLightensWhenInactive)
{
    EXPECT_EQ(G::grayBarGradient(), G::grayBarGradient());
    EXPECT_EQ(G::gradientByType(0), G::grayBarGradient());
    EXPECT_EQ(G::inactiveGradientByType(0), G::gradientByType(100));
    for (std::int64_t type : { 1, 2, 3, 100, 200, 201 })
        EXPECT_EQ(G::inactiveGradientByType(type), G::gradientByType(type)) << type;
    // Two presets with the same stops are still two objects.
    EXPECT_NE(G::highlightedButtonGradient(), G::selectedButtonGradient());
}

TEST(ZORNSGradientExtensions, TheGlassBarHasAHardEdgeInTheMiddle)
{
    Canvas canvas(4, 40);
    G::glassBarGradient()->drawInRect({ 0, 0, 4, 40 }, 90);
    EXPECT_TRUE(drawing::pixelNear(canvas.at(1, 0), drawing::pixelOf(grey(0.882)), 2));
    EXPECT_TRUE(drawing::pixelNear(canvas.at(1, 19), drawing::pixelOf(grey(0.882)), 2));
    EXPECT_TRUE(drawing::pixelNear(canvas.at(1, 20), drawing::pixelOf(grey(0.946)), 2));
    EXPECT_TRUE(drawing::pixelNear(canvas.at(1, 39), drawing::pixelOf(grey(0.995)), 2));
}

}
