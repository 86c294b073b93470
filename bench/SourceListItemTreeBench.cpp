// Source list items as a tree on their own: building a tree of groups of 100 items with the silent forms (each
// insertion checks that the item is no ancestor of its new parent), listing it flat with a predicate, and freeing it.
// A typical source list holds about 1,000 items; 10,000 and 100,000 are ten and a hundred times that.
#include "frameworks/ZORAppKit/source-list/ZOROutlineSourceListItem.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using Item = ZOROutlineSourceListItem;

constexpr int GroupSize = 100;

Item::Ptr makeTree(int items)
{
    auto root = Item::create();
    Item::Ptr group;
    for (int i = 0; i < items; ++i) {
        if (i % GroupSize == 0) {
            group = Item::create();
            root->silentAddChild(group);
        }
        auto item = Item::create();
        item->setBadgeValue(i);
        group->silentAddChild(item);
    }
    return root;
}

void sourceListItemTreeBuild(benchmark::State& state)
{
    for (auto _ : state) {
        auto root = makeTree(int(state.range(0)));
        benchmark::DoNotOptimize(root.get());
        state.PauseTiming();
        root.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void sourceListItemTreeFlatten(benchmark::State& state)
{
    auto root = makeTree(int(state.range(0)));
    std::size_t found = 0;
    for (auto _ : state) {
        auto flat = root->filteredFlatObjectTreeWithPredicate(
            [](const Item& item) { return item.badgeValue() % 2 == 0; }, Item::staticClassInfo());
        found = flat.size();
        benchmark::DoNotOptimize(flat.data());
    }
    state.counters["found"] = double(found);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void sourceListItemTreeFree(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto root = makeTree(int(state.range(0)));
        state.ResumeTiming();
        root.reset();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

}

BENCHMARK(sourceListItemTreeBuild)
    ->Name("SourceListItemTree/Build")
    ->Arg(1'000)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(sourceListItemTreeFlatten)
    ->Name("SourceListItemTree/Flatten")
    ->Arg(1'000)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(sourceListItemTreeFree)
    ->Name("SourceListItemTree/Free")
    ->Arg(1'000)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMicrosecond);
