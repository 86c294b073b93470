#include "QFTabBarViewTestSupport.h"

#include "frameworks/QFTabBarView/QFOverflowPopUpButton.h"
#include "frameworks/QFTabBarView/QFTabBarController.h"
#include "frameworks/QFTabBarView/QFTabBarViewExtensions.h"
#include "frameworks/tab-bar-core/support/NarrowBarSequence.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Image.h"
#include "platform/ui/interface/InterfaceFile.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Event.h"

namespace {

using namespace qftest;
using Labels = std::vector<std::string>;

class QFTabBarButtonTest : public TabBarTest { };

TEST_F(QFTabBarButtonTest, TabsThatDoNotFitGoToTheOverflowMenuWithCutTitles)
{
    a.addItem("One");
    a.addItem("Two");
    a.addItem("Three");
    a.addItem("Four");
    a.addItem(std::string(60, 'x'));
    a.addItem(std::string(59, 'y'));
    settle();
    // 580 points for tabs of at least 100: six do not fit; with 22 points for the overflow button five share 558,
    // the fifth shown as the overflow position.
    const std::string longTitle(60, 'x');
    EXPECT_EQ(a.barLabels(), (Labels { "One", "Two", "Three", "Four", longTitle }));
    EXPECT_EQ(a.button("One")->frame().width(), 111);
    EXPECT_TRUE(a.button(longTitle)->isOverflowButton());
    EXPECT_FALSE(a.button("Four")->isOverflowButton());
    auto menu = a.bar->controller().overflowMenu();
    ASSERT_TRUE(menu);
    Labels titles;
    for (const auto& entry : menu->itemArray())
        titles.push_back(entry->title().utf8());
    // A title of 60 units or more keeps 50 and gets an ellipsis; 59 stay whole.
    EXPECT_EQ(titles, (Labels { "", std::string(50, 'x') + "\u2026", std::string(59, 'y') }));
    EXPECT_FALSE(a.bar->overflowPopUpButton()->isHidden());

    // Choosing an entry selects its item; the overflow position then shows it.
    a.bar->_overflowMenuAction(fnd::Value(menu->itemArray()[2]));
    settle();
    EXPECT_EQ(a.tabView->selectedTabViewItem()->label().utf8(), std::string(59, 'y'));
    EXPECT_EQ(a.bar->selectedAttachedButton(), a.button(std::string(59, 'y')));
    auto entry = a.bar->controller().overflowMenu()->itemArray().back();
    EXPECT_TRUE(a.bar->validateMenuItem(*entry));
    EXPECT_EQ(entry->state(), ui::ControlStateValue::On);
}

// A bar 15 points wide has less room than its margins (10 and 10): no room, so every button shown is none wide,
// never less, and the two-tab rule shows two of nothing.
TEST_F(QFTabBarButtonTest, ABarNarrowerThanItsMarginsGivesNoButtonLessThanNothing)
{
    a.addItem("One");
    a.addItem("Two");
    a.addItem("Three");
    const gfx::Rect wide = a.bar->frame();
    a.bar->setFrame({ wide.minX(), wide.minY(), 15, wide.height() });
    settle();
    EXPECT_EQ(a.bar->availableWidthForButtons(), 0);
    for (const auto& c : tabbartest::NoRoomCases) {
        a.bar->setUseOverflowMenu(c.useOverflow);
        a.bar->setSizeButtonsToFit(c.sizeToFit);
        settle();
        std::vector<double> widths;
        for (const auto& button : a.bar->orderedAttachedButtons()) {
            widths.push_back(button->stackingFrame().width());
            EXPECT_EQ(button->stackingFrame().minX(), 10) << c.what << ": every button starts at the left margin";
        }
        EXPECT_EQ(widths, c.expected) << c.what;
    }
}

TEST_F(QFTabBarButtonTest, CloseButtonsFollowTheOptions)
{
    a.addItem("One");
    settle();
    EXPECT_FALSE(a.button("One")->shouldDisplayCloseButton()) << "a sole tab keeps its close button hidden";
    a.bar->setCanCloseOnlyTab(true);
    a.addItem("Two");
    a.button("One")->setHasCloseButton(true);
    settle();
    a.button("Two")->setHasCloseButton(true);
    a.bar->setAllowsBackgroundTabClosing(false);
    settle();
    EXPECT_TRUE(a.button("One")->shouldDisplayCloseButton()) << "selected";
    EXPECT_FALSE(a.button("Two")->shouldDisplayCloseButton());
    EXPECT_TRUE(a.button("Two")->closeButton()->isHidden());
    EXPECT_FALSE(a.button("One")->closeButton()->isHidden());
    EXPECT_EQ(a.button("One")->closeButton()->frame().width(), 12);
}

TEST_F(QFTabBarButtonTest, TheDragThresholdLeavesTheEventsQueued)
{
    a.addItem("One");
    settle();
    auto& app = ui::Application::shared();
    const gfx::Point at = a.centreOf("One");
    auto down = ui::Event::mouseEventWithType(ui::EventType::LeftMouseDown, at, 0, 0, a.window->windowNumber());
    // A release without movement answers no and stays queued.
    backend->mouseUp(*a.window, at);
    EXPECT_FALSE(QFTabBarViewExtensions::dragShouldBeginFromMouseDown(*a.bar, *down, fnd::Date::distantFuture()));
    auto next = app.nextEvent(ui::EventMasks::Any, fnd::Date::distantPast(), fnd::RunLoopMode::Default, true);
    ASSERT_TRUE(next);
    EXPECT_EQ(next->type(), ui::EventType::LeftMouseUp);

    // Four points in x and y do not answer yet; five do, and everything taken is put back, the first first.
    backend->mouseDragged(*a.window, { at.x + 4, at.y + 4 });
    backend->mouseDragged(*a.window, { at.x + 5, at.y });
    EXPECT_TRUE(QFTabBarViewExtensions::dragShouldBeginFromMouseDown(*a.bar, *down, fnd::Date::distantFuture()));
    auto first = app.nextEvent(ui::EventMasks::Any, fnd::Date::distantPast(), fnd::RunLoopMode::Default, true);
    auto second = app.nextEvent(ui::EventMasks::Any, fnd::Date::distantPast(), fnd::RunLoopMode::Default, true);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->locationInWindow(), gfx::Point(at.x + 4, at.y + 4));
    EXPECT_EQ(second->locationInWindow(), gfx::Point(at.x + 5, at.y));

