// A cell-based table of 1,000 rows (a typical list: the files of a busy folder, a year of records), of 10,000 and
// of 100,000, in a window 600 × 400 points. What a person does with it, from the event to the redrawn window:
// filling it (reloading), a row added at the end and one removed, a click on a row, a Shift-click extending the
// selection, the Down key moving it, a page scroll, and the hit test under a click. "rows drawn" is the number of
// rows whose values were asked for per frame (each visible row once per column would be rows in sight + 1).
#include "bench/CollectionSizes.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/ui/containers/ClipView.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/tables/TableView.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr long TableBenchTypicalRows = 1'000;

// Three columns of text made up from the row number, counting what is asked for.
class NumberedRows : public fnd::Object, public ui::TableViewDataSource {
public:
    explicit NumberedRows(long count)
        : count(count)
    {
    }
    long numberOfRowsInTableView(ui::TableView&) override { return count; }
    fnd::Value tableViewObjectValueForTableColumn(ui::TableView&, ui::TableColumn* column, long row) override
    {
        ++asked;
        return fnd::Value(fnd::String(column->identifier().utf8() + " " + std::to_string(row)));
    }
    long count;
    long asked { 0 };
};

struct TableBenchSetup {
    std::shared_ptr<ui::HeadlessBackend> backend = ui::HeadlessBackend::install();
    std::shared_ptr<NumberedRows> source;
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::ScrollView> scrollView;
    std::shared_ptr<ui::TableView> table;

    explicit TableBenchSetup(long rows)
        : source(std::make_shared<NumberedRows>(rows))
    {
        window = ui::Window::create({ { 100, 100 }, { 600, 400 } });
        scrollView = ui::ScrollView::create({ 0, 0, 600, 400 });
        scrollView->setHasVerticalScroller(true);
        table = ui::TableView::create({ 0, 0, 585, 400 });
        for (const char* identifier : { "Name", "Kind", "Size" }) {
            auto column = ui::TableColumn::create(identifier);
            column->setWidth(180);
            table->addTableColumn(column);
        }
        table->setUsesAlternatingRowBackgroundColors(true);
        table->setAllowsMultipleSelection(true);
        table->setDataSource(source);
        scrollView->setDocumentView(table);
        window->contentView()->addSubview(scrollView);
        window->makeKeyAndOrderFront();
        window->makeFirstResponder(table);
        window->displayIfNeeded();
    }
    ~TableBenchSetup()
    {
        window->close();
        ui::Backend::install(nullptr);
    }
    // The middle of a row's first cell, in the window.
    gfx::Point pointOfRow(long row) const
    {
        auto rect = table->frameOfCellAtColumn(0, row);
        return table->convertPointToView({ rect.midX(), rect.midY() }, nullptr);
    }
    void press(char16_t key, unsigned short keyCode, unsigned flags = 0)
    {
        backend->keyDown(*window, fnd::String(std::u16string(1, key)), keyCode, flags);
        backend->keyUp(*window, fnd::String(std::u16string(1, key)), keyCode);
        backend->dispatchEvents();
        window->displayIfNeeded();
    }
};

void sizes(benchmark::internal::Benchmark* b)
{
    collectionsizes::threeSizes(b, TableBenchTypicalRows);
    b->ArgNames({ "rows", "a11y" })->Unit(benchmark::kMicrosecond);
}

// Reloading every row and drawing the first page.
void TableFill(benchmark::State& state)
{
    TableBenchSetup setup(state.range(0));
    for (auto _ : state) {
        setup.table->reloadData();
        setup.window->displayIfNeeded();
    }
}
BENCHMARK(TableFill)->Apply(sizes);

// A row added at the end (the source grows, the table is told) and the redraw; taking it away is not timed.
void TableAddRow(benchmark::State& state)
{
    TableBenchSetup setup(state.range(0));
    for (auto _ : state) {
        ++setup.source->count;
        setup.table->noteNumberOfRowsChanged();
        setup.window->displayIfNeeded();
        state.PauseTiming();
        --setup.source->count;
        setup.table->noteNumberOfRowsChanged();
        setup.window->displayIfNeeded();
        state.ResumeTiming();
    }
}
BENCHMARK(TableAddRow)->Apply(sizes);

