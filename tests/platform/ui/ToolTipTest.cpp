#include "UiTestSupport.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/menus/MenuView.h"
#include "platform/ui/views/Screen.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/controls/SegmentedCell.h"
#include "platform/ui/controls/SegmentedControl.h"
#include "platform/ui/containers/TabView.h"
#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/tables/TableColumn.h"
#include "platform/ui/tables/TableHeaderView.h"
#include "platform/ui/tables/TableView.h"
#include "platform/ui/views/ToolTipManager.h"
#include "platform/ui/containers/Toolbar.h"
#include "platform/ui/containers/ToolbarItem.h"
#include "platform/ui/containers/ToolbarView.h"

using namespace ui;

namespace {

// Three rows of names; the names have tips, the second column has none.
class TipTable : public fnd::Object, public TableViewDataSource, public TableViewDelegate {
    FND_OBJECT(TipTable)
public:
    long numberOfRowsInTableView(TableView&) override { return 3; }
    fnd::Value tableViewObjectValueForTableColumn(TableView&, TableColumn* column, long row) override
    {
        static const char* names[] = { "Apple", "Banana", "Cherry" };
        return fnd::Value(fnd::String(column->identifier() == "name" ? names[row] : "fruit"));
    }
    fnd::String tableViewToolTipForCell(
        TableView&, Cell& cell, gfx::Rect&, TableColumn* column, long, gfx::Point) override
    {
        return column->identifier() == "name" ? fnd::String("About ") + cell.stringValue() : fnd::String();
    }
};
FND_REGISTER_CLASS(TipTable, fnd::Object)

// One item with a tip, as the application makes its own.
class TipToolbarDelegate : public fnd::Object, public ToolbarDelegate {
    FND_OBJECT(TipToolbarDelegate)
public:
    std::shared_ptr<ToolbarItem> toolbarItemForItemIdentifier(Toolbar&, const fnd::String& id, bool) override
    {
        auto item = ToolbarItem::create(id);
        item->setLabel("Export");
        item->setToolTip("Export the barcode as a file");
        return item;
    }
    std::vector<fnd::String> toolbarDefaultItemIdentifiers(Toolbar&) override { return { "Export" }; }
    std::vector<fnd::String> toolbarAllowedItemIdentifiers(Toolbar&) override { return { "Export" }; }
};
FND_REGISTER_CLASS(TipToolbarDelegate, fnd::Object)

class ToolTipTest : public uitest::KeyWindowTest {
protected:
    ToolTipTest()
        : KeyWindowTest({ 400, 300 })
    {
        tipped = View::create({ 10, 10, 100, 40 });
        tipped->setToolTip("Copies the barcode");
        neighbour = View::create({ 110, 10, 100, 40 });
        neighbour->setToolTip("Pastes a barcode");
        plain = View::create({ 250, 10, 100, 40 });
        add(tipped);
        add(neighbour);
        add(plain);
    }

    ToolTipManager& tips() { return ToolTipManager::shared(); }
    void rest(double seconds) { fnd::RunLoop::current().runUntilDate(clock->now().addingTimeInterval(seconds)); }
    void moveTo(gfx::Point point)
    {
        backend->mouseMoved(*window, point);
        dispatch();
    }
    // Moves to the point (window coordinates), rests past the delay and answers the tip shown; then leaves it
    // for long enough that the next tip waits again.
    std::string tipAfterResting(gfx::Point point)
    {
        moveTo(point);
        rest(ToolTipManager::InitialDelay + 0.2);
        auto text = tips().shownText().utf8();
        moveTo({ 390, 290 });
        rest(2);
        return text;
    }
    static gfx::Point middleInWindow(View& view, gfx::Rect rect)
    {
        return view.convertPointToView({ rect.midX(), rect.midY() }, nullptr);
    }

    std::shared_ptr<View> tipped, neighbour, plain;
};

}

