// Data-entry trees in two shapes: groups of 100 entries under one root, and a chain, each entry the only sub-entry of
// the one above (the deepest a tree of that size can be). Copying, listing flat with a predicate and freeing walk the
// tree with stacks of their own, in time linear in its size whatever its depth. About 1,000 entries is a large tree
// for the barcode engine; 10,000 and 100,000 are ten and a hundred times that.
#include "barcodes/TBQDataEntry.h"

#include <benchmark/benchmark.h>

namespace {

using EntryPtr = TBQDataEntry::EntryPtr;

enum class Shape { Groups, Chain };
constexpr int DataEntryGroupSize = 100;

// Built from the bottom up, so no insertion searches the tree.
EntryPtr makeDataEntryTree(int entries, Shape shape)
{
    if (shape == Shape::Chain) {
        EntryPtr top = fnd::makeObject<TBQDataEntry>();
        for (int i = 1; i < entries; ++i) {
            auto above = fnd::makeObject<TBQDataEntry>();
            above->setLabelColorType(i % 8);
            above->addObject(top);
            top = above;
        }
        return top;
    }
    auto root = fnd::makeObject<TBQDataEntry>();
    for (int start = 0; start < entries; start += DataEntryGroupSize) {
        auto group = fnd::makeObject<TBQDataGroupEntry>();
        for (int i = start; i < std::min(entries, start + DataEntryGroupSize); ++i) {
            auto entry = fnd::makeObject<TBQDataEntry>();
            entry->setLabelColorType(i % 8);
            group->addObject(entry);
        }
        root->addObject(group);
    }
    return root;
}

Shape dataEntryShape(const benchmark::State& state)
{
    return state.range(1) ? Shape::Chain : Shape::Groups;
}

void dataEntryTreeCopy(benchmark::State& state)
{
    auto root = makeDataEntryTree(int(state.range(0)), dataEntryShape(state));
    for (auto _ : state) {
        auto copy = root->copy();
        benchmark::DoNotOptimize(copy.get());
        state.PauseTiming();
        copy.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void dataEntryTreeFlatten(benchmark::State& state)
{
    auto root = makeDataEntryTree(int(state.range(0)), dataEntryShape(state));
    std::size_t found = 0;
    for (auto _ : state) {
        auto flat = root->filteredFlatObjectTreeWithPredicate(
            [](const TBQDataEntry& e) { return e.labelColorType() % 2 == 0; }, TBQDataEntry::staticClassInfo());
        found = flat.size();
        benchmark::DoNotOptimize(flat.data());
    }
    state.counters["found"] = double(found);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void dataEntryTreeFree(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto root = makeDataEntryTree(int(state.range(0)), dataEntryShape(state));
        state.ResumeTiming();
        root.reset();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Entries, then shape (0 groups, 1 chain).
void dataEntryTreeSizes(benchmark::internal::Benchmark* b)
{
    b->ArgNames({ "entries", "chain" });
    for (int chain : { 0, 1 })
        for (int entries : { 1'000, 10'000, 100'000 })
            b->Args({ entries, chain });
    b->Unit(benchmark::kMicrosecond);
}

}

BENCHMARK(dataEntryTreeCopy)->Name("DataEntryTree/Copy")->Apply(dataEntryTreeSizes);
BENCHMARK(dataEntryTreeFlatten)->Name("DataEntryTree/Flatten")->Apply(dataEntryTreeSizes);
BENCHMARK(dataEntryTreeFree)->Name("DataEntryTree/Free")->Apply(dataEntryTreeSizes);
