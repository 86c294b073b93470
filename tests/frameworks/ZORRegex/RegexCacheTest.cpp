#include "frameworks/ZORRegex/ZORRegexAdditions.h"
#include "frameworks/ZORRegex/detail/RegexCacheStatistics.h"

#include "platform/foundation/runtime/StringFormat.h"
#include "support/Raised.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

using namespace ZORRegexAdditions;
using fnd::String;
using ZORRegexCacheStatistics::counters;
using ZORRegexCacheStatistics::lineHoldingRegex;

class RegexCache : public ::testing::Test {
protected:
    void SetUp() override
    {
        clearStringCache();
        ZORRegexCacheStatistics::resetCounters();
    }
};

// Distinct patterns that all fall into one set of the cache.
std::vector<String> patternsInOneSet(std::size_t count)
{
    std::vector<String> found;
    int set = ZORRegexCacheStatistics::setForRegex("x0", 0);
    for (int i = 0; found.size() < count; ++i) {
        String candidate = fnd::stringWithFormat("x%d", i);
        if (ZORRegexCacheStatistics::setForRegex(candidate, 0) == set)
            found.push_back(candidate);
    }
    return found;
}

TEST_F(RegexCache, ASetFillsWaysThreeToZeroAndEvictsTheLeastRecentlyUsed)
{
    auto p = patternsInOneSet(6);
    const int set = ZORRegexCacheStatistics::setForRegex(p[0], 0);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(captureCountForRegex(p[static_cast<std::size_t>(i)]), 0);
        EXPECT_EQ(lineHoldingRegex(p[static_cast<std::size_t>(i)], 0), set * 4 + 3 - i) << "fill order";
    }
    EXPECT_EQ(counters().compilations, 4u);
    EXPECT_EQ(counters().evictions, 0u);

    // The fifth takes the way of the oldest (p0, way 3).
    captureCountForRegex(p[4]);
    EXPECT_EQ(lineHoldingRegex(p[4], 0), set * 4 + 3);
    EXPECT_EQ(lineHoldingRegex(p[0], 0), std::nullopt);
    EXPECT_EQ(counters().evictions, 1u);
    // p0 compiles again, in place of the next oldest, p1.
    captureCountForRegex(p[0]);
    EXPECT_EQ(counters().compilations, 6u);
    EXPECT_EQ(lineHoldingRegex(p[0], 0), set * 4 + 2);
    EXPECT_EQ(lineHoldingRegex(p[1], 0), std::nullopt);

    // A use counts: after p2 is used again, p3 is the oldest.
    EXPECT_EQ(captureCountForRegex(p[2]), 0);
    EXPECT_EQ(counters().compilations, 6u) << "a hit compiles nothing";
    captureCountForRegex(p[5]);
    EXPECT_EQ(lineHoldingRegex(p[5], 0), set * 4 + 0);
    EXPECT_TRUE(lineHoldingRegex(p[2], 0));
    EXPECT_EQ(lineHoldingRegex(p[3], 0), std::nullopt);
}

TEST_F(RegexCache, EqualPatternTextIsOneEntryAndOptionsMakeAnother)
{
    const String a = "(a)(b)";
    const String sameText = std::string("(a)(b)");
    const String other = "c+";
    EXPECT_EQ(captureCountForRegex(a), 2);
    EXPECT_EQ(captureCountForRegex(sameText), 2);
    EXPECT_EQ(counters().compilations, 1u);
    EXPECT_EQ(counters().lastRegexHits, 1u);

    // After another pattern, the first is found again through its object's lookaside entry.
    captureCountForRegex(other);
    captureCountForRegex(a);
    EXPECT_EQ(counters().lookasideHits, 1u);
    EXPECT_EQ(counters().compilations, 2u);

    EXPECT_EQ(captureCountForRegex(a, ZRXCaseInsensitive), 2);
    EXPECT_EQ(counters().compilations, 3u);
    EXPECT_NE(lineHoldingRegex(a, ZRXNoOptions), lineHoldingRegex(a, ZRXCaseInsensitive));
    EXPECT_FALSE(isMatchedByRegex("AB", a));
    EXPECT_EQ(isMatchedByRegex("AB", a, ZRXCaseInsensitive, ZRXWholeString), true);

    clearStringCache();
    EXPECT_EQ(lineHoldingRegex(a, 0), std::nullopt);
    captureCountForRegex(a);
    EXPECT_EQ(counters().compilations, 4u) << "cleared entries compile again";
}

