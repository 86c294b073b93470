#include "platform/ui/controls/Slider.h"

#include "platform/ui/views/Event.h"

namespace ui {

FND_REGISTER_CLASS(Slider, Control)

void Slider::describeClass(fnd::ClassBuilder<Slider>& c)
{
    c.property("minValue", &Slider::minValue, &Slider::setMinValue);
    c.property("maxValue", &Slider::maxValue, &Slider::setMaxValue);
    c.property("altIncrementValue", &Slider::altIncrementValue, &Slider::setAltIncrementValue);
    c.property("numberOfTickMarks", &Slider::numberOfTickMarks, &Slider::setNumberOfTickMarks);
    c.property("tickMarkPosition", &Slider::tickMarkPosition, &Slider::setTickMarkPosition);
    c.property("allowsTickMarkValuesOnly", &Slider::allowsTickMarkValuesOnly, &Slider::setAllowsTickMarkValuesOnly);
}

std::shared_ptr<Slider> Slider::create(gfx::Rect frame)
{
    return makeView<Slider>(frame);
}

std::shared_ptr<Slider> Slider::sliderWithValue(
    double value, double minValue, double maxValue, const std::shared_ptr<fnd::Object>& target, fnd::Selector action)
{
    auto slider = create({ 0, 0, 100, 22 });
    slider->setMinValue(minValue);
    slider->setMaxValue(maxValue);
    slider->setDoubleValue(value);
    slider->setTarget(target);
    slider->setAction(action);
    return slider;
}

std::shared_ptr<Cell> Slider::makeCell() const
{
    return fnd::makeObject<SliderCell>();
}

#define UI_GET(Result, Name, Fallback)                                                                                 \
    Result Slider::Name() const                                                                                        \
    {                                                                                                                  \
        auto c = sliderCell();                                                                                         \
        return c ? c->Name() : Fallback;                                                                               \
    }
#define UI_SET(Name, Arg)                                                                                              \
    void Slider::Name(Arg value)                                                                                       \
    {                                                                                                                  \
        if (auto c = sliderCell())                                                                                     \
            c->Name(value);                                                                                            \
    }

UI_GET(double, minValue, 0.0)
UI_SET(setMinValue, double)
UI_GET(double, maxValue, 0.0)
UI_SET(setMaxValue, double)
UI_GET(double, altIncrementValue, 0.0)
UI_SET(setAltIncrementValue, double)
UI_GET(long, numberOfTickMarks, 0l)
UI_SET(setNumberOfTickMarks, long)
UI_GET(TickMarkPosition, tickMarkPosition, TickMarkPosition::Below)
UI_SET(setTickMarkPosition, TickMarkPosition)
UI_GET(bool, allowsTickMarkValuesOnly, false)
UI_SET(setAllowsTickMarkValuesOnly, bool)
UI_GET(bool, isVertical, false)

#undef UI_GET
#undef UI_SET

double Slider::tickMarkValueAtIndex(long index) const
{
    auto c = sliderCell();
    return c ? c->tickMarkValueAtIndex(index) : 0;
}

double Slider::closestTickMarkValueToValue(double value) const
{
    auto c = sliderCell();
    return c ? c->closestTickMarkValueToValue(value) : value;
}

void Slider::setFrameSize(gfx::Size size)
{
    Control::setFrameSize(size);
    // The cell decides its orientation from the frame it is given.
    setNeedsDisplay(true);
}

void Slider::keyDown(const Event& event)
{
    auto c = sliderCell();
    const auto& chars = event.charactersIgnoringModifiers();
    char16_t key = chars.length() > 0 ? chars.units()[0] : 0;
    if (c && isEnabled()) {
        bool moved = false, handled = true;
        switch (key) {
        case FunctionKey::RightArrow:
        case FunctionKey::UpArrow:
            moved = c->moveByKeyboardSteps(+1);
            break;
        case FunctionKey::LeftArrow:
        case FunctionKey::DownArrow:
            moved = c->moveByKeyboardSteps(-1);
            break;
        case FunctionKey::Home: {
            double before = c->doubleValue();
            c->setDoubleValue(c->minValue());
            moved = before != c->doubleValue();
            break;
        }
        case FunctionKey::End: {
            double before = c->doubleValue();
            c->setDoubleValue(c->maxValue());
            moved = before != c->doubleValue();
            break;
        }
        default:
            handled = false;
        }
        if (handled) {
            if (moved) {
                noteFocusRingMaskChanged();
                sendAction(action(), target());
            }
            return;
        }
    }
    Control::keyDown(event);
}

}
