#include "PanelsTestSupport.h"

#include "platform/ui/panels/ColorPanel.h"
#include "platform/ui/panels/FontPanel.h"
#include "platform/ui/views/Screen.h"

using namespace ui;
using panelstest::PanelsTest;

namespace {

// A 1600 × 1000 screen whose top 30 points hold the desktop's bar.
class PanelPlacement : public PanelsTest {
protected:
    PanelPlacement() { backend->setScreens({ { { 0, 0, 1600, 1000 }, { 0, 0, 1600, 970 }, 1 } }); }

    static void expectInside(const Window& w, const char* what)
    {
        const gfx::Rect visible { 0, 0, 1600, 970 };
        const auto f = w.frame();
        EXPECT_GE(f.minX(), visible.minX()) << what;
        EXPECT_GE(f.minY(), visible.minY()) << what;
        EXPECT_LE(f.maxX(), visible.maxX()) << what;
        EXPECT_LE(f.maxY(), visible.maxY()) << what;
    }
};

}

TEST_F(PanelPlacement, PanelsComeOnScreenInsideTheVisibleFrameAndStayThereAsTheyGrow)
{
    auto colors = ColorPanel::sharedColorPanel();
    colors->orderOut();
    colors->setFrameOrigin({ -300, -200 });
    colors->setMode(ColorPanelMode::Wheel);
    colors->orderFront();
    expectInside(*colors, "the colour panel as it opens");
    // The sliders of CMYK need more room than the wheel: the panel grows down from its top, and stays inside.
    colors->setFrameOrigin({ 0, 0 });
    colors->setMode(ColorPanelMode::CMYK);
    expectInside(*colors, "the colour panel grown");
    colors->orderOut();

    auto fonts = FontPanel::sharedFontPanel();
    fonts->orderOut();
    fonts->setFrameOrigin({ 1500, 900 });
    fonts->orderFront();
    expectInside(*fonts, "the font panel as it opens");
    fonts->orderOut();

    // Windows without a title bar (pop-ups, tips) are left where they are put.
    auto popUp = Window::create({ 1590, -10, 40, 20 }, WindowStyleMask::Borderless);
    popUp->orderFront();
    EXPECT_EQ(popUp->frame(), (gfx::Rect { 1590, -10, 40, 20 }));
    popUp->orderOut();
}
