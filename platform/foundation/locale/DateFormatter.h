#pragma once

#include "platform/foundation/locale/Formatter.h"
#include "platform/foundation/locale/Locale.h"
#include "platform/foundation/locale/TimeZone.h"

#include <memory>
#include <optional>

namespace fnd {

// Dates to text and back with a Unicode date pattern ("yyyy-MM-dd HH:mm:ss zzz"), in a locale and time zone,
// over ICU. Parsing is strict: the whole text must match the pattern.
class DateFormatter : public Formatter {
    FND_OBJECT(DateFormatter)

public:
    // The current locale and time zone, pattern "yyyy-MM-dd HH:mm:ss Z".
    DateFormatter();
    DateFormatter(const DateFormatter& other);
    DateFormatter& operator=(const DateFormatter& other);
    ~DateFormatter() override;

    const String& dateFormat() const { return m_dateFormat; }
    void setDateFormat(const String& format);
    const Locale& locale() const { return m_locale; }
    void setLocale(const Locale& locale);
    const TimeZone& timeZone() const { return m_timeZone; }
    void setTimeZone(const TimeZone& zone);

    // The locale's own pattern for the fields a template names ("yMd", "jm"), in its order with its separators; an
    // empty string when the locale has none.
    static String dateFormatFromTemplate(const String& dateTemplate, const Locale& locale);

    String stringFromDate(Date date) const;
    std::optional<Date> dateFromString(const String& string) const;

    // Dates only; other values have no text.
    std::optional<String> stringForObjectValue(const Value& value) const override;
    // The empty text gives nil.
    std::expected<Value, String> getObjectValue(const String& string) const override;
    std::shared_ptr<Formatter> copy() const override;

private:
    void rebuild();

    String m_dateFormat;
    Locale m_locale;
    TimeZone m_timeZone;
    // ICU's UDateFormat* (a void**), kept out of this header.
    std::unique_ptr<void*, void (*)(void**)> m_format;
};

// A date written with a strftime-like calendar format: %Y year, %y two-digit year, %m month, %d day, %e day
// without padding, %j day of the year, %H hour (24), %I hour (12), %p AM/PM, %M minute, %S second, %F
// milliseconds, %z offset "+hhmm", %Z zone abbreviation, %a/%A weekday name, %b/%B month name, %w weekday
// (0 is Sunday), %% a percent sign. Other text, and unknown directives, are copied as they are.
String descriptionWithCalendarFormat(Date date, const String& format, const TimeZone& zone = TimeZone::current(),
    const Locale& locale = Locale::current());

}