    // Nothing before the expiration: no.
    EXPECT_FALSE(
        QFTabBarViewExtensions::dragShouldBeginFromMouseDown(*a.bar, *down, clock->now().addingTimeInterval(0.5)));
}

TEST_F(QFTabBarButtonTest, SelectionOnMouseDownOrOnMouseUp)
{
    a.addItem("One");
    a.addItem("Two");
    settle();
    a.delegate->calls.clear();
    backend->mouseDown(*a.window, a.centreOf("One"));
    backend->mouseUp(*a.window, a.centreOf("One"));
    settle();
    EXPECT_TRUE(a.delegate->calls.empty()) << "pressing the selected tab sends nothing";

    a.bar->setSelectsTabsOnMouseDown(false);
    // Released outside the tab: nothing.
    backend->mouseDown(*a.window, a.centreOf("Two"));
    backend->mouseUp(*a.window, { a.centreOf("Two").x, 100 });
    settle();
    EXPECT_EQ(a.tabView->selectedTabViewItem()->label(), fnd::String("One"));
    backend->click(*a.window, a.centreOf("Two"));
    settle();
    EXPECT_EQ(a.tabView->selectedTabViewItem()->label(), fnd::String("Two"));
}

TEST_F(QFTabBarButtonTest, RolloverFollowsThePointerAndOptionHoverClicks)
{
    a.addItem("One");
    a.addItem("Two");
    settle();
    auto two = a.button("Two");
    const ui::Event entered
        = *ui::Event::enterExitEventWithType(ui::EventType::MouseEntered, {}, 0, 0, a.window->windowNumber(), 0, 0, {});
    two->mouseEntered(entered);
    EXPECT_TRUE(two->mouseHovered());
    two->updateTrackingAreas();
    EXPECT_FALSE(two->mouseHovered()) << "rebuilding the areas clears the hover";

    a.bar->setAllowsScrubbing(true);
    const ui::Event withOption = *ui::Event::enterExitEventWithType(
        ui::EventType::MouseEntered, {}, ui::ModifierFlags::Alternate, 0, a.window->windowNumber(), 0, 0, {});
    two->mouseEntered(withOption);
    EXPECT_FALSE(two->mouseHovered());
    EXPECT_EQ(a.tabView->selectedTabViewItem()->label(), fnd::String("Two")) << "the hover clicked the tab";
}

