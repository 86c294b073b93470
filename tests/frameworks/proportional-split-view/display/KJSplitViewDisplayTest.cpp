// The proportional split view in a real window: the real pointer drags a divider, shows the resize cursor over it,
// and a double click collapses a pane. Screenshots are written to the temporary folder to be looked at.
#include "GtkTestSupport.h"

#include "frameworks/proportional-split-view/KJSplitView.h"

#include "platform/graphics/Image.h"
#include "platform/ui/views/Cursor.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <fmt/format.h>

using namespace gtktest;

namespace {

// The name the X server gives the pointer's current cursor image (XFixes), or "" when it has none.
std::string serverCursorName()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return {};
    std::string name;
    if (XFixesCursorImage* image = XFixesGetCursorImage(display)) {
        if (image->name)
            name = image->name;
        XFree(image);
    }
    XCloseDisplay(display);
    return name;
}

bool isRed(std::uint32_t rgb)
{
    return ((rgb >> 16) & 0xFF) > 180 && (rgb & 0xFF) < 100;
}

bool isBlue(std::uint32_t rgb)
{
    return (rgb & 0xFF) > 180 && ((rgb >> 16) & 0xFF) < 100;
}

class KJSplitViewDisplayTest : public GtkDisplayTest {
protected:
    static constexpr double Width = 406;
    static constexpr double Height = 240;

    void SetUp() override
    {
        split = KJSplitView::create({ 0, 0, Width, Height });
        split->setDivider(gfx::Image::imageWithSize({ 6, 6 }, true, [](const gfx::Rect&) {
            gfx::Color::colorWithCalibratedWhite(0.25)->setFill();
            gfx::GraphicsContext::current()->fillRect({ 1, 1, 4, 4 });
            return true;
        }));
        split->setBackground(gfx::Color::colorWithCalibratedWhite(0.7));
        const gfx::ColorPtr colours[]
            = { gfx::Color::colorWithDeviceRed(0.85, 0.3, 0.25), gfx::Color::colorWithDeviceRed(0.25, 0.45, 0.85) };
        for (int i = 0; i < 2; ++i) {
            auto pane = KJSplitSubview::create({ 0, 0, i == 0 ? 150.0 : 250.0, Height });
            pane->setMinDimension(60, 0);
            pane->setCanCollapse(true);
            auto fill = FillView::make({ 0, 0, i == 0 ? 150.0 : 250.0, Height }, colours[i]);
            fill->setAutoresizingMask(ui::AutoresizingMask::WidthSizable | ui::AutoresizingMask::HeightSizable);
            pane->addSubview(fill);
            split->addSubview(pane);
        }
        split->adjustSubviews();
        window = showWindow({ 200, 200, Width, Height }, split);
    }

    // A point of the split view (flipped, as it lays out) as root device pixels "x y".
    std::string rootPoint(gfx::Point p) const
    {
        auto [x, y, width, height] = deviceRectOfContent(*window);
        return fmt::format("{} {}", x + int(p.x * scale()), y + int(p.y * scale()));
    }
    void run(const std::string& command) { ASSERT_EQ(runWhileServing(*backend, "xdotool " + command).status, 0); }
    Screenshot shot(const std::string& name)
    {
        auto [x, y, width, height] = deviceRectOfContent(*window);
        auto picture = grabScreen(x, y, width, height);
        picture.save("KJSplitView-" + name + ".png");
        return picture;
    }
    double paneWidth(std::size_t i) const { return split->subviewAtPosition(i)->frame().width(); }

    std::shared_ptr<KJSplitView> split;
    std::shared_ptr<ui::Window> window;
};

