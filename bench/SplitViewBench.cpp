// Split views with 3 panes (a typical window: a sidebar, a list and a detail), 30 and 300, in a window 1,000 points
// wide (the wide split views scroll: 300 panes need more than 1,000 points): the proportional split view, and the
// platform split view through the collapsing one the framework builds on it. What a person does with panes: the
// window resized (every pass scales, pins and rounds them), a divider dragged (press, one step, release, from the
// events), the hit test that finds the divider under the pointer, drawing, a pane added and one removed.
#include "bench/CollectionSizes.h"

#include "frameworks/ZORAppKit/split-view/ZORSplitSubview.h"
#include "frameworks/ZORAppKit/split-view/ZORSplitView.h"
#include "frameworks/proportional-split-view/KJSplitView.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/ui/views/Window.h"

#include <benchmark/benchmark.h>

namespace {

constexpr long SplitViewBenchTypicalPanes = 3;

void sizes(benchmark::internal::Benchmark* b)
{
    collectionsizes::threeSizes(b, SplitViewBenchTypicalPanes);
    b->ArgNames({ "panes", "a11y" })->Unit(benchmark::kMicrosecond);
}

// The split view's width: at least 1,000 points and ten points per pane.
double SplitViewBenchWidth(long panes)
{
    return std::max(1000.0, double(panes) * 10.0);
}

struct KJSplitBench {
    std::shared_ptr<ui::HeadlessBackend> backend = ui::HeadlessBackend::install();
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<KJSplitView> split;

    explicit KJSplitBench(long panes)
    {
        const double width = SplitViewBenchWidth(panes);
        window = ui::Window::create({ { 0, 0 }, { width, 600 } });
        split = KJSplitView::create({ 0, 0, width, 600 });
        split->setDividerThickness(1);
        window->contentView()->addSubview(split);
        for (long i = 0; i < panes; ++i)
            split->addSubview(makePane(i));
        split->adjustSubviews();
        window->makeKeyAndOrderFront();
        window->displayIfNeeded();
    }
    ~KJSplitBench()
    {
        window->close();
        ui::Backend::install(nullptr);
    }
    static std::shared_ptr<KJSplitSubview> makePane(long i)
    {
        auto pane = KJSplitSubview::create({ 0, 0, 100, 600 });
        pane->setMinDimension(i % 3 == 0 ? 4 : 1, i % 4 == 0 ? 200 : 0);
        pane->setCanCollapse(i % 2 == 0);
        return pane;
    }
    // The middle of the divider after the pane at the index, in the window.
    gfx::Point dividerPoint(std::size_t index) const
    {
        const auto rect = split->dividerRects()[index];
        return split->convertPointToView({ rect.midX(), rect.midY() }, nullptr);
    }
};

// Adding every pane and the first adjustment.
void KJSplitFill(benchmark::State& state)
{
    for (auto _ : state) {
        KJSplitBench bench(state.range(0));
        benchmark::DoNotOptimize(bench.split->dividerRects().data());
    }
    collectionsizes::perItem(state, double(state.range(0)));
}
BENCHMARK(KJSplitFill)->Apply(sizes);

// The window resized by 37 points each step, between 700 and 1,500 points more than the panes need.
void KJSplitResize(benchmark::State& state)
{
    KJSplitBench bench(state.range(0));
    const double base = SplitViewBenchWidth(state.range(0)) - 1000;
    double width = 1000;
    for (auto _ : state) {
        width = width >= 1500 ? 700 : width + 37;
        bench.split->setFrame({ 0, 0, base + width, 600 });
        benchmark::DoNotOptimize(bench.split->dividerRects().data());
    }
}
BENCHMARK(KJSplitResize)->Apply(sizes);

// The first divider pressed, dragged 3 points and released, then dragged back.
void KJSplitDividerDrag(benchmark::State& state)
{
    KJSplitBench bench(state.range(0));
    for (auto _ : state) {
        for (double step : { 3.0, -3.0 }) {
            const auto from = bench.dividerPoint(0);
            const gfx::Point to { from.x + step, from.y };
            bench.backend->mouseDown(*bench.window, from);
            bench.backend->mouseDragged(*bench.window, to);
            bench.backend->mouseUp(*bench.window, to);
            bench.backend->dispatchEvents();
            bench.window->displayIfNeeded();
        }
    }
}
BENCHMARK(KJSplitDividerDrag)->Apply(sizes);

// The divider under a point on the last divider.
void KJSplitHitTest(benchmark::State& state)
{
    KJSplitBench bench(state.range(0));
    const auto& rects = bench.split->dividerRects();
    const auto last = rects.back();
    const gfx::Point point { last.midX(), last.midY() };
    for (auto _ : state)
        benchmark::DoNotOptimize(bench.split->KJ_dividerHitBy(point, nullptr, 2));
}
BENCHMARK(KJSplitHitTest)->Apply(sizes);

// Drawing the first 1,000 points of the split view.
void KJSplitDraw(benchmark::State& state)
{
    KJSplitBench bench(state.range(0));
    const gfx::Rect shown { 0, 0, 1000, 600 };
    auto bitmap = bench.split->bitmapImageRepForCachingDisplayInRect(shown);
    for (auto _ : state)
        bench.split->cacheDisplayInRect(shown, *bitmap);
}
BENCHMARK(KJSplitDraw)->Apply(sizes);

// A pane added at the end and the adjustment that follows; taking it away is not timed.
void KJSplitAddPane(benchmark::State& state)
{
    KJSplitBench bench(state.range(0));
    for (auto _ : state) {
        auto pane = KJSplitBench::makePane(state.range(0));
        bench.split->addSubview(pane);
        bench.window->layoutIfNeeded();
        state.PauseTiming();
        pane->removeFromSuperview();
        bench.window->layoutIfNeeded();
        state.ResumeTiming();
    }
}
BENCHMARK(KJSplitAddPane)->Apply(sizes);

// The first pane removed and the adjustment that follows; putting it back is not timed.
void KJSplitRemovePane(benchmark::State& state)
{
    KJSplitBench bench(state.range(0));
    for (auto _ : state) {
        auto pane = bench.split->subviewAtPosition(0);
        pane->removeFromSuperview();
        bench.window->layoutIfNeeded();
        state.PauseTiming();
        bench.split->addSubviewAtPosition(pane, 0);
        bench.window->layoutIfNeeded();
        state.ResumeTiming();
    }
}
BENCHMARK(KJSplitRemovePane)->Apply(sizes);

struct ZORSplitBench {
    std::shared_ptr<ui::HeadlessBackend> backend = ui::HeadlessBackend::install();
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ZORSplitView> split;

