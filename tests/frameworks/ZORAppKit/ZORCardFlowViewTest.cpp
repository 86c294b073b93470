#include "CardFlowTestSupport.h"

#include "frameworks/ZORAppKit/ZORCardFlowView/ZORCardFlowView.h"

#include "platform/foundation/bindings/ArrayController.h"
#include "platform/foundation/runtime/OperationQueue.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Thread.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/layers/LayerAnimation.h"
#include "platform/layers/Transaction.h"
#include "platform/ui/UiTestSupport.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"

#include "support/GeneratedPictures.h"
#include "support/Waiting.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <limits>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace {

std::shared_ptr<gfx::Image> cardFlowSolidImage(int w, int h, std::uint32_t argb)
{
    return gfx::Image::imageWithRepresentation(testsupport::solidBitmap(w, h, argb));
}

// Records the actions it receives.
class CardFlowTarget : public fnd::Object {
    FND_OBJECT(CardFlowTarget)
    static void describeClass(fnd::ClassBuilder<CardFlowTarget>& c) { c.action("open:", &CardFlowTarget::open); }

public:
    void open(const fnd::Value&) { selectionWhenSent.push_back(selection ? selection() : -1); }
    std::function<std::int64_t()> selection;
    std::vector<std::int64_t> selectionWhenSent;
};

// A content object whose picture is reached through the key "picture".
class CardFlowItem : public fnd::Object {
    FND_OBJECT(CardFlowItem)
    static void describeClass(fnd::ClassBuilder<CardFlowItem>& c)
    {
        c.property("picture", &CardFlowItem::picture, &CardFlowItem::setPicture);
    }

public:
    fnd::Value picture() const { return m_picture; }
    void setPicture(fnd::Value picture) { m_picture = std::move(picture); }

private:
    fnd::Value m_picture;
};

// A view of 620 × 400 points in a key window, so that the scroll layer is 600 points wide.
class CardFlowViewTest : public uitest::UiTest {
protected:
    CardFlowViewTest()
    {
        window = ui::Window::create({ { 100, 100 }, { 700, 450 } });
        window->makeKeyAndOrderFront();
        view = ZORCardFlowView::create({ 40, 20, 620, 400 });
        window->contentView()->addSubview(view);
        view->awakeFromNib();
        view->setAutoresizesItems(false);
        view->setItemSize({ 140, 100 });
        settle();
    }

    // Lets the implicit transaction commit and the layout run, on the virtual clock.
    void settle(double seconds = 0)
    {
        ui::Transaction::flush();
        fnd::RunLoop::current().runUntilDate(clock->now().addingTimeInterval(seconds));
    }
    // Lets every queued load finish and its picture arrive, for at most half a minute.
    void drainPictures() { ASSERT_TRUE(cardflowtest::drainPictures(*view)) << "pictures still loading"; }
    fnd::Array items(int n)
    {
        fnd::Array array;
        for (int i = 0; i < n; ++i)
            array.push_back(fnd::String("item " + std::to_string(i)));
        return array;
    }
    std::shared_ptr<ui::Layer> itemAt(std::int64_t index)
    {
        for (const auto& layer : view->itemLayers())
            if (layer->valueForKey("index").integerValue() == index)
                return layer;
        return nullptr;
    }
    // A point of an item's picture that no nearer picture covers (its outer edge), in window coordinates.
    gfx::Point pointOnItem(std::int64_t index)
    {
        auto r = view->rectForItemAtIndex(index);
        double x = index < view->selectionIndex() ? r.minX() + 4
            : index > view->selectionIndex()      ? r.maxX() - 4
                                                  : r.midX();
        return view->convertPointToView({ x, r.midY() }, nullptr);
    }

    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ZORCardFlowView> view;
};

FND_REGISTER_CLASS(CardFlowTarget, fnd::Object)
FND_REGISTER_CLASS(CardFlowItem, fnd::Object)

// Layout, selection and content.

