// A table grid of 1,000,000 rows by 50 columns: scrolling down by a page and drawing the whole grid (headers and
// cells), and one step of a column resize drag followed by the redraw, for a grid of 400 × 300 and of 800 × 600
// points. "cells asked" counts the values the grid asked the data source for per frame: the cells in sight,
// whatever the grid's length. Most of a frame is the text of the cells: each laid out and its glyphs drawn from the
// rasterised glyph cache.
//
// PangoReference is the yardstick beside it: Pango and Cairo drawing the text of 350 cells of an 800 × 600 page
// (a new layout per cell and per frame, new texts every frame, the same font and size), so the ratio of the two is
// measured in one run on one machine.
#include "frameworks/ZORAppKit/table-grid/ZORTableGrid.h"
#include "frameworks/ZORAppKit/table-grid/ZORTableGridContentView.h"

#include "platform/graphics/BitmapImageRep.h"
#include "platform/ui/containers/ClipView.h"
#include "platform/ui/containers/ScrollView.h"

#include <benchmark/benchmark.h>
#include <pango/pangocairo.h>

#include <string>

namespace {

// Text made up from the cell's place, counting what is asked for.
class NumberedCells : public ZORTableGridDataSource {
public:
    std::optional<fnd::Index> numberOfColumnsInTableGrid(ZORTableGrid&) override { return 50; }
    std::optional<fnd::Index> numberOfRowsInTableGrid(ZORTableGrid&) override { return 1'000'000; }
    fnd::Value tableGridObjectValueForColumn(ZORTableGrid&, fnd::Index column, fnd::Index row) override
    {
        ++asked;
        return fnd::Value(fnd::String(std::to_string(column) + ":" + std::to_string(row)));
    }
    long asked { 0 };
};

struct BenchGrid {
    explicit BenchGrid(double width)
    {
        grid = ZORTableGrid::create({ 0, 0, width, width * 3 / 4 });
        grid->setDataSource(source);
        grid->reloadData();
        bitmap = grid->bitmapImageRepForCachingDisplayInRect(grid->bounds());
    }
    void draw() { grid->cacheDisplayInRect(grid->bounds(), *bitmap); }
    std::shared_ptr<NumberedCells> source = std::make_shared<NumberedCells>();
    std::shared_ptr<ZORTableGrid> grid;
    std::shared_ptr<gfx::BitmapImageRep> bitmap;
};

void gridPageScroll(benchmark::State& state)
{
    BenchGrid bench(double(state.range(0)));
    auto clip = bench.grid->contentScrollView()->contentView();
    const double page = clip->bounds().height();
    const double end = bench.grid->contentView()->frame().height() - page;
    double y = 0;
    bench.draw();
    bench.source->asked = 0;
    for (auto _ : state) {
        y = y + page > end ? 0 : y + page;
        clip->scrollToPoint({ 0, y });
        bench.draw();
    }
    state.counters["cells asked"]
        = benchmark::Counter(static_cast<double>(bench.source->asked), benchmark::Counter::kAvgIterations);
}

void gridColumnResizeStep(benchmark::State& state)
{
    BenchGrid bench(double(state.range(0)));
    bench.draw();
    float step = 1;
    for (auto _ : state) {
        bench.grid->resizeColumnWithIndex(3, step);
        step = -step;
        bench.draw();
    }
}

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

// The argument is the grid's width in points (height three quarters of it): the cost follows the cells in sight.
BENCHMARK(gridPageScroll)
    ->Name("TableGridPageScroll/1000000x50/width")
    ->Arg(400)
    ->Arg(800)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(pangoReferencePage)->Name("PangoReference/350cells/800x600")->Unit(benchmark::kMillisecond);
BENCHMARK(gridColumnResizeStep)
    ->Name("TableGridColumnResizeStep/1000000x50/width")
    ->Arg(400)
    ->Arg(800)
    ->Unit(benchmark::kMillisecond);