TEST_F(RegexCache, ASubjectIsKeptWhileItsTextIsUnchanged)
{
    String subject = "abc 123 def";
    const String digits = "\\d+";
    EXPECT_EQ(rangeOfRegex(subject, digits), (fnd::Range { 4, 3 }));
    auto before = counters();
    EXPECT_EQ(rangeOfRegex(subject, digits), (fnd::Range { 4, 3 }));
    auto after = counters();
    EXPECT_EQ(after.subjectsSet, before.subjectsSet) << "the same text is not set again";
    EXPECT_EQ(after.memoisedSearches, before.memoisedSearches + 1) << "nor searched again";
    EXPECT_EQ(after.icuSearches, before.icuSearches);

    // Changed in place to the same length: the entry must see the new text.
    subject.replaceCharacters({ 6, 1 }, "x");
    EXPECT_EQ(rangeOfRegex(subject, digits), (fnd::Range { 4, 2 }));
    EXPECT_EQ(counters().subjectsSet, after.subjectsSet + 1);

    // A different string object with the same text keeps the entry's subject.
    String copy = subject;
    before = counters();
    EXPECT_EQ(rangeOfRegex(copy, digits), (fnd::Range { 4, 2 }));
    EXPECT_EQ(counters().subjectsSet, before.subjectsSet);

    flushCachedRegexData(subject);
    EXPECT_EQ(rangeOfRegex(subject, digits), (fnd::Range { 4, 2 }));
    EXPECT_EQ(counters().subjectsSet, before.subjectsSet + 1) << "a flushed subject is set anew";
}

TEST_F(RegexCache, ShortSubjectsUseFixedBuffersAndLongOnesDynamicOnes)
{
    const String shortSubject = String(std::string(2046, 'a')) + String("b");
    const String longSubject = String(std::string(2047, 'a')) + String("b");
    ASSERT_EQ(shortSubject.length(), 2047);
    ASSERT_EQ(longSubject.length(), 2048);
    EXPECT_EQ(rangeOfRegex(shortSubject, "b"), (fnd::Range { 2046, 1 }));
    EXPECT_EQ(counters().fixedBufferCopies, 1u);
    EXPECT_EQ(counters().dynamicBufferCopies, 0u);
    EXPECT_EQ(rangeOfRegex(longSubject, "b"), (fnd::Range { 2047, 1 }));
    EXPECT_EQ(counters().dynamicBufferCopies, 1u);

    // Another pattern on the same text finds the text in its buffer.
    EXPECT_EQ(rangeOfRegex(longSubject, "a+b"), (fnd::Range { 0, 2048 }));
    EXPECT_EQ(counters().dynamicBufferCopies, 1u);
    EXPECT_EQ(counters().bufferReuses, 1u);

    // Five subjects through four buffers: the first is copied again, and its entry still answers rightly.
    std::vector<String> subjects;
    for (int i = 0; i < 5; ++i)
        subjects.push_back(fnd::stringWithFormat("subject %d", i));
    for (const auto& s : subjects)
        EXPECT_EQ(rangeOfRegex(s, "\\d"), (fnd::Range { 8, 1 }));
    EXPECT_EQ(rangeOfRegex(subjects[0], "\\d"), (fnd::Range { 8, 1 }));
    EXPECT_EQ(stringByMatching(subjects[1], "\\d"), String("1"));
}

