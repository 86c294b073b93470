// A source list of 1,000 items in 10 groups (a typical sidebar of a library: its folders and albums of some years),
// of 10,000 and of 100,000, in a window 240 × 600 points with every group expanded. What a person does with it:
// filling it (reading the items and expanding every group), an item added to a group and one removed, a click on a
// row and the Down key moving the selection (each from the event to the redrawn window), a page scroll (rows with
// text and a badge on every third item; "rows drawn" counts the titles asked for per frame), and the hit test under
// a click.
#include "bench/CollectionSizes.h"

#include "frameworks/ZORAppKit/source-list/ZOROutlineSourceList.h"
#include "frameworks/ZORAppKit/source-list/ZOROutlineSourceListItem.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/ui/containers/ClipView.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/tables/TableColumn.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr long SourceListBenchTypicalItems = 1'000;
constexpr long SourceListBenchGroups = 10;

using Item = ZOROutlineSourceListItem;

fnd::Value SourceListBenchValue(const Item::Ptr& item)
{
    return fnd::Value(std::static_pointer_cast<fnd::Object>(item));
}

class BenchItems : public fnd::Object, public ZOROutlineSourceListDataSource {
public:
    explicit BenchItems(long items)
    {
        for (long g = 0; g < SourceListBenchGroups; ++g) {
            auto group = Item::create(fnd::String("Group " + std::to_string(g)));
            for (long i = 0; i < items / SourceListBenchGroups; ++i)
                group->silentAddChild(makeItem(g, i));
            root->silentAddChild(group);
        }
    }
    static Item::Ptr makeItem(long group, long index)
    {
        auto item = Item::create(fnd::String("Item " + std::to_string(group) + "." + std::to_string(index)));
        if (index % 3 == 0)
            item->setBadgeValue(index);
        return item;
    }
    Item::Ptr of(const fnd::Value& v) const { return v.isNil() ? root : v.objectAs<Item>(); }
    fnd::Index sourceListNumberOfChildrenOfItem(ZOROutlineSourceList&, const fnd::Value& item) override
    {
        return of(item)->countOfChildren();
    }
    fnd::Value sourceListChildOfItem(ZOROutlineSourceList&, fnd::Index index, const fnd::Value& item) override
    {
        return SourceListBenchValue(of(item)->childAtIndex(index));
    }
    fnd::Value sourceListObjectValueForItem(ZOROutlineSourceList&, const fnd::Value& item) override
    {
        ++asked;
        return fnd::Value(of(item)->title());
    }
    bool sourceListIsItemExpandable(ZOROutlineSourceList&, const fnd::Value& item) override
    {
        return of(item)->hasChildren();
    }
    bool sourceListItemHasBadge(ZOROutlineSourceList&, const fnd::Value& item) override { return of(item)->hasBadge(); }
    std::optional<std::int64_t> sourceListBadgeValueForItem(ZOROutlineSourceList&, const fnd::Value& item) override
    {
        return of(item)->badgeValue();
    }
    Item::Ptr root = Item::create("root");
    long asked { 0 };
};

struct BenchList {
    std::shared_ptr<ui::HeadlessBackend> backend = ui::HeadlessBackend::install();
    std::shared_ptr<BenchItems> items;
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::ScrollView> scrollView;
    std::shared_ptr<ZOROutlineSourceList> list;

    explicit BenchList(long count)
        : items(std::make_shared<BenchItems>(count))
    {
        window = ui::Window::create({ { 100, 100 }, { 240, 600 } });
        scrollView = ui::ScrollView::create({ 0, 0, 240, 600 });
        scrollView->setHasVerticalScroller(true);
        list = ZOROutlineSourceList::create({ 0, 0, 225, 600 });
        auto column = ui::TableColumn::create("title");
        column->setWidth(220);
        list->addTableColumn(column);
        list->setOutlineTableColumn(column);
        list->setHeaderView(nullptr);
        scrollView->setDocumentView(list);
        window->contentView()->addSubview(scrollView);
        list->setDataSource(items);
        expandAll();
        window->makeKeyAndOrderFront();
        window->makeFirstResponder(list);
        window->displayIfNeeded();
    }
    ~BenchList()
    {
        window->close();
        ui::Backend::install(nullptr);
    }
    void expandAll()
    {
        for (fnd::Index g = 0; g < items->root->countOfChildren(); ++g)
            list->expandItem(SourceListBenchValue(items->root->childAtIndex(g)));
    }
    gfx::Point pointOfRow(long row) const
    {
        auto rect = list->frameOfCellAtColumn(0, row);
        return list->convertPointToView({ rect.midX(), rect.midY() }, nullptr);
    }
};

void sizes(benchmark::internal::Benchmark* b)
{
    collectionsizes::threeSizes(b, SourceListBenchTypicalItems);
    b->ArgNames({ "items", "a11y" })->Unit(benchmark::kMicrosecond);
}

