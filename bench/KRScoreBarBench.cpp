// Relayout of a scope bar of 10 groups of 10 items across 100 widths, from wide enough for everything down to a
// bar where most items live in the overflow menu. The time per layout is what a window resize costs per frame.
#include "frameworks/KRScoreBar/KRScopeBar.h"
#include "frameworks/KRScoreBar/KRScopeBarGroup.h"

#include "platform/ui/controls/PopUpButtonCell.h"
#include "platform/ui/menus/Menu.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

class KRScoreBarBenchSource : public fnd::Object, public KRScopeBarDataSource {
public:
    std::uint64_t scopeBarNumberOfObjectsInScopeBarGroup(KRScopeBar&, std::uint64_t) override { return 10; }
    fnd::Value scopeBarValueForObjectInGroup(KRScopeBar&, std::uint64_t group, std::uint64_t index) override
    {
        return fnd::Value(titles[group * 10 + index]);
    }
    std::vector<fnd::String> titles;
};

std::shared_ptr<KRScopeBar> KRScoreBarBenchBar(const std::shared_ptr<KRScoreBarBenchSource>& source)
{
    const char* words[] = { "All", "Documents", "Pictures", "Music", "Movies", "Mail", "Contacts", "Events",
        "Presentations", "Spreadsheets" };
    for (int group = 0; group < 10; ++group)
        for (int item = 0; item < 10; ++item)
            source->titles.push_back(fnd::String(std::string(words[item]) + " " + std::to_string(group)));
    auto bar = KRScopeBar::create({ 0, 0, 8000, 30 });
    bar->setDataSource(source);
    for (int group = 0; group < 10; ++group) {
        auto g = KRScopeBarGroup::create(fnd::String("g" + std::to_string(group)),
            group % 2 ? KRScopeBarGroupSelectionStyleMultiple : KRScopeBarGroupSelectionStyleRadio);
        g->setLabel(fnd::String("Group " + std::to_string(group) + ":"));
        bar->addGroup(g);
    }
    bar->reloadData();
    return bar;
}

std::size_t KRScoreBarBenchOverflowItems(KRScopeBar& bar)
{
    auto cell = bar.overflowPullDownCell();
    return cell && cell->menu() ? std::size_t(cell->menu()->numberOfItems() - 1) : 0;
}

void KRScoreBarRelayout(benchmark::State& state)
{
    auto source = std::make_shared<KRScoreBarBenchSource>();
    auto bar = KRScoreBarBenchBar(source);

    std::vector<double> widths;
    for (int i = 0; i < 100; ++i)
        widths.push_back(9000 - i * 88.0); // 9000 down to 288 points
    // The range covers every stage: all expanded, shrunk, collapsed, and items in the overflow menu.
    bar->setFrameSize({ widths.back(), 30 });
    bar->calcSize();
    state.counters["overflow_items_at_narrowest"] = double(KRScoreBarBenchOverflowItems(*bar));
    std::size_t next = 0;
    for (auto _ : state) {
        bar->setFrameSize({ widths[next], 30 });
        next = (next + 1) % widths.size();
        bar->adjustSubviews();
        bar->calcSize();
        benchmark::DoNotOptimize(bar->overflowPullDownRect());
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["us_per_layout"] = benchmark::Counter(
        double(state.iterations()) * 1e-6, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(KRScoreBarRelayout)->Unit(benchmark::kMicrosecond);

// The worst width of the range: nearly every item is peeled into the overflow menu on each layout.
void KRScoreBarRelayoutNarrowest(benchmark::State& state)
{
    auto source = std::make_shared<KRScoreBarBenchSource>();
    auto bar = KRScoreBarBenchBar(source);
    bar->setFrameSize({ 288, 30 });
    for (auto _ : state) {
        bar->adjustSubviews();
        bar->calcSize();
    }
    state.counters["overflow_items"] = double(KRScoreBarBenchOverflowItems(*bar));
}
BENCHMARK(KRScoreBarRelayoutNarrowest)->Unit(benchmark::kMicrosecond);

}
