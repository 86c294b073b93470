#include "TableGridTestSupport.h"

#include "platform/foundation/runtime/RunLoop.h"

#include <cmath>
#include <limits>

using namespace gridtest;

namespace {

// Rewrites the proposed row selection, and counts the notifications it hears.
class GridDelegate : public ZORTableGridDelegate {
public:
    std::optional<fnd::IndexSet> tableGridWillSelectRowsAtIndexPath(ZORTableGrid&, const fnd::IndexSet&) override
    {
        if (emptyRows)
            return fnd::IndexSet {};
        return std::nullopt;
    }
    bool tableGridShouldEditColumn(ZORTableGrid&, fnd::Index column, fnd::Index) override { return column != 3; }
    void tableGridDidChangeSelection(const fnd::Notification&) override { ++selectionChanges; }
    void tableGridDidMoveColumns(const fnd::Notification&) override { ++columnMoves; }
    bool emptyRows { false };
    int selectionChanges { 0 };
    int columnMoves { 0 };
};

using ZORTableGridModelTest = TableGridTest;

TEST_F(ZORTableGridModelTest, GeometryOfTheContentTheHeadersAndTheGrid)
{
    EXPECT_EQ(content().frame().size, (gfx::Size { 600, 400 })) << "10 columns of 60, 20 rows of 20";
    EXPECT_EQ(content().rectOfColumn(2), (gfx::Rect { 120, 0, 60, 400 }));
    EXPECT_EQ(content().rectOfRow(3), (gfx::Rect { 0, 60, 600, 20 }));
    EXPECT_EQ(content().frameOfCellAtColumn(2, 3), (gfx::Rect { 120, 60, 60, 20 }));
    EXPECT_EQ(grid->columnHeaderView()->headerRectOfColumn(2), (gfx::Rect { 120, 0, 60, 19 }));
    EXPECT_EQ(grid->rowHeaderView()->headerRectOfRow(3), (gfx::Rect { 0, 60, 40, 20 }));
    EXPECT_EQ(grid->headerRectOfCorner(), (gfx::Rect { 0, 0, 40, 19 }));

    // In the grid: a column spans its header, a row its header; a tall column stops at the horizontal scroller.
    EXPECT_EQ(grid->frameOfCellAtColumn(0, 0), (gfx::Rect { 40, 19, 60, 20 }));
    const auto column = grid->rectOfColumn(1);
    EXPECT_EQ(column.origin, (gfx::Point { 100, 0 }));
    EXPECT_EQ(column.width(), 60);
    EXPECT_LT(column.height(), 300) << "the scroller shown below the cells is left out";
    EXPECT_EQ(grid->rectOfRow(2), (gfx::Rect { 0, 59, 640, 20 }));
    EXPECT_EQ(grid->headerRectOfColumn(0), (gfx::Rect { 40, 0, 60, 19 }));
    EXPECT_EQ(grid->headerRectOfRow(0), (gfx::Rect { 0, 19, 40, 20 }));

    EXPECT_EQ(grid->columnAtPoint({ 40, 100 }), 0);
    EXPECT_EQ(grid->columnAtPoint({ 99.9, 5 }), 0) << "the header belongs to its column";
    EXPECT_EQ(grid->columnAtPoint({ 100, 5 }), 1);
    EXPECT_EQ(grid->rowAtPoint({ 5, 19 }), 0);
    EXPECT_EQ(grid->rowAtPoint({ 5, 18.9 }), fnd::NotFound) << "above the first row";
    EXPECT_EQ(content().columnAtPoint({ 600, 10 }), fnd::NotFound) << "right of the last column";
    EXPECT_EQ(content().rowAtPoint({ 10, 400 }), fnd::NotFound);
    EXPECT_EQ(content().rowAtPoint({ 10, 399 }), 19);

    // Scrolling moves the cells under the grid's points, and the headers with them.
    grid->scrollToArea(content().frameOfCellAtColumn(9, 19), false);
    const auto origin = grid->contentScrollView()->contentView()->bounds().origin;
    EXPECT_GT(origin.x, 0);
    EXPECT_GT(origin.y, 0);
    EXPECT_EQ(grid->columnHeaderScrollView()->contentView()->bounds().origin.x, origin.x);
    EXPECT_EQ(grid->rowHeaderScrollView()->contentView()->bounds().origin.y, origin.y);
    EXPECT_EQ(grid->rowAtPoint({ 5, 19 }), fnd::Index(origin.y / 20));
}

TEST_F(ZORTableGridModelTest, AnAnimatedScrollGetsThereOverAQuarterSecond)
{
    auto clip = grid->contentScrollView()->contentView();
    const auto cell = content().frameOfCellAtColumn(9, 19);
    grid->scrollToArea(cell, false);
    const auto end = clip->bounds().origin;
    ASSERT_GT(end.y, 0);
    grid->scrollToArea(content().frameOfCellAtColumn(0, 0), false);
    ASSERT_EQ(clip->bounds().origin, (gfx::Point { 0, 0 }));

    grid->scrollToArea(cell, true);
    EXPECT_TRUE(grid->isScrollAnimating());
    EXPECT_EQ(clip->bounds().origin, (gfx::Point { 0, 0 })) << "nothing jumps at the start";
    auto runFor
        = [&](double seconds) { fnd::RunLoop::current().runUntilDate(clock->now().addingTimeInterval(seconds)); };
    runFor(0.125);
    const auto halfway = clip->bounds().origin;
    EXPECT_GT(halfway.y, 0);
    EXPECT_LT(halfway.y, end.y);
    EXPECT_EQ(grid->rowHeaderScrollView()->contentView()->bounds().origin.y, halfway.y) << "the headers follow";
    runFor(0.2);
    EXPECT_FALSE(grid->isScrollAnimating());
    EXPECT_EQ(clip->bounds().origin, end);

    // A plain request during an animated one takes over.
    grid->scrollToArea(content().frameOfCellAtColumn(0, 0), true);
    grid->scrollToArea(cell, false);
    EXPECT_FALSE(grid->isScrollAnimating());
    runFor(0.3);
    EXPECT_EQ(clip->bounds().origin, end);
}

TEST_F(ZORTableGridModelTest, ZeroColumnsOrRowsGiveAnEmptyContent)
{
    source->rows = 0;
    grid->reloadData();
    EXPECT_EQ(content().frame().size, (gfx::Size { 600, 0 }));
    source->columns = 0;
    source->rows = 5;
    grid->reloadData();
    EXPECT_EQ(content().frame().size, (gfx::Size { 0, 100 }));
    EXPECT_EQ(grid->columnAtPoint({ 50, 50 }), fnd::NotFound);
    grid->setDataSource(nullptr);
    grid->reloadData();
    EXPECT_EQ(grid->numberOfColumns(), 0);
    EXPECT_EQ(content().frame().size, (gfx::Size { 0, 0 }));
    EXPECT_NE(snapshot(), nullptr) << "an empty grid draws";
}

TEST_F(ZORTableGridModelTest, HeaderStringsRunAThroughZThenDoubleLetters)
{
    EXPECT_EQ(grid->_headerStringForColumn(0).utf8(), "A");
    EXPECT_EQ(grid->_headerStringForColumn(25).utf8(), "Z");
    EXPECT_EQ(grid->_headerStringForColumn(26).utf8(), "AA");
    EXPECT_EQ(grid->_headerStringForColumn(27).utf8(), "AB");
    EXPECT_EQ(grid->_headerStringForColumn(51).utf8(), "AZ");
    EXPECT_EQ(grid->_headerStringForColumn(52).utf8(), "BA");
    EXPECT_EQ(grid->_headerStringForColumn(701).utf8(), "ZZ");
    EXPECT_EQ(grid->_headerStringForColumn(702).utf8(), "AAA");
    EXPECT_EQ(grid->_headerStringForRow(0).utf8(), "1");
    EXPECT_EQ(grid->_headerStringForRow(999999).utf8(), "1000000");

    struct Named : GridSource {
        std::optional<fnd::String> tableGridHeaderStringForColumn(ZORTableGrid&, fnd::Index c) override
        {
            return fnd::String("col" + std::to_string(c));
        }
    };
    auto named = std::make_shared<Named>();
    grid->setDataSource(named);
    EXPECT_EQ(grid->_headerStringForColumn(3).utf8(), "col3");
    EXPECT_EQ(grid->_headerStringForRow(3).utf8(), "4") << "rows keep their numbers";
}

TEST_F(ZORTableGridModelTest, WidthsAreAskedOnceAndKeptAndResizingStopsAtTwentyPoints)
{
    // Without answers every column is 60 and nothing is kept, so the data source is asked again.
    source->widthAsks.clear();
    EXPECT_EQ(grid->_widthForColumn(4), 60);
    EXPECT_EQ(grid->_widthForColumn(4), 60);
    EXPECT_EQ(source->widthAsks.size(), 2u);

    source->widths = { { 1, 100 }, { 2, 30 } };
    source->answersWidths = true;
    grid->reloadData();
    source->widthAsks.clear();
    EXPECT_EQ(grid->_widthForColumn(1), 100);
    EXPECT_EQ(grid->_widthForColumn(1), 100);
    EXPECT_EQ(content().rectOfColumn(2).minX(), 160);
    EXPECT_EQ(content().frame().width(), 60 + 100 + 30 + 7 * 60);
    EXPECT_TRUE(source->widthAsks.empty()) << "answers are kept for the grid's life";

    // A resize starts from the width the column has, and never goes below 20.
    const double before = content().frame().width();
    const double headerBefore = grid->columnHeaderView()->frame().width();
    grid->resizeColumnWithIndex(1, 15.5f);
    EXPECT_EQ(grid->_widthForColumn(1), 115.5f);
    EXPECT_EQ(content().frame().width(), before + 15.5);
    grid->resizeColumnWithIndex(2, -100);
    EXPECT_EQ(grid->_widthForColumn(2), 20);
    // The views shrink by what the column lost (10), so the last column stays reachable.
    EXPECT_EQ(content().frame().width(), before + 15.5 - 10);
    EXPECT_EQ(grid->columnHeaderView()->frame().width(), headerBefore + 15.5 - 10);
    EXPECT_EQ(content().rectOfColumn(9).maxX(), content().frame().width());
    EXPECT_EQ(content().rectOfColumn(3).minX(), 60 + 115.5 + 20);

    // A column the data source has no width for starts from 60.
    source->answersWidths = false;
    grid->resizeColumnWithIndex(12, -100);
    EXPECT_EQ(grid->_widthForColumn(12), 20);
}

// What is no width at all (not a number, infinite, negative), from the data source or a resize, is taken as 20: a
// NaN width made the grid's width NaN, and no click selected anything. A narrow answer of the data source is kept.
TEST_F(ZORTableGridModelTest, WidthsThatAreNoWidthAtAllTakeTwenty)
{
    constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
    constexpr float Infinity = std::numeric_limits<float>::infinity();
    source->widths = { { 0, NaN }, { 1, Infinity }, { 2, -Infinity }, { 3, -5 }, { 4, 10 }, { 5, 20 }, { 6, 25 } };
    source->answersWidths = true;
    grid->reloadData();
    for (fnd::Index column = 0; column < 4; ++column)
        EXPECT_EQ(grid->_widthForColumn(column), 20) << "column " << column;
    EXPECT_EQ(grid->_widthForColumn(4), 10);
    EXPECT_EQ(grid->_widthForColumn(6), 25);
    // Five columns of 20, one of 10, one of 25 and three of 60 (the data source's answer for the others).
    EXPECT_EQ(content().frame().width(), 5 * 20 + 10 + 25 + 3 * 60);

    // Resizes by what is not a number take 20 too; the views follow the change.
    const double headerBefore = grid->columnHeaderView()->frame().width();
    const std::vector<std::pair<fnd::Index, float>> resizes { { 6, NaN }, { 7, Infinity }, { 8, -Infinity },
        { 9, NaN } };
    for (const auto& [column, distance] : resizes) {
        grid->resizeColumnWithIndex(column, distance);
        EXPECT_EQ(grid->_widthForColumn(column), 20) << "column " << column << " by " << distance;
    }
    EXPECT_EQ(content().frame().width(), 9 * 20 + 10) << "nine columns of 20 and one of 10";
    EXPECT_EQ(grid->columnHeaderView()->frame().width(), headerBefore - (25 + 3 * 60 - 4 * 20));

    clickCell(4, 2);
    EXPECT_EQ(columns(), "{4}");
    EXPECT_EQ(rows(), "{2}");
    clickCell(9, 0);
    EXPECT_EQ(columns(), "{9}");
}

// The data source's narrow widths are kept (only a resize stops at 20 points), while widths beyond any view are held
// to ten million points and positive ones to at least a 256th of a point: a column 1e30 wide put every later column
// at x 1e30, where adding its width changed nothing, so they were 0 wide in the grid and no click found them.
TEST_F(ZORTableGridModelTest, NarrowWidthsAreKeptAndExtremeOnesBoundedSoEveryColumnKeepsItsPlace)
{
    source->widths = { { 0, 16 }, { 1, 1 }, { 2, 19.9f }, { 3, 0 }, { 4, 1e30f },
        { 5, std::numeric_limits<float>::max() }, { 6, 1e-30f }, { 7, std::numeric_limits<float>::denorm_min() } };
    source->answersWidths = true;
    grid->reloadData();
    const std::vector<float> kept { 16, 1, 19.9f, 0, 1e7f, 1e7f, 1.0f / 256, 1.0f / 256, 60, 60 };
    double x = 0;
    for (fnd::Index column = 0; column < 10; ++column) {
        const float width = kept[std::size_t(column)];
        EXPECT_EQ(grid->_widthForColumn(column), width) << "column " << column;
        EXPECT_DOUBLE_EQ(content().rectOfColumn(column).minX(), x) << "column " << column;
        // In the grid, after the header and scrolled to the start: finite, and as wide as kept.
        const auto inGrid = grid->rectOfColumn(column);
        EXPECT_TRUE(std::isfinite(inGrid.minX()) && std::isfinite(inGrid.width())) << "column " << column;
        EXPECT_DOUBLE_EQ(inGrid.minX(), 40 + x) << "column " << column;
        if (width > 0) {
            EXPECT_NEAR(inGrid.width(), width, 1e-6) << "column " << column;
        }
        x += width;
    }
    EXPECT_EQ(content().frame().width(), x);

    // The columns after the widest ones are found where they are (clicked near their left edges).
    for (fnd::Index column : { 1, 5, 6, 8, 9 }) {
        auto frame = content().frameOfCellAtColumn(column, 3);
        frame.size.width = std::min(frame.width(), 10.0);
        grid->scrollToArea(frame, false);
        press(content(), { frame.midX(), frame.midY() });
        release(content(), { frame.midX(), frame.midY() });
        dispatch();
        EXPECT_EQ(columns(), "{" + std::to_string(column) + "}") << "clicked column " << column;
    }

    // A resize starts from the kept width and stops at 20 points and at ten million.
    grid->resizeColumnWithIndex(1, 2);
    EXPECT_EQ(grid->_widthForColumn(1), 20);
    grid->resizeColumnWithIndex(0, 2);
    EXPECT_EQ(grid->_widthForColumn(0), 20);
    grid->resizeColumnWithIndex(8, 1e30f);
    EXPECT_EQ(grid->_widthForColumn(8), 1e7f);
    EXPECT_NEAR(content().frame().width(), x + 19 + 4 + 1e7 - 60, 1e-6);
}

TEST_F(ZORTableGridModelTest, EachSetChangedPostsOneNotificationAndTheVerySameSetNone)
{
    auto set = std::make_shared<fnd::IndexSet>(fnd::IndexSet { 2 });
    grid->setSelectedColumnIndexes(set);
    EXPECT_EQ(selectionChanges, 1);
    grid->setSelectedColumnIndexes(set);
    EXPECT_EQ(selectionChanges, 1) << "the very same object";
    grid->setSelectedColumnIndexes(std::make_shared<fnd::IndexSet>(fnd::IndexSet { 2 }));
    EXPECT_EQ(selectionChanges, 2) << "an equal set of its own";

    selectionChanges = 0;
    clickCell(3, 4);
    EXPECT_EQ(selectionChanges, 2) << "a click sets columns, then rows";
    EXPECT_EQ(columns(), "{3}");
    EXPECT_EQ(rows(), "{4}");

    // A reload that leaves the selected row outside the counts leaves no cell selected: two sets changed.
    source->rows = 2;
    grid->reloadData();
    EXPECT_EQ(rows(), "{}");
    EXPECT_EQ(columns(), "{}");
    EXPECT_EQ(selectionChanges, 4);
}

TEST_F(ZORTableGridModelTest, TheDelegateRewritesSelectionsVetoesEditsAndHearsWhileItIsTheDelegate)
{
    auto delegate = std::make_shared<GridDelegate>();
    grid->setDelegate(delegate);
    delegate->emptyRows = true;
    select({ 1, 2 }, { 1, 2 });
    EXPECT_EQ(columns(), "{1 2}");
    EXPECT_EQ(rows(), "{}") << "the delegate's empty answer is stored";
    EXPECT_EQ(delegate->selectionChanges, 2);

    EXPECT_TRUE(grid->_canEditCellAtColumn(2, 0));
    EXPECT_FALSE(grid->_canEditCellAtColumn(3, 0)) << "vetoed";
    source->takesValues = false;
    EXPECT_FALSE(grid->_canEditCellAtColumn(2, 0)) << "a data source that takes no values makes cells read-only";

    auto other = std::make_shared<GridDelegate>();
    grid->setDelegate(other);
    select({ 0, 1 }, { 0, 1 });
    EXPECT_EQ(delegate->selectionChanges, 2) << "the old delegate hears no more";
    EXPECT_EQ(other->selectionChanges, 2);
    grid->setDelegate(other);
    select({ 0, 1 }, { 0, 1 });
    EXPECT_EQ(other->selectionChanges, 4) << "setting the same delegate again does not register it twice";
}

TEST_F(ZORTableGridModelTest, DraggedIndexesTravelAsAnArchiveAndAnythingElseIsRefused)
{
    fnd::IndexSet set { 1, 2, 7 };
    auto back = ZORTableGrid::unarchivedIndexSet(ZORTableGrid::archivedIndexSet(set));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, set);
    EXPECT_FALSE(ZORTableGrid::unarchivedIndexSet(fnd::Data {}));
    EXPECT_FALSE(ZORTableGrid::unarchivedIndexSet(fnd::Data::fromString("not an archive")));
    // An archive of something other than an index set is not a dragged set (the set's own ranges are checked when
    // it is read).
    for (auto other : { fnd::Value(fnd::Array { fnd::Range { 1, 1 } }), fnd::Value(3), fnd::Value(fnd::String("1")) }) {
        auto data = fnd::KeyedArchiver::archivedDataWithRootObject(other);
        ASSERT_TRUE(data);
        EXPECT_FALSE(ZORTableGrid::unarchivedIndexSet(*data));
    }
}

}
