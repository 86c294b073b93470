#include "platform/foundation/locale/Calendar.h"
#include "platform/foundation/locale/DateFormatter.h"
#include "platform/foundation/locale/TimeZone.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace fnd;

namespace {

constexpr CalendarUnitFlags AllDifferenceUnits = 508; // year, month, week, day, hour, minute, second

Calendar berlinCalendar()
{
    Calendar calendar;
    calendar.setTimeZone(TimeZone::named("Europe/Berlin").value());
    calendar.setLocale(Locale("de_DE"));
    return calendar;
}

Date at(const Calendar& calendar, int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    DateComponents parts;
    parts.year = year;
    parts.month = month;
    parts.day = day;
    parts.hour = hour;
    parts.minute = minute;
    parts.second = second;
    return calendar.dateFromComponents(parts).value();
}

// "1y 2mo 0w 3d 4h 5min 6s", unset parts left out.
std::string describe(const DateComponents& c)
{
    std::string out;
    auto add = [&](const std::optional<std::int64_t>& value, const char* unit) {
        if (!value)
            return;
        if (!out.empty())
            out += ' ';
        out += std::to_string(*value);
        out += unit;
    };
    add(c.year, "y");
    add(c.month, "mo");
    add(c.week, "w");
    add(c.day, "d");
    add(c.hour, "h");
    add(c.minute, "min");
    add(c.second, "s");
    return out;
}

}

