#include "platform/ui/controls/LevelIndicator.h"

#include "platform/ui/views/Event.h"

namespace ui {

FND_REGISTER_CLASS(LevelIndicator, Control)

void LevelIndicator::describeClass(fnd::ClassBuilder<LevelIndicator>& c)
{
    c.property("levelIndicatorStyle", &LevelIndicator::levelIndicatorStyle, &LevelIndicator::setLevelIndicatorStyle);
    c.property("minValue", &LevelIndicator::minValue, &LevelIndicator::setMinValue);
    c.property("maxValue", &LevelIndicator::maxValue, &LevelIndicator::setMaxValue);
    c.property("warningValue", &LevelIndicator::warningValue, &LevelIndicator::setWarningValue);
    c.property("criticalValue", &LevelIndicator::criticalValue, &LevelIndicator::setCriticalValue);
    c.property("numberOfTickMarks", &LevelIndicator::numberOfTickMarks, &LevelIndicator::setNumberOfTickMarks);
    c.property(
        "numberOfMajorTickMarks", &LevelIndicator::numberOfMajorTickMarks, &LevelIndicator::setNumberOfMajorTickMarks);
    c.property("editable", &LevelIndicator::isEditable, &LevelIndicator::setEditable);
}

std::shared_ptr<LevelIndicator> LevelIndicator::create(gfx::Rect frame)
{
    return makeView<LevelIndicator>(frame);
}

std::shared_ptr<Cell> LevelIndicator::makeCell() const
{
    return fnd::makeObject<LevelIndicatorCell>();
}

#define UI_GET(Result, Name, Fallback)                                                                                 \
    Result LevelIndicator::Name() const                                                                                \
    {                                                                                                                  \
        auto c = levelIndicatorCell();                                                                                 \
        return c ? c->Name() : Fallback;                                                                               \
    }
#define UI_SET(Name, Arg)                                                                                              \
    void LevelIndicator::Name(Arg value)                                                                               \
    {                                                                                                                  \
        if (auto c = levelIndicatorCell())                                                                             \
            c->Name(value);                                                                                            \
    }

UI_GET(LevelIndicatorStyle, levelIndicatorStyle, LevelIndicatorStyle::ContinuousCapacity)
UI_SET(setLevelIndicatorStyle, LevelIndicatorStyle)
UI_GET(double, minValue, 0.0)
UI_SET(setMinValue, double)
UI_GET(double, maxValue, 0.0)
UI_SET(setMaxValue, double)
UI_GET(double, warningValue, 0.0)
UI_SET(setWarningValue, double)
UI_GET(double, criticalValue, 0.0)
UI_SET(setCriticalValue, double)
UI_GET(long, numberOfTickMarks, 0l)
UI_SET(setNumberOfTickMarks, long)
UI_GET(long, numberOfMajorTickMarks, 0l)
UI_SET(setNumberOfMajorTickMarks, long)

#undef UI_GET
#undef UI_SET

bool LevelIndicator::isEditable() const
{
    return cell() && cell()->isEditable();
}

void LevelIndicator::setEditable(bool flag)
{
    if (cell())
        cell()->setEditable(flag);
}

void LevelIndicator::keyDown(const Event& event)
{
    auto c = levelIndicatorCell();
    const auto& chars = event.charactersIgnoringModifiers();
    char16_t key = chars.length() > 0 ? chars.units()[0] : 0;
    int step = key == FunctionKey::RightArrow || key == FunctionKey::UpArrow ? +1
        : key == FunctionKey::LeftArrow || key == FunctionKey::DownArrow     ? -1
                                                                             : 0;
    if (c && step && isEnabled() && c->isEditable()) {
        c->setDoubleValue(c->doubleValue() + step);
        sendAction(action(), target());
        return;
    }
    Control::keyDown(event);
}

}