TEST_F(ToolTipTest, ATipAppearsBelowRightOfThePointerOnlyAfterThePointerRestsOverAViewWithOne)
{
    EXPECT_EQ(tipped->toolTip(), u"Copies the barcode");
    moveTo({ 300, 30 });
    rest(3);
    EXPECT_FALSE(tips().isShown()) << "a view without a tip shows none";

    moveTo({ 40, 30 });
    rest(0.6);
    EXPECT_FALSE(tips().isShown()) << "not before the delay";
    moveTo({ 50, 30 });
    rest(0.6);
    EXPECT_FALSE(tips().isShown()) << "moving starts the wait again";
    rest(0.6);
    ASSERT_TRUE(tips().isShown());
    EXPECT_EQ(tips().shownText(), u"Copies the barcode");

    auto tipWindow = tips().toolTipWindow();
    auto frame = tipWindow->frame();
    gfx::Point pointer = window->convertBaseToScreen({ 50, 30 });
    EXPECT_GE(frame.minX(), pointer.x);
    EXPECT_LE(frame.maxY(), pointer.y - 10) << "below the pointer's arrow";
    EXPECT_EQ(tipWindow->styleMask(), WindowStyleMask::Borderless);
    EXPECT_GT(tipWindow->level(), WindowLevel::Normal);
    EXPECT_FALSE(tipWindow->isKeyWindow());
    EXPECT_TRUE(window->isKeyWindow()) << "the tip takes no focus";

    // Moving within the area keeps the tip where it is.
    moveTo({ 60, 35 });
    EXPECT_EQ(tips().toolTipWindow()->frame(), frame);
    // Leaving the area hides it.
    moveTo({ 300, 30 });
    EXPECT_FALSE(tips().isShown());
    EXPECT_FALSE(tipWindow->isVisible());

    // Taking the tip away leaves nothing to show.
    rest(2);
    tipped->setToolTip({});
    moveTo({ 40, 30 });
    rest(2);
    EXPECT_FALSE(tips().isShown());
}

TEST_F(ToolTipTest, ANeighboursTipFollowsAtOnceWhileOneIsShown)
{
    moveTo({ 100, 30 });
    rest(1.2);
    ASSERT_EQ(tips().shownText(), u"Copies the barcode");
    moveTo({ 120, 30 });
    EXPECT_EQ(tips().shownText(), u"Pastes a barcode") << "no new wait";
    // Crossing a gap: right after the tip went away the next one still comes at once.
    moveTo({ 230, 30 });
    EXPECT_FALSE(tips().isShown());
    moveTo({ 40, 30 });
    EXPECT_EQ(tips().shownText(), u"Copies the barcode");
    // After a while without a tip the delay applies again.
    moveTo({ 230, 30 });
    rest(2);
    moveTo({ 120, 30 });
    EXPECT_FALSE(tips().isShown());
    rest(1.2);
    EXPECT_EQ(tips().shownText(), u"Pastes a barcode");
}

TEST_F(ToolTipTest, PressKeyScrollAndDeactivationHideTheTipWhichStaysAwayUntilThePointerLeaves)
{
    auto showOverTipped = [&] {
        moveTo({ 300, 30 });
        rest(2);
        moveTo({ 40, 30 });
        rest(1.2);
        return tips().isShown();
    };
    ASSERT_TRUE(showOverTipped());
    backend->mouseDown(*window, { 40, 30 });
    dispatch();
    EXPECT_FALSE(tips().isShown()) << "a press hides it";
    backend->mouseUp(*window, { 40, 30 });
    moveTo({ 45, 30 });
    rest(3);
    EXPECT_FALSE(tips().isShown()) << "not again over the area that was pressed";
    moveTo({ 300, 30 });
    moveTo({ 45, 30 });
    rest(1.2);
    EXPECT_TRUE(tips().isShown()) << "back after the pointer left and came again";

    backend->keyDown(*window, "a", 0);
    dispatch();
    EXPECT_FALSE(tips().isShown()) << "a key hides it";

    ASSERT_TRUE(showOverTipped());
    backend->scrollWheel(*window, { 40, 30 }, 0, -1);
    dispatch();
    EXPECT_FALSE(tips().isShown()) << "scrolling hides it";

    ASSERT_TRUE(showOverTipped());
    app().deactivate();
    EXPECT_FALSE(tips().isShown()) << "the application going to the background hides it";
    app().activateIgnoringOtherApps(true);

    ASSERT_TRUE(showOverTipped());
    auto other = Window::create({ 600, 100, 200, 200 });
    other->makeKeyAndOrderFront();
    EXPECT_FALSE(tips().isShown()) << "the window resigning key hides it";
    // A pending tip is dropped as well.
    window->makeKeyAndOrderFront();
    moveTo({ 300, 30 });
    rest(2);
    moveTo({ 40, 30 });
    other->makeKeyAndOrderFront();
    rest(2);
    EXPECT_FALSE(tips().isShown());
}

