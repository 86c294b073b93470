// A scope bar of 3 groups of 5 items (a typical search scope: where, what kind, when), grown to ten and a hundred
// times as many groups of 5, and to 3 groups of ten and a hundred times as many items. The bar is 800 points wide,
// so the larger bars collapse groups and peel items into the overflow menu, as a narrow window does.
//
// Filling (reading every item and laying the bar out), one step of a window resize (the layout at the next width),
// a click choosing an item, the hover that finds the item under the pointer, drawing the bar, and adding and
// removing a group.
#include "bench/CollectionSizes.h"

#include "frameworks/KRScoreBar/KRScopeBar.h"
#include "frameworks/KRScoreBar/KRScopeBarGroup.h"
#include "frameworks/KRScoreBar/KRScopeBarGroupHelper.h"

#include "platform/graphics/BitmapImageRep.h"
#include "platform/ui/controls/PopUpButtonCell.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/views/Event.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

constexpr long KRScoreBarBenchTypicalGroups = 3;
constexpr long KRScoreBarBenchTypicalItems = 5;

class KRScoreBarBenchSource : public fnd::Object, public KRScopeBarDataSource {
public:
    KRScoreBarBenchSource(long groups, long items)
        : m_items(items)
    {
        const char* words[] = { "All", "Documents", "Pictures", "Music", "Movies", "Mail", "Contacts", "Events",
            "Presentations", "Spreadsheets" };
        for (long group = 0; group < groups; ++group)
            for (long item = 0; item < items; ++item)
                titles.push_back(fnd::String(std::string(words[item % 10]) + " " + std::to_string(group)));
    }
    std::uint64_t scopeBarNumberOfObjectsInScopeBarGroup(KRScopeBar&, std::uint64_t group) override
    {
        return group * std::uint64_t(m_items) < titles.size() ? std::uint64_t(m_items) : 0;
    }
    fnd::Value scopeBarValueForObjectInGroup(KRScopeBar&, std::uint64_t group, std::uint64_t index) override
    {
        return fnd::Value(titles[group * std::uint64_t(m_items) + index]);
    }
    std::vector<fnd::String> titles;

private:
    long m_items;
};

std::shared_ptr<KRScopeBarGroup> KRScoreBarBenchGroup(long group)
{
    auto g = KRScopeBarGroup::create(fnd::String("g" + std::to_string(group)),
        group % 2 ? KRScopeBarGroupSelectionStyleMultiple : KRScopeBarGroupSelectionStyleRadio);
    g->setLabel(fnd::String("Group " + std::to_string(group) + ":"));
    return g;
}

struct KRScoreBarBenchSetup {
    std::shared_ptr<KRScoreBarBenchSource> source;
    std::shared_ptr<KRScopeBar> bar;

    KRScoreBarBenchSetup(long groups, long items)
        : source(std::make_shared<KRScoreBarBenchSource>(groups + 1, items))
    {
        bar = KRScopeBar::create({ 0, 0, 800, 30 });
        bar->setDataSource(source);
        for (long group = 0; group < groups; ++group)
            bar->addGroup(KRScoreBarBenchGroup(group));
        bar->reloadData();
        bar->calcSize();
    }
    std::size_t overflowItems() const
    {
        auto cell = bar->overflowPullDownCell();
        return cell && cell->menu() ? std::size_t(cell->menu()->numberOfItems() - 1) : 0;
    }
};

// (groups, items per group): more groups of the typical size, then more items in the typical number of groups.
void sizes(benchmark::internal::Benchmark* b)
{
    for (long factor : { 1, 10, 100 })
        collectionsizes::args(b, { KRScoreBarBenchTypicalGroups * factor, KRScoreBarBenchTypicalItems });
    for (long factor : { 10, 100 })
        collectionsizes::args(b, { KRScoreBarBenchTypicalGroups, KRScoreBarBenchTypicalItems * factor });
    b->ArgNames({ "groups", "items", "a11y" })->Unit(benchmark::kMicrosecond);
}

long itemsOf(const benchmark::State& state)
{
    return state.range(0) * state.range(1);
}

// Reading every item and the first layout.
void KRScoreBarFill(benchmark::State& state)
{
    for (auto _ : state) {
        KRScoreBarBenchSetup setup(state.range(0), state.range(1));
        benchmark::DoNotOptimize(setup.bar->overflowPullDownRect());
    }
    collectionsizes::perItem(state, double(itemsOf(state)));
}
BENCHMARK(KRScoreBarFill)->Apply(sizes);

