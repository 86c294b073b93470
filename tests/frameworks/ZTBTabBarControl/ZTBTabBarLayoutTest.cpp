#include "ZTBTabBarControlTestSupport.h"

#include "frameworks/ZTBTabBarControl/ZTBTabControls.h"
#include "frameworks/tab-bar-core/support/NarrowBarSequence.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"

namespace {

using namespace ztbtest;
using Widths = std::vector<double>;

class ZTBTabBarLayoutTest : public TabBarControlTest {
protected:
    void addTabs(int count)
    {
        for (int i = 0; i < count; ++i)
            a.addItem("Tab " + std::to_string(i + 1));
        settle();
    }
    Widths visibleWidths() const
    {
        Widths widths;
        for (const auto& cell : a.bar->cells())
            if (!cell->isInOverflowMenu())
                widths.push_back(cell->frame().width());
        return widths;
    }
};

// 500 points of room (534 wide, margins 10 and 24), optimum 130, minimum 100.
TEST_F(ZTBTabBarLayoutTest, FixedWidthsShareFiveHundredPoints)
{
    ASSERT_EQ(a.bar->availableCellWidth(), 500);
    const std::vector<std::pair<int, Widths>> cases {
        { 3, { 130, 130, 130 } },
        { 4, { 125, 125, 125, 125 } },
        { 5, { 100, 100, 100, 100, 100 } },
        { 6, { 100, 100, 100, 100, 100 } },
    };
    for (const auto& [count, expected] : cases) {
        for (const auto& item : std::vector(a.tabView->tabViewItems()))
            a.tabView->removeTabViewItem(item);
        addTabs(count);
        EXPECT_EQ(visibleWidths(), expected) << count << " tabs";
        EXPECT_EQ(a.bar->numberOfVisibleTabs(), long(expected.size()));
        EXPECT_EQ(a.bar->overflowPopUpButton()->isHidden(), count <= 5);
    }
}

TEST_F(ZTBTabBarLayoutTest, WithoutTheOverflowMenuEveryTabSharesTheRoom)
{
    a.bar->setUseOverflowMenu(false);
    addTabs(7);
    EXPECT_EQ(visibleWidths(), Widths(7, 71));
}

TEST_F(ZTBTabBarLayoutTest, ANarrowBarOfFixedWidthsStillShowsTwoTabs)
{
    // 150 points of room: not even two of the minimum 100 fit, so two tabs show, the first at most half the room and
    // the second its desired width or the rest; the third is in the overflow menu, not lost.
    a.bar->setFrame({ 0, 178, 184, 22 });
    addTabs(3);
    ASSERT_EQ(a.bar->availableCellWidth(), 150);
    // "Tab 2" wants 61: its 12-point close button, 4 + 6 around it, the kerned title (32.9 points in bold DejaVu
    // Sans 11) and 6; the first tab fills the rest.
    EXPECT_EQ(visibleWidths(), (Widths { 89, 61 }));
    EXPECT_EQ(a.bar->numberOfVisibleTabs(), 2);
    EXPECT_TRUE(a.cell("Tab 3")->isInOverflowMenu());
    ASSERT_TRUE(a.bar->controller().overflowMenu());
    EXPECT_EQ(a.bar->controller().overflowMenu()->numberOfItems(), 2) << "the title entry and Tab 3";
}

// A bar 20 points wide has less room than its margins (10 and 24): no room, so every tab shown is none wide, never
// less, and the two-tab rule shows two of nothing.
TEST_F(ZTBTabBarLayoutTest, ABarNarrowerThanItsMarginsGivesNoTabLessThanNothing)
{
    addTabs(3);
    a.bar->setFrame({ 0, 178, 20, 22 });
    EXPECT_EQ(a.bar->availableCellWidth(), 0);
    for (const auto& c : tabbartest::NoRoomCases) {
        a.bar->setUseOverflowMenu(c.useOverflow);
        a.bar->setSizeCellsToFit(c.sizeToFit);
        a.bar->update(false);
        EXPECT_EQ(visibleWidths(), c.expected) << c.what;
        for (const auto& cell : a.bar->cells()) {
            if (!cell->isInOverflowMenu()) {
                EXPECT_EQ(cell->frame().minX(), 10) << c.what << ": every tab starts at the left margin";
            }
        }
    }
}

TEST_F(ZTBTabBarLayoutTest, AVerticalBarDropsATabThatLeavesLessThanSeventeenPoints)
{
    addTabs(5);
    a.bar->setOrientation(1);
    a.bar->setFrame({ 0, 0, 120, 100 });
    a.bar->update(false);
    // The style's top margin of 10 starts the run: 10, 32, 54 fit; 76 leaves 2 points and is dropped.
    std::vector<double> ys;
    for (const auto& cell : a.bar->cells())
        if (!cell->isInOverflowMenu())
            ys.push_back(cell->frame().minY());
    EXPECT_EQ(ys, (std::vector<double> { 10, 32, 54 }));
}

TEST_F(ZTBTabBarLayoutTest, AnOverflowedTabIsListedWithItsCount)
{
    addTabs(5);
    auto item = a.addItem(std::string(70, 'x'));
    settle();
    a.cell(std::string(70, 'x'))->setCount(3);
    a.bar->update(false);
    auto menu = a.bar->controller().overflowMenu();
    ASSERT_TRUE(menu);
    ASSERT_EQ(menu->numberOfItems(), 2);
    EXPECT_EQ(menu->itemArray()[0]->title(), fnd::String(""));
    EXPECT_EQ(menu->itemArray()[1]->title().utf8(), std::string(59, 'x') + "\u2026 (3)");
    EXPECT_EQ(menu->itemArray()[1]->representedObject().objectAs<ui::TabViewItem>(), item);
}

TEST_F(ZTBTabBarLayoutTest, StateBitsMarkPositionsAndTheSelectedNeighbour)
{
    addTabs(1);
    a.bar->update(false);
    EXPECT_EQ(a.bar->cells()[0]->tabState(), ZTBTabState::Selected | 208);
    addTabs(2);
    a.tabView->selectTabViewItemAtIndex(1);
    a.bar->update(false);
    const auto& cells = a.bar->cells();
    EXPECT_EQ(cells[0]->tabState(), ZTBTabState::First | ZTBTabState::RightIsSelected);
    EXPECT_EQ(cells[1]->tabState(), ZTBTabState::Selected);
    EXPECT_EQ(cells[2]->tabState(), ZTBTabState::Last | ZTBTabState::LeftIsSelected);
    // Selecting marks the new cell and its neighbours without a layout; the old one is just deselected.
    a.bar->controller().setSelectedCell(*cells[2]);
    EXPECT_EQ(cells[1]->tabState(), ZTBTabState::JustDeselected | ZTBTabState::RightIsSelected);
    EXPECT_EQ(cells[2]->tabState(), ZTBTabState::Selected);
}

TEST_F(ZTBTabBarLayoutTest, SelectingAnOverflowedTabAddsNoNeighbourBits)
{
    addTabs(7);
    auto& cells = a.bar->cells();
    ASSERT_TRUE(cells[6]->isInOverflowMenu());
    const long before = cells[4]->tabState();
    a.bar->controller().setSelectedCell(*cells[6]);
    EXPECT_EQ(cells[4]->tabState(), before);
    EXPECT_EQ(cells[6]->tabState(), ZTBTabState::Selected);
}

// While the selected tab is in the overflow menu no cell is on: the cell before "the selected one" is then the last
// cell, which loses its right-is-selected bit unless it is the last visible tab.
TEST_F(ZTBTabBarLayoutTest, SelectingWithNoCellOnClearsTheLastCellsNeighbourBit)
{
    addTabs(7);
    auto& cells = a.bar->cells();
    ASSERT_TRUE(cells[6]->isInOverflowMenu());
    for (const auto& cell : cells)
        cell->setState(0);
    // Last (64), right is selected (8) and selected (2): what the last cell held when it was shown and selected.
    cells[6]->setTabState(64 | 8 | 2);
    a.bar->controller().setSelectedCell(*cells[1]);
    EXPECT_EQ(cells[6]->tabState(), 64 | 2);
    EXPECT_EQ(cells[1]->tabState(), ZTBTabState::Selected);
    EXPECT_EQ(cells[0]->tabState() & ZTBTabState::RightIsSelected, ZTBTabState::RightIsSelected);
    EXPECT_EQ(cells[2]->tabState() & ZTBTabState::LeftIsSelected, ZTBTabState::LeftIsSelected);

    // When every tab is shown, the last cell is the last visible tab and keeps its bits.
    while (a.tabView->numberOfTabViewItems() > 3)
        a.tabView->removeTabViewItem(a.tabView->tabViewItemAtIndex(3));
    settle();
    ASSERT_EQ(cells.size(), 3u);
    ASSERT_EQ(a.bar->lastVisibleTab(), cells[2]);
    for (const auto& cell : cells)
        cell->setState(0);
    cells[2]->setTabState(64 | 8);
    a.bar->controller().setSelectedCell(*cells[0]);
    EXPECT_EQ(cells[2]->tabState(), 64 | 8);
}

TEST_F(ZTBTabBarLayoutTest, AlwaysShowActiveTabMovesAnOverflowedTabToTheFront)
{
    addTabs(7);
    a.bar->setAlwaysShowActiveTab(true);
    a.tabView->selectTabViewItemAtIndex(6);
    EXPECT_EQ(a.tabView->tabViewItemAtIndex(0)->label(), fnd::String("Tab 7"));
    EXPECT_EQ(a.bar->cells().front()->stringValue(), fnd::String("Tab 7"));
    EXPECT_FALSE(a.bar->cells().front()->isInOverflowMenu());
    EXPECT_EQ(a.tabView->selectedTabViewItem()->label(), fnd::String("Tab 7"));
}

TEST_F(ZTBTabBarLayoutTest, InvalidIndexesAreLoggedAndAnswerZero)
{
    addTabs(2);
    std::vector<std::string> lines;
    auto previous = fnd::setLogSink([&](fnd::LogLevel, const fnd::String& line) { lines.push_back(line.utf8()); });
    EXPECT_EQ(a.bar->controller().cellFrameAtIndex(-1), gfx::Rect {});
    EXPECT_EQ(a.bar->controller().cellFrameAtIndex(2), gfx::Rect {});
    fnd::setLogSink(previous);
    EXPECT_EQ(lines,
        (std::vector<std::string> { "cellFrameAtIndex: Invalid index (-1)", "cellFrameAtIndex: Invalid index (2)" }));
}

TEST_F(ZTBTabBarLayoutTest, TheOverflowButtonPulsesOnlyWhileShown)
{
    auto button = a.bar->overflowPopUpButton();
    button->setHidden(true);
    button->setAnimatingAlternateImage(true);
    EXPECT_FALSE(button->isPulsing());
    button->setHidden(false);
    EXPECT_TRUE(button->isPulsing());
    for (int i = 0; i < 29; ++i)
        button->animateStep();
    EXPECT_NEAR(button->animationValue(), 30 * ZTBOverflowPopUpButton::PulseStep, 1e-6);
    button->animateStep();
    EXPECT_DOUBLE_EQ(button->animationValue(), ZTBOverflowPopUpButton::PulseStep);
    button->setHidden(true);
    EXPECT_FALSE(button->isPulsing());
}

TEST_F(ZTBTabBarLayoutTest, TheAddButtonNeverKeepsARemovedTrackingTag)
{
    auto button = a.bar->addTabButton();
    button->resetCursorRects();
    const long first = button->trackingRectTag();
    EXPECT_NE(first, -1);
    button->resetCursorRects();
    EXPECT_NE(button->trackingRectTag(), first);
    button->removeTrackingRect();
    EXPECT_EQ(button->trackingRectTag(), -1);
}

TEST_F(ZTBTabBarLayoutTest, StoppingAnIndicatorCancelsItsDelayedStart)
{
    auto indicator = ZTBProgressIndicator::create({ 0, 0, 16, 16 });
    indicator->startAnimationAfterDelay(0.0);
    EXPECT_TRUE(indicator->hasPendingStart());
    indicator->stopAnimation();
    runFor(0.1);
    EXPECT_FALSE(indicator->hasPendingStart());
    EXPECT_FALSE(indicator->isAnimating());
    // The same through the action, as a menu item or a binding would send it.
    indicator->startAnimationAfterDelay(0.0);
    indicator->perform(fnd::Selector("stopAnimation:"));
    runFor(0.1);
    EXPECT_FALSE(indicator->isAnimating());
}

TEST_F(ZTBTabBarLayoutTest, CellStepsClampAndPlaceholdersStartClosedOrOpen)
{
    addTabs(1);
    auto cell = a.bar->cells()[0];
    cell->setCurrentStep(-3);
    EXPECT_EQ(cell->currentStep(), 0);
    cell->setCurrentStep(12);
    EXPECT_EQ(cell->currentStep(), 7);
    auto closed = ZTBTabBarCell::placeholder({ 10, 0, 100, 22 }, false, a.bar);
    EXPECT_EQ(closed->frame(), (gfx::Rect { 10, 0, 0, 22 }));
    EXPECT_EQ(closed->currentStep(), 0);
    auto open = ZTBTabBarCell::placeholder({ 10, 0, 100, 22 }, true, a.bar);
    EXPECT_EQ(open->frame(), (gfx::Rect { 10, 0, 100, 22 }));
    EXPECT_EQ(open->currentStep(), 7);
}

}

