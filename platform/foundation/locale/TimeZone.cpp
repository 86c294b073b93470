#include "platform/foundation/locale/TimeZone.h"

#include "platform/foundation/detail/ICU.h"
#include "platform/foundation/detail/ICUCalendar.h"

#include <unicode/ucal.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace fnd {

namespace {

detail::CalendarHandle calendarAt(const String& zone, Date date)
{
    UErrorCode status = U_ZERO_ERROR;
    detail::CalendarHandle calendar(
        ucal_open(detail::icuChars(zone), detail::icuLength(zone), "", UCAL_GREGORIAN, &status));
    if (U_FAILURE(status))
        return nullptr;
    ucal_setMillis(calendar.get(), detail::icuMillis(date), &status);
    return calendar;
}

// The canonical form of a known name ("GMT+1:30" becomes "GMT+01:30"); nullopt for an unknown one.
std::optional<String> canonicalID(const String& name)
{
    if (name.isEmpty())
        return std::nullopt;
    UBool isSystemID = false;
    String canonical = detail::icuString([&](UChar* buffer, int32_t capacity, UErrorCode* status) {
        return ucal_getCanonicalTimeZoneID(
            detail::icuChars(name), detail::icuLength(name), buffer, capacity, &isSystemID, status);
    });
    if (canonical.isEmpty() || canonical == String("Etc/Unknown"))
        return std::nullopt;
    return canonical;
}

}

TimeZone::TimeZone()
    : m_name("GMT")
{
}

TimeZone TimeZone::current()
{
    if (const char* tz = std::getenv("TZ"); tz && *tz) {
        std::string_view name(tz);
        if (name.front() == ':')
            name.remove_prefix(1);
        if (auto zone = named(String(name)))
            return *zone;
        return gmt();
    }
    String host = detail::icuString([](UChar* buffer, int32_t capacity, UErrorCode* status) {
        return ucal_getHostTimeZone(buffer, capacity, status);
    });
    return named(host).value_or(gmt());
}

std::optional<TimeZone> TimeZone::named(const String& name)
{
    auto canonical = canonicalID(name);
    if (!canonical)
        return std::nullopt;
    // Keep the name as given ("US/Pacific" stays so); custom offsets take their canonical spelling.
    bool custom = name.units().starts_with(u"GMT") && name.length() > 3;
    return TimeZone(custom ? *canonical : name);
}

std::optional<TimeZone> TimeZone::withSecondsFromGMT(int seconds)
{
    if (seconds == 0)
        return gmt();
    int magnitude = seconds < 0 ? -seconds : seconds;
    if (magnitude > 18 * 3600)
        return std::nullopt;
    int minutes = magnitude / 60;
    char name[16];
    std::snprintf(name, sizeof name, "GMT%c%02d:%02d", seconds < 0 ? '-' : '+', minutes / 60, minutes % 60);
    return named(String(name));
}

int TimeZone::secondsFromGMT(Date date) const
{
    auto calendar = calendarAt(m_name, date);
    if (!calendar)
        return 0;
    UErrorCode status = U_ZERO_ERROR;
    int32_t offset
        = ucal_get(calendar.get(), UCAL_ZONE_OFFSET, &status) + ucal_get(calendar.get(), UCAL_DST_OFFSET, &status);
    return U_SUCCESS(status) ? offset / 1000 : 0;
}

bool TimeZone::isDaylightSavingTime(Date date) const
{
    auto calendar = calendarAt(m_name, date);
    if (!calendar)
        return false;
    UErrorCode status = U_ZERO_ERROR;
    return ucal_get(calendar.get(), UCAL_DST_OFFSET, &status) != 0 && U_SUCCESS(status);
}

}
