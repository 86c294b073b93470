#include "ControlsTestSupport.h"

#include "platform/ui/controls/ButtonCell.h"
#include "platform/ui/interface/InterfaceFile.h"
#include "platform/ui/controls/Matrix.h"
#include "platform/ui/containers/ScrollView.h"

using namespace ui;
using namespace controlstest;

namespace {

class MatrixTest : public ControlsTest {
protected:
    // A column of check boxes "Box 0", "Box 1", ... tagged 100, 101, ..., sending clicked: to the log.
    std::shared_ptr<Matrix> checkBoxes(long rows, long columns = 1)
    {
        auto prototype = fnd::makeObject<ButtonCell>();
        prototype->setButtonType(ButtonType::Switch);
        auto matrix = Matrix::create({ 10, 10, 10, 10 }, prototype);
        matrix->renewRows(rows, columns);
        for (long i = 0; i < long(matrix->cells().size()); ++i) {
            matrix->cells()[std::size_t(i)]->setTitle(fnd::String(("Box " + std::to_string(i)).c_str()));
            matrix->cells()[std::size_t(i)]->setTag(100 + i);
        }
        matrix->setCellSize({ 90, 18 });
        matrix->setIntercellSpacing({ 4, 2 });
        matrix->sizeToCells();
        matrix->setTarget(log);
        matrix->setAction("clicked:");
        return matrix;
    }

    static std::vector<bool> states(const Matrix& matrix)
    {
        std::vector<bool> on;
        for (const auto& cell : matrix.cells())
            on.push_back(cell->state() == ControlStateValue::On);
        return on;
    }