TEST_F(CardFlowViewTest, FiveItemsLayOutAroundTheSelection)
{
    view->setContent(items(5));
    view->setSelectionIndex(2);
    settle(3);
    ASSERT_DOUBLE_EQ(view->scrollLayer()->bounds().width(), 600);
    EXPECT_NEAR(itemAt(2)->frame().minX(), 242, 1e-3);
    EXPECT_NEAR(itemAt(0)->frame().minX(), 54.75, 1e-3);
    EXPECT_NEAR(itemAt(3)->frame().minX(), 380.25, 1e-3);
    EXPECT_DOUBLE_EQ(itemAt(2)->frame().minY(), 100);
    EXPECT_DOUBLE_EQ(itemAt(2)->zPosition(), 0);
    EXPECT_NEAR(itemAt(0)->zPosition(), -0.2, 1e-6);
    EXPECT_NEAR(itemAt(3)->zPosition(), -0.1, 1e-6);
    EXPECT_DOUBLE_EQ(itemAt(2)->sublayers().front()->zPosition(), 100);
    EXPECT_FLOAT_EQ(view->positionOfSelectedItem(), 12);
    EXPECT_DOUBLE_EQ(view->scrollLayer()->bounds().minX(), 12);
    // The selected picture's centre sits in the middle of the scroll layer.
    auto centre = itemAt(2)->frame().midX() - view->scrollLayer()->bounds().minX();
    EXPECT_NEAR(centre, 300, 1e-3);
}

TEST_F(CardFlowViewTest, SelectionIsClampedAndEmptyContentSelectsNothing)
{
    EXPECT_TRUE(view->selectedObject().isNil());
    EXPECT_EQ(view->scroller()->numberOfIncrements(), 0u);
    view->setSelectionIndex(3);
    EXPECT_EQ(view->selectionIndex(), 0);

    view->setContent(items(4));
    view->userSelectIndex(-5);
    EXPECT_EQ(view->selectionIndex(), 0);
    view->userSelectIndex(99);
    EXPECT_EQ(view->selectionIndex(), 3);
    view->setSelectionIndex(7); // outside: ignored
    EXPECT_EQ(view->selectionIndex(), 3);
    EXPECT_EQ(view->selectedObject(), fnd::Value("item 3"));
    EXPECT_EQ(view->scroller()->numberOfIncrements(), 3u);
    EXPECT_EQ(view->scroller()->integerValue(), 3);

    view->setSelectedObject(fnd::Value("item 1"));
    EXPECT_EQ(view->selectionIndex(), 1);
    view->setSelectedObject(fnd::Value("not there"));
    EXPECT_EQ(view->selectionIndex(), 1);
}

TEST_F(CardFlowViewTest, ContentChangesByEqualityAndEveryPositionHasItsOwnLayer)
{
    view->setContent(items(3));
    auto first = view->itemLayers();
    fnd::Array same = items(3);
    view->setContent(same); // equal content: nothing changes
    EXPECT_EQ(view->itemLayers(), first);

    fnd::Array next { fnd::Value("item 2"), fnd::Value("new"), fnd::Value("item 0"), fnd::Value("new") };
    view->setContent(next);
    auto layers = view->itemLayers();
    ASSERT_EQ(layers.size(), 4u) << "item 1 removed, a layer for each of the two equal 'new' objects";
    std::vector<std::int64_t> indexes;
    for (const auto& layer : layers)
        indexes.push_back(layer->valueForKey("index").integerValue());
    std::sort(indexes.begin(), indexes.end());
    EXPECT_EQ(indexes, (std::vector<std::int64_t> { 0, 1, 2, 3 }));
    EXPECT_EQ(itemAt(0), first[2]) << "kept objects keep their layers";
    EXPECT_EQ(itemAt(2), first[0]);
    EXPECT_EQ(itemAt(3)->valueForKey("representedObject"), fnd::Value("new"));
    // The two equal objects stand at their own places.
    view->setSelectionIndex(1);
    settle(3);
    EXPECT_NE(itemAt(1)->frame().minX(), itemAt(3)->frame().minX());
    EXPECT_FALSE(view->rectForItemAtIndex(3).isEmpty());
}

// Input.

