#include "GtkTestSupport.h"

#include "platform/graphics/BezierPath.h"

#include <algorithm>

#include <fmt/format.h>

using namespace gtktest;

// Counts the clicks it gets.
class SeeThroughClickView : public FillView {
    FND_OBJECT(SeeThroughClickView)
public:
    void mouseDown(const ui::Event&) override { ++clicks; }
    int clicks { 0 };
};

FND_REGISTER_CLASS(SeeThroughClickView, FillView)

namespace {

class SeeThroughWindowTest : public GtkDisplayTest { };

// A borderless window that is not opaque is a pop-up at its screen position showing only what it draws: on an X
// server without a compositing manager the window is cut to its drawn pixels, so the window behind shows through
// the rest, and clicks there reach the window behind.
TEST_F(SeeThroughWindowTest, ABorderlessTransparentWindowShowsOnlyWhatItDraws)
{
    int s = scale();
    auto behind = fnd::makeObject<SeeThroughClickView>();
    behind->fill = gfx::Color::colorWithDeviceRed(0, 0.6, 0, 1);
    showWindow({ 40, 100, 300, 200 }, behind, ui::WindowStyleMask::Titled);

    auto disc = FillView::make({}, nullptr);
    disc->extra = [](FillView& view) {
        gfx::GraphicsContext::current()->setFillColor(*gfx::Color::redColor());
        gfx::GraphicsContext::current()->fillPath(*gfx::BezierPath::bezierPathWithOvalInRect(view.bounds()));
    };
    auto bubble = ui::Window::create({ 100, 150, 80, 80 }, ui::WindowStyleMask::Borderless);
    bubble->setOpaque(false);
    bubble->setBackgroundColor(gfx::Color::clearColor());
    disc->setFrame({ 0, 0, 80, 80 });
    bubble->setContentView(disc);
    bubble->orderFront();
    ASSERT_TRUE(waitFor([&] { return backend->presentedFrameCount(*bubble) > 0; }));

    auto [x, y, width, height] = deviceRectOfContent(*bubble);
    EXPECT_EQ(x, 100 * s) << "placed at its screen position";
    const std::pair<int, int> corners[] = { { 1, 1 }, { width - 2, 1 }, { 1, height - 2 }, { width - 2, height - 2 } };
    // The frame and the window's shape reach the screen a moment after the frame was presented: until the disc and
    // the window behind it show (or the wait ends), and only then a click in the corner.
    Screenshot shot;
    waitFor([&] {
        shot = grabScreen(x, y, width, height);
        return shot.at(width / 2, height / 2) == 0xFF0000u && std::ranges::all_of(corners, [&](auto corner) {
            return shot.at(corner.first, corner.second) == 0x009900u;
        });
    });
    shot.save(fmt::format("gtk-see-through-scale{}.png", s));
    EXPECT_EQ(shot.at(width / 2, height / 2), 0xFF0000u) << "the disc";
    for (auto [cx, cy] : corners)
        EXPECT_EQ(shot.at(cx, cy), 0x009900u) << "the window behind, at corner " << cx << ", " << cy;

    // A click in the corner goes through to the window behind.
    auto command = fmt::format("xdotool mousemove {} {} click 1", x + 2, y + 2);
    ASSERT_EQ(runWhileServing(*backend, command).status, 0);
    EXPECT_TRUE(waitFor([&] { return behind->clicks == 1; })) << "the click stayed in the transparent window";
}

}
