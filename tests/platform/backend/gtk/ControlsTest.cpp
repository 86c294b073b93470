#include "GtkTestSupport.h"

#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/PopUpButton.h"
#include "platform/ui/controls/SegmentedControl.h"
#include "platform/ui/text/TextField.h"

#include <fmt/format.h>

using namespace gtktest;

class ControlsTest : public GtkDisplayTest { };

// A window of controls on a real display: they draw, and a click on the screen reaches the button under it,
// whose tracking loop runs on the desktop's events and sends its action.
TEST_F(ControlsTest, ControlsDrawAndTakeClicksOnTheScreen)
{
    auto target = KeyRecorder::make({});
    auto content = FillView::make({}, nullptr);
    auto label = ui::TextField::labelWithString("Content:");
    label->setFrameOrigin({ 16, 120 });
    auto field = ui::TextField::textFieldWithString("4006381333931");
    field->setFrame({ 90, 116, 200, 24 });
    auto button = ui::Button::buttonWithTitle("Copy", target, fnd::Selector("pick:"));
    button->setFrameOrigin({ 16, 72 });
    auto box = ui::Button::checkboxWithTitle("Show caption", target, fnd::Selector("pick:"));
    box->setFrameOrigin({ 120, 76 });
    auto popUp = ui::PopUpButton::create({ 16, 24, 140, 26 });
    popUp->addItemsWithTitles({ "EAN-13", "Code 128", "QR Code" });
    auto segments = ui::SegmentedControl::segmentedControlWithLabels(
        { "PDF", "PNG", "TIFF" }, ui::SegmentSwitchTracking::SelectOne, nullptr, {});
    segments->setFrameOrigin({ 170, 26 });
    for (const std::shared_ptr<ui::View>& view :
        std::vector<std::shared_ptr<ui::View>> { label, field, button, box, popUp, segments })
        content->addSubview(view);
    auto window = showWindow({ 120, 200, 320, 160 }, content, ui::WindowStyleMask::Titled);
    auto [x, y, width, height] = deviceRectOfContent(*window);
    int s = scale();
    auto shot = grabScreen(x, y, width, height);
    ASSERT_EQ(shot.width, width);
    shot.save(fmt::format("gtk-controls-scale{}.png", s));
    // The push button's middle, in root device pixels.
    auto frame = button->frame();
    auto command
        = fmt::format("xdotool mousemove {} {} click 1", x + int(frame.midX() * s), y + int((160 - frame.midY()) * s));
    ASSERT_EQ(runWhileServing(*backend, command).status, 0);
    ASSERT_TRUE(waitFor([&] { return !target->picked.empty(); })) << "the click did not press the button";
    EXPECT_EQ(target->picked[0], "<control>");
    EXPECT_EQ(target->picked.size(), 1u);
}
