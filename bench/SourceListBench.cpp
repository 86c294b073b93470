// A source list of 100,000 items in 100 groups: expanding every group, and scrolling down by a page and drawing
// what the scroll view shows (rows with text and a badge on every third item). "rows drawn" counts the titles asked
// for per frame.
#include "frameworks/ZORAppKit/source-list/ZOROutlineSourceList.h"
#include "frameworks/ZORAppKit/source-list/ZOROutlineSourceListItem.h"

#include "platform/graphics/BitmapImageRep.h"
#include "platform/ui/containers/ClipView.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/tables/TableColumn.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using Item = ZOROutlineSourceListItem;

class BenchItems : public fnd::Object, public ZOROutlineSourceListDataSource {
public:
    BenchItems()
    {
        for (int g = 0; g < 100; ++g) {
            auto group = Item::create(fnd::String("Group " + std::to_string(g)));
            for (int i = 0; i < 1000; ++i) {
                auto item = Item::create(fnd::String("Item " + std::to_string(g) + "." + std::to_string(i)));
                if (i % 3 == 0)
                    item->setBadgeValue(i);
                group->silentAddChild(item);
            }
            root->silentAddChild(group);
        }
    }
    Item::Ptr of(const fnd::Value& v) const { return v.isNil() ? root : v.objectAs<Item>(); }
    fnd::Index sourceListNumberOfChildrenOfItem(ZOROutlineSourceList&, const fnd::Value& item) override
    {
        return of(item)->countOfChildren();
    }
    fnd::Value sourceListChildOfItem(ZOROutlineSourceList&, fnd::Index index, const fnd::Value& item) override
    {
        return fnd::Value(std::static_pointer_cast<fnd::Object>(of(item)->childAtIndex(index)));
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
    BenchList()
    {
        scrollView = ui::ScrollView::create({ 0, 0, 240, 600 });
        scrollView->setHasVerticalScroller(true);
        list = ZOROutlineSourceList::create({ 0, 0, 225, 600 });
        auto column = ui::TableColumn::create("title");
        column->setWidth(220);
        list->addTableColumn(column);
        list->setOutlineTableColumn(column);
        list->setHeaderView(nullptr);
        scrollView->setDocumentView(list);
        list->setDataSource(items);
    }
    void expandAll()
    {
        for (fnd::Index g = 0; g < items->root->countOfChildren(); ++g)
            list->expandItem(fnd::Value(std::static_pointer_cast<fnd::Object>(items->root->childAtIndex(g))));
    }
    std::shared_ptr<BenchItems> items = std::make_shared<BenchItems>();
    std::shared_ptr<ui::ScrollView> scrollView;
    std::shared_ptr<ZOROutlineSourceList> list;
};

void sourceListExpandAll(benchmark::State& state)
{
    BenchList bench;
    for (auto _ : state) {
        state.PauseTiming();
        for (fnd::Index g = 0; g < bench.items->root->countOfChildren(); ++g)
            bench.list->collapseItem(
                fnd::Value(std::static_pointer_cast<fnd::Object>(bench.items->root->childAtIndex(g))));
        state.ResumeTiming();
        bench.expandAll();
    }
    state.counters["rows"] = double(bench.list->numberOfRows());
}

void sourceListPageScroll(benchmark::State& state)
{
    BenchList bench;
    bench.expandAll();
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

}

BENCHMARK(sourceListExpandAll)->Name("SourceListExpandAll/100000")->Unit(benchmark::kMillisecond);
BENCHMARK(sourceListPageScroll)->Name("SourceListPageScroll/100000")->Unit(benchmark::kMillisecond);