TEST_F(QFTabBarButtonTest, DefaultRectanglesOfATab)
{
    a.addItem("Title");
    settle();
    auto cell = a.button("Title")->tabCell();
    const gfx::Rect bounds { 0, 0, 130, 22 };
    cell->setStyle(nullptr);
    EXPECT_EQ(cell->drawingRectForBounds(bounds), gfx::Rect(6, 3, 118, 16));
    EXPECT_EQ(cell->indicatorRectForBounds(bounds), gfx::ZeroRect);
    cell->setIsProcessing(true);
    EXPECT_EQ(cell->indicatorRectForBounds(bounds), gfx::Rect(108, 3, 16, 16));
    cell->setShowObjectCount(true);
    cell->setObjectCount(3);
    const gfx::Rect counter = cell->objectCounterRectForBounds(bounds);
    EXPECT_EQ(counter.maxX(), 108 - 4) << "left of the spinner";
    EXPECT_EQ(counter.width(), 20);
    EXPECT_EQ(cell->largeImageRectForBounds(bounds), gfx::ZeroRect) << "horizontal bars show no large image";
    const gfx::Rect title = cell->titleRectForBounds(bounds);
    EXPECT_EQ(title.minX(), 6);
    EXPECT_EQ(title.maxX(), 118 - 20 - 4 - 16 - 4 + 6);
    EXPECT_EQ(cell->minimumWidthOfCell(), 6 + 30 + 24 + 20 + 6);
}

TEST_F(QFTabBarButtonTest, AProcessingTabsDragImageShowsTheSpinnerPicture)
{
    a.addItem("Busy");
    settle();
    auto busy = a.button("Busy");
    QFTabBarViewExtensions::properties(*busy->tabViewItem())->setValueForKey(fnd::Value(true), "isProcessing");
    EXPECT_FALSE(busy->indicator()->isHidden());
    auto image = busy->dragImage();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), busy->draggingRect().size);
    auto bitmap = image->CGImageForProposedRect();
    ASSERT_TRUE(bitmap);
    uitest::keepSnapshot(bitmap, "qftabbarview-drag-image-processing");
    auto pixels = bitmap->pixelBuffer();
    // The picture sits 22 points from the right edge, 3 from the top.
    const int x = int(busy->frame().width() - 22 + 8), y = 3 + 2;
    int darkest = 255;
    for (int dx = -2; dx <= 2; ++dx)
        darkest = std::min(darkest, int(gfx::redOf(pixels.pixel(x + dx, y))));
    const int background = gfx::redOf(pixels.pixel(40, y));
    EXPECT_LT(darkest, background - 20) << "the top spoke of the picture";
    EXPECT_FALSE(busy->indicator()->isHidden()) << "the live spinner is back";
}

