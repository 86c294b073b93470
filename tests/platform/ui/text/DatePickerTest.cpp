#include "TextTestSupport.h"

#include "platform/foundation/locale/Calendar.h"
#include "platform/ui/text/DatePicker.h"

using namespace ui;
using namespace texttest;

namespace {

class Changes : public fnd::Object {
    FND_OBJECT(Changes)
    static void describeClass(fnd::ClassBuilder<Changes>& c) { c.action("changed:", &Changes::changed); }

public:
    void changed(const fnd::Value&) { ++count; }
    int count { 0 };
};
FND_REGISTER_CLASS(Changes, fnd::Object)

fnd::Date dateOf(long year, long month, long day, long hour = 0, long minute = 0)
{
    fnd::Calendar calendar;
    calendar.setTimeZone(fnd::TimeZone::gmt());
    fnd::DateComponents c;
    c.year = year;
    c.month = month;
    c.day = day;
    c.hour = hour;
    c.minute = minute;
    return *calendar.dateFromComponents(c);
}

class DatePickerTest : public TextTest {
protected:
    std::shared_ptr<DatePicker> makePicker(const char* locale, unsigned elements = DatePickerElementFlags::YearMonthDay)
    {
        auto picker = DatePicker::create({ 20, 240, 200, 24 });
        picker->setTimeZone(fnd::TimeZone::gmt());
        picker->setLocale(fnd::Locale(locale));
        picker->setDatePickerElements(elements);
        picker->setDateValue(dateOf(2024, 1, 31));
        picker->setTarget(changes);
        picker->setAction("changed:");
        add(picker);
        return picker;
    }
    // The parts in the order shown: "M/d/y" style, letters for fields and the literals between.
    static std::string layout(DatePicker& picker)
    {
        std::string out;
        for (const auto& piece : picker.datePickerCell()->pieces())
            out += piece.isField ? std::string(static_cast<std::size_t>(piece.count), static_cast<char>(piece.letter))
                                 : piece.literal.utf8();
        return out;
    }
    std::shared_ptr<Changes> changes = std::make_shared<Changes>();
};

}

TEST_F(DatePickerTest, FieldsFollowTheLocalesOrderAndSeparators)
{
    struct Case {
        const char* locale;
        const char* layout;
        const char* text;
    };
    const Case cases[] = {
        { "en_US", "M/d/y", "1/31/2024" },
        { "de_DE", "d.M.y", "31.1.2024" },
        { "ja_JP", "y/M/d", "2024/1/31" },
    };
    for (const auto& c : cases) {
        auto picker = makePicker(c.locale);
        std::string compact;
        for (const auto& piece : picker->datePickerCell()->pieces())
            compact += piece.isField
                ? std::string(static_cast<std::size_t>(piece.count), static_cast<char>(piece.letter))
                : piece.literal.utf8();
        EXPECT_EQ(compact, c.layout) << c.locale;
        EXPECT_EQ(picker->stringValue().utf8(), c.text) << c.locale;
        picker->removeFromSuperview();
    }
    // With the time: the locale's clock and its half of the day.
    auto both = makePicker("en_US", DatePickerElementFlags::YearMonthDay | DatePickerElementFlags::HourMinute);
    both->setDateValue(dateOf(2024, 1, 31, 15, 7));
    EXPECT_EQ(both->stringValue().utf8().substr(0, 9), "1/31/2024");
    EXPECT_NE(both->stringValue().utf8().find("3:07"), std::string::npos) << both->stringValue().utf8();
    EXPECT_NE(both->stringValue().utf8().find("PM"), std::string::npos);
    auto german = makePicker("de_DE", DatePickerElementFlags::HourMinute);
    german->setDateValue(dateOf(2024, 1, 31, 15, 7));
    EXPECT_EQ(german->stringValue().utf8(), "15:07");
}

TEST_F(DatePickerTest, TypingAndSteppingChangeOneFieldWithinItsRange)
{
    auto picker = makePicker("en_US");
    window->makeFirstResponder(picker);
    auto cell = picker->datePickerCell();
    ASSERT_TRUE(cell->selectedField());
    EXPECT_EQ(cell->pieces()[*cell->selectedField()].letter, u'M') << "the first field";
    // Two digits fill the month and move on to the day.
    type(u"02");
    EXPECT_EQ(picker->stringValue().utf8(), "2/29/2024") << "the 31st of February is its last day";
    EXPECT_EQ(cell->pieces()[*cell->selectedField()].letter, u'd');
    key(FunctionKey::UpArrow, KeyCode::UpArrow);
    EXPECT_EQ(picker->stringValue().utf8(), "2/1/2024") << "the day wraps within the month";
    key(FunctionKey::DownArrow, KeyCode::DownArrow);
    key(FunctionKey::DownArrow, KeyCode::DownArrow);
    EXPECT_EQ(picker->stringValue().utf8(), "2/28/2024");
    // A 4 can only be a day: it is taken at once.
    type(u"4");
    EXPECT_EQ(picker->stringValue().utf8(), "2/4/2024");
    EXPECT_EQ(cell->pieces()[*cell->selectedField()].letter, u'y');
    type(u"1999");
    EXPECT_EQ(picker->stringValue().utf8(), "2/4/1999");
    EXPECT_EQ(changes->count, 6) << "one action per change of the date";
    // Tab leaves the last field for the next key view; letters are not taken.
    type(u"x");
    EXPECT_EQ(picker->stringValue().utf8(), "2/4/1999");
}

