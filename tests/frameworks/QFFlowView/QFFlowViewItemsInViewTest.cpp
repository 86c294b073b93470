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

// The pictures a finished step hands out go to shown items only: a step that ends after the next one began, before
// that one is laid out, finds items in view that are still hidden, and a picture given to one stayed when the
// selection went back (the knob gesture test's seed 1).
TEST_F(FlowViewItemsInViewTest, AStepEndingLateGivesNoPictureToAnItemStillHidden)
{
    useItems(bitmapItems(14));
    settle(1);
    drainPictures();
    ASSERT_TRUE(view->itemLayerAtIndex(9)->isHidden());
    view->setSelectedIndex(9);
    view->updateImages(); // the end of the step before, come late
    view->setSelectedIndex(0);
    settle(1);
    drainPictures();
    settle(1);
    for (std::size_t i = 0; i < view->numberOfItems(); ++i) {
        if (view->itemLayerAtIndex(i)->isHidden()) {
            EXPECT_FALSE(view->imageLayerAtIndex(i)->contents()) << "hidden item " << i;
        }
    }
}

// The list tells assistive technologies which items are in view (the desktop's bridge reports them showing): those
// whose pictures meet the part of the window the view shows, here checked against the window's pixels (each item's
// picture has a colour of its own). The scroll layer holds more items in view: the outermost ones, turned and seen
// in perspective, show beyond the view's edges, and a window narrower than the view hides more.
TEST_F(FlowViewItemsInViewTest, OnlyItemsWhosePicturesShowInTheWindowReadAsInView)
{
    namespace A = ui::AccessibilityAttribute;
    useItems(bitmapItems(9));
    view->setSelectedIndex(4);
    settle(1);
    drainPictures();
    auto list = view->accessibilityElementOfLayer(*view->backgroundLayer());
    ASSERT_TRUE(list);
    auto readInView = [&] {
        std::vector<std::size_t> indexes;
        auto visible = ui::accessibilityAttribute(*list, A::VisibleChildren);
        for (const auto& element : *visible.array())
            for (std::size_t i = 0; i < list->countOfChildren(); ++i)
                if (element.object() == list->objectInChildrenAtIndex(i))
                    indexes.push_back(i);
        return indexes;
    };
    // The items whose own colour (bitmapItems: red 40 + 20 i, green 200 − 15 i, blue 64) covers pixels of the window.
    auto shownInWindow = [&] {
        auto image = backend->imageOfWindow(*window);
        auto pixels = image->pixelBuffer();
        std::vector<std::size_t> indexes;
        for (std::size_t i = 0; i < view->numberOfItems(); ++i) {
            const std::array<int, 3> rgb { 40 + 20 * int(i), 200 - 15 * int(i), 64 };
            int count = 0;
            for (int y = 0; y < pixels.height; ++y)
                for (int x = 0; x < pixels.width; ++x)
                    count += testsupport::pixelShowsColor(pixels.pixel(x, y), rgb, 2) ? 1 : 0;
            if (count >= 10)
                indexes.push_back(i);
        }
        return indexes;
    };
    auto visible = view->visibleItemIndexes();
    ASSERT_EQ(visible.location, 0) << "the scroll layer holds all nine in view";
    ASSERT_EQ(visible.length, 9);
    auto shown = shownInWindow();
    ASSERT_FALSE(shown.empty());
    EXPECT_LT(shown.size(), 9u) << "the outermost pictures show beyond the view";
    EXPECT_EQ(readInView(), shown) << "the view fills the window";

    // Pushed half out of the window's right edge: the selected picture, centred, straddles the edge; those right of
    // it start right of the centre (the perspective keeps them there) and lie wholly beyond it.
    view->setFrameOrigin({ 400, 0 });
    settle(1);
    ASSERT_EQ(view->visibleItemIndexes().length, 9) << "the scroll layer still holds them";
    shown = shownInWindow();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), 4u);
    EXPECT_EQ(readInView(), shown);

    // Wholly out of the window, nothing reads as in view; back in it, what shows again.
    view->setFrameOrigin({ 800, 0 });
    settle(1);
    EXPECT_TRUE(readInView().empty());
    view->setFrameOrigin({ 0, 0 });
    settle(1);
    EXPECT_EQ(readInView(), shownInWindow());
}

}
}
