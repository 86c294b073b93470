// Only the items in view (or moving through it) are laid out, animated and drawn; the others wait, hidden, until a
// step brings them into view. What a step shows at its end must not depend on that.
#include "QFFlowViewTestSupport.h"

#include <cmath>

namespace flowviewtest {
namespace {

class FlowViewItemsInViewTest : public FlowViewTest {
protected:
    // Where the Part's formulas put item i with s selected, at the default angle (70) and spacing (50).
    void expectPlacedFor(std::size_t i, std::size_t s)
    {
        auto item = view->itemLayerAtIndex(i);
        auto content = view->imageLayerAtIndex(i);
        auto size = view->itemSizeForRect(view->scrollLayer()->bounds());
        double d = std::fabs(double(i) - double(s));
        SCOPED_TRACE("item " + std::to_string(i) + " with " + std::to_string(s) + " selected");
        EXPECT_FALSE(item->isHidden());
        EXPECT_DOUBLE_EQ(item->frame().minX(), QFFlowView::horizontalOffsetForItem(i, size.width, 70, 50, s));
        EXPECT_DOUBLE_EQ(item->zPosition(), i == s ? -200 : -200 - 0.5 * d);
        EXPECT_DOUBLE_EQ(content->zPosition(), i == s ? 200 : -200);
        EXPECT_EQ(content->anchorPoint(), (gfx::Point { i < s ? 0.0 : i > s ? 1.0 : 0.5, 0 }));
        // Nothing is still on its way.
        auto shown = item->presentationLayer();
        ASSERT_TRUE(shown);
        EXPECT_EQ(shown->position(), item->position());
        EXPECT_DOUBLE_EQ(shown->zPosition(), item->zPosition());
    }

    // The items in view sit where the formulas put them; the first item on either side out of view is placed too and
    // shows nothing, so (the items running in order across the view) no item further out could show.
    void expectTheViewShowsSelection(std::size_t s)
    {
        ASSERT_EQ(view->selectedIndex(), s);
        auto visible = view->visibleItemIndexes();
        ASSERT_GT(visible.length, 2);
        auto first = std::size_t(visible.location), end = first + std::size_t(visible.length);
        EXPECT_LE(first, s);
        EXPECT_GT(end, s);
        for (auto i = first; i < end; ++i) {
            expectPlacedFor(i, s);
            EXPECT_FALSE(view->itemLayerAtIndex(i)->visibleRect().isEmpty()) << "item " << i;
        }
        for (auto outside : { first - 1, end }) {
            if (outside >= view->numberOfItems())
                continue;
            expectPlacedFor(outside, s);
            EXPECT_TRUE(view->itemLayerAtIndex(outside)->visibleRect().isEmpty()) << "item " << outside;
        }
    }
};

TEST_F(FlowViewItemsInViewTest, StepsDuringAMoveEndWhereTheFormulasPutEveryItemInView)
{
    useItems(bitmapItems(200));
    expectTheViewShowsSelection(0);

    // A long jump, then steps while it is still moving: the items that come into view mid-move start from their
    // places before the step and end at the right ones.
    view->setSelectedIndex(100);
    settle(0.15);
    view->setSelectedIndex(101);
    settle(0.05);
    auto entering = std::size_t(view->visibleItemIndexes().location + view->visibleItemIndexes().length);
    view->setSelectedIndex(103);
    settle(1.0 / 60);
    auto moving = view->itemLayerAtIndex(entering);
    ASSERT_TRUE(moving->presentationLayer());
    EXPECT_NE(moving->presentationLayer()->zPosition(), moving->zPosition()) << "an item in view moves to its place";
    settle(1);
    drainPictures();
    expectTheViewShowsSelection(103);
    EXPECT_TRUE(view->imageLayerAtIndex(103)->contents());

    // And back, in single steps, each before the last has ended.
    for (std::size_t s = 102; s >= 95; --s) {
        view->setSelectedIndex(s);
        settle(0.1);
    }
    settle(1);
    expectTheViewShowsSelection(95);
    EXPECT_EQ(view->indexOfItemAtPoint(pointOnItem(96)), 96u);
}

TEST_F(FlowViewItemsInViewTest, AStepAmongManyItemsAnimatesOnlyThoseInView)
{
    useItems(bitmapItems(1000));
    view->setSelectedIndex(500);
    settle(1);
    auto before = view->visibleItemIndexes();
    view->setSelectedIndex(501);
    ui::Transaction::flush();
    std::size_t animating = 0;
    for (std::size_t i = 0; i < 1000; ++i) {
        if (view->itemLayerAtIndex(i)->animationKeys().empty())
            continue;
        ++animating;
        // In view before or after the step, or the first item out of view on either side.
        EXPECT_GE(std::int64_t(i) + 1, before.location) << "item " << i;
        EXPECT_LE(std::int64_t(i), before.location + before.length + 1) << "item " << i;
    }
    EXPECT_GE(animating, std::size_t(before.length)) << "every item in view moves (their depths all change)";
    EXPECT_TRUE(view->itemLayerAtIndex(0)->isHidden());
    EXPECT_TRUE(view->itemLayerAtIndex(999)->isHidden());
    settle(1);
    expectTheViewShowsSelection(501);
}

TEST_F(FlowViewItemsInViewTest, HiddenItemsHoldNoPictureAndShowTheirCachedOneAsTheyComeIntoView)
{
    useItems(bitmapItems(1000));
    view->setSelectedIndex(540);
    settle(1);
    drainPictures();
    settle(1);
    auto uid = view->itemLayerAtIndex(540)->valueForKey("imageItemUID");
    auto cached = view->lookupForImageUID(uid);
    ASSERT_TRUE(cached);

    // Out of view, the item lets go of its picture (the cache alone keeps pictures).
    view->setSelectedIndex(500);
    settle(1);
    drainPictures();
    settle(1);
    ASSERT_TRUE(view->itemLayerAtIndex(540)->isHidden());
    EXPECT_FALSE(view->imageLayerAtIndex(540)->contents());
    EXPECT_FALSE(view->imageLayerAtIndex(0)->contents());

    // Back in view, it shows the cached picture from the step's first frame, not a blank until the move ends.
    view->setSelectedIndex(540);
    ui::Transaction::flush();
    ASSERT_FALSE(view->itemLayerAtIndex(540)->isHidden());
    EXPECT_EQ(view->imageLayerAtIndex(540)->contents(), cached);
    settle(1);
    expectTheViewShowsSelection(540);
}

}
}
