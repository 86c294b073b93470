#pragma once

// Every collection benchmark runs at a typical size, at ten times it and at a hundred times it. An operation on one
// item should cost the same at all three sizes (or a little more: a binary search, a cache that no longer fits); a
// pass over every item should cost the same per item. A time per item that rises with the size is a cost that grows
// faster than the work, which a person meets as a frozen window once their data outgrows the tests.

#include <benchmark/benchmark.h>

#include <cstddef>

namespace collectionsizes {

// The three sizes as the benchmark's first argument.
inline void threeSizes(benchmark::internal::Benchmark* b, long typical)
{
    b->Arg(typical)->Arg(typical * 10)->Arg(typical * 100);
}

// The three sizes, each with every value of a second argument.
inline void threeSizes(benchmark::internal::Benchmark* b, long typical, std::initializer_list<long> second)
{
    for (long size : { typical, typical * 10, typical * 100 })
        for (long value : second)
            b->Args({ size, value });
}

// Reports the time per item of a pass that handles `items` items per iteration ("per_item", in seconds).
inline void perItem(benchmark::State& state, double items)
{
    state.counters["per_item"]
        = benchmark::Counter(items, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}

namespace collectionsizes {

// Which items a removal case takes out of a collection of n: the first half, the second half or every second one
// (the odd indexes). A removal of k items should cost O(n + k log n) at most: a cost per item removed that rises
// with n is a removal that searches or shifts the whole collection for each item.
enum Removal : long { FrontHalf = 0, BackHalf = 1, EverySecond = 2 };

inline bool isRemoved(long removal, std::size_t index, std::size_t count)
{
    switch (removal) {
    case FrontHalf:
        return index < count / 2;
    case BackHalf:
        return index >= count / 2;
    default:
        return index % 2 == 1;
    }
}

// The three sizes, each with the three removals.
inline void threeSizesRemovals(benchmark::internal::Benchmark* b, long typical)
{
    threeSizes(b, typical, { FrontHalf, BackHalf, EverySecond });
}

}
