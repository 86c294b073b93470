#include "platform/foundation/locale/ShortDateOrder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace fnd;

namespace {

// The locales people use most write their short dates in these orders, with these separators.
TEST(ShortDateOrderTest, LocalesGiveTheirOrderAndSeparator)
{
    struct Case {
        const char* locale;
        DateOrder order;
        const char* separator;
    };
    const std::vector<Case> cases {
        { "en_US", DateOrder::MonthDayYear, "/" },
        { "de_DE", DateOrder::DayMonthYear, "." },
        { "ja_JP", DateOrder::YearMonthDay, "/" },
        { "fr_FR", DateOrder::DayMonthYear, "/" },
        { "en_GB", DateOrder::DayMonthYear, "/" },
        { "nl_NL", DateOrder::DayMonthYear, "-" },
    };
    for (const auto& c : cases) {
        auto info = shortDateOrderForLocale(Locale(c.locale));
        EXPECT_EQ(int(info.order), int(c.order)) << c.locale;
        EXPECT_EQ(info.separator.utf8(), c.separator) << c.locale;
    }
}

// Every code from a pattern, with quoted text, repeated letters, stand-alone months and blank separators.
TEST(ShortDateOrderTest, PatternsGiveEveryOrder)
{
    struct Case {
        const char* pattern;
        DateOrder order;
        const char* separator;
    };
    const std::vector<Case> cases {
        { "M/d/yy", DateOrder::MonthDayYear, "/" },
        { "dd.MM.yy", DateOrder::DayMonthYear, "." },
        { "y/MM/dd", DateOrder::YearMonthDay, "/" },
        { "MM-yyyy-dd", DateOrder::MonthYearDay, "-" },
        { "d y L", DateOrder::DayYearMonth, " " },
        { "y. d. M.", DateOrder::YearDayMonth, "." },
        { "'Day' d'/'M'/'y", DateOrder::DayMonthYear, "/" },
        { "d''M''y", DateOrder::DayMonthYear, "'" },
        { "G y-MM-dd", DateOrder::YearMonthDay, "-" },
    };
    for (const auto& c : cases) {
        auto info = shortDateOrderFromPattern(c.pattern);
        EXPECT_EQ(int(info.order), int(c.order)) << c.pattern;
        EXPECT_EQ(info.separator.utf8(), c.separator) << c.pattern;
    }
}

TEST(ShortDateOrderTest, IncompletePatternsFallBackToMonthDayYear)
{
    for (const char* pattern : { "", "d/M", "'d/M/y'", "HH:mm", "'" }) {
        auto info = shortDateOrderFromPattern(pattern);
        EXPECT_EQ(info, ShortDateOrder {}) << pattern;
    }
}

}
