// A tab bar view with 500 tabs: one layout pass over all of them, and one step of a tab dragged across the bar (the
// destination under the pointer and the layout that opens the gap there).
#include "frameworks/QFTabBarView/QFAttachedTabBarButton.h"
#include "frameworks/QFTabBarView/QFTabBarView.h"
#include "frameworks/QFTabBarView/QFTabDragAssistant.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/ui/containers/TabView.h"
#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/views/Window.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

struct TabBarBenchSetup {
    std::shared_ptr<ui::HeadlessBackend> backend = ui::HeadlessBackend::install();
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::TabView> tabView;
    std::shared_ptr<QFTabBarView> bar;

    explicit TabBarBenchSetup(int tabs)
    {
        // Wide enough for every tab at its minimum width, so all 500 have buttons.
        const double width = tabs * 100.0 + 40;
        window = ui::Window::create({ { 0, 0 }, { width, 200 } });
        tabView = ui::TabView::create({ 0, 0, width, 178 });
        bar = QFTabBarView::create({ 0, 178, width, 22 });
        window->contentView()->addSubview(tabView);
        window->contentView()->addSubview(bar);
        bar->setTabView(tabView);
        for (int i = 0; i < tabs; ++i) {
            auto item = ui::TabViewItem::create();
            item->setLabel(fnd::String("Tab " + std::to_string(i)));
            tabView->addTabViewItem(item);
        }
        bar->update(false);
    }
    ~TabBarBenchSetup()
    {
        window->close();
        ui::Backend::install(nullptr);
    }
};

void BM_LayoutOf500Tabs(benchmark::State& state)
{
    TabBarBenchSetup setup(500);
    for (auto _ : state)
        setup.bar->layoutButtons();
    state.counters["buttons"] = double(setup.bar->numberOfAttachedButtons());
}
BENCHMARK(BM_LayoutOf500Tabs)->Unit(benchmark::kMicrosecond);

void BM_OneDragStepAcross500Tabs(benchmark::State& state)
{
    TabBarBenchSetup setup(500);
    auto assistant = QFTabDragAssistant::sharedDragAssistant();
    auto dragged = setup.bar->orderedAttachedButtons().front();
    double x = 150;
    for (auto _ : state) {
        // The pointer moves on by a tab's width, wrapping at the end of the bar.
        x = x + 100 > setup.bar->frame().width() ? 150 : x + 100;
        const long index = assistant->destinationIndexForButton(dragged.get(), { x, 11 }, *setup.bar);
        setup.bar->setDestinationIndexForDraggedItem(index);
        setup.bar->layoutButtons();
        benchmark::DoNotOptimize(index);
    }
    setup.bar->setDestinationIndexForDraggedItem(fnd::NotFound);
}
BENCHMARK(BM_OneDragStepAcross500Tabs)->Unit(benchmark::kMicrosecond);

}
