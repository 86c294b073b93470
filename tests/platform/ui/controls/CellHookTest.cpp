#include "ControlsTestSupport.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/controls/Button.h"

#include "support/Canvas.h"

using namespace ui;
using namespace controlstest;

namespace {

// A component's button cell that replaces the hooks a subclass typically replaces.
class HookedCell : public ButtonCell {
    UI_CELL_OBJECT(HookedCell)
public:
    void drawInteriorWithFrame(gfx::Rect frame, View& view) override
    {
        calls.push_back("interior");
        auto* context = gfx::GraphicsContext::current();
        context->setFillColor(*gfx::Color::colorWithCalibratedRed(1, 0, 0));
        context->fillRect({ frame.minX() + 2, frame.minY() + 2, 6, 6 });
        ButtonCell::drawInteriorWithFrame(frame, view);
    }
    gfx::Rect titleRectForBounds(gfx::Rect bounds) const override
    {
        // The title goes to the right half.
        return { bounds.midX(), bounds.minY(), bounds.width() / 2, bounds.height() };
    }
    gfx::Rect drawTitle(const txt::AttributedString& title, gfx::Rect frame, View& view) override
    {
        titleFrames.push_back(frame);
        return ButtonCell::drawTitle(title, frame, view);
    }
    void drawBezelWithFrame(gfx::Rect, View&) override { calls.push_back("bezel"); }
    bool trackMouse(const Event& event, gfx::Rect frame, View& view, bool untilMouseUp) override
    {
        calls.push_back(untilMouseUp ? "track until up" : "track");
        trackedAt = view.convertPointFromView(event.locationInWindow(), nullptr);
        // Acts at once, like a menu button, and reports the mouse as handled.
        sendActionFromControlView();
        (void)frame;
        return true;
    }
    std::vector<std::string> calls;
    std::vector<gfx::Rect> titleFrames;
    gfx::Point trackedAt;
};
FND_REGISTER_CLASS(HookedCell, ButtonCell)

class HookedButton : public Button {
    FND_OBJECT(HookedButton)
public:
    std::shared_ptr<Cell> makeCell() const override { return fnd::makeObject<HookedCell>(); }
};
FND_REGISTER_CLASS(HookedButton, Button)

using CellHookTest = ControlsTest;

TEST_F(CellHookTest, OverriddenHooksAreUsed)
{
    auto button = std::make_shared<HookedButton>();
    button->initWithFrame({ 20, 100, 160, 30 });
    button->setTitle("Title");
    button->setTarget(log);
    button->setAction("clicked:");
    add(button);
    auto cell = std::dynamic_pointer_cast<HookedCell>(button->cell());
    ASSERT_TRUE(cell) << "the control makes the cell its class asks for";

    auto image = snapshot("hooked");
    EXPECT_EQ(cell->calls, (std::vector<std::string> { "bezel", "interior" })) << "bezel, then interior";
    EXPECT_EQ(pixelIn(*image, *button, { 4, 4 }), argb(255, 255, 0, 0)) << "the overridden interior drew";
    ASSERT_FALSE(cell->titleFrames.empty());
    EXPECT_EQ(cell->titleFrames.back().minX(), 80) << "the title went where titleRectForBounds said";
    bool inkLeft = false, inkRight = false;
    for (double x = 10; x < 160; x += 1) {
        for (double y = 8; y < 22; y += 1) {
            if (luminance(pixelIn(*image, *button, { x, y })) < 100)
                (x < 80 ? inkLeft : inkRight) = true;
        }
    }
    EXPECT_FALSE(inkLeft);
    EXPECT_TRUE(inkRight);

    cell->calls.clear();
    press(*button, { 30, 12 });
    dispatch();
    EXPECT_NE(std::find(cell->calls.begin(), cell->calls.end(), "track"), cell->calls.end());
    EXPECT_EQ(cell->trackedAt, (gfx::Point { 30, 12 }));
    EXPECT_EQ(log->count("clicked"), 1) << "acted on the press, before any release";
}

}
