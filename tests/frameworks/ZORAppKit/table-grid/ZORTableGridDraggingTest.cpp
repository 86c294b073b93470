#include "TableGridTestSupport.h"

#include "platform/graphics/Image.h"

using namespace gridtest;

namespace {

const fnd::String ZORTableGridTestTextType = "org.example.gridtest.text";

// A drag as a destination sees it, at a location the test sets.
class FakeDraggingInfo : public ui::DraggingInfo {
public:
    FakeDraggingInfo(std::shared_ptr<ui::Window> window, std::shared_ptr<ui::Pasteboard> pasteboard, gfx::Point at)
        : window(std::move(window))
        , pasteboard(std::move(pasteboard))
        , location(at)
    {
    }
    std::shared_ptr<ui::Window> draggingDestinationWindow() const override { return window; }
    ui::DragOperation draggingSourceOperationMask() const override { return ui::DragOperations::Every; }
    gfx::Point draggingLocation() const override { return location; }
    gfx::Point draggedImageLocation() const override { return location; }
    std::shared_ptr<gfx::Image> draggedImage() const override { return nullptr; }
    std::shared_ptr<ui::Pasteboard> draggingPasteboard() const override { return pasteboard; }
    std::shared_ptr<fnd::Object> draggingSource() const override { return nullptr; }
    long draggingSequenceNumber() const override { return 1; }

    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::Pasteboard> pasteboard;
    gfx::Point location;
};

// A square beside the grid that starts a drag of some text, or of both grid types when told.
class GridDragOrigin : public ui::View {
    FND_OBJECT(GridDragOrigin)
public:
    void mouseDown(const ui::Event& event) override
    {
        auto pasteboard = ui::Pasteboard::pasteboardWithName(ui::PasteboardName::Drag);
        if (both) {
            pasteboard->declareTypes({ ZORTableGridRowDataType, ZORTableGridColumnDataType });
            pasteboard->setData(ZORTableGrid::archivedIndexSet(fnd::IndexSet { 0 }), ZORTableGridColumnDataType);
            pasteboard->setData(ZORTableGrid::archivedIndexSet(fnd::IndexSet { 0 }), ZORTableGridRowDataType);
        } else {
            pasteboard->declareTypes({ ZORTableGridTestTextType });
            pasteboard->setString("text", ZORTableGridTestTextType);
        }
        ui::dragImage(*this, std::make_shared<gfx::Image>(), { 0, 0 }, {}, event, pasteboard, nullptr, false);
    }
    bool both { false };
};
FND_REGISTER_CLASS(GridDragOrigin, ui::View)

class ZORTableGridDraggingTest : public TableGridTest {
protected:
    ZORTableGridDraggingTest()
    {
        grid->setFrame({ 0, 0, 400, 240 });
        origin = std::make_shared<GridDragOrigin>();
        origin->initWithFrame({ 300, 250, 40, 40 });
        add(origin);
        moves = fnd::NotificationCenter::defaultCenter().addObserverForName(
            ZORTableGridNotification::DidMoveColumns, grid->selfValue(), [this](const fnd::Notification& note) {
                moveNotes.push_back(GridSource::describe(*note.userInfo().get("OldColumns").objectAs<fnd::IndexSet>())
                    + " -> " + GridSource::describe(*note.userInfo().get("NewColumns").objectAs<fnd::IndexSet>()));
            });
        rowMoves = fnd::NotificationCenter::defaultCenter().addObserverForName(
            ZORTableGridNotification::DidMoveRows, grid->selfValue(), [this](const fnd::Notification& note) {
                moveNotes.push_back(GridSource::describe(*note.userInfo().get("OldRows").objectAs<fnd::IndexSet>())
                    + " -> " + GridSource::describe(*note.userInfo().get("NewRows").objectAs<fnd::IndexSet>()));
            });
    }
    ~ZORTableGridDraggingTest() override
    {
        fnd::NotificationCenter::defaultCenter().removeObserver(moves);
        fnd::NotificationCenter::defaultCenter().removeObserver(rowMoves);
    }

    // Presses a header already wholly selected and drags it to a point of the grid, then drops.
    void dragHeader(ZORTableGridHeaderView& header, gfx::Point from, gfx::Point gridPoint)
    {
        press(header, from);
        dragTo(header, { from.x + 6, from.y + 6 });
        dragTo(*grid, gridPoint);
        dragTo(*grid, gridPoint);
        release(*grid, gridPoint);
        dispatch();
    }
    void dropFromOrigin(gfx::Point gridPoint, bool release = true)
    {
        press(*origin, { 20, 20 });
        dragTo(*origin, { 10, 10 });
        dragTo(*grid, gridPoint);
        dragTo(*grid, gridPoint);
        if (release)
            this->release(*grid, gridPoint);
        else
            dragTo(*origin, { 20, 20 });
        if (!release)
            this->release(*origin, { 20, 20 });
        dispatch();
    }

