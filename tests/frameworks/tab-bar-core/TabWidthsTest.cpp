#include "frameworks/tab-bar-core/TabWidths.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using tbcore::generateWidths;
using tbcore::WidthInputs;
using Widths = std::vector<double>;

WidthInputs horizontal(int tabs, double available, double desired = 0)
{
    WidthInputs in;
    in.desiredWidths.assign(std::size_t(tabs), desired);
    in.availableWidth = available;
    return in;
}

std::string describe(const Widths& widths)
{
    std::string text;
    for (double w : widths)
        text += std::to_string(int(w)) + " ";
    return text;
}

TEST(TabWidths, OptimumWidthsShareAndOverflowAsTheBarFills)
{
    struct Case {
        const char* what;
        int tabs;
        double available;
        bool useOverflow;
        bool showAdd;
        Widths expected;
    };
    const Case cases[] = {
        { "room for all at the optimum", 3, 500, true, false, { 130, 130, 130 } },
        { "four share the bar equally", 4, 500, true, false, { 125, 125, 125, 125 } },
        { "five at exactly the minimum", 5, 500, true, false, { 100, 100, 100, 100, 100 } },
        // 500/6 < 100: 22 points go to the overflow button (14 + 4, + 4 without an add button), 478/5 < 100, so
        // the fifth tab goes too and four share 478.
        { "six overflow", 6, 500, true, false, { 119, 119, 119, 119 } },
        // With the add button only 18 points are reserved: 482/5 = 96 < 100, still four.
        { "six overflow beside an add button", 6, 500, true, true, { 120, 120, 120, 120 } },
        { "without an overflow menu all show below the minimum", 6, 500, false, false, { 83, 83, 83, 83, 83, 83 } },
    };
    for (const auto& c : cases) {
        auto in = horizontal(c.tabs, c.available);
        in.useOverflowMenu = c.useOverflow;
        in.showAddButton = c.showAdd;
        const auto result = generateWidths(in);
        EXPECT_EQ(result.widths, c.expected) << c.what << ": " << describe(result.widths);
        EXPECT_FALSE(result.failure) << c.what;
    }
}

TEST(TabWidths, WhenOnlyOneFitsTwoAreShownTheFirstAtMostHalf)
{
    auto in = horizontal(3, 150);
    in.desiredWidths = { 60, 70, 80 };
    // One 128-point tab fits after the overflow reservation; two are shown instead: the first its own 60, the second
    // the rest of the 128.
    EXPECT_EQ(generateWidths(in).widths, (Widths { 60, 68 }));
    in.desiredWidths = { 300, 300, 300 };
    EXPECT_EQ(generateWidths(in).widths, (Widths { 64, 64 }));
}

TEST(TabWidths, TooNarrowForASingleTabStillShowsOneWithoutDividingByZero)
{
    auto in = horizontal(1, 40);
    const auto result = generateWidths(in);
    ASSERT_EQ(result.widths.size(), 1u);
    EXPECT_GE(result.widths[0], 0);
    EXPECT_LE(result.widths[0], 40);
}

// A bar with less room than its margins take, or than the overflow button takes, shows no tab narrower than nothing.
TEST(TabWidths, NoRoomGivesNoTabLessThanNothing)
{
    struct Case {
        const char* what;
        double available;
        bool sizeToFit;
        bool useOverflow;
        long minWidth;
        Widths desired;
        Widths expected;
    };
    const Case cases[] = {
        // 130 does not fit in nothing, nor does a share of 100; the overflow button's 22 points leave nothing for the
        // first tab, and two are shown, each at most half of nothing.
        { "five points less than the margins", -5, false, true, 100, { 60, 60, 60 }, { 0, 0 } },
        // 10 - 22 is no room either.
        { "less room than the overflow button", 10, false, true, 100, { 60, 60, 60 }, { 0, 0 } },
        // Every tab shows, each a third of nothing.
        { "without an overflow menu", -5, false, false, 100, { 60, 60, 60 }, { 0, 0, 0 } },
        // Two one-point tabs fill 2 points; the third overflows, the overflow button leaves nothing, and the 3 points
        // the two and their gap take are taken back from them: 1 - 1 and 1 - 2, each no less than nothing.
        { "sized to fit in two points", 2, true, true, 1, { 1, 1, 1 }, { 0, 0 } },
    };
    for (const auto& c : cases) {
        auto in = horizontal(int(c.desired.size()), c.available);
        in.desiredWidths = c.desired;
        in.sizeToFit = c.sizeToFit;
        in.useOverflowMenu = c.useOverflow;
        in.minWidth = c.minWidth;
        EXPECT_EQ(generateWidths(in).widths, c.expected) << c.what << ": " << describe(generateWidths(in).widths);
    }
}

