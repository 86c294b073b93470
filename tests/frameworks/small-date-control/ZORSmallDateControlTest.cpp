#include "platform/ui/UiTestSupport.h"

#include "frameworks/small-date-control/ZORSmallDateControl.h"

#include "platform/foundation/locale/Calendar.h"
#include "platform/foundation/runtime/ClassBuilder.h"
#include "platform/ui/text/TextField.h"
#include "platform/ui/text/TextView.h"

#include <functional>
#include <string>
#include <vector>

// Receives the control's action.
class DateActionTarget : public fnd::Object {
    FND_OBJECT(DateActionTarget)
    static void describeClass(fnd::ClassBuilder<DateActionTarget>& c)
    {
        c.action("dateChosen:", &DateActionTarget::dateChosen);
    }

public:
    void dateChosen(const fnd::Value&) { ++actions; }
    int actions { 0 };
};

FND_REGISTER_CLASS(DateActionTarget, fnd::Object)

namespace {

// Collects the end-of-editing notices it is sent.
class EndEditingLog : public ui::ControlTextEditingDelegate {
public:
    void controlTextDidEndEditing(const fnd::Object& notification) override
    {
        auto& note = dynamic_cast<const fnd::Notification&>(notification);
        ended.push_back(note.userInfo().get(ui::TextNotification::MovementKey).integerValue());
        hadEditor.push_back(
            note.userInfo().get(ui::ControlNotification::FieldEditorKey).objectAs<ui::TextView>() != nullptr);
    }
    std::vector<long> ended;
    std::vector<bool> hadEditor;
};

// Takes the control out of its window when an edit ends, as a panel closing on the end of an edit would.
class RemovingEndEditingLog : public ui::ControlTextEditingDelegate {
public:
    void controlTextDidEndEditing(const fnd::Object&) override
    {
        if (auto c = control.lock())
            c->removeFromSuperview();
    }
    std::weak_ptr<ZORSmallDateControl> control;
};

// A view that takes the keyboard but edits no text.
class KeyTakingView : public ui::View {
public:
    bool acceptsFirstResponder() const override { return true; }
};

class ZORSmallDateControlTest : public uitest::KeyWindowTest {
protected:
    ZORSmallDateControlTest()
        : KeyWindowTest({ 300, 120 })
    {
        make("de_DE");
    }

    void make(const char* locale)
    {
        if (control)
            control->removeFromSuperview();
        control = std::make_shared<ZORSmallDateControl>();
        control->initWithFrame({ 20, 40, 10, 10 }, fnd::shortDateOrderForLocale(fnd::Locale(locale)));
        add(control);
        control->setDelegate(log);
    }

    std::shared_ptr<ui::TextView> editor() const
    {
        return std::dynamic_pointer_cast<ui::TextView>(window->firstResponder());
    }
    // The text shown left to right, separators included.
    std::string shown() const
    {
        return control->cellAtIndex(0)->stringValue().utf8() + control->dateSeparator().utf8()
            + control->cellAtIndex(1)->stringValue().utf8() + control->dateSeparator().utf8()
            + control->cellAtIndex(2)->stringValue().utf8();
    }
    void type(const std::u16string& text)
    {
        for (char16_t c : text)
            backend->keyDown(*window, fnd::String(std::u16string(1, c)), 0);
        dispatch();
    }
    void tab(bool back = false)
    {
        backend->keyDown(*window, u"\t", ui::KeyCode::Tab, back ? ui::ModifierFlags::Shift : 0);
        dispatch();
    }
    void clickCell(long index)
    {
        auto r = control->rectOfCell(index);
        backend->click(*window, control->convertPointToView({ r.midX(), r.midY() }, nullptr));
        dispatch();
    }
    void clickStrip(long index)
    {
        auto r = control->rectOfCell(index);
        backend->click(*window, control->convertPointToView({ r.midX(), 4 }, nullptr));
        dispatch();
    }

