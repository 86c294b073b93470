// Proportional adjusting of a split view when its window is resized: every pass scales, pins and rounds the panes.
#include "frameworks/proportional-split-view/KJSplitView.h"

#include <benchmark/benchmark.h>

static void BM_SplitViewResize(benchmark::State& state)
{
    auto panes = static_cast<int>(state.range(0));
    auto split = KJSplitView::create({ 0, 0, 1000, 600 });
    split->setDividerThickness(1);
    for (int i = 0; i < panes; ++i) {
        auto pane = KJSplitSubview::create({ 0, 0, 100, 600 });
        pane->setMinDimension(i % 3 == 0 ? 40 : 5, i % 4 == 0 ? 200 : 0);
        pane->setCanCollapse(i % 2 == 0);
        split->addSubview(pane);
    }
    split->adjustSubviews();
    double width = 1000;
    for (auto _ : state) {
        width = width >= 1500 ? 700 : width + 37;
        split->setFrame({ 0, 0, width, 600 });
        benchmark::DoNotOptimize(split->dividerRects().data());
    }
}
BENCHMARK(BM_SplitViewResize)->Arg(3)->Arg(12)->Arg(48);
