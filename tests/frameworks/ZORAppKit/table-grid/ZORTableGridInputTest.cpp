#include "TableGridTestSupport.h"

using namespace gridtest;
using ui::FunctionKey::DownArrow;
using ui::FunctionKey::LeftArrow;
using ui::FunctionKey::RightArrow;
using ui::FunctionKey::UpArrow;
constexpr unsigned Shift = ui::ModifierFlags::Shift;

namespace {

class ZORTableGridInputTest : public TableGridTest {
protected:
    ZORTableGridInputTest() { window->makeFirstResponder(grid); }
};

TEST_F(ZORTableGridInputTest, ShiftArrowsGrowAndShrinkFromTheAnchor)
{
    clickCell(2, 2);
    key(UpArrow, ui::KeyCode::UpArrow, Shift);
    EXPECT_EQ(rows(), "{1 2}");
    EXPECT_EQ(grid->_stickyRow(), ZORTableGrid::StickyBottomEdge);
    key(DownArrow, ui::KeyCode::DownArrow, Shift);
    EXPECT_EQ(rows(), "{2}") << "the top edge moves down";

    // Rows 1-3 anchored at the top: Shift-Up pulls the bottom edge up.
    select({ 2, 1 }, { 1, 3 });
    grid->_setStickyColumn(ZORTableGrid::StickyLeftEdge, ZORTableGrid::StickyTopEdge);
    perform("moveUpAndModifySelection:");
    EXPECT_EQ(rows(), "{1 2}");

    // Sideways, and against the edges.
    select({ 0, 1 }, { 0, 1 });
    perform("moveLeftAndModifySelection:");
    EXPECT_EQ(columns(), "{0}") << "one column selected becomes anchored right, and at column 0 it stops";
    perform("moveRightAndModifySelection:");
    perform("moveRightAndModifySelection:");
    EXPECT_EQ(columns(), "{0 1 2}");
    select({ 9, 1 }, { 19, 1 });
    perform("moveRightAndModifySelection:");
    perform("moveDownAndModifySelection:");
    EXPECT_EQ(columns(), "{9}");
    EXPECT_EQ(rows(), "{19}");
}

TEST_F(ZORTableGridInputTest, ShiftReturnMovesUpAndTheNextExtendMovesInsteadOfExtending)
{
    clickCell(4, 5);
    key(u'\r', ui::KeyCode::Return, Shift);
    EXPECT_EQ(rows(), "{4}") << "Shift-Return moves up";
    EXPECT_TRUE(grid->shouldOverrideModifiers());
    key(DownArrow, ui::KeyCode::DownArrow, Shift);
    EXPECT_EQ(rows(), "{5}") << "moved, not extended";
    EXPECT_FALSE(grid->shouldOverrideModifiers());
    key(DownArrow, ui::KeyCode::DownArrow, Shift);
    EXPECT_EQ(rows(), "{5 6}");

    // Shift-Tab moves left and sets the flag as well.
    clickCell(4, 5);
    key(u'\x19', ui::KeyCode::Tab, Shift);
    EXPECT_EQ(columns(), "{3}");
    EXPECT_TRUE(grid->shouldOverrideModifiers());
}

TEST_F(ZORTableGridInputTest, PlainMovesStopAtTheBordersWithoutWrapping)
{
    clickCell(9, 19);
    const int before = selectionChanges;
    key(u'\t', ui::KeyCode::Tab);
    key(u'\r', ui::KeyCode::Return);
    key(RightArrow, ui::KeyCode::RightArrow);
    EXPECT_EQ(columns(), "{9}");
    EXPECT_EQ(rows(), "{19}");
    EXPECT_EQ(selectionChanges, before) << "nothing moved";
    key(LeftArrow, ui::KeyCode::LeftArrow);
    key(UpArrow, ui::KeyCode::UpArrow);
    EXPECT_EQ(columns(), "{8}");
    EXPECT_EQ(rows(), "{18}");
    // A move starts from the anchor corner of a bigger selection.
    select({ 2, 3 }, { 2, 3 });
    grid->_setStickyColumn(ZORTableGrid::StickyRightEdge, ZORTableGrid::StickyBottomEdge);
    perform("moveRight:");
    EXPECT_EQ(columns(), "{5}");
    EXPECT_EQ(rows(), "{4}");
    // With nothing selected the commands do nothing.
    select({ 0, 0 }, { 0, 0 });
    perform("moveDown:");
    perform("moveDownAndModifySelection:");
    EXPECT_EQ(rows(), "{}");
}

TEST_F(ZORTableGridInputTest, PressDragAndShiftClickSelectRectangles)
{
    // Dragging is anchored at the pressed cell.
    auto cell = [&](fnd::Index c, fnd::Index r) {
        auto f = content().frameOfCellAtColumn(c, r);
        return gfx::Point { f.midX(), f.midY() };
    };
    press(content(), cell(3, 4));
    dragTo(content(), cell(1, 6));
    dispatch();
    EXPECT_TRUE(content().isAutoscrolling()) << "the timer runs while the button is down";
    release(content(), cell(1, 6));
    dispatch();
    EXPECT_FALSE(content().isAutoscrolling());
    EXPECT_EQ(content().mouseDownColumn(), fnd::NotFound);
    EXPECT_EQ(columns(), "{1 2 3}");
    EXPECT_EQ(rows(), "{4 5 6}");
    EXPECT_EQ(grid->_stickyColumn(), ZORTableGrid::StickyRightEdge);
    EXPECT_EQ(grid->_stickyRow(), ZORTableGrid::StickyTopEdge);

    // A shift-click above and left of one cell: the bottom right becomes the anchor, so Shift-Right shrinks.
    clickCell(4, 4);
    clickCell(2, 1, Shift);
    EXPECT_EQ(columns(), "{2 3 4}");
    EXPECT_EQ(rows(), "{1 2 3 4}");
    EXPECT_EQ(grid->_stickyColumn(), ZORTableGrid::StickyRightEdge);
    EXPECT_EQ(grid->_stickyRow(), ZORTableGrid::StickyBottomEdge);
    key(RightArrow, ui::KeyCode::RightArrow, Shift);
    EXPECT_EQ(columns(), "{3 4}");

    // Without multiple selection a shift-click selects the one cell.
    grid->setAllowsMultipleSelection(false);
    clickCell(6, 6, Shift);
    EXPECT_EQ(columns(), "{6}");
    EXPECT_EQ(rows(), "{6}");

    // A press outside every cell keeps the selection (seven rows end 140 points down the cells, above the press).
    source->rows = 7;
    grid->reloadData();
    press(*grid, { 200, 250 });
    release(*grid, { 200, 250 });
    dispatch();
    EXPECT_EQ(columns(), "{6}");
}

TEST_F(ZORTableGridInputTest, DeleteClearsColumnByColumnThenReloads)
{
    select({ 1, 2 }, { 0, 2 });
    source->rowCountAsks = 0;
    key(u'\x7f', ui::KeyCode::Delete);
    EXPECT_EQ(source->stored, (std::vector<std::string> { "1,0=nil", "1,1=nil", "2,0=nil", "2,1=nil" }));
    EXPECT_EQ(source->rowCountAsks, 1) << "then the grid reloads";
    source->stored.clear();
    select({ 0, 0 }, { 0, 0 });
    perform("deleteBackward:");
    EXPECT_TRUE(source->stored.empty());

    key(u'a', ui::KeyCode::A, ui::ModifierFlags::Command);
    EXPECT_EQ(columns(), "{0 1 2 3 4 5 6 7 8 9}") << "select all";
    EXPECT_EQ(rows().size(), std::string("{0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19}").size());
}

// Delete clears only the cells the person may edit: a column the delegate keeps read-only keeps its values (the edit
// gesture test's seed 3 cleared column 1 after the program had locked it).
TEST_F(ZORTableGridInputTest, DeleteLeavesTheCellsOfAReadOnlyColumnAlone)
{
    struct Locking : ZORTableGridDelegate {
        bool tableGridShouldEditColumn(ZORTableGrid&, fnd::Index column, fnd::Index) override { return column != 1; }
    };
    auto locking = std::make_shared<Locking>();
    grid->setDelegate(locking);
    source->values[{ 0, 4 }] = "zero";
    source->values[{ 1, 4 }] = "kept";
    source->values[{ 2, 5 }] = "two";
    select({ 0, 3 }, { 4, 2 });
    key(u'\x7f', ui::KeyCode::Delete);
    EXPECT_EQ(source->stored, (std::vector<std::string> { "0,4=nil", "0,5=nil", "2,4=nil", "2,5=nil" }));
    EXPECT_EQ((source->values.count({ 1, 4 })), 1u);
    EXPECT_EQ((source->values.count({ 0, 4 }) + source->values.count({ 2, 5 })), 0u);
    grid->setDelegate(nullptr);
}

// When a reload shrinks the data to 3 columns by 4 rows, the selection keeps only the cells that remain, so Delete,
// the moves and the drawing stay inside the grid.
TEST_F(ZORTableGridInputTest, AReloadThatShrinksTheDataKeepsOnlyTheSelectedCellsThatRemain)
{
    // Selects in the full 10 × 20 grid, then reloads it as 3 × 4.
    const auto selectThenShrink = [&](fnd::Range columnRange, fnd::Range rowRange) {
        source->columns = 10;
        source->rows = 20;
        grid->reloadData();
        select(columnRange, rowRange);
        source->columns = 3;
        source->rows = 4;
        grid->reloadData();
    };
    // Columns 1-4 by rows 2-5 become columns 1-2 by rows 2-3: one notification for each set changed.
    const int before = selectionChanges;
    selectThenShrink({ 1, 4 }, { 2, 4 });
    EXPECT_EQ(columns(), "{1 2}");
    EXPECT_EQ(rows(), "{2 3}");
    EXPECT_EQ(selectionChanges, before + 4) << "two sets selected again, then two clipped";
    key(u'\x7f', ui::KeyCode::Delete);
    EXPECT_EQ(source->stored, (std::vector<std::string> { "1,2=nil", "1,3=nil", "2,2=nil", "2,3=nil" }));

    // A cell wholly outside leaves nothing selected, and a move has no anchor to start from.
    selectThenShrink({ 5, 1 }, { 10, 1 });
    EXPECT_EQ(columns(), "{}");
    EXPECT_EQ(rows(), "{}");
    key(UpArrow, ui::KeyCode::UpArrow);
    EXPECT_EQ(columns(), "{}");
    EXPECT_EQ(rows(), "{}");

    // Columns outside but a row inside: no cell is left, so neither set is.
    selectThenShrink({ 5, 4 }, { 1, 2 });
    EXPECT_EQ(columns(), "{}");
    EXPECT_EQ(rows(), "{}");

    // Drawing a selection that reached column 8 asks no width beyond the third column.
    selectThenShrink({ 1, 8 }, { 0, 2 });
    source->widthAsks.clear();
    window->display();
    ASSERT_FALSE(source->widthAsks.empty());
    for (auto column : source->widthAsks)
        EXPECT_LT(column, 3) << "width asked for column " << column;
}

TEST_F(ZORTableGridInputTest, TypedTextEditsTheCellAndReturnStoresItWithoutMovingTheSelection)
{
    source->values[{ 2, 3 }] = "old";
    clickCell(2, 3);
    type("ne");
    EXPECT_EQ(content().editedColumn(), 2);
    EXPECT_EQ(content().editedRow(), 3);
    auto editor = window->fieldEditor(false, nullptr);
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->string().utf8(), "ne") << "typing replaces the value";
    EXPECT_EQ(window->firstResponder(), editor);
    type("w");
    key(u'\r', ui::KeyCode::Return);
    EXPECT_EQ(source->stored, (std::vector<std::string> { "2,3=new" }));
    EXPECT_EQ((source->values.at({ 2, 3 })), "new");
    EXPECT_FALSE(content().isEditing());
    EXPECT_EQ(window->firstResponder(), grid);
    EXPECT_EQ(columns(), "{2}");
    EXPECT_EQ(rows(), "{3}");
    EXPECT_EQ(editor->superview(), nullptr);
}

