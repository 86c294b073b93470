#pragma once

#include "platform/foundation/locale/Locale.h"
#include "platform/foundation/locale/TimeZone.h"
#include "platform/ui/controls/ActionCell.h"

#include <cmath>
#include <optional>
#include <vector>

namespace ui {

class DatePickerCell;
class StepperCell;

// The parts of a date a picker shows, as flags with the platform's values.
namespace DatePickerElementFlags {
constexpr unsigned HourMinute = 0x000c;
constexpr unsigned HourMinuteSecond = 0x000e;
constexpr unsigned TimeZone = 0x0010;
constexpr unsigned YearMonth = 0x00c0;
constexpr unsigned YearMonthDay = 0x00e0;
constexpr unsigned Era = 0x0100;
}

// With the platform's values.
enum class DatePickerStyle { TextFieldAndStepper = 0, ClockAndCalendar = 1, TextField = 2 };
enum class DatePickerMode { Single = 0, Range = 1 };

// May change a date the person is about to set (keep it within rules of its own); the default keeps it.
class DatePickerCellDelegate {
public:
    virtual ~DatePickerCellDelegate() = default;
    virtual void datePickerCellValidateProposedDateValue(
        DatePickerCell&, fnd::Date& /*proposed*/, double& /*timeInterval*/)
    {
    }
};

// The cell of a date picker in its text styles: the date's parts as fields in the locale's order with the
// locale's separators (from ICU's patterns for the elements shown), one of them selected while the picker has the
// keyboard; digits typed into it, Up and Down step it (wrapping within its range, the day within its month), and a
// stepper beside the fields (TextFieldAndStepper) steps it with the mouse. Every change stays between the minimum
// and maximum dates and sends the action. The clock-and-calendar style is drawn as the text style.
class DatePickerCell : public ActionCell {
    UI_CELL_OBJECT(DatePickerCell)
    static void describeClass(fnd::ClassBuilder<DatePickerCell>& c);

public:
    enum class Part { Era, Year, Month, Day, Hour, Minute, Second, AmPm, TimeZone };
    // A field or the literal text between fields, as the locale's pattern lays them out.
    struct Piece {
        bool isField { false };
        Part part { Part::Year };
        char16_t letter { 0 }; // the pattern letter (h, H, k, K tell the hour cycle)
        int count { 0 }; // how many times the letter stood (MM: two digits)
        fnd::String literal;
    };

    DatePickerCell();
    DatePickerCell(const DatePickerCell& other);
    void init();

    DatePickerStyle datePickerStyle() const { return m_style; }
    void setDatePickerStyle(DatePickerStyle style);
    DatePickerMode datePickerMode() const { return m_mode; }
    void setDatePickerMode(DatePickerMode mode) { m_mode = mode; }
    unsigned datePickerElements() const { return m_elements; }
    void setDatePickerElements(unsigned elements);

    // nullopt: no date (the fields show dashes). A date an archive cannot hold (PropertyList::canHoldDate) is ignored
    // by the three date setters.
    std::optional<fnd::Date> dateValue() const { return m_date; }
    void setDateValue(std::optional<fnd::Date> date);
    double timeInterval() const { return m_timeInterval; }
    void setTimeInterval(double interval)
    {
        if (std::isfinite(interval))
            m_timeInterval = interval;
    }
    std::optional<fnd::Date> minDate() const { return m_minDate; }
    void setMinDate(std::optional<fnd::Date> date);
    std::optional<fnd::Date> maxDate() const { return m_maxDate; }
    void setMaxDate(std::optional<fnd::Date> date);
    const fnd::Locale& locale() const { return m_locale; }
    void setLocale(const fnd::Locale& locale);
    const fnd::TimeZone& timeZone() const { return m_timeZone; }
    void setTimeZone(const fnd::TimeZone& zone);
    gfx::ColorPtr textColor() const;
    void setTextColor(gfx::ColorPtr color);
    gfx::ColorPtr backgroundColor() const;
    void setBackgroundColor(gfx::ColorPtr color);
    bool drawsBackground() const { return m_drawsBackground; }
    void setDrawsBackground(bool flag);
    std::shared_ptr<DatePickerCellDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<DatePickerCellDelegate>& delegate) { m_delegate = delegate; }

    // The value as the platform's value: a date, or nil.
    fnd::Value objectValue() const override;
    void setObjectValue(const fnd::Value& value) override;
    fnd::String stringValue() const override;

    // The layout of the fields.
    const std::vector<Piece>& pieces() const { return m_pieces; }
    // Indexes into pieces of the fields that can be edited.
    std::vector<std::size_t> editableFields() const;
    // The text a piece shows now.
    fnd::String textOfPiece(const Piece& piece) const;
    // The selected field (an index into pieces), or nullopt.
    std::optional<std::size_t> selectedField() const { return m_selected; }
    void selectField(std::optional<std::size_t> piece);
    // Moves the selection to the next (+1) or previous (-1) editable field; false at the end.
    bool selectAdjacentField(int direction);

    // Editing the selected field: a step up or down, a typed character (digits, or a/p for the half of the day),
    // dropping what was typed.
    void stepSelectedField(int direction);
    bool typeCharacter(char16_t character);
    void clearTyping() { m_typed.clear(); }

    // Geometry and drawing.
    gfx::Rect stepperRectForBounds(gfx::Rect bounds) const;
    gfx::Rect textRectForBounds(gfx::Rect bounds) const;
    // Each piece's rect in the frame.
    std::vector<gfx::Rect> pieceRectsForBounds(gfx::Rect bounds) const;
    gfx::Size cellSizeForBounds(gfx::Rect bounds) const override;
    void drawWithFrame(gfx::Rect cellFrame, View& controlView) override;
    void drawInteriorWithFrame(gfx::Rect cellFrame, View& controlView) override;
    void drawFocusRingMaskWithFrame(gfx::Rect cellFrame, View& controlView) override;
    bool acceptsFirstResponder() const override { return isEnabled(); }

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    void rebuildPieces();
    // Sets one part of the date (or starts one from today), keeps it within the limits, asks the delegate, and sends
    // the action.
    void setPart(Part part, long value);
    long valueOfPart(Part part) const;
    std::pair<long, long> rangeOfPart(const Piece& piece) const;
    fnd::Date clamped(fnd::Date date) const;
    double widthOfPiece(const Piece& piece) const;
    fnd::Dictionary fieldAttributes(bool selected) const;

    DatePickerStyle m_style { DatePickerStyle::TextFieldAndStepper };
    DatePickerMode m_mode { DatePickerMode::Single };
    unsigned m_elements { DatePickerElementFlags::YearMonthDay };
    std::optional<fnd::Date> m_date;
    double m_timeInterval { 0 };
    std::optional<fnd::Date> m_minDate;
    std::optional<fnd::Date> m_maxDate;
    fnd::Locale m_locale;
    fnd::TimeZone m_timeZone;
    gfx::ColorPtr m_textColor;
    gfx::ColorPtr m_backgroundColor;
    bool m_drawsBackground { true };
    std::weak_ptr<DatePickerCellDelegate> m_delegate;
    std::vector<Piece> m_pieces;
    std::optional<std::size_t> m_selected;
    std::u16string m_typed;
    std::shared_ptr<StepperCell> m_stepper; // draws the arrows
};

}
