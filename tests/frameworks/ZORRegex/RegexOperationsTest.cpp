#include "frameworks/ZORRegex/ZORRegexAdditions.h"

#include "support/Raised.h"

#include <gtest/gtest.h>

namespace {

using namespace ZORRegexAdditions;
using fnd::String;
using fnd::StringArray;

const String Face = String::fromCodePoint(0x1F600);

TEST(RegexOperations, SplittingDropsTrailingEmptyPiecesOnly)
{
    struct Case {
        const char* subject;
        const char* regex;
        StringArray pieces;
    };
    const Case cases[] = {
        { "a,b,", ",", { "a", "b" } },
        { "a,,b", ",", { "a", "", "b" } },
        { "a,,", ",", { "a" } },
        { ",a", ",", { "", "a" } },
        { "abc", ",", { "abc" } },
        { "", ",", {} },
        // Captured separators follow their piece; the trailing piece has none.
        { "a1b2c", "(\\d)", { "a", "1", "b", "2", "c" } },
        { "a1b2", "(\\d)", { "a", "1", "b", "2" } },
        // An empty match where the last one ended separates nothing.
        { "abc", "x*", { "a", "b", "c" } },
        { "a,b", ",?", { "a", "b" } },
    };
    for (const auto& c : cases)
        EXPECT_EQ(componentsSeparatedByRegex(c.subject, c.regex), c.pieces) << c.subject << " by " << c.regex;

    EXPECT_EQ(componentsSeparatedByRegex("x,a,b,y", ",", fnd::Range { 2, 3 }), (StringArray { "a", "b" }));
    EXPECT_EQ(componentsSeparatedByRegex("abc", ",", fnd::Range { 1, 0 }), StringArray {});
    EXPECT_EQ(
        componentsSeparatedByRegex("A;b;C", "B", ZRXCaseInsensitive, ZRXWholeString), (StringArray { "A;", ";C" }));
}

TEST(RegexOperations, MatchesAndCaptures)
{
    const String text = "x=1, y=22, z";
    EXPECT_TRUE(isMatchedByRegex(text, "y=\\d"));
    EXPECT_FALSE(isMatchedByRegex(text, "y=\\d", fnd::Range { 0, 5 }));
    EXPECT_EQ(rangeOfRegex(text, "(\\w)=(\\d+)"), (fnd::Range { 0, 3 }));
    EXPECT_EQ(rangeOfRegex(text, "(\\w)=(\\d+)", fnd::Index(2)), (fnd::Range { 2, 1 }));
    EXPECT_EQ(rangeOfRegex(text, "(\\w)=(\\d+)", fnd::Range { 3, 9 }), (fnd::Range { 5, 4 }));
    EXPECT_EQ(rangeOfRegex(text, "(\\w)=(\\d+)|(z)", ZRXNoOptions, ZRXWholeString, 3), fnd::Range::notFound())
        << "a capture that took no part";
    EXPECT_EQ(stringByMatching(text, "\\d+"), String("1"));
    EXPECT_EQ(stringByMatching(text, "(\\w)=(\\d+)", fnd::Index(1)), String("x"));
    EXPECT_EQ(stringByMatching(text, "\\d+", fnd::Range { 4, 8 }), String("22"));
    EXPECT_EQ(stringByMatching(text, "q"), std::nullopt);

    EXPECT_EQ(componentsMatchedByRegex(text, "\\d+"), (StringArray { "1", "22" }));
    EXPECT_EQ(componentsMatchedByRegex(text, "(\\w)=(\\d+)|(z)", fnd::Index(2)), (StringArray { "1", "22", "" }));
    EXPECT_EQ(componentsMatchedByRegex(text, "\\d+", fnd::Range { 0, 3 }), (StringArray { "1" }));

    EXPECT_EQ(captureComponentsMatchedByRegex(text, "(\\w)=(\\d+)"), (StringArray { "x=1", "x", "1" }));
    EXPECT_EQ(captureComponentsMatchedByRegex(text, "(q)"), StringArray {});
    EXPECT_EQ(arrayOfCaptureComponentsMatchedByRegex(text, "(\\w)=(\\d+)"),
        (std::vector<StringArray> { { "x=1", "x", "1" }, { "y=22", "y", "22" } }));
    EXPECT_TRUE(arrayOfCaptureComponentsMatchedByRegex(text, "q").empty());

    EXPECT_EQ(componentsMatchedByRegex("ABab", "a", ZRXCaseInsensitive, ZRXWholeString, 0), (StringArray { "A", "a" }));
    EXPECT_EQ(componentsMatchedByRegex("one\ntwo", "^t\\w+", ZRXMultiline, ZRXWholeString, 0), (StringArray { "two" }));
    EXPECT_EQ(componentsMatchedByRegex("a\nb", "a.b", ZRXDotAll, ZRXWholeString, 0), (StringArray { "a\nb" }));
}

TEST(RegexOperations, KeyedCaptures)
{
    const String text = "2024-05 and 1999-";
    const std::vector<ZRXKeyAndCapture> keys { { "year", 1 }, { "month", 2 }, { "all", 0 } };
    const String pattern = "(\\d{4})-(\\d\\d)?";
    EXPECT_EQ(dictionaryByMatchingRegex(text, pattern, keys),
        (fnd::Dictionary { { "year", "2024" }, { "month", "05" }, { "all", "2024-05" } }));
    // The second capture takes no part in the second match: no entry for its key.
    EXPECT_EQ(arrayOfDictionariesByMatchingRegex(text, pattern, keys),
        (std::vector<fnd::Dictionary> { { { "year", "2024" }, { "month", "05" }, { "all", "2024-05" } },
            { { "year", "1999" }, { "all", "1999-" } } }));
    EXPECT_EQ(dictionaryByMatchingRegex(text, "(\\d{4})-(\\d*)", fnd::Range { 12, 5 }, keys),
        (fnd::Dictionary { { "year", "1999" }, { "month", "" }, { "all", "1999-" } }))
        << "an empty capture maps to the empty string";
    EXPECT_EQ(dictionaryByMatchingRegex(text, "q(x)(y)", keys), fnd::Dictionary {});
    EXPECT_TRUE(arrayOfDictionariesByMatchingRegex(text, "q(x)(y)", keys).empty());

    const String names[] = { "a", "b" };
    const std::int32_t captures[] = { 2, 1 };
    EXPECT_EQ(dictionaryByMatchingRegex("xy", "(x)(y)", ZRXNoOptions, ZRXWholeString, names, captures),
        (fnd::Dictionary { { "a", "y" }, { "b", "x" } }));

    auto raised = ::raised([&] { dictionaryByMatchingRegex(text, pattern, { { "bad", 3 } }); });
    ASSERT_TRUE(raised);
    EXPECT_EQ(raised->name(), fnd::ExceptionName::InvalidArgument);
    EXPECT_EQ(raised->reason(),
        String("*** -[String dictionaryByMatchingRegex]: The capture argument 3 (capture 1 of 1) for key 'bad' is not "
               "valid."));
}

TEST(RegexOperations, TemplatesReplaceWithCapturesNamesAndEscapes)
{
    const String text = "2024-05-17";
    const String date = "(?<year>\\d{4})-(?<month>\\d\\d)-(\\d\\d)";
    EXPECT_EQ(stringByReplacingOccurrencesOfRegex(text, date, "$3.${month}.${year}"), String("17.05.2024"));
    EXPECT_EQ(stringByReplacingOccurrencesOfRegex("a1b22", "\\d+", "<$0>"), String("a<1>b<22>"));
    EXPECT_EQ(stringByReplacingOccurrencesOfRegex("cost 5", "(\\d)", "\\$$1.00"), String("cost $5.00"));
    EXPECT_EQ(stringByReplacingOccurrencesOfRegex("a.b", "\\.", "\\\\"), String("a\\b"));
    // No match: the same text; everything replaced by nothing: the empty string.
    EXPECT_EQ(stringByReplacingOccurrencesOfRegex("abc", "x", "y"), String("abc"));
    EXPECT_EQ(stringByReplacingOccurrencesOfRegex("abc", ".", ""), String());
    // A range gives the range's text, replaced.
    EXPECT_EQ(stringByReplacingOccurrencesOfRegex("aa-aa-aa", "a", "b", fnd::Range { 3, 2 }), String("bb"));
    EXPECT_EQ(stringByReplacingOccurrencesOfRegex("aa-aa", "x", "b", fnd::Range { 3, 2 }), String("aa"));
    // A long result outgrows the first output estimate.
    auto longer = stringByReplacingOccurrencesOfRegex("abcd", ".", String(std::string(100, 'x')));
    ASSERT_TRUE(longer);
    EXPECT_EQ(longer->length(), 400);

    // A malformed template is a programming error reported by ICU.
    for (const char* bad : { "$9", "${nosuch}", "${year" }) {
        auto raised = ::raised([&] { stringByReplacingOccurrencesOfRegex(text, date, bad); });
        ASSERT_TRUE(raised) << bad;
        EXPECT_EQ(raised->name(), ZRXICURegexException) << bad;
        EXPECT_TRUE(raised->reason().hasPrefix("*** -[String stringByReplacingOccurrencesOfRegex]: ICU regular "
                                               "expression error #"))
            << raised->reason();
        EXPECT_EQ(raised->userInfo().get(ZRXICURegexRegexErrorKey), fnd::Value(date));
    }
}

TEST(RegexOperations, ReplacingInPlaceChangesTheReceiverOnlyWhenSomethingMatched)
{
    String text = "one two three";
    EXPECT_EQ(replaceOccurrencesOfRegex(text, "o", "0"), 2);
    EXPECT_EQ(text, String("0ne tw0 three"));
    EXPECT_EQ(replaceOccurrencesOfRegex(text, "q", "0"), 0);
    EXPECT_EQ(text, String("0ne tw0 three"));
    EXPECT_EQ(replaceOccurrencesOfRegex(text, "e", "E", fnd::Range { 8, 5 }), 2);
    EXPECT_EQ(text, String("0ne tw0 thrEE"));
    EXPECT_EQ(replaceOccurrencesOfRegex(text, "(\\w+) (\\w+)", "$2 $1", ZRXNoOptions, ZRXWholeString).value(), 1);
    EXPECT_EQ(text, String("tw0 0ne thrEE"));
    // The changed text is searched as it is now.
    EXPECT_EQ(rangeOfRegex(text, "0ne"), (fnd::Range { 4, 3 }));
}

TEST(RegexOperations, IndexesCountUTF16UnitsAcrossAstralCharacters)
{
    const String text = String("a") + Face + String("b") + Face + String("c");
    ASSERT_EQ(text.length(), 7);
    EXPECT_EQ(componentsSeparatedByRegex(text, Face), (StringArray { "a", "b", "c" }));
    EXPECT_EQ(rangeOfRegex(text, "b"), (fnd::Range { 3, 1 }));
    EXPECT_EQ(rangeOfRegex(text, "c"), (fnd::Range { 6, 1 }));
    // "." takes a whole character: two units for the face.
    auto characters = componentsMatchedByRegex(text, ".");
    ASSERT_EQ(characters.size(), 5u);
    EXPECT_EQ(characters[1], Face);
    EXPECT_EQ(rangeOfRegex(text, "\\p{So}", fnd::Range { 2, 5 }), (fnd::Range { 4, 2 }));
    EXPECT_EQ(stringByReplacingOccurrencesOfRegex(text, "\\p{So}", "-"), String("a-b-c"));
    // Splitting between every two characters never cuts one in two.
    EXPECT_EQ(componentsSeparatedByRegex(String("x") + Face, "q*"), (StringArray { "x", Face }));
}

TEST(RegexOperations, ArgumentFaultsRaiseNamingTheOperation)
{
    auto capture = ::raised([] { rangeOfRegex("abc", "(a)(b)", fnd::Index(3)); });
    ASSERT_TRUE(capture);
    EXPECT_EQ(capture->name(), fnd::ExceptionName::InvalidArgument);
    EXPECT_EQ(capture->reason(), String("*** -[String rangeOfRegex]: The capture argument is not valid."));
    EXPECT_TRUE(::raised([] { componentsMatchedByRegex("abc", "a", fnd::Index(-1)); }));
    EXPECT_FALSE(::raised([] { rangeOfRegex("abc", "(a)(b)", fnd::Index(2)); }));

    auto range = ::raised([] { componentsSeparatedByRegex("abc", ",", fnd::Range { 1, 3 }); });
    ASSERT_TRUE(range);
    EXPECT_EQ(range->name(), fnd::ExceptionName::Range);
    EXPECT_EQ(range->reason(), String("*** -[String componentsSeparatedByRegex]: Range or index out of bounds."));
    EXPECT_TRUE(::raised([] { isMatchedByRegex("abc", "a", fnd::Range { 4, 0 }); }));
    EXPECT_TRUE(::raised([] { isMatchedByRegex("abc", "a", fnd::Range { -1, 1 }); }));
    EXPECT_FALSE(::raised([] { isMatchedByRegex("abc", "a", fnd::Range { 3, 0 }); }));
}

}

