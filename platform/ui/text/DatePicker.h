#pragma once

#include "platform/ui/controls/Control.h"
#include "platform/ui/text/DatePickerCell.h"

namespace ui {

// A control for a date in the text styles of its cell (see DatePickerCell). With the keyboard: digits go into the
// selected field, Up and Down step it, Left and Right (and Tab and Backtab, until the last field) move between
// fields; with the mouse: a click selects a field, the stepper steps it.
class DatePicker : public Control {
    FND_OBJECT(DatePicker)
    static void describeClass(fnd::ClassBuilder<DatePicker>& c);

public:
    DatePicker() = default;
    static std::shared_ptr<DatePicker> create(gfx::Rect frame = {});
    std::shared_ptr<Cell> makeCell() const override;
    std::shared_ptr<DatePickerCell> datePickerCell() const { return std::dynamic_pointer_cast<DatePickerCell>(cell()); }

    DatePickerStyle datePickerStyle() const;
    void setDatePickerStyle(DatePickerStyle style);
    DatePickerMode datePickerMode() const;
    void setDatePickerMode(DatePickerMode mode);
    unsigned datePickerElements() const;
    void setDatePickerElements(unsigned elements);
    std::optional<fnd::Date> dateValue() const;
    void setDateValue(std::optional<fnd::Date> date);
    double timeInterval() const;
    void setTimeInterval(double interval);
    std::optional<fnd::Date> minDate() const;
    void setMinDate(std::optional<fnd::Date> date);
    std::optional<fnd::Date> maxDate() const;
    void setMaxDate(std::optional<fnd::Date> date);
    fnd::Locale locale() const;
    void setLocale(const fnd::Locale& locale);
    fnd::TimeZone timeZone() const;
    void setTimeZone(const fnd::TimeZone& zone);
    gfx::ColorPtr textColor() const;
    void setTextColor(gfx::ColorPtr color);
    gfx::ColorPtr backgroundColor() const;
    void setBackgroundColor(gfx::ColorPtr color);
    bool drawsBackground() const;
    void setDrawsBackground(bool flag);
    bool isBezeled() const;
    void setBezeled(bool flag);

    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;
    void keyDown(const Event& event) override;
    void mouseDown(const Event& event) override;
};

}