namespace {

using namespace ztbtest;

class TipDelegate : public RecordingDelegate {
public:
    std::optional<fnd::String> tabViewToolTipForTabViewItem(ui::TabView&, ui::TabViewItem& item) override
    {
        return fnd::String("Tip of " + item.label().utf8());
    }
};

class ZTBTabBarTrackingTest : public TabBarControlTest { };

TEST_F(ZTBTabBarTrackingTest, EachVisibleTabHasATipFromTheDelegate)
{
    auto tips = std::make_shared<TipDelegate>();
    a.bar->setDelegate(tips);
    for (int i = 0; i < 7; ++i)
        a.addItem("T" + std::to_string(i));
    settle();
    EXPECT_EQ(a.bar->numberOfToolTipRects(), 5u);
    const gfx::Rect f = a.cell("T1")->frame();
    EXPECT_EQ(a.bar->stringForToolTip(*a.bar, 0, { f.midX(), f.midY() }, {}), fnd::String("Tip of T1"));
}

TEST_F(ZTBTabBarTrackingTest, TrackingEventsAreToldApartByTheirNumber)
{
    a.addItem("A");
    a.addItem("B");
    settle();
    auto cell = a.cell("B");
    ASSERT_NE(cell->cellTrackingTag(), 0);
    ASSERT_NE(cell->closeButtonTrackingTag(), 0);
    auto event = [&](ui::EventType type, long number) {
        return ui::Event::enterExitEventWithType(type, {}, 0, 0, a.window->windowNumber(), 0, number, {});
    };
    cell->mouseEntered(*event(ui::EventType::MouseEntered, cell->cellTrackingTag()));
    EXPECT_TRUE(cell->isHighlighted());
    EXPECT_FALSE(cell->closeButtonOverFlag());
    cell->mouseEntered(*event(ui::EventType::MouseEntered, cell->closeButtonTrackingTag()));
    EXPECT_TRUE(cell->closeButtonOverFlag());
    cell->mouseExited(*event(ui::EventType::MouseExited, 987654));
    EXPECT_TRUE(cell->isHighlighted());
    EXPECT_TRUE(cell->closeButtonOverFlag());
    cell->mouseExited(*event(ui::EventType::MouseExited, cell->cellTrackingTag()));
    EXPECT_FALSE(cell->isHighlighted());
    // Over the close button of a background tab with background closing off: only with Command.
    a.bar->setAllowsBackgroundTabClosing(false);
    EXPECT_FALSE(cell->closeButtonOver());
    EXPECT_TRUE(a.cell("A")->closeButtonOver() == a.cell("A")->closeButtonOverFlag());
}

// Tracking numbers are unique in the process, but a cell's tag can come from an archive or a setter: removing a
// cell must never take a rect the bar holds for another cell.
TEST_F(ZTBTabBarTrackingTest, ATabTakesAwayOnlyTheTrackingRectsHeldForIt)
{
    a.addItem("A");
    a.addItem("B");
    a.addItem("C");
    settle();
    auto held = [&](long tag) {
        return std::ranges::any_of(
            a.bar->trackingAreas(), [&](const auto& area) { return area->trackingNumber() == tag; });
    };
    auto b = a.cell("B");
    const long bCell = b->cellTrackingTag();
    const long bClose = b->closeButtonTrackingTag();
    ASSERT_TRUE(held(bCell) && held(bClose));

    // The bar lays its tabs out again after a removal and sets up fresh rects when that ends: while it animates, B
    // has only the rects it had.
    a.bar->setAutomaticallyAnimates(true);

    // An archive holding B's numbers (forged, or written by this very bar) gives a cell without tags.
    auto forged = ZTBTabBarCell::create(a.bar);
    forged->setCellTrackingTag(bCell);
    forged->setCloseButtonTrackingTag(bClose);
    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(forged));
    ASSERT_TRUE(data);
    auto read = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
    ASSERT_TRUE(read) << read.error().localizedDescription().utf8();
    auto decoded = read->objectAs<ZTBTabBarCell>();
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->cellTrackingTag(), 0);
    EXPECT_EQ(decoded->closeButtonTrackingTag(), 0);
    decoded->setControlView(a.bar);
    a.bar->cells().push_back(decoded);
    a.bar->removeTabForCell(decoded);
    EXPECT_TRUE(held(bCell) && held(bClose)) << "a decoded cell took B's rects";

    // A stale tag set on another tab leaves B's rects too; that tab's own go with it.
    auto c = a.cell("C");
    const long cCell = c->cellTrackingTag();
    c->setCloseButtonTrackingTag(bClose);
    a.bar->removeTabForCell(c);
    EXPECT_TRUE(held(bClose)) << "C's stale close-button tag took B's rect";
    EXPECT_FALSE(held(cCell));

    // The add-tab button makes its own rect too: a decoded one holds no tag until it does.
    auto button = a.bar->addTabButton();
    button->resetCursorRects();
    ASSERT_NE(button->trackingRectTag(), -1);
    auto buttonData = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(button));
    ASSERT_TRUE(buttonData);
    auto buttonRead = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*buttonData);
    ASSERT_TRUE(buttonRead) << buttonRead.error().localizedDescription().utf8();
    EXPECT_EQ(buttonRead->objectAs<ZTBRolloverButton>()->trackingRectTag(), -1);
}

