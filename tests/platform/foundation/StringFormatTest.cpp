#include "platform/foundation/runtime/StringFormat.h"

#include "platform/foundation/runtime/Exception.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

using namespace fnd;

namespace {

struct Case {
    const char* format;
    std::vector<Value> arguments;
    const char* expected;
};

void expectAll(const std::vector<Case>& cases)
{
    for (const auto& c : cases)
        EXPECT_EQ(String::format(c.format, c.arguments).utf8(), c.expected) << "format \"" << c.format << "\"";
}

}

TEST(StringFormat, IntegersFollowCSizesAndFlags)
{
    expectAll({
        { "%d|%i|%u", { -5, 7, -1 }, "-5|7|4294967295" },
        { "%ld %lu", { -1, -1 }, "-1 18446744073709551615" },
        { "%lld %llu %qu", { std::numeric_limits<long long>::min(), 18446744073709551615ull, 12ull },
            "-9223372036854775808 18446744073709551615 12" },
        { "%hu %hd %hhd %hhu", { 65537, 40000, 200, 511 }, "1 -25536 -56 255" },
        { "%.4x|%02X|%#x|%#X|%x", { 255, 10, 255, 255, 0 }, "00ff|0A|0xff|0XFF|0" },
        { "%o|%#o|%#o|%X", { 8, 8, 0, -1 }, "10|010|0|FFFFFFFF" },
        { "%5d|%-5d|%05d|%+d|% d|%+d", { 42, 42, 42, 42, 42, -42 }, "   42|42   |00042|+42| 42|-42" },
        { "%-05d|%08.3d|%.0d|%.0d|%05d", { 5, 5, 0, 3, -42 }, "5    |     005||3|-0042" },
        { "%02ld:%02ld", { 7, 5 }, "07:05" },
        { "%d", { 3.99 }, "3" },
        { "%d|%d", { "12abc", true }, "12|1" },
    });
}

TEST(StringFormat, RealsAsPrintfDoes)
{
    expectAll({
        { "%.2f|%f|%e|%E", { 3.14159, 1.5, 12345.678, 0.5 }, "3.14|1.500000|1.234568e+04|5.000000E-01" },
        { "%g|%g|%G|%g", { 0.0001, 1e-5, 1e20, 100.0 }, "0.0001|1e-05|1E+20|100" },
        { "%8.3f|%-8.1f|%+.1f|%08.2f", { -2.5, 2.5, 2.5, -1.5 }, "  -2.500|2.5     |+2.5|-0001.50" },
        { "%.0f|%#.0f|%a", { 2.5, 2.0, 1.0 }, "2|2.|0x1p+0" },
        { "%f|%F|%f",
            { std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(), std::nan("") },
            "inf|-INF|nan" },
        { "%.1f|%Lf|%lf", { 2, 1, 0.25f }, "2.0|1.000000|0.250000" },
    });
}

// The decimal point stays "." whatever locale the process runs under.
TEST(StringFormat, RealsIgnoreTheProcessLocale)
{
    std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    const char* candidates[] = { "de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "de_DE" };
    bool switched = false;
    for (const char* name : candidates)
        if (std::setlocale(LC_NUMERIC, name)) {
            switched = true;
            break;
        }
    if (!switched)
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    String formatted = stringWithFormat("%.2f", 3.25);
    double parsed = String("3.25").doubleValue();
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(formatted.utf8(), "3.25");
    EXPECT_EQ(parsed, 3.25);
}

TEST(StringFormat, TextAndCharacters)
{
    Dictionary d { { "k", 1 } };
    expectAll({
        { "%@|%@|%@|%@", { "x", 3, Value(), 2.5 }, "x|3|(null)|2.5" },
        { "%@", { Value(Array { 1, "a" }) }, "(\n    1,\n    a\n)" },
        { "%@", { d }, "{\n    k = 1;\n}" },
        { "[%4.4s]", { "00000010" }, "[0000]" },
        { "%-6s|%6s|%.2s|%S", { "ab", "ab", "abc", "w" }, "ab    |    ab|ab|w" },
        // Precision counts UTF-16 units but never cuts a surrogate pair in half.
        { "%.1@|%.2@|%.3@", { "\xF0\x9F\x98\x80x", "\xF0\x9F\x98\x80x", "\xF0\x9F\x98\x80x" },
            "|\xF0\x9F\x98\x80|\xF0\x9F\x98\x80x" },
        { "%c%c%c|%C|%C|%3c", { 65, 0xE9, "z", 0x1F600, 0x2318, 'q' }, "A\xC3\xA9z|\xF0\x9F\x98\x80|\xE2\x8C\x98|  q" },
        { "100%%|%%d", {}, "100%|%d" },
        { "*** %c[%@ %@]: %@", { '-', "ZRXRegex", "match", "bad" }, "*** -[ZRXRegex match]: bad" },
        { "%@%qu.%.4x", { "item", 12ull, 0xbeef }, "item12.beef" },
    });
    EXPECT_EQ(String::format("%-50.50s|", { "12 34" }).utf8(), "12 34" + std::string(45, ' ') + "|");
    EXPECT_EQ(String::format("%-50.50s|", { String(std::string(60, 'x')) }).utf8(), std::string(50, 'x') + "|");
}

TEST(StringFormat, PositionsAndStars)
{
    expectAll({
        { "%2$@ %1$@", { "a", "b" }, "b a" },
        { "%1$@%1$@%1$d", { 7 }, "777" },
        { "%*d|%-*d|%*d", { 5, 42, 4, 7, -3, 1 }, "   42|7   |1  " },
        { "%.*f|%.*s|%.*s", { 2, 3.14159, 3, "abcdef", -1, "abc" }, "3.14|abc|abc" },
        { "%1$*2$d|%3$.*2$f", { 42, 5, 1.0 }, "   42|1.00000" },
    });
}

TEST(StringFormat, MisuseRaisesInsteadOfReadingGarbage)
{
    const std::pair<const char*, std::vector<Value>> bad[] = {
        { "%y", { 1 } },
        { "%n", { 1 } },
        { "%p", { 1 } },
        { "%d", {} },
        { "%d %d", { 1 } },
        { "%3$d", { 1, 2 } },
        { "abc%", {} },
        { "%-", { 1 } },
        { "%99999d", { 1 } },
        { "%*d", { 100000, 1 } },
        { "%.99999f", { 1.0 } },
    };
    for (const auto& [format, arguments] : bad) {
        try {
            String::format(format, arguments);
            ADD_FAILURE() << "no exception for \"" << format << "\"";
        } catch (const Exception& e) {
            EXPECT_EQ(e.name(), ExceptionName::InvalidArgument) << format;
        }
    }
}

TEST(StringFormat, VariadicFormConvertsArguments)
{
    std::string utf8 = "b\xC3\xA9";
    std::string_view view = "v";
    std::size_t count = 7;
    EXPECT_EQ(stringWithFormat(
                  "%@ %d %s %.2f %lu %s %s %C %@", String("a"), 3, utf8, 3.14159, count, view, "c", u'\u00E9', nullptr)
                  .utf8(),
        "a 3 b\xC3\xA9 3.14 7 v c \xC3\xA9 (null)");
    EXPECT_EQ(stringWithFormat("plain").utf8(), "plain");
}
