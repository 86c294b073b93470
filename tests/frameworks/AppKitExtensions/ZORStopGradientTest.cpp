#include "frameworks/AppKitExtensions/ZORStopGradient.h"

#include "DrawingTestSupport.h"
#include "support/Raised.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using drawing::grey;
using drawing::near;
using drawing::pixelNear;
using drawing::pixelOf;
using drawing::rgba;
using drawing::RGBA;
using gfx::Color;
using Mode = ZORStopGradient::BlendingMode;

std::shared_ptr<ZORStopGradient> redToBlue(Mode mode)
{
    return ZORStopGradient::gradientWithBeginningColor(*Color::redColor(), *Color::blueColor())
        ->gradientWithBlendingMode(mode);
}

TEST(ZORStopGradient, LinearColourAtAPositionTakesTheFirstOfCoincidentStopsAndClampsAtTheEnds)
{
    auto aqua = ZORStopGradient::aquaNormalGradient();
    struct Case {
        double position;
        RGBA expected;
    };
    const Case cases[] = {
        { -1.0, grey(0.95) }, // before the first stop
        { 0.0, grey(0.95) }, { 0.25, grey(0.89) }, { 0.5, grey(0.83) }, // the first of the two stops at 0.5
        { 0.75, grey(0.935) }, // the lower half runs from the second stop at 0.5
        { 1.0, grey(0.92) }, { 2.0, grey(0.92) }, // after the last stop
    };
    for (const auto& c : cases)
        EXPECT_TRUE(near(rgba(aqua->colorAtPosition(c.position)), c.expected, 1e-12)) << c.position;
    EXPECT_TRUE(near(rgba(aqua->colorAtPosition(std::nextafter(0.5, 1.0))), grey(0.95), 1e-9));
}

TEST(ZORStopGradient, EmptyAndSingleStopGradientsAreOneColourEverywhere)
{
    ZORStopGradient empty;
    auto single = empty.addColorStop(*Color::colorWithCalibratedRed(0.2, 0.4, 0.6, 0.8), 0.3);
    for (double x : { -0.5, 0.0, 0.3, 0.7, 1.0 }) {
        EXPECT_TRUE(near(rgba(empty.colorAtPosition(x)), { 1, 1, 1, 1 })) << x;
        EXPECT_TRUE(near(rgba(single->colorAtPosition(x)), { 0.2, 0.4, 0.6, 0.8 })) << x;
    }

    Canvas canvas(20, 10);
    empty.fillRect({ 0, 0, 10, 10 }, 0);
    single->fillRect({ 10, 0, 10, 10 }, 30);
    for (int x : { 0, 9 })
        EXPECT_TRUE(pixelNear(canvas.at(x, 5), argb(255, 255, 255, 255))) << x;
    for (int x : { 11, 19 })
        EXPECT_TRUE(pixelNear(canvas.at(x, 5), pixelOf({ 0.2, 0.4, 0.6, 0.8 }))) << x;
}

TEST(ZORStopGradient, HueBlendsGoRoundTheCircleInTheModesDirection)
{
    // Red (hue 0) to blue (240): up through green, or down through magenta (360 down to 240).
    EXPECT_TRUE(near(rgba(redToBlue(Mode::Chromatic)->colorAtPosition(0.5)), { 0, 1, 0, 1 }, 1e-6));
    EXPECT_TRUE(near(rgba(redToBlue(Mode::InverseChromatic)->colorAtPosition(0.5)), { 1, 0, 1, 1 }, 1e-6));
    EXPECT_TRUE(near(rgba(redToBlue(Mode::Linear)->colorAtPosition(0.5)), { 0.5, 0, 0.5, 1 }, 1e-12));
    // The ends are the stops' own colours in every mode.
    for (Mode mode : { Mode::Chromatic, Mode::InverseChromatic }) {
        EXPECT_TRUE(near(rgba(redToBlue(mode)->colorAtPosition(0)), { 1, 0, 0, 1 }, 1e-6));
        EXPECT_TRUE(near(rgba(redToBlue(mode)->colorAtPosition(1)), { 0, 0, 1, 1 }, 1e-6));
    }

    // Two greys have no hue: the blend stays grey.
    auto greys = ZORStopGradient::gradientWithBeginningColor(
        *Color::colorWithCalibratedWhite(0.2), *Color::colorWithCalibratedWhite(0.8))
                     ->gradientWithBlendingMode(Mode::Chromatic);
    EXPECT_TRUE(near(rgba(greys->colorAtPosition(0.5)), grey(0.5), 1e-6));
    // A grey takes the hue of the colour it blends with: black to green stays green (half saturated, half bright).
    auto blackToGreen = ZORStopGradient::gradientWithBeginningColor(*Color::blackColor(), *Color::greenColor())
                            ->gradientWithBlendingMode(Mode::Chromatic);
    EXPECT_TRUE(near(rgba(blackToGreen->colorAtPosition(0.5)), { 0.25, 0.5, 0.25, 1 }, 1e-6));
}

