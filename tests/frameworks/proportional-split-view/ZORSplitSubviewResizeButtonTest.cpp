// The resize button: drag direction by pane, exclusive limits, collapsing, the movement along a stacked split view.
#include "SplitViewTestSupport.h"

#include "frameworks/proportional-split-view/ZORSplitSubviewResizeButton.h"

namespace {

using namespace kjtest;

class ZORSplitSubviewResizeButtonTest : public SplitViewTest {
protected:
    ZORSplitSubviewResizeButtonTest()
        : SplitViewTest({ 406, 200 })
    {
        split->setDivider(dividerImage({ 6, 6 }));
        makePanes({ 200, 200 }, 0);
    }
    std::shared_ptr<ZORSplitSubviewResizeButton> buttonIn(const std::shared_ptr<ui::View>& view)
    {
        auto button = ZORSplitSubviewResizeButton::create({ 20, 20, 13, 13 });
        view->addSubview(button);
        button->awakeFromNib();
        return button;
    }
    // Presses the button's middle and drags it by the offsets (window points, y up), one event each.
    void dragButton(ui::View& button, const std::vector<gfx::Point>& offsets)
    {
        auto start = button.convertPointToView({ 6, 6 }, nullptr);
        backend->mouseDown(*window, start);
        gfx::Point at = start;
        for (auto o : offsets) {
            at = { start.x + o.x, start.y + o.y };
            backend->mouseDragged(*window, at);
        }
        backend->mouseUp(*window, at);
        dispatch();
    }
};

TEST_F(ZORSplitSubviewResizeButtonTest, TheCellIsSetUpForDragging)
{
    auto button = buttonIn(pane(0));
    auto cell = std::dynamic_pointer_cast<ZORSplitSubviewResizeButtonCell>(button->cell());
    ASSERT_NE(cell, nullptr);
    EXPECT_NE(cell->image(), nullptr) << "the resize image from the framework's bundle";
    EXPECT_EQ(cell->bezelStyle(), ui::BezelStyle::SmallSquare);
    EXPECT_EQ(cell->buttonType(), ui::ButtonType::MomentaryChange);
    EXPECT_EQ(cell->imagePosition(), ui::CellImagePosition::ImageRight) << "first pane";
    EXPECT_EQ(ZORSplitSubviewResizeButtonCell::superKJSplitSubviewOfView(*button), pane(0));
    EXPECT_EQ(std::dynamic_pointer_cast<ui::ButtonCell>(buttonIn(pane(1))->cell())->imagePosition(),
        ui::CellImagePosition::ImageLeft);
}

TEST_F(ZORSplitSubviewResizeButtonTest, TheFirstPaneGrowsToTheRightTheOthersToTheLeft)
{
    auto first = buttonIn(pane(0));
    dragButton(*first, { { 10, 0 }, { 30, 5 } });
    EXPECT_EQ(sizes(*split), "230 170");
    auto second = buttonIn(pane(1));
    dragButton(*second, { { -20, 0 } });
    EXPECT_EQ(sizes(*split), "210 190");
}

TEST_F(ZORSplitSubviewResizeButtonTest, LimitsAreExclusiveAndBelowTheMinimumThePaneCollapses)
{
    auto button = buttonIn(pane(0));
    pane(0)->setMinDimension(100, 230);
    dragButton(*button, { { 30, 0 } });
    EXPECT_EQ(sizes(*split), "200 200") << "exactly the maximum is outside";
    dragButton(*button, { { -100, 0 } });
    EXPECT_EQ(sizes(*split), "200 200") << "exactly the minimum is outside";
    dragButton(*button, { { -150, 0 } });
    EXPECT_EQ(sizes(*split), "200 200") << "may not collapse";
    pane(0)->setCanCollapse(true);
    dragButton(*button, { { -150, 0 } });
    EXPECT_TRUE(pane(0)->isCollapsed());
}

TEST_F(ZORSplitSubviewResizeButtonTest, OutsideAPaneNothingHappens)
{
    auto loose = ZORSplitSubviewResizeButton::create({ 20, 20, 13, 13 });
    add(loose);
    dragButton(*loose, { { 30, 0 } });
    EXPECT_EQ(ZORSplitSubviewResizeButtonCell::superKJSplitSubviewOfView(*loose), nullptr);
    EXPECT_EQ(sizes(*split), "200 200");
}

TEST_F(ZORSplitSubviewResizeButtonTest, InANestedSplitViewThePaneResizesNotTheNestedView)
{
    auto nested = KJSplitView::create({ 0, 0, 200, 200 });
    nested->addSubview(KJSplitSubview::create({ 0, 0, 200, 100 }));
    nested->addSubview(KJSplitSubview::create({ 0, 0, 200, 100 }));
    pane(1)->removeFromSuperview();
    split->addSubview(nested);
    split->adjustSubviews();
    ASSERT_EQ(sizes(*nested), "97 97");
    auto button = buttonIn(nested->subviewAtPosition(0));
    // A stacked split view: the movement that counts is the vertical one (down grows the top pane).
    dragButton(*button, { { 40, 0 } });
    EXPECT_EQ(sizes(*nested), "97 97") << "sideways movement does not resize a stacked pane";
    dragButton(*button, { { 0, -20 } });
    EXPECT_EQ(sizes(*nested), "117 77");
    EXPECT_EQ(sizes(*split), "200 200");
}

}
