#include "platform/ui/controls/Stepper.h"

#include "platform/ui/views/Event.h"

namespace ui {

FND_REGISTER_CLASS(Stepper, Control)

void Stepper::describeClass(fnd::ClassBuilder<Stepper>& c)
{
    c.property("minValue", &Stepper::minValue, &Stepper::setMinValue);
    c.property("maxValue", &Stepper::maxValue, &Stepper::setMaxValue);
    c.property("increment", &Stepper::increment, &Stepper::setIncrement);
    c.property("valueWraps", &Stepper::valueWraps, &Stepper::setValueWraps);
    c.property("autorepeat", &Stepper::autorepeat, &Stepper::setAutorepeat);
}

std::shared_ptr<Stepper> Stepper::create(gfx::Rect frame)
{
    return makeView<Stepper>(frame);
}

std::shared_ptr<Cell> Stepper::makeCell() const
{
    return fnd::makeObject<StepperCell>();
}

#define UI_GET(Result, Name, Fallback)                                                                                 \
    Result Stepper::Name() const                                                                                       \
    {                                                                                                                  \
        auto c = stepperCell();                                                                                        \
        return c ? c->Name() : Fallback;                                                                               \
    }
#define UI_SET(Name, Arg)                                                                                              \
    void Stepper::Name(Arg value)                                                                                      \
    {                                                                                                                  \
        if (auto c = stepperCell())                                                                                    \
            c->Name(value);                                                                                            \
    }

UI_GET(double, minValue, 0.0)
UI_SET(setMinValue, double)
UI_GET(double, maxValue, 0.0)
UI_SET(setMaxValue, double)
UI_GET(double, increment, 0.0)
UI_SET(setIncrement, double)
UI_GET(bool, valueWraps, false)
UI_SET(setValueWraps, bool)
UI_GET(bool, autorepeat, false)
UI_SET(setAutorepeat, bool)

#undef UI_GET
#undef UI_SET

void Stepper::keyDown(const Event& event)
{
    auto c = stepperCell();
    const auto& chars = event.charactersIgnoringModifiers();
    char16_t key = chars.length() > 0 ? chars.units()[0] : 0;
    if (c && isEnabled() && (key == FunctionKey::UpArrow || key == FunctionKey::DownArrow)) {
        c->step(key == FunctionKey::UpArrow ? +1 : -1);
        sendAction(action(), target());
        return;
    }
    Control::keyDown(event);
}

}