TEST(ZORStopGradient, AHueOfAFullCircleIsRedAgain)
{
    // Magenta (300) up to yellow (60) passes hue 360 halfway: pure red, not a red with a trace of green.
    auto gradient = ZORStopGradient::gradientWithBeginningColor(*Color::magentaColor(), *Color::yellowColor())
                        ->gradientWithBlendingMode(Mode::Chromatic);
    EXPECT_TRUE(near(rgba(gradient->colorAtPosition(0.5)), { 1, 0, 0, 1 }, 1e-6));
    EXPECT_TRUE(near(rgba(gradient->colorAtPosition(0.75)), { 1, 0.5, 0, 1 }, 1e-6));
}

TEST(ZORStopGradient, HydrogenSpectrumPeaksAtItsFourLines)
{
    auto spectrum = ZORStopGradient::hydrogenSpectrumGradient();
    EXPECT_EQ(spectrum->numberOfColorStops(), 12u);
    EXPECT_EQ(spectrum->blendingMode(), Mode::Chromatic);
    struct Case {
        double position;
        RGBA peak;
    };
    const Case lines[] = {
        { 0.145, { 1, 22.0 / 60, 0, 1 } },
        { 0.71, { 0, 1 - 20.0 / 60, 1, 1 } },
        { 0.885, { 13.0 / 60, 0, 1, 1 } },
        { 0.965, { 35.0 / 60, 0, 1, 1 } },
    };
    for (const auto& c : lines) {
        EXPECT_TRUE(near(rgba(spectrum->colorAtPosition(c.position)), c.peak, 1e-6)) << c.position;
        // Between the lines the spectrum is all but black.
        EXPECT_LT(spectrum->colorAtPosition(c.position - 0.02)->rgba()[0] + 0, 0.01) << c.position;
    }
    EXPECT_TRUE(near(rgba(spectrum->colorAtPosition(0.4)), { 0, 0, 0, 1 }, 0.002));
}

TEST(ZORStopGradient, DerivedGradientsLeaveTheReceiverAndKeepTheirBlendingMode)
{
    auto rainbow = ZORStopGradient::rainbowGradient();
    auto translucent = rainbow->gradientWithAlphaComponent(0.5);
    EXPECT_EQ(translucent->blendingMode(), Mode::Chromatic);
    auto mid = rgba(rainbow->colorAtPosition(0.5));
    mid[3] = 0.5;
    EXPECT_TRUE(near(rgba(translucent->colorAtPosition(0.5)), mid, 1e-9));
    EXPECT_TRUE(near(rgba(rainbow->colorStopAtIndex(0)), { 1, 0, 0, 1 }));

    auto added = rainbow->addColorStop(*Color::greenColor(), 0.5);
    EXPECT_EQ(rainbow->numberOfColorStops(), 2u);
    EXPECT_EQ(added->numberOfColorStops(), 3u);
    EXPECT_EQ(added->blendingMode(), Mode::Chromatic);
    EXPECT_TRUE(near(rgba(added->colorStopAtIndex(1)), { 0, 1, 0, 1 }));
}