    // The field editors among the control's subviews.
    int editorsInControl() const
    {
        int n = 0;
        for (const auto& view : control->subviews())
            n += std::dynamic_pointer_cast<ui::TextView>(view) != nullptr;
        return n;
    }

    std::shared_ptr<ZORSmallDateControl> control;
    std::shared_ptr<EndEditingLog> log = std::make_shared<EndEditingLog>();
};

// The cells follow the locale's short date: order, separator, two-digit day and month, the year as it is.
TEST_F(ZORSmallDateControlTest, TheLocaleGivesOrderAndSeparator)
{
    struct Case {
        const char* locale;
        const char* shown;
        long day, month, year;
    };
    const std::vector<Case> cases {
        { "en_US", "01/01/2000", 1, 0, 2 },
        { "de_DE", "01.01.2000", 0, 1, 2 },
        { "ja_JP", "2000/01/01", 2, 1, 0 },
        { "fr_FR", "01/01/2000", 0, 1, 2 },
    };
    for (const auto& c : cases) {
        make(c.locale);
        control->setDay(5);
        control->setMonth(11);
        control->updateCells();
        EXPECT_EQ(control->dayLocation(), c.day) << c.locale;
        EXPECT_EQ(control->monthLocation(), c.month) << c.locale;
        EXPECT_EQ(control->yearLocation(), c.year) << c.locale;
        EXPECT_EQ(control->cellAtIndex(c.day)->stringValue().utf8(), "05") << c.locale;
        EXPECT_EQ(control->cellAtIndex(c.month)->stringValue().utf8(), "11") << c.locale;
        EXPECT_EQ(control->cellAtIndex(c.year)->tag(), ZORSmallDateControl::Year) << c.locale;
    }
    // The other orders, straight from their codes.
    const std::vector<std::pair<fnd::DateOrder, std::array<long, 3>>> orders {
        { fnd::DateOrder::MonthYearDay, { 2, 0, 1 } },
        { fnd::DateOrder::DayYearMonth, { 0, 2, 1 } },
        { fnd::DateOrder::YearDayMonth, { 1, 2, 0 } },
    };
    for (const auto& [order, where] : orders) {
        auto other = std::make_shared<ZORSmallDateControl>();
        other->initWithFrame({}, { order, "-" });
        EXPECT_EQ(other->dayLocation(), where[0]) << int(order);
        EXPECT_EQ(other->monthLocation(), where[1]) << int(order);
        EXPECT_EQ(other->yearLocation(), where[2]) << int(order);
    }
}

// The layout measures the cells: two-digit day and month, four-digit year, separators between them, and the frame
// around them all.
TEST_F(ZORSmallDateControlTest, TheLayoutLinesTheCellsUp)
{
    for (long i = 0; i < 3; ++i)
        EXPECT_EQ(control->rectOfCell(i).minY(), 9);
    EXPECT_EQ(control->rectOfCell(0).minX(), 1);
    EXPECT_GT(control->rectOfCell(2).width(), control->rectOfCell(0).width()) << "the year cell is the wide one";
    EXPECT_LE(control->rectOfCell(0).maxX(), control->rectOfSeparator(0).minX() + 1);
    EXPECT_LE(control->rectOfSeparator(0).maxX(), control->rectOfCell(1).minX() + 1);
    EXPECT_LE(control->rectOfCell(1).maxX(), control->rectOfSeparator(1).minX() + 1);
    EXPECT_LE(control->rectOfCell(2).maxX(), control->frame().width() + 1);
    EXPECT_EQ(control->frame().origin, (gfx::Point { 20, 40 })) << "the origin stays";
    EXPECT_EQ(control->frame().height(), std::floor(control->rectOfCell(0).height()) + 13);
}

// February has 29 days in leap years (every fourth, not centuries unless every fourth century); a day past the end
// of a new month or year is pulled down to it.
TEST_F(ZORSmallDateControlTest, TheDayStaysWithinTheMonth)
{
    EXPECT_EQ(ZORSmallDateControl::daysInMonth(2, 2000), 29);
    EXPECT_EQ(ZORSmallDateControl::daysInMonth(2, 1900), 28);
    EXPECT_EQ(ZORSmallDateControl::daysInMonth(2, 2004), 29);
    EXPECT_EQ(ZORSmallDateControl::daysInMonth(4, 2003), 30);
    EXPECT_EQ(ZORSmallDateControl::daysInMonth(13, 2003), 0);
    control->setYear(2004);
    control->setDay(29);
    control->setMonth(2);
    EXPECT_EQ(control->day(), 29);
    control->setYear(2003);
    EXPECT_EQ(control->day(), 28);
    control->setDay(31);
    control->setMonth(4);
    EXPECT_EQ(control->day(), 30);
    EXPECT_EQ(control->limitsForPart(ZORSmallDateControl::Day).maximum, 30);
}

// Each control keeps its own limits: a second control in another month does not change the first one's day range.
TEST_F(ZORSmallDateControlTest, LimitsBelongToEachControl)
{
    control->setMonth(2);
    control->setYear(2003);
    auto other = std::make_shared<ZORSmallDateControl>();
    other->initWithFrame({ 20, 80, 10, 10 }, { fnd::DateOrder::DayMonthYear, "." });
    add(other);
    other->setMonth(1);
    EXPECT_EQ(control->limitsForPart(ZORSmallDateControl::Day).maximum, 28);
    EXPECT_EQ(other->limitsForPart(ZORSmallDateControl::Day).maximum, 31);
    control->editCell(control->dayLocation());
    type(u"31");
    tab();
    EXPECT_EQ(control->day(), 1) << "31 February is refused";
}

TEST_F(ZORSmallDateControlTest, DatesRoundTrip)
{
    fnd::DateComponents parts;
    parts.year = 2024;
    parts.month = 2;
    parts.day = 29;
    auto date = *fnd::Calendar::current().dateFromComponents(parts);
    control->setDate(date);
    EXPECT_EQ(shown(), "29.02.2024");
    EXPECT_EQ(control->date(), date);
}

// Every setter keeps its part within its range, through code and keys alike: a month of 13 had pulled the day down
// to 0 (the days of no month), and the date was then a fallback (1 January 2001) reported as the date.
TEST_F(ZORSmallDateControlTest, SettersKeepTheirPartsWithinRange)
{
    const std::vector<std::tuple<const char*, std::function<void()>, const char*>> steps {
        { "month 13", [&] { control->setMonth(13); }, "01.12.2000" },
        { "month 0", [&] { control->setMonth(0); }, "01.01.2000" },
        { "month 13 through its key", [&] { control->setValueForKey(fnd::Value(13), "month"); }, "01.12.2000" },
        { "month -7 through its key", [&] { control->setValueForKey(fnd::Value(-7), "month"); }, "01.01.2000" },
        { "day 0", [&] { control->setDay(0); }, "01.01.2000" },
        { "day 99", [&] { control->setDay(99); }, "31.01.2000" },
        { "day -1 through its key", [&] { control->setValueForKey(fnd::Value(-1), "day"); }, "01.01.2000" },
        { "year 10^12", [&] { control->setYear(1'000'000'000'000); }, "01.01.9999" },
        { "year 5 through its key", [&] { control->setValueForKey(fnd::Value(5), "year"); }, "01.01.1000" },
    };
    for (const auto& [what, set, expected] : steps) {
        set();
        EXPECT_EQ(shown(), expected) << what;
        auto date = control->date();
        ASSERT_TRUE(date) << what;
        auto parts = fnd::Calendar::current().components(
            fnd::CalendarUnit::Year | fnd::CalendarUnit::Month | fnd::CalendarUnit::Day, *date);
        EXPECT_EQ(parts.day, control->day()) << what;
        EXPECT_EQ(parts.month, control->month()) << what;
        EXPECT_EQ(parts.year, control->year()) << what;
    }
}

// A day set before its month may lie past that month's end (the month and year setters pull it down); until then
// the parts make no date, and date() says so rather than answer the day the calendar would roll over to.
TEST_F(ZORSmallDateControlTest, PartsThatMakeNoDateHaveNoDate)
{
    control->setYear(2003);
    control->setMonth(2);
    control->setDay(31);
    EXPECT_EQ(shown(), "31.02.2003");
    EXPECT_FALSE(control->date()) << "the 31st of February";
    control->setMonth(3);
    ASSERT_TRUE(control->date());
    EXPECT_EQ(shown(), "31.03.2003");

    // A whole date is taken year first: 29 February 2024 set while 2003 shows keeps its day.
    fnd::DateComponents leapDay;
    leapDay.year = 2024;
    leapDay.month = 2;
    leapDay.day = 29;
    const auto date = *fnd::Calendar::current().dateFromComponents(leapDay);
    control->setDate(date);
    EXPECT_EQ(shown(), "29.02.2024");
    EXPECT_EQ(control->date(), date);
}

// Each setter shows its number at once and draws the control again, the day clamped by a month or year too.
TEST_F(ZORSmallDateControlTest, SettersShowTheirNumbers)
{
    fnd::DateComponents parts;
    parts.year = 2024;
    parts.month = 2;
    parts.day = 29;
    control->setDate(*fnd::Calendar::current().dateFromComponents(parts));
    struct Step {
        std::function<void()> set;
        const char* shown;
    };
    const Step steps[] = {
        { [&] { control->setDay(5); }, "05.02.2024" },
        { [&] { control->setMonth(11); }, "05.11.2024" },
        { [&] { control->setYear(1999); }, "05.11.1999" },
        { [&] { control->setDay(29); }, "29.11.1999" },
        { [&] { control->setMonth(2); }, "28.02.1999" },
    };
    for (const auto& step : steps) {
        control->setNeedsDisplay(false);
        step.set();
        EXPECT_EQ(shown(), step.shown);
        EXPECT_TRUE(control->needsDisplay()) << step.shown;
    }
}

// Typing takes digits within each part's limits; a number out of range is dropped when editing ends (the old one
// shows again) and the delegate still hears of the end.
TEST_F(ZORSmallDateControlTest, TypingEachCellTakesNumbersWithinLimits)
{
    window->makeFirstResponder(control);
    ASSERT_TRUE(control->isUsingFieldEditor());
    EXPECT_EQ(control->selected(), 0);
    ASSERT_TRUE(editor());
    EXPECT_EQ(editor()->string().utf8(), "01");
    EXPECT_EQ(editor()->selectedRange(), (fnd::Range { 0, 2 })) << "the whole number is selected";
    type(u"7");
    tab();
    EXPECT_EQ(control->day(), 7);
    EXPECT_EQ(control->selected(), 1);
    type(u"13");
    tab();
    EXPECT_EQ(control->month(), 1) << "month 13 is dropped";
    EXPECT_EQ(shown(), "07.01.2000");
    type(u"1899");
    tab(true);
    EXPECT_EQ(control->year(), 1899) << "only years before 1000 or after 9999 are dropped";
    EXPECT_EQ(
        log->ended, (std::vector<long> { ui::TextMovement::Tab, ui::TextMovement::Tab, ui::TextMovement::Backtab }));
    EXPECT_EQ(log->hadEditor, (std::vector<bool> { true, true, true }));
    EXPECT_EQ(control->selected(), 1);
    editor()->setSelectedRange({ 0, 2 });
    type(u"00");
    tab();
    EXPECT_EQ(control->month(), 1) << "month 0 is dropped";
    type(u"999");
    tab(true);
    EXPECT_EQ(control->year(), 1899) << "year 999 is dropped";
}

// Only digits get in, and no more of them than the part has.
TEST_F(ZORSmallDateControlTest, TheTypingFilterTakesDigitsOnly)
{
    using P = ZORSmallDateControl;
    EXPECT_TRUE(P::entryIsAllowed(P::Day, { 0, 2 }, "3"));
    EXPECT_TRUE(P::entryIsAllowed(P::Day, { 1, 0 }, "1"));
    EXPECT_FALSE(P::entryIsAllowed(P::Day, { 2, 0 }, "1"));
    EXPECT_FALSE(P::entryIsAllowed(P::Day, { 0, 0 }, "a"));
    EXPECT_FALSE(P::entryIsAllowed(P::Month, { 0, 2 }, "1-"));
    EXPECT_TRUE(P::entryIsAllowed(P::Year, { 0, 4 }, "2024"));
    EXPECT_FALSE(P::entryIsAllowed(P::Year, { 0, 4 }, "12345"));
    EXPECT_FALSE(P::entryIsAllowed(P::Year, { 4, 0 }, "1"));

    control->editCell(control->yearLocation());
    type(u"x");
    EXPECT_EQ(editor()->string().utf8(), "2000") << "a letter is refused";
    editor()->insertText(fnd::Value(fnd::String("12345")));
    EXPECT_EQ(editor()->string().utf8(), "2000") << "five digits are refused";
    type(u"19");
    editor()->setSelectedRange({ 2, 0 });
    editor()->insertText(fnd::Value(fnd::String("555")));
    EXPECT_EQ(editor()->string().utf8(), "19") << "a paste may not make the year longer than four digits";
}

// The stepper steps the selected part within its limits; typing moves it along.
TEST_F(ZORSmallDateControlTest, TheStepperStepsTheSelectedCell)
{
    auto stepper = ui::Stepper::create({ 0, 0, 15, 22 });
    add(stepper);
    control->setStepper(stepper);
    EXPECT_EQ(stepper->frame().minX(), std::floor(control->frame().maxX() + 2)) << "aligned beside the control";
    control->setMonth(2);
    control->setDay(28);
    control->editCell(control->dayLocation());
    EXPECT_EQ(stepper->maxValue(), 29);
    EXPECT_EQ(stepper->minValue(), 1);
    EXPECT_EQ(stepper->integerValue(), 28);
    stepper->setIntegerValue(29);
    control->handleStepperClick({});
    EXPECT_EQ(control->day(), 29);
    EXPECT_EQ(editor()->string().utf8(), "29") << "the editor shows the stepped value";

    control->editCell(control->monthLocation());
    EXPECT_EQ(stepper->maxValue(), 12);
    type(u"9");
    EXPECT_EQ(stepper->integerValue(), 9) << "typing moves the stepper";
    editor()->setSelectedRange({ 0, 1 });
    type(u"0");
    EXPECT_EQ(stepper->integerValue(), 2) << "an out-of-range entry puts the stepper back";
}

// Tab from the last cell leaves for the next key view; Backtab from the first for the previous one; with no other
// key view, editing wraps round inside the control.
TEST_F(ZORSmallDateControlTest, TabAndBacktabWalkTheCellsAndLeave)
{
    window->makeFirstResponder(control);
    tab();
    tab();
    EXPECT_EQ(control->selected(), 2);
    tab();
    EXPECT_TRUE(control->isUsingFieldEditor()) << "alone in the window, editing wraps";
    EXPECT_EQ(control->selected(), 0);
    tab(true);
    EXPECT_EQ(control->selected(), 2) << "back from the first cell wraps to the last";

    auto field = ui::TextField::textFieldWithString("after");
    field->setFrame({ 20, 90, 100, 22 });
    add(field);
    control->setNextKeyView(field);
    field->setNextKeyView(control);
    tab();
    EXPECT_FALSE(control->isUsingFieldEditor()) << "the tab went on to the field";
    EXPECT_EQ(editor()->delegate().get(), static_cast<ui::TextViewDelegate*>(field.get()));
    tab(true);
    EXPECT_TRUE(control->isUsingFieldEditor());
    EXPECT_EQ(control->selected(), 2) << "entering backwards edits the last cell";
}

// Each move, within the control or round the key view loop, leaves one editor in the control with the keyboard,
// showing the new cell's number wholly selected, and only the cell being edited holds it.
TEST_F(ZORSmallDateControlTest, TheEditorMovesFromCellToCell)
{
    control->setYear(1987);
    window->makeFirstResponder(control);
    auto first = editor();
    ASSERT_TRUE(first);
    type(u"9");
    const char* expected[] = { "01", "1987", "09", "01" };
    const long cells[] = { 1, 2, 0, 1 };
    for (int i = 0; i < 4; ++i) {
        tab();
        SCOPED_TRACE(i);
        ASSERT_EQ(control->selected(), cells[i]);
        EXPECT_EQ(editor(), first) << "the one shared editor keeps the keyboard";
        EXPECT_EQ(editor()->superview(), control);
        EXPECT_EQ(editorsInControl(), 1);
        EXPECT_EQ(editor()->string().utf8(), expected[i]);
        EXPECT_EQ(editor()->selectedRange(), (fnd::Range { 0, fnd::Index(std::string(expected[i]).size()) }));
        EXPECT_EQ(editor()->delegate().get(), static_cast<ui::TextViewDelegate*>(control.get()));
        for (long c = 0; c < 3; ++c)
            EXPECT_EQ(control->cellAtIndex(c)->currentFieldEditor() != nullptr, c == cells[i]) << c;
    }
    EXPECT_EQ(shown(), "09.01.1987");
    tab(true);
    tab(true);
    EXPECT_EQ(control->selected(), 2) << "back round from the first cell";
    EXPECT_EQ(editor()->string().utf8(), "1987");
}

// Where the keyboard leaves the control, the editor leaves with it: to a view that edits no text, or when the
// control itself is taken out of the window as the edit ends.
TEST_F(ZORSmallDateControlTest, TheEditorGoesWhereNobodyTakesItOver)
{
    auto other = std::make_shared<KeyTakingView>();
    other->initWithFrame({ 200, 80, 20, 20 });
    add(other);
    control->setNextKeyView(other);
    other->setNextKeyView(control);
    control->editCell(2);
    auto fieldEditor = editor();
    ASSERT_TRUE(fieldEditor);
    tab();
    EXPECT_EQ(window->firstResponder(), other);
    EXPECT_FALSE(control->isUsingFieldEditor());
    EXPECT_EQ(fieldEditor->superview(), nullptr);
    EXPECT_EQ(editorsInControl(), 0);

    auto remover = std::make_shared<RemovingEndEditingLog>();
    remover->control = control;
    control->setDelegate(remover);
    control->editCell(0);
    type(u"5");
    tab();
    EXPECT_EQ(control->window(), nullptr);
    EXPECT_EQ(control->day(), 5) << "the number typed is taken";
    EXPECT_EQ(editorsInControl(), 0) << "no editor is left behind in the control";
    EXPECT_FALSE(control->isUsingFieldEditor());
    EXPECT_EQ(fieldEditor->string().utf8(), "");
}

// A click on a cell edits it; a click on the caret strip under the cell being edited starts it afresh without an
// end-of-editing notice, while one under another cell ends the edit (keeping what was typed).
TEST_F(ZORSmallDateControlTest, ClicksChooseTheCell)
{
    clickCell(2);
    EXPECT_TRUE(control->isUsingFieldEditor());
    EXPECT_EQ(control->selected(), 2);
    type(u"2031");
    clickStrip(2);
    EXPECT_TRUE(log->ended.empty()) << "re-editing the same cell is not the end";
    EXPECT_EQ(control->year(), 2031);
    EXPECT_EQ(control->selected(), 2);
    type(u"2032");
    clickStrip(1);
    EXPECT_EQ(log->ended.size(), 1u);
    EXPECT_EQ(control->year(), 2032);
    EXPECT_EQ(control->selected(), 1);
    control->setEnabled(false);
    EXPECT_FALSE(control->isUsingFieldEditor()) << "disabling ends the edit";
    clickCell(0);
    EXPECT_FALSE(control->isUsingFieldEditor()) << "a disabled control takes no clicks";
}

// Return takes the number and sends the control's action; the edit ends there.
TEST_F(ZORSmallDateControlTest, ReturnSendsTheAction)
{
    auto target = fnd::makeObject<DateActionTarget>();
    control->setTarget(target);
    control->setAction("dateChosen:");
    window->makeFirstResponder(control);
    type(u"24");
    backend->keyDown(*window, u"\r", ui::KeyCode::Return);
    dispatch();
    EXPECT_EQ(control->day(), 24);
    EXPECT_EQ(target->actions, 1);
    EXPECT_EQ(log->ended, (std::vector<long> { ui::TextMovement::Return }));
    EXPECT_FALSE(control->isUsingFieldEditor());
}

// Flat look: white box with a grey frame, the caret under the selected cell; bevelled: darker edges.
TEST_F(ZORSmallDateControlTest, DrawsTheBoxTheCellsAndTheCaret)
{
    control->setSelected(2);
    auto image = snapshot("small-date-control-flat");
    auto r = control->rectOfCell(2);
    EXPECT_GT(luminance(pixelIn(*image, *control, { control->bounds().midX(), 10 })), 250) << "white inside";
    EXPECT_LT(luminance(pixelIn(*image, *control, { 0.5, control->bounds().midY() })), 200) << "the frame";
    EXPECT_LT(luminance(pixelIn(*image, *control, { std::floor(r.midX()), 4.5 })), 200) << "the caret";
    EXPECT_GT(luminance(pixelIn(*image, *control, { control->rectOfCell(0).midX(), 4.5 })), 200)
        << "no caret under the others";
    int dark = 0;
    for (double x = r.minX(); x < r.maxX(); x += 1)
        for (double y = r.minY(); y < r.maxY(); y += 1)
            dark += luminance(pixelIn(*image, *control, { x, y })) < 100;
    EXPECT_GT(dark, 10) << "the year's digits";
    control->setAppearance(ZORSmallDateControl::Appearance::Bevelled);
    auto bevelled = snapshot("small-date-control-bevelled");
    EXPECT_LT(luminance(pixelIn(*bevelled, *control, { 0.5, control->bounds().midY() })), 100);
}

}