TEST_F(DatePickerTest, TheDateStaysBetweenTheMinimumAndMaximum)
{
    auto picker = makePicker("en_US");
    picker->setMinDate(dateOf(2024, 1, 15));
    picker->setMaxDate(dateOf(2024, 2, 10));
    window->makeFirstResponder(picker);
    key(FunctionKey::UpArrow, KeyCode::UpArrow); // February 29th is past the maximum
    EXPECT_EQ(picker->stringValue().utf8(), "2/10/2024");
    picker->setDateValue(dateOf(2023, 6, 1));
    EXPECT_EQ(picker->stringValue().utf8(), "1/15/2024");
}

TEST_F(DatePickerTest, TheMouseSelectsFieldsAndTheStepperStepsThem)
{
    auto picker = makePicker("en_US");
    auto cell = picker->datePickerCell();
    auto rects = cell->pieceRectsForBounds(picker->bounds());
    // The day field is the third piece: M / d / y.
    click(*picker, { rects[2].midX(), rects[2].midY() });
    EXPECT_EQ(window->firstResponder(), picker);
    EXPECT_EQ(cell->selectedField(), std::optional<std::size_t>(2));
    auto stepper = cell->stepperRectForBounds(picker->bounds());
    ASSERT_FALSE(stepper.isEmpty());
    click(*picker, { stepper.midX(), stepper.minY() + 4 }); // flipped: the top half is up
    EXPECT_EQ(picker->stringValue().utf8(), "1/1/2024");
    click(*picker, { stepper.midX(), stepper.maxY() - 4 });
    EXPECT_EQ(picker->stringValue().utf8(), "1/31/2024");
    snapshot("date-picker");
    // The plain text style has no stepper.
    picker->setDatePickerStyle(DatePickerStyle::TextField);
    EXPECT_TRUE(cell->stepperRectForBounds(picker->bounds()).isEmpty());
}

TEST_F(DatePickerTest, TheClockStepsWithinItsCycleAndTakesTheHalfOfTheDay)
{
    auto picker = makePicker("en_US", DatePickerElementFlags::HourMinute);
    picker->setDateValue(dateOf(2024, 1, 31, 11, 58));
    EXPECT_EQ(layout(*picker), "h:mm\u202Fa"); // the locale puts a narrow no-break space before the half of the day
    window->makeFirstResponder(picker);
    key(FunctionKey::UpArrow, KeyCode::UpArrow); // 11 → 12 on the twelve-hour clock: noon
    EXPECT_EQ(picker->stringValue().utf8().substr(0, 5), "12:58");
    EXPECT_NE(picker->stringValue().utf8().find("PM"), std::string::npos);
    key(FunctionKey::RightArrow, KeyCode::RightArrow);
    key(FunctionKey::UpArrow, KeyCode::UpArrow);
    key(FunctionKey::UpArrow, KeyCode::UpArrow);
    EXPECT_EQ(picker->stringValue().utf8().substr(0, 5), "12:00") << "minutes wrap without touching the hour";
    key(FunctionKey::RightArrow, KeyCode::RightArrow);
    type(u"a");
    EXPECT_NE(picker->stringValue().utf8().find("AM"), std::string::npos);
    EXPECT_EQ(picker->stringValue().utf8().substr(0, 5), "12:00") << "midnight";
}

// The program may change the locale while the person types: the field typed into stays selected, with the digits
// typed so far, wherever the new order puts it (the gesture test's seed 1 lost the selection, and the next digit
// went into the first field).
TEST_F(DatePickerTest, AChangeOfLocaleKeepsTheFieldBeingTypedInto)
{
    auto picker = makePicker("en_US");
    window->makeFirstResponder(picker);
    auto cell = picker->datePickerCell();
    EXPECT_EQ(cell->pieces()[*cell->selectedField()].letter, u'M');
    type(u"1");
    picker->setLocale(fnd::Locale("de_DE"));
    ASSERT_TRUE(cell->selectedField());
    EXPECT_EQ(cell->pieces()[*cell->selectedField()].letter, u'M') << "the month, now the second field";
    type(u"2");
    EXPECT_EQ(picker->stringValue().utf8(), "31.12.2024") << "the month took both digits";
    EXPECT_EQ(cell->pieces()[*cell->selectedField()].letter, u'y') << "then the field after it in this order";
    // A layout without the field typed into selects none.
    picker->setDatePickerElements(DatePickerElementFlags::HourMinute);
    EXPECT_FALSE(cell->selectedField());
}