TEST(RegexOperations, ASearchICUCannotFinishRaisesAndLeavesTheCacheWorking)
{
    // A possessive loop of an empty match: ICU's bounded backtracking stack overflows on it.
    auto raised = ::raised([] { componentsSeparatedByRegex("ab\ncd", "^++", ZRXMultiline, ZRXWholeString); });
    ASSERT_TRUE(raised);
    EXPECT_EQ(raised->name(), ZRXICURegexException);
    EXPECT_EQ(componentsSeparatedByRegex("a,b", ","), (std::vector<String> { "a", "b" }));
}

TEST(RegexOperations, ARunawayMatchIsStoppedAndRaisesWithinSeconds)
{
    // A lazily repeated anchor never ends inside ICU's matcher, whatever the subject; nested quantifiers over a long
    // subject that does not match backtrack exponentially.
    const std::vector<std::pair<String, String>> runaways { { "ab", "^+?t" },
        { String(std::u16string(40, u'a')) + "!", "(a+)+$" }, { String(std::u16string(60, u'x')), "(x+x+)+y" } };
    for (const auto& [subject, pattern] : runaways) {
        auto raised = ::raised([&] { componentsSeparatedByRegex(subject, pattern); });
        ASSERT_TRUE(raised) << pattern.utf8();
        EXPECT_EQ(raised->name(), ZRXICURegexException) << pattern.utf8();
    }
    EXPECT_EQ(componentsSeparatedByRegex("a,b", ","), (std::vector<String> { "a", "b" }));
}