// A window resize: the layout at each of 20 widths from 800 down to 420 points and back.
void KRScoreBarRelayout(benchmark::State& state)
{
    KRScoreBarBenchSetup setup(state.range(0), state.range(1));
    std::vector<double> widths;
    for (int i = 0; i < 20; ++i)
        widths.push_back(800 - i * 20.0);
    for (int i = 19; i >= 0; --i)
        widths.push_back(800 - i * 20.0);
    std::size_t next = 0;
    for (auto _ : state) {
        setup.bar->setFrameSize({ widths[next], 30 });
        next = (next + 1) % widths.size();
        setup.bar->calcSize();
    }
    setup.bar->setFrameSize({ 800, 30 });
    setup.bar->calcSize();
    state.counters["overflow_items"] = double(setup.overflowItems());
}
BENCHMARK(KRScoreBarRelayout)->Apply(sizes);

// A click choosing the second item of the first group and then the first, each followed by the layout.
void KRScoreBarSelect(benchmark::State& state)
{
    KRScoreBarBenchSetup setup(state.range(0), state.range(1));
    auto group = setup.bar->groupAtIndex(0);
    for (auto _ : state) {
        group->didClickObject(1);
        setup.bar->calcSize();
        group->didClickObject(0);
        setup.bar->calcSize();
    }
}
BENCHMARK(KRScoreBarSelect)->Apply(sizes);

// The pointer entering the first group (its second item, or its pop-up when the layout collapsed it): the bar
// finds the group and the item under it.
void KRScoreBarHover(benchmark::State& state)
{
    KRScoreBarBenchSetup setup(state.range(0), state.range(1));
    const auto& helper = setup.bar->groupHelpers().front();
    const auto rect = helper->buttonRects().size() >= 2 ? helper->buttonRects()[1] : helper->buttonRect();
    auto event = ui::Event::enterExitEventWithType(
        ui::EventType::MouseEntered, gfx::Point { rect.midX(), rect.midY() }, 0, 0, 0, 0, 0, {});
    for (auto _ : state) {
        setup.bar->mouseEntered(*event);
        if (!helper->trackingCell()) {
            state.SkipWithError("the pointer found no item");
            break;
        }
        setup.bar->mouseExited(*event);
    }
}
BENCHMARK(KRScoreBarHover)->Apply(sizes);

void KRScoreBarDraw(benchmark::State& state)
{
    KRScoreBarBenchSetup setup(state.range(0), state.range(1));
    const auto bounds = setup.bar->bounds();
    auto bitmap = setup.bar->bitmapImageRepForCachingDisplayInRect(bounds);
    for (auto _ : state)
        setup.bar->cacheDisplayInRect(bounds, *bitmap);
}
BENCHMARK(KRScoreBarDraw)->Apply(sizes);

// Adding a group at the end and the layout that follows; removing it is not timed.
void KRScoreBarAddGroup(benchmark::State& state)
{
    KRScoreBarBenchSetup setup(state.range(0), state.range(1));
    const long index = state.range(0);
    for (auto _ : state) {
        auto group = KRScoreBarBenchGroup(index);
        setup.bar->addGroup(group);
        setup.bar->reloadDataForGroup(std::uint64_t(index));
        setup.bar->calcSize();
        state.PauseTiming();
        setup.bar->removeGroup(group);
        setup.bar->calcSize();
        state.ResumeTiming();
    }
}
BENCHMARK(KRScoreBarAddGroup)->Apply(sizes);

// Removing the last group and the layout that follows; putting it back is not timed.
void KRScoreBarRemoveGroup(benchmark::State& state)
{
    KRScoreBarBenchSetup setup(state.range(0), state.range(1));
    const auto index = std::uint64_t(state.range(0) - 1);
    for (auto _ : state) {
        auto group = setup.bar->groupAtIndex(index);
        setup.bar->removeGroupAtIndex(index);
        setup.bar->calcSize();
        state.PauseTiming();
        setup.bar->addGroup(group);
        setup.bar->reloadDataForGroup(index);
        setup.bar->calcSize();
        state.ResumeTiming();
    }
}
BENCHMARK(KRScoreBarRemoveGroup)->Apply(sizes);

}
