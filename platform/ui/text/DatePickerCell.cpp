#include "platform/ui/text/DatePickerCell.h"

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/archiving/PropertyList.h"
#include "platform/foundation/locale/Calendar.h"
#include "platform/foundation/locale/DateFormatter.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/controls/StepperCell.h"
#include "platform/ui/look/ControlLook.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <cmath>

namespace ui {

FND_REGISTER_CLASS(DatePickerCell, ActionCell)

namespace {

using Part = DatePickerCell::Part;

// Room around the fields inside the bezel.
constexpr double Inset = 4;

std::optional<Part> partOfLetter(char16_t c)
{
    switch (c) {
    case u'G':
        return Part::Era;
    case u'y':
    case u'Y':
    case u'u':
        return Part::Year;
    case u'M':
    case u'L':
        return Part::Month;
    case u'd':
        return Part::Day;
    case u'h':
    case u'H':
    case u'k':
    case u'K':
        return Part::Hour;
    case u'm':
        return Part::Minute;
    case u's':
        return Part::Second;
    case u'a':
    case u'b':
    case u'B':
        return Part::AmPm;
    case u'z':
    case u'Z':
    case u'v':
    case u'V':
    case u'O':
        return Part::TimeZone;
    default:
        return std::nullopt;
    }
}

// The fields and literals of an ICU date pattern.
std::vector<DatePickerCell::Piece> parsePattern(const fnd::String& pattern)
{
    std::vector<DatePickerCell::Piece> pieces;
    auto literal = [&](char16_t c) {
        if (pieces.empty() || pieces.back().isField)
            pieces.push_back({});
        pieces.back().literal = pieces.back().literal + fnd::String(std::u16string(1, c));
    };
    const auto& u = pattern.units();
    for (std::size_t i = 0; i < u.size();) {
        char16_t c = u[i];
        if (c == u'\'') {
            // Quoted text; '' is a quote.
            ++i;
            if (i < u.size() && u[i] == u'\'') {
                literal(u'\'');
                ++i;
                continue;
            }
            while (i < u.size()) {
                if (u[i] == u'\'') {
                    if (i + 1 < u.size() && u[i + 1] == u'\'') {
                        literal(u'\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                literal(u[i++]);
            }
            continue;
        }
        if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) {
            std::size_t j = i;
            while (j < u.size() && u[j] == c)
                ++j;
            if (auto part = partOfLetter(c))
                pieces.push_back({ true, *part, c, static_cast<int>(j - i), {} });
            i = j;
            continue;
        }
        literal(c);
        ++i;
    }
    return pieces;
}

fnd::String number(long value, int digits)
{
    auto text = std::to_string(std::max(0L, value));
    while (static_cast<int>(text.size()) < digits)
        text.insert(text.begin(), '0');
    return fnd::String(text);
}

long daysInMonth(const fnd::Calendar& calendar, long year, long month)
{
    fnd::DateComponents c;
    c.year = year;
    c.month = month + 1;
    c.day = 0; // the day before the first of the next month
    auto date = calendar.dateFromComponents(c);
    return date ? calendar.components(fnd::CalendarUnit::Day, *date).day.value_or(31) : 31;
}

constexpr fnd::CalendarUnitFlags AllUnits = fnd::CalendarUnit::Year | fnd::CalendarUnit::Month | fnd::CalendarUnit::Day
    | fnd::CalendarUnit::Hour | fnd::CalendarUnit::Minute | fnd::CalendarUnit::Second;

}

void DatePickerCell::describeClass(fnd::ClassBuilder<DatePickerCell>& c)
{
    c.property(
        "datePickerStyle", [](const DatePickerCell& cell) { return static_cast<long>(cell.datePickerStyle()); },
        [](DatePickerCell& cell, long style) {
            cell.setDatePickerStyle(static_cast<DatePickerStyle>(std::clamp(style, 0L, 2L)));
        });
    c.property(
        "datePickerElements", [](const DatePickerCell& cell) { return static_cast<long>(cell.datePickerElements()); },
        [](DatePickerCell& cell, long elements) { cell.setDatePickerElements(static_cast<unsigned>(elements)); });
}

DatePickerCell::DatePickerCell()
    : m_locale(fnd::Locale::current())
    , m_timeZone(fnd::TimeZone::current())
{
}

DatePickerCell::DatePickerCell(const DatePickerCell& other)
    : ActionCell(other)
    , m_style(other.m_style)
    , m_mode(other.m_mode)
    , m_elements(other.m_elements)
    , m_date(other.m_date)
    , m_timeInterval(other.m_timeInterval)
    , m_minDate(other.m_minDate)
    , m_maxDate(other.m_maxDate)
    , m_locale(other.m_locale)
    , m_timeZone(other.m_timeZone)
    , m_textColor(other.m_textColor)
    , m_backgroundColor(other.m_backgroundColor)
    , m_drawsBackground(other.m_drawsBackground)
    , m_delegate(other.m_delegate)
    , m_pieces(other.m_pieces)
{
}

void DatePickerCell::init()
{
    initTextCell({});
    setBezeled(true);
    setFont(gfx::Font::controlContentFontOfSize(gfx::Font::systemFontSize()));
    m_date = fnd::Date::now();
    rebuildPieces();
}

// Settings.

void DatePickerCell::setDatePickerStyle(DatePickerStyle style)
{
    if (style == m_style)
        return;
    m_style = style;
    noteChanged();
}

void DatePickerCell::setDatePickerElements(unsigned elements)
{
    if (elements == m_elements)
        return;
    m_elements = elements;
    rebuildPieces();
    noteChanged();
}

void DatePickerCell::setLocale(const fnd::Locale& locale)
{
    m_locale = locale;
    rebuildPieces();
    noteChanged();
}

void DatePickerCell::setTimeZone(const fnd::TimeZone& zone)
{
    m_timeZone = zone;
    noteChanged();
}

gfx::ColorPtr DatePickerCell::textColor() const
{
    return m_textColor ? m_textColor : gfx::Color::controlTextColor();
}

void DatePickerCell::setTextColor(gfx::ColorPtr color)
{
    m_textColor = std::move(color);
    noteChanged();
}

gfx::ColorPtr DatePickerCell::backgroundColor() const
{
    return m_backgroundColor ? m_backgroundColor : ControlLook::fieldBackgroundColor();
}

void DatePickerCell::setBackgroundColor(gfx::ColorPtr color)
{
    m_backgroundColor = std::move(color);
    noteChanged();
}

void DatePickerCell::setDrawsBackground(bool flag)
{
    m_drawsBackground = flag;
    noteChanged();
}

void DatePickerCell::rebuildPieces()
{
    // The date's parts in the locale's order, then the time's, joined as the locale joins them.
    std::u16string skeleton;
    if (m_elements & 0x0100)
        skeleton += u"G";
    if ((m_elements & 0x00e0) == DatePickerElementFlags::YearMonthDay)
        skeleton += u"yMd";
    else if ((m_elements & 0x00c0) == DatePickerElementFlags::YearMonth)
        skeleton += u"yM";
    if ((m_elements & 0x000e) == DatePickerElementFlags::HourMinuteSecond)
        skeleton += u"jms";
    else if ((m_elements & 0x000c) == DatePickerElementFlags::HourMinute)
        skeleton += u"jm";
    if (m_elements & DatePickerElementFlags::TimeZone)
        skeleton += u"z";
    auto pattern = skeleton.empty() ? fnd::String()
                                    : fnd::DateFormatter::dateFormatFromTemplate(fnd::String(skeleton), m_locale);
    // The field being typed into stays selected, with what was typed, wherever the new layout puts it: the next
    // digit belongs to it, not to whichever field comes first now.
    std::optional<Part> selectedPart;
    if (m_selected && *m_selected < m_pieces.size())
        selectedPart = m_pieces[*m_selected].part;
    m_pieces = parsePattern(pattern);
    m_selected.reset();
    if (selectedPart)
        for (std::size_t i = 0; i < m_pieces.size(); ++i)
            if (m_pieces[i].isField && m_pieces[i].part == *selectedPart)
                m_selected = i;
    if (!m_selected)
        m_typed.clear();
}

fnd::Date DatePickerCell::clamped(fnd::Date date) const
{
    if (m_minDate && date.timeIntervalSince(*m_minDate) < 0)
        date = *m_minDate;
    if (m_maxDate && date.timeIntervalSince(*m_maxDate) > 0)
        date = *m_maxDate;
    return date;
}

void DatePickerCell::setDateValue(std::optional<fnd::Date> date)
{
    if (date && !fnd::PropertyList::canHoldDate(*date))
        return;
    if (date)
        date = clamped(*date);
    if (date == m_date)
        return;
    m_date = date;
    noteChanged();
}

void DatePickerCell::setMinDate(std::optional<fnd::Date> date)
{
    if (date && !fnd::PropertyList::canHoldDate(*date))
        return;
    m_minDate = date;
    if (m_date)
        setDateValue(*m_date);
}

void DatePickerCell::setMaxDate(std::optional<fnd::Date> date)
{
    if (date && !fnd::PropertyList::canHoldDate(*date))
        return;
    m_maxDate = date;
    if (m_date)
        setDateValue(*m_date);
}

fnd::Value DatePickerCell::objectValue() const
{
    return m_date ? fnd::Value(*m_date) : fnd::Value();
}

void DatePickerCell::setObjectValue(const fnd::Value& value)
{
    if (const auto* date = value.date())
        setDateValue(*date);
    else
        setDateValue(std::nullopt);
}

fnd::String DatePickerCell::stringValue() const
{
    std::u16string text;
    for (const auto& piece : m_pieces)
        text += (piece.isField ? textOfPiece(piece) : piece.literal).units();
    return fnd::String(text);
}

// The parts.

long DatePickerCell::valueOfPart(Part part) const
{
    if (!m_date)
        return 0;
    fnd::Calendar calendar;
    calendar.setTimeZone(m_timeZone);
    auto c = calendar.components(AllUnits, *m_date);
    switch (part) {
    case Part::Year:
        return static_cast<long>(c.year.value_or(0));
    case Part::Month:
        return static_cast<long>(c.month.value_or(1));
    case Part::Day:
        return static_cast<long>(c.day.value_or(1));
    case Part::Hour:
        return static_cast<long>(c.hour.value_or(0));
    case Part::Minute:
        return static_cast<long>(c.minute.value_or(0));
    case Part::Second:
        return static_cast<long>(c.second.value_or(0));
    case Part::AmPm:
        return c.hour.value_or(0) >= 12 ? 1 : 0;
    default:
        return 0;
    }
}

std::pair<long, long> DatePickerCell::rangeOfPart(const Piece& piece) const
{
    switch (piece.part) {
    case Part::Year:
        return { 1, 9999 };
    case Part::Month:
        return { 1, 12 };
    case Part::Day: {
        fnd::Calendar calendar;
        calendar.setTimeZone(m_timeZone);
        return { 1, daysInMonth(calendar, valueOfPart(Part::Year), valueOfPart(Part::Month)) };
    }
    case Part::Hour:
        switch (piece.letter) {
        case u'h':
            return { 1, 12 };
        case u'K':
            return { 0, 11 };
        case u'k':
            return { 1, 24 };
        default:
            return { 0, 23 };
        }
    case Part::Minute:
    case Part::Second:
        return { 0, 59 };
    case Part::AmPm:
        return { 0, 1 };
    default:
        return { 0, 0 };
    }
}

fnd::String DatePickerCell::textOfPiece(const Piece& piece) const
{
    if (!piece.isField)
        return piece.literal;
    if (!m_date) {
        // No date: dashes as wide as the field.
        int width = piece.part == Part::Year ? 4 : 2;
        return fnd::String(std::u16string(static_cast<std::size_t>(width), u'-'));
    }
    // What was typed so far shows in place of the value.
    if (m_selected && &m_pieces[*m_selected] == &piece && !m_typed.empty())
        return fnd::String(m_typed);
    switch (piece.part) {
    case Part::Year:
        return piece.count == 2 ? number(valueOfPart(Part::Year) % 100, 2) : number(valueOfPart(Part::Year), 1);
    case Part::Month:
    case Part::Day:
    case Part::Minute:
    case Part::Second:
        return number(
            valueOfPart(piece.part), piece.part == Part::Minute || piece.part == Part::Second ? 2 : piece.count);
    case Part::Hour: {
        long hour = valueOfPart(Part::Hour);
        if (piece.letter == u'h')
            hour = hour % 12 == 0 ? 12 : hour % 12;
        else if (piece.letter == u'K')
            hour %= 12;
        else if (piece.letter == u'k')
            hour = hour == 0 ? 24 : hour;
        return number(hour, piece.count);
    }
    case Part::AmPm:
    case Part::Era:
    case Part::TimeZone: {
        fnd::DateFormatter formatter;
        formatter.setLocale(m_locale);
        formatter.setTimeZone(m_timeZone);
        formatter.setDateFormat(fnd::String(std::u16string(static_cast<std::size_t>(piece.count), piece.letter)));
        return formatter.stringFromDate(*m_date);
    }
    }
    return {};
}

std::vector<std::size_t> DatePickerCell::editableFields() const
{
    std::vector<std::size_t> fields;
    for (std::size_t i = 0; i < m_pieces.size(); ++i)
        if (m_pieces[i].isField && m_pieces[i].part != Part::Era && m_pieces[i].part != Part::TimeZone)
            fields.push_back(i);
    return fields;
}

void DatePickerCell::selectField(std::optional<std::size_t> piece)
{
    if (piece && (*piece >= m_pieces.size() || !m_pieces[*piece].isField))
        piece.reset();
    if (piece == m_selected)
        return;
    m_typed.clear();
    m_selected = piece;
    noteChanged();
}

bool DatePickerCell::selectAdjacentField(int direction)
{
    auto fields = editableFields();
    if (fields.empty())
        return false;
    if (!m_selected) {
        selectField(direction > 0 ? fields.front() : fields.back());
        return true;
    }
    auto at = std::find(fields.begin(), fields.end(), *m_selected);
    if (at == fields.end())
        return false;
    if (direction > 0 && at + 1 != fields.end()) {
        selectField(*(at + 1));
        return true;
    }
    if (direction < 0 && at != fields.begin()) {
        selectField(*(at - 1));
        return true;
    }
    return false;
}

void DatePickerCell::setPart(Part part, long value)
{
    fnd::Calendar calendar;
    calendar.setTimeZone(m_timeZone);
    auto base = m_date ? *m_date : fnd::Date::now();
    auto c = calendar.components(AllUnits, base);
    switch (part) {
    case Part::Year:
        c.year = value;
        break;
    case Part::Month:
        c.month = value;
        break;
    case Part::Day:
        c.day = value;
        break;
    case Part::Hour:
        c.hour = value;
        break;
    case Part::Minute:
        c.minute = value;
        break;
    case Part::Second:
        c.second = value;
        break;
    case Part::AmPm: {
        long hour = c.hour.value_or(0) % 12;
        c.hour = value ? hour + 12 : hour;
        break;
    }
    default:
        return;
    }
    // A day beyond the new month's length becomes its last day, rather than spilling into the next month.
    if (part == Part::Year || part == Part::Month)
        c.day = std::min<long>(static_cast<long>(c.day.value_or(1)),
            daysInMonth(calendar, static_cast<long>(c.year.value_or(1)), static_cast<long>(c.month.value_or(1))));
    auto date = calendar.dateFromComponents(c);
    if (!date)
        return;
    auto proposed = clamped(*date);
    double interval = m_timeInterval;
    if (auto d = delegate())
        d->datePickerCellValidateProposedDateValue(*this, proposed, interval);
    m_timeInterval = interval;
    bool changed = proposed != m_date;
    m_date = proposed;
    noteChanged();
    if (changed)
        sendActionFromControlView();
}

void DatePickerCell::stepSelectedField(int direction)
{
    if (!m_selected)
        selectAdjacentField(1);
    if (!m_selected)
        return;
    m_typed.clear();
    const auto& piece = m_pieces[*m_selected];
    auto [lo, hi] = rangeOfPart(piece);
    long value = valueOfPart(piece.part);
    if (piece.part == Part::Hour) {
        // Hours step round the whole day, so 11 in the morning goes on to 12 noon.
        value = (value + direction + 24) % 24;
    } else if (piece.part == Part::Year) {
        value = std::clamp(value + direction, lo, hi); // years do not wrap
    } else {
        value = value + direction > hi ? lo : value + direction < lo ? hi : value + direction;
    }
    setPart(piece.part, value);
}

bool DatePickerCell::typeCharacter(char16_t character)
{
    if (!m_selected)
        selectAdjacentField(1);
    if (!m_selected)
        return false;
    const auto piece = m_pieces[*m_selected];
    if (piece.part == Part::AmPm) {
        char16_t lower = character >= u'A' && character <= u'Z' ? character - u'A' + u'a' : character;
        if (lower != u'a' && lower != u'p')
            return false;
        setPart(Part::AmPm, lower == u'p' ? 1 : 0);
        return true;
    }
    if (character < u'0' || character > u'9')
        return false;
    m_typed += character;
    long typed = std::stol(fnd::String(m_typed).utf8());
    const int maxDigits = piece.part == Part::Year ? (piece.count == 2 ? 2 : 4) : 2;
    auto [lo, hi] = rangeOfPart(piece);
    long value = typed;
    if (piece.part == Part::Year && piece.count == 2)
        value = 2000 + typed;
    if (piece.part == Part::Hour) {
        long pm = valueOfPart(Part::Hour) >= 12 ? 12 : 0;
        if (piece.letter == u'h')
            value = typed % 12 + pm;
        else if (piece.letter == u'K')
            value = typed + pm;
        else if (piece.letter == u'k')
            value = typed % 24;
    }
    // Done when no further digit could keep the number in range (or the field is full): then on to the next field.
    bool complete = static_cast<int>(m_typed.size()) >= maxDigits || typed * 10 > hi;
    if (typed >= lo && typed <= hi && (complete || piece.part != Part::Year)) {
        auto saved = m_typed;
        setPart(piece.part, value);
        m_typed = complete ? std::u16string() : saved;
    }
    if (complete) {
        m_typed.clear();
        selectAdjacentField(1);
    }
    noteChanged();
    return true;
}

// Geometry and drawing.

gfx::Rect DatePickerCell::stepperRectForBounds(gfx::Rect bounds) const
{
    if (m_style != DatePickerStyle::TextFieldAndStepper)
        return {};
    double width = 15;
    return { bounds.maxX() - width, bounds.minY(), width, bounds.height() };
}

gfx::Rect DatePickerCell::textRectForBounds(gfx::Rect bounds) const
{
    auto stepper = stepperRectForBounds(bounds);
    if (!stepper.isEmpty())
        bounds.size.width = std::max(0.0, stepper.minX() - 2 - bounds.minX());
    return bounds;
}

fnd::Dictionary DatePickerCell::fieldAttributes(bool selected) const
{
    fnd::Dictionary attributes;
    attributes.set(txt::FontAttributeName, fnd::Value(font()));
    auto color = selected ? ControlLook::textOnAccentColor(isEnabled()) : textColor();
    if (!isEnabled() && !selected)
        color = color->colorWithAlphaComponent(color->alphaComponent() * 0.5);
    attributes.set(txt::ForegroundColorAttributeName, fnd::Value(color));
    return attributes;
}

double DatePickerCell::widthOfPiece(const Piece& piece) const
{
    // Fields are as wide as their widest value, so the layout stays put while values change.
    fnd::String sample = piece.literal;
    if (piece.isField) {
        switch (piece.part) {
        case Part::Year:
            sample = piece.count == 2 ? "00" : "0000";
            break;
        case Part::AmPm:
        case Part::Era:
        case Part::TimeZone:
            sample = textOfPiece(piece);
            if (piece.part == Part::AmPm)
                sample = sample + fnd::String("M");
            break;
        default:
            sample = "00";
            break;
        }
    }
    return std::ceil(txt::AttributedString(sample, fieldAttributes(false)).size().width) + (piece.isField ? 2 : 0);
}

std::vector<gfx::Rect> DatePickerCell::pieceRectsForBounds(gfx::Rect bounds) const
{
    auto text = gfx::insetRect(textRectForBounds(bounds), Inset, 2);
    auto f = font();
    double lineHeight = std::ceil(f->ascender() - f->descender() + f->leading());
    double y = text.minY() + std::round((text.height() - lineHeight) / 2);
    std::vector<gfx::Rect> rects;
    double x = text.minX();
    for (const auto& piece : m_pieces) {
        double width = widthOfPiece(piece);
        rects.push_back({ x, y, width, lineHeight });
        x += width;
    }
    return rects;
}

gfx::Size DatePickerCell::cellSizeForBounds(gfx::Rect) const
{
    double width = 2 * Inset;
    for (const auto& piece : m_pieces)
        width += widthOfPiece(piece);
    if (m_style == DatePickerStyle::TextFieldAndStepper)
        width += 17;
    auto f = font();
    return { std::ceil(width), std::ceil(f->ascender() - f->descender() + f->leading()) + 8 };
}

void DatePickerCell::drawWithFrame(gfx::Rect cellFrame, View& controlView)
{
    setControlView(std::static_pointer_cast<View>(controlView.shared_from_this()));
    auto text = textRectForBounds(cellFrame);
    if (isBezeled())
        ControlLook::drawFieldBezel(text, false, m_drawsBackground ? backgroundColor().get() : nullptr, isEnabled());
    else if (auto* context = gfx::GraphicsContext::current(); context && m_drawsBackground) {
        context->setFillColor(*backgroundColor());
        context->fillRect(text);
    }
    drawInteriorWithFrame(cellFrame, controlView);
    auto stepper = stepperRectForBounds(cellFrame);
    if (!stepper.isEmpty()) {
        if (!m_stepper) {
            m_stepper = std::make_shared<StepperCell>();
            m_stepper->init();
        }
        m_stepper->setEnabled(isEnabled());
        m_stepper->setControlSize(controlSize());
        m_stepper->drawWithFrame(stepper, controlView);
    }
}

void DatePickerCell::drawInteriorWithFrame(gfx::Rect cellFrame, View& controlView)
{
    auto* context = gfx::GraphicsContext::current();
    auto rects = pieceRectsForBounds(cellFrame);
    // The selected field shows only while the picker has the keyboard in the key window.
    bool focused = false;
    if (auto w = controlView.window())
        focused = w->isKeyWindow() && w->firstResponder().get() == &controlView;
    for (std::size_t i = 0; i < m_pieces.size(); ++i) {
        bool selected = focused && m_selected == i;
        if (selected && context) {
            context->saveGraphicsState();
            context->setFillColor(*ControlLook::accentColor(true));
            context->fillPath(*gfx::BezierPath::bezierPathWithRoundedRect(rects[i], 2, 2));
            context->restoreGraphicsState();
        }
        txt::AttributedString piece(textOfPiece(m_pieces[i]), fieldAttributes(selected));
        auto size = piece.size();
        // Numbers stand at the right of their field, as they grow leftwards when typed.
        double x = m_pieces[i].isField ? rects[i].maxX() - 1 - size.width : rects[i].minX();
        piece.drawAtPoint({ std::round(x), rects[i].minY() });
    }
}

void DatePickerCell::drawFocusRingMaskWithFrame(gfx::Rect cellFrame, View&)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    auto rect = ControlLook::snapped(textRectForBounds(cellFrame));
    context->setFillColor(*gfx::Color::blackColor());
    context->fillPath(*gfx::BezierPath::bezierPathWithRoundedRect(
        rect, std::min(4.0, rect.height() / 2), std::min(4.0, rect.height() / 2)));
}

// Archiving.

void DatePickerCell::encodeWithCoder(fnd::Coder& coder) const
{
    ActionCell::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeInt(static_cast<int>(m_style), "DatePickerStyle");
    coder.encodeInt(static_cast<int>(m_elements), "DatePickerElements");
    coder.encodeInt(static_cast<int>(m_mode), "DatePickerMode");
    if (m_date)
        coder.encodeObject(fnd::Value(*m_date), "Contents");
    if (m_minDate)
        coder.encodeObject(fnd::Value(*m_minDate), "MinDate");
    if (m_maxDate)
        coder.encodeObject(fnd::Value(*m_maxDate), "MaxDate");
    coder.encodeDouble(m_timeInterval, "TimeInterval");
    coder.encodeBool(m_drawsBackground, "DrawsBackground");
}

bool DatePickerCell::initWithCoder(fnd::Coder& coder)
{
    if (!ActionCell::initWithCoder(coder))
        return false;
    m_style = static_cast<DatePickerStyle>(std::clamp(coder.decodeIntForKey("DatePickerStyle"), 0, 2));
    m_elements = static_cast<unsigned>(coder.decodeIntForKey("DatePickerElements"));
    m_mode = coder.decodeIntForKey("DatePickerMode") == 1 ? DatePickerMode::Range : DatePickerMode::Single;
    auto date = coder.decodeObjectForKey("Contents");
    m_date = date.date() ? std::optional(*date.date()) : std::nullopt;
    auto minDate = coder.decodeObjectForKey("MinDate");
    m_minDate = minDate.date() ? std::optional(*minDate.date()) : std::nullopt;
    auto maxDate = coder.decodeObjectForKey("MaxDate");
    m_maxDate = maxDate.date() ? std::optional(*maxDate.date()) : std::nullopt;
    if (const double interval = coder.decodeDoubleForKey("TimeInterval"); std::isfinite(interval))
        m_timeInterval = interval;
    m_drawsBackground = !coder.containsValueForKey("DrawsBackground") || coder.decodeBoolForKey("DrawsBackground");
    rebuildPieces();
    return !coder.hasFailed();
}

}
