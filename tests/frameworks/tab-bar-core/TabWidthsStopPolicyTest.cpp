#include "frameworks/tab-bar-core/TabWidths.h"

#include <gtest/gtest.h>

namespace {

// The tab bar control's rules: fixed widths stop at the first share below the minimum, fitted tabs have no gap.
tbcore::WidthPolicy stopPolicy()
{
    tbcore::WidthPolicy policy;
    policy.reservesOverflowButton = false;
    policy.fixedWidthOverflowStops = true;
    policy.gapBetweenFittedTabs = 0;
    return policy;
}

tbcore::WidthInputs fixed(int tabs, double available, long minimum = 100)
{
    tbcore::WidthInputs in;
    in.desiredWidths.assign(std::size_t(tabs), 60.0);
    in.availableWidth = available;
    in.minWidth = minimum;
    return in;
}

TEST(TabWidthsStopPolicy, FixedWidthsKeepTheTabsLaidOutOnceAShareIsTooNarrow)
{
    EXPECT_EQ(tbcore::generateWidths(fixed(6, 500), stopPolicy()).widths, std::vector<double>(5, 100));
    // 250 points, minimum 130: the second tab's share (125) is too narrow, so the first keeps its 130; with two
    // tabs or more and at most one laid out, two always show.
    const auto two = tbcore::generateWidths(fixed(3, 250, 130), stopPolicy()).widths;
    EXPECT_EQ(two, (std::vector<double> { 190, 60 }));
    // A lone tab whose share is below the minimum is not shown at all.
    EXPECT_TRUE(tbcore::generateWidths(fixed(1, 80), stopPolicy()).widths.empty());
}

TEST(TabWidthsStopPolicy, FittedTabsCountNoGapWhenThePolicySaysSo)
{
    tbcore::WidthInputs in;
    in.sizeToFit = true;
    in.desiredWidths = { 150, 150, 150 };
    in.availableWidth = 400;
    in.minWidth = 100;
    const auto widths = tbcore::generateWidths(in, stopPolicy()).widths;
    double total = 0;
    for (double w : widths)
        total += w;
    EXPECT_EQ(widths.size(), 3u);
    EXPECT_EQ(total, 400);
}

}