// A reload may take the edited cell away: the edit ends there without storing what was typed (Return wrote "abc" to
// column 4, row 7 of a grid of 2 × 3). An edit whose cell is still there goes on, and stores only into that cell.
TEST_F(ZORTableGridInputTest, AnEditWhoseCellAReloadTakesAwayEndsWithoutStoring)
{
    clickCell(4, 7);
    type("abc");
    ASSERT_TRUE(content().isEditing());
    auto editor = window->fieldEditor(false, nullptr);
    ASSERT_TRUE(editor);
    source->columns = 2;
    source->rows = 3;
    grid->reloadData();
    EXPECT_FALSE(content().isEditing()) << "the cell is gone";
    EXPECT_EQ(editor->superview(), nullptr) << "the editor left the cells";
    EXPECT_EQ(window->firstResponder(), grid) << "the keyboard goes back to the grid";
    key(u'\r', ui::KeyCode::Return);
    window->endEditingFor(nullptr);
    clickCell(1, 1);
    EXPECT_TRUE(source->stored.empty()) << "nothing stored, first was " << source->stored.front();

    // Only the rows went: the column of the edited cell stays, the cell does not.
    source->columns = 10;
    source->rows = 20;
    grid->reloadData();
    clickCell(1, 12);
    type("x");
    source->rows = 12;
    grid->reloadData();
    EXPECT_FALSE(content().isEditing());
    EXPECT_TRUE(source->stored.empty());

    // A cell that stays keeps its edit through the reload, and Return stores into it alone.
    source->values[{ 1, 2 }] = "old";
    clickCell(1, 2);
    type("ne");
    source->columns = 2;
    source->rows = 3;
    grid->reloadData();
    ASSERT_TRUE(content().isEditing());
    EXPECT_EQ(content().editedColumn(), 1);
    EXPECT_EQ(content().editedRow(), 2);
    EXPECT_EQ(window->firstResponder(), editor);
    type("w");
    key(u'\r', ui::KeyCode::Return);
    EXPECT_EQ(source->stored, (std::vector<std::string> { "1,2=new" }));
    EXPECT_FALSE(content().isEditing());
    EXPECT_EQ(columns(), "{1}");
    EXPECT_EQ(rows(), "{2}");

    // Afterwards editing works as before.
    clickCell(0, 0);
    type("z");
    key(u'\r', ui::KeyCode::Return);
    EXPECT_EQ(source->stored, (std::vector<std::string> { "1,2=new", "0,0=z" }));
}