TEST(ZORStopGradient, StopsAtOnePositionKeepTheOrderTheyWereAddedIn)
{
    auto gradient = ZORStopGradient().addColorStop(*Color::redColor(), 0.5);
    gradient = gradient->addColorStop(*Color::greenColor(), 0.5)->addColorStop(*Color::blueColor(), 0.5);
    gradient = gradient->addColorStop(*Color::blackColor(), 0.0)->addColorStop(*Color::whiteColor(), 1.0);
    const RGBA order[] = { { 0, 0, 0, 1 }, { 1, 0, 0, 1 }, { 0, 1, 0, 1 }, { 0, 0, 1, 1 }, { 1, 1, 1, 1 } };
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_TRUE(near(rgba(gradient->colorStopAtIndex(i)), order[i])) << i;
    // The middle stop of three at one position is never shown.
    EXPECT_TRUE(near(rgba(gradient->colorAtPosition(0.5)), { 1, 0, 0, 1 }));
    EXPECT_TRUE(near(rgba(gradient->colorAtPosition(0.75)), { 0.5, 0.5, 1, 1 }));
}

TEST(ZORStopGradient, RemovingAStopThatIsNotThereRaisesAndChangesNothing)
{
    auto aqua = ZORStopGradient::aquaNormalGradient();
    auto withoutSecond = aqua->removeColorStopAtIndex(1);
    EXPECT_EQ(withoutSecond->numberOfColorStops(), 3u);
    EXPECT_TRUE(near(rgba(withoutSecond->colorAtPosition(0.5)), grey(0.95)));
    auto withoutFirstHalf = aqua->removeColorStopAtPosition(0.5);
    EXPECT_TRUE(near(rgba(withoutFirstHalf->colorStopAtIndex(1)), grey(0.95)));

    auto index = raised([&] { aqua->removeColorStopAtIndex(4); });
    ASSERT_TRUE(index);
    EXPECT_EQ(index->name(), fnd::ExceptionName::Range);
    EXPECT_EQ(index->reason(), fnd::String("-[ZORStopGradient removeColorStopAtIndex:]: index (4) beyond bounds"));
    // Positions compare exactly: one that differs in the last bit is not found.
    auto position = raised([&] { aqua->removeColorStopAtPosition(std::nextafter(0.5, 1.0)); });
    ASSERT_TRUE(position);
    EXPECT_EQ(position->name(), fnd::ExceptionName::Range);
    EXPECT_EQ(position->reason(),
        fnd::String("-[ZORStopGradient removeColorStopAtPosition:]: no such colorStop at position (0.500000)"));
    EXPECT_TRUE(raised([&] { aqua->colorStopAtIndex(4); }));
    EXPECT_EQ(aqua->numberOfColorStops(), 4u);
}

// NaN stands for "no stop" in the removals, and neither it nor an infinity places a stop anywhere.
TEST(ZORStopGradient, AStopAtAPositionThatIsNoNumberIsRefused)
{
    auto aqua = ZORStopGradient::aquaNormalGradient();
    for (double position : { std::nan(""), HUGE_VAL, -HUGE_VAL }) {
        auto refused = raised([&] { aqua->addColorStop(*Color::redColor(), position); });
        ASSERT_TRUE(refused) << position;
        EXPECT_EQ(refused->name(), fnd::ExceptionName::InvalidArgument) << position;
    }
    EXPECT_EQ(aqua->numberOfColorStops(), 4u);
}

TEST(ZORStopGradient, AxialEndsLieOnOppositeCornersOrEdges)
{
    const gfx::Rect r { 0, 0, 200, 100 };
    struct Case {
        double angle;
        gfx::Point start, end;
    };
    const Case cases[] = {
        { 0, { 0, 0 }, { 200, 0 } },
        { 90, { 0, 0 }, { 0, 100 } },
        { 45, { 25, -25 }, { 175, 125 } },
        { 30, { 3.3494, -5.8013 }, { 196.6506, 105.8013 } },
        { 270, { 100, 100 }, { 100, 0 } },
        { 360, { 0, 50 }, { 200, 50 } },
    };
    for (const auto& c : cases) {
        auto [start, end] = ZORStopGradient::axialEndPoints(r, c.angle);
        EXPECT_TRUE(gfx::nearlyEqual(start, c.start, 1e-3)) << c.angle << ": " << start.x << ", " << start.y;
        EXPECT_TRUE(gfx::nearlyEqual(end, c.end, 1e-3)) << c.angle << ": " << end.x << ", " << end.y;
    }
}