TEST_F(CardFlowViewTest, ArrowsReturnClicksAndTheWheelMoveTheSelection)
{
    auto target = fnd::makeObject<CardFlowTarget>();
    target->selection = [this] { return view->selectionIndex(); };
    view->setContent(items(5));
    window->makeFirstResponder(view);
    backend->keyDown(*window, fnd::String(std::u16string(1, char16_t(0xF703))), ui::KeyCode::RightArrow);
    backend->keyDown(*window, fnd::String(std::u16string(1, char16_t(0xF703))), ui::KeyCode::RightArrow);
    backend->dispatchEvents();
    EXPECT_EQ(view->selectionIndex(), 2);
    backend->keyDown(*window, fnd::String(std::u16string(1, char16_t(0xF702))), ui::KeyCode::LeftArrow);
    backend->dispatchEvents();
    EXPECT_EQ(view->selectionIndex(), 1);

    // Return without a target goes on; with one it sends the action and keeps the selection.
    backend->keyDown(*window, "\r", ui::KeyCode::Return);
    backend->dispatchEvents();
    EXPECT_TRUE(target->selectionWhenSent.empty());
    view->setTarget(target);
    view->setAction(fnd::Selector("open:"));
    backend->keyDown(*window, "\r", ui::KeyCode::Return);
    backend->dispatchEvents();
    ASSERT_EQ(target->selectionWhenSent.size(), 1u);
    EXPECT_EQ(view->selectionIndex(), 1);

    // A double click sends the action before the clicked item is selected.
    settle(3);
    auto p = pointOnItem(3);
    backend->mouseDown(*window, p, 0, 2);
    backend->mouseUp(*window, p, 0, 2);
    backend->dispatchEvents();
    ASSERT_EQ(target->selectionWhenSent.size(), 2u);
    EXPECT_EQ(target->selectionWhenSent[1], 1);
    EXPECT_EQ(view->selectionIndex(), 3);

    // A click beside every picture changes nothing, and a drag there does not move even a window movable by its
    // background.
    backend->click(*window, view->convertPointToView({ 5, 395 }, nullptr));
    backend->dispatchEvents();
    EXPECT_EQ(view->selectionIndex(), 3);
    window->setMovableByWindowBackground(true);
    const auto frame = window->frame();
    const auto beside = window->convertBaseToScreen(view->convertPointToView({ 5, 395 }, nullptr));
    backend->mouseDown(*window, view->convertPointToView({ 5, 395 }, nullptr));
    backend->mouseDragged({ beside.x + 40, beside.y + 30 });
    backend->mouseUp({ beside.x + 40, beside.y + 30 });
    backend->dispatchEvents();
    EXPECT_EQ(window->frame(), frame);
    EXPECT_FALSE(view->mouseDownCanMoveWindow());

    // The wheel: 0.4 is not enough; vertical wins; positive goes back.
    backend->scrollWheel(*window, p, 0, 0.4);
    backend->dispatchEvents();
    EXPECT_EQ(view->selectionIndex(), 3);
    backend->scrollWheel(*window, p, -3, 0.5);
    backend->dispatchEvents();
    EXPECT_EQ(view->selectionIndex(), 2);
    backend->scrollWheel(*window, p, -0.6, 0);
    backend->dispatchEvents();
    EXPECT_EQ(view->selectionIndex(), 3);
}

TEST_F(CardFlowViewTest, ShiftOrCapsLockSlowsTheSelectionAnimation)
{
    view->setContent(items(4));
    settle(3);
    struct Case {
        unsigned flags;
        double duration;
    };
    for (auto [flags, duration] : { Case { 0, 0.7 }, Case { 0x20000, 2.1 }, Case { 0x10000, 2.1 } }) {
        backend->keyDown(*window, "x", ui::KeyCode::RightArrow, flags);
        window->makeFirstResponder(view);
        backend->dispatchEvents();
        auto animation = itemAt(0)->animationForKey("position");
        ASSERT_TRUE(animation) << "flags " << flags;
        EXPECT_NEAR(animation->duration(), duration, 1e-6) << "flags " << flags;
        settle(3);
    }
}

