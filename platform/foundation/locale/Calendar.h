#pragma once

#include "platform/foundation/locale/Locale.h"
#include "platform/foundation/locale/TimeZone.h"
#include "platform/foundation/runtime/Value.h"

#include <cstdint>
#include <optional>

namespace fnd {

// Calendar units by the platform's flag values, so stored masks (year | month | ... = 508) keep their meaning.
using CalendarUnitFlags = std::uint32_t;
namespace CalendarUnit {
inline constexpr CalendarUnitFlags Year = 4;
inline constexpr CalendarUnitFlags Month = 8;
inline constexpr CalendarUnitFlags Day = 16;
inline constexpr CalendarUnitFlags Hour = 32;
inline constexpr CalendarUnitFlags Minute = 64;
inline constexpr CalendarUnitFlags Second = 128;
inline constexpr CalendarUnitFlags Week = 256;
inline constexpr CalendarUnitFlags Weekday = 512;
inline constexpr CalendarUnitFlags Nanosecond = 32768;
}

// Parts of a date, or amounts of each unit. Unset parts are nullopt. Months and days count from 1; weekday 1 is
// Sunday; week is the week of the year for a date, and a number of weeks for a difference.
struct DateComponents {
    std::optional<std::int64_t> year;
    std::optional<std::int64_t> month;
    std::optional<std::int64_t> week;
    std::optional<std::int64_t> day;
    std::optional<std::int64_t> hour;
    std::optional<std::int64_t> minute;
    std::optional<std::int64_t> second;
    std::optional<std::int64_t> weekday;
    std::optional<std::int64_t> nanosecond;

    std::optional<std::int64_t> valueForComponent(CalendarUnitFlags unit) const;
    void setValue(std::int64_t value, CalendarUnitFlags unit);

    bool operator==(const DateComponents&) const = default;
};

// The Gregorian calendar in a time zone, over ICU. Wall-clock units (days and larger) follow local time across
// daylight-saving changes; hours and smaller are elapsed time.
class Calendar {
public:
    // The current time zone and locale.
    Calendar();
    static Calendar current() { return {}; }

    const TimeZone& timeZone() const { return m_timeZone; }
    void setTimeZone(const TimeZone& zone) { m_timeZone = zone; }
    const Locale& locale() const { return m_locale; }
    // The locale decides the first day of the week, and so week numbers.
    void setLocale(const Locale& locale) { m_locale = locale; }

    // The requested parts of a date in this calendar's zone.
    DateComponents components(CalendarUnitFlags units, Date date) const;
    // The difference from one date to another in the requested units, largest unit first: Jan 31 to Mar 1 is
    // one month and one day. Negative when the second date is earlier.
    DateComponents components(CalendarUnitFlags units, Date from, Date to) const;
    // The date plus each set amount, largest unit first; nullopt when an amount is out of range.
    std::optional<Date> dateByAddingComponents(const DateComponents& components, Date date) const;
    // The date the parts name; missing parts are the earliest (January, day 1, midnight); out-of-range parts
    // roll over (month 13 is January of the next year). nullopt without a year.
    std::optional<Date> dateFromComponents(const DateComponents& components) const;

private:
    TimeZone m_timeZone;
    Locale m_locale;
};

}
