#include "TableGridTestSupport.h"

using namespace gridtest;

namespace {

class ZORTableGridHeaderTest : public TableGridTest {
protected:
    ZORTableGridHeaderView& columnHeaders() { return *grid->columnHeaderView(); }
    ZORTableGridHeaderView& rowHeaders() { return *grid->rowHeaderView(); }
    void clickHeader(ZORTableGridHeaderView& view, gfx::Point p, unsigned flags = 0)
    {
        press(view, p, flags);
        release(view, p, flags);
        dispatch();
    }
};

TEST_F(ZORTableGridHeaderTest, ClickingAndDraggingAcrossHeadersSelectsWholeColumnsAndRows)
{
    clickHeader(columnHeaders(), { 150, 10 }); // "C"
    EXPECT_EQ(columns(), "{2}");
    EXPECT_EQ(rows().substr(0, 8), "{0 1 2 3");
    EXPECT_EQ(grid->selectedRowIndexes()->count(), 20);
    press(columnHeaders(), { 150, 10 });
    // Pressed on a wholly selected column: a drag across only starts dragging, so start from a fresh column.
    release(columnHeaders(), { 150, 10 });
    dispatch();
    clickHeader(columnHeaders(), { 90, 10 });
    press(columnHeaders(), { 150, 10 });
    dragTo(columnHeaders(), { 270, 10 }); // "E"
    release(columnHeaders(), { 270, 10 });
    dispatch();
    EXPECT_EQ(columns(), "{2 3 4}");
    EXPECT_EQ(grid->selectedRowIndexes()->count(), 20) << "every row stays selected";

    clickHeader(rowHeaders(), { 20, 50 }); // "3"
    EXPECT_EQ(rows(), "{2}");
    EXPECT_EQ(columns(), "{0 1 2 3 4 5 6 7 8 9}");
    press(rowHeaders(), { 20, 10 });
    dragTo(rowHeaders(), { 20, 90 });
    release(rowHeaders(), { 20, 90 });
    dispatch();
    EXPECT_EQ(rows(), "{0 1 2 3 4}");

    // A shift-click with multiple selection changes nothing by itself.
    const int before = selectionChanges;
    clickHeader(columnHeaders(), { 330, 10 }, ui::ModifierFlags::Shift);
    EXPECT_EQ(selectionChanges, before);
}

TEST_F(ZORTableGridHeaderTest, ASelectedColumnStartsADragAfterFivePointsAndOtherwiseIsSelectedAlone)
{
    clickHeader(columnHeaders(), { 30, 10 });
    press(columnHeaders(), { 90, 10 });
    dragTo(columnHeaders(), { 150, 10 });
    release(columnHeaders(), { 150, 10 });
    dispatch();
    EXPECT_EQ(columns(), "{1 2}");
    EXPECT_TRUE(source->written.empty());

    // Four points each way: no drag; the release selects the pressed column alone.
    press(columnHeaders(), { 90, 10 });
    dragTo(columnHeaders(), { 94, 14 });
    release(columnHeaders(), { 94, 14 });
    dispatch();
    EXPECT_TRUE(source->written.empty());
    EXPECT_EQ(columns(), "{1}");

    // Five points: the data source is asked to write the columns and the drag starts.
    press(columnHeaders(), { 90, 10 });
    dragTo(columnHeaders(), { 95, 10 });
    release(columnHeaders(), { 95, 10 });
    dispatch();
    EXPECT_EQ(source->written, (std::vector<std::string> { "columns {1}" }));
    EXPECT_EQ(columns(), "{1}");
    EXPECT_EQ(columnHeaders().mouseDownItem(), -1);

    // The same for rows, vertically.
    clickHeader(rowHeaders(), { 20, 30 });
    press(rowHeaders(), { 20, 30 });
    dragTo(rowHeaders(), { 20, 35 });
    release(rowHeaders(), { 20, 35 });
    dispatch();
    EXPECT_EQ(source->written.back(), "rows {1}");
}

TEST_F(ZORTableGridHeaderTest, TheRightEdgeOfAColumnHeaderResizesTheColumnLeftOfThePointer)
{
    snapshot();
    ASSERT_EQ(columnHeaders().resizeAreas().size(), 6u) << "one per column in sight";
    EXPECT_EQ(columnHeaders().resizeAreas()[0]->rect(), (gfx::Rect { 58, 0, 5, 19 }));
    EXPECT_TRUE(rowHeaders().resizeAreas().empty()) << "rows have no resize areas";

    backend->mouseMoved(*window, columnHeaders().convertPointToView({ 50, 10 }, nullptr));
    backend->mouseMoved(*window, columnHeaders().convertPointToView({ 62, 10 }, nullptr));
    dispatch();
    ASSERT_TRUE(columnHeaders().canResize());
    const auto selectionBefore = selectionChanges;
    press(columnHeaders(), { 62, 10 });
    dragTo(columnHeaders(), { 82, 10 });
    dragTo(columnHeaders(), { 92, 12 });
    dispatch();
    EXPECT_TRUE(columnHeaders().isResizing());
    release(columnHeaders(), { 92, 12 });
    dispatch();
    EXPECT_FALSE(columnHeaders().isResizing());
    EXPECT_EQ(grid->_widthForColumn(0), 90);
    EXPECT_EQ(grid->_widthForColumn(1), 60);
    EXPECT_EQ(selectionChanges, selectionBefore) << "a resize press selects nothing";
    // The areas follow the new edges, for every column in sight, even after a partial redraw.
    columnHeaders().displayRect({ 0, 0, 10, 19 });
    EXPECT_EQ(columnHeaders().resizeAreas()[0]->rect().minX(), 88);
    EXPECT_GE(columnHeaders().resizeAreas().size(), 6u);
}

}
