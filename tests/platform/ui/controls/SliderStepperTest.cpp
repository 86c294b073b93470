#include "ControlsTestSupport.h"

#include "platform/ui/controls/Slider.h"
#include "platform/ui/controls/Stepper.h"

#include "support/Canvas.h"

using namespace ui;
using namespace controlstest;

namespace {

class SliderStepperTest : public ControlsTest {
protected:
    std::shared_ptr<Slider> slider(gfx::Rect frame = { 20, 100, 220, 24 })
    {
        auto s = Slider::sliderWithValue(0, 0, 100, log, "clicked:");
        s->setFrame(frame);
        add(s);
        snapshot(); // lays the cell out in its frame
        return s;
    }
    // The point of the slider's bar at a value.
    static gfx::Point pointFor(Slider& s, double value)
    {
        auto bar = s.sliderCell()->barRectFlipped(true);
        double f = (value - s.minValue()) / (s.maxValue() - s.minValue());
        if (s.isVertical())
            return { bar.midX(), bar.maxY() - bar.height() * f };
        return { bar.minX() + bar.width() * f, bar.midY() };
    }
};

TEST_F(SliderStepperTest, SliderFollowsTheMouseAndSendsAsItMoves)
{
    auto s = slider();
    // A press on the bar moves the knob there; dragging moves it on; the release ends it, wherever it is.
    press(*s, pointFor(*s, 25));
    drag(*s, pointFor(*s, 50));
    drag(*s, pointFor(*s, 75));
    release(*s, { pointFor(*s, 75).x, 200 });
    dispatch();
    EXPECT_NEAR(s->doubleValue(), 75, 0.5);
    EXPECT_EQ(log->count("clicked"), 3) << "two drags and the release";

    // Grabbed by the knob off its centre: the knob keeps its place under the pointer.
    auto knob = s->sliderCell()->knobRectFlipped(true);
    press(*s, { knob.midX() + 5, knob.midY() });
    drag(*s, { pointFor(*s, 40).x + 5, knob.midY() });
    release(*s, { pointFor(*s, 40).x + 5, knob.midY() });
    dispatch();
    EXPECT_NEAR(s->doubleValue(), 40, 0.5);

    // Held still, a continuous slider keeps sending; otherwise only the release sends.
    log->received.clear();
    press(*s, pointFor(*s, 40));
    backend->after(0.9, [&] { release(*s, pointFor(*s, 40)); });
    dispatch();
    EXPECT_EQ(log->count("clicked"), 7 + 1);
    s->setContinuous(false);
    log->received.clear();
    press(*s, pointFor(*s, 10));
    drag(*s, pointFor(*s, 20));
    backend->after(0.9, [&] { release(*s, pointFor(*s, 30)); });
    dispatch();
    EXPECT_EQ(log->count("clicked"), 1);
    EXPECT_NEAR(s->doubleValue(), 30, 0.5);
}

TEST_F(SliderStepperTest, TickMarksHoldTheValue)
{
    auto s = slider({ 20, 100, 220, 32 });
    s->setNumberOfTickMarks(5);
    EXPECT_EQ(s->tickMarkValueAtIndex(1), 25);
    EXPECT_EQ(s->closestTickMarkValueToValue(62), 50);
    s->setAllowsTickMarkValuesOnly(true);
    press(*s, pointFor(*s, 62));
    release(*s, pointFor(*s, 62));
    dispatch();
    EXPECT_EQ(s->doubleValue(), 50);
    s->setDoubleValue(130);
    EXPECT_EQ(s->doubleValue(), 100) << "clamped to the range";
    // The tick marks lie under the knob's band, one per value.
    auto image = snapshot("slider-ticks");
    auto* cell = s->sliderCell().get();
    auto tick = cell->rectOfTickMarkAtIndex(2);
    EXPECT_NEAR(tick.midX(), pointFor(*s, 50).x, 1);
    EXPECT_GT(tick.minY(), cell->barRectFlipped(true).maxY());
    EXPECT_LT(luminance(pixelIn(*image, *s, { tick.minX() + 0.5, tick.midY() })), 180);
    EXPECT_EQ(cell->indexOfTickMarkAtPoint({ tick.midX() + 1, tick.midY() }), 2);

    // Arrows move by one tick.
    window->makeFirstResponder(s);
    key(fnd::String(std::u16string(1, FunctionKey::LeftArrow)), KeyCode::LeftArrow);
    EXPECT_EQ(s->doubleValue(), 75);
    key(fnd::String(std::u16string(1, FunctionKey::Home)), KeyCode::Home);
    EXPECT_EQ(s->doubleValue(), 0);
    EXPECT_EQ(log->count("clicked"), 3);
}

TEST_F(SliderStepperTest, SliderDrawsItsValueAndTurnsUpright)
{
    auto s = slider();
    s->setDoubleValue(50);
    auto image = snapshot("slider");
    auto bar = s->sliderCell()->barRectFlipped(true);
    auto filled = pixelIn(*image, *s, { bar.minX() + 10, bar.midY() });
    auto empty = pixelIn(*image, *s, { bar.maxX() - 10, bar.midY() });
    EXPECT_GT(int(gfx::blueOf(filled)) - int(gfx::redOf(filled)), 80) << "the filled part is the accent";
    EXPECT_LT(std::abs(int(gfx::blueOf(empty)) - int(gfx::redOf(empty))), 10) << "the rest is grey";

    // Taller than wide: vertical, the minimum at the bottom.
    auto upright = slider({ 260, 40, 24, 160 });
    ASSERT_TRUE(upright->isVertical());
    press(*upright, pointFor(*upright, 80));
    release(*upright, pointFor(*upright, 80));
    dispatch();
    EXPECT_NEAR(upright->doubleValue(), 80, 0.5);
    auto knob = upright->sliderCell()->knobRectFlipped(true);
    EXPECT_LT(knob.midY(), 80) << "high values are near the top";
    EXPECT_NEAR(knob.midX(), upright->sliderCell()->barRectFlipped(true).midX(), 0.5) << "centred across the bar";
    // Grabbed below its centre, the upright knob too keeps its place under the pointer.
    press(*upright, { knob.midX(), knob.midY() + 5 });
    drag(*upright, { knob.midX(), pointFor(*upright, 40).y + 5 });
    release(*upright, { knob.midX(), pointFor(*upright, 40).y + 5 });
    dispatch();
    EXPECT_NEAR(upright->doubleValue(), 40, 0.5);
}

TEST_F(SliderStepperTest, StepperStepsOnPressAndWhileHeld)
{
    auto stepper = Stepper::create({ 20, 100, 19, 28 });
    stepper->setTarget(log);
    stepper->setAction("clicked:");
    stepper->setMaxValue(10);
    add(stepper);
    snapshot();
    auto up = stepper->stepperCell()->upArrowRect(stepper->bounds(), true);
    auto down = stepper->stepperCell()->downArrowRect(stepper->bounds(), true);
    EXPECT_LT(up.midY(), down.midY()) << "the up arrow is on top";

    int stepsOnPress = -1;
    press(*stepper, { up.midX(), up.midY() });
    backend->after(0.1, [&] {
        stepsOnPress = int(stepper->integerValue());
        release(*stepper, { up.midX(), up.midY() });
    });
    dispatch();
    EXPECT_EQ(stepsOnPress, 1) << "a press steps at once";

    // Held for 0.95 s: steps after 0.5 s and every 0.1 s (0.5 … 0.9).
    press(*stepper, { up.midX(), up.midY() });
    backend->after(0.95, [&] { release(*stepper, { up.midX(), up.midY() }); });
    dispatch();
    EXPECT_EQ(stepper->integerValue(), 1 + 1 + 5);
    EXPECT_EQ(log->count("clicked"), 7);

    // Down, wrapping at the ends; without wrapping it stops there.
    stepper->setIntegerValue(0);
    press(*stepper, { down.midX(), down.midY() });
    release(*stepper, { down.midX(), down.midY() });
    dispatch();
    EXPECT_EQ(stepper->integerValue(), 10);
    stepper->setValueWraps(false);
    stepper->setAutorepeat(false);
    press(*stepper, { up.midX(), up.midY() });
    backend->after(0.95, [&] { release(*stepper, { up.midX(), up.midY() }); });
    dispatch();
    EXPECT_EQ(stepper->integerValue(), 10);

    // The keyboard.
    window->makeFirstResponder(stepper);
    key(fnd::String(std::u16string(1, FunctionKey::DownArrow)), KeyCode::DownArrow);
    EXPECT_EQ(stepper->integerValue(), 9);

    // Pressed arrows darken.
    auto plain = snapshot();
    stepper->setEnabled(false);
    press(*stepper, { up.midX(), up.midY() });
    release(*stepper, { up.midX(), up.midY() });
    dispatch();
    EXPECT_EQ(stepper->integerValue(), 9) << "a disabled stepper ignores the mouse";
    auto faded = snapshot("stepper-disabled");
    EXPECT_GT(differingShare(*plain, *faded, stepper->frame()), 0.1);
}

}
