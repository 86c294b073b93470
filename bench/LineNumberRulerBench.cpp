// A text view with a line-number ruler, of 1,000 lines (a typical source or data file) with 10 markers, of 10,000
// lines with 100 and of 100,000 with 1,000, in a window of 600 × 400 points scrolled to the middle of the text.
// What a person does with it: typing a character (the ruler counts the lines again and redraws), scrolling by a
// page, a click on the ruler that sets a marker on the line under it and another that takes it away, and drawing
// the ruler.
#include "bench/CollectionSizes.h"

#include "frameworks/ZORAppKit/text-views/ZORLineNumberRuler.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"
#include "platform/ui/containers/ClipView.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/text/TextView.h"
#include "platform/ui/views/Window.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr long LineNumberRulerBenchTypicalLines = 1'000;

struct RulerBench {
    std::shared_ptr<ui::HeadlessBackend> backend = ui::HeadlessBackend::install();
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::ScrollView> scroll;
    std::shared_ptr<ui::TextView> text;
    std::shared_ptr<ZORLineNumberRulerWithMarker> ruler;
    long lines;

    explicit RulerBench(long count)
        : lines(count)
    {
        window = ui::Window::create({ { 100, 100 }, { 600, 400 } });
        scroll = ui::ScrollView::create({ 0, 0, 600, 400 });
        scroll->setHasVerticalScroller(true);
        text = ui::TextView::create({ 0, 0, 560, 400 });
        scroll->setDocumentView(text);
        window->contentView()->addSubview(scroll);
        ruler = ZORLineNumberRulerWithMarker::create(scroll);
        scroll->setVerticalRulerView(ruler);
        scroll->setHasVerticalRuler(true);
        scroll->setRulersVisible(true);
        std::string s;
        for (long i = 0; i < count; ++i)
            s += "value " + std::to_string(i * 37 % 1000) + ", name " + std::to_string(i) + "\n";
        text->setString(fnd::String(s));
        // A marker on every hundredth line.
        for (long line = 50; line <= count; line += 100)
            ruler->addMarkerWithLineNumber(std::uint64_t(line));
        window->makeKeyAndOrderFront();
        window->makeFirstResponder(text);
        scrollToLine(count / 2);
        window->displayIfNeeded();
    }
    ~RulerBench()
    {
        window->close();
        ui::Backend::install(nullptr);
    }
    void scrollToLine(long line)
    {
        const auto start = ruler->lineIndices()[std::size_t(line)];
        text->setSelectedRange({ start, 0 });
        text->scrollRangeToVisible({ start, 0 });
    }
    // The middle of the ruler beside a line shown, in the window.
    gfx::Point pointBesideLine(long line)
    {
        const auto start = ruler->lineIndices()[std::size_t(line)];
        auto rects = text->layoutManager()->rectsForCharacterRange({ start, 0 }, *text->textContainer());
        const double y = rects[0].midY() + text->textContainerOrigin().y - scroll->contentView()->bounds().minY();
        return ruler->convertPointToView({ 5, y }, nullptr);
    }
};

void sizes(benchmark::internal::Benchmark* b)
{
    collectionsizes::threeSizes(b, LineNumberRulerBenchTypicalLines);
    b->ArgNames({ "lines", "a11y" })->Unit(benchmark::kMicrosecond);
}

// A character typed at the insertion point (in the middle of the text) and the window redrawn.
void LineNumberRulerTyping(benchmark::State& state)
{
    RulerBench bench(state.range(0));
    for (auto _ : state) {
        bench.backend->keyDown(*bench.window, "x", 7);
        bench.backend->dispatchEvents();
        bench.window->displayIfNeeded();
    }
}
BENCHMARK(LineNumberRulerTyping)->Apply(sizes);

// Scrolling by a page, down and back up, with the redraw.
void LineNumberRulerPageScroll(benchmark::State& state)
{
    RulerBench bench(state.range(0));
    auto clip = bench.scroll->contentView();
    const auto origin = clip->bounds().origin;
    const double page = clip->bounds().height();
    for (auto _ : state) {
        clip->scrollToPoint({ origin.x, origin.y + page });
        bench.scroll->reflectScrolledClipView(*clip);
        bench.window->displayIfNeeded();
        clip->scrollToPoint(origin);
        bench.scroll->reflectScrolledClipView(*clip);
        bench.window->displayIfNeeded();
    }
}
BENCHMARK(LineNumberRulerPageScroll)->Apply(sizes);

// A click beside a line shown sets a marker there, a second click takes it away.
void LineNumberRulerClickMarker(benchmark::State& state)
{
    RulerBench bench(state.range(0));
    // A few lines above the insertion point, which the scroll put at the bottom of the window.
    const long line = state.range(0) / 2 - 5;
    const auto point = bench.pointBesideLine(line);
    bench.backend->click(*bench.window, point);
    bench.backend->dispatchEvents();
    if (!bench.ruler->markerAtLine(std::uint64_t(line + 1))) {
        state.SkipWithError("the click set no marker");
        return;
    }
    bench.backend->click(*bench.window, point);
    bench.backend->dispatchEvents();
    for (auto _ : state) {
        bench.backend->click(*bench.window, point);
        bench.backend->dispatchEvents();
        bench.window->displayIfNeeded();
        bench.backend->click(*bench.window, point);
        bench.backend->dispatchEvents();
        bench.window->displayIfNeeded();
    }
    state.counters["markers"] = double(bench.ruler->markers().size());
}
BENCHMARK(LineNumberRulerClickMarker)->Apply(sizes);

// The ruler drawn whole (the lines beside the text shown).
void LineNumberRulerDraw(benchmark::State& state)
{
    RulerBench bench(state.range(0));
    const auto bounds = bench.ruler->bounds();
    auto bitmap = bench.ruler->bitmapImageRepForCachingDisplayInRect(bounds);
    for (auto _ : state)
        bench.ruler->cacheDisplayInRect(bounds, *bitmap);
}
BENCHMARK(LineNumberRulerDraw)->Apply(sizes);

}
