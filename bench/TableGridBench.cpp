// A table grid of 1,000,000 rows by 50 columns: scrolling down by a page and drawing the whole grid (headers and
// cells), and one step of a column resize drag followed by the redraw, for a grid of 400 × 300 and of 800 × 600
// points. "cells asked" counts the values the grid asked the data source for per frame: the cells in sight,
// whatever the grid's length. Nearly all of a frame is the text of the cells (laid out and filled as glyph
// outlines, about 70 µs a cell, as in the table view's bench).
#include "frameworks/ZORAppKit/table-grid/ZORTableGrid.h"
#include "frameworks/ZORAppKit/table-grid/ZORTableGridContentView.h"

#include "platform/graphics/BitmapImageRep.h"
#include "platform/ui/containers/ClipView.h"
#include "platform/ui/containers/ScrollView.h"

#include <benchmark/benchmark.h>

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

}

// The argument is the grid's width in points (height three quarters of it): the cost follows the cells in sight.
BENCHMARK(gridPageScroll)->Name("TableGridPageScroll/1000000x50/width")->Arg(400)->Arg(800)->Unit(benchmark::kMillisecond);
BENCHMARK(gridColumnResizeStep)
    ->Name("TableGridColumnResizeStep/1000000x50/width")
    ->Arg(400)
    ->Arg(800)
    ->Unit(benchmark::kMillisecond);