namespace {

// Sets the calling thread's match limit for one test and puts the default back.
class RegexOperationsMatchLimit {
public:
    explicit RegexOperationsMatchLimit(std::int32_t units) { setMatchTimeLimitForCurrentThread(units); }
    ~RegexOperationsMatchLimit() { setMatchTimeLimitForCurrentThread(DefaultMatchTimeLimit); }
};

}

TEST(RegexOperations, AThreadsOwnMatchLimitStopsEveryKindOfSearchAndZeroLiftsIt)
{
    // Some 2^18 backtracking steps: far below the default limit, far above a limit of one unit.
    const String heavy = String(std::u16string(18, u'a')) + "!";
    const String runaway = String(std::u16string(60, u'x'));
    {
        RegexOperationsMatchLimit limit(1);
        auto raised = ::raised([&] { componentsSeparatedByRegex(heavy, "(a+)+$"); });
        ASSERT_TRUE(raised);
        EXPECT_EQ(raised->name(), ZRXICURegexException);
        // Enumerations search on their own copy of the pattern, which must keep the limit too: without it this
        // search would not end.
        auto enumerated
            = ::raised([&] { enumerateStringsMatchedByRegex(runaway, "(x+x+)+y", [](auto, auto, bool&) {}); });
        ASSERT_TRUE(enumerated);
        EXPECT_EQ(enumerated->name(), ZRXICURegexException);
        auto replaced = ::raised([&] {
            stringByReplacingOccurrencesOfRegex(
                runaway, "(x+x+)+y", [](auto, auto, bool&) { return std::optional<String>(); });
        });
        ASSERT_TRUE(replaced);
        // The cached pattern that timed out still answers reasonable searches.
        EXPECT_EQ(componentsSeparatedByRegex("aa!", "(a+)+$"), (StringArray { "aa!" }));
    }
    {
        RegexOperationsMatchLimit none(0);
        EXPECT_EQ(componentsSeparatedByRegex(heavy, "(a+)+$"), (StringArray { heavy }));
    }
    // Back at the default, the same heavy search finishes.
    EXPECT_EQ(componentsSeparatedByRegex(heavy, "(a+)+$"), (StringArray { heavy }));
}
