#include "TablesTestSupport.h"

#include "platform/ui/containers/ClipView.h"
#include "platform/ui/tables/TableHeaderView.h"

#include <limits>

using namespace ui;
using namespace tablestest;

namespace {

using TableViewTest = TablesTest;

}

TEST_F(TableViewTest, RowsColumnsAndCellsHaveTheirPlacesWithTheSpacingBetweenCells)
{
    // Rows of 17 points and 2 of spacing, columns of 120 and 3.
    EXPECT_EQ(table->numberOfRows(), 20);
    EXPECT_EQ(table->rectOfRow(0), gfx::Rect(0, 0, table->bounds().width(), 19));
    EXPECT_EQ(table->rectOfRow(3), gfx::Rect(0, 57, table->bounds().width(), 19));
    EXPECT_EQ(table->rectOfRow(20), gfx::Rect()) << "no row past the end";
    EXPECT_EQ(table->rectOfColumn(1), gfx::Rect(123, 0, 123, table->bounds().height()));
    EXPECT_EQ(table->frameOfCellAtColumn(1, 3), gfx::Rect(124.5, 58, 120, 17));
    EXPECT_EQ(table->rowAtPoint({ 5, 56.9 }), 2);
    EXPECT_EQ(table->rowAtPoint({ 5, 57 }), 3);
    EXPECT_EQ(table->rowAtPoint({ 5, 20 * 19 }), -1) << "below the last row";
    EXPECT_EQ(table->columnAtPoint({ 122.9, 5 }), 0);
    EXPECT_EQ(table->columnAtPoint({ 123, 5 }), 1);
    EXPECT_EQ(table->columnAtPoint({ 250, 5 }), -1) << "right of the last column";
    EXPECT_EQ(table->rowsInRect({ 0, 18, 10, 40 }), (fnd::Range { 0, 4 })) << "rows 0 (its last point) to 3";
    EXPECT_EQ(table->rowsInRect({ 0, 19 * 25, 10, 40 }), (fnd::Range { 0, 0 }));

    // A hidden column takes no room; the columns after it move left.
    table->tableColumns()[0]->setHidden(true);
    EXPECT_EQ(table->rectOfColumn(1).minX(), 0);
    EXPECT_EQ(table->columnAtPoint({ 5, 5 }), 1);
    EXPECT_TRUE(table->frameOfCellAtColumn(0, 0).isEmpty());
}

// A column width, minimum or maximum that is not a number changes nothing: std::clamp let NaN through into the
// width, and std::max took a NaN maximum for 0, which then squeezed the column to its minimum.
TEST_F(TableViewTest, ColumnWidthsThatAreNoNumbersChangeNothing)
{
    auto column = table->tableColumns()[1];
    column->setMinWidth(10);
    column->setMaxWidth(500);
    column->setWidth(120);
    constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
    column->setWidth(NaN);
    column->setMinWidth(NaN);
    column->setMaxWidth(NaN);
    EXPECT_EQ(column->width(), 120);
    EXPECT_EQ(column->minWidth(), 10);
    EXPECT_EQ(column->maxWidth(), 500);
    EXPECT_EQ(table->rectOfColumn(1), gfx::Rect(123, 0, 123, table->bounds().height()));
}

TEST_F(TableViewTest, TheDelegatesRowHeightsAndGroupRowsShapeTheRows)
{
    delegate->height = [](long row) { return row % 2 ? 30.0 : 10.0; };
    delegate->group = [](long row) { return row == 2; };
    table->noteHeightOfRowsWithIndexesChanged(fnd::IndexSet(fnd::Range { 0, 20 }));
    EXPECT_EQ(table->rectOfRow(0).height(), 12);
    EXPECT_EQ(table->rectOfRow(1), gfx::Rect(0, 12, table->bounds().width(), 32));
    EXPECT_EQ(table->rectOfRow(2).minY(), 44);
    EXPECT_EQ(table->rowAtPoint({ 1, 43 }), 1);
    EXPECT_EQ(table->rowsInRect({ 0, 40, 5, 10 }), (fnd::Range { 1, 2 }));
    EXPECT_EQ(table->frame().height(), 10 * 12 + 10 * 32) << "the table is as tall as its rows";
    // A group row is one cell across the whole row.
    EXPECT_EQ(table->frameOfCellAtColumn(0, 2), gfx::Rect(1.5, 45, table->bounds().width() - 3, 10));
    EXPECT_TRUE(table->frameOfCellAtColumn(1, 2).isEmpty());
}

