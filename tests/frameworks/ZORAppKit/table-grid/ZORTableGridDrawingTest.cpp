#include "TableGridTestSupport.h"

#include "support/Canvas.h"

#include <random>

using namespace gridtest;

namespace {

class ZORTableGridDrawingTest : public TableGridTest {
protected:
    ZORTableGridDrawingTest() { window->makeFirstResponder(grid); }
    // The dark (label) pixels of a view's rect, its own coordinates, in a window picture, sampled at point centres.
    int darkPixelsIn(const gfx::BitmapImageRep& image, ui::View& view, gfx::Rect r)
    {
        int count = 0;
        for (double x = r.minX(); x < r.maxX(); x += 1)
            for (double y = r.minY(); y < r.maxY(); y += 1)
                count += luminance(pixelIn(image, view, { x + 0.5, y + 0.5 })) < 120;
        return count;
    }
    // A pixel of the content view (its own coordinates) in a window picture.
    std::uint32_t at(const gfx::BitmapImageRep& image, gfx::Point p) { return pixelIn(image, content(), p); }
    // The accent colour (a saturated blue by default), whatever its exact shade.
    static bool isAccent(std::uint32_t p)
    {
        return int(gfx::blueOf(p)) > int(gfx::redOf(p)) + 80 && int(gfx::blueOf(p)) > int(gfx::greenOf(p)) + 40;
    }
    static bool isGrey(std::uint32_t p)
    {
        return std::abs(int(gfx::redOf(p)) - int(gfx::blueOf(p))) < 8
            && std::abs(int(gfx::redOf(p)) - int(gfx::greenOf(p))) < 8;
    }
};

TEST_F(ZORTableGridDrawingTest, TheSelectionOutlineSitsInsideItsCellsWithAHandleWhileFocused)
{
    clickCell(1, 1);
    auto image = snapshot("table-grid-selection");
    const auto cell = content().frameOfCellAtColumn(1, 1); // (60, 20, 60, 20)
    // The outline is the cell inset by 1, stroked half a point up and left: it covers the pixel row at y + 0.5.
    EXPECT_TRUE(isAccent(at(*image, { cell.midX(), cell.minY() + 0.5 })));
    EXPECT_FALSE(isAccent(at(*image, { cell.midX(), cell.minY() + 3.5 }))) << "inside, a faint wash only";
    EXPECT_EQ(content().grabHandleRect(), (gfx::Rect { cell.maxX() - 3, cell.maxY() - 3, 4, 4 }));
    EXPECT_TRUE(isAccent(at(*image, { cell.maxX() - 1.5, cell.maxY() - 1.5 }))) << "the handle";
    // Cursor rects: the plus over the visible cells and the extend cursor over the handle.
    content().discardCursorRects();
    content().resetCursorRects();
    ASSERT_EQ(content().cursorRects().size(), 2u);
    EXPECT_EQ(content().cursorRects()[1].rect, content().grabHandleRect());

    // Not key: grey outline, no handle, and no handle cursor rect left behind.
    auto other = ui::Window::create({ 600, 100, 100, 100 });
    other->makeKeyAndOrderFront();
    image = snapshot("table-grid-selection-inactive");
    const auto edge = at(*image, { cell.midX(), cell.minY() + 0.5 });
    EXPECT_TRUE(isGrey(edge)) << std::hex << edge;
    EXPECT_LT(gfx::redOf(edge), 250);
    EXPECT_TRUE(content().grabHandleRect().isEmpty());
    content().discardCursorRects();
    content().resetCursorRects();
    EXPECT_EQ(content().cursorRects().size(), 1u);
}

TEST_F(ZORTableGridDrawingTest, CellsDrawTheirColourOrWhiteAndTheEditedCellIsLeftToTheEditor)
{
    source->colors[{ 0, 0 }] = gfx::Color::colorWithDeviceRed(1, 0, 0);
    source->values[{ 3, 0 }] = "editing";
    auto image = snapshot("table-grid-cells");
    EXPECT_EQ(at(*image, { 30, 10 }), 0xFFFF0000u);
    EXPECT_EQ(at(*image, { 90, 10 }), 0xFFFFFFFFu) << "no colour: white";
    // The grid line on each cell's right and bottom.
    EXPECT_EQ(gfx::redOf(at(*image, { 119.5, 10 })), 212);
    EXPECT_EQ(gfx::redOf(at(*image, { 90, 19.5 })), 212);

    grid->setAllowsEditing(true);
    clickCell(3, 0);
    const auto before = source->valueAsks;
    content().editSelectedCell({});
    content().display();
    EXPECT_EQ(source->valueAsks - before, content().cellsDrawnInLastPass() + 1)
        << "every cell in sight but the edited one, and the edited value once";
    EXPECT_LT(content().cellsDrawnInLastPass(), 7 * 15);
}

TEST_F(ZORTableGridDrawingTest, OnlyTheCellsInSightAreAskedForAndDrawn)
{
    source->rows = 1000000;
    source->columns = 50;
    grid->reloadData();
    EXPECT_EQ(content().frame().height(), 20000000);
    content().display();
    const auto firstPage = content().cellsDrawnInLastPass();
    // 360 × 281 points of cells: 7 columns (6 and a part) by 15 rows.
    EXPECT_GE(firstPage, 6 * 14);
    EXPECT_LE(firstPage, 8 * 16);
    grid->scrollToArea(content().frameOfCellAtColumn(25, 500000), false);
    source->valueAsks = 0;
    content().display();
    EXPECT_LE(content().cellsDrawnInLastPass(), 8 * 16);
    EXPECT_EQ(source->valueAsks, content().cellsDrawnInLastPass());
    const auto inSight = content().visibleRowsInRect(content().visibleRect());
    EXPECT_LT(inSight.location, 500000);
    EXPECT_EQ(inSight.max(), 500001) << "the cell scrolled to is the last row in sight";
}

TEST_F(ZORTableGridDrawingTest, DropFeedbackDrawsBarsBetweenColumnsAndRowsAndOutlinesTargetCells)
{
    content()._setDraggingColumnOrRow(true);
    content()._setDropColumn(10);
    auto image = snapshot("table-grid-drop-column");
    // A dropped column at the count goes after the last column: scroll there to see the bar.
    grid->scrollToArea(content().frameOfCellAtColumn(9, 0), false);
    image = snapshot();
    EXPECT_TRUE(isAccent(at(*image, { 598.5, 100 }))) << "bar at the right edge of the last column";
    content()._setDropColumn(fnd::NotFound);
    content()._setDropRow(1);
    image = snapshot();
    EXPECT_TRUE(isAccent(at(*image, { 500, 18.5 })));
    content()._setDraggingColumnOrRow(false);
    content()._setDropColumn(8);
    content()._setDropRow(2);
    image = snapshot("table-grid-drop-cell");
    const auto cell = content().frameOfCellAtColumn(8, 2);
    EXPECT_TRUE(isAccent(at(*image, { cell.midX(), cell.minY() + 0.5 })));
    EXPECT_FALSE(isAccent(at(*image, { cell.midX(), cell.midY() })));
}

TEST_F(ZORTableGridDrawingTest, HeadersShowTheirLabelsAndSelectedHeadersAreTinted)
{
    grid->setSelectedColumnIndexes(fnd::IndexSet { 1 });
    grid->setSelectedRowIndexes(fnd::IndexSet(fnd::Range { 0, 20 }));
    auto image = snapshot("table-grid-headers");
    auto& columnHeaders = *grid->columnHeaderView();
    auto& rowHeaders = *grid->rowHeaderView();
    EXPECT_TRUE(
        isAccent(pixelIn(*image, columnHeaders, { 75, 3 })) || !isGrey(pixelIn(*image, columnHeaders, { 75, 3 })))
        << "the selected column's header is tinted";
    EXPECT_TRUE(isGrey(pixelIn(*image, columnHeaders, { 15, 3 })));
    // Some dark label pixels in the middle of header "A", and of row "1" from 6 points in.
    auto dark = [&](ui::View& view, gfx::Rect r) { return darkPixelsIn(*image, view, r); };
    EXPECT_GT(dark(columnHeaders, { 24, 3, 12, 14 }), 3);
    EXPECT_GT(dark(rowHeaders, { 6, 24, 10, 12 }), 3);
    EXPECT_EQ(dark(rowHeaders, { 0, 24, 5, 12 }), 0) << "row labels start 6 points in";
}

// A click or an arrow key moves a one-cell selection: only the cells around the outlines it left and reached are
// drawn again, not the page (84 cells in sight here).
TEST_F(ZORTableGridDrawingTest, AClickOrAnArrowKeyRedrawsOnlyAroundTheSelectionItLeftAndReached)
{
    window->display();
    clickCell(2, 3);
    window->displayIfNeeded();
    clickCell(4, 6);
    window->displayIfNeeded();
    // Each outline, grown by its handle, meets its cell and the eight around it: where the selection was, where it
    // went when the click set its column, and where it is once the click set its row.
    EXPECT_LE(content().cellsDrawnInLastPass(), 27);
    key(ui::FunctionKey::DownArrow, ui::KeyCode::DownArrow);
    window->displayIfNeeded();
    EXPECT_EQ(rows(), "{7}");
    EXPECT_LE(content().cellsDrawnInLastPass(), 18);
}

// A title wider than its column is cut at the column's edges: the headers beside it show none of it.
TEST_F(ZORTableGridDrawingTest, AHeaderTitleWiderThanItsColumnStaysInsideIt)
{
    source->columnTitles[1] = "A title far wider than any column of this grid";
    source->columnTitles[0] = " ";
    source->columnTitles[2] = " ";
    grid->reloadData();
    auto image = snapshot("table-grid-long-title");
    auto& headers = *grid->columnHeaderView();
    auto darkIn = [&](gfx::Rect r) { return darkPixelsIn(*image, headers, r); };
    const auto title = headers.headerRectOfColumn(1);
    const auto before = headers.headerRectOfColumn(0), after = headers.headerRectOfColumn(2);
    EXPECT_GT(darkIn(gfx::insetRect(title, 2, 2)), 20) << "the title shows in its own header";
    EXPECT_EQ(darkIn(gfx::insetRect(before, 2, 2)), 0) << "nothing of it in the header before";
    EXPECT_EQ(darkIn(gfx::insetRect(after, 2, 2)), 0) << "nothing of it in the header after";
}

}

