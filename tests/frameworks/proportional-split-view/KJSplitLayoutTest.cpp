// The adjustment as numbers: panes in, sizes, places and remainders out, each case worked by hand.
#include "frameworks/proportional-split-view/detail/KJSplitLayout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace {

using KJSplitLayout::Input;
using KJSplitLayout::Pane;

constexpr double KJLayoutTestNoLimit = 1000000;

Pane kjPane(double size, double minimum = 1, double maximum = KJLayoutTestNoLimit)
{
    return { size, 0, minimum, maximum, false, false };
}

Input kjInput(std::vector<Pane> panes, double length, double thickness = 0, bool inScrollView = false)
{
    Input input;
    input.panes = std::move(panes);
    input.length = length;
    input.dividerThickness = thickness;
    input.inScrollView = inScrollView;
    return input;
}

std::string kjSizes(const KJSplitLayout::Result& result)
{
    std::ostringstream out;
    for (const auto& p : result.panes)
        out << (out.tellp() > 0 ? " " : "") << p.size;
    return out.str();
}

struct KJLayoutCase {
    const char* what;
    Input input;
    std::string sizes;
    std::vector<double> starts;
    std::vector<double> fractions;
    // The pane given the rounding rest (-1: none) and the rest.
    int restTaker;
    double rest;
};

}

TEST(KJSplitLayout, SolvesTheWorkedCases)
{
    auto collapsible = kjPane(100, 80);
    collapsible.canCollapse = true;
    auto animating = kjPane(100);
    animating.animating = true;
    auto carried = kjPane(50);
    carried.fraction = 0.5;
    auto scroll = kjInput({ kjPane(100), carried }, 400, 2, true);

    const KJLayoutCase cases[] = {
        { "one ratio for all: 300 points shared 1:1", kjInput({ kjPane(100), kjPane(100) }, 301, 1), "150 150",
            { 0, 151 }, { 0, 0 }, -1, 0 },
        // 66.67 rounds up to 67 with remainder -1/3; the three end a point beyond 200, so the last gives it back.
        { "remainders carried, the last pane takes the rest",
            kjInput({ kjPane(100), kjPane(100), kjPane(100) }, 200, 0), "67 67 67", { 0, 67, 134 },
            { -1.0 / 3, -1.0 / 3, -1.0 / 3 }, 2, -1 },
        // The first pane is held at its minimum of 90; the second shares the 10 points left.
        { "held at a minimum, the others share the rest", kjInput({ kjPane(100, 90), kjPane(100) }, 100, 0), "90 10",
            { 0, 90 }, { 0, 0 }, -1, 0 },
        // Both held at 80 need 160 of 100: the one that may collapse does, and the other fills the space.
        { "too large: a pinned pane collapses", kjInput({ kjPane(100, 80), collapsible }, 100, 0), "100 0", { 0, 100 },
            { 0, 0 }, -1, 0 },
        // The first pane is held at its maximum of 40; the collapsed one opens at its minimum and takes the rest.
        { "too small: a collapsed pane opens", kjInput({ kjPane(50, 1, 40), kjPane(0, 20) }, 100, 0), "40 60",
            { 0, 40 }, { 0, 0 }, -1, 0 },
        { "none visible: the smallest minimum opens", kjInput({ kjPane(0, 10), kjPane(0, 5) }, 100, 0), "0 100",
            { 0, 0 }, { 0, 0 }, -1, 0 },
        { "an animating pane keeps its size", kjInput({ animating, kjPane(100) }, 300, 0), "100 200", { 0, 100 },
            { 0, 0 }, -1, 0 },
        // In a scroll view nothing scales: the view takes 100 + 50 + the divider.
        { "a scroll view's document holds its panes as they are", scroll, "100 50", { 0, 102 }, { 0, 0.5 }, -1, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto result = KJSplitLayout::solve(c.input);
        EXPECT_EQ(kjSizes(result), c.sizes);
        ASSERT_EQ(result.panes.size(), c.starts.size());
        for (std::size_t i = 0; i < c.starts.size(); ++i) {
            EXPECT_EQ(result.panes[i].start, c.starts[i]) << "pane " << i;
            EXPECT_NEAR(result.panes[i].fraction, c.fractions[i], 1e-9) << "pane " << i;
        }
        EXPECT_EQ(result.restTaker.has_value(), c.restTaker >= 0);
        if (result.restTaker && c.restTaker >= 0) {
            EXPECT_EQ(*result.restTaker, std::size_t(c.restTaker));
            EXPECT_EQ(result.rest, c.rest);
        }
    }
    EXPECT_EQ(KJSplitLayout::solve(scroll).length, 152);
}

// A dragged pane keeps the dimension it was given while the others can give way; when they cannot, it gives way
// itself after three passes.
TEST(KJSplitLayout, TheExceptedPaneKeepsItsDimensionWhileItCan)
{
    auto kept = kjInput({ kjPane(100), kjPane(100) }, 300, 0);
    kept.excepted = 0;
    kept.exceptedDimension = 120;
    EXPECT_EQ(kjSizes(KJSplitLayout::solve(kept)), "120 180");
    kept.excepted.reset();
    EXPECT_EQ(kjSizes(KJSplitLayout::solve(kept)), "150 150");

    // 250 leaves the second pane 50 of its minimum 100: after three passes the first is scaled like any other.
    auto crowded = kjInput({ kjPane(100), kjPane(100, 100) }, 300, 0);
    crowded.excepted = 0;
    crowded.exceptedDimension = 250;
    EXPECT_EQ(kjSizes(KJSplitLayout::solve(crowded)), "200 100");
}

// The rest goes to the last visible pane that can take it within its limits; with fractions cleared the sizes as
// laid out become the proportions.
TEST(KJSplitLayout, TheRestGoesToAPaneThatCanTakeIt)
{
    // The last pane is held at exactly 67; the others round 66.5 down to 66, a point short, which the middle one takes.
    auto held = kjInput({ kjPane(100), kjPane(100), kjPane(100, 67, 67) }, 200, 0);
    auto result = KJSplitLayout::solve(held);
    EXPECT_EQ(kjSizes(result), "66 66 67");
    ASSERT_TRUE(result.restTaker);
    EXPECT_EQ(*result.restTaker, 1u);
    EXPECT_EQ(result.rest, 1);
    EXPECT_NEAR(result.restFraction, 0.5 - 1, 1e-6);

    auto cleared = kjInput({ kjPane(100), kjPane(100), kjPane(100) }, 200, 0);
    cleared.clearFractions = true;
    result = KJSplitLayout::solve(cleared);
    for (const auto& p : result.panes)
        EXPECT_EQ(p.fraction, 0);
    EXPECT_EQ(result.restFraction, 0);
    cleared.clearFractions = false;
    EXPECT_NEAR(KJSplitLayout::solve(cleared).restFraction, -1.0 / 3 + 1, 1e-9);
}

// Dividers thicker than the view leave no room: the panes stay at their minimum, every number finite.
TEST(KJSplitLayout, NoRoomGivesFiniteSizes)
{
    for (double size : { 10.0, 0.4 }) {
        SCOPED_TRACE(size);
        const auto result = KJSplitLayout::solve(kjInput({ kjPane(size), kjPane(size) }, 2, 2));
        for (const auto& p : result.panes) {
            EXPECT_TRUE(std::isfinite(p.start) && std::isfinite(p.size) && std::isfinite(p.fraction))
                << kjSizes(result);
            EXPECT_LE(p.size, 1);
        }
        EXPECT_TRUE(std::isfinite(result.rest));
    }
}
