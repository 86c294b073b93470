// Proportional adjusting: the worked examples, pinning at limits, collapsing what cannot fit, nesting and scroll views.
#include "SplitViewTestSupport.h"

#include "platform/ui/containers/ScrollView.h"

#include <cmath>

namespace {

using namespace kjtest;

class KJSplitViewTest : public SplitViewTest { };

TEST_F(KJSplitViewTest, ResizingScalesEveryPaneByOneRatio)
{
    makePanes({ 100, 300 });
    ASSERT_EQ(sizes(*split), "100 300");
    resizeAlong(801);
    EXPECT_EQ(sizes(*split), "200 600");
    EXPECT_EQ(pane(0)->fraction(), 0);
    EXPECT_EQ(pane(1)->fraction(), 0);
    ASSERT_EQ(split->dividerRects().size(), 1u);
    EXPECT_EQ(split->dividerRects()[0], gfx::Rect(200, 0, 1, 200));
    EXPECT_EQ(pane(1)->frame().minX(), 201);
    EXPECT_EQ(delegate->resizes.back(), std::make_pair(401.0, 801.0));
    EXPECT_GT(delegate->didAdjust, 0);
    EXPECT_EQ(delegate->willAdjust, delegate->didAdjust);
}

TEST_F(KJSplitViewTest, RoundingRemaindersAreCarriedAndTheLastPaneTakesTheRest)
{
    resizeAlong(302);
    makePanes({ 100, 100, 100 });
    ASSERT_EQ(sizes(*split), "100 100 100");
    // 200 points for the panes: 66.67 each rounds to 67 (remainder -0.33); the layout would end a point beyond the
    // bounds, so the last pane gets 66 and remainder 0.67.
    resizeAlong(202);
    EXPECT_EQ(sizes(*split), "67 67 66");
    EXPECT_NEAR(pane(0)->fraction(), -1.0 / 3, 1e-9);
    EXPECT_NEAR(pane(1)->fraction(), -1.0 / 3, 1e-9);
    EXPECT_NEAR(pane(2)->fraction(), 2.0 / 3, 1e-9);
    EXPECT_EQ(split->dividerRects()[1].minX(), 135);

    // Back and forth many times: the remainders keep the proportions from drifting.
    for (int i = 0; i < 20; ++i) {
        resizeAlong(202 + 37 * (i % 7));
        resizeAlong(302);
    }
    EXPECT_EQ(sizes(*split), "100 100 100");
}

TEST_F(KJSplitViewTest, PanesStopAtTheirLimitsAndTheOthersShareTheRest)
{
    resizeAlong(302);
    makePanes({ 100, 100, 100 });
    pane(1)->setMinDimension(150, 0);
    resizeAlong(202);
    EXPECT_EQ(sizes(*split), "25 150 25");
    pane(1)->setMinDimension(1, 160);
    resizeAlong(902);
    EXPECT_LE(pane(1)->frame().width(), 160);
    EXPECT_EQ(pane(0)->frame().width() + pane(1)->frame().width() + pane(2)->frame().width(), 900);
}

TEST_F(KJSplitViewTest, WhatCannotFitCollapsesAndTheNextPassSharesItsSpace)
{
    resizeAlong(302);
    makePanes({ 100, 100, 100 });
    for (std::size_t i = 0; i < 3; ++i)
        pane(i)->setMinDimension(100, 0);
    pane(0)->setCanCollapse(true);
    // 250 points for three panes of at least 100: the collapsible one goes, and the two left share all 250
    // (not 100 and 150, as ending the passes right after collapsing would leave them).
    resizeAlong(252);
    EXPECT_EQ(sizes(*split), "0 125 125");
    EXPECT_EQ(delegate->events, (std::vector<std::string> { "collapse a" }));

    // Room again: a collapsed pane stays collapsed while the others fill the space.
    resizeAlong(502);
    EXPECT_EQ(sizes(*split), "0 250 250");
    // Too little for the open ones alone: the collapsed pane opens at its minimum.
    pane(1)->setMinDimension(100, 150);
    pane(2)->setMinDimension(100, 150);
    resizeAlong(402);
    EXPECT_EQ(sizes(*split), "100 150 150");
}

TEST_F(KJSplitViewTest, WithEveryPaneCollapsedOneTakesTheWholeSpace)
{
    for (double minimum : { 50, 20 }) {
        auto collapsed = KJSplitSubview::create({ 0, 0, 0, 200 });
        collapsed->setMinDimension(minimum, 0);
        split->addSubview(collapsed);
    }
    split->setDividerThickness(1);
    split->adjustSubviews();
    EXPECT_EQ(sizes(*split), "0 400") << "the one with the smaller minimum";
}

TEST_F(KJSplitViewTest, TheExceptedPaneKeepsItsDimension)
{
    resizeAlong(402);
    makePanes({ 100, 100, 200 });
    pane(1)->setDimension(200);
    EXPECT_EQ(sizes(*split), "67 200 133");
    // When even then nothing fits, the later passes scale it too.
    pane(0)->setMinDimension(150, 0);
    pane(2)->setMinDimension(150, 0);
    pane(1)->setDimension(300);
    EXPECT_EQ(sizes(*split), "150 100 150");
}

TEST_F(KJSplitViewTest, TinyBoundsLeaveEverythingAlone)
{
    makePanes({ 100, 300 });
    split->setFrameSize({ 0.5, 200 });
    split->adjustSubviews();
    EXPECT_EQ(sizes(*split), "100 300");
}

TEST_F(KJSplitViewTest, NestedSplitViewsTakeTheOtherOrientationAndShareTheLook)
{
    auto image = dividerImage({ 6, 6 });
    split->setDivider(image);
    split->setBackground(gfx::Color::colorWithCalibratedWhite(0.9));
    auto nested = KJSplitView::create({ 0, 0, 200, 200 });
    nested->addSubview(KJSplitSubview::create({ 0, 0, 200, 100 }));
    nested->addSubview(KJSplitSubview::create({ 0, 0, 200, 100 }));
    auto right = KJSplitSubview::create({ 0, 0, 195, 200 });
    split->addSubview(nested);
    split->addSubview(right);
    split->adjustSubviews();
    EXPECT_TRUE(split->isVertical());
    EXPECT_TRUE(nested->isHorizontal());
    nested->setHorizontal(false);
    EXPECT_TRUE(nested->isHorizontal()) << "a nested split view follows its container";
    EXPECT_TRUE(nested->isCoupled());
    EXPECT_EQ(nested->divider(), split->divider());
    EXPECT_EQ(nested->background(), split->background());
    EXPECT_EQ(nested->couplingSplitView(), split);
    EXPECT_EQ(nested->outermostSplitView(), split);
    EXPECT_EQ(nested->subviewAtPosition(0)->outermostSplitView(), split);
    // The nested panes stack and fill the nested view's height with a divider of the image's height.
    EXPECT_EQ(sizes(*nested), "97 97");
    EXPECT_EQ(nested->frame().height(), 200);

    // Uncoupled, it keeps the image it had but no longer the container's background.
    nested->setCoupled(false);
    EXPECT_FALSE(nested->isCoupled());
    EXPECT_EQ(nested->divider()->size(), image->size());
    EXPECT_EQ(nested->background(), nullptr);

    // A plain view added to a split view is wrapped in a pane.
    auto plain = ui::View::create({ 30, 40, 50, 60 });
    split->addSubview(plain);
    auto wrapper = std::dynamic_pointer_cast<KJSplitSubview>(plain->superview());
    ASSERT_NE(wrapper, nullptr);
    EXPECT_EQ(wrapper->superview(), split);
    EXPECT_EQ(plain->frame().origin, gfx::Point(0, 0));
    EXPECT_EQ(plain->autoresizingMask(), ui::AutoresizingMask::WidthSizable | ui::AutoresizingMask::HeightSizable);
}

TEST_F(KJSplitViewTest, InAScrollViewTheSplitViewGrowsToHoldItsPanes)
{
    auto scroll = ui::ScrollView::create({ 0, 0, 300, 200 });
    add(scroll);
    auto inner = KJSplitView::create({ 0, 0, 300, 180 });
    scroll->setDocumentView(inner);
    EXPECT_TRUE(inner->isInScrollView());
    inner->setDividerThickness(1);
    auto a = KJSplitSubview::create({ 0, 0, 250, 180 });
    auto b = KJSplitSubview::create({ 0, 0, 200, 180 });
    inner->addSubview(a);
    inner->addSubview(b);
    inner->adjustSubviews();
    EXPECT_EQ(sizes(*inner), "250 200");
    EXPECT_EQ(inner->frame().width(), 451);
    EXPECT_EQ(b->frame().minX(), 251);
}

TEST_F(KJSplitViewTest, FramesAreReportedOnlyWhenTheyChange)
{
    delegate->observeFrames = true;
    makePanes({ 100, 300 });
    auto reports = delegate->frameReports.size();
    EXPECT_EQ(reports, 2u);
    EXPECT_EQ(delegate->frameReports[0].from, gfx::Rect());
    split->adjustSubviews();
    EXPECT_EQ(delegate->frameReports.size(), reports) << "nothing moved";
    resizeAlong(801);
    ASSERT_EQ(delegate->frameReports.size(), reports + 2);
    EXPECT_EQ(delegate->frameReports[reports].from, gfx::Rect(0, 0, 100, 200));
    EXPECT_EQ(delegate->frameReports[reports].to, gfx::Rect(0, 0, 200, 200));
}

}