TEST_F(TableViewTest, TheScrollViewPutsTheHeaderAboveTheRowsAndTheCornerAboveTheScroller)
{
    auto header = table->headerView();
    ASSERT_TRUE(header);
    auto headerClip = scrollView->headerClipView();
    ASSERT_TRUE(headerClip);
    EXPECT_EQ(header->superview(), headerClip);
    // Inside the one-point border: the header strip, then the rows below it.
    EXPECT_EQ(headerClip->frame(), gfx::Rect(1, 1, 283, TableHeaderView::DefaultHeight));
    EXPECT_EQ(scrollView->contentView()->frame().minY(), 1 + TableHeaderView::DefaultHeight);
    EXPECT_EQ(scrollView->verticalScroller()->frame().minY(), 1 + TableHeaderView::DefaultHeight);
    ASSERT_TRUE(table->cornerView());
    EXPECT_EQ(table->cornerView()->superview(), scrollView);
    EXPECT_EQ(table->cornerView()->frame(), gfx::Rect(284, 1, 15, TableHeaderView::DefaultHeight));
    // The table fills the visible width and height at least; the header takes the table's width.
    EXPECT_EQ(table->frame().width(), 283);
    EXPECT_EQ(header->frame().width(), table->frame().width());

    // The header scrolls sideways with the rows.
    table->tableColumns()[1]->setWidth(400);
    scrollView->contentView()->scrollToPoint({ 100, 0 });
    EXPECT_EQ(headerClip->bounds().minX(), 100);

    // Without a header the rows start at the top.
    table->setHeaderView(nullptr);
    EXPECT_FALSE(scrollView->headerClipView());
    EXPECT_EQ(scrollView->contentView()->frame().minY(), 1);
    EXPECT_FALSE(table->cornerView()->superview());
}

TEST_F(TableViewTest, ScrollingARowIntoSightMovesAsLittleAsNeeded)
{
    auto clip = scrollView->contentView();
    const double visible = clip->bounds().height();
    table->scrollRowToVisible(15);
    EXPECT_EQ(clip->bounds().maxY(), table->rectOfRow(15).maxY());
    table->scrollRowToVisible(14);
    EXPECT_EQ(clip->bounds().maxY(), table->rectOfRow(15).maxY()) << "a row in sight does not scroll";
    table->scrollRowToVisible(0);
    EXPECT_EQ(clip->bounds().minY(), 0);
    EXPECT_EQ(clip->bounds().height(), visible);
}

TEST_F(TableViewTest, NoteNumberOfRowsChangedDropsSelectedRowsThatWentAway)
{
    table->setAllowsMultipleSelection(true);
    table->selectRowIndexes(fnd::IndexSet { 2, 18, 19 }, false);
    delegate->log.clear();
    source->rows.resize(10);
    table->noteNumberOfRowsChanged();
    EXPECT_EQ(table->numberOfRows(), 10);
    EXPECT_EQ(selection(), "2");
    EXPECT_EQ(delegate->log, (std::vector<std::string> { "changed" }));
    EXPECT_EQ(table->frame().height(), std::max(10 * 19.0, scrollView->contentView()->bounds().height()));

    // A table that must keep a selection takes the first row when its rows go.
    table->setAllowsEmptySelection(false);
    source->rows.clear();
    table->reloadData();
    EXPECT_EQ(selection(), "");
    setRows({ "Quince" });
    EXPECT_EQ(selection(), "0");
}

