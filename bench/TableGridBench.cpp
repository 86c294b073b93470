// A table grid of 1,000 rows by 26 columns (a typical sheet: A to Z and a year of days or a price list), grown to
// ten and a hundred times the rows, and to ten and a hundred times the columns, in a grid of 800 × 600 points. What
// a person does with it: filling it (reading the counts and drawing the first page), scrolling down by a page, one
// step of a column resize drag, a click on a cell, the arrow keys moving the selection, Shift with an arrow key
// growing it, and Select All; each from the event to the redrawn grid. "cells asked" counts the values the grid
// asked the data source for per frame: the cells in sight, whatever the grid's size. Most of a frame is the text of
// the cells: each laid out and its glyphs drawn from the rasterised glyph cache.
//
// PangoReference is the yardstick beside it: Pango and Cairo drawing the text of 350 cells of an 800 × 600 page
// (a new layout per cell and per frame, new texts every frame, the same font and size), so the ratio of the two is
// measured in one run on one machine.
#include "bench/CollectionSizes.h"

#include "frameworks/ZORAppKit/table-grid/ZORTableGrid.h"
#include "frameworks/ZORAppKit/table-grid/ZORTableGridContentView.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/ui/containers/ClipView.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"

#include <benchmark/benchmark.h>
#include <pango/pangocairo.h>

#include <string>

namespace {

constexpr long TableGridBenchTypicalRows = 1'000;
constexpr long TableGridBenchTypicalColumns = 26;

// Text made up from the cell's place, counting what is asked for.
class NumberedCells : public ZORTableGridDataSource {
public:
    NumberedCells(long columns, long rows)
        : m_columns(columns)
        , m_rows(rows)
    {
    }
    std::optional<fnd::Index> numberOfColumnsInTableGrid(ZORTableGrid&) override { return m_columns; }
    std::optional<fnd::Index> numberOfRowsInTableGrid(ZORTableGrid&) override { return m_rows; }
    fnd::Value tableGridObjectValueForColumn(ZORTableGrid&, fnd::Index column, fnd::Index row) override
    {
        ++asked;
        return fnd::Value(fnd::String(std::to_string(column) + ":" + std::to_string(row)));
    }
    long asked { 0 };

private:
    long m_columns;
    long m_rows;
};

struct BenchGrid {
    std::shared_ptr<ui::HeadlessBackend> backend = ui::HeadlessBackend::install();
    std::shared_ptr<NumberedCells> source;
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ZORTableGrid> grid;

