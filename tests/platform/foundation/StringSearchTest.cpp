#include "platform/foundation/runtime/CharacterSet.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/String.h"

#include <gtest/gtest.h>

#include <optional>

using namespace fnd;
using O = StringCompareOptions;

namespace {

std::string show(Range r)
{
    return r.location == NotFound ? "not found" : fmt::format("{{{}, {}}}", r.location, r.length);
}

constexpr Range None = Range::notFound();

}

TEST(StringSearch, FindsWithEveryOption)
{
    struct Case {
        const char* hay;
        const char* needle;
        O options;
        std::optional<Range> within;
        Range expected;
    };
    const Case cases[] = {
        { "Hello World", "world", O::None, {}, None },
        { "Hello World", "world", O::CaseInsensitive, {}, { 6, 5 } },
        { "abcabc", "abc", O::None, {}, { 0, 3 } },
        { "abcabc", "abc", O::Backwards, {}, { 3, 3 } },
        { "abcabc", "ab", O::Anchored, {}, { 0, 2 } },
        { "abcabc", "bc", O::Anchored, {}, None },
        { "abcabc", "bc", O::Backwards | O::Anchored, {}, { 4, 2 } },
        { "abcabc", "ab", O::Backwards | O::Anchored, {}, None },
        // Range-limited: matches must lie wholly inside, anchors are the range's ends.
        { "abcabc", "abc", O::None, Range { 1, 5 }, { 3, 3 } },
        { "abcabc", "abc", O::None, Range { 1, 4 }, None },
        { "abcabc", "bc", O::Backwards | O::Anchored, Range { 0, 3 }, { 1, 2 } },
        { "abcabc", "bc", O::Backwards | O::Anchored, Range { 0, 4 }, None },
        { "abcabc", "ca", O::Anchored, Range { 2, 3 }, { 2, 2 } },
        { "abc", "", O::None, {}, None },
        { "", "a", O::None, {}, None },
        // UTF-16 offsets with surrogate pairs (U+1F600 takes two units).
        { "a\xF0\x9F\x98\x80"
          "b\xF0\x9F\x98\x80",
            "\xF0\x9F\x98\x80", O::Backwards, {}, { 4, 2 } },
        { "a\xF0\x9F\x98\x80"
          "b\xF0\x9F\x98\x80",
            "b", O::None, {}, { 3, 1 } },
        // Canonical equivalence unless literal: precomposed U+00E9 against e + U+0301.
        { "caf\xC3\xA9!", "cafe\xCC\x81", O::None, {}, { 0, 4 } },
        { "caf\xC3\xA9!", "cafe\xCC\x81", O::Literal, {}, None },
        { "xcafe\xCC\x81", "caf\xC3\xA9", O::None, {}, { 1, 5 } },
        // A match never ends inside a character: "e" is not found in e + combining accent unless literal.
        { "e\xCC\x81x", "e", O::None, {}, None },
        { "e\xCC\x81x", "e", O::Literal, {}, { 0, 1 } },
        { "e\xCC\x81"
          "e",
            "e", O::Backwards, {}, { 2, 1 } },
        // Full case folding: sharp s matches "ss", but never half of it.
        { "Stra\xC3\x9F"
          "e",
            "STRASSE", O::CaseInsensitive, {}, { 0, 6 } },
        { "Strasse",
            "stra\xC3\x9F"
            "e",
            O::CaseInsensitive, {}, { 0, 7 } },
        { "\xC3\x9F", "s", O::CaseInsensitive, {}, None },
        { "\xC3\x9F", "s", O::CaseInsensitive | O::Literal, {}, None },
        // Greek with a final sigma and a tonos (decomposed when not literal).
        { "\xCE\xA3\xCE\x8A\xCE\xA3\xCE\xA5\xCE\xA6\xCE\x9F\xCE\xA3",
            "\xCF\x83\xCE\xAF\xCF\x83\xCF\x85\xCF\x86\xCE\xBF\xCF\x82", O::CaseInsensitive, {}, { 0, 7 } },
        // Astral letters fold too (Deseret capital and small long I).
        { "x\xF0\x90\x90\x80y", "\xF0\x90\x90\xA8", O::CaseInsensitive, {}, { 1, 2 } },
        { "x\xF0\x90\x90\x80y", "\xF0\x90\x90\xA8", O::CaseInsensitive | O::Literal, {}, { 1, 2 } },
        { "x\xF0\x90\x90\x80y", "\xF0\x90\x90\xA8", O::None, {}, None },
    };
    for (const auto& c : cases) {
        String hay(c.hay);
        Range found
            = c.within ? hay.rangeOfString(c.needle, c.options, *c.within) : hay.rangeOfString(c.needle, c.options);
        EXPECT_EQ(show(found), show(c.expected))
            << "\"" << c.hay << "\" searching \"" << c.needle << "\" options " << static_cast<unsigned>(c.options);
    }
    EXPECT_THROW(String("abc").rangeOfString("a", O::None, { 2, 2 }), Exception);
}