// Reading the items again and expanding every group, then drawing the first page.
void SourceListFill(benchmark::State& state)
{
    BenchList bench(state.range(0));
    for (auto _ : state) {
        bench.list->reloadData();
        bench.expandAll();
        bench.window->displayIfNeeded();
    }
    state.counters["rows"] = double(bench.list->numberOfRows());
    collectionsizes::perItem(state, double(bench.list->numberOfRows()));
}
BENCHMARK(SourceListFill)->Apply(sizes);

// An item added at the end of the first group (the list reloads that group's children), and the redraw; taking it
// away is not timed.
void SourceListAddItem(benchmark::State& state)
{
    BenchList bench(state.range(0));
    auto group = bench.items->root->childAtIndex(0);
    long made = 0;
    for (auto _ : state) {
        auto item = BenchItems::makeItem(99, made++);
        group->addChild(item);
        bench.list->reloadItem(SourceListBenchValue(group), true);
        bench.window->displayIfNeeded();
        state.PauseTiming();
        group->removeChild(item.get());
        bench.list->reloadItem(SourceListBenchValue(group), true);
        bench.window->displayIfNeeded();
        state.ResumeTiming();
    }
}
BENCHMARK(SourceListAddItem)->Apply(sizes);

// The first item of the first group removed, and the redraw; putting it back is not timed.
void SourceListRemoveItem(benchmark::State& state)
{
    BenchList bench(state.range(0));
    auto group = bench.items->root->childAtIndex(0);
    for (auto _ : state) {
        auto item = group->childAtIndex(0);
        group->removeChildAtIndex(0);
        bench.list->reloadItem(SourceListBenchValue(group), true);
        bench.window->displayIfNeeded();
        state.PauseTiming();
        group->insertChild(item, 0);
        bench.list->reloadItem(SourceListBenchValue(group), true);
        bench.window->displayIfNeeded();
        state.ResumeTiming();
    }
}
BENCHMARK(SourceListRemoveItem)->Apply(sizes);

// A click on the third row and then on the fifth (both items of the first group).
void SourceListClick(benchmark::State& state)
{
    BenchList bench(state.range(0));
    const auto third = bench.pointOfRow(2), fifth = bench.pointOfRow(4);
    for (auto _ : state) {
        bench.backend->click(*bench.window, third);
        bench.backend->dispatchEvents();
        bench.window->displayIfNeeded();
        bench.backend->click(*bench.window, fifth);
        bench.backend->dispatchEvents();
        bench.window->displayIfNeeded();
    }
}
BENCHMARK(SourceListClick)->Apply(sizes);

// The Down key moving the selection one row on (back to the second row after 60), with the scroll that keeps it in
// sight.
void SourceListKeyDown(benchmark::State& state)
{
    BenchList bench(state.range(0));
    const fnd::String down(std::u16string(1, ui::FunctionKey::DownArrow));
    bench.list->selectRowIndexes(fnd::IndexSet(1), false);
    for (auto _ : state) {
        if (bench.list->selectedRow() >= 60) {
            state.PauseTiming();
            bench.list->selectRowIndexes(fnd::IndexSet(1), false);
            bench.list->scrollRowToVisible(0);
            bench.window->displayIfNeeded();
            state.ResumeTiming();
        }
        bench.backend->keyDown(*bench.window, down, ui::KeyCode::DownArrow);
        bench.backend->keyUp(*bench.window, down, ui::KeyCode::DownArrow);
        bench.backend->dispatchEvents();
        bench.window->displayIfNeeded();
    }
}
BENCHMARK(SourceListKeyDown)->Apply(sizes);

// Scrolling down by a page and drawing what the scroll view shows.
void SourceListPageScroll(benchmark::State& state)
{
    BenchList bench(state.range(0));
    auto clip = bench.scrollView->contentView();
    auto bitmap = bench.scrollView->bitmapImageRepForCachingDisplayInRect(bench.scrollView->bounds());
    const double page = clip->bounds().height();
    const double end = bench.list->frame().height() - page;
    double y = 0;
    bench.items->asked = 0;
    for (auto _ : state) {
        y = y + page > end ? 0 : y + page;
        clip->scrollToPoint({ 0, y });
        bench.scrollView->cacheDisplayInRect(bench.scrollView->bounds(), *bitmap);
    }
    state.counters["rows drawn"] = benchmark::Counter(double(bench.items->asked), benchmark::Counter::kAvgIterations);
}
BENCHMARK(SourceListPageScroll)->Apply(sizes);

// The row under a click in the middle of the list, and its item.
void SourceListHitTest(benchmark::State& state)
{
    BenchList bench(state.range(0));
    const auto rect = bench.list->frameOfCellAtColumn(0, bench.list->numberOfRows() / 2);
    const gfx::Point point { rect.midX(), rect.midY() };
    for (auto _ : state) {
        const long row = bench.list->rowAtPoint(point);
        benchmark::DoNotOptimize(bench.list->itemAtRow(row));
    }
}
BENCHMARK(SourceListHitTest)->Apply(sizes);

}
