#include "TablesTestSupport.h"

#include "platform/graphics/Image.h"
#include "platform/ui/dragging/Pasteboard.h"

using namespace ui;
using namespace tablestest;

namespace {

const fnd::String RowsType = "org.example.tablestest.rows";

// Writes dragged rows as their names, and takes drops as the test says, recording what it is asked.
class DragSource : public ListSource {
public:
    bool tableViewWriteRowsWithIndexes(TableView&, const fnd::IndexSet& rows, Pasteboard& pasteboard) override
    {
        if (!writes)
            return false;
        fnd::String names;
        for (auto row : rows.indexes())
            names += (names.isEmpty() ? "" : ",") + this->rows[static_cast<std::size_t>(row)][0];
        pasteboard.declareTypes({ RowsType });
        pasteboard.setString(names, RowsType);
        return true;
    }
    DragOperation tableViewValidateDrop(
        TableView& table, DraggingInfo&, long row, TableViewDropOperation operation) override
    {
        validated.push_back(describe(row, operation));
        if (retarget)
            table.setDropRow(-1, TableViewDropOperation::On);
        return answer;
    }
    bool tableViewAcceptDrop(TableView&, DraggingInfo& info, long row, TableViewDropOperation operation) override
    {
        accepted.push_back(
            describe(row, operation) + " " + info.draggingPasteboard()->stringForType(RowsType).value_or("?").utf8());
        return true;
    }
    static std::string describe(long row, TableViewDropOperation operation)
    {
        return (operation == TableViewDropOperation::On ? "on " : "above ") + std::to_string(row);
    }

    bool writes { true };
    bool retarget { false };
    DragOperation answer { DragOperations::Copy };
    std::vector<std::string> validated;
    std::vector<std::string> accepted;
};

// A square outside the table that takes rows, or starts a drag of a name when pressed.
class Square : public View, public DraggingDestination {
    FND_OBJECT(Square)
public:
    DragOperation draggingEntered(DraggingInfo&) override { return DragOperations::Copy; }
    bool performDragOperation(DraggingInfo& info) override
    {
        dropped = info.draggingPasteboard()->stringForType(RowsType).value_or("?").utf8();
        return true;
    }
    void mouseDown(const Event& event) override
    {
        auto pasteboard = Pasteboard::pasteboardWithName(PasteboardName::Drag);
        pasteboard->declareTypes({ RowsType });
        pasteboard->setString("Quince", RowsType);
        dragImage(*this, std::make_shared<gfx::Image>(), { 0, 0 }, {}, event, pasteboard, nullptr, false);
    }
    std::string dropped;
};
FND_REGISTER_CLASS(Square, View)

class TableDragTest : public TablesTest {
protected:
    TableDragTest()
    {
        dragSource = std::make_shared<DragSource>();
        dragSource->rows = source->rows;
        table->setDataSource(dragSource);
        table->setAllowsMultipleSelection(true);
        square = std::make_shared<Square>();
        square->initWithFrame({ 320, 10, 70, 70 });
        window->contentView()->addSubview(square);
        registerForDraggedTypes(*square, { RowsType });
        registerForDraggedTypes(*table, { RowsType });
    }

    // Drags from the square into the table, to a point of the table, and drops there.
    void dropOnTable(gfx::Point tablePoint)
    {
        auto start = square->convertPointToView({ 35, 35 }, nullptr);
        backend->mouseDown(*window, start);
        backend->mouseDragged(*window, { start.x - 40, start.y + 40 });
        auto target = table->convertPointToView(tablePoint, nullptr);
        backend->mouseDragged(*window, target);
        backend->mouseDragged(*window, target);
        backend->mouseUp(*window, target);
        dispatch();
    }

    std::shared_ptr<DragSource> dragSource;
    std::shared_ptr<Square> square;
};

}

TEST_F(TableDragTest, DraggedRowsGoOutAsTheDataSourceWritesThem)
{
    clickCell(0, 2);
    clickCell(0, 4, ModifierFlags::Shift);
    auto from = cellPoint(0, 3);
    backend->mouseDown(*window, from);
    backend->mouseDragged(*window, { from.x, from.y - 10 });
    auto to = square->convertPointToView({ 35, 35 }, nullptr);
    backend->mouseDragged(*window, to);
    backend->mouseUp(*window, to);
    dispatch();
    EXPECT_EQ(square->dropped, "Banana,Blueberry,Cherry");
    EXPECT_EQ(selection(), "2 3 4") << "dragging keeps the selection";

    // An unselected row is selected and dragged alone; a data source that writes nothing lets the press select.
    from = cellPoint(0, 7);
    backend->mouseDown(*window, from);
    backend->mouseDragged(*window, { from.x, from.y - 10 });
    backend->mouseDragged(*window, to);
    backend->mouseUp(*window, to);
    dispatch();
    EXPECT_EQ(square->dropped, "Fig");
    EXPECT_EQ(selection(), "7");
    dragSource->writes = false;
    square->dropped.clear();
    backend->mouseDown(*window, cellPoint(0, 1));
    backend->mouseDragged(*window, cellPoint(0, 3));
    backend->mouseUp(*window, cellPoint(0, 3));
    dispatch();
    EXPECT_TRUE(square->dropped.empty());
    EXPECT_EQ(selection(), "1 2 3");
}

TEST_F(TableDragTest, DropsLandOnARowOrInTheGapsBetweenRows)
{
    auto row = [&](long r) { return table->rectOfRow(r); };
    dropOnTable({ 50, row(3).midY() });
    ASSERT_FALSE(dragSource->accepted.empty());
    EXPECT_EQ(dragSource->accepted.back(), "on 3 Quince");
    dropOnTable({ 50, row(4).minY() + 2 });
    EXPECT_EQ(dragSource->accepted.back(), "above 4 Quince");
    dropOnTable({ 50, row(4).maxY() - 2 });
    EXPECT_EQ(dragSource->accepted.back(), "above 5 Quince");

    // Below the last row: the gap after it.
    setRows({ "Apple", "Banana" });
    dragSource->rows = source->rows;
    table->reloadData();
    dropOnTable({ 50, 100 });
    EXPECT_EQ(dragSource->accepted.back(), "above 2 Quince");

    // The data source may move the drop; the drop then goes where it said.
    dragSource->retarget = true;
    dropOnTable({ 50, row(0).midY() });
    EXPECT_EQ(dragSource->validated.back(), "on 0");
    EXPECT_EQ(dragSource->accepted.back(), "on -1 Quince");

    // A refused drop is not accepted.
    dragSource->retarget = false;
    dragSource->answer = DragOperations::None;
    auto accepted = dragSource->accepted.size();
    dropOnTable({ 50, row(1).midY() });
    EXPECT_EQ(dragSource->accepted.size(), accepted);
    EXPECT_EQ(dragSource->validated.back(), "on 1");
}