// Assistive technologies read the date as it shows and its parts as steppers in screen order, each with its limits;
// a part set or stepped through them stays within its limits, keeps the day within the month and is heard.
TEST_F(ZORSmallDateControlTest, AssistiveTechnologiesReadAndStepThePartsWithinTheirLimits)
{
    namespace A = ui::AccessibilityAttribute;
    auto attribute = [](const fnd::Value& element, const fnd::String& name) {
        return ui::accessibilityAttribute(*ui::accessibilityElement(element), name);
    };
    make("en_US");
    control->setMonth(3);
    control->setDay(31);
    control->setYear(2024);
    EXPECT_EQ(ui::accessibilityAttribute(*control, A::Role), fnd::Value(ui::AccessibilityRole::DateField));
    EXPECT_EQ(ui::accessibilityAttribute(*control, A::Value), fnd::Value("03/31/2024"));
    EXPECT_FALSE(control->accessibilityIsIgnored());
    auto parts = *ui::accessibilityAttribute(*control, A::Children).array();
    ASSERT_EQ(parts.size(), 3u);
    // United States order: month, day, year; March has 31 days.
    std::vector<std::string> titles;
    for (const auto& part : parts)
        titles.push_back(attribute(part, A::Title).stringValue().utf8());
    EXPECT_EQ(titles, (std::vector<std::string> { "Month", "Day", "Year" }));
    EXPECT_EQ(attribute(parts[0], A::Role), fnd::Value(ui::AccessibilityRole::Incrementor));
    EXPECT_EQ(attribute(parts[1], A::Value), fnd::Value(31.0));
    EXPECT_EQ(attribute(parts[1], A::MaxValue), fnd::Value(31.0));
    EXPECT_EQ(attribute(parts[2], A::MinValue), fnd::Value(1000.0));

    struct Recorder : ui::AccessibilityObserver {
        Recorder() { ui::addAccessibilityObserver(this); }
        ~Recorder() override { ui::removeAccessibilityObserver(this); }
        void accessibilityNotification(ui::AccessibilityElement& element, const fnd::String& name) override
        {
            heard.emplace_back(name.utf8(), &element);
        }
        void accessibilityElementDestroyed(const ui::AccessibilityElement*) override { }
        std::vector<std::pair<std::string, const ui::AccessibilityElement*>> heard;
    } recorder;

    // February 2024 has 29 days: the month one down pulls the day to 29, and the day's stepper ends there.
    ui::accessibilityElement(parts[0])->accessibilityPerformAction(ui::AccessibilityAction::Decrement);
    EXPECT_EQ(control->month(), 2);
    EXPECT_EQ(control->day(), 29);
    EXPECT_EQ(attribute(parts[1], A::MaxValue), fnd::Value(29.0));
    EXPECT_EQ(shown(), "02/29/2024");
    EXPECT_NE(std::ranges::find(recorder.heard,
                  std::pair(ui::AccessibilityNotification::ValueChanged.utf8(),
                      (const ui::AccessibilityElement*)control.get())),
        recorder.heard.end());
    // A year set beyond its limit stays at 9999; 2023 is no leap year, so the day comes down to 28.
    ui::accessibilityElement(parts[2])->accessibilitySetValue(1e6, A::Value);
    EXPECT_EQ(control->year(), 9999);
    ui::accessibilityElement(parts[2])->accessibilitySetValue(2023.0, A::Value);
    EXPECT_EQ(control->day(), 28);
    EXPECT_EQ(ui::accessibilityAttribute(*control, A::Value), fnd::Value("02/28/2023"));
    ui::accessibilityElement(parts[1])->accessibilityPerformAction(ui::AccessibilityAction::Increment);
    EXPECT_EQ(control->day(), 28) << "the last day steps no further";
    // Nothing is set while the control is disabled.
    control->setEnabled(false);
    EXPECT_FALSE(ui::accessibilityElement(parts[1])->accessibilityIsAttributeSettable(A::Value));
    ui::accessibilityElement(parts[1])->accessibilitySetValue(3.0, A::Value);
    EXPECT_EQ(control->day(), 28);
}

