// Source list items as a tree on their own: building a tree of groups of 100 items with the silent forms (each
// insertion checks that the item is no ancestor of its new parent), listing it flat with a predicate, and freeing it.
// Two more shapes measure the check that an added item does not hold its new parent below itself: a chain built from
// the bottom, each item added to a new parent holding it all, and a group of 100 moved into a sibling group and back.
// A chain built from the top with the reporting form measures the root's delegate lookup on each add, with and
// without a delegate on the root (each add also posts its notification, which nobody observes here).
// The minimum cover of a selection of every item in the groups (a drag of everything) comes last.
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

void sourceListItemTreeBuildChainFromBottom(benchmark::State& state)
{
    for (auto _ : state) {
        auto top = Item::create();
        for (int i = 1; i < state.range(0); ++i) {
            auto above = Item::create();
            above->silentAddChild(top);
            top = std::move(above);
        }
        benchmark::DoNotOptimize(top.get());
        state.PauseTiming();
        top.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Each new item added below the one added last, with addChild: the check that it is no ancestor of its new parent,
// and the lookup of the root's delegate, both at the foot of an ever deeper chain.
class SourceListItemTreeChainDelegate : public ZOROutlineSourceListItemDelegate {
public:
    void outlineSourceListItemDidAddEntry(Item&, Item&, fnd::Index) override { ++added; }
    std::int64_t added { 0 };
};

void sourceListItemTreeBuildChainFromTop(benchmark::State& state)
{
    const bool withDelegate = state.range(1) != 0;
    auto delegate = std::make_shared<SourceListItemTreeChainDelegate>();
    for (auto _ : state) {
        auto root = Item::create();
        if (withDelegate)
            root->setDelegate(delegate);
        auto foot = root;
        for (int i = 1; i < state.range(0); ++i) {
            auto below = Item::create();
            foot->addChild(below);
            foot = std::move(below);
        }
        benchmark::DoNotOptimize(foot.get());
        state.PauseTiming();
        foot.reset();
        root.reset();
        state.ResumeTiming();
    }
    state.counters["told"] = benchmark::Counter(double(delegate->added), benchmark::Counter::kAvgIterations);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void sourceListItemTreeMoveGroup(benchmark::State& state)
{
    auto root = makeTree(int(state.range(0)));
    auto moved = root->childAtIndex(0);
    auto sibling = root->childAtIndex(root->countOfChildren() - 1);
    for (auto _ : state) {
        root->removeChild(moved.get());
        sibling->silentAddChild(moved);
        sibling->removeChild(moved.get());
        root->silentInsertChild(moved, 0);
    }
    state.SetItemsProcessed(state.iterations() * 2);
}

void sourceListItemTreeCoverSelection(benchmark::State& state)
{
    auto root = makeTree(int(state.range(0)));
    std::vector<Item::Ptr> selection;
    for (const auto& group : *root->children())
        selection.insert(selection.end(), group->children()->begin(), group->children()->end());
    std::size_t kept = 0;
    for (auto _ : state) {
        auto cover = Item::minimumNodeCoverFromNodesInArray(selection);
        kept = cover.size();
        benchmark::DoNotOptimize(cover.data());
    }
    state.counters["kept"] = double(kept);
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
BENCHMARK(sourceListItemTreeBuildChainFromBottom)
    ->Name("SourceListItemTree/BuildChainFromBottom")
    ->Arg(1'000)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(sourceListItemTreeBuildChainFromTop)
    ->Name("SourceListItemTree/BuildChainFromTop")
    ->ArgNames({ "depth", "delegate" })
    ->ArgsProduct({ { 1'000, 10'000, 100'000 }, { 0, 1 } })
    ->Unit(benchmark::kMillisecond);
BENCHMARK(sourceListItemTreeMoveGroup)
    ->Name("SourceListItemTree/MoveGroup")
    ->Arg(1'000)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(sourceListItemTreeCoverSelection)
    ->Name("SourceListItemTree/CoverSelection")
    ->Arg(1'000)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMicrosecond);