TEST_F(ToolTipTest, ToolbarItemsTableCellsSegmentsAndTabsShowTheTipsOfTheirParts)
{
    // A toolbar item's tip.
    auto toolbarDelegate = fnd::makeObject<TipToolbarDelegate>();
    auto toolbar = Toolbar::create("ToolTipTest.Toolbar");
    toolbar->setDelegate(toolbarDelegate);
    toolbar->attachToWindow(window);
    ASSERT_EQ(toolbar->view()->viewers().size(), 1u);
    auto& viewer = *toolbar->view()->viewers().front();
    EXPECT_EQ(tipAfterResting(middleInWindow(viewer, viewer.bounds())), "Export the barcode as a file");

    // A table cell's tip from the delegate; none over a column it gives none for, the column's header tip over
    // its title.
    auto scroll = ScrollView::create({ 10, 60, 250, 120 });
    auto table = TableView::create({ 0, 0, 240, 100 });
    for (const char* identifier : { "name", "kind" }) {
        auto column = TableColumn::create(identifier);
        column->setWidth(110);
        table->addTableColumn(column);
    }
    table->tableColumns()[1]->setHeaderToolTip("What the fruit is");
    auto source = fnd::makeObject<TipTable>();
    table->setDataSource(source);
    table->setDelegate(source);
    scroll->setDocumentView(table);
    add(scroll);
    table->reloadData();
    window->displayIfNeeded();
    EXPECT_EQ(tipAfterResting(middleInWindow(*table, table->frameOfCellAtColumn(0, 1))), "About Banana");
    EXPECT_EQ(tipAfterResting(middleInWindow(*table, table->frameOfCellAtColumn(1, 1))), "");
    auto header = table->headerView();
    ASSERT_TRUE(header);
    EXPECT_EQ(tipAfterResting(middleInWindow(*header, header->headerRectOfColumn(1))), "What the fruit is");

    // A segment's tip; the control's own tip over a segment without one.
    auto segments = SegmentedControl::create({ 270, 60, 120, 24 });
    segments->setSegmentCount(2);
    segments->setLabel("Bars", 0);
    segments->setLabel("Dots", 1);
    segments->setWidth(58, 0);
    segments->setWidth(58, 1);
    segments->segmentedCell()->setToolTip("Draw the modules as bars", 0);
    segments->setToolTip("Module shape");
    add(segments);
    auto cell = segments->segmentedCell();
    EXPECT_EQ(tipAfterResting(middleInWindow(*segments, cell->rectForSegment(0, segments->bounds()))),
        "Draw the modules as bars");
    EXPECT_EQ(tipAfterResting(middleInWindow(*segments, cell->rectForSegment(1, segments->bounds()))), "Module shape");

    // A tab's tip.
    auto tabs = TabView::create({ 270, 120, 120, 100 });
    auto first = TabViewItem::create(fnd::Value(fnd::String("one")));
    first->setLabel("One");
    first->setToolTip("The first page");
    auto second = TabViewItem::create(fnd::Value(fnd::String("two")));
    second->setLabel("Two");
    tabs->addTabViewItem(first);
    tabs->addTabViewItem(second);
    add(tabs);
    window->displayIfNeeded();
    EXPECT_EQ(tipAfterResting(middleInWindow(*tabs, tabs->rectOfTabViewItem(*first))), "The first page");
    EXPECT_EQ(tipAfterResting(middleInWindow(*tabs, tabs->rectOfTabViewItem(*second))), "");
}

