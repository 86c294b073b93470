#pragma once

// What the tab bar benchmarks share: a window on the headless backend with a tab view that shows only the selected
// page and a bar above it that shows the tabs, numbered tabs made on demand, the sizes they run at, and the
// benchmarks whose steps are the same for every kind of bar.

#include "bench/CollectionSizes.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/ui/containers/TabView.h"
#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/views/Window.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace tabbarbench {

template <class Bar> struct Window {
    std::shared_ptr<ui::HeadlessBackend> backend = ui::HeadlessBackend::install();
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::TabView> tabView;
    std::shared_ptr<Bar> bar;
    long made { 0 };

    explicit Window(double width)
    {
        window = ui::Window::create({ { 0, 0 }, { width, 200 } });
        tabView = ui::TabView::create({ 0, 0, width, 178 });
        tabView->setTabViewType(ui::TabViewType::NoTabsNoBorder);
        bar = Bar::create({ 0, 178, width, 22 });
        window->contentView()->addSubview(tabView);
        window->contentView()->addSubview(bar);
        bar->setTabView(tabView);
    }
    ~Window()
    {
        window->close();
        ui::Backend::install(nullptr);
    }
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    void fill(long tabs)
    {
        for (long i = 0; i < tabs; ++i)
            tabView->addTabViewItem(newItem());
    }
    std::shared_ptr<ui::TabViewItem> newItem()
    {
        auto item = ui::TabViewItem::create();
        item->setLabel(fnd::String("Tab " + std::to_string(made++)));
        return item;
    }
    std::shared_ptr<ui::TabViewItem> item(long index) const { return tabView->tabViewItemAtIndex(index); }
};

// The second argument: 1 for a bar wide enough for every tab, 0 for a 1,000-point bar with an overflow menu.
inline bool fitsArgument(const benchmark::State& state)
{
    return state.range(1) != 0;
}

inline void sizes(benchmark::internal::Benchmark* b, long typicalTabs)
{
    collectionsizes::threeSizes(b, typicalTabs, { 1, 0 });
    b->ArgNames({ "tabs", "fits" })->Unit(benchmark::kMicrosecond);
}

// Opening one tab at the end and the window's layout pass; closing it again is not timed.
template <class Setup> void addOne(benchmark::State& state)
{
    Setup setup(state.range(0), fitsArgument(state));
    for (auto _ : state) {
        auto item = setup.newItem();
        setup.tabView->addTabViewItem(item);
        setup.window->layoutIfNeeded();
        state.PauseTiming();
        setup.tabView->removeTabViewItem(item);
        setup.window->layoutIfNeeded();
        state.ResumeTiming();
    }
}

// Closing the first tab and the window's layout pass; putting it back is not timed.
template <class Setup> void removeOne(benchmark::State& state)
{
    Setup setup(state.range(0), fitsArgument(state));
    for (auto _ : state) {
        auto item = setup.item(0);
        setup.tabView->removeTabViewItem(item);
        setup.window->layoutIfNeeded();
        state.PauseTiming();
        setup.tabView->insertTabViewItem(item, 0);
        setup.window->layoutIfNeeded();
        state.ResumeTiming();
    }
}

// The sizes the shrinking benchmarks run at: 200 tabs, 2,000 and 20,000, each in a bar wide enough for every tab
// and in a 1,000-point bar.
inline void shrinkingSizes(benchmark::internal::Benchmark* b)
{
    collectionsizes::threeSizes(b, 200, { 1, 0 });
    b->ArgNames({ "tabs", "fits" })->Unit(benchmark::kMillisecond);
}

// Which tabs a round closes, one after another: all from the first, all from the last, or every second one.
enum class Closing { FromFront, FromBack, EverySecond };

inline std::vector<std::shared_ptr<ui::TabViewItem>> itemsClosed(
    const std::vector<std::shared_ptr<ui::TabViewItem>>& items, Closing order)
{
    std::vector<std::shared_ptr<ui::TabViewItem>> closed;
    if (order == Closing::FromBack)
        closed.assign(items.rbegin(), items.rend());
    else
        for (std::size_t i = order == Closing::EverySecond ? 1 : 0; i < items.size();
             i += order == Closing::EverySecond ? 2 : 1)
            closed.push_back(items[i]);
    return closed;
}

// Runs `close` on a bar made afresh, untimed, for each round, then the window's layout pass: the program closing
// documents one after another before the window next draws. Reports the time per tab closed.
template <class Setup, class Close> void timeClosingOnFreshBars(benchmark::State& state, Close close)
{
    double closedPerRound = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto setup = std::make_unique<Setup>(state.range(0), fitsArgument(state));
        const long before = setup->tabView->numberOfTabViewItems();
        state.ResumeTiming();
        close(*setup);
        setup->window->layoutIfNeeded();
        state.PauseTiming();
        closedPerRound = double(before - setup->tabView->numberOfTabViewItems());
        setup.reset();
        state.ResumeTiming();
    }
    collectionsizes::perItem(state, closedPerRound);
}

// Closing tabs one at a time through the tab view, in the order given.
template <class Setup, Closing order> void removeEach(benchmark::State& state)
{
    timeClosingOnFreshBars<Setup>(state, [](Setup& setup) {
        for (const auto& item : itemsClosed(setup.tabView->tabViewItems(), order))
            setup.tabView->removeTabViewItem(item);
    });
}

// Selecting the next tab (wrapping after the last), as a key held down steps across the tabs, and the window's
// layout pass.
template <class Setup> void selectAcross(benchmark::State& state)
{
    Setup setup(state.range(0), fitsArgument(state));
    const long tabs = setup.tabView->numberOfTabViewItems();
    long at = 0;
    for (auto _ : state) {
        at = at + 1 == tabs ? 0 : at + 1;
        setup.tabView->selectTabViewItem(setup.item(at));
        setup.window->layoutIfNeeded();
    }
}

// Drawing the 1,000 points of the bar a window shows (the first tabs).
template <class Setup> void draw(benchmark::State& state)
{
    Setup setup(state.range(0), fitsArgument(state));
    const gfx::Rect shown { 0, 0, 1000, setup.bar->bounds().height() };
    auto bitmap = setup.bar->bitmapImageRepForCachingDisplayInRect(shown);
    for (auto _ : state)
        setup.bar->cacheDisplayInRect(shown, *bitmap);
}

}
