// A person types a date into a picker, part by part and a digit at a time, while the program acts between the
// digits: it sets the date, the minimum and the maximum, the locale (another order of the fields) and the elements
// shown (the time or not). After each number typed the date holds it in its part, or the limit it was held to; the
// field typed into stays selected whatever the program did; the program's acts send no action; and the picker shows
// what a fresh picker with the same settings and date shows.
#include "TextTestSupport.h"
#include "support/GestureSeeds.h"

#include "platform/foundation/locale/Calendar.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/ui/text/DatePicker.h"

#include <fmt/format.h>
#include <random>

using namespace ui;
using namespace texttest;

namespace {

class PickerActions : public fnd::Object {
    FND_OBJECT(PickerActions)
    static void describeClass(fnd::ClassBuilder<PickerActions>& c) { c.action("changed:", &PickerActions::changed); }

public:
    void changed(const fnd::Value&) { ++count; }
    int count { 0 };
};
FND_REGISTER_CLASS(PickerActions, fnd::Object)

using Part = DatePickerCell::Part;

const char* const PickerLocales[] = { "en_US", "de_DE", "ja_JP", "en_GB", "fr_FR" };

class DatePickerGestureTest : public TextTest {
protected:
    DatePickerGestureTest() { calendar.setTimeZone(fnd::TimeZone::gmt()); }

    fnd::Date dateOf(long year, long month, long day, long hour = 9, long minute = 30) const
    {
        fnd::DateComponents c;
        c.year = year;
        c.month = month;
        c.day = day;
        c.hour = hour;
        c.minute = minute;
        return *calendar.dateFromComponents(c);
    }
    long partOf(fnd::Date date, Part part) const
    {
        const auto c = calendar.components(fnd::CalendarUnit::Year | fnd::CalendarUnit::Month | fnd::CalendarUnit::Day
                | fnd::CalendarUnit::Hour | fnd::CalendarUnit::Minute,
            date);
        switch (part) {
        case Part::Year:
            return long(c.year.value_or(0));
        case Part::Month:
            return long(c.month.value_or(0));
        case Part::Day:
            return long(c.day.value_or(0));
        case Part::Minute:
            return long(c.minute.value_or(0));
        default:
            return -1;
        }
    }
    static const char* nameOf(Part part)
    {
        switch (part) {
        case Part::Year:
            return "year";
        case Part::Month:
            return "month";
        case Part::Day:
            return "day";
        default:
            return "minute";
        }
    }
    std::shared_ptr<DatePicker> makePicker(const fnd::String& locale, unsigned elements, gfx::Point at) const
    {
        auto made = DatePicker::create({ at, { 260, 24 } });
        made->setTimeZone(fnd::TimeZone::gmt());
        made->setLocale(fnd::Locale(locale));
        made->setDatePickerElements(elements);
        return made;
    }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }
    bool chance(int percent) { return pick(100) < percent; }

    std::optional<std::size_t> fieldOf(Part part) const
    {
        const auto& pieces = picker->datePickerCell()->pieces();
        for (std::size_t i = 0; i < pieces.size(); ++i)
            if (pieces[i].isField && pieces[i].part == part)
                return i;
        return std::nullopt;
    }
    void clickField(Part part)
    {
        auto field = fieldOf(part);
        ASSERT_TRUE(field);
        const auto rect = picker->datePickerCell()->pieceRectsForBounds(picker->bounds())[*field];
        click(*picker, { rect.midX(), rect.midY() });
    }

    std::string programStep(Part typingInto)
    {
        if (!chance(50))
            return {};
        auto& cell = *picker->datePickerCell();
        switch (pick(6)) {
        case 0: {
            const auto date = dateOf(1990 + pick(40), 1 + pick(12), 1 + pick(28));
            picker->setDateValue(date);
            return fmt::format("sets the date to {}", picker->stringValue().utf8());
        }
        case 1:
        case 2: {
            // A range around the date now and then, or none.
            if (chance(30)) {
                picker->setMinDate(std::nullopt);
                picker->setMaxDate(std::nullopt);
                return "drops the limits";
            }
            const int from = 1990 + pick(30);
            const auto min = dateOf(from, 1 + pick(12), 1 + pick(28), 0, 0);
            const auto max = dateOf(from + 1 + pick(10), 1 + pick(12), 1 + pick(28), 23, 59);
            picker->setMinDate(std::nullopt);
            picker->setMaxDate(max);
            picker->setMinDate(min);
            return fmt::format("limits the date to {} ... {}", from, partOf(max, Part::Year));
        }
        case 3:
        case 4: {
            const auto locale = fnd::String(PickerLocales[pick(5)]);
            picker->setLocale(fnd::Locale(locale));
            return "takes the locale " + locale.utf8();
        }
        default: {
            const bool withTime = cell.datePickerElements() & DatePickerElementFlags::HourMinute;
            // The field typed into stays shown.
            if (withTime && typingInto == Part::Minute)
                return {};
            picker->setDatePickerElements(
                DatePickerElementFlags::YearMonthDay | (withTime ? 0 : DatePickerElementFlags::HourMinute));
            return withTime ? "shows the date alone" : "shows the time too";
        }
        }
    }