TEST_F(CardFlowViewTest, SelectionBindingRoundTripsThroughTheKeyPath)
{
    auto controller = std::make_shared<fnd::ArrayController>();
    controller->setContent(fnd::Value(items(5)));
    view->bind("content", *controller, "arrangedObjects");
    view->bind("selectionIndex", *controller, "selectionIndex");
    EXPECT_EQ(view->itemLayers().size(), 5u);

    view->userSelectIndex(3);
    EXPECT_EQ(controller->selectionIndex(), 3u);
    EXPECT_EQ(view->selectionIndex(), 3);
    controller->setSelectionIndex(1);
    EXPECT_EQ(view->selectionIndex(), 1);

    // A key path of two keys reaches the nested key rather than an undefined one on the first object.
    auto holder = fnd::makeObject<CardFlowItem>();
    holder->setPicture(fnd::Value(std::static_pointer_cast<fnd::Object>(controller)));
    view->unbind("selectionIndex");
    view->bind("selectionIndex", *holder, "picture.selectionIndex");
    view->userSelectIndex(4);
    EXPECT_EQ(controller->selectionIndex(), 4u);
    EXPECT_EQ(view->selectionIndex(), 4);
}

TEST_F(CardFlowViewTest, AccessoryViewSitsUnderThePicturesAndFollowsTheSelection)
{
    auto controller = fnd::makeObject<ui::ViewController>();
    controller->setView(ui::View::create({ 0, 0, 200, 30 }));
    view->setContent(items(3));
    view->setAccessoryController(controller);
    EXPECT_EQ(controller->view()->frame().origin, (gfx::Point { 210, 16 }));
    EXPECT_EQ(controller->representedObject(), fnd::Value("item 0"));
    EXPECT_EQ(view->nextResponder(), controller);
    view->userSelectIndex(2);
    EXPECT_EQ(controller->representedObject(), fnd::Value("item 2"));
    view->setShowsScrollbar(true);
    EXPECT_EQ(controller->view()->frame().minY(), 20 + 16 + 16);
    view->setAccessoryController(nullptr);
    EXPECT_FALSE(controller->view()->superview());
}

// Pictures.

TEST_F(CardFlowViewTest, PicturesLoadOffTheMainThreadAndBadDataKeepsThePlaceholder)
{
    auto red = cardFlowSolidImage(40, 30, 0xFFFF0000);
    auto tiff = cardFlowSolidImage(20, 20, 0xFF0000FF)->TIFFRepresentation();
    ASSERT_TRUE(tiff);
    fnd::Array content { fnd::Value(red), fnd::Value(*tiff), fnd::Value(fnd::Data::fromString("no picture")),
        fnd::Value("a string") };
    view->setContent(content);
    for (const auto& layer : view->itemLayers())
        EXPECT_FALSE(layer->valueForKey("hasImage").boolValue());
    drainPictures();
    auto image = [&](int i) { return itemAt(i)->sublayers().front()->contents(); };
    EXPECT_TRUE(itemAt(0)->valueForKey("hasImage").boolValue());
    EXPECT_EQ(image(0)->pixelsWide(), 40);
    EXPECT_TRUE(itemAt(1)->valueForKey("hasImage").boolValue());
    EXPECT_EQ(image(1)->pixelsWide(), 20);
    for (int i : { 2, 3 }) {
        EXPECT_FALSE(itemAt(i)->valueForKey("hasImage").boolValue()) << i;
        EXPECT_EQ(image(i), view->placeholder()) << i;
    }
    // The reflection shares the picture.
    EXPECT_EQ(itemAt(0)->sublayers().front()->sublayers().front()->contents(), image(0));
}

