// The card-flow view's per-item paths on the headless backend, one core, at 200, 2,000 and 20,000 items (a typical
// collection and ten and a hundred times it), items of 140 × 100 points in a view of 620 × 400:
// - CardFlowFirstContent: setContent of n objects into an empty view (layers made, loads queued, laid out).
// - CardFlowReplaceHalf: setContent that replaces every other object of n (goal at 20,000: within 200 ms).
// - CardFlowSelectionChange: the selection between the first and the last item, laid out and committed (every item
//   moves, animated); CardFlowSelectionFrame: the same up to the first frame of the move composited.
// - CardFlowScrollStep: one step of the wheel in the middle of the items.
// - CardFlowHitItem: a click on the picture just right of the selected one; CardFlowMissedClick: a click beside
//   every picture, which tests them all (goal at 20,000: within 1 ms).
// - CardFlowTinyPNGs: four PNGs of 5 × 5 pixels that declare 1 pixel per metre (so 14,173 points a side) shown as
//   data; "picture_MiB" is what the layers' pictures hold, "peak_MiB" the process's peak resident size (run it by
//   itself, --benchmark_filter=CardFlowTinyPNGs, for a peak of its own; goal: under 200 MB).
// Taking items out, at 2,000, 20,000 and 200,000 items with the selection in the middle (goal: clearing or halving
// 200,000 within 300 ms), each up to the first composited frame after it ("content_ms" is the main thread's processor
// time in setContent, "frame_ms" in the frame after it):
// - CardFlowRemove/n/removal: setContent without the front half, the back half or every second item.
// - CardFlowClear/n: setContent with no items; CardFlowShrink/n: setContent with the first tenth.
// CardFlowArrowKey/n: the right arrow key at 1,000, 10,000 and 100,000 items, from the middle, up to the first
// composited frame of the move (goal at 100,000: within a frame, 16 ms); "worst_cpu_ms" is the most processor time
// one step took.
// Each case of n items also runs with a screen reader's presence ("a11y" 1, bench/CollectionSizes.h).
#include "bench/CollectionSizes.h"
#include "frameworks/ZORAppKit/ZORCardFlowView/ZORCardFlowView.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/OperationQueue.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/Image.h"
#include "platform/layers/Transaction.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <ctime>
#include <string>

namespace {

void cardFlowSizes(benchmark::internal::Benchmark* b)
{
    for (long items : { 200, 2000, 20000 })
        collectionsizes::args(b, { items });
    b->ArgNames({ "items", "a11y" });
}

// Time that only moves when the benchmark moves it, the headless backend, and a card-flow view of 620 × 400 points
// with items of 140 × 100 in a key window.
struct CardBenchScene {
    std::shared_ptr<fnd::VirtualClock> clock { std::make_shared<fnd::VirtualClock>() };
    fnd::ScopedClock scopedClock { clock };
    std::shared_ptr<ui::HeadlessBackend> backend { ui::HeadlessBackend::install() };
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ZORCardFlowView> view;

