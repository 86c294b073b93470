#include "frameworks/ZORRegex/ZORRegexAdditions.h"

#include "platform/foundation/runtime/StringFormat.h"
#include "support/Raised.h"

#include <gtest/gtest.h>

namespace {

using namespace ZORRegexAdditions;
using fnd::String;
using fnd::StringArray;

// What a block saw at each call.
struct Call {
    StringArray strings;
    std::vector<fnd::Range> ranges;
    bool operator==(const Call&) const = default;
};

std::vector<Call> separated(const String& subject, const String& regex)
{
    std::vector<Call> calls;
    EXPECT_TRUE(enumerateStringsSeparatedByRegex(subject, regex, [&](auto strings, auto ranges, bool&) {
        calls.push_back({ StringArray(strings.begin(), strings.end()), { ranges.begin(), ranges.end() } });
    }));
    return calls;
}

TEST(RegexBlocks, SplittingCallsOncePerPieceAsTheArrayFormHasThem)
{
    EXPECT_EQ(separated("a,b,", ","), (std::vector<Call> { { { "a" }, { { 0, 1 } } }, { { "b" }, { { 2, 1 } } } }));
    // The trailing piece has no captures, so one entry.
    EXPECT_EQ(separated("a,b", "(,)"),
        (std::vector<Call> { { { "a", "," }, { { 0, 1 }, { 1, 1 } } }, { { "b" }, { { 2, 1 } } } }));
    EXPECT_EQ(separated("abc", ","), (std::vector<Call> { { { "abc" }, { { 0, 3 } } } }));
    EXPECT_EQ(separated("a,,b", ","),
        (std::vector<Call> { { { "a" }, { { 0, 1 } } }, { { "" }, { { 2, 0 } } }, { { "b" }, { { 3, 1 } } } }));
    EXPECT_EQ(separated("a,,", ","), (std::vector<Call> { { { "a" }, { { 0, 1 } } } }));
    for (const char* subject : { "a,b,", "a,,b,c,,", ",x", "" }) {
        StringArray pieces;
        for (const auto& call : separated(subject, ","))
            pieces.push_back(call.strings[0]);
        EXPECT_EQ(pieces, componentsSeparatedByRegex(subject, ",")) << subject;
    }
}

TEST(RegexBlocks, MatchEnumerationGivesCapturesAndStops)
{
    std::vector<Call> calls;
    EXPECT_TRUE(enumerateStringsMatchedByRegex("k1=v1;k2=", "(\\w+)=(\\w+)?", [&](auto strings, auto ranges, bool&) {
        calls.push_back({ StringArray(strings.begin(), strings.end()), { ranges.begin(), ranges.end() } });
    }));
    EXPECT_EQ(calls,
        (std::vector<Call> { { { "k1=v1", "k1", "v1" }, { { 0, 5 }, { 0, 2 }, { 3, 2 } } },
            { { "k2=", "k2", "" }, { { 6, 3 }, { 6, 2 }, fnd::Range::notFound() } } }));

    int count = 0;
    auto stopped
        = enumerateStringsMatchedByRegex("a b c", "\\w", ZRXNoOptions, ZRXWholeString, 0, [&](auto, auto, bool& stop) {
              ++count;
              stop = true;
          });
    EXPECT_TRUE(stopped.has_value()) << "stopping is no error";
    EXPECT_EQ(count, 1);

    // Only ranges: no strings are made.
    std::vector<std::size_t> stringCounts;
    EXPECT_TRUE(enumerateStringsMatchedByRegex("a b", "(\\w)", ZRXNoOptions, ZRXWholeString,
        ZRXRegexEnumerationCapturedStringsNotRequired,
        [&](auto strings, auto ranges, bool&) { stringCounts.push_back(strings.size() * 10 + ranges.size()); }));
    EXPECT_EQ(stringCounts, (std::vector<std::size_t> { 2, 2 }));

    // Reused strings: the same objects every time, each time holding the current match.
    std::vector<const String*> addresses;
    StringArray texts;
    EXPECT_TRUE(enumerateStringsMatchedByRegex("one two three", "\\w+", ZRXNoOptions, ZRXWholeString,
        ZRXRegexEnumerationReuseCapturedStrings, [&](auto strings, auto, bool&) {
            addresses.push_back(&strings[0]);
            texts.push_back(strings[0]);
        }));
    EXPECT_EQ(texts, (StringArray { "one", "two", "three" }));
    ASSERT_EQ(addresses.size(), 3u);
    EXPECT_EQ(addresses[0], addresses[2]);

    // A range limits the enumeration, and its positions are the subject's.
    std::vector<fnd::Range> ranges;
    EXPECT_TRUE(enumerateStringsMatchedByRegex(
        "aaaa", "a", ZRXNoOptions, fnd::Range { 1, 2 }, 0, [&](auto, auto r, bool&) { ranges.push_back(r[0]); }));
    EXPECT_EQ(ranges, (std::vector<fnd::Range> { { 1, 1 }, { 2, 1 } }));
}

TEST(RegexBlocks, ReplacementByBlockResults)
{
    auto upper = stringByReplacingOccurrencesOfRegex(
        "a-b-c", "[a-z]", [](auto strings, auto, bool&) { return std::optional(strings[0].uppercaseString()); });
    EXPECT_EQ(upper, String("A-B-C"));
    auto removed = stringByReplacingOccurrencesOfRegex(
        "a-b-c", "-", [](auto, auto, bool&) -> std::optional<String> { return std::nullopt; });
    EXPECT_EQ(removed, String("abc")) << "nothing returned deletes the match";
    auto firstOnly = stringByReplacingOccurrencesOfRegex("x x x", "x", [](auto, auto, bool& stop) {
        stop = true;
        return std::optional<String>("y");
    });
    EXPECT_EQ(firstOnly, String("y x x"));
    auto inRange = stringByReplacingOccurrencesOfRegex("ab-ab-ab", "b", ZRXNoOptions, fnd::Range { 3, 5 },
        ZRXRegexEnumerationReleaseReplacementString, [](auto, auto, bool&) { return std::optional<String>("B"); });
    EXPECT_EQ(inRange.value(), String("aB-aB")) << "the range's text";
    EXPECT_EQ(
        stringByReplacingOccurrencesOfRegex("abc", "x", [](auto, auto, bool&) { return std::optional<String>("y"); }),
        String("abc"));

    String text = "1 22 333";
    EXPECT_EQ(replaceOccurrencesOfRegex(text, "\\d+",
                  [](auto strings, auto, bool&) {
                      return std::optional(fnd::stringWithFormat("<%ld>", strings[0].length()));
                  }),
        3);
    EXPECT_EQ(text, String("<1> <2> <3>"));
    EXPECT_EQ(replaceOccurrencesOfRegex(text, "q", [](auto, auto, bool&) { return std::optional<String>("z"); }), 0);
    EXPECT_EQ(text, String("<1> <2> <3>"));
}

TEST(RegexBlocks, BlocksMayUseRegexesAndChangeTheirSubject)
{
    String subject = "alpha beta gamma";
    StringArray words;
    EXPECT_TRUE(enumerateStringsMatchedByRegex(subject, "\\w+", [&](auto strings, auto, bool&) {
        // The block holds no lock: other operations, on other strings, run inside it.
        EXPECT_TRUE(isMatchedByRegex("x" + strings[0], "^x\\w+$"));
        EXPECT_EQ(componentsSeparatedByRegex(strings[0], "a").empty(), false);
        // The enumeration works on its own copy.
        subject = "changed";
        words.push_back(strings[0]);
    }));
    EXPECT_EQ(words, (StringArray { "alpha", "beta", "gamma" }));

    String nested = "a1 b2";
    auto result = stringByReplacingOccurrencesOfRegex(nested, "\\w\\d", [](auto strings, auto, bool&) {
        return stringByReplacingOccurrencesOfRegex(
            strings[0], "\\d", [](auto digits, auto, bool&) { return std::optional(digits[0] + digits[0]); });
    });
    EXPECT_EQ(result, String("a11 b22"));
}

TEST(RegexBlocks, OptionsAndPatternsAreChecked)
{
    auto noop = [](auto, auto, bool&) {};
    auto invalid = [&](ZRXRegexEnumerationOptions options) {
        auto e = ::raised(
            [&] { (void)enumerateStringsMatchedByRegex("a", "a", ZRXNoOptions, ZRXWholeString, options, noop); });
        return e && e->name() == fnd::ExceptionName::InvalidArgument
            && e->reason()
            == String("*** -[String enumerateStringsMatchedByRegex]: The ZRXRegexEnumerationOptions argument is not "
                      "valid.");
    };
    EXPECT_TRUE(invalid(ZRXRegexEnumerationCapturedStringsNotRequired | ZRXRegexEnumerationReuseCapturedStrings));
    EXPECT_TRUE(invalid(ZRXRegexEnumerationReleaseReplacementString)) << "releasing is for replacing only";
    EXPECT_TRUE(invalid(0x1000));
    EXPECT_FALSE(invalid(ZRXRegexEnumerationReuseCapturedStrings));

    auto range = ::raised([&] {
        (void)enumerateStringsSeparatedByRegex("abc", ",", ZRXNoOptions, fnd::Range { 2, 2 }, 0, noop);
    });
    ASSERT_TRUE(range);
    EXPECT_EQ(range->name(), fnd::ExceptionName::Range);

    int calls = 0;
    EXPECT_FALSE(enumerateStringsMatchedByRegex("abc", "(", [&](auto, auto, bool&) { ++calls; }));
    auto error = enumerateStringsSeparatedByRegex("abc", "a{2,1}", ZRXNoOptions, ZRXWholeString, 0, noop);
    ASSERT_FALSE(error);
    EXPECT_EQ(error.error().domain(), ZRXICURegexErrorDomain);
    String text = "abc";
    EXPECT_EQ(replaceOccurrencesOfRegex(text, "(", [](auto, auto, bool&) { return std::optional<String>("x"); }), -1);
    EXPECT_EQ(calls, 0);
}

}
