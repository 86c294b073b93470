#include "PanelsTestSupport.h"

#include "platform/ui/controls/Control.h"
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

TEST_F(PanelPlacement, TheFontAndColourPanelsOpenBesideTheMainWindowOneBelowTheOther)
{
    // The document window (480 × 360 at 100, 100) is the main window.
    window->makeMainWindow();
    auto fonts = FontPanel::sharedFontPanel();
    auto colors = ColorPanel::sharedColorPanel();
    fonts->orderOut();
    colors->orderOut();
    fonts->orderFrontFontPanel({});
    colors->orderFrontColorPanel({});
    const auto main = window->frame();
    for (const auto& panel : { std::static_pointer_cast<Window>(fonts), std::static_pointer_cast<Window>(colors) }) {
        EXPECT_EQ(panel->frame().minX(), main.maxX() + 8) << "right of the window";
        expectInside(*panel, "a panel beside the window");
    }
    EXPECT_EQ(fonts->frame().maxY(), main.maxY()) << "the first level with the window's top";
    EXPECT_EQ(colors->frame().maxY(), main.maxY() - 28) << "the second a step below it, not hiding it";
    EXPECT_TRUE(colors->isKeyWindow()) << "the panel opened last takes the keyboard";

    // Escape and Ctrl+W close them, from anywhere in them.
    backend->keyDown(*colors, fnd::String(u"\x1b"), KeyCode::Escape);
    dispatch();
    EXPECT_FALSE(colors->isVisible());
    fonts->makeKeyAndOrderFront();
    backend->keyDown(*fonts, "w", KeyCode::W, ModifierFlags::Command);
    dispatch();
    EXPECT_FALSE(fonts->isVisible());

    // A main window against the screen's right edge has them on its left.
    window->setFrameOrigin({ 1600 - main.width(), 300 });
    fonts->orderFrontFontPanel({});
    EXPECT_EQ(fonts->frame().maxX(), window->frame().minX() - 8);
    fonts->orderOut();
}

TEST_F(PanelPlacement, TabReachesEveryListAndFieldOfTheFontPanel)
{
    window->makeMainWindow();
    auto fonts = FontPanel::sharedFontPanel();
    fonts->orderOut();
    fonts->orderFrontFontPanel({});
    std::vector<const void*> stops;
    for (int tab = 0; tab < 8; ++tab) {
        auto first = fonts->firstResponder();
        // The field's editor stands for the field.
        auto view = std::dynamic_pointer_cast<View>(first);
        if (view && view->superview() && std::dynamic_pointer_cast<Control>(view->superview()))
            view = view->superview();
        if (std::ranges::find(stops, view.get()) == stops.end())
            stops.push_back(view.get());
        backend->keyDown(*fonts, u"\t", KeyCode::Tab);
        dispatch();
    }
    // The families, faces and sizes lists and the size field.
    EXPECT_GE(stops.size(), 4u);
    fonts->orderOut();
}
