#pragma once

#include "platform/foundation/runtime/String.h"
#include "platform/foundation/runtime/Value.h"

#include <optional>

namespace fnd {

// A time zone by its tz database name ("Europe/Berlin") or a fixed offset from GMT. A value type.
class TimeZone {
public:
    // GMT.
    TimeZone();

    // The zone of the environment (TZ, else the system's), GMT when neither names a known zone. Read anew on
    // every call.
    static TimeZone current();
    // nullopt for a name the tz database does not know.
    static std::optional<TimeZone> named(const String& name);
    static TimeZone gmt() { return {}; }
    // A fixed offset, named "GMT+01:30"; nullopt beyond ±18 hours.
    static std::optional<TimeZone> withSecondsFromGMT(int seconds);

    const String& name() const { return m_name; }
    // The offset in effect at a moment, daylight saving included.
    int secondsFromGMT(Date date = Date::now()) const;
    bool isDaylightSavingTime(Date date = Date::now()) const;

    bool operator==(const TimeZone&) const = default;

private:
    explicit TimeZone(String name)
        : m_name(std::move(name))
    {
    }
    String m_name;
};

}
