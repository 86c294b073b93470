// A tab bar view with 20 tabs (a typical window of documents), 200 and 2,000, each in two bars: one wide enough for
// every tab at its minimum width (every tab has a button), and one 1,000 points wide, where all but the first few
// tabs live in the overflow menu. What a person does with tabs: opening one (the bar's update pass), closing one,
// choosing one (by a click or from the overflow menu), moving one, the layout pass, a click's hit test, one step of
// a tab dragged across the bar, and drawing the bar.
#include "bench/TabBarBenchWindow.h"

#include "frameworks/QFTabBarView/QFAttachedTabBarButton.h"
#include "frameworks/QFTabBarView/QFOverflowPopUpButton.h"
#include "frameworks/QFTabBarView/QFTabBarView.h"
#include "frameworks/QFTabBarView/QFTabDragAssistant.h"

#include "platform/ui/menus/MenuItem.h"

namespace {

constexpr long TabBarViewBenchTypicalTabs = 20;

using tabbarbench::fitsArgument;

struct TabBarBenchSetup : tabbarbench::Window<QFTabBarView> {
    // fits: wide enough for every tab at its minimum width, so all have buttons; else a 1,000-point window.
    TabBarBenchSetup(long tabs, bool fits)
        : Window(fits ? double(tabs) * 100.0 + 40 : 1000)
    {
        fill(tabs);
        window->layoutIfNeeded();
    }
};

void sizes(benchmark::internal::Benchmark* b)
{
    tabbarbench::sizes(b, TabBarViewBenchTypicalTabs);
}

// Filling the bar: a window restored with its tabs, every item added before one update pass.
void TabBarViewFill(benchmark::State& state)
{
    const long tabs = state.range(0);
    for (auto _ : state) {
        TabBarBenchSetup setup(tabs, fitsArgument(state));
        benchmark::DoNotOptimize(setup.bar->numberOfAttachedButtons());
    }
    collectionsizes::perItem(state, double(tabs));
}
BENCHMARK(TabBarViewFill)->Apply(sizes);

// The bar's update pass follows the tab view's change within the layout pass.
BENCHMARK(tabbarbench::addOne<TabBarBenchSetup>)->Name("TabBarViewAddOne")->Apply(sizes);
BENCHMARK(tabbarbench::removeOne<TabBarBenchSetup>)->Name("TabBarViewRemoveOne")->Apply(sizes);

// Shrinking: tabs closed one at a time (from the front, from the back, every second one) before the layout pass,
// every tab closed with its close button, and a key held to step the selection across the tabs.
void shrinkingSizes(benchmark::internal::Benchmark* b)
{
    tabbarbench::shrinkingSizes(b);
}
using tabbarbench::Closing;
BENCHMARK(tabbarbench::removeEach<TabBarBenchSetup, Closing::FromFront>)
    ->Name("TabBarViewRemoveEachFromFront")
    ->Apply(shrinkingSizes);
BENCHMARK(tabbarbench::removeEach<TabBarBenchSetup, Closing::FromBack>)
    ->Name("TabBarViewRemoveEachFromBack")
    ->Apply(shrinkingSizes);
BENCHMARK(tabbarbench::removeEach<TabBarBenchSetup, Closing::EverySecond>)
    ->Name("TabBarViewRemoveEverySecond")
    ->Apply(shrinkingSizes);

// Every tab closed by a click on its close button, from the first, each close selecting the next tab. Only the bar
// wide enough for every tab: a narrow one has buttons only for the tabs it shows.
void TabBarViewCloseAll(benchmark::State& state)
{
    tabbarbench::timeClosingOnFreshBars<TabBarBenchSetup>(state, [](TabBarBenchSetup& setup) {
        setup.bar->setCanCloseOnlyTab(true);
        for (const auto& button : setup.bar->orderedAttachedButtons())
            setup.bar->_didClickCloseButton(fnd::Value(button->closeButton()));
    });
}
BENCHMARK(TabBarViewCloseAll)->Apply([](benchmark::internal::Benchmark* b) {
    for (long tabs : { 200, 2000, 20000 })
        b->Args({ tabs, 1 });
    b->ArgNames({ "tabs", "fits" })->Unit(benchmark::kMillisecond);
});

BENCHMARK(tabbarbench::selectAcross<TabBarBenchSetup>)->Name("TabBarViewSelectAcross")->Apply([](auto* b) {
    tabbarbench::shrinkingSizes(b);
    b->Unit(benchmark::kMicrosecond);
});

// Choosing the first tab and then the third by clicking their buttons.
void TabBarViewSelect(benchmark::State& state)
{
    TabBarBenchSetup setup(state.range(0), fitsArgument(state));
    auto buttons = setup.bar->orderedAttachedButtons();
    auto first = fnd::Value(buttons[0]), third = fnd::Value(buttons[2]);
    for (auto _ : state) {
        setup.bar->_didClickTabButton(first);
        setup.window->layoutIfNeeded();
        setup.bar->_didClickTabButton(third);
        setup.window->layoutIfNeeded();
    }
}
BENCHMARK(TabBarViewSelect)->Apply(sizes);

// Choosing the last tab from the overflow menu (the bar pins it to its last button), then the first tab.
void TabBarViewSelectFromOverflowMenu(benchmark::State& state)
{
    TabBarBenchSetup setup(state.range(0), false);
    auto menu = setup.bar->overflowPopUpButton()->menu();
    auto last = menu ? menu->itemAtIndex(menu->numberOfItems() - 1) : nullptr;
    auto first = fnd::Value(setup.bar->orderedAttachedButtons()[0]);
    if (!last) {
        state.SkipWithError("no overflow menu");
        return;
    }
    for (auto _ : state) {
        setup.bar->_overflowMenuAction(fnd::Value(last));
        setup.window->layoutIfNeeded();
        setup.bar->_didClickTabButton(first);
        setup.window->layoutIfNeeded();
    }
    state.counters["menu_items"] = double(menu->numberOfItems());
}
BENCHMARK(TabBarViewSelectFromOverflowMenu)
    ->Apply([](benchmark::internal::Benchmark* b) { collectionsizes::threeSizes(b, TabBarViewBenchTypicalTabs); })
    ->ArgName("tabs")
    ->Unit(benchmark::kMicrosecond);

// Moving the first tab to the end of the tab view and back.
void TabBarViewMove(benchmark::State& state)
{
    TabBarBenchSetup setup(state.range(0), fitsArgument(state));
    for (auto _ : state) {
        auto item = setup.item(0);
        setup.bar->moveTabViewItem(item, setup.tabView->numberOfTabViewItems() - 1);
        setup.window->layoutIfNeeded();
        setup.bar->moveTabViewItem(item, 0);
        setup.window->layoutIfNeeded();
    }
}
BENCHMARK(TabBarViewMove)->Apply(sizes);

// The whole update pass (buttons made for items without one, the layout, the overflow menu), as an option change
// asks for.
void TabBarViewUpdate(benchmark::State& state)
{
    TabBarBenchSetup setup(state.range(0), fitsArgument(state));
    for (auto _ : state)
        setup.bar->update(false);
    state.counters["buttons"] = double(setup.bar->numberOfAttachedButtons());
}
BENCHMARK(TabBarViewUpdate)->Apply(sizes);

void TabBarViewLayout(benchmark::State& state)
{
    TabBarBenchSetup setup(state.range(0), fitsArgument(state));
    for (auto _ : state)
        setup.bar->layoutButtons();
    state.counters["buttons"] = double(setup.bar->numberOfAttachedButtons());
}
BENCHMARK(TabBarViewLayout)->Apply(sizes);

// The button under a click on the middle button shown.
void TabBarViewHitTest(benchmark::State& state)
{
    TabBarBenchSetup setup(state.range(0), fitsArgument(state));
    const auto buttons = setup.bar->orderedAttachedButtons();
    const auto middle = buttons[buttons.size() / 2];
    const auto frame = middle->frame();
    const gfx::Point point { frame.midX(), frame.midY() };
    if (setup.bar->tabBarButtonAtPoint(point) != middle) {
        state.SkipWithError("the click finds another button");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(setup.bar->tabBarButtonAtPoint(point));
}
BENCHMARK(TabBarViewHitTest)->Apply(sizes);

// One step of the first tab dragged across the bar: the destination under the pointer and the layout that opens
// the gap there.
void TabBarViewDragStep(benchmark::State& state)
{
    TabBarBenchSetup setup(state.range(0), fitsArgument(state));
    auto assistant = QFTabDragAssistant::sharedDragAssistant();
    auto dragged = setup.bar->orderedAttachedButtons().front();
    const double end = setup.bar->orderedAttachedButtons().back()->frame().maxX();
    double x = 150;
    for (auto _ : state) {
        // The pointer moves on by a tab's width, wrapping at the end of the buttons.
        x = x + 100 > end ? 150 : x + 100;
        const long index = assistant->destinationIndexForButton(dragged.get(), { x, 11 }, *setup.bar);
        setup.bar->setDestinationIndexForDraggedItem(index);
        setup.bar->layoutButtons();
        benchmark::DoNotOptimize(index);
    }
    setup.bar->setDestinationIndexForDraggedItem(fnd::NotFound);
}
BENCHMARK(TabBarViewDragStep)->Apply(sizes);

BENCHMARK(tabbarbench::draw<TabBarBenchSetup>)->Name("TabBarViewDraw")->Apply(sizes);

}