    BenchGrid(long columns, long rows)
        : source(std::make_shared<NumberedCells>(columns, rows))
    {
        window = ui::Window::create({ { 100, 100 }, { 800, 600 } });
        grid = ZORTableGrid::create({ 0, 0, 800, 600 });
        window->contentView()->addSubview(grid);
        grid->setDataSource(source);
        grid->reloadData();
        window->makeKeyAndOrderFront();
        window->makeFirstResponder(grid);
        window->displayIfNeeded();
    }
    ~BenchGrid()
    {
        window->close();
        ui::Backend::install(nullptr);
    }
    void press(char16_t key, unsigned short keyCode, unsigned flags = 0)
    {
        backend->keyDown(*window, fnd::String(std::u16string(1, key)), keyCode, flags);
        backend->keyUp(*window, fnd::String(std::u16string(1, key)), keyCode);
        backend->dispatchEvents();
        window->displayIfNeeded();
    }
    // The middle of a cell, in the window.
    gfx::Point pointOfCell(fnd::Index column, fnd::Index row) const
    {
        const auto cell = grid->frameOfCellAtColumn(column, row);
        return grid->convertPointToView({ cell.midX(), cell.midY() }, nullptr);
    }
};

// (columns, rows): more rows of the typical width, then more columns of the typical length.
void sizes(benchmark::internal::Benchmark* b)
{
    for (long factor : { 1, 10, 100 })
        collectionsizes::args(b, { TableGridBenchTypicalColumns, TableGridBenchTypicalRows * factor });
    for (long factor : { 10, 100 })
        collectionsizes::args(b, { TableGridBenchTypicalColumns * factor, TableGridBenchTypicalRows });
    b->ArgNames({ "columns", "rows", "a11y" })->Unit(benchmark::kMicrosecond);
}

// Reading the counts again and drawing the first page.
void TableGridFill(benchmark::State& state)
{
    BenchGrid bench(state.range(0), state.range(1));
    for (auto _ : state) {
        bench.grid->reloadData();
        bench.window->displayIfNeeded();
    }
}
BENCHMARK(TableGridFill)->Apply(sizes);

// Scrolling down by a page and drawing the grid.
void TableGridPageScroll(benchmark::State& state)
{
    BenchGrid bench(state.range(0), state.range(1));
    auto clip = bench.grid->contentScrollView()->contentView();
    const double page = clip->bounds().height();
    const double end = bench.grid->contentView()->frame().height() - page;
    double y = 0;
    bench.source->asked = 0;
    for (auto _ : state) {
        y = y + page > end ? 0 : y + page;
        clip->scrollToPoint({ 0, y });
        bench.window->displayIfNeeded();
    }
    state.counters["cells asked"]
        = benchmark::Counter(static_cast<double>(bench.source->asked), benchmark::Counter::kAvgIterations);
}
BENCHMARK(TableGridPageScroll)->Apply(sizes);

// One step of a resize drag of the fourth column, and the redraw.
void TableGridColumnResizeStep(benchmark::State& state)
{
    BenchGrid bench(state.range(0), state.range(1));
    float step = 1;
    for (auto _ : state) {
        bench.grid->resizeColumnWithIndex(3, step);
        step = -step;
        bench.window->displayIfNeeded();
    }
}
BENCHMARK(TableGridColumnResizeStep)->Apply(sizes);

// A click on one cell and then on another.
void TableGridClick(benchmark::State& state)
{
    BenchGrid bench(state.range(0), state.range(1));
    const auto first = bench.pointOfCell(2, 3), second = bench.pointOfCell(4, 6);
    for (auto _ : state) {
        bench.backend->click(*bench.window, first);
        bench.backend->dispatchEvents();
        bench.window->displayIfNeeded();
        bench.backend->click(*bench.window, second);
        bench.backend->dispatchEvents();
        bench.window->displayIfNeeded();
    }
}
BENCHMARK(TableGridClick)->Apply(sizes);

// The arrow keys moving a one-cell selection down and right, then up and left again.
void TableGridArrowKeys(benchmark::State& state)
{
    BenchGrid bench(state.range(0), state.range(1));
    bench.grid->setSelectedColumnIndexes(fnd::IndexSet(2));
    bench.grid->setSelectedRowIndexes(fnd::IndexSet(3));
    for (auto _ : state) {
        bench.press(ui::FunctionKey::DownArrow, ui::KeyCode::DownArrow);
        bench.press(ui::FunctionKey::RightArrow, ui::KeyCode::RightArrow);
        bench.press(ui::FunctionKey::UpArrow, ui::KeyCode::UpArrow);
        bench.press(ui::FunctionKey::LeftArrow, ui::KeyCode::LeftArrow);
    }
}
BENCHMARK(TableGridArrowKeys)->Apply(sizes);

// Shift-Down growing the selection by a row and Shift-Up shrinking it again.
void TableGridExtendSelection(benchmark::State& state)
{
    BenchGrid bench(state.range(0), state.range(1));
    bench.grid->setSelectedColumnIndexes(fnd::IndexSet(2));
    bench.grid->setSelectedRowIndexes(fnd::IndexSet(3));
    for (auto _ : state) {
        bench.press(ui::FunctionKey::DownArrow, ui::KeyCode::DownArrow, ui::ModifierFlags::Shift);
        bench.press(ui::FunctionKey::UpArrow, ui::KeyCode::UpArrow, ui::ModifierFlags::Shift);
    }
}
BENCHMARK(TableGridExtendSelection)->Apply(sizes);

// Select All and a click on one cell, each with the redraw.
void TableGridSelectAll(benchmark::State& state)
{
    BenchGrid bench(state.range(0), state.range(1));
    const auto cell = bench.pointOfCell(2, 3);
    for (auto _ : state) {
        bench.grid->selectAll({});
        bench.window->displayIfNeeded();
        bench.backend->click(*bench.window, cell);
        bench.backend->dispatchEvents();
        bench.window->displayIfNeeded();
    }
}
BENCHMARK(TableGridSelectAll)->Apply(sizes);

// The grid giving up the keyboard and taking it again, each with the redraw: its focus ring goes and comes back.
void TableGridFocusChange(benchmark::State& state)
{
    BenchGrid bench(state.range(0), state.range(1));
    for (auto _ : state) {
        bench.window->makeFirstResponder(nullptr);
        bench.window->displayIfNeeded();
        bench.window->makeFirstResponder(bench.grid);
        bench.window->displayIfNeeded();
    }
}
BENCHMARK(TableGridFocusChange)
    ->Args({ TableGridBenchTypicalColumns, TableGridBenchTypicalRows })
    ->Unit(benchmark::kMicrosecond);

void pangoReferencePage(benchmark::State& state)
{
    constexpr int Columns = 10, Rows = 35;
    constexpr double CellWidth = 80, CellHeight = 17;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 800, 600);
    cairo_t* cr = cairo_create(surface);
    PangoFontDescription* font = pango_font_description_from_string("DejaVu Sans 13");
    long frame = 0;
    for (auto _ : state) {
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
        cairo_set_source_rgb(cr, 0, 0, 0);
        for (int row = 0; row < Rows; ++row)
            for (int column = 0; column < Columns; ++column) {
                PangoLayout* layout = pango_cairo_create_layout(cr);
                // Points are pixels, as in the grid drawn at scale 1.
                pango_cairo_context_set_resolution(pango_layout_get_context(layout), 72);
                pango_layout_set_font_description(layout, font);
                pango_layout_set_width(layout, int((CellWidth - 4) * PANGO_SCALE));
                pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
                const std::string text = std::to_string(column) + ":" + std::to_string(frame * Rows + row);
                pango_layout_set_text(layout, text.c_str(), -1);
                cairo_move_to(cr, column * CellWidth + 2, row * CellHeight + 1);
                pango_cairo_show_layout(cr, layout);
                g_object_unref(layout);
            }
        cairo_surface_flush(surface);
        ++frame;
    }
    pango_font_description_free(font);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

}

BENCHMARK(pangoReferencePage)->Name("PangoReference/350cells/800x600")->Unit(benchmark::kMillisecond);
