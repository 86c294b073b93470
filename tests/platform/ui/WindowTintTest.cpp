#include "TestViews.h"
#include "TintTestScene.h"
#include "UiTestSupport.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/PixelBuffer.h"
#include "platform/ui/views/Backend.h"

using namespace ui;
using uitest::TestView;

namespace {

// A window 300 × 100 at the screen's scale: white ground, a blue view on the left third; the pixels are read from
// what the window handed to the screen, without drawing it again.
class WindowTintTest : public uitest::UiTest,
                       public ::testing::WithParamInterface<double>,
                       protected uitest::TintTestScene {
protected:
    void SetUp() override
    {
        const double scale = GetParam();
        backend->setScreens({ { { 0, 0, 1440, 900 }, { 0, 0, 1440, 878 }, scale } });
        makeWindow();
        ASSERT_EQ(window->backingScaleFactor(), scale);
        clock->advance(1);
    }
    void nextFrame() { runFrame(*clock); }
    // The pixel at a window point (y up) as the surface holds it.
    std::string at(double x, double y) const
    {
        auto surface = Backend::current().surfaceForWindow(*window);
        auto pixels = surface->pixels();
        return rgbAt(pixels, pixels.width / surface->pointSize().width, x, y);
    }
};

}

// Worked by hand: 40 % black over white leaves 255 · 0.6 = 153 of each channel, over blue 153 of blue; at half the
// view's alpha, 20 % black leaves 204.
TEST_P(WindowTintTest, ATintIsLaidOverTheDrawingAndFadesWithoutRedrawingWhatLiesBeneath)
{
    // Over the top half of the window.
    auto tint = uitest::TintOverlayView::make({ 0, 50, 300, 50 }, gfx::Color::colorWithDeviceRed(0, 0, 0, 0.4));
    root->addSubview(tint);
    nextFrame();
    EXPECT_EQ(at(150, 75), "153,153,153");
    EXPECT_EQ(at(50, 75), "0,0,153");
    EXPECT_EQ(at(150, 25), "255,255,255") << "below the tint";
    EXPECT_EQ(at(50, 49.5), "0,0,255") << "the row just below the tint";
    EXPECT_TRUE(tint->drawn.empty()) << "the window lays the tint; the tree does not draw it";

    // A fade step: the tint is laid again over the same drawing.
    forget();
    tint->setAlphaValue(0.5);
    nextFrame();
    EXPECT_TRUE(root->drawn.empty());
    EXPECT_TRUE(blue->drawn.empty());
    EXPECT_EQ(at(150, 75), "204,204,204");
    EXPECT_EQ(at(50, 75), "0,0,204");
    EXPECT_EQ(at(150, 25), "255,255,255");

    // What changes beneath is drawn, and shows tinted where the tint lies.
    blue->fill = gfx::Color::colorWithDeviceRed(1, 0, 0);
    blue->setNeedsDisplay(true);
    nextFrame();
    EXPECT_EQ(blue->drawn.size(), 1u);
    EXPECT_EQ(at(50, 75), "204,0,0");
    EXPECT_EQ(at(50, 25), "255,0,0");

    // A view above the tint: the tree draws the tint again, with the same pixels.
    auto above = TestView::make({ 250, 0, 50, 20 }, false, gfx::Color::colorWithDeviceRed(0, 1, 0));
    root->addSubview(above);
    nextFrame();
    EXPECT_EQ(at(150, 75), "204,204,204");
    EXPECT_EQ(at(275, 10), "0,255,0");
    above->removeFromSuperview();
    nextFrame();
    EXPECT_EQ(at(275, 10), "255,255,255");
    EXPECT_EQ(at(275, 75), "204,204,204");

    // Gone, it leaves nothing behind anywhere.
    tint->removeFromSuperview();
    nextFrame();
    EXPECT_EQ(at(150, 75), "255,255,255");
    EXPECT_EQ(at(50, 75), "255,0,0");
    EXPECT_EQ(at(50, 25), "255,0,0");
}

// The window's own display (a snapshot, an ordering front) shows the tint too, and a tint that is hidden shows
// nothing.
TEST_P(WindowTintTest, AFullDisplayAndAHiddenTintShowWhatTheyShould)
{
    auto tint = uitest::TintOverlayView::make({ 0, 0, 300, 100 }, gfx::Color::colorWithDeviceRed(0, 0, 0, 0.4));
    root->addSubview(tint);
    window->display();
    EXPECT_EQ(at(150, 50), "153,153,153");
    EXPECT_EQ(at(50, 50), "0,0,153");
    tint->setHidden(true);
    nextFrame();
    EXPECT_EQ(at(150, 50), "255,255,255");
    tint->setHidden(false);
    nextFrame();
    EXPECT_EQ(at(150, 50), "153,153,153");
}

// A fade's step that leaves the tint's pixels as they were (its alpha moved less than a level) hands nothing to the
// screen; the next that changes them does. Worked out: 40 % black at half the view's alpha is 51 of 255 (white
// under it shows 255 · 204 / 255 = 204), at 0.501 still 51, at 0.51 it is 52 (203).
TEST_P(WindowTintTest, AFadeStepThatChangesNoPixelIsNotHandedToTheScreen)
{
    auto tint = uitest::TintOverlayView::make({ 0, 0, 300, 100 }, gfx::Color::colorWithDeviceRed(0, 0, 0, 0.4));
    root->addSubview(tint);
    tint->setAlphaValue(0.5);
    nextFrame();
    EXPECT_EQ(at(150, 50), "204,204,204");
    const long flushes = backend->flushCount(*window);
    tint->setAlphaValue(0.501);
    nextFrame();
    EXPECT_EQ(backend->flushCount(*window), flushes);
    EXPECT_EQ(at(150, 50), "204,204,204");
    tint->setAlphaValue(0.51);
    nextFrame();
    EXPECT_EQ(backend->flushCount(*window), flushes + 1);
    EXPECT_EQ(at(150, 50), "203,203,203");
    EXPECT_EQ(at(50, 50), "0,0,203");
}

// Two tints, laid in either order: each where it lies alone, and the later one over the earlier where they meet.
// Worked out over white: 40 % black (alpha 102) leaves 153, 50 % (128) leaves 127, both 255 · 153/255 · 127/255
// = 76; over the blue view 40 % leaves 153 of blue.
TEST_P(WindowTintTest, TintsLieAloneOrOneOverTheOtherInEitherOrder)
{
    for (bool topFirst : { true, false }) {
        auto top = uitest::TintOverlayView::make({ 0, 50, 300, 50 }, gfx::Color::colorWithDeviceRed(0, 0, 0, 0.4));
        auto right = uitest::TintOverlayView::make({ 150, 0, 150, 100 }, gfx::Color::colorWithDeviceRed(0, 0, 0, 0.5));
        root->addSubview(topFirst ? top : right);
        root->addSubview(topFirst ? right : top);
        nextFrame();
        EXPECT_EQ(at(50, 75), "0,0,153") << topFirst;
        EXPECT_EQ(at(120, 75), "153,153,153") << topFirst;
        EXPECT_EQ(at(200, 75), "76,76,76") << topFirst;
        EXPECT_EQ(at(200, 25), "127,127,127") << topFirst;
        EXPECT_EQ(at(120, 25), "255,255,255") << topFirst;
        top->removeFromSuperview();
        right->removeFromSuperview();
        nextFrame();
        EXPECT_EQ(at(200, 75), "255,255,255") << topFirst;
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, WindowTintTest, ::testing::Values(1.0, 2.0));