TEST(StringSearch, FindsCharactersFromSets)
{
    const auto& digits = CharacterSet::decimalDigitCharacterSet();
    auto smiley = CharacterSet::characterSetWithCharactersInString("\xF0\x9F\x98\x80");
    auto upperA = CharacterSet::characterSetWithCharactersInString("A");
    struct Case {
        const char* text;
        const CharacterSet& set;
        O options;
        std::optional<Range> within;
        Range expected;
    };
    const Case cases[] = {
        { "ab12", digits, O::None, {}, { 2, 1 } },
        { "ab12", digits, O::Backwards, {}, { 3, 1 } },
        { "ab12", digits, O::Anchored, {}, None },
        { "ab12", digits, O::Backwards | O::Anchored, {}, { 3, 1 } },
        { "ab12", digits, O::None, Range { 0, 2 }, None },
        { "ab12", digits, O::Backwards, Range { 1, 2 }, { 2, 1 } },
        { "a\xF0\x9F\x98\x80z\xF0\x9F\x98\x80", smiley, O::None, {}, { 1, 2 } },
        { "a\xF0\x9F\x98\x80z\xF0\x9F\x98\x80", smiley, O::Backwards, {}, { 4, 2 } },
        { "xa", upperA, O::None, {}, None },
        { "xa", upperA, O::CaseInsensitive, {}, { 1, 1 } },
    };
    for (const auto& c : cases) {
        String text(c.text);
        Range found = c.within ? text.rangeOfCharacterFromSet(c.set, c.options, *c.within)
                               : text.rangeOfCharacterFromSet(c.set, c.options);
        EXPECT_EQ(show(found), show(c.expected)) << "\"" << c.text << "\" options " << static_cast<unsigned>(c.options);
    }
}

TEST(StringSearch, PrefixAndSuffixAreLiteral)
{
    String s("caf\xC3\xA9");
    EXPECT_TRUE(s.hasPrefix("ca"));
    EXPECT_TRUE(s.hasPrefix(""));
    EXPECT_FALSE(s.hasPrefix("CA"));
    EXPECT_TRUE(s.hasSuffix("\xC3\xA9"));
    EXPECT_FALSE(s.hasSuffix("e\xCC\x81"));
    EXPECT_FALSE(String("a").hasSuffix("ba"));
}

TEST(StringSearch, ComparesWithOptions)
{
    using W = std::weak_ordering;
    struct Case {
        const char* a;
        const char* b;
        O options;
        W expected;
    };
    const Case cases[] = {
        { "a", "B", O::None, W::greater },
        { "a", "B", O::CaseInsensitive, W::less },
        { "abc", "ABC", O::CaseInsensitive, W::equivalent },
        { "ab", "abc", O::None, W::less },
        { "caf\xC3\xA9", "cafe\xCC\x81", O::None, W::equivalent },
        { "caf\xC3\xA9", "cafe\xCC\x81", O::Literal, W::greater },
        { "STRASSE",
            "stra\xC3\x9F"
            "e",
            O::CaseInsensitive, W::equivalent },
        { "file9", "file10", O::None, W::greater },
        { "file9", "file10", O::Numeric, W::less },
        { "file10", "file9", O::Numeric, W::greater },
        { "a01", "a1", O::Numeric, W::equivalent },
        { "a1b", "a1c", O::Numeric, W::less },
        { "x123456789012345678901", "x123456789012345678902", O::Numeric, W::less },
        { "x99999999999999999999999", "x100000000000000000000000", O::Numeric, W::less },
        { "File9", "file10", O::Numeric | O::CaseInsensitive, W::less },
        { "2", "10", O::Numeric | O::Literal, W::less },
        { "", "", O::None, W::equivalent },
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(String(c.a).compare(c.b, c.options) == c.expected)
            << "\"" << c.a << "\" vs \"" << c.b << "\" options " << static_cast<unsigned>(c.options);
    }
    EXPECT_TRUE(String("xxABC").compare("abc", O::CaseInsensitive, { 2, 3 }) == W::equivalent);
    EXPECT_TRUE(String("Zebra").caseInsensitiveCompare("apple") == W::greater);
}