// An item whose picture data stops decoding shows the placeholder again, as its "hasImage" says.
TEST_F(CardFlowViewTest, DataThatStopsBeingAPictureShowsThePlaceholder)
{
    auto item = fnd::makeObject<CardFlowItem>();
    auto tiff = cardFlowSolidImage(20, 20, 0xFF0000FF)->TIFFRepresentation();
    ASSERT_TRUE(tiff);
    item->setPicture(fnd::Value(*tiff));
    view->setImageKeyPath(fnd::String("picture"));
    view->setContent({ fnd::Value(item) });
    drainPictures();
    auto layer = itemAt(0);
    auto image = layer->sublayers().front();
    ASSERT_TRUE(layer->valueForKey("hasImage").boolValue());
    ASSERT_EQ(image->contents()->pixelsWide(), 20);

    item->setValueForKey(fnd::Value(fnd::Data::fromString("no picture")), "picture");
    drainPictures();
    EXPECT_FALSE(layer->valueForKey("hasImage").boolValue());
    EXPECT_EQ(image->contents(), view->placeholder());
    EXPECT_EQ(image->sublayers().front()->contents(), view->placeholder()) << "the reflection too";
    view->setContent({});
}

TEST_F(CardFlowViewTest, KeyPathChangesReloadAndALateLoadDoesNotOverwriteANewerOne)
{
    // The first picture is drawn only when the test lets it, so its load ends after the second one.
    struct Gate {
        std::mutex mutex;
        std::condition_variable changed;
        bool entered { false };
        bool open { false };
    };
    auto gate = std::make_shared<Gate>();
    auto release = [gate] {
        std::lock_guard lock(gate->mutex);
        gate->open = true;
        gate->changed.notify_all();
    };
    struct ReleaseAtEnd {
        std::function<void()> release;
        ~ReleaseAtEnd() { release(); }
    } releaseAtEnd { release };
    auto slow = gfx::Image::imageWithSize({ 10, 10 }, false, [gate](const gfx::Rect& r) {
        if (!fnd::Thread::isMainThread()) {
            std::unique_lock lock(gate->mutex);
            gate->entered = true;
            gate->changed.notify_all();
            gate->changed.wait_for(lock, std::chrono::seconds(30), [&] { return gate->open; });
        }
        gfx::Color::redColor()->setFill();
        gfx::BezierPath::fillRect(r);
        return true;
    });
    view->imageLoadQueue()->setMaxConcurrentOperationCount(2);
    auto item = fnd::makeObject<CardFlowItem>();
    item->setPicture(fnd::Value(slow));
    view->setImageKeyPath(fnd::String("picture"));
    view->setContent({ fnd::Value(item) });
    {
        std::unique_lock lock(gate->mutex);
        ASSERT_TRUE(gate->changed.wait_for(lock, std::chrono::seconds(30), [&] { return gate->entered; }))
            << "the first picture never began";
    }
    // The picture changes while the first one is being made: the second load finishes first.
    item->setValueForKey(fnd::Value(cardFlowSolidImage(30, 10, 0xFF00FF00)), "picture");
    auto layer = view->itemLayers().front();
    ASSERT_TRUE(testsupport::waitUntilTurning(
        [&] { return layer->valueForKey("hasImage").boolValue(); }, [&] { settle(); }))
        << "the second picture never arrived";
    release();
    drainPictures();
    EXPECT_EQ(layer->sublayers().front()->contents()->pixelsWide(), 30) << "the first picture came too late";

    item->setValueForKey(fnd::Value(), "picture");
    drainPictures();
    EXPECT_FALSE(layer->valueForKey("hasImage").boolValue());
    EXPECT_EQ(layer->sublayers().front()->contents(), view->placeholder());
}

TEST_F(CardFlowViewTest, PlaceholderAndItemSizes)
{
    // A view made with an empty frame still gets its edge pictures (stretched by their layers).
    auto empty = ZORCardFlowView::create();
    auto edges = empty->containerLayer()->sublayers().back()->sublayers();
    ASSERT_EQ(edges.size(), 3u);
    for (const auto& edge : edges)
        EXPECT_TRUE(edge->contents());

    EXPECT_EQ(view->placeholder()->pixelsWide(), 840);
    EXPECT_EQ(view->placeholder()->pixelsHigh(), 600);

    view->setItemSize({ 0, 50 });
    EXPECT_EQ(view->itemSize(), (gfx::Size { 140, 50 }));
    view->setItemSize({ 140, 100 });

    view->setFrameSize({ 620, 300 });
    view->setAutoresizesItems(true);
    EXPECT_EQ(view->itemSize(), (gfx::Size { 252, 180 }));
    view->setShowsScrollbar(true);
    EXPECT_EQ(view->itemSize(), (gfx::Size { 207, 148 }));
    view->setFrameSize({ 620, 40 });
    EXPECT_EQ(view->itemSize().height, 1);
}