TEST_F(QFTabBarButtonTest, TheDesignatedInitializerIsRequired)
{
    // Code that sets a button up itself gives it its item: the plain initializer fails its assertion and leaves the
    // button as it was, so the designated one can still run.
    auto button = std::make_shared<QFAttachedTabBarButton>();
    try {
        button->initWithFrame(gfx::Rect { 0, 0, 10, 10 });
        ADD_FAILURE() << "initWithFrame without an item was taken";
    } catch (const fnd::Exception& exception) {
        EXPECT_NE(exception.reason().utf8().find("please use designated initializer -initWithFrame:tabViewItem:"),
            std::string::npos)
            << exception.reason().utf8();
    }
    EXPECT_FALSE(button->isInitialised());
    auto item = ui::TabViewItem::create();
    button->initWithFrame(gfx::Rect { 0, 0, 10, 10 }, item);
    EXPECT_TRUE(button->isInitialised());
    EXPECT_EQ(button->tabViewItem(), item);
    EXPECT_EQ(button->frame(), (gfx::Rect { 0, 0, 10, 10 }));

    // A button made by name is set up without an item: by the class registry, as an interface file makes a view
    // (constructed, then initWithFrame with the file's frame) and from an interface file itself.
    auto made = std::dynamic_pointer_cast<QFAttachedTabBarButton>(
        fnd::ClassRegistry::shared().create("QFAttachedTabBarButton"));
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->isInitialised());
    EXPECT_EQ(made->tabViewItem(), nullptr);
    auto allocated = std::dynamic_pointer_cast<QFAttachedTabBarButton>(
        fnd::ClassRegistry::shared().allocate("QFAttachedTabBarButton"));
    ASSERT_NE(allocated, nullptr);
    allocated->initWithFrame(gfx::Rect { 5, 5, 120, 22 });
    EXPECT_EQ(allocated->frame(), (gfx::Rect { 5, 5, 120, 22 }));
    auto loaded = ui::InterfaceFile::load(fnd::Data::fromString(R"(<interface version="1">
  <object id="tab" class="QFAttachedTabBarButton"><rect key="frame" x="0" y="0" width="120" height="22"/></object>
</interface>)"));
    ASSERT_TRUE(loaded) << loaded.error().localizedDescription().utf8();
    auto fromFile = std::dynamic_pointer_cast<QFAttachedTabBarButton>(loaded->objectsById.at("tab"));
    ASSERT_NE(fromFile, nullptr);
    EXPECT_EQ(fromFile->frame(), (gfx::Rect { 0, 0, 120, 22 }));
}

TEST_F(QFTabBarButtonTest, TheOverflowButtonPulsesOnlyWhileVisibleWithASecondImage)
{
    auto overflow = QFOverflowPopUpButton::create({ 0, 0, 14, 22 });
    EXPECT_TRUE(overflow->pullsDown());
    a.window->contentView()->addSubview(overflow);
    EXPECT_FALSE(overflow->isAnimating()) << "no second image";
    overflow->setSecondImage(gfx::Image::imageWithSize({ 8, 8 }));
    EXPECT_TRUE(overflow->isAnimating());
    runFor(0.5);
    const double half = overflow->secondImageAlpha();
    EXPECT_GT(half, 0.2);
    EXPECT_LT(half, 0.8);
    runFor(0.5);
    EXPECT_NEAR(overflow->secondImageAlpha(), 1.0, 0.05);
    runFor(1.0);
    EXPECT_NEAR(overflow->secondImageAlpha(), 0.0, 0.05) << "auto-reversing, once a second";
    overflow->setHidden(true);
    EXPECT_FALSE(overflow->isAnimating());
    overflow->setHidden(false);
    EXPECT_TRUE(overflow->isAnimating());
    overflow->setFrame(gfx::ZeroRect);
    EXPECT_FALSE(overflow->isAnimating());
    overflow->setFrame({ 0, 0, 14, 22 });
    EXPECT_TRUE(overflow->isAnimating());
    overflow->removeFromSuperview();
    EXPECT_FALSE(overflow->isAnimating());
}

}
