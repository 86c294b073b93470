#include "platform/foundation/runtime/String.h"

#include "platform/foundation/runtime/CharacterSet.h"
#include "platform/foundation/detail/StringDetail.h"

#include <clocale>
#include <cstdlib>
#include <limits>

namespace fnd {

namespace {

bool isDigit(char16_t u)
{
    return u >= '0' && u <= '9';
}

// strtod follows the process locale, which a user interface may set; numbers here always use the C syntax.
locale_t cLocale()
{
    static locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return c;
}

}

std::size_t detail::skipWhitespace(std::u16string_view s, std::size_t at)
{
    const auto& blanks = CharacterSet::whitespaceAndNewlineCharacterSet();
    std::size_t count;
    while (at < s.size() && blanks.longCharacterIsMember(codePointAt(s, at, count)))
        at += count;
    return at;
}

std::optional<detail::Scanned<double>> detail::scanDecimal(
    std::u16string_view s, std::size_t at, std::u16string_view separator)
{
    std::string ascii;
    std::size_t i = at;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ascii += static_cast<char>(s[i++]);
    std::size_t digits = 0;
    for (; i < s.size() && isDigit(s[i]); ++i, ++digits)
        ascii += static_cast<char>(s[i]);
    if (!separator.empty() && s.substr(i).starts_with(separator)) {
        std::size_t j = i + separator.size();
        std::size_t fraction = 0;
        std::string tail = ".";
        for (; j < s.size() && isDigit(s[j]); ++j, ++fraction)
            tail += static_cast<char>(s[j]);
        // A separator with no digit on either side is not part of the number.
        if (digits + fraction > 0) {
            ascii += tail;
            digits += fraction;
            i = j;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            exponent += static_cast<char>(s[j++]);
        if (j < s.size() && isDigit(s[j])) {
            for (; j < s.size() && isDigit(s[j]); ++j)
                exponent += static_cast<char>(s[j]);
            ascii += exponent;
            i = j;
        }
    }
    double value = strtod_l(ascii.c_str(), nullptr, cLocale());
    return Scanned<double> { value, i };
}

std::optional<detail::Scanned<std::int64_t>> detail::scanInteger(std::u16string_view s, std::size_t at)
{
    std::size_t i = at;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    if (i >= s.size() || !isDigit(s[i]))
        return std::nullopt;
    // Accumulate towards the negative side, which holds one more value than the positive side.
    constexpr std::int64_t min = std::numeric_limits<std::int64_t>::min();
    std::int64_t value = 0;
    bool saturated = false;
    for (; i < s.size() && isDigit(s[i]); ++i) {
        int d = s[i] - '0';
        if (!saturated && (value < min / 10 || value * 10 < min + d))
            saturated = true;
        if (!saturated)
            value = value * 10 - d;
    }
    if (saturated)
        return Scanned<std::int64_t> { negative ? min : std::numeric_limits<std::int64_t>::max(), i };
    if (!negative)
        value = value == min ? std::numeric_limits<std::int64_t>::max() : -value;
    return Scanned<std::int64_t> { value, i };
}

double String::doubleValue() const
{
    auto scanned = detail::scanDecimal(m_units, detail::skipWhitespace(m_units, 0), u".");
    return scanned ? scanned->value : 0.0;
}

std::int64_t String::integerValue() const
{
    auto scanned = detail::scanInteger(m_units, detail::skipWhitespace(m_units, 0));
    return scanned ? scanned->value : 0;
}

std::int32_t String::intValue() const
{
    std::int64_t v = integerValue();
    if (v > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (v < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

bool String::boolValue() const
{
    std::size_t i = detail::skipWhitespace(m_units, 0);
    if (i < m_units.size()) {
        char16_t u = m_units[i];
        if (u == 'Y' || u == 'y' || u == 'T' || u == 't')
            return true;
    }
    if (i < m_units.size() && (m_units[i] == '+' || m_units[i] == '-'))
        ++i;
    while (i < m_units.size() && m_units[i] == '0')
        ++i;
    return i < m_units.size() && m_units[i] >= '1' && m_units[i] <= '9';
}

}
