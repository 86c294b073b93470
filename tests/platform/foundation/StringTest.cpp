#include "platform/foundation/runtime/String.h"

#include "platform/foundation/runtime/CharacterSet.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Scanner.h"

#include <gtest/gtest.h>

#include <pwd.h>

#include <cmath>
#include <cstdlib>
#include <limits>

using namespace fnd;

namespace {

std::vector<std::string> utf8(const std::vector<String>& strings)
{
    std::vector<std::string> out;
    for (const auto& s : strings)
        out.push_back(s.utf8());
    return out;
}

}

TEST(String, UTF16IndexesCountSurrogatePairsAsTwo)
{
    String s("a\xF0\x9F\x98\x80z"); // a, U+1F600, z
    EXPECT_EQ(s.length(), 4);
    EXPECT_EQ(s.characterAt(1), 0xD83D);
    EXPECT_EQ(s.substring({ 1, 2 }).utf8(), "\xF0\x9F\x98\x80");
    EXPECT_THROW(s.substring({ 3, 2 }), Exception);
    EXPECT_THROW(s.characterAt(-1), Exception);
    EXPECT_EQ(String("\xFF").utf8(), "\xEF\xBF\xBD");
    EXPECT_EQ(String::fromCodePoint(0x1F600).length(), 2);
    EXPECT_EQ(String::fromCodePoint(0x110000).utf8(), "\xEF\xBF\xBD");
    // A lone surrogate has no UTF-8 form and comes out as U+FFFD, its neighbours intact.
    EXPECT_EQ(String(std::u16string { u'a', 0xD800, u'b' }).utf8(),
        "a\xEF\xBF\xBD"
        "b");
}