TEST_F(ToolTipTest, TheTipIsDrawnSmallOnAPaleGroundWithAThinBorderAndStaysOnTheScreen)
{
    moveTo({ 40, 30 });
    rest(1.2);
    auto tipWindow = tips().toolTipWindow();
    ASSERT_TRUE(tipWindow);
    auto image = backend->imageOfWindow(*tipWindow);
    uitest::keepSnapshot(image, "tool-tip");
    auto size = tipWindow->frame().size;
    EXPECT_LT(size.height, 24) << "one line of small text";
    EXPECT_GT(size.width, 60);
    // Pale, slightly yellow ground inside a darker border, dark text between.
    auto ground = pixel(*image, 2, 2);
    EXPECT_GT(luminance(ground), 220);
    EXPECT_GT(gfx::redOf(ground), gfx::blueOf(ground));
    EXPECT_LT(luminance(pixel(*image, 0.5, size.height / 2)), 180);
    EXPECT_LT(luminance(pixel(*image, size.width - 0.5, size.height / 2)), 180);
    int dark = 0;
    for (double x = 4; x < size.width - 4; x += 1)
        for (double y = 3; y < size.height - 3; y += 1)
            dark += luminance(pixel(*image, x, y)) < 100;
    EXPECT_GT(dark, 20) << "the text is drawn";

    // Near the screen's bottom right corner the tip moves onto the screen, above the pointer.
    moveTo({ 300, 30 });
    rest(2);
    window->setFrameOrigin({ 1440 - 400, 0 });
    moveTo({ 395, 5 });
    rest(0.1);
    moveTo({ 399, 5 });
    rest(0.1);
    EXPECT_FALSE(tips().isShown());
    plain->setToolTip("A rather long tip that needs room on the screen");
    plain->setFrame({ 250, 0, 150, 40 });
    moveTo({ 399, 5 });
    rest(1.2);
    ASSERT_TRUE(tips().isShown());
    auto frame = tips().toolTipWindow()->frame();
    auto visible = Screen::screens().front()->visibleFrame();
    EXPECT_LE(frame.maxX(), visible.maxX());
    EXPECT_GE(frame.minY(), visible.minY());
    EXPECT_GT(frame.minY(), window->convertBaseToScreen({ 399, 5 }).y) << "above the pointer";
}

TEST_F(ToolTipTest, AMenuItemShowsItsTipWhileThePointerRestsOnItAndTheTipGoesWithTheMenu)
{
    auto menu = Menu::create("Actions");
    menu->addItemWithTitle("Copy", {});
    menu->addItemWithTitle("Export", {})->setToolTip("Writes the barcode to a file");
    auto layout = MenuView::layoutMenu(*menu);
    gfx::Point topLeft = window->convertBaseToScreen({ 50, 250 });
    auto rowInBase = [&](long index) {
        auto r = layout.rows[std::size_t(index)].rect;
        return window->convertScreenToBase({ topLeft.x + 20, topLeft.y - r.midY() });
    };
    std::string overCopy = "unset", overExport = "unset";
    long windowsWhileShown = 0;
    backend->mouseMoved(*window, rowInBase(0));
    backend->after(1.5, [&] {
        overCopy = tips().shownText().utf8();
        backend->mouseMoved(*window, rowInBase(1));
    });
    backend->after(3, [&] {
        overExport = tips().shownText().utf8();
        windowsWhileShown = long(app().windows().size());
        backend->keyDown(*window, u"\x1b", 0);
    });
    EXPECT_FALSE(menu->popUpMenuPositioningItem(nullptr, topLeft));
    EXPECT_EQ(overCopy, "") << "an item without a tip shows none";
    EXPECT_EQ(overExport, "Writes the barcode to a file");
    EXPECT_EQ(windowsWhileShown, 3) << "the window, the menu and the tip";
    EXPECT_FALSE(tips().isShown());
    EXPECT_EQ(app().windows().size(), 1u) << "the tip's window is closed with the menu";
}
