#include "frameworks/tab-bar-core/TabLabels.h"

#include "platform/text/AttributedString.h"

#include <gtest/gtest.h>

#include <string>

TEST(TabLabels, MetalTitleWidthIsTheMeasuredWidthEvenAfterManyTitles)
{
    const fnd::String title("Documents");
    const double measured = tbcore::metalTitle(title, false)->size().width;
    ASSERT_GT(measured, 20.0);
    EXPECT_DOUBLE_EQ(tbcore::metalTitleWidth(title), measured);
    // Emphasis strengthens only the shadow.
    EXPECT_DOUBLE_EQ(tbcore::metalTitle(title, true)->size().width, measured);
    EXPECT_GT(tbcore::metalTitleWidth(fnd::String("Documents and more")), measured);
    EXPECT_DOUBLE_EQ(tbcore::metalTitleWidth(fnd::String()), 0.0);

    // More titles than are kept: the early ones are measured again, not mixed up with others.
    for (int i = 0; i < 300; ++i) {
        const fnd::String other(std::string(std::size_t(i % 8 + 1), 'W') + std::to_string(i));
        EXPECT_DOUBLE_EQ(tbcore::metalTitleWidth(other), tbcore::metalTitle(other, false)->size().width) << i;
    }
    EXPECT_DOUBLE_EQ(tbcore::metalTitleWidth(title), measured);
}