// A program may start an edit (typed text or editSelectedCell) while a person is editing another cell: the edit under
// way ends first and stores what was typed into its own cell, whether the new cell is editable or read-only.
TEST_F(ZORTableGridInputTest, AnEditStartedDuringAnotherStoresTheFirstIntoItsOwnCell)
{
    class NoColumnThree : public ZORTableGridDelegate {
    public:
        bool tableGridShouldEditColumn(ZORTableGrid&, fnd::Index column, fnd::Index) override { return column != 3; }
    };
    auto delegate = std::make_shared<NoColumnThree>();
    grid->setDelegate(delegate);
    clickCell(1, 1);
    type("ab");
    ASSERT_TRUE(content().isEditing());
    select({ 4, 1 }, { 1, 1 });
    grid->insertText(fnd::Value(fnd::String("cd")));
    EXPECT_EQ(source->stored, (std::vector<std::string> { "1,1=ab" }));
    EXPECT_EQ(content().editedColumn(), 4);
    key(u'\r', ui::KeyCode::Return);
    EXPECT_EQ(source->stored, (std::vector<std::string> { "1,1=ab", "4,1=cd" }));

    // The read-only cell is not edited, and the typed text still goes to the cell it was typed into.
    clickCell(2, 2);
    type("ef");
    select({ 3, 1 }, { 2, 1 });
    content().editSelectedCell(grid->selfValue());
    EXPECT_FALSE(content().isEditing());
    select({ 5, 1 }, { 2, 1 });
    content().editSelectedCell(grid->selfValue());
    EXPECT_EQ(content().editedColumn(), 5);
    key(u'\r', ui::KeyCode::Return);
    EXPECT_EQ(source->stored, (std::vector<std::string> { "1,1=ab", "4,1=cd", "2,2=ef" }));
    EXPECT_EQ(columns(), "{5}");
}

