// A person types a date into the small date control, cell by cell, while the program acts at every step: it sets
// the date or one of its parts (the part being typed into too), disables and enables the control, and takes it out
// of its window and puts it back. A model of the parts and of the edit says what each part holds, what the edited
// cell's editor shows and which cell is edited.
#include "platform/ui/UiTestSupport.h"
#include "support/GestureSeeds.h"

#include "frameworks/small-date-control/ZORSmallDateControl.h"

#include "platform/foundation/locale/Calendar.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/ui/text/TextView.h"

#include <fmt/format.h>
#include <random>

namespace {

using Part = ZORSmallDateControl::Part;

std::int64_t gestureDaysInMonth(std::int64_t month, std::int64_t year)
{
    constexpr std::int64_t days[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

class ZORSmallDateGestureTest : public uitest::KeyWindowTest {
protected:
    ZORSmallDateGestureTest()
        : KeyWindowTest({ 300, 120 })
    {
        backend->setDrawsWindows(false);
    }
    ~ZORSmallDateGestureTest() override { backend->setDrawsWindows(true); }

    struct Parts {
        std::int64_t day { 1 }, month { 1 }, year { 2000 };
        std::int64_t& operator[](Part part) { return part == Part::Day ? day : part == Part::Month ? month : year; }
        // The month and year pull the day down to their month's end; the day alone goes as far as 31.
        void set(Part part, std::int64_t value)
        {
            (*this)[part] = value;
            if (part != Part::Day)
                day = std::min(day, gestureDaysInMonth(month, year));
        }
    };
    struct Edit {
        long cell { -1 };
        std::string shown;
        // What the cell showed as its edit began, or the program set since: an edit ending with it is a visit.
        std::string began;
        bool wholeSelected { false };
        bool active() const { return cell >= 0; }
    };

    void make(const char* locale)
    {
        order = fnd::shortDateOrderForLocale(fnd::Locale(locale));
        control = std::make_shared<ZORSmallDateControl>();
        control->initWithFrame({ 20, 40, 10, 10 }, order);
        add(control);
        inWindow = true;
        enabled = true;
        parts = {};
        edit = {};
    }

    Part partOfCell(long cell) const
    {
        return cell == control->dayLocation() ? Part::Day : cell == control->monthLocation() ? Part::Month : Part::Year;
    }
    std::string stringOf(Part part)
    {
        const auto value = parts[part];
        return part == Part::Year ? fmt::format("{}", value) : fmt::format("{:02}", value);
    }
    std::shared_ptr<ui::TextView> editor() const
    {
        return std::dynamic_pointer_cast<ui::TextView>(window->firstResponder());
    }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }
    bool chance(int percent) { return pick(100) < percent; }

    // The edit ends: the number typed goes into its part when the part takes it; a cell only visited keeps its part.
    void editEnds()
    {
        if (!edit.active())
            return;
        const auto part = partOfCell(edit.cell);
        if (edit.shown != edit.began && !edit.shown.empty()) {
            const auto value = std::stoll(edit.shown);
            const auto highest = part == Part::Day ? gestureDaysInMonth(parts.month, parts.year)
                : part == Part::Month              ? 12
                                                   : 9999;
            const auto lowest = part == Part::Year ? 1000 : 1;
            if (value >= lowest && value <= highest)
                parts.set(part, value);
        }
        edit = {};
    }
    void editBegins(long cell)
    {
        const auto shown = stringOf(partOfCell(cell));
        edit = { cell, shown, shown, true };
    }
    // The program changed the parts: a cell visited but not typed into shows its part's new number.
    void partsChanged()
    {
        if (edit.active() && edit.shown == edit.began) {
            edit.shown = edit.began = stringOf(partOfCell(edit.cell));
            edit.wholeSelected = true;
        }
    }

    void clickCell(long cell)
    {
        auto r = control->rectOfCell(cell);
        backend->click(*window, control->convertPointToView({ r.midX(), r.midY() }, nullptr));
        dispatch();
    }

    std::string personStep()
    {
        // Without an edit the person clicks a cell.
        switch (edit.active() ? pick(10) : 0) {
        case 0:
        case 1: {
            if (!inWindow || !enabled)
                return "no click: the control is not there to click";
            const long cell = pick(3);
            if (edit.active() && edit.cell == cell)
                return "a click into the edited cell (not made)";
            editEnds();
            clickCell(cell);
            editBegins(cell);
            return fmt::format("click cell {}", cell);
        }
        case 2:
        case 3:
        case 4:
        case 5: {
            if (!edit.active())
                return "no digit without an edit";
            const char digit = char('0' + pick(10));
            backend->keyDown(*window, fnd::String(std::string(1, digit)), 0);
            dispatch();
            const std::size_t most = partOfCell(edit.cell) == Part::Year ? 4 : 2;
            if (edit.wholeSelected)
                edit.shown = std::string(1, digit);
            else if (edit.shown.size() < most)
                edit.shown += digit;
            edit.wholeSelected = false;
            return fmt::format("type {}", digit);
        }
        case 6:
            if (!edit.active())
                return "no Delete without an edit";
            backend->keyDown(*window, fnd::String("\x7f"), ui::KeyCode::Delete);
            dispatch();
            if (edit.wholeSelected)
                edit.shown.clear();
            else if (!edit.shown.empty())
                edit.shown.pop_back();
            edit.wholeSelected = false;
            return "Delete";
        default: {
            if (!edit.active())
                return "no Tab without an edit";
            const bool back = chance(30);
            const long from = edit.cell;
            backend->keyDown(*window, u"\t", ui::KeyCode::Tab, back ? ui::ModifierFlags::Shift : 0);
            dispatch();
            editEnds();
            // Alone in the window, the control keeps the keyboard: the walk wraps round its cells.
            editBegins((from + (back ? 2 : 1)) % 3);
            return back ? "Backtab" : "Tab";
        }
        }
    }

    std::string programStep()
    {
        if (!chance(40))
            return {};
        // A control disabled or taken out comes back soon.
        const int what = (!enabled || !inWindow) && chance(50) ? 4 + 2 * !inWindow : pick(8);
        switch (what) {
        case 0:
        case 1: {
            const std::int64_t year = 1990 + pick(40), month = 1 + pick(12), day = 1 + pick(31);
            fnd::DateComponents c;
            c.year = year;
            c.month = month;
            c.day = std::min(day, gestureDaysInMonth(month, year));
            control->setDate(*fnd::Calendar::current().dateFromComponents(c));
            parts.set(Part::Year, year);
            parts.set(Part::Month, month);
            parts.set(Part::Day, *c.day);
            // A whole new date is shown in the edited cell too, over what was typed there.
            if (edit.active()) {
                edit.shown = edit.began = stringOf(partOfCell(edit.cell));
                edit.wholeSelected = true;
            }
            return fmt::format("sets the date to {}-{}-{}", year, month, *c.day);
        }
        case 2:
        case 3: {
            // Often the part being typed into.
            Part part = Part(pick(3));
            if (edit.active() && chance(60))
                part = partOfCell(edit.cell);
            const std::int64_t value = part == Part::Day ? 1 + pick(31)
                : part == Part::Month                    ? 1 + pick(12)
                                                         : 1990 + pick(40);
            if (part == Part::Day)
                control->setDay(value);
            else if (part == Part::Month)
                control->setMonth(value);
            else
                control->setYear(value);
            parts.set(part, value);
            partsChanged();
            return fmt::format("sets part {} to {}", long(part), value);
        }
        case 4:
        case 5:
            if (enabled && !inWindow)
                return {};
            enabled = !enabled;
            control->setEnabled(enabled);
            // Disabled, the control ends its edit as a click elsewhere would, keeping what was typed.
            if (!enabled)
                editEnds();
            return enabled ? "enables the control" : "disables the control";
        default:
            if (inWindow) {
                control->removeFromSuperview();
                inWindow = false;
                editEnds();
                return "takes the control out of its window";
            }
            add(control);
            inWindow = true;
            return "puts the control back";
        }
    }

    void check(const std::string& where)
    {
        EXPECT_EQ(control->day(), parts.day) << where << ": the day";
        EXPECT_EQ(control->month(), parts.month) << where << ": the month";
        EXPECT_EQ(control->year(), parts.year) << where << ": the year";
        EXPECT_EQ(control->isUsingFieldEditor(), edit.active()) << where << ": the edit";
        for (long cell = 0; cell < 3; ++cell) {
            if (edit.active() && cell == edit.cell)
                continue;
            EXPECT_EQ(control->cellAtIndex(cell)->stringValue().utf8(), stringOf(partOfCell(cell)))
                << where << ": cell " << cell << " shows its part";
        }
        if (edit.active() && control->isUsingFieldEditor()) {
            EXPECT_EQ(control->selected(), edit.cell) << where;
            auto shown = editor();
            ASSERT_TRUE(shown && shown->superview() == control) << where << ": the editor is in the control";
            EXPECT_EQ(shown->string().utf8(), edit.shown) << where << ": what was typed stays in its cell";
        }
        for (const auto& view : window->contentView()->subviews())
            EXPECT_FALSE(std::dynamic_pointer_cast<ui::TextView>(view)) << where << ": no editor left in the window";
        // Laid out as a fresh control with the same parts is.
        auto fresh = std::make_shared<ZORSmallDateControl>();
        fresh->initWithFrame({ 20, 40, 10, 10 }, order);
        fresh->setYear(parts.year);
        fresh->setMonth(parts.month);
        fresh->setDay(parts.day);
        EXPECT_EQ(control->frame(), fresh->frame()) << where << ": the control's frame";
        for (long cell = 0; cell < 3; ++cell)
            EXPECT_EQ(control->rectOfCell(cell), fresh->rectOfCell(cell)) << where << ": cell " << cell;
    }

    void runSequence(const char* locale, unsigned seed)
    {
        random.seed(seed);
        make(locale);
        window->makeFirstResponder(control);
        editBegins(0);
        for (int step = 0; step < 120 && !HasFailure(); ++step) {
            std::string what = personStep();
            if (auto acted = programStep(); !acted.empty())
                what += "; the program " + acted;
            const auto where = fmt::format("{} seed {} step {} ({})", locale, seed, step, what);
            try {
                check(where);
            } catch (const fnd::Exception& e) {
                ADD_FAILURE() << where << ": " << e.what();
            }
        }
        if (inWindow)
            control->removeFromSuperview();
    }

    fnd::ShortDateOrder order;
    std::shared_ptr<ZORSmallDateControl> control;
    Parts parts;
    Edit edit;
    bool inWindow { false };
    bool enabled { true };
    std::mt19937 random;
};

TEST_F(ZORSmallDateGestureTest, EachPartHoldsWhatWasTypedIntoItWhateverTheProgramSetsMeanwhile)
{
    const char* const locales[] = { "de_DE", "en_US", "ja_JP" };
    const int seeds = testsupport::gestureSeeds(3);
    for (int seed = 1; seed <= seeds && !HasFailure(); ++seed)
        runSequence(locales[(seed - 1) % 3], unsigned(seed));
}

}