TEST(StringSearch, ComposedCharacterSequences)
{
    struct Case {
        const char* text;
        Index index;
        Range expected;
    };
    const Case cases[] = {
        { "a\r\nb", 1, { 1, 2 } }, { "a\r\nb", 2, { 1, 2 } }, { "a\n\rb", 1, { 1, 1 } },
        { "\xF0\x9F\x98\x80", 1, { 0, 2 } }, { "e\xCC\x81x", 0, { 0, 2 } }, { "e\xCC\x81x", 1, { 0, 2 } },
        { "e\xCC\x81x", 2, { 2, 1 } }, { "a\xE2\x80\x8D", 0, { 0, 2 } }, // a + zero-width joiner
        { "\xF0\x9F\x87\xA9\xF0\x9F\x87\xAA", 2, { 0, 4 } }, // a flag: two regional indicators
        { "\xD8\x80"
          "a",
            1, { 0, 2 } }, // U+0600 joins the letter after it
        { "\xE0\xA4\x95\xE0\xA4\xBF", 1, { 0, 2 } }, // Devanagari KA + vowel sign I
    };
    for (const auto& c : cases) {
        EXPECT_EQ(show(String(c.text).rangeOfComposedCharacterSequenceAtIndex(c.index)), show(c.expected))
            << "\"" << c.text << "\" at " << c.index;
    }

    String mixed("e\xCC\x81x\xF0\x9F\x98\x80\r\n");
    EXPECT_EQ(show(mixed.rangeOfComposedCharacterSequencesForRange({ 1, 2 })), show({ 0, 3 }));
    EXPECT_EQ(show(mixed.rangeOfComposedCharacterSequencesForRange({ 3, 1 })), show({ 3, 2 }));
    EXPECT_EQ(show(mixed.rangeOfComposedCharacterSequencesForRange({ 6, 1 })), show({ 5, 2 }));
    EXPECT_EQ(show(mixed.rangeOfComposedCharacterSequencesForRange({ 4, 0 })), show({ 3, 0 }));
    EXPECT_EQ(show(mixed.rangeOfComposedCharacterSequencesForRange({ 7, 0 })), show({ 7, 0 }));
    EXPECT_THROW(mixed.rangeOfComposedCharacterSequenceAtIndex(7), Exception);
}

// Every index of a character must report the same range, whichever way (shortcut or break rules) it is settled.
TEST(StringSearch, ComposedSequencesAgreeAcrossTheirIndexes)
{
    const char16_t pieces[][3] = { u"a", u"Z", u"\r", u"\n", u"\u0301", u"\u0600", u"\u200D", u"\U0001F600",
        u"\U0001F1E9", u" ", u"\u00E9", u"\t", u"\u0915", u"\u093F" };
    unsigned seed = 12345;
    for (int round = 0; round < 300; ++round) {
        std::u16string text;
        for (int k = 0; k < 12; ++k) {
            seed = seed * 1103515245 + 12345;
            text += pieces[(seed >> 16) % std::size(pieces)];
        }
        String s(text);
        Index covered = 0;
        while (covered < s.length()) {
            Range r = s.rangeOfComposedCharacterSequenceAtIndex(covered);
            ASSERT_EQ(r.location, covered) << s;
            for (Index i = r.location; i < r.max(); ++i)
                ASSERT_EQ(show(s.rangeOfComposedCharacterSequenceAtIndex(i)), show(r)) << s << " at " << i;
            covered = r.max();
        }
    }
}

TEST(StringSearch, ReplacesOccurrences)
{
    struct Case {
        const char* text;
        const char* target;
        const char* replacement;
        O options;
        std::optional<Range> within;
        const char* expected;
        Index count;
    };
    const Case cases[] = {
        { "a-b-c", "-", "+", O::None, {}, "a+b+c", 2 },
        { "aaa", "aa", "b", O::None, {}, "ba", 1 },
        { "aaa", "aa", "b", O::Backwards, {}, "ab", 1 },
        { "abab", "ab", "x", O::Anchored, {}, "xab", 1 },
        { "abab", "ab", "x", O::Backwards | O::Anchored, {}, "abx", 1 },
        { "a-b-c", "-", "+", O::None, Range { 2, 3 }, "a-b+c", 1 },
        { "Foo foo FOO", "foo", "bar", O::CaseInsensitive, {}, "bar bar bar", 3 },
        { "aa", "a", "aa", O::None, {}, "aaaa", 2 },
        { "cafe\xCC\x81 caf\xC3\xA9", "caf\xC3\xA9", "tea", O::None, {}, "tea tea", 2 },
        { "cafe\xCC\x81 caf\xC3\xA9", "caf\xC3\xA9", "tea", O::Literal, {}, "cafe\xCC\x81 tea", 1 },
        { "abc", "", "x", O::None, {}, "abc", 0 },
    };
    for (const auto& c : cases) {
        String s(c.text);
        Range within = c.within.value_or(Range { 0, s.length() });
        EXPECT_EQ(s.stringByReplacingOccurrencesOfString(c.target, c.replacement, c.options, within).utf8(), c.expected)
            << "\"" << c.text << "\" replacing \"" << c.target << "\"";
        EXPECT_EQ(s.replaceOccurrencesOfString(c.target, c.replacement, c.options, within), c.count) << c.text;
        EXPECT_EQ(s.utf8(), c.expected);
    }

    std::string many;
    for (int i = 0; i < 2000; ++i)
        many += "e\xCC\x81-";
    String text(many);
    EXPECT_EQ(text.replaceOccurrencesOfString("\xC3\xA9-", "x", O::None, { 0, text.length() }), 2000);
    EXPECT_EQ(text.utf8(), std::string(2000, 'x'));
}