    gfx::Point middleOf(const Matrix& matrix, long row, long column)
    {
        auto frame = matrix.cellFrameAtRowColumn(row, column);
        return { frame.midX(), frame.midY() };
    }
};

TEST_F(MatrixTest, CellsLieInAGridThatKeepsItsCellsWhenItGrows)
{
    auto matrix = checkBoxes(2, 2);
    EXPECT_EQ(matrix->frame().size, (gfx::Size { 2 * 90 + 4, 2 * 18 + 2 }));
    // Flipped: row 0 at the top.
    EXPECT_EQ(matrix->cellFrameAtRowColumn(1, 1), (gfx::Rect { 94, 20, 90, 18 }));
    long row = -1, column = -1;
    EXPECT_TRUE(matrix->getRowColumnForPoint({ 100, 25 }, row, column));
    EXPECT_EQ(std::pair(row, column), std::pair(1L, 1L));
    EXPECT_FALSE(matrix->getRowColumnForPoint({ 92, 5 }, row, column)) << "between the columns";
    EXPECT_FALSE(matrix->getRowColumnForPoint({ 10, 19 }, row, column)) << "between the rows";
    EXPECT_FALSE(matrix->getRowColumnForPoint({ 10, 60 }, row, column)) << "below the grid";

    auto kept = matrix->cellAtRowColumn(1, 0);
    matrix->addRow();
    EXPECT_EQ(matrix->numberOfRows(), 3);
    EXPECT_EQ(matrix->cellAtRowColumn(1, 0), kept);
    EXPECT_EQ(matrix->cellWithTag(102), kept);
    EXPECT_EQ(matrix->cellAtRowColumn(2, 1)->title(), "Button") << "new cells are copies of the prototype";
    EXPECT_EQ(matrix->cellAtRowColumn(2, 1)->controlView(), matrix);
    EXPECT_EQ(matrix->cellWithTag(7), nullptr);

    matrix->renewRows(1, 1);
    EXPECT_EQ(matrix->cells().size(), 1u);
    // The cells take the largest title's size.
    matrix->cells()[0]->setTitle("A much longer title than the rest");
    matrix->sizeToFit();
    EXPECT_GT(matrix->cellSize().width, 150);
    EXPECT_EQ(matrix->frame().size, matrix->cellSize());
}

TEST_F(MatrixTest, AClickTogglesTheCellUnderTheMouseAndSendsTheMatrixAction)
{
    auto matrix = checkBoxes(3);
    add(matrix);
    press(*matrix, middleOf(*matrix, 1, 0));
    release(*matrix, middleOf(*matrix, 1, 0));
    dispatch();
    EXPECT_EQ(states(*matrix), (std::vector<bool> { false, true, false }));
    ASSERT_EQ(log->count("clicked"), 1);
    EXPECT_EQ(log->senders.back().object(), matrix) << "the matrix is the sender";
    EXPECT_EQ(matrix->selectedCell(), matrix->cellAtRowColumn(1, 0));
    EXPECT_EQ(matrix->selectedRow(), 1);

    // Released over another cell: nothing changes.
    press(*matrix, middleOf(*matrix, 0, 0));
    drag(*matrix, middleOf(*matrix, 2, 0));
    release(*matrix, middleOf(*matrix, 2, 0));
    dispatch();
    EXPECT_EQ(states(*matrix), (std::vector<bool> { false, true, false }));
    EXPECT_EQ(log->count("clicked"), 1);

    // A disabled cell ignores the mouse; a cell with an action of its own sends that.
    matrix->cellAtRowColumn(2, 0)->setEnabled(false);
    press(*matrix, middleOf(*matrix, 2, 0));
    release(*matrix, middleOf(*matrix, 2, 0));
    matrix->cellAtRowColumn(0, 0)->setAction("cancelled:");
    matrix->cellAtRowColumn(0, 0)->setTarget(log);
    press(*matrix, middleOf(*matrix, 0, 0));
    release(*matrix, middleOf(*matrix, 0, 0));
    dispatch();
    EXPECT_EQ(states(*matrix), (std::vector<bool> { true, true, false }));
    EXPECT_EQ(log->received, (std::vector<std::string> { "clicked", "cancelled" }));
}

TEST_F(MatrixTest, ArrowsMoveTheFocusOverEnabledCellsAndSpaceClicks)
{
    auto matrix = checkBoxes(4);
    matrix->cellAtRowColumn(1, 0)->setEnabled(false);
    add(matrix);
    ASSERT_TRUE(window->makeFirstResponder(matrix));
    key(fnd::String(std::u16string(1, FunctionKey::DownArrow)), KeyCode::DownArrow);
    EXPECT_EQ(matrix->keyCell(), matrix->cellAtRowColumn(2, 0)) << "the disabled cell is skipped";
    key(" ", KeyCode::Space);
    EXPECT_EQ(states(*matrix), (std::vector<bool> { false, false, true, false }));
    EXPECT_EQ(log->count("clicked"), 1);
    EXPECT_EQ(matrix->selectedRow(), 2);

    key(fnd::String(std::u16string(1, FunctionKey::DownArrow)), KeyCode::DownArrow);
    key(fnd::String(std::u16string(1, FunctionKey::DownArrow)), KeyCode::DownArrow);
    EXPECT_EQ(matrix->keyCell(), matrix->cellAtRowColumn(3, 0));
    EXPECT_EQ(backend->beepCount(), 1) << "no cell below the last";
    key(fnd::String(std::u16string(1, FunctionKey::UpArrow)), KeyCode::UpArrow);
    EXPECT_EQ(matrix->keyCell(), matrix->cellAtRowColumn(2, 0));
}

TEST_F(MatrixTest, InAScrollViewTheFocusedCellScrollsIntoSightAndOnlyTickedBoxesShowMarks)
{
    auto matrix = checkBoxes(30);
    auto scrollView = ScrollView::create({ 20, 20, 140, 100 });
    scrollView->setHasVerticalScroller(true);
    scrollView->setDocumentView(matrix);
    add(scrollView);
    matrix->cellAtRowColumn(0, 0)->setState(ControlStateValue::On);
    ASSERT_TRUE(window->makeFirstResponder(matrix));
    for (int i = 0; i < 12; ++i)
        key(fnd::String(std::u16string(1, FunctionKey::DownArrow)), KeyCode::DownArrow);
    auto visible = scrollView->documentVisibleRect();
    auto focused = matrix->cellFrameAtRowColumn(12, 0);
    EXPECT_LE(visible.minY(), focused.minY());
    EXPECT_GE(visible.maxY(), focused.maxY()) << "row 12 in sight";

    // Back at the top, the ticked box differs from an unticked one.
    scrollView->contentView()->scrollToPoint({ 0, 0 });
    scrollView->reflectScrolledClipView(*scrollView->contentView());
    auto image = snapshot("matrix-in-scroll-view");
    auto box = [&](long row) {
        auto frame = matrix->cellFrameAtRowColumn(row, 0);
        return gfx::Rect { frame.minX(), frame.minY(), frame.height(), frame.height() };
    };
    auto on = box(0), off = box(1);
    auto onWindow = matrix->convertRectToView(on, nullptr);
    auto offWindow = matrix->convertRectToView(off, nullptr);
    auto darkShare = [&](gfx::Rect rect) {
        int dark = 0, all = 0;
        for (double y = rect.minY() + 0.5; y < rect.maxY(); ++y) {
            for (double x = rect.minX() + 0.5; x < rect.maxX(); ++x, ++all)
                dark += luminance(pixel(*image, x, y)) < 160;
        }
        return double(dark) / all;
    };
    EXPECT_GT(darkShare(onWindow), darkShare(offWindow) + 0.05);
}

TEST_F(MatrixTest, AnInterfaceFileMakesAMatrixFromItsPrototype)
{
    const char* xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<interface version="1">
  <object id="matrix" class="Matrix">
    <rect key="frame" x="0" y="0" width="200" height="100"/>
    <size key="cellSize" width="180" height="20"/>
    <size key="intercellSpacing" width="0" height="3"/>
    <object key="prototype" class="ButtonCell">
      <integer key="buttonType">3</integer>
      <string key="title">Option</string>
    </object>
  </object>
  <connections>
    <action source="matrix" selector="clicked:" destination="owner"/>
  </connections>
</interface>)";
    auto loaded = InterfaceFile::load(fnd::Data::fromString(xml), log);
    ASSERT_TRUE(loaded) << loaded.error().localizedDescription().utf8();
    auto matrix = std::dynamic_pointer_cast<Matrix>(loaded->objectsById.at("matrix"));
    ASSERT_TRUE(matrix);
    matrix->addRow();
    matrix->addRow();
    matrix->sizeToCells();
    EXPECT_EQ(matrix->frame().size, (gfx::Size { 180, 43 }));
    EXPECT_EQ(matrix->cells()[1]->title(), "Option");
    add(matrix);
    press(*matrix, middleOf(*matrix, 1, 0));
    release(*matrix, middleOf(*matrix, 1, 0));
    dispatch();
    EXPECT_EQ(log->count("clicked"), 1);
    EXPECT_EQ(states(*matrix), (std::vector<bool> { false, true }));
}

}
