#include "platform/foundation/locale/DateFormatter.h"

#include "platform/foundation/locale/Calendar.h"
#include "platform/foundation/runtime/StringFormat.h"
#include "platform/foundation/detail/ICU.h"
#include "platform/foundation/detail/PlatformText.h"

#include <unicode/udat.h>
#include <unicode/udatpg.h>

#include <utility>

namespace fnd {

FND_REGISTER_CLASS(DateFormatter, Formatter)

namespace {

void closeDateFormat(UDateFormat* format)
{
    if (format)
        udat_close(format);
}

// Text for an ICU pattern: quoted, quotes doubled.
std::u16string quotedLiteral(std::u16string_view text)
{
    std::u16string out = u"'";
    for (char16_t c : text) {
        out += c;
        if (c == u'\'')
            out += u'\'';
    }
    return out + u"'";
}

}

DateFormatter::DateFormatter()
    : m_dateFormat("yyyy-MM-dd HH:mm:ss Z")
    , m_locale(Locale::current())
    , m_timeZone(TimeZone::current())
    , m_format(nullptr, &closeDateFormat)
{
    rebuild();
}

DateFormatter::DateFormatter(const DateFormatter& other)
    : Formatter(other)
    , m_dateFormat(other.m_dateFormat)
    , m_locale(other.m_locale)
    , m_timeZone(other.m_timeZone)
    , m_format(nullptr, &closeDateFormat)
{
    rebuild();
}

DateFormatter& DateFormatter::operator=(const DateFormatter& other)
{
    if (this != &other) {
        m_dateFormat = other.m_dateFormat;
        m_locale = other.m_locale;
        m_timeZone = other.m_timeZone;
        rebuild();
    }
    return *this;
}

DateFormatter::~DateFormatter() = default;

std::shared_ptr<Formatter> DateFormatter::copy() const
{
    return std::make_shared<DateFormatter>(*this);
}

void DateFormatter::rebuild()
{
    UErrorCode status = U_ZERO_ERROR;
    const String& zone = m_timeZone.name();
    UDateFormat* format = udat_open(UDAT_PATTERN, UDAT_PATTERN, m_locale.icuName().c_str(), detail::icuChars(zone),
        detail::icuLength(zone), detail::icuChars(m_dateFormat), detail::icuLength(m_dateFormat), &status);
    if (U_FAILURE(status)) {
        closeDateFormat(format);
        // A pattern ICU refuses shows as an empty text rather than failing every call.
        status = U_ZERO_ERROR;
        format = udat_open(UDAT_PATTERN, UDAT_PATTERN, m_locale.icuName().c_str(), detail::icuChars(zone),
            detail::icuLength(zone), u"", 0, &status);
    }
    udat_setLenient(format, false);
    m_format.reset(format);
}

void DateFormatter::setDateFormat(const String& format)
{
    if (format == m_dateFormat)
        return;
    m_dateFormat = format;
    rebuild();
}

void DateFormatter::setLocale(const Locale& locale)
{
    if (locale == m_locale)
        return;
    m_locale = locale;
    rebuild();
}

void DateFormatter::setTimeZone(const TimeZone& zone)
{
    if (zone == m_timeZone)
        return;
    m_timeZone = zone;
    rebuild();
}

String DateFormatter::dateFormatFromTemplate(const String& dateTemplate, const Locale& locale)
{
    UErrorCode status = U_ZERO_ERROR;
    UDateTimePatternGenerator* generator = udatpg_open(locale.icuName().c_str(), &status);
    if (U_FAILURE(status) || !generator)
        return {};
    auto pattern = detail::icuString([&](UChar* buffer, int32_t capacity, UErrorCode* error) {
        return udatpg_getBestPattern(
            generator, detail::icuChars(dateTemplate), detail::icuLength(dateTemplate), buffer, capacity, error);
    });
    udatpg_close(generator);
    return pattern;
}

String DateFormatter::stringFromDate(Date date) const
{
    return detail::icuString([&](UChar* buffer, int32_t capacity, UErrorCode* status) {
        return udat_format(m_format.get(), detail::icuMillis(date), buffer, capacity, nullptr, status);
    });
}

std::optional<Date> DateFormatter::dateFromString(const String& string) const
{
    if (string.isEmpty())
        return std::nullopt;
    int32_t position = 0;
    UErrorCode status = U_ZERO_ERROR;
    UDate ms = udat_parse(m_format.get(), detail::icuChars(string), detail::icuLength(string), &position, &status);
    if (U_FAILURE(status) || position != string.length())
        return std::nullopt;
    return Date::fromUnixTime(ms / 1000.0);
}

std::optional<String> DateFormatter::stringForObjectValue(const Value& value) const
{
    if (const Date* date = value.date())
        return stringFromDate(*date);
    return std::nullopt;
}

std::expected<Value, String> DateFormatter::getObjectValue(const String& string) const
{
    if (string.isEmpty())
        return Value();
    if (auto date = dateFromString(string))
        return Value(*date);
    return std::unexpected(stringWithFormat(
        detail::platformText("“%@” is not a date in the format “%@”.", "Formatters"), string, m_dateFormat));
}

String descriptionWithCalendarFormat(Date date, const String& format, const TimeZone& zone, const Locale& locale)
{
    // Each directive becomes the matching ICU pattern field; the rest is quoted text. %w has no ICU field that
    // ignores the locale's first weekday, so it is written directly.
    std::u16string pattern;
    std::u16string literal;
    auto flushLiteral = [&] {
        if (!literal.empty())
            pattern += quotedLiteral(literal);
        literal.clear();
    };
    auto view = format.view();
    for (std::size_t i = 0; i < view.size(); ++i) {
        if (view[i] != u'%' || i + 1 == view.size()) {
            literal += view[i];
            continue;
        }
        char16_t directive = view[++i];
        const char16_t* field = nullptr;
        switch (directive) {
        case u'Y':
            field = u"yyyy";
            break;
        case u'y':
            field = u"yy";
            break;
        case u'm':
            field = u"MM";
            break;
        case u'd':
            field = u"dd";
            break;
        case u'e':
            field = u"d";
            break;
        case u'j':
            field = u"DDD";
            break;
        case u'H':
            field = u"HH";
            break;
        case u'I':
            field = u"hh";
            break;
        case u'p':
            field = u"a";
            break;
        case u'M':
            field = u"mm";
            break;
        case u'S':
            field = u"ss";
            break;
        case u'F':
            field = u"SSS";
            break;
        case u'z':
            field = u"xx";
            break;
        case u'Z':
            field = u"zzz";
            break;
        case u'a':
            field = u"EEE";
            break;
        case u'A':
            field = u"EEEE";
            break;
        case u'b':
            field = u"MMM";
            break;
        case u'B':
            field = u"MMMM";
            break;
        case u'%':
            literal += u'%';
            continue;
        case u'w': {
            Calendar calendar;
            calendar.setTimeZone(zone);
            auto weekday = calendar.components(CalendarUnit::Weekday, date).weekday.value_or(1);
            literal += static_cast<char16_t>(u'0' + (weekday - 1));
            continue;
        }
        default:
            literal += u'%';
            literal += directive;
            continue;
        }
        flushLiteral();
        pattern += field;
    }
    flushLiteral();
    if (pattern.empty())
        return {};
    DateFormatter formatter;
    formatter.setLocale(locale);
    formatter.setTimeZone(zone);
    formatter.setDateFormat(String(std::move(pattern)));
    return formatter.stringFromDate(date);
}

}