// The delegate (or a program) may select beyond the data: Delete, editing and drawing reach only cells the data
// source has.
TEST_F(ZORTableGridInputTest, DeleteEditingAndDrawingStayInsideTheCounts)
{
    // Each set runs on for a thousand indexes from its first.
    class Widening : public ZORTableGridDelegate {
    public:
        std::optional<fnd::IndexSet> tableGridWillSelectColumnsAtIndexPath(
            ZORTableGrid&, const fnd::IndexSet& columns) override
        {
            return widened(columns);
        }
        std::optional<fnd::IndexSet> tableGridWillSelectRowsAtIndexPath(
            ZORTableGrid&, const fnd::IndexSet& rows) override
        {
            return widened(rows);
        }
        static fnd::IndexSet widened(const fnd::IndexSet& set)
        {
            return set.isEmpty() ? set : fnd::IndexSet(fnd::Range { set.firstIndex(), 1000 });
        }
    };
    auto widening = std::make_shared<Widening>();
    grid->setDelegate(widening);
    select({ 8, 1 }, { 18, 1 });
    ASSERT_EQ(grid->selectedRowIndexes()->lastIndex(), 1017);
    key(u'\x7f', ui::KeyCode::Delete);
    EXPECT_EQ(source->stored, (std::vector<std::string> { "8,18=nil", "8,19=nil", "9,18=nil", "9,19=nil" }))
        << "10 columns by 20 rows";
    source->widthAsks.clear();
    window->display();
    for (auto column : source->widthAsks)
        EXPECT_LT(column, 10) << "width asked for column " << column;

    grid->setDelegate(nullptr);
    source->stored.clear();
    select({ 12, 2 }, { 25, 2 });
    perform("deleteBackward:");
    content().editSelectedCell(grid->selfValue());
    EXPECT_FALSE(content().isEditing());
    EXPECT_TRUE(source->stored.empty());

    // Counts set by hand are counts: a negative one is none, and no command raises.
    grid->setNumberOfColumns(-5);
    grid->setNumberOfRows(-1);
    EXPECT_EQ(grid->numberOfColumns(), 0);
    EXPECT_EQ(grid->numberOfRows(), 0);
    select({ 0, 1 }, { 0, 1 });
    for (const char* command : { "selectAll:", "moveDown:", "moveRightAndModifySelection:", "deleteBackward:" })
        perform(command);
    EXPECT_TRUE(source->stored.empty());
}

