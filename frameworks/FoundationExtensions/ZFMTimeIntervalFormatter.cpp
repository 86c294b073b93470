#include "frameworks/FoundationExtensions/ZFMTimeIntervalFormatter.h"

#include "frameworks/FoundationExtensions/detail/FormatterCoding.h"
#include "frameworks/FoundationExtensions/detail/FormatterStrings.h"

#include "platform/foundation/archiving/TypedDecoding.h"

#include <fmt/format.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <string>

FND_REGISTER_CLASS(ZFMTimeIntervalFormatter, fnd::Formatter)

namespace {

using namespace fnd::CalendarUnit;
using ZFMFormatterCoding::decodeString;
using ZFMFormatterStrings::text;

// The units of a phrase, largest first; the index is the unit's rank.
struct TimeUnit {
    fnd::CalendarUnitFlags flag;
    const char* singular;
    const char* plural;
    const char* shortSingular;
    const char* shortPlural;
};
constexpr std::array<TimeUnit, 7> TimeUnits = {
    TimeUnit { Year, "year", "years", "yr", "yrs" },
    TimeUnit { Month, "month", "months", "mo", "mos" },
    TimeUnit { Week, "week", "weeks", "wk", "wks" },
    TimeUnit { Day, "day", "days", "day", "days" },
    TimeUnit { Hour, "hour", "hours", "hr", "hrs" },
    TimeUnit { Minute, "minute", "minutes", "min", "mins" },
    TimeUnit { Second, "second", "seconds", "s", "s" },
};
constexpr fnd::CalendarUnitFlags PhraseUnits = Year | Month | Week | Day | Hour | Minute | Second;
static_assert(PhraseUnits == 508);

std::size_t rankOf(fnd::CalendarUnitFlags flag)
{
    for (std::size_t rank = 0; rank < TimeUnits.size(); ++rank) {
        if (TimeUnits[rank].flag == flag)
            return rank;
    }
    return TimeUnits.size() - 1;
}

// Idioms by the difference in whole units, in the order they are tried: the row's unit (0 year, 1 month, 2 week,
// 3 day) has the value and every larger unit is 0; smaller units do not matter. nullptr where a language has none.
struct Idiom {
    std::size_t unit;
    std::int64_t value;
    const char* en;
    const char* es;
    const char* nl;
};
constexpr std::array<Idiom, 10> Idioms = {
    Idiom { 0, -1, "last year", "a\u00F1o pasado", "vorig jaar" },
    Idiom { 1, -1, "last month", "mes pasado", "vorige maand" },
    Idiom { 2, -1, "last week", "semana pasada", "vorige week" },
    Idiom { 3, -1, "yesterday", "ayer", "gisteren" },
    Idiom { 3, -2, nullptr, nullptr, "eergisteren" },
    Idiom { 0, 1, "next year", "pr\u00F3ximo a\u00F1o", "volgend jaar" },
    Idiom { 1, 1, "next month", "pr\u00F3ximo mes", "volgende maand" },
    Idiom { 2, 1, "next week", "pr\u00F3xima semana", "volgende week" },
    Idiom { 3, 1, "tomorrow", "ma\u00F1ana", "morgen" },
    Idiom { 3, 2, nullptr, nullptr, "overmorgen" },
};

std::optional<fnd::String> idiomFor(const fnd::DateComponents& c, const char* Idiom::*language)
{
    const std::array<std::int64_t, 4> values { c.year.value_or(0), c.month.value_or(0), c.week.value_or(0),
        c.day.value_or(0) };
    for (const auto& idiom : Idioms) {
        bool applies = values[idiom.unit] == idiom.value;
        for (std::size_t larger = 0; larger < idiom.unit; ++larger)
            applies = applies && values[larger] == 0;
        if (applies)
            return idiom.*language ? std::optional<fnd::String>(fnd::String(idiom.*language)) : std::nullopt;
    }
    return std::nullopt;
}

}