TEST(ZORStopGradient, AxialFillIsClippedToTheRectangleAndRunsAlongTheAngle)
{
    auto aqua = ZORStopGradient::aquaSelectedGradient();
    Canvas canvas(100, 60);
    aqua->drawInRect({ 10, 10, 80, 40 }, 0);
    // Left edge the first colour, right edge the last; a hard edge in the middle.
    EXPECT_TRUE(pixelNear(canvas.at(10, 30), pixelOf({ 0.58, 0.86, 0.98, 1 }), 3));
    EXPECT_TRUE(pixelNear(canvas.at(89, 30), pixelOf({ 0.56, 0.70, 0.90, 1 }), 3));
    EXPECT_TRUE(pixelNear(canvas.at(49, 30), pixelOf({ 0.42, 0.68, 0.90, 1 }), 3));
    EXPECT_TRUE(pixelNear(canvas.at(50, 30), pixelOf({ 0.64, 0.80, 0.94, 1 }), 3));
    // Columns hold one colour; nothing outside the rectangle.
    EXPECT_EQ(canvas.at(30, 11), canvas.at(30, 48));
    for (auto [x, y] : { std::pair { 5, 30 }, { 95, 30 }, { 50, 5 }, { 50, 55 } })
        EXPECT_EQ(canvas.at(x, y), 0u) << x << ", " << y;

    // 360 degrees reaches the same direction as 0 by the general road.
    Canvas zero(80, 40), full(80, 40);
    {
        gfx::CurrentContextScope scope(zero.shared());
        aqua->fillRect({ 0, 0, 80, 40 }, 0);
    }
    {
        gfx::CurrentContextScope scope(full.shared());
        aqua->fillRect({ 0, 0, 80, 40 }, 360);
    }
    for (int x = 0; x < 80; x += 7)
        EXPECT_TRUE(pixelNear(zero.at(x, 20), full.at(x, 20), 1)) << x;
}

TEST(ZORStopGradient, AngledAndRadialFillsReachTheirEndColoursAtTheFarCorners)
{
    auto unified = ZORStopGradient::unifiedNormalGradient();
    Canvas canvas(200, 100);
    unified->drawSwatchInRect({ 0, 0, 200, 100 });
    EXPECT_TRUE(pixelNear(canvas.at(0, 0), pixelOf(grey(0.75)), 2));
    EXPECT_TRUE(pixelNear(canvas.at(199, 99), pixelOf(grey(0.90)), 2));
    EXPECT_TRUE(pixelNear(canvas.at(100, 50), pixelOf(grey(0.825)), 2));

    Canvas radial(60, 40);
    unified->radialFillRect({ 0, 0, 60, 40 });
    EXPECT_TRUE(pixelNear(radial.at(30, 20), pixelOf(grey(0.75)), 2));
    // The end radius is half the longer side; beyond it the last colour goes on.
    EXPECT_TRUE(pixelNear(radial.at(0, 20), pixelOf(grey(0.90)), 2));
    EXPECT_TRUE(pixelNear(radial.at(0, 0), pixelOf(grey(0.90)), 2));
}

TEST(ZORStopGradient, HueFillsShowTheBlendedColours)
{
    Canvas canvas(257, 4);
    auto rainbow = ZORStopGradient::rainbowGradient();
    rainbow->fillRect({ 0, 0, 257, 4 }, 0);
    for (int x : { 0, 64, 128, 192, 256 }) {
        double position = (x + 0.5) / 257;
        EXPECT_TRUE(pixelNear(canvas.at(x, 2), pixelOf(rgba(rainbow->colorAtPosition(position))), 3)) << x;
    }
    drawing::savePNG(canvas, "ZORStopGradient-rainbow");
}

}