    explicit ZORSplitBench(long panes)
    {
        const double width = SplitViewBenchWidth(panes);
        window = ui::Window::create({ { 0, 0 }, { width, 600 } });
        split = ZORSplitView::create({ 0, 0, width, 600 });
        split->setVertical(true);
        window->contentView()->addSubview(split);
        for (long i = 0; i < panes; ++i)
            split->addSubview(ZORSplitSubview::create({ 0, 0, width / double(panes), 600 }));
        split->adjustSubviews();
        window->makeKeyAndOrderFront();
        window->displayIfNeeded();
    }
    ~ZORSplitBench()
    {
        window->close();
        ui::Backend::install(nullptr);
    }
    gfx::Point dividerPoint(long index) const
    {
        const auto rect = split->dividerRect(index);
        return split->convertPointToView({ rect.midX(), rect.midY() }, nullptr);
    }
};

void ZORSplitFill(benchmark::State& state)
{
    for (auto _ : state) {
        ZORSplitBench bench(state.range(0));
        benchmark::DoNotOptimize(bench.split->dividerRect(0));
    }
    collectionsizes::perItem(state, double(state.range(0)));
}
BENCHMARK(ZORSplitFill)->Apply(sizes);

void ZORSplitResize(benchmark::State& state)
{
    ZORSplitBench bench(state.range(0));
    const double base = SplitViewBenchWidth(state.range(0)) - 1000;
    double width = 1000;
    for (auto _ : state) {
        width = width >= 1500 ? 700 : width + 37;
        bench.split->setFrame({ 0, 0, base + width, 600 });
        benchmark::DoNotOptimize(bench.split->dividerRect(0));
    }
}
BENCHMARK(ZORSplitResize)->Apply(sizes);

void ZORSplitDividerDrag(benchmark::State& state)
{
    ZORSplitBench bench(state.range(0));
    for (auto _ : state) {
        for (double step : { 3.0, -3.0 }) {
            const auto from = bench.dividerPoint(0);
            const gfx::Point to { from.x + step, from.y };
            bench.backend->mouseDown(*bench.window, from);
            bench.backend->mouseDragged(*bench.window, to);
            bench.backend->mouseUp(*bench.window, to);
            bench.backend->dispatchEvents();
            bench.window->displayIfNeeded();
        }
    }
}
BENCHMARK(ZORSplitDividerDrag)->Apply(sizes);

void ZORSplitDraw(benchmark::State& state)
{
    ZORSplitBench bench(state.range(0));
    const gfx::Rect shown { 0, 0, 1000, 600 };
    auto bitmap = bench.split->bitmapImageRepForCachingDisplayInRect(shown);
    for (auto _ : state)
        bench.split->cacheDisplayInRect(shown, *bitmap);
}
BENCHMARK(ZORSplitDraw)->Apply(sizes);

void ZORSplitAddPane(benchmark::State& state)
{
    ZORSplitBench bench(state.range(0));
    for (auto _ : state) {
        auto pane = ZORSplitSubview::create({ 0, 0, 100, 600 });
        bench.split->addSubview(pane);
        bench.split->adjustSubviews();
        bench.window->displayIfNeeded();
        state.PauseTiming();
        pane->removeFromSuperview();
        bench.split->adjustSubviews();
        bench.window->displayIfNeeded();
        state.ResumeTiming();
    }
}
BENCHMARK(ZORSplitAddPane)->Apply(sizes);

}