    // The number the person types into a part: whole, in as many digits as the field takes.
    std::pair<Part, std::u16string> nextNumber()
    {
        const bool withTime = picker->datePickerCell()->datePickerElements() & DatePickerElementFlags::HourMinute;
        const int parts = withTime ? 4 : 3;
        const Part part = std::array { Part::Month, Part::Day, Part::Year, Part::Minute }[std::size_t(pick(parts))];
        std::string digits;
        switch (part) {
        case Part::Year:
            digits = std::to_string(1985 + pick(50));
            break;
        case Part::Month:
            digits = fmt::format("{:02}", 1 + pick(12));
            break;
        case Part::Day:
            digits = fmt::format("{:02}", 1 + pick(28));
            break;
        default:
            digits = fmt::format("{:02}", pick(60));
            break;
        }
        return { part, std::u16string(digits.begin(), digits.end()) };
    }

    // What a fresh picker with the same settings and date shows: its text and where each piece is.
    std::string shownBy(DatePicker& p) const
    {
        std::string out = p.stringValue().utf8() + " |";
        for (const auto& rect : p.datePickerCell()->pieceRectsForBounds(p.bounds()))
            out += fmt::format(" {}+{}", int(rect.minX()), int(rect.width()));
        return out;
    }
    std::string freshlyShown() const
    {
        auto& cell = *picker->datePickerCell();
        auto fresh = makePicker(cell.locale().localeIdentifier(), cell.datePickerElements(), picker->frame().origin);
        fresh->setMinDate(cell.minDate());
        fresh->setMaxDate(cell.maxDate());
        fresh->setDateValue(cell.dateValue());
        return shownBy(*fresh);
    }

    void checkAlways(const std::string& where, std::optional<Part> typingInto)
    {
        auto& cell = *picker->datePickerCell();
        ASSERT_TRUE(cell.dateValue()) << where;
        const auto date = *cell.dateValue();
        if (cell.minDate()) {
            EXPECT_GE(date.timeIntervalSince(*cell.minDate()), 0) << where << ": not before the minimum";
        }
        if (cell.maxDate()) {
            EXPECT_LE(date.timeIntervalSince(*cell.maxDate()), 0) << where << ": not after the maximum";
        }
        if (typingInto) {
            ASSERT_TRUE(cell.selectedField()) << where << ": a field stays selected";
            EXPECT_STREQ(nameOf(cell.pieces()[*cell.selectedField()].part), nameOf(*typingInto))
                << where << ": the field typed into stays selected";
        }
    }

    void runSequence(unsigned seed, int numbers)
    {
        random.seed(seed);
        picker = makePicker("en_US", DatePickerElementFlags::YearMonthDay, { 20, 240 });
        picker->setDateValue(dateOf(2024, 1, 15));
        picker->setTarget(actions);
        picker->setAction("changed:");
        add(picker);
        window->makeFirstResponder(picker);
        for (int number = 0; number < numbers && !HasFailure(); ++number) {
            auto [part, digits] = nextNumber();
            clickField(part);
            std::string what = fmt::format(
                "seed {} number {}: {} typed into the {}", seed, number, fnd::String(digits).utf8(), nameOf(part));
            for (std::size_t i = 0; i < digits.size() && !HasFailure(); ++i) {
                type(std::u16string(1, digits[i]));
                const bool last = i + 1 == digits.size();
                // A field whose last digit is typed lets the selection move on; until then the program acts.
                if (last)
                    break;
                const int before = actions->count;
                if (auto acted = programStep(part); !acted.empty())
                    what += "; the program " + acted;
                EXPECT_EQ(actions->count, before) << what << ": the program's acts send no action";
                checkAlways(what, part);
            }
            checkAlways(what, std::nullopt);
            // The part holds the number, unless the limits held the date back.
            auto& cell = *picker->datePickerCell();
            const auto date = *cell.dateValue();
            const long typed = std::stol(fnd::String(digits).utf8());
            const bool atLimit
                = (cell.minDate() && date == *cell.minDate()) || (cell.maxDate() && date == *cell.maxDate());
            if (!atLimit) {
                EXPECT_EQ(partOf(date, part), typed)
                    << what << ": the date holds what was typed, " << picker->stringValue().utf8();
            }
            EXPECT_EQ(shownBy(*picker), freshlyShown()) << what << ": the picker shows what a fresh one shows";
        }
        picker->removeFromSuperview();
    }

    fnd::Calendar calendar;
    std::shared_ptr<DatePicker> picker;
    std::shared_ptr<PickerActions> actions = std::make_shared<PickerActions>();
    std::mt19937 random;
};

TEST_F(DatePickerGestureTest, EachNumberTypedLandsInItsPartWhateverTheProgramSetsMeanwhile)
{
    const int seeds = testsupport::gestureSeeds(3);
    for (int seed = 1; seed <= seeds && !HasFailure(); ++seed) {
        try {
            runSequence(unsigned(seed), 30);
        } catch (const fnd::Exception& e) {
            ADD_FAILURE() << "seed " << seed << ": " << e.what();
        }
    }
}

}
