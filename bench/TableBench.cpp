// Scrolling a cell-based table down by a page and drawing what the scroll view shows, for tables of 1,000 and of
// 100,000 rows: the time per frame follows the rows in sight, not the table's length. "rows drawn" is the number of
// rows whose values were asked for per frame (each visible row once per column would be rows in sight + 1).
#include "platform/graphics/BitmapImageRep.h"
#include "platform/ui/containers/ClipView.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/tables/TableView.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// Three columns of text made up from the row number, counting what is asked for.
class NumberedRows : public fnd::Object, public ui::TableViewDataSource {
public:
    explicit NumberedRows(long count)
        : m_count(count)
    {
    }
    long numberOfRowsInTableView(ui::TableView&) override { return m_count; }
    fnd::Value tableViewObjectValueForTableColumn(ui::TableView&, ui::TableColumn* column, long row) override
    {
        ++asked;
        return fnd::Value(fnd::String(column->identifier().utf8() + " " + std::to_string(row)));
    }
    long asked { 0 };

private:
    long m_count;
};

void pageScroll(benchmark::State& state)
{
    auto source = std::make_shared<NumberedRows>(state.range(0));
    auto scrollView = ui::ScrollView::create({ 0, 0, 600, 400 });
    scrollView->setHasVerticalScroller(true);
    auto table = ui::TableView::create({ 0, 0, 585, 400 });
    for (const char* identifier : { "Name", "Kind", "Size" }) {
        auto column = ui::TableColumn::create(identifier);
        column->setWidth(180);
        table->addTableColumn(column);
    }
    table->setUsesAlternatingRowBackgroundColors(true);
    table->setDataSource(source);
    scrollView->setDocumentView(table);
    auto clip = scrollView->contentView();
    auto bitmap = scrollView->bitmapImageRepForCachingDisplayInRect(scrollView->bounds());
    const double page = clip->bounds().height();
    const double end = table->frame().height() - page;
    double y = 0;
    source->asked = 0;
    for (auto _ : state) {
        y = y + page > end ? 0 : y + page;
        clip->scrollToPoint({ 0, y });
        scrollView->cacheDisplayInRect(scrollView->bounds(), *bitmap);
    }
    state.counters["rows drawn"]
        = benchmark::Counter(static_cast<double>(source->asked) / 3, benchmark::Counter::kAvgIterations);
}

}

BENCHMARK(pageScroll)->Name("TablePageScroll/rows")->Arg(1'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