TEST_F(CardFlowViewTest, ExtremeItemSizesKeepABoundedPlaceholder)
{
    view->setContent(items(1));
    // A picture 1000 times wider than high would ask for a placeholder of 600 000 × 600 pixels.
    view->setItemSize({ 1000, 1 });
    ASSERT_TRUE(view->placeholder());
    EXPECT_EQ(view->placeholder()->pixelsWide(), 4800);
    EXPECT_EQ(view->placeholder()->pixelsHigh(), 600);
    // A sliver narrower than a pixel still gets one.
    view->setItemSize({ 1, 1000 });
    ASSERT_TRUE(view->placeholder());
    EXPECT_EQ(view->placeholder()->pixelsWide(), 1);
    // Sides that are no length take the defaults.
    view->setItemSize({ std::numeric_limits<double>::infinity(), std::nan("") });
    EXPECT_EQ(view->itemSize(), (gfx::Size { 140, 100 }));
    EXPECT_EQ(view->placeholder()->pixelsWide(), 840);
    // A huge item gets its shadow without a bitmap of its size.
    view->setItemSize({ 3e6, 3e6 });
    ASSERT_TRUE(view->placeholder());
    EXPECT_EQ(view->placeholder()->pixelsWide(), 600);
    settle(1);
    EXPECT_EQ(view->itemLayers().size(), 1u);
}

TEST_F(CardFlowViewTest, ShrinkingTheContentBelowTheSelectionSelectsTheLastItem)
{
    view->setContent(items(5));
    view->setSelectionIndex(4);
    view->setContent(items(2));
    EXPECT_EQ(view->selectionIndex(), 1);
    EXPECT_EQ(view->selectedObject(), fnd::Value("item 1"));
    EXPECT_EQ(view->scroller()->integerValue(), 1);
    settle(3);
    // The selected picture faces front in the middle of the scroll layer.
    EXPECT_DOUBLE_EQ(itemAt(1)->zPosition(), 0);
    EXPECT_NEAR(itemAt(1)->frame().midX() - view->scrollLayer()->bounds().minX(), 300, 1e-3);

    view->setContent({});
    EXPECT_EQ(view->selectionIndex(), 0);
    EXPECT_TRUE(view->selectedObject().isNil());
    view->setContent(items(1));
    EXPECT_EQ(view->selectedObject(), fnd::Value("item 0"));
}

// Scroller.

TEST_F(CardFlowViewTest, ScrollerStepsKnobAndParts)
{
    auto scroller = ZORCardFlowScroller::create({ 0, 0, 400, 16 });
    scroller->setNumberOfIncrements(0);
    EXPECT_DOUBLE_EQ(scroller->knobProportion(), 1.0);
    scroller->setIntegerValue(3);
    EXPECT_EQ(scroller->integerValue(), 0);
    EXPECT_NO_THROW(scroller->rectForPart(ui::ScrollerPart::Knob));

    scroller->setNumberOfIncrements(4);
    EXPECT_DOUBLE_EQ(scroller->knobProportion(), 0.2);
    scroller->setIntegerValue(2);
    EXPECT_EQ(scroller->integerValue(), 2);
    auto knob = scroller->rectForPart(ui::ScrollerPart::Knob);
    EXPECT_NEAR(knob.width(), 71.6, 1e-4);
    EXPECT_NEAR(knob.minX(), 164.2, 1e-4);
    EXPECT_EQ(scroller->rectForPart(ui::ScrollerPart::KnobSlot), (gfx::Rect { 15, 0, 370, 16 }));

    // Every step reads back, also with many items.
    scroller->setNumberOfIncrements(200);
    for (std::int64_t v : { 0, 2, 99, 150, 200 }) {
        scroller->setIntegerValue(v);
        EXPECT_EQ(scroller->integerValue(), v);
    }

    scroller->setNumberOfIncrements(4);
    scroller->setIntegerValue(2);
    EXPECT_EQ(scroller->testPart({ 3, 8 }), ui::ScrollerPart::DecrementLine);
    EXPECT_EQ(scroller->testPart({ 397, 8 }), ui::ScrollerPart::IncrementLine);
    EXPECT_EQ(scroller->testPart({ 200, 8 }), ui::ScrollerPart::Knob);
    EXPECT_EQ(scroller->testPart({ 100, 8 }), ui::ScrollerPart::NoPart);
}