TEST_F(KJSplitViewDisplayTest, TheRealPointerDragsTheDividerOverTheResizeCursor)
{
    ASSERT_EQ(paneWidth(0), 150);
    auto before = shot("before-drag");
    int s = scale();
    // Red left of the divider, blue right of it, the divider's dimple in between.
    EXPECT_TRUE(isRed(before.at(100 * s, 120 * s))) << std::hex << before.at(100 * s, 120 * s);
    EXPECT_TRUE(isBlue(before.at(180 * s, 120 * s))) << std::hex << before.at(180 * s, 120 * s);

    // Resting on the divider shows the left-right resize cursor, here and on the X server.
    run("mousemove " + rootPoint({ 153, 60 }) + " sleep 0.2 mousemove " + rootPoint({ 152, 62 }));
    ASSERT_TRUE(waitFor([] { return ui::Cursor::currentCursor()->systemName() == "ew-resize"; }))
        << ui::Cursor::currentCursor()->systemName().utf8();
    auto serverName = serverCursorName();
    if (!serverName.empty()) {
        EXPECT_NE(serverName.find("resize"), std::string::npos) << serverName;
    }

    // Press on the divider, drag 80 points to the right in steps, release.
    run("mousemove " + rootPoint({ 153, 120 }) + " mousedown 1 mousemove " + rootPoint({ 173, 120 }) + " mousemove "
        + rootPoint({ 203, 125 }) + " mousemove " + rootPoint({ 233, 130 }) + " mouseup 1");
    ASSERT_TRUE(waitFor([&] { return paneWidth(0) == 230 && !split->isDragging(); }))
        << paneWidth(0) << " " << paneWidth(1);
    EXPECT_EQ(paneWidth(1), 170);
    ASSERT_TRUE(waitFor([&] { return isRed(shot("after-drag").at(200 * s, 120 * s)); }))
        << "the red pane reaches where the blue one was";
    auto after = shot("after-drag");
    EXPECT_TRUE(isBlue(after.at(300 * s, 120 * s))) << "blue stays blue further right";
    EXPECT_FALSE(isRed(after.at(232 * s, 120 * s)) || isBlue(after.at(232 * s, 120 * s))) << "the divider";
}

TEST_F(KJSplitViewDisplayTest, ADoubleClickOnTheDividerCollapsesTheSmallerPane)
{
    GenerousDoubleClickTime doubleClicks;
    run("mousemove " + rootPoint({ 153, 100 }) + " click --repeat 2 --delay 80 1");
    ASSERT_TRUE(waitFor([&] { return split->subviewAtPosition(0)->isCollapsed(); })) << paneWidth(0);
    EXPECT_EQ(paneWidth(1), 400);
    int s = scale();
    ASSERT_TRUE(waitFor([&] { return isBlue(shot("collapsed").at(100 * s, 120 * s)); }))
        << "blue fills the window but for the divider";
    // And a second double click on the divider, now at the left edge, opens it again.
    run("mousemove " + rootPoint({ 3, 100 }) + " click --repeat 2 --delay 80 1");
    ASSERT_TRUE(waitFor([&] { return !split->subviewAtPosition(0)->isCollapsed(); }));
    EXPECT_EQ(paneWidth(0), 150);
    shot("expanded");
}

// A press on a pane's background that becomes a drag moves a window movable by its background: the window manager's
// move (GDK's own without one) takes the window along, its frame follows, and the panes keep their sizes.
TEST_F(KJSplitViewDisplayTest, APressAndDragOnAPanesBackgroundMovesTheWindow)
{
    split->setBackground(nullptr);
    window->setMovableByWindowBackground(true);
    const auto before = window->frame();
    run("mousemove " + rootPoint({ 160, 170 }) + " mousedown 1 sleep 0.2 mousemove " + rootPoint({ 130, 150 })
        + " sleep 0.1 mousemove " + rootPoint({ 60, 120 }) + " sleep 0.1 mouseup 1");
    // 100 points left and 50 up (the split view is flipped): the frame's y grows by 50.
    ASSERT_TRUE(waitFor([&] { return window->frame().origin == gfx::Point(before.minX() - 100, before.minY() + 50); }))
        << window->frame().minX() << " " << window->frame().minY();
    EXPECT_EQ(paneWidth(0), 150);
    EXPECT_EQ(paneWidth(1), 250);
    // The X server shows the panes at the new place.
    int s = scale();
    ASSERT_TRUE(waitFor([&] {
        auto moved = shot("moved");
        return moved.width > 0 && isRed(moved.at(100 * s, 120 * s)) && isBlue(moved.at(300 * s, 120 * s));
    }));
}

}
