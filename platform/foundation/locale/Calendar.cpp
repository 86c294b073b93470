#include "platform/foundation/locale/Calendar.h"

#include "platform/foundation/detail/ICU.h"
#include "platform/foundation/detail/ICUCalendar.h"

#include <unicode/ucal.h>

#include <array>
#include <cmath>
#include <limits>
#include <memory>

namespace fnd {

namespace {

struct UnitField {
    CalendarUnitFlags unit;
    UCalendarDateFields field;
    std::optional<std::int64_t> DateComponents::*member;
};

// Largest first: differences and additions take the units in this order.
constexpr std::array<UnitField, 7> orderedUnits { {
    { CalendarUnit::Year, UCAL_YEAR, &DateComponents::year },
    { CalendarUnit::Month, UCAL_MONTH, &DateComponents::month },
    { CalendarUnit::Week, UCAL_WEEK_OF_YEAR, &DateComponents::week },
    { CalendarUnit::Day, UCAL_DATE, &DateComponents::day },
    { CalendarUnit::Hour, UCAL_HOUR_OF_DAY, &DateComponents::hour },
    { CalendarUnit::Minute, UCAL_MINUTE, &DateComponents::minute },
    { CalendarUnit::Second, UCAL_SECOND, &DateComponents::second },
} };

detail::CalendarHandle open(const TimeZone& zone, const Locale& locale)
{
    UErrorCode status = U_ZERO_ERROR;
    const String& name = zone.name();
    detail::CalendarHandle calendar(
        ucal_open(detail::icuChars(name), detail::icuLength(name), locale.icuName().c_str(), UCAL_GREGORIAN, &status));
    if (U_FAILURE(status))
        return nullptr;
    return calendar;
}

bool fitsInt32(std::int64_t value)
{
    return value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max();
}

}

std::optional<std::int64_t> DateComponents::valueForComponent(CalendarUnitFlags unit) const
{
    for (const auto& entry : orderedUnits) {
        if (entry.unit == unit)
            return this->*entry.member;
    }
    if (unit == CalendarUnit::Weekday)
        return weekday;
    if (unit == CalendarUnit::Nanosecond)
        return nanosecond;
    return std::nullopt;
}

void DateComponents::setValue(std::int64_t value, CalendarUnitFlags unit)
{
    for (const auto& entry : orderedUnits) {
        if (entry.unit == unit)
            this->*entry.member = value;
    }
    if (unit == CalendarUnit::Weekday)
        weekday = value;
    if (unit == CalendarUnit::Nanosecond)
        nanosecond = value;
}

Calendar::Calendar()
    : m_timeZone(TimeZone::current())
    , m_locale(Locale::current())
{
}

DateComponents Calendar::components(CalendarUnitFlags units, Date date) const
{
    DateComponents out;
    auto calendar = open(m_timeZone, m_locale);
    if (!calendar)
        return out;
    UErrorCode status = U_ZERO_ERROR;
    ucal_setMillis(calendar.get(), detail::icuMillis(date), &status);
    for (const auto& entry : orderedUnits) {
        if (units & entry.unit)
            out.*entry.member = ucal_get(calendar.get(), entry.field, &status);
    }
    if (out.month)
        *out.month += 1; // ICU counts months from 0
    if (units & CalendarUnit::Weekday)
        out.weekday = ucal_get(calendar.get(), UCAL_DAY_OF_WEEK, &status);
    if (units & CalendarUnit::Nanosecond) {
        double seconds = date.timeIntervalSince1970();
        out.nanosecond = static_cast<std::int64_t>(std::round((seconds - std::floor(seconds)) * 1e9));
    }
    if (U_FAILURE(status))
        return {};
    return out;
}

DateComponents Calendar::components(CalendarUnitFlags units, Date from, Date to) const
{
    DateComponents out;
    auto calendar = open(m_timeZone, m_locale);
    if (!calendar)
        return out;
    UErrorCode status = U_ZERO_ERROR;
    ucal_setMillis(calendar.get(), detail::icuMillis(from), &status);
    // Each difference moves the calendar on by the whole units found, so the next unit counts the rest.
    for (const auto& entry : orderedUnits) {
        if (units & entry.unit)
            out.*entry.member = ucal_getFieldDifference(calendar.get(), detail::icuMillis(to), entry.field, &status);
    }
    if (units & CalendarUnit::Nanosecond) {
        UDate reached = ucal_getMillis(calendar.get(), &status);
        out.nanosecond = static_cast<std::int64_t>(std::round((detail::icuMillis(to) - reached) * 1e6));
    }
    if (U_FAILURE(status))
        return {};
    return out;
}

std::optional<Date> Calendar::dateByAddingComponents(const DateComponents& components, Date date) const
{
    auto calendar = open(m_timeZone, m_locale);
    if (!calendar)
        return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    ucal_setMillis(calendar.get(), detail::icuMillis(date), &status);
    for (const auto& entry : orderedUnits) {
        const auto& amount = components.*entry.member;
        if (!amount || *amount == 0)
            continue;
        if (!fitsInt32(*amount))
            return std::nullopt;
        ucal_add(calendar.get(), entry.field, static_cast<int32_t>(*amount), &status);
    }
    if (U_FAILURE(status))
        return std::nullopt;
    Date result = detail::dateFromIcuMillis(ucal_getMillis(calendar.get(), &status));
    if (components.nanosecond)
        result = result.addingTimeInterval(static_cast<double>(*components.nanosecond) / 1e9);
    return U_SUCCESS(status) ? std::optional(result) : std::nullopt;
}

std::optional<Date> Calendar::dateFromComponents(const DateComponents& components) const
{
    if (!components.year)
        return std::nullopt;
    auto calendar = open(m_timeZone, m_locale);
    if (!calendar)
        return std::nullopt;
    auto value = [](const std::optional<std::int64_t>& part, std::int64_t fallback) { return part.value_or(fallback); };
    const std::int64_t parts[] = { *components.year, value(components.month, 1) - 1, value(components.day, 1),
        value(components.hour, 0), value(components.minute, 0), value(components.second, 0) };
    for (std::int64_t part : parts) {
        if (!fitsInt32(part))
            return std::nullopt;
    }
    ucal_clear(calendar.get());
    ucal_setAttribute(calendar.get(), UCAL_LENIENT, 1);
    ucal_set(calendar.get(), UCAL_YEAR, static_cast<int32_t>(parts[0]));
    ucal_set(calendar.get(), UCAL_MONTH, static_cast<int32_t>(parts[1]));
    ucal_set(calendar.get(), UCAL_DATE, static_cast<int32_t>(parts[2]));
    ucal_set(calendar.get(), UCAL_HOUR_OF_DAY, static_cast<int32_t>(parts[3]));
    ucal_set(calendar.get(), UCAL_MINUTE, static_cast<int32_t>(parts[4]));
    ucal_set(calendar.get(), UCAL_SECOND, static_cast<int32_t>(parts[5]));
    UErrorCode status = U_ZERO_ERROR;
    Date result = detail::dateFromIcuMillis(ucal_getMillis(calendar.get(), &status));
    if (U_FAILURE(status))
        return std::nullopt;
    if (components.nanosecond)
        result = result.addingTimeInterval(static_cast<double>(*components.nanosecond) / 1e9);
    return result;
}

}