TEST_F(CardFlowViewTest, ScrollerButtonsAndKnobSelect)
{
    view->setContent(items(5));
    view->setShowsScrollbar(true);
    auto scroller = view->scroller();
    auto atScroller = [&](gfx::Point p) { return scroller->convertPointToView(p, nullptr); };
    backend->click(*window, atScroller({ 3 + scroller->bounds().width() - 6, 8 }));
    backend->dispatchEvents();
    EXPECT_EQ(view->selectionIndex(), 1);
    backend->click(*window, atScroller({ 3, 8 }));
    backend->dispatchEvents();
    EXPECT_EQ(view->selectionIndex(), 0);

    // Drag the knob to the far end.
    auto knob = scroller->rectForPart(ui::ScrollerPart::Knob);
    backend->mouseDown(*window, atScroller({ knob.midX(), 8 }));
    backend->mouseDragged(*window, atScroller({ scroller->bounds().width() + 50, 8 }));
    backend->mouseUp(*window, atScroller({ scroller->bounds().width() + 50, 8 }));
    backend->dispatchEvents();
    EXPECT_EQ(view->selectionIndex(), 4);
}

// The knob is dragged along this scroller's own track. In the 460-point scroller of a 620-point view with four
// steps the track runs from 21 for L = 460 - 42 = 418 points, the knob is 0.2 x 418 = 83.6 wide and a drag moves
// its start over 418 - 83.6 = 334.4 points. Grabbed 10 points into the knob at step 0 (x 31): at x 112.9 the knob
// has gone (112.9 - 31) / 334.4 = 0.245 of the way, step floor(0.98) = 0; at x 365.4 all the way, step 4.
TEST_F(CardFlowViewTest, TheKnobFollowsTheMouseAlongItsOwnTrack)
{
    view->setContent(items(5));
    view->setShowsScrollbar(true);
    auto scroller = view->scroller();
    ASSERT_EQ(scroller->frame().width(), 460);
    auto atScroller = [&](double x) { return scroller->convertPointToView({ x, 8 }, nullptr); };
    ASSERT_NEAR(scroller->rectForPart(ui::ScrollerPart::Knob).minX(), 21, 1e-4);
    backend->mouseDown(*window, atScroller(31));
    backend->mouseDragged(*window, atScroller(112.9));
    backend->mouseUp(*window, atScroller(112.9));
    backend->dispatchEvents();
    EXPECT_EQ(view->selectionIndex(), 0);
    backend->mouseDown(*window, atScroller(31));
    backend->mouseDragged(*window, atScroller(365.4));
    backend->mouseUp(*window, atScroller(365.4));
    backend->dispatchEvents();
    EXPECT_EQ(view->selectionIndex(), 4);
    EXPECT_NEAR(scroller->rectForPart(ui::ScrollerPart::Knob).maxX(), 460 - 21, 1e-3);
}

}

#include "platform/foundation/files/FileManager.h"