// A title written right to left is measured and drawn as one line from its cell's centre, like any other: laid out
// by its natural alignment in an unbounded line it would stand a long way right of its header, out of sight.
TEST_F(ZORTableGridDrawingTest, ARightToLeftTitleShowsCentredInItsHeader)
{
    source->columnTitles[1] = "\u05E9\u05DC\u05D5\u05DD"; // shalom
    grid->reloadData();
    auto image = snapshot("table-grid-hebrew-title");
    auto& headers = *grid->columnHeaderView();
    const auto title = headers.headerRectOfColumn(1);
    auto darkIn = [&](gfx::Rect r) { return darkPixelsIn(*image, headers, r); };
    // Four letters of about 7 points each, centred: dark pixels in the middle 20 points, none near the edges.
    EXPECT_GT(darkIn({ title.midX() - 10, title.minY() + 2, 20, title.height() - 4 }), 10);
    EXPECT_EQ(darkIn({ title.minX() + 2, title.minY() + 2, 6, title.height() - 4 }), 0);
    EXPECT_EQ(darkIn({ title.maxX() - 8, title.minY() + 2, 6, title.height() - 4 }), 0);
}

// A row's backgrounds and lines drawn together must leave the pixels of its cells drawn one at a time: runs of one
// colour, a translucent colour, a gap (the edited cell), at 1x and 2x, and a column half a point wide at 2x (whole
// device pixels; between pixels the lines are one shape where separate fills would leave seams).
TEST(ZORTableGridRowDrawingTest, ARowDrawnAtOnceMatchesItsCellsDrawnOneByOne)
{
    const auto red = gfx::Color::colorWithDeviceRed(1, 0, 0);
    const auto white = gfx::Color::whiteColor();
    const auto veil = gfx::Color::colorWithDeviceRed(0, 0, 1, 0.3);
    const double half = 0.5;
    const std::vector<gfx::ColorPtr> colours { red, gfx::Color::colorWithDeviceRed(1, 0, 0), white, veil, veil, white };
    auto view = ui::View::create({ 0, 0, 200, 24 });
    auto cell = ZORTableGridCell::create();
    for (double scale : { 1.0, 2.0 }) {
        const double shift = scale == 2 ? half : 0;
        const std::vector<gfx::Rect> frames { { 0, 3, 40, 17 }, { 40, 3, 30, 17 }, { 70, 3, 25 + shift, 17 },
            { 95 + shift, 3, 20, 17 }, { 140, 3, 30, 17 }, { 170, 3, 28, 17 } };
        const int w = int(200 * scale), h = int(24 * scale);
        Canvas together(w, h, true, { 200, 24 });
        ZORTableGridCell::drawBackgroundsAndGridLines(frames, colours);
        Canvas alone(w, h, true, { 200, 24 });
        for (std::size_t k = 0; k < frames.size(); ++k)
            cell->drawWithFrame(frames[k], *view, colours[k]);
        int differing = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                differing += together.at(x, y) != alone.at(x, y);
        EXPECT_EQ(differing, 0) << "at " << scale << "x";
        // Worked out by hand at 1x (y counted from the bottom): red inside the first cell, the grey line (0.83 of
        // white) on its right and along the row's bottom, nothing drawn in the gap.
        if (scale == 1) {
            EXPECT_EQ(together.at(20, 12), 0xFFFF0000u);
            EXPECT_EQ(together.at(39, 12), 0xFFD4D4D4u);
            EXPECT_EQ(together.at(20, 4), 0xFFD4D4D4u);
            EXPECT_EQ(together.at(130, 12), 0u);
        }
    }
}