    std::shared_ptr<GridDragOrigin> origin;
    std::vector<std::string> moveNotes;
    fnd::NotificationObserverToken moves;
    fnd::NotificationObserverToken rowMoves;
};

TEST_F(ZORTableGridDraggingTest, DraggedColumnsMoveWhereTheDataSourceSaysAndTheSelectionFollows)
{
    grid->setSelectedColumnIndexes(fnd::IndexSet(fnd::Range { 1, 2 }));
    grid->setSelectedRowIndexes(fnd::IndexSet(fnd::Range { 0, 20 }));
    // The right half of column 4 (grid x 280 to 340): the drop index is 5.
    dragHeader(*grid->columnHeaderView(), { 90, 10 }, { 330, 100 });
    EXPECT_EQ(source->moved, (std::vector<std::string> { "columns {1 2} to 5" }));
    EXPECT_EQ(moveNotes, (std::vector<std::string> { "{1 2} -> {3 4}" }));
    EXPECT_EQ(columns(), "{3 4}");
    EXPECT_EQ(content().dropColumn(), fnd::NotFound) << "the feedback is cleared";

    // Columns 3-4 into the left half of column 0: index 0, then columns 0-1.
    dragHeader(*grid->columnHeaderView(), { 190, 10 }, { 45, 100 });
    EXPECT_EQ(source->moved.back(), "columns {3 4} to 0");
    EXPECT_EQ(columns(), "{0 1}");

    // A refused move changes nothing.
    source->moves = false;
    dragHeader(*grid->columnHeaderView(), { 30, 10 }, { 330, 100 });
    EXPECT_EQ(columns(), "{0 1}");
    EXPECT_EQ(moveNotes.size(), 2u);
}

TEST_F(ZORTableGridDraggingTest, ADropInsideTheDraggedSpanKeepsTheColumnsOrRowsInPlace)
{
    grid->setSelectedColumnIndexes(fnd::IndexSet(fnd::Range { 1, 3 }));
    grid->setSelectedRowIndexes(fnd::IndexSet(fnd::Range { 0, 20 }));
    // Columns 1-3 onto the left half of column 2 (grid x 160 to 190): index 2, one dragged column before it.
    dragHeader(*grid->columnHeaderView(), { 90, 10 }, { 170, 100 });
    EXPECT_EQ(source->moved, (std::vector<std::string> { "columns {1 2 3} to 2" }));
    EXPECT_EQ(moveNotes, (std::vector<std::string> { "{1 2 3} -> {1 2 3}" }));
    EXPECT_EQ(columns(), "{1 2 3}");
    EXPECT_EQ(content().dropColumn(), fnd::NotFound) << "the feedback is cleared";

    // Columns 1-2 onto column 2 change nothing.
    grid->setSelectedColumnIndexes(fnd::IndexSet(fnd::Range { 1, 2 }));
    dragHeader(*grid->columnHeaderView(), { 90, 10 }, { 170, 100 });
    EXPECT_EQ(moveNotes.back(), "{1 2} -> {1 2}");
    EXPECT_EQ(columns(), "{1 2}");

    // Rows 3-4 onto the upper half of row 4 (grid y 99 to 109).
    moveNotes.clear();
    grid->setSelectedColumnIndexes(fnd::IndexSet(fnd::Range { 0, 10 }));
    grid->setSelectedRowIndexes(fnd::IndexSet(fnd::Range { 3, 2 }));
    dragHeader(*grid->rowHeaderView(), { 20, 70 }, { 100, 102 });
    EXPECT_EQ(source->moved.back(), "rows {3 4} to 4");
    EXPECT_EQ(moveNotes, (std::vector<std::string> { "{3 4} -> {3 4}" }));
    EXPECT_EQ(rows(), "{3 4}");
}

TEST_F(ZORTableGridDraggingTest, DraggedRowsMoveAsWell)
{
    grid->setSelectedColumnIndexes(fnd::IndexSet(fnd::Range { 0, 10 }));
    grid->setSelectedRowIndexes(fnd::IndexSet(fnd::Range { 3, 2 }));
    // The upper half of row 0 (grid y 19 to 29).
    dragHeader(*grid->rowHeaderView(), { 20, 70 }, { 100, 22 });
    EXPECT_EQ(source->moved, (std::vector<std::string> { "rows {3 4} to 0" }));
    EXPECT_EQ(moveNotes, (std::vector<std::string> { "{3 4} -> {0 1}" }));
    EXPECT_EQ(rows(), "{0 1}");
}

TEST_F(ZORTableGridDraggingTest, ADragThatMayNotMoveShowsNoBarAndADataSourceThatWritesNothingStartsNone)
{
    // Over the grid, column data that may move shows the bar at the drop index; data that may not shows none.
    auto pasteboard = ui::Pasteboard::pasteboardWithUniqueName();
    pasteboard->declareTypes({ ZORTableGridColumnDataType });
    pasteboard->setData(ZORTableGrid::archivedIndexSet(fnd::IndexSet { 1 }), ZORTableGridColumnDataType);
    FakeDraggingInfo info(window, pasteboard, grid->convertPointToView({ 330, 100 }, nullptr));
    EXPECT_EQ(grid->draggingEntered(info), ui::DragOperations::Move);
    EXPECT_EQ(grid->draggingUpdated(info), ui::DragOperations::Move);
    EXPECT_TRUE(content().isDraggingColumnOrRow());
    EXPECT_EQ(content().dropColumn(), 5);
    source->canMove = false;
    EXPECT_EQ(grid->draggingUpdated(info), ui::DragOperations::None);
    EXPECT_EQ(content().dropColumn(), fnd::NotFound);
    // Damaged column data is no drag of columns.
    source->canMove = true;
    pasteboard->setData(fnd::Data::fromString("junk"), ZORTableGridColumnDataType);
    EXPECT_EQ(grid->draggingUpdated(info), ui::DragOperations::None);
    EXPECT_FALSE(grid->performDragOperation(info));
    EXPECT_TRUE(source->moved.empty());

    source->writes = false;
    grid->setSelectedColumnIndexes(fnd::IndexSet { 1 });
    grid->setSelectedRowIndexes(fnd::IndexSet(fnd::Range { 0, 20 }));
    dragHeader(*grid->columnHeaderView(), { 90, 10 }, { 330, 100 });
    EXPECT_EQ(source->written.size(), 1u);
    EXPECT_TRUE(source->moved.empty()) << "no drag started";
}

TEST_F(ZORTableGridDraggingTest, BothTypesOnThePasteboardCountAsAColumnDrag)
{
    origin->both = true;
    dropFromOrigin({ 45, 100 });
    ASSERT_EQ(source->moved.size(), 1u);
    EXPECT_EQ(source->moved[0], "columns {0} to 0");
}

TEST_F(ZORTableGridDraggingTest, OtherDragsDropOnACellUnderTheDataSourcesControl)
{
    grid->registerForDraggedTypes({ ZORTableGridTestTextType });
    dropFromOrigin({ 130, 50 }); // column 1, row 1
    ASSERT_FALSE(source->validated.empty());
    EXPECT_EQ(source->validated.back(), "1,1");
    EXPECT_EQ(source->accepted, (std::vector<std::string> { "1,1" }));
    EXPECT_EQ(content().dropColumn(), fnd::NotFound) << "cleared when the drag ends";

    // A refusal leaves the earlier target outlined until the drag leaves.
    auto pasteboard = ui::Pasteboard::pasteboardWithUniqueName();
    pasteboard->declareTypes({ ZORTableGridTestTextType });
    FakeDraggingInfo info(window, pasteboard, grid->convertPointToView({ 130, 50 }, nullptr));
    EXPECT_EQ(grid->draggingEntered(info), ui::DragOperations::Copy);
    EXPECT_EQ(content().dropColumn(), 1);
    source->validation = ui::DragOperations::None;
    info.location = grid->convertPointToView({ 190, 70 }, nullptr);
    EXPECT_EQ(grid->draggingUpdated(info), ui::DragOperations::None);
    EXPECT_EQ(content().dropColumn(), 1);
    EXPECT_EQ(content().dropRow(), 1);
    grid->draggingExited(info);
    EXPECT_EQ(content().dropColumn(), fnd::NotFound);
    // Outside every cell there is no target.
    source->validated.clear();
    source->validation = ui::DragOperations::Copy;
    info.location = grid->convertPointToView({ 20, 5 }, nullptr);
    grid->draggingEntered(info);
    EXPECT_EQ(source->validated.back(), std::to_string(fnd::NotFound) + "," + std::to_string(fnd::NotFound));
}

}