ZFMTimeIntervalFormatter::ZFMTimeIntervalFormatter()
    : m_locale(fnd::Locale::current())
    , m_calendar(fnd::Calendar::current())
    , m_past(text("ago"))
    , m_present(text("just now"))
    , m_future(text("from now"))
    , m_deicticFormat(text("Deictic Expression Format String", "%@ %@"))
    , m_approximateFormat(text("about %@"))
{
}

std::optional<fnd::String> ZFMTimeIntervalFormatter::stringForTimeInterval(double seconds) const
{
    auto now = fnd::Date::now();
    return stringForTimeIntervalFromDate(now, now.addingTimeInterval(seconds));
}

std::optional<fnd::String> ZFMTimeIntervalFormatter::stringForTimeIntervalFromDate(
    fnd::Date startingDate, fnd::Date toDate) const
{
    const double seconds = startingDate.timeIntervalSince(toDate);
    if (m_presentMargin > std::fabs(seconds))
        return m_present;

    const auto components = m_calendar.components(PhraseUnits, startingDate, toDate);
    if (m_usesIdioms) {
        if (auto idiom = localizedIdiomaticDeicticExpressionForComponents(components))
            return idiom;
    }

    // Once a phrase has begun, units below the least significant one are left out, compared by their size (a week
    // lies between a month and a day, whatever its flag's value). A smaller unit may still begin the phrase, so an
    // interval shorter than the least unit reads "30 seconds ago", not nothing.
    const std::size_t leastRank = rankOf(m_leastSignificantUnit);
    fnd::String phrase;
    std::uint64_t parts = 0;
    bool approximate = false;
    for (std::size_t rank = 0; rank < TimeUnits.size(); ++rank) {
        if (parts > 0 && rank > leastRank)
            break;
        const auto value = std::llabs(components.valueForComponent(TimeUnits[rank].flag).value_or(0));
        if (value == 0)
            continue;
        auto part = ZFMFormatterStrings::fill(
            "%@ %@", { fnd::String(std::to_string(value)), *localizedStringForNumber(value, TimeUnits[rank].flag) });
        if (parts == 0) {
            phrase = part;
        } else if (m_significantUnits != 0 && parts >= m_significantUnits) {
            approximate = true;
            continue;
        } else {
            phrase += " ";
            phrase += part;
        }
        ++parts;
    }
    if (parts == 0)
        return std::nullopt;

    if (seconds > 0) {
        if (!m_past.isEmpty())
            phrase = m_locale.languageCode() == fnd::String("es")
                ? ZFMFormatterStrings::fill(m_deicticFormat, { m_past, phrase })
                : ZFMFormatterStrings::fill(m_deicticFormat, { phrase, m_past });
    } else if (!m_future.isEmpty()) {
        phrase = ZFMFormatterStrings::fill(m_deicticFormat, { phrase, m_future });
    }
    if (approximate && m_usesApproximateQualifier)
        phrase = ZFMFormatterStrings::fill(m_approximateFormat, { phrase });
    return phrase;
}

std::optional<fnd::String> ZFMTimeIntervalFormatter::localizedStringForNumber(
    std::int64_t number, fnd::CalendarUnitFlags unit) const
{
    for (const auto& u : TimeUnits) {
        if (u.flag != unit)
            continue;
        const bool one = number == 1;
        if (m_usesAbbreviatedUnits)
            return text(one ? u.shortSingular : u.shortPlural);
        return text(one ? u.singular : u.plural);
    }
    return std::nullopt;
}

std::optional<fnd::String> ZFMTimeIntervalFormatter::localizedIdiomaticDeicticExpressionForComponents(
    const fnd::DateComponents& components) const
{
    const auto language = m_locale.languageCode();
    if (language == fnd::String("en"))
        return enRelativeDateStringForComponents(components);
    if (language == fnd::String("es"))
        return esRelativeDateStringForComponents(components);
    if (language == fnd::String("nl"))
        return nlRelativeDateStringForComponents(components);
    return std::nullopt;
}