    CardBenchScene()
    {
        window = ui::Window::create({ { 100, 100 }, { 700, 450 } });
        window->makeKeyAndOrderFront();
        view = ZORCardFlowView::create({ 40, 20, 620, 400 });
        window->contentView()->addSubview(view);
        view->awakeFromNib();
        view->setAutoresizesItems(false);
        view->setItemSize({ 140, 100 });
        settle(0);
    }
    ~CardBenchScene()
    {
        view->setContent({});
        drain();
        window->close();
        ui::Backend::install(nullptr);
    }
    void settle(double seconds)
    {
        ui::Transaction::flush();
        fnd::RunLoop::current().runUntilDate(clock->now().addingTimeInterval(seconds));
    }
    // Lets the queued loads finish and their pictures arrive.
    void drain()
    {
        view->imageLoadQueue()->waitUntilAllOperationsAreFinished();
        fnd::OperationQueue::mainQueue()->waitUntilAllOperationsAreFinished();
        settle(0);
    }
};

fnd::Array cardBenchItems(std::int64_t n, const char* prefix = "item ")
{
    fnd::Array items;
    items.reserve(std::size_t(n));
    for (std::int64_t i = 0; i < n; ++i)
        items.push_back(fnd::String(prefix + std::to_string(i)));
    return items;
}

// Every other object of the items replaced by a new one.
fnd::Array cardBenchHalfReplaced(std::int64_t n)
{
    auto items = cardBenchItems(n);
    for (std::int64_t i = 1; i < n; i += 2)
        items[std::size_t(i)] = fnd::String("new " + std::to_string(i));
    return items;
}

void CardFlowFirstContent(benchmark::State& state)
{
    CardBenchScene scene;
    auto items = cardBenchItems(state.range(0));
    for (auto _ : state) {
        scene.view->setContent(items);
        state.PauseTiming();
        scene.view->setContent({});
        scene.drain();
        state.ResumeTiming();
    }
}
BENCHMARK(CardFlowFirstContent)->Apply(cardFlowSizes)->Unit(benchmark::kMillisecond);

void CardFlowReplaceHalf(benchmark::State& state)
{
    CardBenchScene scene;
    auto items = cardBenchItems(state.range(0));
    auto replaced = cardBenchHalfReplaced(state.range(0));
    scene.view->setContent(items);
    scene.drain();
    bool toReplaced = true;
    for (auto _ : state) {
        scene.view->setContent(toReplaced ? replaced : items);
        toReplaced = !toReplaced;
        state.PauseTiming();
        scene.drain();
        state.ResumeTiming();
    }
}
BENCHMARK(CardFlowReplaceHalf)->Apply(cardFlowSizes)->Unit(benchmark::kMillisecond);

void CardFlowSelectionChange(benchmark::State& state)
{
    CardBenchScene scene;
    scene.view->setContent(cardBenchItems(state.range(0)));
    scene.drain();
    std::int64_t last = state.range(0) - 1;
    for (auto _ : state) {
        scene.view->setSelectionIndex(scene.view->selectionIndex() == 0 ? last : 0);
        ui::Transaction::flush();
    }
}
BENCHMARK(CardFlowSelectionChange)->Apply(cardFlowSizes)->Unit(benchmark::kMillisecond);

// The same up to the first frame of the move composited: the step of the run loop that draws the window.
void CardFlowSelectionFrame(benchmark::State& state)
{
    CardBenchScene scene;
    scene.view->setContent(cardBenchItems(state.range(0)));
    scene.drain();
    scene.settle(3);
    std::int64_t last = state.range(0) - 1;
    for (auto _ : state) {
        const long flushes = scene.backend->flushCount(*scene.window);
        scene.view->setSelectionIndex(scene.view->selectionIndex() == 0 ? last : 0);
        scene.clock->advance(1.0 / 60);
        fnd::RunLoop::current().runUntilDate(scene.clock->now());
        if (scene.backend->flushCount(*scene.window) == flushes)
            state.SkipWithError("no frame was composited");
        state.PauseTiming();
        scene.settle(3);
        state.ResumeTiming();
    }
}
BENCHMARK(CardFlowSelectionFrame)->Apply(cardFlowSizes)->Unit(benchmark::kMillisecond);

void CardFlowScrollStep(benchmark::State& state)
{
    CardBenchScene scene;
    scene.view->setContent(cardBenchItems(state.range(0)));
    scene.view->setSelectionIndex(state.range(0) / 2);
    scene.drain();
    auto at = scene.view->convertPointToView({ 310, 200 }, nullptr);
    auto down = ui::Event::scrollEvent(at, 0, 0, scene.window->windowNumber(), 0, -3);
    auto up = ui::Event::scrollEvent(at, 0, 0, scene.window->windowNumber(), 0, 3);
    bool forward = true;
    for (auto _ : state) {
        scene.view->scrollWheel(forward ? *down : *up);
        forward = !forward;
        ui::Transaction::flush();
    }
}
BENCHMARK(CardFlowScrollStep)->Apply(cardFlowSizes)->Unit(benchmark::kMillisecond);

// The view with n items, its selection in the middle, laid out and still.
std::shared_ptr<CardBenchScene> cardBenchStillScene(std::int64_t n)
{
    auto scene = std::make_shared<CardBenchScene>();
    scene->view->setContent(cardBenchItems(n));
    scene->view->setSelectionIndex(n / 2);
    scene->drain();
    scene->settle(3);
    return scene;
}

void CardFlowHitItem(benchmark::State& state)
{
    auto scene = cardBenchStillScene(state.range(0));
    auto& view = *scene->view;
    auto next = view.selectionIndex() + 1;
    auto r = view.rectForItemAtIndex(next);
    gfx::Point p { r.maxX() - 4, r.midY() };
    if (view.indexOfItemAtPoint(p) != next)
        state.SkipWithError("the point is not on the picture next to the selected one");
    for (auto _ : state)
        benchmark::DoNotOptimize(view.indexOfItemAtPoint(p));
}
BENCHMARK(CardFlowHitItem)->Apply(cardFlowSizes)->Unit(benchmark::kMicrosecond);

void CardFlowMissedClick(benchmark::State& state)
{
    auto scene = cardBenchStillScene(state.range(0));
    auto& view = *scene->view;
    // Above the pictures, at the view's top left.
    gfx::Point p { 5, 395 };
    if (view.indexOfItemAtPoint(p) != -1)
        state.SkipWithError("the point is on a picture");
    for (auto _ : state)
        benchmark::DoNotOptimize(view.indexOfItemAtPoint(p));
}
BENCHMARK(CardFlowMissedClick)->Apply(cardFlowSizes)->Unit(benchmark::kMicrosecond);

// A PNG of 5 × 5 pixels that declares 1 pixel per metre: 5 m, 14,173 points, a side.
fnd::Data cardBenchTinyPNG(int seed)
{
    auto rep = gfx::BitmapImageRep::create(5, 5, gfx::BitmapLayout::ARGB32Premultiplied);
    auto pixels = rep->pixelBuffer();
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            pixels.row(y)[x] = gfx::packPixel(255, std::uint8_t(40 * x + seed), std::uint8_t(40 * y), 128);
    rep->setSize({ 5 / 0.0254 * 72, 5 / 0.0254 * 72 });
    return *rep->representationUsingType(gfx::BitmapImageFileType::PNG);
}

void CardFlowTinyPNGs(benchmark::State& state)
{
    CardBenchScene scene;
    fnd::Array content;
    for (int i = 0; i < 4; ++i)
        content.push_back(fnd::Value(cardBenchTinyPNG(i)));
    double pictureBytes = 0;
    for (auto _ : state) {
        scene.view->setContent(content);
        scene.drain();
        pictureBytes = 0;
        for (const auto& layer : scene.view->itemLayers())
            if (auto picture = layer->sublayers().front()->contents(); picture && picture != scene.view->placeholder())
                pictureBytes += double(picture->bytesPerRow()) * double(picture->pixelsHigh());
        state.PauseTiming();
        scene.view->setContent({});
        scene.drain();
        state.ResumeTiming();
    }
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["picture_MiB"] = pictureBytes / (1024.0 * 1024.0);
    state.counters["peak_MiB"] = double(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(CardFlowTinyPNGs)->Iterations(1)->Unit(benchmark::kMillisecond);

// Processor time of the calling thread, in milliseconds.
double cardBenchThreadMilliseconds()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Each iteration shows the n items with the selection in the middle, still (untimed), then sets the smaller content
// and runs the frame that composites it. The counters are the main thread's processor time.
void cardBenchShrink(benchmark::State& state, const fnd::Array& items, const fnd::Array& smaller)
{
    CardBenchScene scene;
    double contentMilliseconds = 0, frameMilliseconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        scene.view->setContent(items);
        scene.view->setSelectionIndex(std::int64_t(items.size() / 2));
        scene.drain();
        scene.settle(3);
        const long flushes = scene.backend->flushCount(*scene.window);
        state.ResumeTiming();
        const double start = cardBenchThreadMilliseconds();
        scene.view->setContent(smaller);
        const double set = cardBenchThreadMilliseconds();
        scene.clock->advance(1.0 / 60);
        fnd::RunLoop::current().runUntilDate(scene.clock->now());
        frameMilliseconds += cardBenchThreadMilliseconds() - set;
        contentMilliseconds += set - start;
        state.PauseTiming();
        if (scene.view->itemLayers().size() != smaller.size() || scene.backend->flushCount(*scene.window) == flushes) {
            state.SkipWithError("the smaller content was not shown");
            break;
        }
        scene.view->setContent({});
        scene.drain();
        state.ResumeTiming();
    }
    state.counters["content_ms"] = contentMilliseconds / double(state.iterations());
    state.counters["frame_ms"] = frameMilliseconds / double(state.iterations());
}

void cardBenchShrinkSizes(benchmark::internal::Benchmark* b)
{
    b->Unit(benchmark::kMillisecond)->Iterations(2);
}

void CardFlowRemove(benchmark::State& state)
{
    auto items = cardBenchItems(state.range(0));
    fnd::Array remaining;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (!collectionsizes::isRemoved(state.range(1), i, items.size()))
            remaining.push_back(items[i]);
    cardBenchShrink(state, items, remaining);
}
BENCHMARK(CardFlowRemove)
    ->Apply([](auto* b) { collectionsizes::threeSizesRemovals(b, 2000); }) -> Apply(cardBenchShrinkSizes);

void CardFlowClear(benchmark::State& state)
{
    cardBenchShrink(state, cardBenchItems(state.range(0)), {});
}
BENCHMARK(CardFlowClear)->Apply([](auto* b) { collectionsizes::threeSizes(b, 2000); }) -> Apply(cardBenchShrinkSizes);

void CardFlowShrink(benchmark::State& state)
{
    auto items = cardBenchItems(state.range(0));
    cardBenchShrink(state, items, fnd::Array(items.begin(), items.begin() + std::ptrdiff_t(items.size() / 10)));
}
BENCHMARK(CardFlowShrink)->Apply([](auto* b) { collectionsizes::threeSizes(b, 2000); }) -> Apply(cardBenchShrinkSizes);

void CardFlowArrowKey(benchmark::State& state)
{
    auto scene = cardBenchStillScene(state.range(0));
    scene->window->makeFirstResponder(scene->view);
    const fnd::String right(std::u16string(1, char16_t(0xF703))), left(std::u16string(1, char16_t(0xF702)));
    double worstCPU = 0;
    bool forward = true;
    for (auto _ : state) {
        const long flushes = scene->backend->flushCount(*scene->window);
        const double cpu = cardBenchThreadMilliseconds();
        if (forward)
            scene->backend->keyDown(*scene->window, right, ui::KeyCode::RightArrow);
        else
            scene->backend->keyDown(*scene->window, left, ui::KeyCode::LeftArrow);
        // The run loop does not hand the backend's posted events to the window by itself.
        scene->backend->dispatchEvents();
        scene->clock->advance(1.0 / 60);
        fnd::RunLoop::current().runUntilDate(scene->clock->now());
        worstCPU = std::max(worstCPU, cardBenchThreadMilliseconds() - cpu);
        state.PauseTiming();
        if (scene->backend->flushCount(*scene->window) == flushes) {
            state.SkipWithError("no frame was composited");
            break;
        }
        forward = !forward;
        scene->settle(3);
        state.ResumeTiming();
    }
    state.counters["worst_cpu_ms"] = worstCPU;
}
BENCHMARK(CardFlowArrowKey)
    ->Apply([](auto* b) { collectionsizes::threeSizes(b, 1000); }) -> Unit(benchmark::kMillisecond) -> Iterations(6);

}