TEST(String, IllFormedUTF8GivesOneReplacementPerByteItCannotUse)
{
    struct Case {
        const char* utf8;
        std::u16string units;
    };
    const Case cases[] = {
        { "plain ASCII", u"plain ASCII" },
        { "\xE2\x82\xAC"
          "1",
            u"\u20AC1" },
        { "a\xF0\x9F\x98\x80", u"a\U0001F600" },
        // Cut short: the lead byte, then the continuation on its own.
        { "a\xE2\x82", u"a\uFFFD\uFFFD" },
        // Overlong, a surrogate, and past U+10FFFF: every byte stands for itself.
        { "\xC0\xAFz", u"\uFFFD\uFFFDz" },
        { "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD" },
        { "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD" },
        { "\xF8\x88", u"\uFFFD\uFFFD" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(String(c.utf8).units(), c.units) << c.utf8;
}

TEST(String, CodePointsReadPairsAsOneAndLoneSurrogatesAsThemselves)
{
    String s("a\xF0\x9F\x98\x80z");
    EXPECT_EQ(s.codePointAt(0).value, U'a');
    EXPECT_EQ(s.codePointAt(1).value, U'\U0001F600');
    EXPECT_EQ(s.codePointAt(1).length, 2u);
    // From the middle of a pair, and a pair cut short at either end, each unit stands alone.
    EXPECT_EQ(s.codePointAt(2).value, char32_t(0xDE00));
    std::u16string lone { 0xDC00, 0xD83D };
    EXPECT_EQ(fnd::codePointAt(lone, 0).value, char32_t(0xDC00));
    EXPECT_EQ(fnd::codePointAt(lone, 1).value, char32_t(0xD83D));
    EXPECT_EQ(fnd::codePointAt(lone, 1).length, 1u);
}

TEST(String, TrimsSplitsJoinsAndPads)
{
    const auto& blanks = CharacterSet::whitespaceAndNewlineCharacterSet();
    EXPECT_EQ(String("  \t hi there \r\n").stringByTrimmingCharactersInSet(blanks).utf8(), "hi there");
    EXPECT_EQ(String(" \n ").stringByTrimmingCharactersInSet(blanks).utf8(), "");
    auto smiley = CharacterSet::characterSetWithCharactersInString("\xF0\x9F\x98\x80");
    EXPECT_EQ(String("\xF0\x9F\x98\x80"
                     "a\xF0\x9F\x98\x80")
                  .stringByTrimmingCharactersInSet(smiley)
                  .utf8(),
        "a");

    struct Split {
        const char* text;
        const char* separator;
        std::vector<std::string> parts;
    };
    const Split splits[] = {
        { "a,b,c", ",", { "a", "b", "c" } },
        { "a,,b", ",", { "a", "", "b" } },
        { ",a,", ",", { "", "a", "" } },
        { "", ",", { "" } },
        { "abc", "", { "abc" } },
        { "a and b and c", " and ", { "a", "b", "c" } },
    };
    for (const auto& s : splits)
        EXPECT_EQ(utf8(String(s.text).componentsSeparatedByString(s.separator)), s.parts) << s.text;
    EXPECT_EQ(utf8(String("a b\t\tc\xE2\x80\xA8"
                          "d")
                       .componentsSeparatedByCharactersInSet(blanks)),
        (std::vector<std::string> { "a", "b", "", "c", "d" }));
    EXPECT_EQ(utf8(String("1\xF0\x9F\x98\x80"
                          "2")
                       .componentsSeparatedByCharactersInSet(smiley)),
        (std::vector<std::string> { "1", "2" }));

    EXPECT_EQ(componentsJoinedByString({ "a", "b", "c" }, ", ").utf8(), "a, b, c");
    EXPECT_EQ(componentsJoinedByString({}, ", ").utf8(), "");

    EXPECT_EQ(String("abc").stringByPaddingToLength(7, "12", 1).utf8(), "abc2121");
    EXPECT_EQ(String("abc").stringByPaddingToLength(2, "12", 0).utf8(), "ab");
    EXPECT_THROW(String("abc").stringByPaddingToLength(5, "12", 2), Exception);
    EXPECT_THROW(String("abc").stringByPaddingToLength(5, "", 0), Exception);
}

TEST(String, MapsCaseOverAllOfUnicode)
{
    struct Case {
        const char* text;
        const char* upper;
        const char* lower;
        const char* capitalized;
    };
    const Case cases[] = {
        { "hello wORLD\tfoo-bar", "HELLO WORLD\tFOO-BAR", "hello world\tfoo-bar", "Hello World\tFoo-bar" },
        { "stra\xC3\x9F"
          "e",
            "STRASSE",
            "stra\xC3\x9F"
            "e",
            "Stra\xC3\x9F"
            "e" },
        // Root locale: "i" is not dotted in upper case, and dotted capital I keeps its dot as a combining mark.
        { "istanbul", "ISTANBUL", "istanbul", "Istanbul" },
        { "\xC4\xB0", "\xC4\xB0", "i\xCC\x87", "\xC4\xB0" },
        // Astral letters (Deseret) and a digraph with its own title case.
        { "\xF0\x90\x90\xA8", "\xF0\x90\x90\x80", "\xF0\x90\x90\xA8", "\xF0\x90\x90\x80" },
        { "\xC7\x86"
          "a",
            "\xC7\x84"
            "A",
            "\xC7\x86"
            "a",
            "\xC7\x85"
            "a" },
        { "'quoted' 1st", "'QUOTED' 1ST", "'quoted' 1st", "'quoted' 1st" },
    };
    for (const auto& c : cases) {
        String s(c.text);
        EXPECT_EQ(s.uppercaseString().utf8(), c.upper) << c.text;
        EXPECT_EQ(s.lowercaseString().utf8(), c.lower) << c.text;
        EXPECT_EQ(s.capitalizedString().utf8(), c.capitalized) << c.text;
    }
}

TEST(String, ParsesNumericPrefixes)
{
    constexpr auto i64max = std::numeric_limits<std::int64_t>::max();
    constexpr auto i64min = std::numeric_limits<std::int64_t>::min();
    constexpr auto i32max = std::numeric_limits<std::int32_t>::max();
    constexpr auto i32min = std::numeric_limits<std::int32_t>::min();
    struct Case {
        const char* text;
        double real;
        std::int64_t integer;
        std::int32_t small;
        bool flag;
    };
    const Case cases[] = {
        { " 12.5mm", 12.5, 12, 12, true }, { "\n\t-3e2x", -300, -3, -3, true }, { "abc", 0, 0, 0, false },
        { "", 0, 0, 0, false }, { ".5", 0.5, 0, 0, false }, { "-.5e1", -5, 0, 0, false }, { "+7", 7, 7, 7, true },
        { "- 5", 0, 0, 0, false }, { "1e", 1, 1, 1, true }, { "1e+", 1, 1, 1, true }, { "2.", 2, 2, 2, true },
        { "0x1A", 0, 0, 0, false }, { "1,5", 1, 1, 1, true },
        { "99999999999", 99999999999.0, 99999999999, i32max, true },
        { "-99999999999999999999", -1e20, i64min, i32min, true },
        { "9223372036854775807", 9223372036854775807.0, i64max, i32max, true },
        { "-9223372036854775808", -9223372036854775808.0, i64min, i32min, true }, { "1e-400", 0, 1, 1, true },
        { "YES", 0, 0, 0, true }, { "true", 0, 0, 0, true }, { "no", 0, 0, 0, false }, { "0042", 42, 42, 42, true },
        { "-00", 0, 0, 0, false },
        { "\xC2\xA0\xE2\x80\xA8 8", 8, 8, 8, true }, // no-break space and line separator lead
        { "\xD9\xA3", 0, 0, 0, false }, // only ASCII digits form numbers
    };
    for (const auto& c : cases) {
        String s(c.text);
        EXPECT_EQ(s.doubleValue(), c.real) << '"' << c.text << '"';
        EXPECT_EQ(s.floatValue(), static_cast<float>(c.real)) << '"' << c.text << '"';
        EXPECT_EQ(s.integerValue(), c.integer) << '"' << c.text << '"';
        EXPECT_EQ(s.longLongValue(), c.integer) << '"' << c.text << '"';
        EXPECT_EQ(s.intValue(), c.small) << '"' << c.text << '"';
        EXPECT_EQ(s.boolValue(), c.flag) << '"' << c.text << '"';
    }
    EXPECT_EQ(String("1e400").doubleValue(), std::numeric_limits<double>::infinity());
    EXPECT_EQ(String("-1e400").doubleValue(), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(String("0.1").doubleValue(), 0.1);
    EXPECT_EQ(String("0.33").floatValue(), 0.33f);
}

TEST(String, HandlesPaths)
{
    struct Case {
        const char* path;
        const char* last;
        const char* parent;
        const char* extension;
        const char* stem;
    };
    const Case cases[] = {
        { "/tmp/scratch.tiff", "scratch.tiff", "/tmp", "tiff", "/tmp/scratch" },
        { "/tmp/lock/", "lock", "/tmp", "", "/tmp/lock" },
        { "/tmp/", "tmp", "/", "", "/tmp" },
        { "/tmp", "tmp", "/", "", "/tmp" },
        { "/", "/", "/", "", "/" },
        { "scratch.tiff", "scratch.tiff", "", "tiff", "scratch" },
        { "", "", "", "", "" },
        { ".bashrc", ".bashrc", "", "", ".bashrc" },
        { "/home/u/.config.old", ".config.old", "/home/u", "old", "/home/u/.config" },
        { "a/b..c", "b..c", "a", "c", "a/b." },
        { "dir.d/file", "file", "dir.d", "", "dir.d/file" },
        { "file.", "file.", "", "", "file." },
        { "a//b//", "b", "a", "", "a//b" },
        { "//x", "x", "/", "", "//x" },
    };
    for (const auto& c : cases) {
        String p(c.path);
        EXPECT_EQ(p.lastPathComponent().utf8(), c.last) << c.path;
        EXPECT_EQ(p.stringByDeletingLastPathComponent().utf8(), c.parent) << c.path;
        EXPECT_EQ(p.pathExtension().utf8(), c.extension) << c.path;
        EXPECT_EQ(p.stringByDeletingPathExtension().utf8(), c.stem) << c.path;
    }

    const std::tuple<const char*, const char*, const char*> appended[] = {
        { "/tmp", "scratch.tiff", "/tmp/scratch.tiff" },
        { "/tmp/", "x", "/tmp/x" },
        { "/", "x", "/x" },
        { "", "x", "x" },
        { "a", "/b//c/", "a/b/c" },
        { "a/", "", "a" },
    };
    for (const auto& [base, component, expected] : appended)
        EXPECT_EQ(String(base).stringByAppendingPathComponent(component).utf8(), expected)
            << base << " + " << component;

    EXPECT_EQ(String("/tmp/scratch.old").stringByAppendingPathExtension("tiff").utf8(), "/tmp/scratch.old.tiff");
    EXPECT_EQ(String("/tmp/").stringByAppendingPathExtension("tiff").utf8(), "/tmp.tiff");
    EXPECT_EQ(String("/").stringByAppendingPathExtension("tiff").utf8(), "/");
    EXPECT_EQ(String("").stringByAppendingPathExtension("tiff").utf8(), "");

    const std::pair<const char*, std::vector<std::string>> components[] = {
        { "tmp/scratch", { "tmp", "scratch" } },
        { "/tmp/scratch", { "/", "tmp", "scratch" } },
        { "/tmp//x/", { "/", "tmp", "x", "/" } },
        { "/", { "/" } },
        { "", {} },
    };
    for (const auto& [path, parts] : components)
        EXPECT_EQ(utf8(String(path).pathComponents()), parts) << path;
}

TEST(String, ExpandsTilde)
{
    const char* saved = std::getenv("HOME");
    std::string previous = saved ? saved : "";
    setenv("HOME", "/home/tester", 1);
    EXPECT_EQ(String("~").stringByExpandingTildeInPath().utf8(), "/home/tester");
    EXPECT_EQ(String("~/a/b").stringByExpandingTildeInPath().utf8(), "/home/tester/a/b");
    EXPECT_EQ(String("~/").stringByExpandingTildeInPath().utf8(), "/home/tester");
    EXPECT_EQ(String("a/~").stringByExpandingTildeInPath().utf8(), "a/~");
    EXPECT_EQ(String("~no_such_user_x7/q").stringByExpandingTildeInPath().utf8(), "~no_such_user_x7/q");
    if (passwd* root = getpwnam("root")) {
        EXPECT_EQ(String("~root/x").stringByExpandingTildeInPath().utf8(), std::string(root->pw_dir) + "/x");
    }
    if (saved)
        setenv("HOME", previous.c_str(), 1);
    else
        unsetenv("HOME");
}

TEST(String, PercentEscapesRoundTripAndRejectDamage)
{
    auto unreserved = CharacterSet::characterSetWithCharactersInString(
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~");
    const std::pair<const char*, const char*> encoded[] = {
        { "a b/\xC3\xA9\xF0\x9F\x98\x80", "a%20b%2F%C3%A9%F0%9F%98%80" },
        { "100%", "100%25" },
        { "", "" },
        { "safe-._~", "safe-._~" },
    };
    for (const auto& [plain, escaped] : encoded) {
        auto added = String(plain).stringByAddingPercentEncodingWithAllowedCharacters(unreserved);
        ASSERT_TRUE(added) << plain;
        EXPECT_EQ(added->utf8(), escaped);
        auto removed = added->stringByRemovingPercentEncoding();
        ASSERT_TRUE(removed) << escaped;
        EXPECT_EQ(removed->utf8(), plain);
    }
    EXPECT_FALSE(
        String(std::u16string { u'a', 0xDC00 }).stringByAddingPercentEncodingWithAllowedCharacters(unreserved));

    EXPECT_EQ(String("%e2%82%ac and %41").stringByRemovingPercentEncoding()->utf8(), "\xE2\x82\xAC and A");
    EXPECT_EQ(String("%00").stringByRemovingPercentEncoding()->length(), 1);
    EXPECT_EQ(String("\xC3\xA9 stays").stringByRemovingPercentEncoding()->utf8(), "\xC3\xA9 stays");
    for (const char* damaged : { "%", "%4", "a%zz", "%C3", "%C3x%A9", "%FF", "%C0%AF", "%ED%A0%80", "%F4%90%80%80" })
        EXPECT_FALSE(String(damaged).stringByRemovingPercentEncoding()) << damaged;
}

TEST(Scanner, ScansNumbersStepByStep)
{
    Scanner s("  12 mm 3.5e1");
    EXPECT_EQ(s.scanInteger(), 12);
    EXPECT_EQ(s.scanLocation(), 4);
    EXPECT_FALSE(s.scanDouble());
    EXPECT_EQ(s.scanLocation(), 4); // a failed scan does not even consume the blanks
    EXPECT_FALSE(s.isAtEnd());
    s.setScanLocation(7);
    EXPECT_EQ(s.scanDouble(), 35.0);
    EXPECT_TRUE(s.isAtEnd());
    EXPECT_THROW(s.setScanLocation(14), Exception);

    // A locale's decimal separator replaces the point.
    Scanner comma("3,75cm");
    comma.setDecimalSeparator(",");
    EXPECT_EQ(comma.scanFloat(), 3.75f);
    EXPECT_EQ(comma.scanLocation(), 4);
    Scanner point("3,75cm");
    EXPECT_EQ(point.scanFloat(), 3.0f);
    EXPECT_EQ(point.scanLocation(), 1);

    EXPECT_EQ(Scanner("99999999999999999999").scanInteger(), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(Scanner("-9223372036854775808").scanInteger(), std::numeric_limits<std::int64_t>::min());
    EXPECT_FALSE(Scanner("x1").scanInteger());
    EXPECT_TRUE(Scanner(" \n ").isAtEnd());

    Scanner strict(" 5");
    strict.setCharactersToBeSkipped(CharacterSet());
    EXPECT_FALSE(strict.scanInteger());
}