// The program may set the part of the cell being edited: while the person has typed nothing there, the editor shows
// the new number and leaving the cell keeps it (the gesture test's seed 1 put the year shown before back); a number
// typed over it is the person's, and wins.
TEST_F(ZORSmallDateControlTest, AVisitedCellKeepsWhatTheProgramSetMeanwhile)
{
    control->setYear(2000);
    control->editCell(control->yearLocation());
    control->setYear(1999);
    EXPECT_EQ(editor()->string().utf8(), "1999") << "the editor shows the program's number";
    EXPECT_EQ(editor()->selectedRange(), (fnd::Range { 0, 4 }));
    clickCell(control->dayLocation());
    EXPECT_EQ(control->year(), 1999);
    EXPECT_EQ(shown(), "01.01.1999");

    type(u"7");
    control->setDay(3);
    EXPECT_EQ(editor()->string().utf8(), "7") << "what was typed stays";
    tab();
    EXPECT_EQ(control->day(), 7);
}

// A whole new date replaces the edited cell's editor text (what was typed there goes); a part the program sets after
// it, before anything is typed, shows in the editor again and stays when the cell is left.
TEST_F(ZORSmallDateControlTest, ANewDateShownInTheEditorIsNoTypingOfThePerson)
{
    control->editCell(control->monthLocation());
    type(u"9");
    fnd::DateComponents newDate;
    newDate.year = 1994;
    newDate.month = 10;
    newDate.day = 7;
    control->setDate(*fnd::Calendar::current().dateFromComponents(newDate));
    EXPECT_EQ(editor()->string().utf8(), "10");
    control->setMonth(5);
    EXPECT_EQ(editor()->string().utf8(), "05");
    tab();
    EXPECT_EQ(control->month(), 5);
    EXPECT_EQ(shown(), "07.05.1994");
}