TEST(Calendar, DifferencesAcrossMonthEndsLeapDaysAndDaylightSaving)
{
    Calendar calendar = berlinCalendar();
    struct Case {
        const char* what;
        CalendarUnitFlags units;
        Date from;
        Date to;
        const char* expected;
    };
    const Case cases[] = {
        { "month end clamps", AllDifferenceUnits, at(calendar, 2021, 1, 31), at(calendar, 2021, 2, 28),
            "0y 1mo 0w 0d 0h 0min 0s" },
        { "past a short month", AllDifferenceUnits, at(calendar, 2021, 1, 31), at(calendar, 2021, 3, 1),
            "0y 1mo 0w 1d 0h 0min 0s" },
        { "backwards", AllDifferenceUnits, at(calendar, 2021, 3, 1), at(calendar, 2021, 1, 31),
            "0y -1mo 0w -1d 0h 0min 0s" },
        { "leap day", CalendarUnit::Day, at(calendar, 2020, 2, 28), at(calendar, 2020, 3, 1), "2d" },
        { "no leap day", CalendarUnit::Day, at(calendar, 2021, 2, 28), at(calendar, 2021, 3, 1), "1d" },
        { "weeks then days", AllDifferenceUnits, at(calendar, 2021, 1, 1), at(calendar, 2021, 1, 20, 5, 6, 7),
            "0y 0mo 2w 5d 5h 6min 7s" },
        { "years", CalendarUnit::Year | CalendarUnit::Day, at(calendar, 2016, 2, 29), at(calendar, 2021, 3, 1),
            "5y 1d" },
        // 2021-03-28 has 23 hours in Berlin: a calendar day, but 23 elapsed hours.
        { "spring forward, days", CalendarUnit::Day | CalendarUnit::Hour, at(calendar, 2021, 3, 27, 12),
            at(calendar, 2021, 3, 28, 12), "1d 0h" },
        { "spring forward, hours", CalendarUnit::Hour, at(calendar, 2021, 3, 27, 12), at(calendar, 2021, 3, 28, 12),
            "23h" },
        { "fall back, hours", CalendarUnit::Hour, at(calendar, 2021, 10, 30, 12), at(calendar, 2021, 10, 31, 12),
            "25h" },
        { "ninety minutes ago", AllDifferenceUnits, at(calendar, 2021, 6, 1, 12), at(calendar, 2021, 6, 1, 10, 30),
            "0y 0mo 0w 0d -1h -30min 0s" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(describe(calendar.components(c.units, c.from, c.to)), c.expected) << c.what;
}

TEST(Calendar, ComponentsOfADateAreInTheCalendarsZone)
{
    Date newYearUTC = Date::fromUnixTime(1609459200.25); // 2021-01-01 00:00:00.25 UTC
    const CalendarUnitFlags units = CalendarUnit::Year | CalendarUnit::Month | CalendarUnit::Day | CalendarUnit::Hour
        | CalendarUnit::Week | CalendarUnit::Weekday | CalendarUnit::Nanosecond;

    auto berlin = berlinCalendar().components(units, newYearUTC);
    EXPECT_EQ(describe(berlin), "2021y 1mo 53w 1d 1h"); // ISO weeks: the Friday belongs to week 53 of 2020
    EXPECT_EQ(berlin.weekday, 6);
    EXPECT_EQ(berlin.nanosecond, 250000000);

    Calendar newYork;
    newYork.setTimeZone(TimeZone::named("America/New_York").value());
    newYork.setLocale(Locale("en_US"));
    EXPECT_EQ(describe(newYork.components(units, newYearUTC)), "2020y 12mo 1w 31d 19h");
    EXPECT_EQ(newYork.components(CalendarUnit::Second, newYearUTC).valueForComponent(CalendarUnit::Second), 0);
}

TEST(Calendar, AddingKeepsWallClockForDaysAndClampsMonths)
{
    Calendar calendar = berlinCalendar();
    struct Case {
        Date start;
        DateComponents amount;
        Date expected;
    };
    auto amount = [](CalendarUnitFlags unit, std::int64_t value) {
        DateComponents c;
        c.setValue(value, unit);
        return c;
    };
    const Case cases[] = {
        { at(calendar, 2021, 1, 31), amount(CalendarUnit::Month, 1), at(calendar, 2021, 2, 28) },
        { at(calendar, 2020, 2, 29), amount(CalendarUnit::Year, 1), at(calendar, 2021, 2, 28) },
        { at(calendar, 2021, 3, 27, 12), amount(CalendarUnit::Day, 1), at(calendar, 2021, 3, 28, 12) },
        { at(calendar, 2021, 3, 27, 12), amount(CalendarUnit::Hour, 24), at(calendar, 2021, 3, 28, 13) },
        { at(calendar, 2021, 12, 31, 23, 59, 59), amount(CalendarUnit::Second, 1), at(calendar, 2022, 1, 1) },
        { at(calendar, 2021, 1, 1), amount(CalendarUnit::Week, -1), at(calendar, 2020, 12, 25) },
    };
    for (const Case& c : cases) {
        auto result = calendar.dateByAddingComponents(c.amount, c.start);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->timeIntervalSinceReferenceDate(), c.expected.timeIntervalSinceReferenceDate())
            << describe(c.amount);
    }
    EXPECT_FALSE(calendar.dateByAddingComponents(amount(CalendarUnit::Day, std::int64_t(1) << 40), Date()));
}

TEST(Calendar, DatesFromComponentsRollOverAndNeedAYear)
{
    Calendar calendar = berlinCalendar();
    DateComponents parts;
    EXPECT_EQ(calendar.dateFromComponents(parts), std::nullopt);
    parts.year = 2021;
    parts.month = 13;
    parts.day = 1;
    Date rolled = calendar.dateFromComponents(parts).value();
    EXPECT_EQ(describe(calendar.components(CalendarUnit::Year | CalendarUnit::Month | CalendarUnit::Day, rolled)),
        "2022y 1mo 1d");
    // Midnight in Berlin is 23:00 UTC the day before in winter.
    EXPECT_EQ(rolled.timeIntervalSince1970(), 1640991600.0);
}

TEST(TimeZone, NamesOffsetsAndDaylightSaving)
{
    auto berlin = TimeZone::named("Europe/Berlin").value();
    Date winter = Date::fromUnixTime(1609459200); // 2021-01-01
    Date summer = Date::fromUnixTime(1625097600); // 2021-07-01
    EXPECT_EQ(berlin.secondsFromGMT(winter), 3600);
    EXPECT_EQ(berlin.secondsFromGMT(summer), 7200);
    EXPECT_FALSE(berlin.isDaylightSavingTime(winter));
    EXPECT_TRUE(berlin.isDaylightSavingTime(summer));
    EXPECT_EQ(TimeZone::gmt().secondsFromGMT(summer), 0);

    EXPECT_EQ(TimeZone::named("Mars/Olympus_Mons"), std::nullopt);
    EXPECT_EQ(TimeZone::named(""), std::nullopt);
    EXPECT_EQ(TimeZone::named("US/Pacific")->name(), String("US/Pacific"));

    auto fixed = TimeZone::withSecondsFromGMT(-5400).value();
    EXPECT_EQ(fixed.name(), String("GMT-01:30"));
    EXPECT_EQ(fixed.secondsFromGMT(summer), -5400);
    EXPECT_EQ(TimeZone::withSecondsFromGMT(19 * 3600), std::nullopt);
}

TEST(TimeZone, CurrentFollowsTZ)
{
    const char* saved = std::getenv("TZ");
    std::string old = saved ? saved : "";
    setenv("TZ", "Asia/Tokyo", 1);
    EXPECT_EQ(TimeZone::current().name(), String("Asia/Tokyo"));
    setenv("TZ", ":Europe/Paris", 1);
    EXPECT_EQ(TimeZone::current().name(), String("Europe/Paris"));
    setenv("TZ", "Nowhere/Special", 1);
    EXPECT_EQ(TimeZone::current().name(), String("GMT"));
    if (saved)
        setenv("TZ", old.c_str(), 1);
    else
        unsetenv("TZ");
}

TEST(DateFormatter, FormatsAndParsesWithAPatternInItsZone)
{
    DateFormatter formatter;
    formatter.setLocale(Locale("en_US"));
    formatter.setTimeZone(TimeZone::named("Europe/Berlin").value());
    formatter.setDateFormat("yyyy-MM-dd HH:mm:ss");
    Date date = Date::fromUnixTime(1625097600); // 2021-07-01 00:00 UTC
    EXPECT_EQ(formatter.stringFromDate(date), String("2021-07-01 02:00:00"));
    EXPECT_EQ(formatter.dateFromString("2021-07-01 02:00:00"), date);

    struct Case {
        const char* text;
        bool parses;
    };
    for (Case c : { Case { "2021-07-01 02:00:00 extra", false }, Case { "2021-13-01 02:00:00", false },
             Case { "yesterday", false }, Case { "", false } })
        EXPECT_EQ(formatter.dateFromString(c.text).has_value(), c.parses) << c.text;

    EXPECT_TRUE(formatter.getObjectValue("")->isNil());
    EXPECT_FALSE(formatter.getObjectValue("2021"));
    EXPECT_EQ(formatter.stringForObjectValue(date), String("2021-07-01 02:00:00"));
    EXPECT_EQ(formatter.stringForObjectValue(12), std::nullopt);

    formatter.setLocale(Locale("de_DE"));
    formatter.setDateFormat("EEEE, d. MMMM yyyy");
    EXPECT_EQ(formatter.stringFromDate(date), String("Donnerstag, 1. Juli 2021"));
}

TEST(DateFormatter, CalendarFormatDirectives)
{
    Date date = Date::fromUnixTime(1609459200.25); // 2021-01-01 00:00:00.250 UTC
    auto berlin = TimeZone::named("Europe/Berlin").value();
    auto newYork = TimeZone::named("America/New_York").value();
    Locale english("en_US");
    struct Case {
        const char* format;
        const TimeZone& zone;
        const char* expected;
    };
    const Case cases[] = {
        { "%Y%m%d%H%M%S%z%F", berlin, "20210101010000+0100250" },
        { "%Y%m%d%H%M%S%z%F", newYork, "20201231190000-0500250" },
        { "%y-%e-%j %I %p", newYork, "20-31-366 07 PM" },
        { "%a %A %b %B %w", newYork, "Thu Thursday Dec December 4" },
        { "100%% %q 'quoted'", berlin, "100% %q 'quoted'" },
        { "%", berlin, "%" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(descriptionWithCalendarFormat(date, c.format, c.zone, english), String(c.expected)) << c.format;
}
