#include "platform/foundation/locale/ShortDateOrder.h"

#include "platform/foundation/detail/ICU.h"

#include <unicode/udat.h>

#include <array>
#include <memory>
#include <optional>

namespace fnd {

namespace {

enum class ShortDateField { Day, Month, Year };

std::optional<ShortDateField> shortDateFieldOf(char16_t c)
{
    switch (c) {
    case u'd':
        return ShortDateField::Day;
    case u'M':
    case u'L':
        return ShortDateField::Month;
    case u'y':
    case u'Y':
    case u'u':
    case u'r':
        return ShortDateField::Year;
    default:
        return std::nullopt;
    }
}

bool shortDateIsPatternLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool shortDateIsBlank(char16_t c)
{
    // Patterns use ordinary and no-break spaces, and the narrow no-break space.
    return c == u' ' || c == u'\u00A0' || c == u'\u202F' || c == u'\u2009';
}

}

ShortDateOrder shortDateOrderFromPattern(const String& pattern)
{
    std::array<ShortDateField, 3> order {};
    int found = 0;
    std::optional<char16_t> separator;
    bool blankSeen = false;
    bool quoted = false;
    const auto length = pattern.length();
    for (Index i = 0; i < length; ++i) {
        char16_t c = pattern.characterAt(i);
        if (c == u'\'') {
            // '' is a quote character, a lone ' opens or closes quoted text; quoted text is a literal.
            if (i + 1 < length && pattern.characterAt(i + 1) == u'\'') {
                ++i;
                if (found > 0 && found < 3 && !separator)
                    separator = u'\'';
                continue;
            }
            quoted = !quoted;
            continue;
        }
        if (!quoted && shortDateIsPatternLetter(c)) {
            auto field = shortDateFieldOf(c);
            if (!field)
                continue;
            bool known = false;
            for (int k = 0; k < found; ++k)
                known = known || order[std::size_t(k)] == *field;
            if (!known && found < 3)
                order[std::size_t(found++)] = *field;
            continue;
        }
        // A literal: the separator is the first one after the first field, before the last.
        if (found == 0 || found == 3 || separator)
            continue;
        if (shortDateIsBlank(c))
            blankSeen = true;
        else
            separator = c;
    }
    if (found < 3)
        return {};
    ShortDateOrder result;
    using F = ShortDateField;
    constexpr std::array<std::pair<std::array<ShortDateField, 3>, DateOrder>, 6> orders { {
        { { F::Month, F::Day, F::Year }, DateOrder::MonthDayYear },
        { { F::Day, F::Month, F::Year }, DateOrder::DayMonthYear },
        { { F::Year, F::Month, F::Day }, DateOrder::YearMonthDay },
        { { F::Month, F::Year, F::Day }, DateOrder::MonthYearDay },
        { { F::Day, F::Year, F::Month }, DateOrder::DayYearMonth },
        { { F::Year, F::Day, F::Month }, DateOrder::YearDayMonth },
    } };
    for (const auto& [fields, code] : orders)
        if (fields == order)
            result.order = code;
    if (separator)
        result.separator = String(std::u16string(1, *separator));
    else if (blankSeen)
        result.separator = " ";
    return result;
}

ShortDateOrder shortDateOrderForLocale(const Locale& locale)
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UDateFormat, void (*)(UDateFormat*)> format(
        udat_open(UDAT_NONE, UDAT_SHORT, locale.icuName().c_str(), u"UTC", -1, nullptr, 0, &status),
        [](UDateFormat* f) {
            if (f)
                udat_close(f);
        });
    if (U_FAILURE(status) || !format)
        return {};
    auto pattern = detail::icuString([&](UChar* buffer, int32_t capacity, UErrorCode* error) {
        return udat_toPattern(format.get(), false, buffer, capacity, error);
    });
    return shortDateOrderFromPattern(pattern);
}

}
