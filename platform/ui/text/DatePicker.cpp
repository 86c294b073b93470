#include "platform/ui/text/DatePicker.h"

#include "platform/ui/controls/StepperCell.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"

namespace ui {

FND_REGISTER_CLASS(DatePicker, Control)

void DatePicker::describeClass(fnd::ClassBuilder<DatePicker>& c)
{
    c.property(
        "datePickerStyle", [](const DatePicker& p) { return static_cast<long>(p.datePickerStyle()); },
        [](DatePicker& p, long style) {
            p.setDatePickerStyle(static_cast<DatePickerStyle>(std::clamp(style, 0L, 2L)));
        });
    c.property(
        "datePickerElements", [](const DatePicker& p) { return static_cast<long>(p.datePickerElements()); },
        [](DatePicker& p, long elements) { p.setDatePickerElements(static_cast<unsigned>(elements)); });
    c.property(
        "dateValue", [](const DatePicker& p) { return p.objectValue(); },
        [](DatePicker& p, const fnd::Value& v) { p.setObjectValue(v); });
}

std::shared_ptr<DatePicker> DatePicker::create(gfx::Rect frame)
{
    return makeView<DatePicker>(frame);
}

std::shared_ptr<Cell> DatePicker::makeCell() const
{
    return fnd::makeObject<DatePickerCell>();
}

#define FORWARD(Type, getter, setter, fallback)                                                                        \
    Type DatePicker::getter() const                                                                                    \
    {                                                                                                                  \
        auto c = datePickerCell();                                                                                     \
        return c ? c->getter() : fallback;                                                                             \
    }                                                                                                                  \
    void DatePicker::setter(Type value)                                                                                \
    {                                                                                                                  \
        if (auto c = datePickerCell()) {                                                                               \
            c->setter(value);                                                                                          \
            setNeedsDisplay(true);                                                                                     \
        }                                                                                                              \
    }

FORWARD(DatePickerStyle, datePickerStyle, setDatePickerStyle, DatePickerStyle::TextFieldAndStepper)
FORWARD(DatePickerMode, datePickerMode, setDatePickerMode, DatePickerMode::Single)
FORWARD(unsigned, datePickerElements, setDatePickerElements, 0u)
FORWARD(std::optional<fnd::Date>, dateValue, setDateValue, std::nullopt)
FORWARD(double, timeInterval, setTimeInterval, 0.0)
FORWARD(std::optional<fnd::Date>, minDate, setMinDate, std::nullopt)
FORWARD(std::optional<fnd::Date>, maxDate, setMaxDate, std::nullopt)
FORWARD(gfx::ColorPtr, textColor, setTextColor, nullptr)
FORWARD(gfx::ColorPtr, backgroundColor, setBackgroundColor, nullptr)
FORWARD(bool, drawsBackground, setDrawsBackground, false)

#undef FORWARD

fnd::Locale DatePicker::locale() const
{
    auto c = datePickerCell();
    return c ? c->locale() : fnd::Locale::current();
}

void DatePicker::setLocale(const fnd::Locale& locale)
{
    if (auto c = datePickerCell())
        c->setLocale(locale);
    setNeedsDisplay(true);
}

fnd::TimeZone DatePicker::timeZone() const
{
    auto c = datePickerCell();
    return c ? c->timeZone() : fnd::TimeZone::current();
}

void DatePicker::setTimeZone(const fnd::TimeZone& zone)
{
    if (auto c = datePickerCell())
        c->setTimeZone(zone);
    setNeedsDisplay(true);
}

bool DatePicker::isBezeled() const
{
    return cell() && cell()->isBezeled();
}

void DatePicker::setBezeled(bool flag)
{
    if (cell())
        cell()->setBezeled(flag);
    setNeedsDisplay(true);
}

bool DatePicker::becomeFirstResponder()
{
    if (!Control::becomeFirstResponder())
        return false;
    // Tabbing in backwards starts at the last field.
    if (auto c = datePickerCell(); c && !c->selectedField()) {
        auto w = window();
        bool backwards = w && w->keyViewSelectionDirection() == KeyViewSelectionDirection::Previous;
        c->selectAdjacentField(backwards ? -1 : 1);
    }
    setNeedsDisplay(true);
    return true;
}

bool DatePicker::resignFirstResponder()
{
    if (auto c = datePickerCell())
        c->clearTyping();
    setNeedsDisplay(true);
    return Control::resignFirstResponder();
}

void DatePicker::keyDown(const Event& event)
{
    auto c = datePickerCell();
    if (!c || !isEnabled()) {
        Control::keyDown(event);
        return;
    }
    auto self = shared_from_this();
    const auto& characters = event.charactersIgnoringModifiers();
    char16_t key = characters.length() == 1 ? characters.units()[0] : 0;
    const bool shift = event.modifierFlags() & ModifierFlags::Shift;
    bool handled = true;
    switch (key) {
    case FunctionKey::UpArrow:
        c->stepSelectedField(1);
        break;
    case FunctionKey::DownArrow:
        c->stepSelectedField(-1);
        break;
    case FunctionKey::LeftArrow:
        c->selectAdjacentField(-1);
        break;
    case FunctionKey::RightArrow:
        c->selectAdjacentField(1);
        break;
    case u'\t':
    case 0x19:
        // Through the fields, then on along the key view loop.
        handled = c->selectAdjacentField(key == 0x19 || shift ? -1 : 1);
        break;
    case 0x7F:
    case 0x08:
        c->clearTyping();
        break;
    default:
        handled = !(event.modifierFlags() & (ModifierFlags::Command | ModifierFlags::Control)) && c->typeCharacter(key);
        break;
    }
    setNeedsDisplay(true);
    if (!handled)
        Control::keyDown(event);
}

void DatePicker::mouseDown(const Event& event)
{
    auto c = datePickerCell();
    if (!c || !isEnabled())
        return;
    auto self = shared_from_this();
    auto point = convertPointFromView(event.locationInWindow(), nullptr);
    auto stepper = c->stepperRectForBounds(bounds());
    if (!stepper.isEmpty() && gfx::pointInRect(point, stepper)) {
        // The upper half steps up.
        StepperCell arrows;
        c->stepSelectedField(gfx::pointInRect(point, arrows.upArrowRect(stepper, isFlipped())) ? 1 : -1);
        setNeedsDisplay(true);
        return;
    }
    auto rects = c->pieceRectsForBounds(bounds());
    for (auto field : c->editableFields())
        if (gfx::pointInRect(point, gfx::insetRect(rects[field], -1, -3)))
            c->selectField(field);
    setNeedsDisplay(true);
}

}