// A click on the third row, then on the fifth, each from the event to the redrawn window.
void TableClick(benchmark::State& state)
{
    TableBenchSetup setup(state.range(0));
    const auto third = setup.pointOfRow(2), fifth = setup.pointOfRow(4);
    for (auto _ : state) {
        setup.backend->click(*setup.window, third);
        setup.backend->dispatchEvents();
        setup.window->displayIfNeeded();
        setup.backend->click(*setup.window, fifth);
        setup.backend->dispatchEvents();
        setup.window->displayIfNeeded();
    }
}
BENCHMARK(TableClick)->Apply(sizes);

// With the first row selected, a Shift-click on the last row shown and a plain click back on the first: the
// selection grows to the page and shrinks again.
void TableShiftClick(benchmark::State& state)
{
    TableBenchSetup setup(state.range(0));
    const auto first = setup.pointOfRow(0), last = setup.pointOfRow(15);
    setup.backend->click(*setup.window, first);
    setup.backend->dispatchEvents();
    for (auto _ : state) {
        setup.backend->click(*setup.window, last, ui::ModifierFlags::Shift);
        setup.backend->dispatchEvents();
        setup.window->displayIfNeeded();
        setup.backend->click(*setup.window, first);
        setup.backend->dispatchEvents();
        setup.window->displayIfNeeded();
    }
}
BENCHMARK(TableShiftClick)->Apply(sizes);

// The Down key moving the selection one row on (wrapping to the first row after 200), with the scroll that keeps
// it in sight.
void TableKeyDown(benchmark::State& state)
{
    TableBenchSetup setup(state.range(0));
    setup.table->selectRowIndexes(fnd::IndexSet(0), false);
    for (auto _ : state) {
        if (setup.table->selectedRow() >= 200) {
            state.PauseTiming();
            setup.table->selectRowIndexes(fnd::IndexSet(0), false);
            setup.table->scrollRowToVisible(0);
            setup.window->displayIfNeeded();
            state.ResumeTiming();
        }
        setup.press(ui::FunctionKey::DownArrow, ui::KeyCode::DownArrow);
    }
}
BENCHMARK(TableKeyDown)->Apply(sizes);

// Scrolling down by a page and drawing what the scroll view shows.
void TablePageScroll(benchmark::State& state)
{
    TableBenchSetup setup(state.range(0));
    auto clip = setup.scrollView->contentView();
    auto bitmap = setup.scrollView->bitmapImageRepForCachingDisplayInRect(setup.scrollView->bounds());
    const double page = clip->bounds().height();
    const double end = setup.table->frame().height() - page;
    double y = 0;
    setup.source->asked = 0;
    for (auto _ : state) {
        y = y + page > end ? 0 : y + page;
        clip->scrollToPoint({ 0, y });
        setup.scrollView->cacheDisplayInRect(setup.scrollView->bounds(), *bitmap);
    }
    state.counters["rows drawn"]
        = benchmark::Counter(static_cast<double>(setup.source->asked) / 3, benchmark::Counter::kAvgIterations);
}
BENCHMARK(TablePageScroll)->Apply(sizes);

// The row and column under a click in the middle of the table.
void TableHitTest(benchmark::State& state)
{
    TableBenchSetup setup(state.range(0));
    const auto rect = setup.table->frameOfCellAtColumn(1, state.range(0) / 2);
    const gfx::Point point { rect.midX(), rect.midY() };
    for (auto _ : state) {
        benchmark::DoNotOptimize(setup.table->rowAtPoint(point));
        benchmark::DoNotOptimize(setup.table->columnAtPoint(point));
    }
}
BENCHMARK(TableHitTest)->Apply(sizes);

}
