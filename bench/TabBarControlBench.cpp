// A tab bar control with 500 tabs: one layout pass over all of them, and one tick of the placeholder gap animation
// while a tab is dragged across the bar.
#include "frameworks/ZTBTabBarControl/ZTBTabBarCell.h"
#include "frameworks/ZTBTabBarControl/ZTBTabBarControl.h"
#include "frameworks/ZTBTabBarControl/ZTBTabDragAssistant.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/ui/containers/TabView.h"
#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/views/Window.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

struct TabBarControlBenchSetup {
    std::shared_ptr<ui::HeadlessBackend> backend = ui::HeadlessBackend::install();
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::TabView> tabView;
    std::shared_ptr<ZTBTabBarControl> bar;

    explicit TabBarControlBenchSetup(int tabs)
    {
        // Wide enough for every tab at its optimum width, so all 500 are laid out in the bar.
        const double width = tabs * 130.0 + 100;
        window = ui::Window::create({ { 0, 0 }, { width, 200 } });
        tabView = ui::TabView::create({ 0, 0, width, 178 });
        bar = ZTBTabBarControl::create({ 0, 178, width, 22 });
        window->contentView()->addSubview(tabView);
        window->contentView()->addSubview(bar);
        bar->setTabView(tabView);
        tabView->setDelegate(bar);
        for (int i = 0; i < tabs; ++i) {
            auto item = ui::TabViewItem::create();
            item->setLabel(fnd::String("Tab " + std::to_string(i)));
            tabView->addTabViewItem(item);
        }
        bar->update(false);
    }
    ~TabBarControlBenchSetup()
    {
        ZTBTabDragAssistant::sharedDragAssistant()->finishDrag();
        tabView->setDelegate(nullptr);
        window->close();
        ui::Backend::install(nullptr);
    }
};

void BM_ControlLayoutOf500Tabs(benchmark::State& state)
{
    TabBarControlBenchSetup setup(500);
    for (auto _ : state)
        setup.bar->controller().layoutCells();
    state.counters["visible"] = double(setup.bar->numberOfVisibleTabs());
}
BENCHMARK(BM_ControlLayoutOf500Tabs)->Unit(benchmark::kMicrosecond);

void BM_OneGapTickAcross500Tabs(benchmark::State& state)
{
    TabBarControlBenchSetup setup(500);
    auto assistant = ZTBTabDragAssistant::sharedDragAssistant();
    assistant->startDraggingCell(setup.bar->cells()[10], setup.bar, nullptr, false);
    double x = 20;
    for (auto _ : state) {
        // The pointer moves along the bar, so gaps keep opening and closing.
        x = x > 60000 ? 20 : x + 97;
        assistant->draggingUpdatedInTabBar(setup.bar, { x, 10 });
        assistant->animateDrag();
    }
    state.counters["cells"] = double(setup.bar->cells().size());
}
BENCHMARK(BM_OneGapTickAcross500Tabs)->Unit(benchmark::kMicrosecond);

}
