#include "ZTBTabBarControlTestSupport.h"

#include "frameworks/ZTBTabBarControl/ZTBMetalTabStyle.h"
#include "frameworks/ZTBTabBarControl/ZTBTabControls.h"
#include "frameworks/ZTBTabBarControl/ZTBTabDragWindow.h"

#include "platform/graphics/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"

namespace {

using namespace ztbtest;

class ZTBMetalTabStyleTest : public TabBarControlTest {
protected:
    ZTBMetalTabStyleTest()
    {
        a.addItem("Title");
        settle();
        cell = a.cell("Title");
        cell->setFrame({ 10, 0, 130, 22 });
    }
    ZTBTabStyle& style() { return *a.bar->style(); }
    std::shared_ptr<ZTBTabBarCell> cell;
};

TEST_F(ZTBMetalTabStyleTest, WidthsCountOnlyThePartsThatShow)
{
    cell->setHasCloseButton(false);
    EXPECT_EQ(style().minimumWidthOfTabCell(*cell), 42.0);
    // "Title" in bold DejaVu Sans 11 is 27.76 points wide: 6 + 27.76 + 6, raised.
    EXPECT_EQ(style().desiredWidthOfTabCell(*cell), 40.0);
    // A close button that is there but suppressed keeps its rect and is neither counted nor drawn.
    cell->setHasCloseButton(true);
    cell->setCloseButtonSuppressed(true);
    EXPECT_EQ(style().minimumWidthOfTabCell(*cell), 42.0);
    EXPECT_FALSE(style().closeButtonRectForTabCell(*cell, cell->frame()).isEmpty());
    cell->setCloseButtonSuppressed(false);
    const double close = style().closeButtonRectForTabCell(*cell, cell->frame()).width();
    EXPECT_EQ(style().minimumWidthOfTabCell(*cell), std::ceil(close + 10.0 + 30.0 + 6.0));
}

TEST_F(ZTBMetalTabStyleTest, TheCounterIsAtLeastTwentyWideAndMakesRoomForTheSpinner)
{
    cell->setCount(5);
    const gfx::Rect counter = style().objectCounterRectForTabCell(*cell);
    EXPECT_GE(counter.width(), 20.0);
    EXPECT_EQ(counter.maxX(), cell->frame().maxX() - 6.0);
    EXPECT_EQ(counter.height(), 14.0);
    cell->indicator()->setHidden(false);
    EXPECT_EQ(style().objectCounterRectForTabCell(*cell).minX(), counter.minX() - 20.0);
    // The only tab is the selected one, raised a point.
    EXPECT_EQ(style().indicatorRectForTabCell(*cell), (gfx::Rect { 10 + 130 - 22, 3 - 1, 16, 16 }));
}

TEST_F(ZTBMetalTabStyleTest, TheDragRectOfTheSelectedTabLosesTwoPointsOfHeight)
{
    cell->setTabState(0);
    EXPECT_EQ(style().dragRectForTabCell(*cell, 0), (gfx::Rect { 10, 0, 131, 22 }));
    cell->setTabState(ZTBTabState::Selected);
    EXPECT_EQ(style().dragRectForTabCell(*cell, 0), (gfx::Rect { 10, 0, 131, 20 }));
    EXPECT_EQ(style().dragRectForTabCell(*cell, 1), (gfx::Rect { 12, -1, 128, 23 }));
}

TEST_F(ZTBMetalTabStyleTest, TheOverflowMenuAnswersItsOwnSizeOnly)
{
    for (int i = 0; i < 6; ++i)
        a.addItem("More " + std::to_string(i));
    settle();
    auto menu = a.bar->controller().overflowMenu();
    ASSERT_TRUE(menu);
    auto delegate = menu->delegate();
    ASSERT_TRUE(delegate);
    EXPECT_EQ(delegate->numberOfItemsInMenu(*menu), menu->numberOfItems());
    auto foreign = ui::Menu::create("Other");
    EXPECT_EQ(delegate->numberOfItemsInMenu(*foreign), 0);
    // Validation marks the selected item's entry.
    auto entry = menu->itemArray()[1];
    a.tabView->selectTabViewItem(entry->representedObject().objectAs<ui::TabViewItem>());
    EXPECT_TRUE(a.bar->validateMenuItem(*entry));
    EXPECT_EQ(entry->state(), ui::ControlStateValue::On);
}

TEST_F(ZTBMetalTabStyleTest, TheControlsButtonsAndDragWindowsAreSetUpAsTheControlAsks)
{
    auto& add = *a.bar->addTabButton();
    EXPECT_EQ(add.title(), fnd::String(""));
    EXPECT_EQ(add.buttonCell()->buttonType(), ui::ButtonType::MomentaryChange);
    EXPECT_EQ(add.bezelStyle(), ui::BezelStyle::ShadowlessSquare);
    EXPECT_FALSE(add.isBordered());
    auto& overflow = *a.bar->overflowPopUpButton();
    EXPECT_TRUE(overflow.pullsDown());
    EXPECT_EQ(overflow.bezelStyle(), ui::BezelStyle::RegularSquare);
    EXPECT_EQ(overflow.preferredEdge(), gfx::RectEdge::MaxX) << "the menu opens to the right";
    EXPECT_EQ(a.bar->minimumFrameSizeFromKnobPosition({}), gfx::Size(100, 22));
    EXPECT_EQ(a.bar->maximumFrameSizeFromKnobPosition({}), gfx::Size(10000, 22));
    EXPECT_TRUE(ZTBTabBarControl::bundle());
    for (const char* name : { "ZTBTabDragWindow", "ZTBTabDragView", "ZTBTabDragWindowController" })
        EXPECT_TRUE(fnd::ClassRegistry::shared().find(name)) << name;
    auto controller = ZTBTabDragWindowController::create(gfx::Image::imageWithSize({ 80, 22 }), 0, 0);
    EXPECT_EQ(controller->window()->className(), fnd::String("ZTBTabDragWindow"));
    EXPECT_EQ(controller->window()->dragView()->className(), fnd::String("ZTBTabDragView"));
}

}
