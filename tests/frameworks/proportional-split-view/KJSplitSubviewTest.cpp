// Panes: limits, the collapse and expand thresholds, the remembered share, animations on the virtual clock.
#include "SplitViewTestSupport.h"

#include "platform/foundation/runtime/RunLoop.h"

#include <limits>

namespace {

using namespace kjtest;

class KJSplitSubviewTest : public SplitViewTest {
protected:
    KJSplitSubviewTest()
        : SplitViewTest({ 401, 200 })
    {
    }
    // Runs the main run loop for the virtual seconds.
    void runFor(double seconds) { fnd::RunLoop::current().runUntilDate(clock->now().addingTimeInterval(seconds)); }
};

TEST_F(KJSplitSubviewTest, LimitsAreWholePointsWithinOneToAMillion)
{
    auto pane = KJSplitSubview::create({ 0, 0, 50, 50 });
    EXPECT_EQ(pane->minDimension(), 1.0);
    EXPECT_EQ(pane->maxDimension(), 1000000.0);
    struct Case {
        double min, max, expectedMin, expectedMax;
    };
    for (auto c : { Case { 0.4, 0.5, 1, 1000000 }, Case { 10.7, 5.0, 10, 10 }, Case { 20.9, 99.9, 20, 99 },
             Case { -5, -1, 1, 1000000 } }) {
        pane->setMinDimension(c.min, c.max);
        EXPECT_EQ(pane->minDimension(), c.expectedMin) << c.min << ", " << c.max;
        EXPECT_EQ(pane->maxDimension(), c.expectedMax) << c.min << ", " << c.max;
    }
    pane->setIdentifier("left");
    EXPECT_NE(pane->description().utf8().find("(left)"), std::string::npos);
}

TEST_F(KJSplitSubviewTest, ChangesBelowOnePointDoNothing)
{
    makePanes({ 200, 200 });
    EXPECT_EQ(pane(0)->changeDimensionBy(0.6, true, false), 0);
    EXPECT_EQ(pane(0)->changeDimensionBy(-0.99, true, false), 0);
    EXPECT_FALSE(split->mustAdjust());
    EXPECT_EQ(sizes(*split), "200 200");
    auto lone = KJSplitSubview::create({ 0, 0, 50, 50 });
    EXPECT_EQ(lone->changeDimensionBy(20, true, false), 0) << "outside a split view";
}

// A dimension that is not a number changes nothing: std::clamp let it through into the pane's frame.
TEST_F(KJSplitSubviewTest, ADimensionThatIsNoNumberChangesNothing)
{
    makePanes({ 200, 200 });
    const auto before = frames(*split);
    pane(0)->setDimension(std::numeric_limits<double>::quiet_NaN());
    split->adjustSubviews();
    EXPECT_EQ(frames(*split), before);
    EXPECT_EQ(sizes(*split), "200 200");
}

TEST_F(KJSplitSubviewTest, ShrinkingCollapsesBelowFortyFivePercentOfTheMinimum)
{
    makePanes({ 200, 200 });
    auto b = pane(1);
    b->setMinDimension(100, 0);
    b->setCanCollapse(true);

    // 150 points off: the pane stops at its minimum.
    EXPECT_EQ(b->changeDimensionBy(-150, true, false), -100);
    EXPECT_EQ(b->dimension(), 100);
    // Exactly 45 points stays at the minimum; below it the pane collapses.
    EXPECT_EQ(b->changeDimensionBy(-55, true, false), 0) << "already at 100";
    EXPECT_FALSE(b->isCollapsed());
    EXPECT_EQ(b->changeDimensionBy(-55.5, true, false), -100);
    EXPECT_TRUE(b->isCollapsed());
    EXPECT_EQ(b->status(), 1);
    EXPECT_EQ(delegate->events, (std::vector<std::string> { "collapse b" }));

    // Without permission to collapse it only stops at the minimum.
    split->adjustSubviews();
    EXPECT_EQ(sizes(*split), "400 0");
    b->expand();
    split->adjustSubviews();
    double before = b->dimension();
    EXPECT_EQ(b->changeDimensionBy(-1000, false, false), 100 - before);
    EXPECT_FALSE(b->isCollapsed());
}

TEST_F(KJSplitSubviewTest, GrowingACollapsedPaneNeedsFiftyFivePercentOfItsMinimum)
{
    makePanes({ 200, 200 });
    auto b = pane(1);
    b->setMinDimension(100, 0);
    b->setCanCollapse(true);
    b->collapse();
    split->adjustSubviews();
    ASSERT_EQ(sizes(*split), "400 0");

    EXPECT_EQ(b->changeDimensionBy(50, false, false), 0) << "50 is not above 55";
    EXPECT_TRUE(b->isCollapsed());
    EXPECT_EQ(b->changeDimensionBy(60, false, false), 100) << "opens at its minimum";
    EXPECT_EQ(b->dimension(), 100);
    EXPECT_EQ(delegate->events, (std::vector<std::string> { "collapse b", "expand b" }));
}

TEST_F(KJSplitSubviewTest, GrowingStopsAtTheMaximumAndMovingKeepsTheFarEdge)
{
    makePanes({ 200, 200 });
    auto b = pane(1);
    b->setMinDimension(10, 230);
    double origin = b->frame().minX();
    double farEdge = b->frame().maxX();
    EXPECT_EQ(b->changeDimensionBy(100, false, true), 30);
    EXPECT_EQ(b->frame().width(), 230);
    EXPECT_EQ(b->frame().maxX(), farEdge);
    EXPECT_EQ(b->frame().minX(), origin - 30);
    EXPECT_TRUE(split->mustAdjust());
}

TEST_F(KJSplitSubviewTest, ExpandingReturnsToTheShareItHadBeforeCollapsing)
{
    // 1000 points without the divider; a pane of 200 remembers a fifth.
    resizeAlong(1001);
    makePanes({ 200, 800 });
    auto a = pane(0);
    a->setCanCollapse(true);
    EXPECT_EQ(a->collapse(), -200);
    EXPECT_DOUBLE_EQ(a->fraction(), 0.2);
    EXPECT_EQ(a->dimension(), 200) << "a collapsed pane answers the dimension it would expand to";
    split->adjustSubviews();
    EXPECT_EQ(sizes(*split), "0 1000");

    EXPECT_EQ(a->expand(), 200);
    EXPECT_EQ(a->frame().width(), 250) << "floor(1000 * 0.2 / 0.8), so that scaling brings it back to a fifth";
    split->adjustSubviews();
    EXPECT_EQ(sizes(*split), "200 800");
    EXPECT_EQ(a->expand(), 0) << "not collapsed";

    // A collapsed pane given a dimension remembers it as its share.
    a->collapse();
    a->setDimension(300);
    EXPECT_DOUBLE_EQ(a->fraction(), 0.3);
    EXPECT_TRUE(a->isCollapsed());
}

TEST_F(KJSplitSubviewTest, CollapsingWithAnimationStepsOnTheClock)
{
    makePanes({ 200, 200 });
    auto a = pane(0);
    a->setCanCollapse(true);
    // 200 points at 750 points a second: 0.267 s in steps of a sixtieth.
    EXPECT_TRUE(a->collapseWithAnimation());
    EXPECT_TRUE(KJSplitSubview::animating());
    EXPECT_EQ(a->status(), -1);
    EXPECT_TRUE(split->isDragging()) << "no layout is saved while it runs";

    std::vector<double> seen;
    for (int i = 0; i < 30 && KJSplitSubview::animating(); ++i) {
        runFor(1.0 / 60.0);
        seen.push_back(a->frame().width());
    }
    EXPECT_FALSE(KJSplitSubview::animating());
    EXPECT_TRUE(a->isCollapsed());
    EXPECT_EQ(a->status(), 1);
    EXPECT_FALSE(split->isDragging());
    ASSERT_GE(seen.size(), 10u) << "about sixteen steps";
    EXPECT_LE(seen.size(), 18u);
    EXPECT_TRUE(std::is_sorted(seen.rbegin(), seen.rend())) << "shrinks step by step";
    EXPECT_GT(seen[2], 0);
    EXPECT_LT(seen[2], 200);
    split->adjustSubviews();
    EXPECT_EQ(sizes(*split), "0 400");
    EXPECT_EQ(delegate->events, (std::vector<std::string> { "collapse a" }));

    // Expanding runs the other way and ends exactly at the remembered dimension.
    EXPECT_TRUE(a->expandWithAnimation());
    EXPECT_EQ(a->status(), -2);
    runFor(1.0 / 60.0 * 3);
    EXPECT_GT(a->frame().width(), 0);
    EXPECT_LT(a->frame().width(), 200);
    runFor(1.0);
    EXPECT_FALSE(KJSplitSubview::animating());
    split->adjustSubviews();
    EXPECT_EQ(sizes(*split), "200 200");
    EXPECT_EQ(a->minDimension(), 1) << "the limits pinned for the last step are given back";
    EXPECT_EQ(a->maxDimension(), 1000000);
}

TEST_F(KJSplitSubviewTest, ShortOrConcurrentAnimationsHappenAtOnce)
{
    makePanes({ 10, 200, 190 });
    auto a = pane(0);
    auto b = pane(1);
    a->setCanCollapse(true);
    b->setCanCollapse(true);
    // 10 points take 10/750 s, less than a frame.
    EXPECT_FALSE(a->collapseWithAnimation());
    EXPECT_TRUE(a->isCollapsed());
    EXPECT_FALSE(KJSplitSubview::animating());
    a->expand();
    split->adjustSubviews();

    // One animation at a time: while b animates, a changes at once.
    EXPECT_TRUE(b->collapseWithAnimation());
    EXPECT_FALSE(a->collapseWithAnimation());
    EXPECT_TRUE(a->isCollapsed());
    runFor(2);
    EXPECT_TRUE(b->isCollapsed());

    // The delegate decides the length; a frame or less means none.
    b->expand();
    a->expand();
    split->adjustSubviews();
    delegate->animationTime = 1.0 / 60.0;
    EXPECT_FALSE(b->collapseWithAnimation());
    EXPECT_TRUE(b->isCollapsed());
}

TEST_F(KJSplitSubviewTest, HidingAPaneLetsTheOthersShareItsSpace)
{
    makePanes({ 100, 100, 198 });
    pane(1)->setHidden(true);
    EXPECT_EQ(split->KJ_numberOfSubviews(), 2u);
    EXPECT_EQ(split->dividerRects().size(), 1u);
    EXPECT_EQ(pane(0)->frame().width() + pane(2)->frame().width(), 400);
    pane(1)->setHidden(false);
    EXPECT_EQ(pane(1)->frame().width(), 100) << "shown again at the size it had";
    EXPECT_EQ(pane(0)->frame().width() + pane(1)->frame().width() + pane(2)->frame().width(), 399);

    // Moving a pane and finding it again.
    pane(2)->setPosition(0);
    EXPECT_EQ(pane(0)->identifier(), "c");
    EXPECT_EQ(split->subviewWithIdentifier("b")->position(), 2u);
    EXPECT_EQ(split->subviewWithIdentifier("x"), nullptr);
    EXPECT_EQ(split->subviewAtPosition(3), nullptr);
}

}