TEST_F(TableViewTest, SelectedRowsAreDrawnInTheAccentOnlyWhileTheTableHasTheKeyboard)
{
    table->selectRowIndexes(fnd::IndexSet { 1 }, false);
    auto image = snapshot("table-selection");
    auto inRow = [&](long row) { return pixelIn(*image, *table, { 60, table->rectOfRow(row).midY() + 4 }); };
    EXPECT_TRUE(isAccent(inRow(1)));
    EXPECT_GT(luminance(inRow(0)), 240) << "other rows keep the background";
    // The selected row's text is light on the band: some pixels of the name are near white.
    bool light = false;
    for (double x = 4; x < 40; x += 1)
        light = light || luminance(pixelIn(*image, *table, { x, table->rectOfRow(1).midY() })) > 230;
    EXPECT_TRUE(light);

    window->makeFirstResponder(nullptr);
    image = snapshot("table-selection-inactive");
    EXPECT_FALSE(isAccent(inRow(1)));
    EXPECT_LT(luminance(inRow(1)), 230) << "a grey band";
}

TEST_F(TableViewTest, AlternatingRowsAndGridLinesReachBelowTheLastRow)
{
    setRows({ "Apple", "Banana" });
    table->setUsesAlternatingRowBackgroundColors(true);
    table->setGridStyleMask(
        TableViewGridLine::SolidVerticalGridLineMask | TableViewGridLine::SolidHorizontalGridLineMask);
    auto image = snapshot("table-grid");
    // Rows 1, 3, 5 ... are tinted, also where there are no rows.
    auto at = [&](double x, double y) { return luminance(pixelIn(*image, *table, { x, y })); };
    EXPECT_GT(at(60, 19 * 0 + 5), at(60, 19 * 1 + 5));
    EXPECT_GT(at(60, 19 * 4 + 5), at(60, 19 * 5 + 5));
    // The vertical line at the first column's right edge runs down the whole visible height.
    EXPECT_LT(at(122.5, 150), at(118, 150));
    // The horizontal line at the bottom of row 0.
    EXPECT_LT(at(60, 18.5), at(60, 10));
}

TEST_F(TableViewTest, ATableOfAHundredThousandRowsAsksOnlyForTheRowsItShows)
{
    source->rows.assign(100'000, { "row", "kind" });
    table->reloadData();
    window->displayIfNeeded();
    EXPECT_EQ(table->frame().height(), 100'000 * 19.0);
    source->askedRows.clear();
    // A page down: the clip view moves by its height and the window redraws.
    auto clip = scrollView->contentView();
    clip->scrollToPoint({ 0, 50'000 * 19.0 });
    window->displayIfNeeded();
    ASSERT_FALSE(source->askedRows.empty());
    auto [low, high] = std::minmax_element(source->askedRows.begin(), source->askedRows.end());
    auto shown = table->rowsInRect(clip->documentVisibleRect());
    EXPECT_GE(*low, shown.location);
    EXPECT_LT(*high, static_cast<long>(shown.max()));
    EXPECT_LE(source->askedRows.size(), 2 * (shown.length + 1)) << "two columns, each visible row once";
}

TEST_F(TableViewTest, ARenderedTableShowsHeaderRowsAndSortArrow)
{
    table->tableColumns()[0]->setSortDescriptorPrototype(fnd::SortDescriptor::sortDescriptorWithKey("name"));
    table->setSortDescriptors({ fnd::SortDescriptor::sortDescriptorWithKey("name", false) });
    table->setUsesAlternatingRowBackgroundColors(true);
    table->selectRowIndexes(fnd::IndexSet { 2 }, false);
    auto image = snapshot("table");
    auto header = table->headerView();
    // The header strip is light grey with a darker title in it.
    EXPECT_LT(luminance(pixelIn(*image, *header, { 2, 2 })), 250);
    int darkest = 255;
    for (double x = 4; x < 40; ++x)
        darkest = std::min(darkest, luminance(pixelIn(*image, *header, { x, TableHeaderView::DefaultHeight / 2 })));
    EXPECT_LT(darkest, 140);
    // The sort arrow sits at the right of the first title.
    int arrow = 255;
    for (double x = 108; x < 120; ++x)
        for (double y = 6; y < 16; ++y)
            arrow = std::min(arrow, luminance(pixelIn(*image, *header, { x, y })));
    EXPECT_LT(arrow, 200);
}
