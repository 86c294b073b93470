#pragma once

#include "platform/foundation/locale/ShortDateOrder.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/ui/accessibility/AccessibilityPartElement.h"
#include "platform/ui/controls/Control.h"
#include "platform/ui/controls/Stepper.h"
#include "platform/ui/text/TextFieldCell.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

// A compact date entry: day, month and year cells in the order of the locale's short date, separated by its date
// separator, in a white box with a small caret under the selected cell and an optional stepper beside it. Each cell
// is edited in place with the window's field editor; only digits are taken, a number outside its part's limits is
// dropped when editing ends, and the day is kept within the month. The delegate hears of the end of editing through
// the control's NSControlTextDidEndEditingNotification.
class ZORSmallDateControl : public ui::Control, public ui::AccessibilityPartOwner {
    FND_OBJECT(ZORSmallDateControl)
    static void describeClass(fnd::ClassBuilder<ZORSmallDateControl>& c);

public:
    // The parts, as the tags of their cells.
    enum Part : long { Day = 0, Month = 1, Year = 2 };
    enum class Appearance : long { Automatic = 0, Bevelled = 1, Flat = 2 };
    struct Limits {
        std::int64_t minimum;
        std::int64_t maximum;
    };

    ZORSmallDateControl() = default;
    ~ZORSmallDateControl() override;
    static std::shared_ptr<ZORSmallDateControl> create(gfx::Rect frame = {});
    void initWithFrame(gfx::Rect frame) override;
    // The order and separator come from the current locale unless given here (before the first layout).
    void initWithFrame(gfx::Rect frame, const fnd::ShortDateOrder& dateOrder);

    // Days in the month of the year (0 for a month outside 1 to 12), with the Gregorian leap years.
    static std::int64_t daysInMonth(std::int64_t month, std::int64_t year);
    static fnd::String dayString(std::int64_t day);
    static fnd::String monthString(std::int64_t month);
    static fnd::String yearString(std::int64_t year);

    // The date at midnight in the current time zone; nullopt when the parts make no date (a day past the end of its
    // month, set before the month was). Setting it takes day, month and year in the default zone.
    std::optional<fnd::Date> date() const;
    void setDate(fnd::Date date);
    std::int64_t day() const { return m_day; }
    std::int64_t month() const { return m_month; }
    std::int64_t year() const { return m_year; }
    // Each setter keeps its part within its range whatever it is given (code, the "day", "month" and "year" keys,
    // interface files): the day within 1 to 31 (any month's), the month within 1 to 12, the year within 1000 to 9999.
    static constexpr std::int64_t LongestMonth = 31;
    void setDay(std::int64_t day);
    // Both recompute the day's maximum and pull the day down to it.
    void setMonth(std::int64_t month);
    void setYear(std::int64_t year);
    // This control's limits of a part (each control keeps its own).
    Limits limitsForPart(Part part) const { return m_limits[std::size_t(part)]; }

    long selected() const { return m_selected; }
    void setSelected(long index);
    Appearance appearance() const { return m_appearance; }
    void setAppearance(Appearance appearance);
    bool isFlatAppearance() const;
    bool alignStepper() const { return m_alignStepper; }
    void setAlignStepper(bool flag);

    // The stepper beside the control (not owned: its superview keeps it); its target and action become this
    // control's handleStepperClick:.
    std::shared_ptr<ui::Stepper> stepper() const { return m_stepper.lock(); }
    void setStepper(const std::shared_ptr<ui::Stepper>& stepper);
    void handleStepperClick(const fnd::Value& sender);

