// A pane toolbar's grip drags the divider of the collapsible split view with the real pointer; screenshots of the
// toolbar in a key window and in one that is not are written to the temporary folder.
#include "GtkTestSupport.h"

#include "frameworks/ZORAppKit/split-view/ZORSplitSubview.h"
#include "frameworks/ZORAppKit/split-view/ZORSplitView.h"
#include "frameworks/ZORAppKit/split-view/ZORSplitViewController.h"
#include "frameworks/ZORAppKit/split-view/ZORSplitViewToolbar.h"
#include "frameworks/ZORAppKit/split-view/ZORSplitViewToolbarButton.h"

#include "platform/ui/views/Cursor.h"

#include <fmt/format.h>

using namespace gtktest;

namespace {

class ZORSplitViewDisplayTest : public GtkDisplayTest {
protected:
    static constexpr double Width = 409;
    static constexpr double Height = 240;

    void SetUp() override
    {
        split = ZORSplitView::create({ 0, 0, Width, Height });
        split->setVertical(true);
        controller = ZORSplitViewController::create();
        split->setDelegate(controller);
        const gfx::ColorPtr colours[]
            = { gfx::Color::colorWithDeviceWhite(0.97), gfx::Color::colorWithDeviceRed(0.3, 0.5, 0.8) };
        for (int i = 0; i < 2; ++i) {
            auto pane = ZORSplitSubview::create({ 0, 0, 200, Height });
            pane->setMinSize(80);
            auto fill = FillView::make({ 0, 0, 200, Height }, colours[i]);
            fill->setAutoresizingMask(ui::AutoresizingMask::WidthSizable | ui::AutoresizingMask::HeightSizable);
            pane->addSubview(fill);
            panes.push_back(pane);
            split->addSubview(pane);
        }
        split->adjustSubviews();
        split->setPositionOfDivider(200, 0);
        panes[0]->installToolbar();
        auto bar = panes[0]->toolbar();
        for (int code : { 1, 2 }) {
            auto button = ZORSplitViewToolbarButton::create();
            button->setToolbarButtonImage(code);
            bar->addItem(button);
        }
        auto action = ZORSplitViewToolbarButton::create();
        action->setToolbarButtonAlign(1);
        action->setToolbarButtonImage(4);
        bar->addItem(action);
        bar->setDrawDraggingButton(true);
        window = showWindow({ 200, 200, Width, Height }, split);
    }

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
        picture.save("ZORSplitView-" + name + ".png");
        return picture;
    }

    std::shared_ptr<ZORSplitView> split;
    std::shared_ptr<ZORSplitViewController> controller;
    std::vector<std::shared_ptr<ZORSplitSubview>> panes;
    std::shared_ptr<ui::Window> window;
};

TEST_F(ZORSplitViewDisplayTest, TheToolbarGripDragsTheDivider)
{
    ASSERT_EQ(panes[0]->frame().width(), 200);
    auto grip = ZORSplitViewController::gripRectOfDivider(*split, 0);
    ASSERT_EQ(grip, gfx::Rect(185, 216, 15, 24));
    shot("before-grip-drag");
    // Press on the grip (split view coordinates, flipped like the screen), drag 60 points right, release.
    run("mousemove " + rootPoint({ 192, 228 }) + " mousedown 1 mousemove " + rootPoint({ 212, 228 }) + " mousemove "
        + rootPoint({ 252, 226 }) + " mouseup 1");
    ASSERT_TRUE(waitFor([&] { return panes[0]->frame().width() == 260; })) << panes[0]->frame().width();
    EXPECT_EQ(panes[0]->toolbar()->frame().width(), 260) << "the bar follows its pane";
    shot("after-grip-drag");

    // Past the next pane's minimum the drag stops there.
    run("mousemove " + rootPoint({ 252, 228 }) + " mousedown 1 mousemove " + rootPoint({ 300, 228 }) + " mousemove "
        + rootPoint({ 400, 228 }) + " mouseup 1");
    ASSERT_TRUE(waitFor([&] { return panes[1]->frame().width() == 80; })) << panes[1]->frame().width();
}

}