namespace {

// A folder of 200 picture files in four formats shown as data: every item shows its own picture.
TEST_F(CardFlowViewTest, BrowsesAFolderOfPicturesEachShowingItsOwn)
{
    auto folder = std::filesystem::temp_directory_path() / ("cardflow-" + std::to_string(::getpid()));
    auto pictures = testsupport::generatePictureFolder(folder, 200);
    fnd::Array content;
    for (const auto& picture : pictures)
        content.push_back(*fnd::FileManager::defaultManager().contentsAtPath(fnd::String(picture.path.string())));
    view->setContent(content);
    drainPictures();
    for (const auto& layer : view->itemLayers()) {
        auto index = std::size_t(layer->valueForKey("index").integerValue());
        ASSERT_TRUE(layer->valueForKey("hasImage").boolValue()) << index;
        auto contents = layer->sublayers().front()->contents();
        auto middle = contents->pixelBuffer().pixel(int(contents->pixelsWide() / 2), int(contents->pixelsHigh() / 2));
        EXPECT_TRUE(testsupport::pixelShowsColor(middle, pictures[index].rgb))
            << index << " shows " << std::hex << middle;
    }
    for (std::int64_t index : { 3, 101, 198 }) {
        view->setSelectionIndex(index);
        settle(3);
        auto image = backend->imageOfWindow(*window);
        uitest::keepSnapshot(image, ("cardflow-folder-" + std::to_string(index)).c_str());
        auto r = view->rectForItemAtIndex(index);
        auto at = view->convertPointToView({ r.midX(), r.midY() }, nullptr);
        auto pixels = image->pixelBuffer();
        auto composited = pixels.pixel(int(at.x), pixels.height - 1 - int(at.y));
        EXPECT_TRUE(testsupport::pixelShowsColor(composited, pictures[std::size_t(index)].rgb))
            << "selected " << index << " composited " << std::hex << composited;
    }
    std::error_code error;
    std::filesystem::remove_all(folder, error);
}

}

// Accessibility.

TEST_F(CardFlowViewTest, TheCardsAreAListWhoseSelectionMovesThroughTheTree)
{
    namespace A = ui::AccessibilityAttribute;
    view->setContent(items(4));
    view->setSelectionIndex(1);
    settle(3);
    EXPECT_FALSE(view->accessibilityIsIgnored());
    EXPECT_EQ(view->accessibilityAttributeValue(A::Role), fnd::Value("AXList"));
    EXPECT_EQ(view->accessibilityAttributeValue(A::Orientation), fnd::Value("AXHorizontalOrientation"));
    auto cards = *view->accessibilityAttributeValue(A::VisibleChildren).array();
    ASSERT_EQ(cards.size(), 4u);
    auto read = [](const fnd::Value& card, const fnd::String& name) {
        return ui::accessibilityAttribute(*ui::accessibilityElement(card), name);
    };
    EXPECT_EQ(read(cards[2], A::Role), fnd::Value("AXImage"));
    EXPECT_EQ(read(cards[2], A::Title), fnd::Value("item 2"));
    EXPECT_EQ(read(cards[2], A::Parent).object(), view);
    EXPECT_EQ(*view->accessibilityAttributeValue(A::SelectedChildren).array(), fnd::Array { cards[1] });
    EXPECT_TRUE(read(cards[1], A::Selected).boolValue());

    // A card's rectangle on the screen is its picture's, and hit testing finds it there.
    auto picture = window->convertRectToScreen(view->convertRectToView(view->rectForItemAtIndex(3), nullptr));
    EXPECT_EQ(read(cards[3], A::Position).point(), picture.origin);
    EXPECT_EQ(read(cards[3], A::Size).size(), picture.size);
    EXPECT_EQ(view->accessibilityHitTest(window->convertBaseToScreen(pointOnItem(3))), cards[3]);

    // Selecting a card, or setting the selected children, selects as the person's choice does.
    ui::accessibilityElement(cards[3])->accessibilitySetValue(true, A::Selected);
    EXPECT_EQ(view->selectionIndex(), 3);
    view->accessibilitySetValue(fnd::Array { cards[0] }, A::SelectedChildren);
    EXPECT_EQ(view->selectionIndex(), 0);
    EXPECT_EQ(view->accessibilityAttributeValue(A::Children).array()->front(), cards[0]) << "the same element";

    // Fewer items: the cards past the end are gone from the tree.
    view->setContent(items(2));
    EXPECT_EQ(view->accessibilityAttributeValue(A::VisibleChildren).array()->size(), 2u);
    EXPECT_TRUE(read(cards[3], A::Role).isNil());
}