TEST(TabWidths, SizedToFitTakesDesiredWidthsCappedAtTheMaximum)
{
    auto in = horizontal(3, 500);
    in.sizeToFit = true;
    in.desiredWidths = { 80.2, 90, 400 };
    EXPECT_EQ(generateWidths(in).widths, (Widths { 81, 90, 280 })) << "ceil, and 280 at most";
}

TEST(TabWidths, SizedToFitShrinksThenSpreadsTheRemainder)
{
    auto in = horizontal(3, 500);
    in.sizeToFit = true;
    in.desiredWidths = { 200, 200, 200 };
    // 600 shrinks one point a pass from the last tab to 498, then the two points left go to the front.
    EXPECT_EQ(generateWidths(in).widths, (Widths { 167, 166, 166 }));
}

TEST(TabWidths, SizedToFitReportsWhenEvenTheMinimumDoesNotFit)
{
    auto in = horizontal(4, 500);
    in.sizeToFit = true;
    in.desiredWidths = { 200, 200, 200, 200 };
    // The running total counts a point per gap, the shrink does not: four 125s and three gaps exceed 500.
    const auto result = generateWidths(in);
    ASSERT_TRUE(result.failure);
    EXPECT_EQ(result.failure->available, 500);
    EXPECT_EQ(result.failure->total, 502);
    EXPECT_EQ(result.widths, (Widths { 125, 125, 125, 125 }));
}

TEST(TabWidths, VerticalBarsStackFromTheTopMarginUntilTheHeightIsUsed)
{
    WidthInputs in;
    in.vertical = true;
    in.desiredWidths.assign(8, 0);
    in.availableHeight = 100;
    in.buttonHeight = 22;
    in.topMargin = 3;
    EXPECT_EQ(generateWidths(in).widths, (Widths { 3, 25, 47, 69 }));
    // The other family's rule: a tab is dropped when fewer than 17 points would remain below it.
    EXPECT_EQ(generateWidths(in, { true, 17 }).widths, (Widths { 3, 25, 47 }));
}

TEST(TabWidths, ShrinkStopsAtTheMinimumAndReportsTheReduction)
{
    Widths widths { 110, 105, 101 };
    EXPECT_EQ(tbcore::shrinkWidths(widths, 100, 300), 16);
    EXPECT_EQ(widths, (Widths { 100, 100, 100 }));
    Widths already { 120, 120 };
    // One pass always runs: the list is within 300, yet each entry loses a point.
    EXPECT_EQ(tbcore::shrinkWidths(already, 100, 300), 2);
    EXPECT_EQ(already, (Widths { 119, 119 }));
}

}

namespace {

TEST(TabWidths, TitlesAreMeasuredOnlyWhereTheWidthsNeedThem)
{
    struct Case {
        const char* what;
        int tabs;
        double available;
        bool sizeToFit;
        std::vector<std::size_t> measured;
        Widths expected;
    };
    // Every tab would like 60 points.
    const Case cases[] = {
        { "fixed widths with room for all", 3, 500, false, {}, { 130, 130, 130 } },
        { "fixed widths where one fits: the first two", 5, 150, false, { 0, 1 }, { 90, 60 } },
        { "sized to fit: every tab", 3, 500, true, { 0, 1, 2 }, { 60, 60, 60 } },
    };
    for (const auto& c : cases) {
        auto in = horizontal(c.tabs, c.available);
        in.sizeToFit = c.sizeToFit;
        std::vector<std::size_t> asked;
        in.measure = [&](std::size_t i) {
            asked.push_back(i);
            return 60.0;
        };
        tbcore::WidthPolicy policy;
        policy.fixedWidthOverflowStops = true;
        EXPECT_EQ(generateWidths(in, policy).widths, c.expected) << c.what;
        EXPECT_EQ(asked, c.measured) << c.what << ": each asked once, and only those";
    }
}

}
