// A tab bar control with 20 tabs (a typical window of documents), 200 and 2,000, each in two bars: one wide enough
// for every tab at its optimum width, and one 1,000 points wide, where all but the first few tabs live in the
// overflow menu. What a person does with tabs: opening one, closing one, choosing one (by a click or from the
// overflow menu), moving one, the layout pass, a click's hit test, one tick of the placeholder gap animation while a
// tab is dragged across the bar, and drawing the bar.
#include "bench/TabBarBenchWindow.h"

#include "frameworks/ZTBTabBarControl/ZTBTabBarCell.h"
#include "frameworks/ZTBTabBarControl/ZTBTabBarControl.h"
#include "frameworks/ZTBTabBarControl/ZTBTabControls.h"
#include "frameworks/ZTBTabBarControl/ZTBTabDragAssistant.h"

#include "platform/ui/menus/Menu.h"

namespace {

constexpr long TabBarControlBenchTypicalTabs = 20;

using tabbarbench::fitsArgument;

struct TabBarControlBenchSetup : tabbarbench::Window<ZTBTabBarControl> {
    // fits: wide enough for every tab at its optimum width; else a 1,000-point window.
    TabBarControlBenchSetup(long tabs, bool fits)
        : Window(fits ? double(tabs) * 130.0 + 100 : 1000)
    {
        tabView->setDelegate(bar);
        fill(tabs);
        bar->update(false);
        window->layoutIfNeeded();
    }
    ~TabBarControlBenchSetup()
    {
        ZTBTabDragAssistant::sharedDragAssistant()->finishDrag();
        tabView->setDelegate(nullptr);
    }
};

void sizes(benchmark::internal::Benchmark* b)
{
    tabbarbench::sizes(b, TabBarControlBenchTypicalTabs);
}

// Filling the bar: a window restored with its tabs, added one after another to the tab view the bar serves.
void TabBarControlFill(benchmark::State& state)
{
    const long tabs = state.range(0);
    for (auto _ : state) {
        TabBarControlBenchSetup setup(tabs, fitsArgument(state));
        benchmark::DoNotOptimize(setup.bar->numberOfVisibleTabs());
    }
    collectionsizes::perItem(state, double(tabs));
}
BENCHMARK(TabBarControlFill)->Apply(sizes);

BENCHMARK(tabbarbench::addOne<TabBarControlBenchSetup>)->Name("TabBarControlAddOne")->Apply(sizes);
BENCHMARK(tabbarbench::removeOne<TabBarControlBenchSetup>)->Name("TabBarControlRemoveOne")->Apply(sizes);

// Shrinking: tabs closed one at a time (from the front, from the back, every second one) before the layout pass,
// every tab closed with its close button, and a key held to step the selection across the tabs.
void shrinkingSizes(benchmark::internal::Benchmark* b)
{
    tabbarbench::shrinkingSizes(b);
}
using tabbarbench::Closing;
BENCHMARK(tabbarbench::removeEach<TabBarControlBenchSetup, Closing::FromFront>)
    ->Name("TabBarControlRemoveEachFromFront")
    ->Apply(shrinkingSizes);
BENCHMARK(tabbarbench::removeEach<TabBarControlBenchSetup, Closing::FromBack>)
    ->Name("TabBarControlRemoveEachFromBack")
    ->Apply(shrinkingSizes);
BENCHMARK(tabbarbench::removeEach<TabBarControlBenchSetup, Closing::EverySecond>)
    ->Name("TabBarControlRemoveEverySecond")
    ->Apply(shrinkingSizes);

// Every tab closed by its close button, from the first (as an option-click closes all the others), each close
// selecting the next tab.
void TabBarControlCloseAll(benchmark::State& state)
{
    tabbarbench::timeClosingOnFreshBars<TabBarControlBenchSetup>(state, [](TabBarControlBenchSetup& setup) {
        setup.bar->setCanCloseOnlyTab(true);
        for (const auto& cell : std::vector(setup.bar->cells()))
            setup.bar->closeTabClick(*cell);
    });
}
BENCHMARK(TabBarControlCloseAll)->Apply(shrinkingSizes);

BENCHMARK(tabbarbench::selectAcross<TabBarControlBenchSetup>)->Name("TabBarControlSelectAcross")->Apply([](auto* b) {
    tabbarbench::shrinkingSizes(b);
    b->Unit(benchmark::kMicrosecond);
});

// Choosing the first tab and then the third by clicking their cells.
void TabBarControlSelect(benchmark::State& state)
{
    TabBarControlBenchSetup setup(state.range(0), fitsArgument(state));
    auto first = setup.bar->cells()[0], third = setup.bar->cells()[2];
    for (auto _ : state) {
        setup.bar->tabClick(*first);
        setup.window->layoutIfNeeded();
        setup.bar->tabClick(*third);
        setup.window->layoutIfNeeded();
    }
}
BENCHMARK(TabBarControlSelect)->Apply(sizes);

// Choosing the last tab from the overflow menu, then the first tab.
void TabBarControlSelectFromOverflowMenu(benchmark::State& state)
{
    TabBarControlBenchSetup setup(state.range(0), false);
    auto first = setup.bar->cells()[0];
    auto menu = setup.bar->controller().overflowMenu();
    if (!menu) {
        state.SkipWithError("no overflow menu");
        return;
    }
    for (auto _ : state) {
        auto current = setup.bar->controller().overflowMenu();
        setup.bar->overflowMenuAction(*current->itemAtIndex(current->numberOfItems() - 1));
        setup.window->layoutIfNeeded();
        setup.bar->tabClick(*first);
        setup.window->layoutIfNeeded();
    }
    state.counters["menu_items"] = double(menu->numberOfItems());
}
BENCHMARK(TabBarControlSelectFromOverflowMenu)
    ->Apply([](benchmark::internal::Benchmark* b) { collectionsizes::threeSizes(b, TabBarControlBenchTypicalTabs); })
    ->ArgName("tabs")
    ->Unit(benchmark::kMicrosecond);

// Moving the first tab to the end of the tab view and back.
void TabBarControlMove(benchmark::State& state)
{
    TabBarControlBenchSetup setup(state.range(0), fitsArgument(state));
    for (auto _ : state) {
        auto item = setup.item(0);
        setup.tabView->removeTabViewItem(item);
        setup.tabView->addTabViewItem(item);
        setup.window->layoutIfNeeded();
        setup.tabView->removeTabViewItem(item);
        setup.tabView->insertTabViewItem(item, 0);
        setup.window->layoutIfNeeded();
    }
}
BENCHMARK(TabBarControlMove)->Apply(sizes);

// The update pass an option change asks for: the layout, the overflow menu, the tracking rects.
void TabBarControlUpdate(benchmark::State& state)
{
    TabBarControlBenchSetup setup(state.range(0), fitsArgument(state));
    for (auto _ : state)
        setup.bar->update(false);
    state.counters["visible"] = double(setup.bar->numberOfVisibleTabs());
}
BENCHMARK(TabBarControlUpdate)->Apply(sizes);

void TabBarControlLayout(benchmark::State& state)
{
    TabBarControlBenchSetup setup(state.range(0), fitsArgument(state));
    for (auto _ : state)
        setup.bar->controller().layoutCells();
    state.counters["visible"] = double(setup.bar->numberOfVisibleTabs());
}
BENCHMARK(TabBarControlLayout)->Apply(sizes);

// The cell under a click on the middle visible cell.
void TabBarControlHitTest(benchmark::State& state)
{
    TabBarControlBenchSetup setup(state.range(0), fitsArgument(state));
    auto middle = setup.bar->cells()[std::size_t(setup.bar->numberOfVisibleTabs() / 2)];
    const auto frame = middle->frame();
    const gfx::Point point { frame.midX(), frame.midY() };
    if (setup.bar->cellForPoint(point) != middle) {
        state.SkipWithError("the click finds another cell");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(setup.bar->cellForPoint(point));
}
BENCHMARK(TabBarControlHitTest)->Apply(sizes);

// One tick of the gap animation while the eleventh tab (or the first, in the narrow bar) is dragged along the bar.
void TabBarControlDragTick(benchmark::State& state)
{
    TabBarControlBenchSetup setup(state.range(0), fitsArgument(state));
    auto assistant = ZTBTabDragAssistant::sharedDragAssistant();
    const long visible = setup.bar->numberOfVisibleTabs();
    assistant->startDraggingCell(
        setup.bar->cells()[std::size_t(std::min(10L, visible - 1))], setup.bar, nullptr, false);
    const double end = double(visible) * 130.0;
    double x = 20;
    for (auto _ : state) {
        // The pointer moves along the tabs shown, so gaps keep opening and closing.
        x = x > end ? 20 : x + 97;
        assistant->draggingUpdatedInTabBar(setup.bar, { x, 10 });
        assistant->animateDrag();
    }
    state.counters["cells"] = double(setup.bar->cells().size());
}
BENCHMARK(TabBarControlDragTick)->Apply(sizes);

BENCHMARK(tabbarbench::draw<TabBarControlBenchSetup>)->Name("TabBarControlDraw")->Apply(sizes);

}