    // Receives controlTextDidEndEditing: with this control's end-of-editing notification.
    std::shared_ptr<ui::ControlTextEditingDelegate> dateDelegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<ui::ControlTextEditingDelegate>& delegate);

    // Screen order of the parts, and the separator.
    long dayLocation() const { return m_dayLocation; }
    long monthLocation() const { return m_monthLocation; }
    long yearLocation() const { return m_yearLocation; }
    const fnd::String& dateSeparator() const { return m_dateSeparatorStr; }
    const std::shared_ptr<ui::TextFieldCell>& cellAtIndex(long index) const { return m_cells[std::size_t(index)]; }
    gfx::Rect rectOfCell(long index) const { return m_rects[std::size_t(index)]; }
    gfx::Rect rectOfSeparator(long index) const { return m_colonRects[std::size_t(index)]; }
    bool isUsingFieldEditor() const { return m_isUsingFieldEditor; }

    // Editing.
    void editCell(long index);
    void editOff();
    bool acceptNewValueInSelectedCell(const fnd::Value& sender);
    // Whether typing may change the range of the cell being edited to the replacement: only digits, at most two
    // (four for the year) and within the first two (four) places.
    static bool entryIsAllowed(Part part, fnd::Range range, const fnd::String& replacement);

    void sizeToFit() override;
    // Keeps the archived size: being made with the archived frame fits the control to its fields first.
    bool initWithCoder(fnd::Coder& coder) override;
    void updateCells();
    void updateStepperValue();

    void setEnabled(bool flag) override;
    // Not while a cell is edited: the keyboard is with the control's editor already, and a click on the control
    // must not end that edit before the control sees the click.
    bool acceptsFirstResponder() const override { return isEnabled() && !m_isUsingFieldEditor; }
    bool becomeFirstResponder() override;
    bool needsPanelToBecomeKey() const override { return true; }
    bool isOpaque() const override { return false; }
    bool isFlipped() const override { return false; }
    void mouseDown(const ui::Event& event) override;
    void drawRect(gfx::Rect dirtyRect) override;

    // The field editor's delegate.
    void textDidEndEditing(const fnd::Notification& notification) override;
    bool textViewShouldChangeTextInRange(
        ui::TextView& textView, fnd::Range range, const fnd::String* replacement) override;

    // Accessibility (ZORSmallDateControlAccessibility.cpp): a date field whose value is the date as it shows, with
    // its day, month and year as steppers in screen order, each with its value and limits; setting or stepping one
    // is a stepper's click on that part.
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    bool accessibilityIsAttributeSettable(const fnd::String& attribute) const override;
    bool accessibilityIsIgnored() const override { return false; }
    fnd::Value accessibilityPartAttributeValue(long part, ui::AccessibilityAttributeKey key) const override;
    bool accessibilityPartIsAttributeSettable(long part, ui::AccessibilityAttributeKey key) const override;
    void accessibilityPartSetValue(long part, ui::AccessibilityAttributeKey key, const fnd::Value& value) override;
    std::vector<fnd::String> accessibilityPartActionNames(long part) const override;
    void accessibilityPartPerformAction(long part, const fnd::String& action) override;

private:
    // A part's cell shows the stored number and the control is drawn again (the field editor is left alone).
    void showPart(Part part);
    // updateCells without the field editor: each part's cell shows its number, the stepper follows.
    void showDateInCells();
    // The edited cell's number, when within its part's limits, becomes the part's.
    void takeEditedNumber();
    void finishInit();
    void determineDateFormatInfo(const fnd::ShortDateOrder& info);
    void _interiorDesign();
    void _alignStepper();
    void disposeCells();
    void drawBorder(gfx::Rect box) const;
    std::shared_ptr<ui::TextFieldCell> makeDateCell(const fnd::String& text, bool editable) const;
    Part partOfCell(long index) const;
    std::int64_t valueOfPart(Part part) const;
    void setValueOfPart(Part part, std::int64_t value);
    fnd::String stringOfPart(Part part) const;
    long indexOfPart(Part part) const;
    std::shared_ptr<ui::TextView> editingTextView() const;
    // The field editor sits in this control, handed over by one cell and taken by none.
    bool holdsUnheldEditor(const ui::View& editor) const;
    void takeOutUnheldEditor(const std::shared_ptr<ui::View>& editor);
    // What the key view loop would call "the window": nobody else took the keyboard.
    bool keyboardStayedHere() const;
    // A part's limits now (the day's end follows the month).
    Limits currentLimitsOfPart(Part part) const;
    // Tells assistive technologies that the part (and so the date) shows a new number.
    void accessibilityPartChanged(Part part);

    bool m_alignStepper { true };
    bool m_notReallyTheEnd { false };
    bool m_isUsingFieldEditor { false };
    // The number the edited cell showed when its edit began, or the program set since: an edit that ends with it was
    // a visit, and takes nothing.
    fnd::String m_editedText;
    // Set when a click made the control first responder (which edits the first cell): that click then picks its
    // cell without ending an edit nobody made.
    bool m_focusedByClick { false };
    Appearance m_appearance { Appearance::Automatic };
    std::int64_t m_day { 1 };
    std::int64_t m_month { 1 };
    std::int64_t m_year { 2000 };
    std::array<std::shared_ptr<ui::TextFieldCell>, 3> m_cells;
    std::array<gfx::Rect, 3> m_rects;
    std::array<std::shared_ptr<ui::TextFieldCell>, 2> m_colonCells;
    std::array<gfx::Rect, 2> m_colonRects;
    long m_selected { 0 };
    std::weak_ptr<ui::ControlTextEditingDelegate> m_delegate;
    std::optional<fnd::NotificationObserverToken> m_delegateToken;
    std::weak_ptr<ui::Stepper> m_stepper;
    double m_stepperMidValue { 0 };
    long m_dayLocation { 1 };
    long m_monthLocation { 0 };
    long m_yearLocation { 2 };
    fnd::String m_dateSeparatorStr { "/" };
    // Day, month, year; the day's maximum follows the month and year.
    std::array<Limits, 3> m_limits { { { 1, -1 }, { 1, 12 }, { 1000, 9999 } } };
    mutable ui::AccessibilityParts m_accessibilityParts;
};
