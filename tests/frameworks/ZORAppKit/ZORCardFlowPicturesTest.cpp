// The card-flow view's own pictures: the placeholder with its icon, the scroller as drawn in a window, and views
// of no item or one.
#include "CardFlowTestSupport.h"

#include "frameworks/ZORAppKit/ZORCardFlowView/ZORCardFlowView.h"

#include "platform/foundation/runtime/OperationQueue.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/Image.h"
#include "platform/layers/Transaction.h"
#include "platform/ui/UiTestSupport.h"
#include "platform/ui/views/Event.h"

#include "support/GeneratedPictures.h"

#include <gtest/gtest.h>

namespace {

std::shared_ptr<gfx::Image> cardFlowPicturesSolidImage(int w, int h, std::uint32_t argb)
{
    return gfx::Image::imageWithRepresentation(testsupport::solidBitmap(w, h, argb));
}

class CardFlowPicturesTest : public uitest::KeyWindowTest {
protected:
    CardFlowPicturesTest()
        : KeyWindowTest({ 700, 450 })
    {
    }

    std::shared_ptr<ZORCardFlowView> makeView()
    {
        auto view = ZORCardFlowView::create({ 40, 20, 620, 400 });
        add(view);
        view->awakeFromNib();
        view->setAutoresizesItems(false);
        view->setItemSize({ 140, 100 });
        settle();
        return view;
    }
    void settle(double seconds = 0)
    {
        ui::Transaction::flush();
        fnd::RunLoop::current().runUntilDate(clock->now().addingTimeInterval(seconds));
    }
    // Whether the placeholder's pixel (x right, y down from its top) is tinted by the icon: the tint is a blue grey,
    // the background a neutral one.
    static bool tinted(const gfx::BitmapImageRep& placeholder, int x, int y)
    {
        auto p = placeholder.pixelBuffer().pixel(x, y);
        return int(gfx::blueOf(p)) - int(gfx::redOf(p)) >= 8;
    }
    // The grey of a window pixel, and a pixel's grey over the background with a white or black at an opacity.
    static int grey(std::uint32_t p) { return gfx::greenOf(p); }
    static double over(double background, double white, double alpha)
    {
        return white * 255 * alpha + background * (1 - alpha);
    }
};

TEST_F(CardFlowPicturesTest, ThePlaceholderIconSitsInTheMiddleTintedFromTopToBottom)
{
    auto view = makeView();
    // A square icon in the default 140 x 100 item: the placeholder is 840 x 600 and the icon 300 x 300 at (270, 150).
    view->setPlaceholderIcon(cardFlowPicturesSolidImage(100, 100, 0xFFFFFFFF));
    view->setItemSize({ 140, 100 });
    auto placeholder = view->placeholder();
    ASSERT_TRUE(placeholder);
    ASSERT_EQ(placeholder->pixelsWide(), 840);
    ASSERT_EQ(placeholder->pixelsHigh(), 600);
    uitest::keepSnapshot(placeholder, "cardflow-placeholder-square-icon");
    EXPECT_TRUE(tinted(*placeholder, 275, 300));
    EXPECT_FALSE(tinted(*placeholder, 265, 300));
    EXPECT_TRUE(tinted(*placeholder, 565, 300));
    EXPECT_FALSE(tinted(*placeholder, 575, 300));
    EXPECT_TRUE(tinted(*placeholder, 420, 155));
    EXPECT_FALSE(tinted(*placeholder, 420, 145));
    EXPECT_TRUE(tinted(*placeholder, 420, 445));
    EXPECT_FALSE(tinted(*placeholder, 420, 455));
    // The tint runs from (0.38, 0.4, 0.427) at the icon's top to (0.224, 0.255, 0.302) at its bottom.
    auto top = placeholder->pixelBuffer().pixel(420, 151);
    auto bottom = placeholder->pixelBuffer().pixel(420, 448);
    EXPECT_NEAR(gfx::redOf(top), 0.38 * 255, 4);
    EXPECT_NEAR(gfx::blueOf(top), 0.427 * 255, 4);
    EXPECT_NEAR(gfx::redOf(bottom), 0.224 * 255, 4);
    EXPECT_NEAR(gfx::blueOf(bottom), 0.302 * 255, 4);
    // The bands: white 0.3 along the top five rows, white 0.1 along the bottom five.
    EXPECT_NEAR(gfx::greenOf(placeholder->pixelBuffer().pixel(10, 2)), 0.3 * 255, 3);
    EXPECT_NEAR(gfx::greenOf(placeholder->pixelBuffer().pixel(10, 597)), 0.1 * 255, 3);

    // An icon twice as wide as high: 600 > 0.666 x 840, so it is drawn 420 x 210 at (210, 195).
    view->setPlaceholderIcon(cardFlowPicturesSolidImage(200, 100, 0xFFFFFFFF));
    view->setItemSize({ 140, 100 });
    placeholder = view->placeholder();
    uitest::keepSnapshot(placeholder, "cardflow-placeholder-wide-icon");
    EXPECT_TRUE(tinted(*placeholder, 215, 300));
    EXPECT_FALSE(tinted(*placeholder, 205, 300));
    EXPECT_TRUE(tinted(*placeholder, 625, 300));
    EXPECT_FALSE(tinted(*placeholder, 635, 300));
    EXPECT_TRUE(tinted(*placeholder, 420, 200));
    EXPECT_FALSE(tinted(*placeholder, 420, 190));
    EXPECT_TRUE(tinted(*placeholder, 420, 400));
    EXPECT_FALSE(tinted(*placeholder, 420, 410));
}

// The placeholder icon starts as the preview template (an eye, drawn 300 x 300 at (270, 150) with its pupil in the
// middle); set to nil, the placeholder has no icon at all.
TEST_F(CardFlowPicturesTest, ThePlaceholderIconStartsAsTheTemplateAndCanBeRemoved)
{
    auto view = makeView();
    ASSERT_TRUE(view->placeholderIcon());
    EXPECT_TRUE(tinted(*view->placeholder(), 420, 300)) << "the pupil";
    EXPECT_FALSE(tinted(*view->placeholder(), 420, 160)) << "above the eye";

    view->setPlaceholderIcon(nullptr);
    EXPECT_TRUE(tinted(*view->placeholder(), 420, 300)) << "setting the icon alone does not remake the placeholder";
    view->setItemSize({ 140, 100 });
    EXPECT_FALSE(view->placeholderIcon());
    for (int x = 270; x < 570; x += 10)
        for (int y = 150; y < 450; y += 10)
            ASSERT_FALSE(tinted(*view->placeholder(), x, y)) << x << ", " << y;
}

// The scroller of 400 x 16 points with four steps at step 2: slot (15, 0, 370, 16), buttons 30 wide at both ends,
// knob 71.6 wide at x 164.2. Colours and gradients are worked out where each probe lies.
TEST_F(CardFlowPicturesTest, TheScrollerDrawsItsSlotButtonsAndKnobInTheWindowsColours)
{
    auto scroller = ZORCardFlowScroller::create({ 50, 50, 400, 16 });
    auto before = snapshot();
    add(scroller);
    scroller->setNumberOfIncrements(0);
    auto none = snapshot("cardflow-scroller-no-steps");
    // Without steps nothing at all is drawn.
    for (double x : { 5.0, 100.0, 200.0, 395.0 })
        for (double y : { 1.5, 8.5, 14.5 })
            EXPECT_EQ(pixelIn(*none, *scroller, { x, y }), pixelIn(*before, *scroller, { x, y })) << x << ", " << y;

    scroller->setNumberOfIncrements(4);
    scroller->setIntegerValue(2);
    auto drawn = snapshot("cardflow-scroller-key");
    auto background = [&](double x, double y) { return double(grey(pixelIn(*before, *scroller, { x, y }))); };
    auto at = [&](double x, double y) { return grey(pixelIn(*drawn, *scroller, { x, y })); };
    // Slot: white 0.3 over the window, and the slot line (black 0.2) in its second row.
    EXPECT_NEAR(at(100.5, 8.5), over(background(100.5, 8.5), 1, 0.3), 6);
    EXPECT_NEAR(at(100.5, 1.5), over(over(background(100.5, 1.5), 1, 0.3), 0, 0.2), 6);
    // Beside the knob is slot; the knob's body is a gradient from white 0.1 at its foot to 0 at its top, with the
    // gloss (white 0.3 to 0.1) over its lower half.
    EXPECT_NEAR(at(160.5, 8.5), over(background(160.5, 8.5), 1, 0.3), 6);
    EXPECT_NEAR(at(200.5, 12.5), 0.1 * (1 - 12.5 / 16) * 255, 6);
    EXPECT_NEAR(at(200.5, 4.5), over(0.1 * (1 - 4.5 / 16) * 255, 1, 0.3 - 0.2 * (4.5 / 8)), 6);
    EXPECT_NEAR(at(240.5, 12.5), over(background(240.5, 12.5), 1, 0.3), 6) << "the knob ends at 235.8";
    // Decrement button: its body like the knob's, its triangle (tip at x 9, base at x 15) white at 0.5.
    EXPECT_NEAR(at(4.5, 12.5), 0.1 * (1 - 12.5 / 16) * 255, 6);
    EXPECT_NEAR(at(13.5, 8.5), over(0.1 * (1 - 8.5 / 16) * 255, 1, 0.5), 8);
    // Increment button, mirrored: tip at x 391, base at x 385.
    EXPECT_NEAR(at(386.5, 8.5), over(0.1 * (1 - 8.5 / 16) * 255, 1, 0.5), 8);
    EXPECT_NEAR(at(395.5, 12.5), 0.1 * (1 - 12.5 / 16) * 255, 6);

    // In a window that is not key the slot is white 0.2 and the outlines white 0.3.
    auto other = ui::Window::create({ { 600, 100 }, { 100, 100 } });
    other->makeKeyAndOrderFront();
    auto inactive = snapshot("cardflow-scroller-not-key");
    auto inactiveAt = [&](double x, double y) { return grey(pixelIn(*inactive, *scroller, { x, y })); };
    EXPECT_NEAR(inactiveAt(100.5, 8.5), over(background(100.5, 8.5), 1, 0.2), 6);
    EXPECT_NEAR(inactiveAt(13.5, 8.5), over(0.1 * (1 - 8.5 / 16) * 255, 1, 0.3), 8);
    EXPECT_NEAR(inactiveAt(200.5, 4.5), over(0.1 * (1 - 4.5 / 16) * 255, 1, 0.3 * (1 - 4.5 / 8)), 6);
}

TEST_F(CardFlowPicturesTest, EmptyAndSingleItemViewsTakeEveryOperation)
{
    auto view = makeView();
    view->setShowsScrollbar(true);
    auto exercise = [&] {
        auto middle = view->convertPointToView({ 310, 200 }, nullptr);
        for (auto key : { ui::KeyCode::RightArrow, ui::KeyCode::LeftArrow, ui::KeyCode::Return })
            backend->keyDown(*window, "x", key);
        backend->scrollWheel(*window, middle, 0, -3);
        backend->click(*window, middle);
        backend->click(*window, view->scroller()->convertPointToView({ 3, 8 }, nullptr));
        backend->dispatchEvents();
        view->setSelectionIndex(1);
        view->setSelectionIndex(-1);
        view->refreshLayers();
        view->setItemSize({ 300, 10 });
        view->setAutoresizesItems(true);
        view->setFrameSize({ 200, 80 });
        view->setFrameSize({ 620, 400 });
        view->setAutoresizesItems(false);
        view->setItemSize({ 140, 100 });
        (void)view->rectForItemAtIndex(0);
        (void)view->indexOfItemAtPoint({ 310, 200 });
        ASSERT_TRUE(cardflowtest::drainPictures(*view)) << "pictures still loading";
        settle(3);
    };

    view->setContent({});
    exercise();
    EXPECT_EQ(view->selectionIndex(), 0);
    EXPECT_TRUE(view->selectedObject().isNil());
    EXPECT_TRUE(view->itemLayers().empty());
    EXPECT_EQ(view->scroller()->numberOfIncrements(), 0u);

    view->setContent({ fnd::Value(cardFlowPicturesSolidImage(40, 30, 0xFF20C040)) });
    exercise();
    EXPECT_EQ(view->selectionIndex(), 0);
    ASSERT_EQ(view->itemLayers().size(), 1u);
    EXPECT_EQ(view->scroller()->numberOfIncrements(), 0u);
    EXPECT_DOUBLE_EQ(view->scroller()->knobProportion(), 1.0);
    // The one item faces front in the middle of the scroll layer and shows its picture.
    auto item = view->itemLayers().front();
    EXPECT_DOUBLE_EQ(item->zPosition(), 0);
    EXPECT_NEAR(
        item->frame().midX() - view->scrollLayer()->bounds().minX(), view->scrollLayer()->bounds().width() / 2, 1e-3);
    EXPECT_TRUE(item->valueForKey("hasImage").boolValue());
    auto r = view->rectForItemAtIndex(0);
    EXPECT_EQ(view->indexOfItemAtPoint({ r.midX(), r.midY() }), 0);
}

}
