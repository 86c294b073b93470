#include "GtkTestSupport.h"

#include "platform/ui/views/ToolTipManager.h"

#include <fmt/format.h>

using namespace gtktest;

namespace {

bool isTipGround(std::uint32_t rgb)
{
    unsigned r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return r > 240 && g > 240 && b > 200 && b < r;
}

}

class ToolTipTest : public GtkDisplayTest {
protected:
    void run(const std::string& command) { ASSERT_EQ(runWhileServing(*backend, "xdotool " + command).status, 0); }
};

// The tip is a pop-up window of its own below and right of the resting pointer, over the window's content, which
// stays key; it goes when the pointer leaves the view.
TEST_F(ToolTipTest, TheTipShowsBelowRightOfTheRestingPointerAndGoesWhenItLeaves)
{
    auto& tips = ui::ToolTipManager::shared();
    auto content = FillView::make({}, gfx::Color::colorWithDeviceRed(0.2, 0.3, 0.8));
    auto window = showWindow({ 200, 200, 300, 150 }, content);
    auto tipped = FillView::make({ 20, 20, 200, 110 }, gfx::Color::colorWithDeviceRed(0.8, 0.2, 0.2));
    tipped->setToolTip("Copies the barcode");
    content->addSubview(tipped);
    window->displayIfNeeded();
    auto [x, y, width, height] = deviceRectOfContent(*window);
    int s = scale();
    auto root
        = [&, x = x, y = y](gfx::Point p) { return fmt::format("{} {}", x + int(p.x * s), y + int((150 - p.y) * s)); };

    run("mousemove " + root({ 60, 100 }));
    ASSERT_TRUE(waitFor([&] { return tips.isShown(); }));
    auto tipWindow = tips.toolTipWindow();
    EXPECT_TRUE(window->isKeyWindow()) << "the tip takes no focus";
    auto [tx, ty, tw, th] = deviceRectOfContent(*tipWindow);
    EXPECT_GT(tx, x + 60 * s) << "right of the pointer";
    EXPECT_GT(ty, y + (150 - 100) * s) << "below the pointer";
    Screenshot shot;
    ASSERT_TRUE(waitFor([&, tx = tx, ty = ty, tw = tw, th = th] {
        shot = grabScreen(tx, ty, tw, th);
        return isTipGround(shot.at(3 * s, 3 * s));
    })) << "the tip is painted on the screen";
    shot.save(fmt::format("gtk-tooltip-scale{}.png", s));
    grabScreen(x, y, width, height).save(fmt::format("gtk-tooltip-in-window-scale{}.png", s));

    run("mousemove " + root({ 260, 100 }));
    ASSERT_TRUE(waitFor([&] { return !tips.isShown(); }));
    EXPECT_TRUE(waitFor([&, tx = tx, ty = ty] {
        return !isTipGround(grabScreen(tx, ty, 8 * s, 8 * s).at(3 * s, 3 * s));
    })) << "the tip's window is gone from the screen";
}
