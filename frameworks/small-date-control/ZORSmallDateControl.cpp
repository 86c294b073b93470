#include "frameworks/small-date-control/ZORSmallDateControl.h"

#include "platform/foundation/locale/Calendar.h"
#include "platform/foundation/runtime/ClassBuilder.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/text/TextView.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <utility>

FND_REGISTER_CLASS(ZORSmallDateControl, ui::Control)

namespace {

constexpr double SmallDateControlCellY = 9;
constexpr double SmallDateControlStripHeight = 9;

std::int64_t smallDateControlIntegerValue(const fnd::String& text)
{
    // Like a number field's integer value: leading digits count, anything else gives 0.
    std::int64_t value = 0;
    for (char16_t c : text.units()) {
        if (c < u'0' || c > u'9')
            break;
        if (value > 1'000'000'000)
            break;
        value = value * 10 + (c - u'0');
    }
    return value;
}

bool smallDateControlIsDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

}

void ZORSmallDateControl::describeClass(fnd::ClassBuilder<ZORSmallDateControl>& c)
{
    c.property("day", &ZORSmallDateControl::day, &ZORSmallDateControl::setDay);
    c.property("month", &ZORSmallDateControl::month, &ZORSmallDateControl::setMonth);
    c.property("year", &ZORSmallDateControl::year, &ZORSmallDateControl::setYear);
    c.property("selected", &ZORSmallDateControl::selected, &ZORSmallDateControl::setSelected);
    // The stepper beside the control is an outlet of interface files.
    c.property("stepper", &ZORSmallDateControl::stepper, &ZORSmallDateControl::setStepper);
    c.property("alignStepper", &ZORSmallDateControl::alignStepper, &ZORSmallDateControl::setAlignStepper);
    c.action("handleStepperClick:", &ZORSmallDateControl::handleStepperClick);
}

std::shared_ptr<ZORSmallDateControl> ZORSmallDateControl::create(gfx::Rect frame)
{
    return ui::makeView<ZORSmallDateControl>(frame);
}

ZORSmallDateControl::~ZORSmallDateControl()
{
    if (m_delegateToken)
        fnd::NotificationCenter::defaultCenter().removeObserver(*m_delegateToken);
}

void ZORSmallDateControl::initWithFrame(gfx::Rect frame)
{
    initWithFrame(frame, fnd::shortDateOrderForLocale(fnd::Locale::current()));
}

void ZORSmallDateControl::initWithFrame(gfx::Rect frame, const fnd::ShortDateOrder& dateOrder)
{
    Control::initWithFrame(frame);
    m_alignStepper = true;
    m_appearance = Appearance::Automatic;
    determineDateFormatInfo(dateOrder);
    finishInit();
}

void ZORSmallDateControl::finishInit()
{
    m_isUsingFieldEditor = false;
    setDay(1);
    setMonth(1);
    setYear(2000);
    Control::setEnabled(true);
    _interiorDesign();
}

void ZORSmallDateControl::determineDateFormatInfo(const fnd::ShortDateOrder& info)
{
    // Screen indexes of month, day and year for each order code.
    struct Locations {
        long month, day, year;
    };
    constexpr std::array<Locations, 6> table { {
        { 0, 1, 2 }, // month day year
        { 1, 0, 2 }, // day month year
        { 1, 2, 0 }, // year month day
        { 0, 2, 1 }, // month year day
        { 2, 0, 1 }, // day year month
        { 2, 1, 0 }, // year day month
    } };
    auto code = static_cast<std::size_t>(info.order);
    if (code < table.size()) {
        m_monthLocation = table[code].month;
        m_dayLocation = table[code].day;
        m_yearLocation = table[code].year;
    }
    m_dateSeparatorStr = info.separator.isEmpty() ? fnd::String("/") : info.separator;
}

// The date.

std::int64_t ZORSmallDateControl::daysInMonth(std::int64_t month, std::int64_t year)
{
    constexpr std::array<std::int64_t, 12> days { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    if (month < 1 || month > 12)
        return 0;
    bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    return month == 2 && leap ? 29 : days[std::size_t(month - 1)];
}

fnd::String ZORSmallDateControl::dayString(std::int64_t day)
{
    return fnd::String(fmt::format("{:02d}", day));
}

fnd::String ZORSmallDateControl::monthString(std::int64_t month)
{
    return fnd::String(fmt::format("{:02d}", month));
}

fnd::String ZORSmallDateControl::yearString(std::int64_t year)
{
    return fnd::String(fmt::format("{}", year));
}

std::optional<fnd::Date> ZORSmallDateControl::date() const
{
    // The 31st of February, set before its month was, is no date: the lenient calendar would make it 3 March.
    if (m_day < 1 || m_day > daysInMonth(m_month, m_year))
        return std::nullopt;
    fnd::DateComponents parts;
    parts.year = m_year;
    parts.month = m_month;
    parts.day = m_day;
    parts.hour = 0;
    parts.minute = 0;
    parts.second = 0;
    // A fallback date would be taken for one the control shows.
    return fnd::Calendar::current().dateFromComponents(parts);
}

void ZORSmallDateControl::setDate(fnd::Date date)
{
    namespace Unit = fnd::CalendarUnit;
    auto parts = fnd::Calendar::current().components(Unit::Year | Unit::Month | Unit::Day, date);
    // Year and month first: the day is kept within the month it goes into, so the 31st must not meet the shorter
    // month shown before.
    setYear(parts.year.value_or(2000));
    setMonth(parts.month.value_or(1));
    setDay(parts.day.value_or(1));
    updateCells();
}

void ZORSmallDateControl::showPart(Part part)
{
    auto index = indexOfPart(part);
    if (index >= 0 && static_cast<std::size_t>(index) < m_cells.size())
        if (auto& cell = m_cells[std::size_t(index)])
            cell->setStringValue(stringOfPart(part));
    // The cell being edited shows the program's number in its editor too while nothing was typed there; typed
    // digits are the person's and stay.
    if (m_isUsingFieldEditor && index == m_selected)
        if (auto editor = editingTextView(); editor && editor->string() == m_editedText) {
            m_editedText = stringOfPart(part);
            editor->setString(m_editedText);
            editor->setSelectedRange({ 0, m_editedText.length() });
        }
    setNeedsDisplay(true);
    accessibilityPartChanged(part);
}

void ZORSmallDateControl::setDay(std::int64_t day)
{
    // Within the longest month, so that a day set before its month (code, keys, interface files in any order) is
    // kept; the month and year setters pull it down to their month's end.
    m_day = std::clamp<std::int64_t>(day, m_limits[Day].minimum, LongestMonth);
    showPart(Day);
}

void ZORSmallDateControl::setMonth(std::int64_t month)
{
    // A month outside the year had no days: the day became 0, and the date a fallback.
    m_month = std::clamp(month, m_limits[Month].minimum, m_limits[Month].maximum);
    m_limits[Day].maximum = daysInMonth(m_month, m_year);
    if (m_day > m_limits[Day].maximum) {
        m_day = m_limits[Day].maximum;
        showPart(Day);
    }
    showPart(Month);
}

void ZORSmallDateControl::setYear(std::int64_t year)
{
    m_year = std::clamp(year, m_limits[Year].minimum, m_limits[Year].maximum);
    m_limits[Day].maximum = daysInMonth(m_month, m_year);
    if (m_day > m_limits[Day].maximum) {
        m_day = m_limits[Day].maximum;
        showPart(Day);
    }
    showPart(Year);
}

std::int64_t ZORSmallDateControl::valueOfPart(Part part) const
{
    switch (part) {
    case Day:
        return m_day;
    case Month:
        return m_month;
    case Year:
        return m_year;
    }
    return 0;
}

void ZORSmallDateControl::setValueOfPart(Part part, std::int64_t value)
{
    switch (part) {
    case Day:
        setDay(value);
        break;
    case Month:
        setMonth(value);
        break;
    case Year:
        setYear(value);
        break;
    }
}

fnd::String ZORSmallDateControl::stringOfPart(Part part) const
{
    switch (part) {
    case Day:
        return dayString(m_day);
    case Month:
        return monthString(m_month);
    case Year:
        return yearString(m_year);
    }
    return {};
}

ZORSmallDateControl::Part ZORSmallDateControl::partOfCell(long index) const
{
    auto tag = m_cells[std::size_t(index)] ? m_cells[std::size_t(index)]->tag() : 0;
    return tag == Month ? Month : tag == Year ? Year : Day;
}

long ZORSmallDateControl::indexOfPart(Part part) const
{
    return part == Day ? m_dayLocation : part == Month ? m_monthLocation : m_yearLocation;
}

// Settings.

void ZORSmallDateControl::setSelected(long index)
{
    if (index == m_selected || index < 0 || index > 2)
        return;
    m_selected = index;
    updateStepperValue();
    setNeedsDisplay(true);
    // The keyboard moved to another part.
    if (accessibilityHasKeyboardFocus())
        ui::accessibilityPostNotification(
            m_accessibilityParts.existingElement(index), ui::AccessibilityNotification::FocusedUIElementChanged);
}

void ZORSmallDateControl::setAppearance(Appearance appearance)
{
    if (appearance == m_appearance)
        return;
    m_appearance = appearance;
    _interiorDesign();
    setNeedsDisplay(true);
}

bool ZORSmallDateControl::isFlatAppearance() const
{
    // The automatic look is the flat one on this desktop.
    return m_appearance != Appearance::Bevelled;
}

void ZORSmallDateControl::setAlignStepper(bool flag)
{
    m_alignStepper = flag;
    if (flag && stepper())
        _alignStepper();
}

void ZORSmallDateControl::setStepper(const std::shared_ptr<ui::Stepper>& stepper)
{
    m_stepper = stepper;
    if (!stepper)
        return;
    stepper->setTarget(shared_from_this());
    stepper->setAction("handleStepperClick:");
    stepper->setEnabled(isEnabled());
    updateStepperValue();
    if (m_alignStepper)
        _alignStepper();
}

void ZORSmallDateControl::setDelegate(const std::shared_ptr<ui::ControlTextEditingDelegate>& delegate)
{
    auto& center = fnd::NotificationCenter::defaultCenter();
    if (m_delegateToken) {
        center.removeObserver(*m_delegateToken);
        m_delegateToken.reset();
    }
    m_delegate = delegate;
    if (!delegate)
        return;
    // Filtered here rather than by object: the centre would keep the control alive otherwise. The token goes
    // with the control, so the raw pointer never outlives it.
    m_delegateToken = center.addObserverForName(
        ui::ControlNotification::TextDidEndEditing, {}, [this](const fnd::Notification& note) {
            if (note.object().object().get() != this)
                return;
            if (auto d = m_delegate.lock())
                d->controlTextDidEndEditing(note);
        });
}

void ZORSmallDateControl::setEnabled(bool flag)
{
    if (flag == isEnabled())
        return;
    if (!flag && m_isUsingFieldEditor)
        editOff();
    Control::setEnabled(flag);
    for (const auto& cell : m_cells)
        if (cell)
            cell->setEnabled(flag);
    if (auto s = stepper())
        s->setEnabled(flag);
    setNeedsDisplay(true);
}

// Cells and layout.

std::shared_ptr<ui::TextFieldCell> ZORSmallDateControl::makeDateCell(const fnd::String& text, bool editable) const
{
    auto cell = fnd::makeObject<ui::TextFieldCell>();
    cell->initTextCell(text);
    cell->setDrawsBackground(editable);
    cell->setEditable(editable);
    cell->setBordered(false);
    cell->setBezeled(false);
    cell->setControlSize(ui::ControlSize::Small);
    cell->setFont(gfx::Font::controlContentFontOfSize(gfx::Font::systemFontSizeForControlSize(ui::ControlSize::Small)));
    if (editable)
        cell->setAlignment(txt::TextAlignment::Right);
    return cell;
}

void ZORSmallDateControl::disposeCells()
{
    for (auto& cell : m_cells)
        cell.reset();
    for (auto& cell : m_colonCells)
        cell.reset();
}

void ZORSmallDateControl::_interiorDesign()
{
    if (m_isUsingFieldEditor)
        editOff();
    disposeCells();
    auto self = shared_from_this();
    for (auto& cell : m_cells) {
        cell = makeDateCell("", true);
        cell->setControlView(std::static_pointer_cast<ui::View>(self));
        cell->setEnabled(isEnabled());
    }
    for (auto& cell : m_colonCells) {
        cell = makeDateCell(m_dateSeparatorStr, false);
        cell->setControlView(std::static_pointer_cast<ui::View>(self));
    }
    m_cells[std::size_t(m_dayLocation)]->setTag(Day);
    m_cells[std::size_t(m_monthLocation)]->setTag(Month);
    m_cells[std::size_t(m_yearLocation)]->setTag(Year);
    sizeToFit();
    updateCells();
    if (m_alignStepper && stepper())
        _alignStepper();
}

bool ZORSmallDateControl::initWithCoder(fnd::Coder& coder)
{
    if (!Control::initWithCoder(coder))
        return false;
    if (coder.allowsKeyedCoding() && coder.containsValueForKey("NSFrame")) {
        setFrameSize(coder.decodeRectForKey("NSFrame").size);
        if (coder.containsValueForKey("NSBounds"))
            setBounds(coder.decodeRectForKey("NSBounds"));
    }
    return !coder.hasFailed();
}

void ZORSmallDateControl::sizeToFit()
{
    auto probe = makeDateCell("99", true);
    auto twoDigits = probe->cellSize();
    probe->setStringValue("9999");
    auto fourDigits = probe->cellSize();
    probe->setStringValue(m_dateSeparatorStr);
    auto separator = probe->cellSize();

    double width = (isFlatAppearance() ? 1 : 2) + 2 * twoDigits.width + fourDigits.width + 2 * separator.width;
    double height = std::floor(twoDigits.height) + 13;
    for (long i = 0; i < 3; ++i)
        m_rects[std::size_t(i)].size = i == m_yearLocation ? fourDigits : twoDigits;
    for (auto& r : m_rects)
        r.origin.y = SmallDateControlCellY;
    for (auto& r : m_colonRects) {
        r.size = separator;
        r.origin.y = SmallDateControlCellY;
    }
    m_rects[0].origin.x = 1;
    m_colonRects[0].origin.x = std::floor(1 + m_rects[0].width()) - 0.5;
    m_rects[1].origin.x = std::floor(m_colonRects[0].minX() + separator.width) - 0.5;
    m_colonRects[1].origin.x = std::floor(m_rects[1].minX() + m_rects[1].width()) - 0.5;
    m_rects[2].origin.x = std::floor(m_colonRects[1].minX() + separator.width - 0.5);
    setFrameSize({ std::floor(width), height });
    setNeedsDisplay(true);
}

void ZORSmallDateControl::_alignStepper()
{
    auto s = stepper();
    if (!s)
        return;
    auto f = frame();
    auto size = s->frame().size;
    s->setFrameOrigin({ std::floor(f.minX() + f.width() + 2), std::floor(f.minY() + f.height() - size.height) });
}

void ZORSmallDateControl::updateCells()
{
    if (m_isUsingFieldEditor) {
        if (auto editor = editingTextView()) {
            auto text = stringOfPart(partOfCell(m_selected));
            editor->setString(text);
            editor->setSelectedRange({ 0, text.length() });
            m_editedText = text;
        }
    }
    showDateInCells();
}

void ZORSmallDateControl::showDateInCells()
{
    for (Part part : { Day, Month, Year })
        if (auto& cell = m_cells[std::size_t(indexOfPart(part))]) {
            cell->setStringValue(stringOfPart(part));
            accessibilityPartChanged(part);
        }
    // A stepper left with an older day range could step past the end of the month.
    updateStepperValue();
    setNeedsDisplay(true);
}

void ZORSmallDateControl::updateStepperValue()
{
    auto s = stepper();
    if (!s || !m_cells[std::size_t(m_selected)])
        return;
    auto part = partOfCell(m_selected);
    auto limits = currentLimitsOfPart(part);
    s->setMinValue(double(limits.minimum));
    s->setMaxValue(double(limits.maximum));
    s->setIntegerValue(valueOfPart(part));
    m_stepperMidValue = s->doubleValue();
}

ZORSmallDateControl::Limits ZORSmallDateControl::currentLimitsOfPart(Part part) const
{
    auto limits = m_limits[std::size_t(part)];
    if (part == Day)
        limits.maximum = daysInMonth(m_month, m_year);
    return limits;
}

void ZORSmallDateControl::handleStepperClick(const fnd::Value&)
{
    auto s = stepper();
    if (!s)
        return;
    setValueOfPart(partOfCell(m_selected), s->integerValue());
    updateCells();
}

// Editing.

std::shared_ptr<ui::TextView> ZORSmallDateControl::editingTextView() const
{
    auto& cell = m_cells[std::size_t(m_selected)];
    return cell ? std::dynamic_pointer_cast<ui::TextView>(cell->currentFieldEditor()) : nullptr;
}

void ZORSmallDateControl::editCell(long index)
{
    auto w = window();
    if (!w || index < 0 || index > 2 || !m_cells[std::size_t(index)])
        return;
    auto self = shared_from_this();
    auto editor = w->fieldEditor(true, this);
    if (!editor)
        return;
    // The window's one editor may be busy with another control: that edit ends first, as a click elsewhere would.
    if (auto textView = std::dynamic_pointer_cast<ui::TextView>(editor); textView && w->firstResponder() == textView)
        if (auto d = textView->delegate(); d && d.get() != static_cast<ui::TextViewDelegate*>(this))
            w->endEditingFor(nullptr);
    // Moving from one cell to another keeps the shared editor where it is, with the keyboard: the old cell just lets
    // go of it, and the new one replaces its text.
    for (const auto& cell : m_cells)
        if (cell && cell->currentFieldEditor())
            cell->handOverFieldEditor(cell->currentFieldEditor());
    auto& cell = m_cells[std::size_t(index)];
    cell->selectWithFrame(m_rects[std::size_t(index)], *this, editor, self, 0, cell->stringValue().length());
    if (cell->currentFieldEditor() != editor) {
        takeOutUnheldEditor(editor);
        return;
    }
    m_isUsingFieldEditor = true;
    m_editedText = cell->stringValue();
    setSelected(index);
    updateStepperValue();
}

bool ZORSmallDateControl::holdsUnheldEditor(const ui::View& editor) const
{
    return editor.superview().get() == this && std::ranges::none_of(m_cells, [&](const auto& cell) {
        return cell && cell->currentFieldEditor().get() == &editor;
    });
}

void ZORSmallDateControl::takeOutUnheldEditor(const std::shared_ptr<ui::View>& editor)
{
    if (!editor || !holdsUnheldEditor(*editor))
        return;
    // Handed over but not taken (no window to edit in, or a cell that will not edit): it goes as endEditing takes it.
    if (auto textView = std::dynamic_pointer_cast<ui::TextView>(editor))
        textView->setString({});
    editor->removeFromSuperview();
}

void ZORSmallDateControl::editOff()
{
    if (!m_isUsingFieldEditor)
        return;
    auto self = shared_from_this();
    auto editor = editingTextView();
    auto w = window();
    if (w && editor && w->firstResponder() == editor) {
        // Ended as the editor ends any edit, so the typed number is taken (textDidEndEditing) rather than lost.
        w->endEditingFor(this);
    } else if (editor) {
        m_cells[std::size_t(m_selected)]->endEditing(editor);
    }
    m_isUsingFieldEditor = false;
}

bool ZORSmallDateControl::acceptNewValueInSelectedCell(const fnd::Value&)
{
    takeEditedNumber();
    updateCells();
    return true;
}

void ZORSmallDateControl::takeEditedNumber()
{
    auto editor = editingTextView();
    if (!editor)
        return;
    // A cell only visited keeps its part: its editor may show a number the program has replaced since.
    if (editor->string() == m_editedText)
        return;
    auto part = partOfCell(m_selected);
    auto value = smallDateControlIntegerValue(editor->string());
    auto limits = m_limits[std::size_t(part)];
    if (value >= limits.minimum && value <= limits.maximum)
        setValueOfPart(part, value);
}

bool ZORSmallDateControl::entryIsAllowed(Part part, fnd::Range range, const fnd::String& replacement)
{
    const fnd::Index digits = part == Year ? 4 : 2;
    if (range.location > digits - 1 || range.length > digits || replacement.length() > digits)
        return false;
    for (char16_t c : replacement.units())
        if (!smallDateControlIsDigit(c))
            return false;
    return true;
}

bool ZORSmallDateControl::textViewShouldChangeTextInRange(
    ui::TextView& textView, fnd::Range range, const fnd::String* replacement)
{
    if (!replacement)
        return false;
    auto part = partOfCell(m_selected);
    if (!entryIsAllowed(part, range, *replacement))
        return false;
    auto text = textView.string();
    if (range.location > text.length() || range.length > text.length() - range.location)
        return false;
    auto after = text.units().substr(0, range.location) + replacement->units()
        + text.units().substr(range.location + range.length);
    // A paste may not make the number longer than its part allows.
    if (after.size() > (part == Year ? 4u : 2u))
        return false;
    if (auto s = stepper()) {
        auto value = smallDateControlIntegerValue(fnd::String(after));
        auto limits = m_limits[std::size_t(part)];
        if (value >= limits.minimum && value <= limits.maximum)
            s->setIntegerValue(value);
        else
            s->setDoubleValue(m_stepperMidValue);
    }
    return true;
}

bool ZORSmallDateControl::keyboardStayedHere() const
{
    auto w = window();
    if (!w)
        return false;
    auto first = w->firstResponder();
    auto editor = std::dynamic_pointer_cast<ui::TextView>(first);
    if (!first || first.get() == w.get() || first.get() == this)
        return true;
    if (!editor || !editor->isFieldEditor())
        return false;
    // The editor this control handed over and nobody took is as good as gone.
    return !editor->superview() || holdsUnheldEditor(*editor);
}

void ZORSmallDateControl::textDidEndEditing(const fnd::Notification& notification)
{
    auto self = shared_from_this();
    auto editor = notification.object().objectAs<ui::View>();
    // As acceptNewValueInSelectedCell, but the number goes to the cells alone: the cell empties the editor as it
    // lets go of it, so writing the number there first (a change of text, laid out anew) would be thrown away.
    takeEditedNumber();
    showDateInCells();
    // Tab and Backtab leave the editor in place while the keyboard moves on: to another cell here (editCell below),
    // or round the key view loop, mostly back to this control. Whoever takes the keyboard elsewhere takes the editor
    // along; if nobody does, it goes at the end.
    const auto movement = notification.userInfo().get(ui::TextNotification::MovementKey).integerValue();
    bool handsOver = movement == ui::TextMovement::Tab || movement == ui::TextMovement::Backtab;
    if (handsOver)
        m_cells[std::size_t(m_selected)]->handOverFieldEditor(editor);
    else
        m_cells[std::size_t(m_selected)]->endEditing(editor);
    if (!m_notReallyTheEnd)
        postControlNotification(ui::ControlNotification::TextDidEndEditing, notification);
    m_notReallyTheEnd = false;
    m_isUsingFieldEditor = false;
    m_focusedByClick = false;

    auto w = window();
    switch (movement) {
    case ui::TextMovement::Tab:
        if (m_selected < 2) {
            editCell(m_selected + 1);
        } else if (w) {
            w->selectKeyViewFollowingView(*this);
            if (window() == w && keyboardStayedHere())
                editCell(0);
        }
        break;
    case ui::TextMovement::Backtab:
        if (m_selected > 0) {
            editCell(m_selected - 1);
        } else if (w) {
            w->selectKeyViewPrecedingView(*this);
            if (window() == w && keyboardStayedHere())
                editCell(2);
        }
        break;
    case ui::TextMovement::Return:
        if (!sendAction(action(), target())) {
            if (auto event = ui::Application::shared().currentEvent()) {
                if (!performKeyEquivalent(*event) && w && w->contentView())
                    w->contentView()->performKeyEquivalent(*event);
            }
        }
        break;
    default:
        break;
    }
    if (handsOver)
        takeOutUnheldEditor(editor);
}

bool ZORSmallDateControl::becomeFirstResponder()
{
    if (!Control::becomeFirstResponder())
        return false;
    auto w = window();
    if (!w || m_isUsingFieldEditor)
        return true;
    auto event = ui::Application::shared().currentEvent();
    m_focusedByClick = event && event->type() == ui::EventType::LeftMouseDown;
    editCell(w->keyViewSelectionDirection() == ui::KeyViewSelectionDirection::Previous ? 2 : 0);
    return true;
}

// Mouse.

void ZORSmallDateControl::mouseDown(const ui::Event& event)
{
    if (!isEnabled())
        return;
    auto self = shared_from_this();
    auto point = convertPointFromView(event.locationInWindow(), nullptr);
    bool focusedByThisClick = std::exchange(m_focusedByClick, false) && m_isUsingFieldEditor;
    double separatorWidth = m_colonRects[0].width();
    for (long i = 0; i < 3; ++i) {
        auto cell = m_rects[std::size_t(i)];
        gfx::Rect strip { cell.minX() - separatorWidth / 2, 0, cell.width() + separatorWidth,
            SmallDateControlStripHeight };
        if (!gfx::pointInRect(point, strip))
            continue;
        if (focusedByThisClick) {
            editCell(i);
            return;
        }
        if (i == m_selected && m_isUsingFieldEditor)
            m_notReallyTheEnd = true;
        editOff();
        m_notReallyTheEnd = false;
        editCell(i);
        return;
    }
    for (long i = 0; i < 3; ++i) {
        if (!gfx::pointInRect(point, m_rects[std::size_t(i)]))
            continue;
        if (focusedByThisClick) {
            editCell(i);
            return;
        }
        if (m_isUsingFieldEditor && i == m_selected)
            return;
        if (!m_isUsingFieldEditor) {
            if (auto w = window()) {
                w->endEditingFor(nullptr);
                w->makeFirstResponder(std::static_pointer_cast<ui::Responder>(self));
            }
        } else {
            editOff();
        }
        editCell(i);
        return;
    }
}

// Drawing.

void ZORSmallDateControl::drawRect(gfx::Rect)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    auto b = bounds();
    bool flat = isFlatAppearance();
    gfx::Rect box = flat ? gfx::Rect { b.minX(), 8, b.width(), b.height() - 10 }
                         : gfx::Rect { b.minX(), 6, b.width(), b.height() - 6 };
    {
        gfx::GraphicsStateGuard guard;
        context->setFillColor(*gfx::Color::whiteColor());
        context->fillRectUsingOperation(box, gfx::CompositingOperation::SourceOver);
        if (flat) {
            context->setFillColor(*gfx::Color::colorWithCalibratedRed(158.0 / 255, 158.0 / 255, 158.0 / 255, 1));
            // A one-point frame just inside the box.
            context->fillRectUsingOperation(
                { box.minX(), box.minY(), box.width(), 1 }, gfx::CompositingOperation::SourceOver);
            context->fillRectUsingOperation(
                { box.minX(), box.maxY() - 1, box.width(), 1 }, gfx::CompositingOperation::SourceOver);
            context->fillRectUsingOperation(
                { box.minX(), box.minY(), 1, box.height() }, gfx::CompositingOperation::SourceOver);
            context->fillRectUsingOperation(
                { box.maxX() - 1, box.minY(), 1, box.height() }, gfx::CompositingOperation::SourceOver);
        } else {
            drawBorder(box);
        }
    }
    if (isEnabled()) {
        gfx::GraphicsStateGuard guard;
        auto cell = m_rects[std::size_t(m_selected)];
        double cx = std::floor(cell.minX() + cell.width() / 2);
        gfx::BezierPath caret;
        caret.setLineWidth(2);
        caret.moveToPoint({ cx - 4, 1 });
        caret.lineToPoint({ cx, 5 });
        caret.lineToPoint({ cx + 4, 1 });
        context->setStrokeColor(*gfx::Color::colorWithDeviceWhite(0.5765, 1));
        context->strokePath(caret);
    }
    for (std::size_t i = 0; i < 2; ++i)
        if (m_colonCells[i])
            m_colonCells[i]->drawWithFrame(m_colonRects[i], *this);
    for (std::size_t i = 0; i < 3; ++i)
        if (m_cells[i] && !m_cells[i]->currentFieldEditor())
            m_cells[i]->drawWithFrame(m_rects[i], *this);
}

void ZORSmallDateControl::drawBorder(gfx::Rect box) const
{
    auto* context = gfx::GraphicsContext::current();
    double x = box.minX(), y = box.minY(), w = box.width(), h = box.height();
    auto line = [&](gfx::Point from, gfx::Point to) {
        gfx::BezierPath path;
        path.setLineWidth(1);
        path.moveToPoint(from);
        path.lineToPoint(to);
        context->strokePath(path);
    };
    gfx::GraphicsStateGuard guard;
    context->setStrokeColor(*gfx::Color::colorWithDeviceWhite(0.3333, 1));
    line({ x + 0.5, y + 1 }, { x + 0.5, y + h });
    line({ x, y + h - 0.5 }, { x + w, y + h - 0.5 });
    line({ x + 1.5, y + 2 }, { x + 1.5, y + h - 1 });
    line({ x + 1, y + h - 1.5 }, { x + w - 1, y + h - 1.5 });
    context->setStrokeColor(*gfx::Color::colorWithDeviceWhite(0.6667, 1));
    line({ x + 1, y + 1.5 }, { x + w - 1, y + 1.5 });
    line({ x + w - 1.5, y + 1 }, { x + w - 1.5, y + h - 2 });
}