namespace {

using namespace kjtest;

class KJSplitViewRestTest : public SplitViewTest {
protected:
    struct Report {
        std::string identifier;
        gfx::Rect from;
        gfx::Rect to;
    };
    void expectReports(const std::vector<Report>& expected)
    {
        ASSERT_EQ(delegate->frameReports.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const auto& heard = delegate->frameReports[i];
            EXPECT_EQ(heard.identifier, expected[i].identifier) << "report " << i;
            EXPECT_EQ(heard.from, expected[i].from) << "report " << i << " of " << heard.identifier;
            EXPECT_EQ(heard.to, expected[i].to) << "report " << i << " of " << heard.identifier;
        }
    }
};

// The panes after the one given the rounding rest end moved by it; the delegate hears each one's frame once, where it
// ends (the pane given the rest is resized afterwards, unreported).
TEST_F(KJSplitViewRestTest, PanesAfterTheRestTakerAreReportedWhereTheyEnd)
{
    delegate->observeFrames = true;
    // A collapsed last pane: 251 points for two open panes of 100 scale them by 1.255 to 125.5, rounded down to 125;
    // the layout ends at 252, a point short of 253, which the last open pane "b" takes, so the collapsed "c" moves
    // from 252 to 253.
    resizeAlong(202);
    makePanes({ 100, 100, 0 });
    ASSERT_EQ(frames(*split), "0 0 100 200 | 101 0 100 200 | 202 0 0 200");
    delegate->frameReports.clear();
    resizeAlong(253);
    EXPECT_EQ(frames(*split), "0 0 125 200 | 126 0 126 200 | 253 0 0 200");
    EXPECT_EQ(split->dividerRects()[1], gfx::Rect(252, 0, 1, 200));
    expectReports({ { "a", { 0, 0, 100, 200 }, { 0, 0, 125, 200 } },
        { "b", { 101, 0, 100, 200 }, { 126, 0, 125, 200 } }, { "c", { 202, 0, 0, 200 }, { 253, 0, 0, 200 } } });
}

TEST_F(KJSplitViewRestTest, PanesAfterARestTakerInTheMiddleAreReportedWhereTheyEnd)
{
    delegate->observeFrames = true;
    // "c" is held at exactly 67. 200 points for the panes scale 100 by 2/3 to 66.67: "a" and "b" round to 67, "c" is
    // pinned at 67, and the next sweep scales the 134 of "a" and "b" to the 133 left: 66.17 each, rounded to 66.
    // The layout ends at 201, a point short; "c" cannot take it (68 is over its maximum), so "b" grows to 67 and "c"
    // moves from 134 to 135.
    resizeAlong(302);
    makePanes({ 100, 100, 100 });
    pane(2)->setMinDimension(67, 67);
    delegate->frameReports.clear();
    resizeAlong(202);
    EXPECT_EQ(frames(*split), "0 0 66 200 | 67 0 67 200 | 135 0 67 200");
    EXPECT_EQ(split->dividerRects()[0], gfx::Rect(66, 0, 1, 200));
    EXPECT_EQ(split->dividerRects()[1], gfx::Rect(134, 0, 1, 200));
    expectReports({ { "a", { 0, 0, 100, 200 }, { 0, 0, 66, 200 } }, { "b", { 101, 0, 100, 200 }, { 67, 0, 66, 200 } },
        { "c", { 202, 0, 100, 200 }, { 135, 0, 67, 200 } } });
}

}
