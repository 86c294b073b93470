#pragma once

// Every collection benchmark runs at a typical size, at ten times it and at a hundred times it. An operation on one
// item should cost the same at all three sizes (or a little more: a binary search, a cache that no longer fits); a
// pass over every item should cost the same per item. A time per item that rises with the size is a cost that grows
// faster than the work, which a person meets as a frozen window once their data outgrows the tests.

//
// Each case runs twice: as it is, and with a screen reader's presence ("a11y" 1, the last argument): an observer of
// the accessibility tree that reads again what a bridge to the desktop's accessibility bus reads on each change told
// (the element's role and name, its children after a change of children, its selection after a change of
// selection). A program whose elements tell changes per item, or answer them by walking every sibling, costs a
// screen reader's user much more than anyone else; bench/gtk/AccessibilityBusBench.cpp measures the bridge itself.

#include "platform/ui/accessibility/AccessibilityElement.h"

#include <benchmark/benchmark.h>

#include <cstddef>
#include <vector>

namespace collectionsizes {

// Reads on each change what the accessibility bridge reads (see above).
class AccessibilityReader final : public ui::AccessibilityObserver {
public:
    void accessibilityNotification(ui::AccessibilityElement& element, const fnd::String& notification) override
    {
        namespace Attribute = ui::AccessibilityAttribute;
        namespace Note = ui::AccessibilityNotification;
        benchmark::DoNotOptimize(ui::accessibilityAttribute(element, Attribute::Role));
        benchmark::DoNotOptimize(ui::accessibilityAttribute(element, Attribute::Title));
        if (notification == Note::ChildrenChanged || notification == Note::RowCountChanged)
            benchmark::DoNotOptimize(ui::accessibilityUnignoredChildrenOfElement(element.accessibilityElementValue()));
        if (notification == Note::SelectedChildrenChanged)
            benchmark::DoNotOptimize(ui::accessibilityAttribute(element, Attribute::SelectedChildren));
        if (notification == Note::SelectedRowsChanged)
            benchmark::DoNotOptimize(ui::accessibilityAttribute(element, Attribute::SelectedRows));
    }
    void accessibilityElementDestroyed(const ui::AccessibilityElement*) override { }
};

inline AccessibilityReader& accessibilityReader()
{
    static AccessibilityReader reader;
    return reader;
}

// Setup and teardown of a case whose argument at the index tells whether a screen reader is present.
template <int Index> void startAccessibility(const benchmark::State& state)
{
    if (state.range(Index) != 0)
        ui::addAccessibilityObserver(&accessibilityReader());
}
inline void stopAccessibility(const benchmark::State&)
{
    ui::removeAccessibilityObserver(&accessibilityReader());
}

// Registers the arguments twice: without and with a screen reader (a last argument of 0 and 1). Up to three
// arguments.
inline void args(benchmark::internal::Benchmark* b, const std::vector<long>& arguments)
{
    for (long reader : { 0, 1 }) {
        auto all = arguments;
        all.push_back(reader);
        b->Args(all);
    }
    switch (arguments.size()) {
    case 0:
        b->Setup(startAccessibility<0>);
        break;
    case 1:
        b->Setup(startAccessibility<1>);
        break;
    case 2:
        b->Setup(startAccessibility<2>);
        break;
    default:
        b->Setup(startAccessibility<3>);
        break;
    }
    b->Teardown(stopAccessibility);
}

// The three sizes as the benchmark's first argument.
inline void threeSizes(benchmark::internal::Benchmark* b, long typical)
{
    for (long size : { typical, typical * 10, typical * 100 })
        args(b, { size });
}

// The three sizes, each with every value of a second argument.
inline void threeSizes(benchmark::internal::Benchmark* b, long typical, std::initializer_list<long> second)
{
    for (long size : { typical, typical * 10, typical * 100 })
        for (long value : second)
            args(b, { size, value });
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