namespace {

// Alike within 16 levels in every channel: a part drawn again is not always the whole drawn at once to the level
// (Cairo's coverage of an edge between pixels, and a gradient's steps, follow where the part begins), while a
// selection's outline, wash or tinted header left behind or missing is tens of levels off.
bool ZORTableGridAlike(std::uint32_t a, std::uint32_t b)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 16)
            return false;
    return true;
}

// The window's pixels as its surface holds them, without drawing anything.
std::vector<std::uint32_t> ZORTableGridShownPixels(ui::Window& window)
{
    const auto pixels = ui::Backend::current().surfaceForWindow(window)->pixels();
    std::vector<std::uint32_t> copy;
    for (int y = 0; y < pixels.height; ++y)
        copy.insert(copy.end(), pixels.row(y), pixels.row(y) + pixels.width);
    return copy;
}

}

// Random selections by every way there is (clicks, Shift-clicks, arrows with and without Shift, Select All, header
// clicks, the setters, a scroll): after each, what the window shows from the redraw of what changed is what a
// redraw of everything shows.
TEST_F(ZORTableGridDrawingTest, SelectionChangesShowWhatAFullRedrawShows)
{
    source->columns = 14;
    source->rows = 40;
    grid->reloadData();
    window->makeFirstResponder(grid);
    window->display();
    for (unsigned seed = 1; seed <= 2; ++seed) {
        std::mt19937 random(seed);
        auto pick = [&](int n) { return int(random() % unsigned(n)); };
        const std::pair<char16_t, unsigned short> arrows[] = { { ui::FunctionKey::DownArrow, ui::KeyCode::DownArrow },
            { ui::FunctionKey::UpArrow, ui::KeyCode::UpArrow }, { ui::FunctionKey::LeftArrow, ui::KeyCode::LeftArrow },
            { ui::FunctionKey::RightArrow, ui::KeyCode::RightArrow } };
        std::string steps;
        for (int step = 0; step < 25; ++step) {
            switch (pick(8)) {
            case 0:
                clickCell(pick(14), pick(40));
                steps += " click";
                break;
            case 1:
                clickCell(pick(14), pick(40), ui::ModifierFlags::Shift);
                steps += " shift-click";
                break;
            case 2: {
                const auto& arrow = arrows[pick(4)];
                key(arrow.first, arrow.second);
                steps += " arrow";
                break;
            }
            case 3: {
                const auto& arrow = arrows[pick(4)];
                key(arrow.first, arrow.second, ui::ModifierFlags::Shift);
                steps += " shift-arrow";
                break;
            }
            case 4:
                perform("selectAll:");
                steps += " all";
                break;
            case 5: {
                auto& headers = pick(2) ? *grid->columnHeaderView() : *grid->rowHeaderView();
                const bool columns = &headers == grid->columnHeaderView().get();
                const auto item = headers.visibleRect();
                const gfx::Point p { columns ? item.minX() + 10 + pick(int(item.width()) - 20) : item.midX(),
                    columns ? item.midY() : item.minY() + 5 + pick(int(item.height()) - 10) };
                press(headers, p);
                release(headers, p);
                dispatch();
                steps += columns ? " column-header" : " row-header";
                break;
            }
            case 6: {
                const fnd::Index c = pick(14), r = pick(40);
                select({ c, fnd::Index(1 + pick(3)) }, { r, fnd::Index(1 + pick(5)) });
                steps += " setters";
                break;
            }
            case 7:
                grid->scrollToArea(content().frameOfCellAtColumn(pick(14), pick(40)), false);
                steps += " scroll";
                break;
            }
            window->displayIfNeeded();
            const auto shown = ZORTableGridShownPixels(*window);
            window->display();
            const auto drawn = ZORTableGridShownPixels(*window);
            int differing = 0;
            for (std::size_t k = 0; k < shown.size(); ++k)
                differing += !ZORTableGridAlike(shown[k], drawn[k]);
            ASSERT_EQ(differing, 0) << "seed " << seed << ", steps:" << steps;
        }
    }
}