TEST_F(ZTBTabBarTrackingTest, ScrubbingWithOptionSelectsTheTabEntered)
{
    a.addItem("A");
    a.addItem("B");
    settle();
    auto cell = a.cell("B");
    auto entered = ui::Event::enterExitEventWithType(ui::EventType::MouseEntered, {}, ui::ModifierFlags::Alternate, 0,
        a.window->windowNumber(), 0, cell->cellTrackingTag(), {});
    cell->mouseEntered(*entered);
    EXPECT_EQ(a.tabView->selectedTabViewItem()->label(), fnd::String("A"));
    a.bar->setAllowsScrubbing(true);
    cell->mouseEntered(*entered);
    EXPECT_EQ(a.tabView->selectedTabViewItem()->label(), fnd::String("B"));
}

}

namespace {

using namespace ztbtest;

class ZTBTabBarDrawingTest : public TabBarControlTest {
protected:
    // The brightness at a point of the bar (its own, flipped coordinates).
    int brightness(const gfx::BitmapImageRep& image, gfx::Point inBar) const
    {
        const gfx::Point p = a.bar->convertPointToView(inBar, nullptr);
        auto pixels = image.pixelBuffer();
        const double scale = pixels.width / image.size().width;
        const int x = int(p.x * scale), y = pixels.height - 1 - int(p.y * scale);
        const auto v = pixels.pixel(x, y);
        return (gfx::redOf(v) + gfx::greenOf(v) + gfx::blueOf(v)) / 3;
    }
};

TEST_F(ZTBTabBarDrawingTest, TheSelectedTabIsDrawnInTheWindowsBackground)
{
    for (const char* label : { "One", "Two", "Three" })
        a.addItem(label);
    settle();
    a.tabView->selectTabViewItemAtIndex(1);
    settle();
    auto image = backend->imageOfWindow(*a.window);
    uitest::keepSnapshot(image, "ztbtabbarcontrol-three-tabs");
    const gfx::Rect one = a.cell("One")->frame();
    const gfx::Rect two = a.cell("Two")->frame();
    // Low in the tab, clear of its title: the selected tab is lighter than the tinted bar behind the others.
    EXPECT_GT(brightness(*image, { two.midX() + 40, 16 }), brightness(*image, { one.midX() + 40, 16 }) + 20);
    // The dark line between two unselected-looking tabs and the bar's bottom line.
    EXPECT_LT(brightness(*image, { a.bar->bounds().maxX() - 5, 21.5 }), 110);
}

TEST_F(ZTBTabBarDrawingTest, ABarWithoutATabViewNamesItself)
{
    auto bare = ZTBTabBarControl::create({ 0, 100, 534, 22 });
    a.window->contentView()->addSubview(bare);
    a.bar->removeFromSuperview();
    settle();
    auto image = backend->imageOfWindow(*a.window);
    uitest::keepSnapshot(image, "ztbtabbarcontrol-no-tab-view");
    auto pixels = image->pixelBuffer();
    const double scale = pixels.width / image->size().width;
    int dark = 0;
    // The centred name: dark text pixels in the middle third of the bar.
    for (int x = int(180 * scale); x < int(354 * scale); ++x)
        for (int y = int((200 - 100 - 20) * scale); y < int((200 - 100 - 4) * scale); ++y)
            if (gfx::redOf(pixels.pixel(x, y)) < 90)
                ++dark;
    EXPECT_GT(dark, 20);
}

}
