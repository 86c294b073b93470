#include "GtkTestSupport.h"

#include "frameworks/ZORSpinningProgressIndicator/ZORSpinningProgressIndicator.h"
#include "frameworks/attached-window/ZORAttachedWindow.h"
#include "frameworks/small-date-control/ZORSmallDateControl.h"

#include <fmt/format.h>

#include <cmath>
#include <cstdlib>

using namespace gtktest;

namespace {

class AttachedWindowDisplayTest : public GtkDisplayTest {
protected:
    // A screen point (points, y up) in root device pixels.
    static std::pair<int, int> rootPixel(gfx::Point point)
    {
        auto screen = ui::Screen::screens().front()->frame();
        int s = scale();
        return { int(std::floor(point.x * s)), int(std::floor((screen.maxY() - point.y) * s)) };
    }
    static std::uint32_t pixelAt(gfx::Point point)
    {
        auto [x, y] = rootPixel(point);
        return grabScreen(x, y, 1, 1).at(0, 0);
    }
    static int red(std::uint32_t p) { return int((p >> 16) & 0xFF); }
    static int green(std::uint32_t p) { return int((p >> 8) & 0xFF); }
    static int blue(std::uint32_t p) { return int(p & 0xFF); }
    static bool isParentBlue(std::uint32_t p) { return blue(p) > 200 && red(p) < 60 && green(p) < 60; }
    static bool isBubbleFill(std::uint32_t p)
    {
        return red(p) > 230 && green(p) > 230 && blue(p) > 150 && blue(p) < 230;
    }
};

// A bubble over a blue window: it sits where its side puts it with the arrow's tip on the point, shows the blue
// window through its corners and beside its arrow, its spinner turns (from its own thread, drawn on the main one),
// and the window under it still takes typing meanwhile.
TEST_F(AttachedWindowDisplayTest, TheBubblePointsAtItsPointAndTheSpinnerTurns)
{
    int s = scale();
    auto content = FillView::make({}, gfx::Color::colorWithDeviceRed(0, 0, 1, 1));
    auto date = std::make_shared<ZORSmallDateControl>();
    date->initWithFrame({ 20, 20, 10, 10 }, { fnd::DateOrder::DayMonthYear, "." });
    content->addSubview(date);
    auto parent = showWindow({ 60, 120, 400, 300 }, content, ui::WindowStyleMask::Titled);
    parent->makeFirstResponder(date);
    ASSERT_TRUE(date->isUsingFieldEditor());

    auto spinner = ZORSpinningProgressIndicator::create({ 0, 0, 48, 48 });
    spinner->setUsesThreadedAnimation(true);
    const gfx::Point pointInParent { 200, 220 };
    auto bubble = ZORAttachedWindow::create(spinner, pointInParent, parent, ZORAttachedWindow::Below, 0);
    ASSERT_TRUE(bubble);
    bubble->setBackgroundColor(gfx::Color::colorWithDeviceRed(1, 1, 0.75, 1));
    bubble->orderFront();
    spinner->startAnimation();
    ASSERT_TRUE(waitFor([&] { return backend->presentedFrameCount(*bubble) > 0; })) << "the bubble was never painted";

    auto P = parent->convertBaseToScreen(pointInParent);
    auto frame = bubble->frame();
    // The frame and the window's shape reach the screen a moment after the frame was presented.
    waitFor([&] {
        return isBubbleFill(pixelAt({ frame.minX() + 10, frame.minY() + 4 }))
            && isParentBlue(pixelAt({ frame.minX() + 0.5, frame.minY() + 0.5 }));
    });
    EXPECT_EQ(frame, (gfx::Rect { P.x - 26, P.y - 68, 52, 68 })) << "below the point, arrow room on top";
    EXPECT_TRUE(parent->isKeyWindow()) << "showing the bubble leaves the keyboard where it was";

    // The whole neighbourhood, to look at.
    auto [left, top] = rootPixel({ frame.minX() - 20, frame.maxY() + 20 });
    auto shot = grabScreen(left, top, int((frame.width() + 40) * s), int((frame.height() + 40) * s));
    shot.save(fmt::format("attached-window-scale{}.png", s));

    // The arrow's tip touches the point: just inside it is the border, just outside the blue window.
    auto inside = pixelAt({ P.x, P.y - 2.5 });
    EXPECT_LT(red(inside), 160) << fmt::format("{:06x}", inside);
    EXPECT_FALSE(isParentBlue(inside)) << fmt::format("{:06x}", inside);
    EXPECT_TRUE(isParentBlue(pixelAt({ P.x, P.y + 1.5 }))) << fmt::format("{:06x}", pixelAt({ P.x, P.y + 1.5 }));
    // Transparent outside the bubble: the window's corners and the strip beside the arrow show the blue window.
    for (gfx::Point outside :
        { gfx::Point { frame.minX() + 0.5, frame.minY() + 0.5 }, gfx::Point { frame.maxX() - 0.5, frame.minY() + 0.5 },
            gfx::Point { frame.minX() + 3, frame.maxY() - 3 }, gfx::Point { frame.maxX() - 3, frame.maxY() - 3 } }) {
        auto p = pixelAt(outside);
        EXPECT_TRUE(isParentBlue(p)) << outside.x << ", " << outside.y << ": " << fmt::format("{:06x}", p);
    }
    // Inside: the bubble's fill around the spinner.
    auto fill = pixelAt({ frame.minX() + 10, frame.minY() + 4 });
    EXPECT_TRUE(isBubbleFill(fill)) << fmt::format("{:06x}", fill);

    // The spinner turns: a later picture of it differs from this one.
    auto spinnerFrame = bubble->convertRectToScreen(spinner->convertRectToView(spinner->bounds(), nullptr));
    auto [sx, sy] = rootPixel({ spinnerFrame.minX(), spinnerFrame.maxY() });
    auto first = grabScreen(sx, sy, int(spinnerFrame.width() * s), int(spinnerFrame.height() * s));
    Screenshot second;
    EXPECT_TRUE(waitFor([&] {
        second = grabScreen(sx, sy, int(spinnerFrame.width() * s), int(spinnerFrame.height() * s));
        return second.pixels != first.pixels;
    })) << "the spinner stood still";
    first.save(fmt::format("attached-window-spinner1-scale{}.png", s));
    second.save(fmt::format("attached-window-spinner2-scale{}.png", s));

    // Meanwhile the window under the bubble takes typing.
    ASSERT_EQ(runWhileServing(*backend, "xdotool type --delay 30 17 && xdotool key Tab").status, 0);
    // The Tab after the day: both have arrived once the month is selected.
    EXPECT_TRUE(waitFor([&] { return date->day() == 17 && date->selected() == 1; }))
        << "day " << date->day() << ", part " << date->selected() << " selected (Tab goes on to the month)";

    spinner->stopAnimation();
    EXPECT_FALSE(spinner->hasAnimationThread());
    // Still now, so the picture settles.
    auto [px, py, pw, ph] = deviceRectOfContent(*parent);
    settledScreen(*backend, px, py, pw, ph).save(fmt::format("attached-window-parent-scale{}.png", s));
}

}
