#include "platform/foundation/detail/PropertyListText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace fnd::PropertyList::detail {

namespace {

constexpr std::string_view Base64Alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr bool isXMLWhitespace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

constexpr int base64Value(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

// Days since 1970-01-01 of a proleptic Gregorian date, and back (H. Hinnant's civil algorithms).
constexpr std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    auto yoe = static_cast<unsigned>(y - era * 400);
    unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

struct Civil {
    std::int64_t year;
    unsigned month;
    unsigned day;
};

constexpr Civil civilFromDays(std::int64_t z)
{
    z += 719468;
    std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    auto doe = static_cast<unsigned>(z - era * 146097);
    unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    unsigned mp = (5 * doy + 2) / 153;
    unsigned d = doy - (153 * mp + 2) / 5 + 1;
    unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return { y + (m <= 2), m, d };
}

constexpr unsigned daysInMonth(std::int64_t year, unsigned month)
{
    constexpr std::array<unsigned, 12> Days { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : Days[month - 1];
}

// Days from 1970-01-01 to 2001-01-01.
constexpr std::int64_t DaysBetween1970And2001 = 11323;
static_assert(daysFromCivil(2001, 1, 1) == DaysBetween1970And2001);

// Reads exactly `count` digits at `pos`.
std::optional<unsigned> readDigits(std::string_view text, std::size_t& pos, std::size_t count)
{
    if (pos + count > text.size())
        return std::nullopt;
    unsigned value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        char c = text[pos + i];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    pos += count;
    return value;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char c = a[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != b[i])
            return false;
    }
    return true;
}

}

std::string_view trimWhitespace(std::string_view text)
{
    // Library searches: a loop of ours would count its trips through every run of indentation a document holds.
    constexpr std::string_view whitespace = " \t\n\r";
    const auto start = text.find_first_not_of(whitespace);
    if (start == std::string_view::npos)
        return {};
    return text.substr(start, text.find_last_not_of(whitespace) - start + 1);
}

std::string encodeBase64(const Data& data)
{
    // Written into place: the text of a large data value is long enough for a per-character append to show.
    const std::uint8_t* p = data.bytes();
    const std::size_t n = data.length();
    std::string out((n + 2) / 3 * 4, '=');
    char* o = out.data();
    std::size_t i = 0;
    for (; i + 3 <= n; i += 3, o += 4) {
        std::uint32_t v = (p[i] << 16) | (p[i + 1] << 8) | p[i + 2];
        o[0] = Base64Alphabet[(v >> 18) & 63];
        o[1] = Base64Alphabet[(v >> 12) & 63];
        o[2] = Base64Alphabet[(v >> 6) & 63];
        o[3] = Base64Alphabet[v & 63];
    }
    // One or two bytes left: two or three characters, the rest of the group stays padding.
    if (i < n) {
        std::uint32_t v = (p[i] << 16) | (i + 1 < n ? p[i + 1] << 8 : 0);
        o[0] = Base64Alphabet[(v >> 18) & 63];
        o[1] = Base64Alphabet[(v >> 12) & 63];
        if (i + 1 < n)
            o[2] = Base64Alphabet[(v >> 6) & 63];
    }
    return out;
}

std::optional<Data> decodeBase64(std::string_view text)
{
    std::vector<std::uint8_t> out;
    out.reserve(text.size() / 4 * 3);
    std::uint32_t accumulator = 0;
    int sextets = 0;
    int padding = 0;
    for (char c : text) {
        if (isXMLWhitespace(c))
            continue;
        if (c == '=') {
            ++padding;
            continue;
        }
        int v = base64Value(c);
        if (v < 0 || padding)
            return std::nullopt;
        accumulator = (accumulator << 6) | static_cast<std::uint32_t>(v);
        if (++sextets == 4) {
            out.push_back(static_cast<std::uint8_t>(accumulator >> 16));
            out.push_back(static_cast<std::uint8_t>(accumulator >> 8));
            out.push_back(static_cast<std::uint8_t>(accumulator));
            accumulator = 0;
            sextets = 0;
        }
    }
    switch (sextets) {
    case 0:
        if (padding)
            return std::nullopt;
        break;
    case 2:
        if (padding != 0 && padding != 2)
            return std::nullopt;
        out.push_back(static_cast<std::uint8_t>(accumulator >> 4));
        break;
    case 3:
        if (padding > 1)
            return std::nullopt;
        out.push_back(static_cast<std::uint8_t>(accumulator >> 10));
        out.push_back(static_cast<std::uint8_t>(accumulator >> 2));
        break;
    default:
        return std::nullopt;
    }
    return Data(std::move(out));
}

std::optional<std::string> formatDate(Date date)
{
    double seconds = date.timeIntervalSinceReferenceDate();
    if (!std::isfinite(seconds))
        return std::nullopt;
    double whole = std::floor(seconds);
    // Years 0000 to 9999 stay well inside the exact range of a double.
    if (whole < -64000000000.0 || whole > 253500000000.0)
        return std::nullopt;
    double fraction = seconds - whole;
    auto wholeSeconds = static_cast<std::int64_t>(whole);
    std::int64_t days = wholeSeconds >= 0 ? wholeSeconds / 86400 : -((-wholeSeconds + 86399) / 86400);
    std::int64_t secondOfDay = wholeSeconds - days * 86400;
    Civil civil = civilFromDays(days + DaysBetween1970And2001);
    if (civil.year < 0 || civil.year > 9999)
        return std::nullopt;

    char buffer[64];
    int length = std::snprintf(buffer, sizeof buffer, "%04lld-%02u-%02uT%02lld:%02lld:%02lld",
        static_cast<long long>(civil.year), civil.month, civil.day, static_cast<long long>(secondOfDay / 3600),
        static_cast<long long>(secondOfDay / 60 % 60), static_cast<long long>(secondOfDay % 60));
    std::string out(buffer, static_cast<std::size_t>(length));
    if (fraction > 0) {
        // The fewest digits that bring back the same double (a fraction just below a whole second before the
        // reference date may not have one; it then keeps 40 digits).
        for (int precision = 1; precision <= 40; ++precision) {
            char digits[64];
            auto result = std::to_chars(digits, digits + sizeof digits, fraction, std::chars_format::fixed, precision);
            std::string_view text(digits, static_cast<std::size_t>(result.ptr - digits));
            if (!text.starts_with("0."))
                continue; // rounded up to a whole second
            double back = 0;
            std::from_chars(text.data(), text.data() + text.size(), back);
            if (whole + back == seconds || precision == 40) {
                while (text.ends_with('0'))
                    text.remove_suffix(1);
                if (text.size() > 2)
                    out += text.substr(1);
                break;
            }
        }
    }
    out += 'Z';
    return out;
}

std::optional<Date> parseDate(std::string_view text)
{
    text = trimWhitespace(text);
    std::size_t pos = 0;
    auto year = readDigits(text, pos, 4);
    if (!year)
        return std::nullopt;
    unsigned month = 1, day = 1, hour = 0, minute = 0, second = 0;
    double fraction = 0;
    // Each later unit may be left out, with its separator.
    auto next = [&](char separator, unsigned& field, unsigned low, unsigned high) -> std::optional<bool> {
        if (pos == text.size() || text[pos] == 'Z')
            return false;
        if (text[pos] != separator)
            return std::nullopt;
        ++pos;
        auto value = readDigits(text, pos, 2);
        if (!value || *value < low || *value > high)
            return std::nullopt;
        field = *value;
        return true;
    };
    std::optional<bool> more = next('-', month, 1, 12);
    if (more && *more)
        more = next('-', day, 1, daysInMonth(*year, month));
    if (more && *more)
        more = next('T', hour, 0, 23);
    if (more && *more)
        more = next(':', minute, 0, 59);
    if (more && *more)
        more = next(':', second, 0, 59);
    if (!more)
        return std::nullopt;
    if (*more && pos < text.size() && text[pos] == '.') {
        std::size_t start = pos;
        ++pos;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9')
            ++pos;
        if (pos - start < 2)
            return std::nullopt;
        std::string fractionText(1, '0');
        fractionText.append(text.substr(start, pos - start));
        std::from_chars(fractionText.data(), fractionText.data() + fractionText.size(), fraction);
    }
    if (pos < text.size() && text[pos] == 'Z')
        ++pos;
    if (pos != text.size())
        return std::nullopt;

    std::int64_t days = daysFromCivil(*year, month, day) - DaysBetween1970And2001;
    std::int64_t seconds = days * 86400 + hour * 3600 + minute * 60 + second;
    return Date::fromReferenceDate(static_cast<double>(seconds) + fraction);
}

std::string formatReal(double value)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value > 0 ? "+infinity" : "-infinity";
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

RealResult parseReal(std::string_view text)
{
    text = trimWhitespace(text);
    bool negative = false;
    std::string_view body = text;
    if (!body.empty() && (body.front() == '+' || body.front() == '-')) {
        negative = body.front() == '-';
        body.remove_prefix(1);
    }
    if (equalsIgnoringCase(body, "nan"))
        return { std::numeric_limits<double>::quiet_NaN(), std::nullopt };
    if (equalsIgnoringCase(body, "inf") || equalsIgnoringCase(body, "infinity"))
        return { negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity(),
            std::nullopt };
    // from_chars takes a minus sign but no plus sign, and no second sign after ours.
    if (body.empty() || body.front() == '+' || body.front() == '-')
        return { 0, NumberProblem::Malformed };
    double value = 0;
    auto result = std::from_chars(body.data(), body.data() + body.size(), value);
    if (result.ec == std::errc::result_out_of_range)
        return { 0, NumberProblem::OutOfRange };
    if (result.ec != std::errc() || result.ptr != body.data() + body.size())
        return { 0, NumberProblem::Malformed };
    return { negative ? -value : value, std::nullopt };
}

IntegerResult parseInteger(std::string_view text)
{
    text = trimWhitespace(text);
    std::string_view body = text;
    bool negative = false;
    if (!body.empty() && (body.front() == '+' || body.front() == '-')) {
        negative = body.front() == '-';
        body.remove_prefix(1);
    }
    if (body.empty())
        return { Number(0), NumberProblem::Malformed };
    for (char c : body) {
        if (c < '0' || c > '9')
            return { Number(0), NumberProblem::Malformed };
    }
    std::uint64_t magnitude = 0;
    auto result = std::from_chars(body.data(), body.data() + body.size(), magnitude);
    if (result.ec == std::errc::result_out_of_range)
        return { Number(0), NumberProblem::OutOfRange };
    constexpr auto SignedMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (negative) {
        if (magnitude > SignedMax + 1)
            return { Number(0), NumberProblem::OutOfRange };
        // Negating in unsigned space reaches INT64_MIN without overflow.
        return { Number(static_cast<long long>(0 - magnitude)), std::nullopt };
    }
    if (magnitude > SignedMax)
        return { Number(static_cast<unsigned long long>(magnitude)), std::nullopt };
    return { Number(static_cast<long long>(magnitude)), std::nullopt };
}

}
