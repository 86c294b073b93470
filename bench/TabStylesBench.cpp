// One window redraw of a bar of eight tabs (the middle one selected) in each of the seven tab bar styles: the bar's
// strip, the bezels and every tab's contents, as the headless backend renders a window.
#include "frameworks/QFTabBarView/QFTabBarView.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/ui/containers/TabView.h"
#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/views/Window.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

void BM_RedrawOfABarOfEightTabs(benchmark::State& state, const char* style)
{
    auto backend = ui::HeadlessBackend::install();
    auto window = ui::Window::create({ { 0, 0 }, { 1100, 60 } });
    auto tabView = ui::TabView::create({ 0, 0, 1100, 38 });
    auto bar = QFTabBarView::create({ 0, 38, 1100, 22 });
    window->contentView()->addSubview(tabView);
    window->contentView()->addSubview(bar);
    bar->setTabView(tabView);
    bar->setStyleNamed(style);
    for (int i = 0; i < 8; ++i) {
        auto item = ui::TabViewItem::create();
        item->setLabel(fnd::String("Tab " + std::to_string(i)));
        tabView->addTabViewItem(item);
    }
    tabView->selectTabViewItemAtIndex(4);
    bar->update(false);
    window->makeKeyAndOrderFront();
    for (auto _ : state)
        benchmark::DoNotOptimize(backend->imageOfWindow(*window));
    window->close();
    ui::Backend::install(nullptr);
}

}

BENCHMARK_CAPTURE(BM_RedrawOfABarOfEightTabs, Metal, "Metal")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RedrawOfABarOfEightTabs, Aqua, "Aqua")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RedrawOfABarOfEightTabs, Unified, "Unified")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RedrawOfABarOfEightTabs, Capsule, "Capsule")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RedrawOfABarOfEightTabs, Card, "Card")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RedrawOfABarOfEightTabs, Lively, "Lively")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RedrawOfABarOfEightTabs, Slate, "Slate")->Unit(benchmark::kMicrosecond);