TEST_F(ZORTableGridInputTest, DoubleClickEditsOnlyWhenAllowedAndAPressElsewhereKeepsTheTypedValue)
{
    source->values[{ 1, 1 }] = "one";
    clickCell(1, 1);
    auto frame = content().frameOfCellAtColumn(4, 4);
    press(content(), { frame.midX(), frame.midY() }, 0, 2);
    release(content(), { frame.midX(), frame.midY() }, 0, 2);
    dispatch();
    EXPECT_FALSE(content().isEditing());
    EXPECT_EQ(columns(), "{1}") << "the second press changes nothing";

    grid->setAllowsEditing(true);
    press(content(), { frame.midX(), frame.midY() }, 0, 2);
    release(content(), { frame.midX(), frame.midY() }, 0, 2);
    dispatch();
    ASSERT_TRUE(content().isEditing());
    EXPECT_EQ(content().editedColumn(), 1) << "the selected cell is edited";
    auto editor = window->fieldEditor(false, nullptr);
    EXPECT_EQ(editor->string().utf8(), "one");
    editor->insertText(fnd::Value(fnd::String("!")));
    clickCell(5, 5);
    EXPECT_EQ((source->values.at({ 1, 1 })), "one!") << "what was typed is kept";
    EXPECT_EQ(columns(), "{5}");

    // A multi-cell selection edits its first cell alone; read-only cells do not edit.
    select({ 2, 3 }, { 2, 3 });
    content().editSelectedCell({});
    EXPECT_EQ(columns(), "{2}");
    EXPECT_EQ(rows(), "{2}");
    window->endEditingFor(&content());
    source->takesValues = false;
    content().editSelectedCell({});
    EXPECT_FALSE(content().isEditing());
}

}

TEST_F(ZORTableGridInputTest, AWheelStepScrollsTheCellsAndRowHeadersByWholeRows)
{
    auto clip = grid->contentScrollView()->contentView();
    const auto overCells = content().convertPointToView({ 100, 100 }, nullptr);
    auto wheel = [&](double deltaY) {
        backend->scrollWheel(*window, overCells, 0, deltaY);
        dispatch();
        return clip->bounds().origin.y;
    };
    // Rows are 20 points high: one step down shows row 1 at the top, two more show row 3.
    EXPECT_DOUBLE_EQ(wheel(-1), 20);
    EXPECT_DOUBLE_EQ(wheel(-2), 60);
    EXPECT_DOUBLE_EQ(grid->rowHeaderView()->visibleRect().minY(), 60) << "the row headers follow";
    EXPECT_DOUBLE_EQ(wheel(1), 40);
}