std::optional<fnd::String> ZFMTimeIntervalFormatter::enRelativeDateStringForComponents(
    const fnd::DateComponents& components)
{
    return idiomFor(components, &Idiom::en);
}

std::optional<fnd::String> ZFMTimeIntervalFormatter::esRelativeDateStringForComponents(
    const fnd::DateComponents& components)
{
    return idiomFor(components, &Idiom::es);
}

std::optional<fnd::String> ZFMTimeIntervalFormatter::nlRelativeDateStringForComponents(
    const fnd::DateComponents& components)
{
    return idiomFor(components, &Idiom::nl);
}

std::optional<fnd::String> ZFMTimeIntervalFormatter::stringForObjectValue(const fnd::Value& value) const
{
    if (auto* number = value.number())
        return stringForTimeInterval(number->doubleValue());
    return std::nullopt;
}

std::expected<fnd::Value, fnd::String> ZFMTimeIntervalFormatter::getObjectValue(const fnd::String&) const
{
    return std::unexpected(ZFMFormatterStrings::methodNotImplemented());
}

std::shared_ptr<fnd::Formatter> ZFMTimeIntervalFormatter::copy() const
{
    return std::make_shared<ZFMTimeIntervalFormatter>(*this);
}

void ZFMTimeIntervalFormatter::encodeWithCoder(fnd::Coder& coder) const
{
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeObject(m_locale.localeIdentifier(), "locale");
    coder.encodeObject(m_past, "pastDeicticExpression");
    coder.encodeObject(m_present, "presentDeicticExpression");
    coder.encodeObject(m_future, "futureDeicticExpression");
    coder.encodeObject(m_deicticFormat, "deicticExpressionFormat");
    coder.encodeObject(m_approximateFormat, "approximateQualifierFormat");
    coder.encodeDouble(m_presentMargin, "presentTimeIntervalMargin");
    coder.encodeBool(m_usesIdioms, "usesIdiomaticDeicticExpressions");
    coder.encodeBool(m_usesApproximateQualifier, "usesApproximateQualifier");
    coder.encodeBool(m_usesAbbreviatedUnits, "usesAbbreviatedCalendarUnits");
}

bool ZFMTimeIntervalFormatter::initWithCoder(fnd::Coder& coder)
{
    if (!coder.allowsKeyedCoding())
        return false;
    fnd::String locale;
    decodeString(coder, "locale", locale);
    if (!locale.isEmpty())
        m_locale = fnd::Locale(locale);
    decodeString(coder, "pastDeicticExpression", m_past);
    decodeString(coder, "presentDeicticExpression", m_present);
    decodeString(coder, "futureDeicticExpression", m_future);
    decodeString(coder, "deicticExpressionFormat", m_deicticFormat);
    decodeString(coder, "approximateQualifierFormat", m_approximateFormat);
    // The formats are filled when a phrase is made, long after this: one that cannot take the phrase and the word
    // (or the phrase alone) is refused now.
    const struct {
        const char* key;
        const fnd::String& format;
        std::size_t texts;
    } formats[] = { { "deicticExpressionFormat", m_deicticFormat, 2 },
        { "approximateQualifierFormat", m_approximateFormat, 1 } };
    for (const auto& [key, format, texts] : formats) {
        if (!ZFMFormatterStrings::isFillableFormat(format, texts)) {
            fnd::failDecoding(coder, fmt::format("the format under the key \"{}\" does not take {} texts", key, texts));
            return false;
        }
    }
    if (coder.containsValueForKey("presentTimeIntervalMargin"))
        setPresentTimeIntervalMargin(coder.decodeDoubleForKey("presentTimeIntervalMargin"));
    m_usesIdioms = coder.decodeBoolForKey("usesIdiomaticDeicticExpressions");
    m_usesApproximateQualifier = coder.decodeBoolForKey("usesApproximateQualifier");
    m_usesAbbreviatedUnits = coder.decodeBoolForKey("usesAbbreviatedCalendarUnits");
    return true;
}