TEST_F(RegexCache, ABadPatternGivesTheErrorWithWhereItWasFound)
{
    const String bad = "ab(cd";
    EXPECT_EQ(captureCountForRegex(bad), -1);
    EXPECT_EQ(captureCount(bad), -1);
    EXPECT_FALSE(isRegexValid(bad));
    EXPECT_TRUE(isRegexValid("ab(cd)"));

    auto result = captureCountForRegex(bad, ZRXNoOptions);
    ASSERT_FALSE(result);
    const auto& error = result.error();
    EXPECT_EQ(error.domain(), ZRXICURegexErrorDomain);
    EXPECT_EQ(error.code(), 66310) << "U_REGEX_MISMATCHED_PAREN";
    const auto& info = error.userInfo();
    EXPECT_EQ(info.get(ZRXICURegexRegexErrorKey), fnd::Value("ab(cd"));
    EXPECT_EQ(info.get(ZRXICURegexErrorNameErrorKey), fnd::Value("U_REGEX_MISMATCHED_PAREN"));
    EXPECT_EQ(info.get(ZRXICURegexLineErrorKey), fnd::Value(1));
    EXPECT_EQ(info.get(ZRXICURegexOffsetErrorKey), fnd::Value(5));
    EXPECT_EQ(info.get(ZRXICURegexPreContextErrorKey), fnd::Value("ab(cd"));
    EXPECT_EQ(info.get(ZRXICURegexPostContextErrorKey), fnd::Value(""));
    EXPECT_EQ(error.localizedFailureReason(),
        String("The error U_REGEX_MISMATCHED_PAREN occurred at line 1, column 5: ab(cd<<HERE>>"));
    EXPECT_EQ(error.localizedDescription(), String("There was an error compiling the regular expression."));

    auto invalid = isRegexValid("a{2,1}", ZRXNoOptions);
    ASSERT_FALSE(invalid);
    EXPECT_NE(invalid.error().localizedFailureReason().rangeOfString("<<HERE>>").location, fnd::NotFound);
    EXPECT_EQ(invalid.error().userInfo().get(ZRXICURegexErrorNameErrorKey), fnd::Value("U_REGEX_MAX_LT_MIN"));

    // ICU takes no empty pattern; the error has no place to show.
    auto empty = captureCountForRegex("", ZRXNoOptions);
    ASSERT_FALSE(empty);
    EXPECT_EQ(empty.error().localizedFailureReason(), String("The error U_ILLEGAL_ARGUMENT_ERROR occurred."));
    EXPECT_FALSE(empty.error().userInfo().contains(ZRXICURegexOffsetErrorKey));

    // Every operation answers "nothing" for it, without raising.
    EXPECT_TRUE(componentsSeparatedByRegex("a,b", bad).empty());
    EXPECT_EQ(rangeOfRegex("abcd", bad), fnd::Range::notFound());
    EXPECT_EQ(stringByReplacingOccurrencesOfRegex("abcd", bad, "x"), std::nullopt);
    String text = "abcd";
    EXPECT_EQ(replaceOccurrencesOfRegex(text, bad, "x"), -1);
    EXPECT_EQ(text, String("abcd"));
    EXPECT_EQ(componentsMatchedByRegex("abcd", bad, ZRXNoOptions, ZRXWholeString, 0).error().code(), 66310);
    EXPECT_EQ(lineHoldingRegex(bad, 0), std::nullopt) << "a pattern that does not compile is not kept";

    // The range is still checked.
    auto raised = ::raised([&] { rangeOfRegex("abcd", bad, fnd::Range { 2, 3 }); });
    ASSERT_TRUE(raised);
    EXPECT_EQ(raised->name(), fnd::ExceptionName::Range);
}

TEST_F(RegexCache, ThreadsShareTheCache)
{
    std::atomic<int> wrong { 0 };
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &wrong] {
            for (int i = 0; i < 500; ++i) {
                String subject = fnd::stringWithFormat("t%d item %d end", t, i);
                String pattern = fnd::stringWithFormat("item (\\d+)|x%d", i % 70);
                auto number = stringByMatching(subject, pattern, fnd::Index(1));
                if (number != fnd::stringWithFormat("%d", i))
                    ++wrong;
                if (componentsSeparatedByRegex(subject, " ").size() != 4)
                    ++wrong;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(wrong, 0);
}

}
