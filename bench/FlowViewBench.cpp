// The image browsers on the headless backend, one core:
// - CardFlowFrame: one composited frame of the card-flow view at 1280 × 720 with 15 pictures in view (goal: within
//   16 ms, a frame at 60 Hz).
// - FlowViewScroll: the flow view stepping its selection across 1,000 items, every frame composited while the
//   pictures are made on the worker queue; "worst_ms" is the slowest frame on the main thread, "worst_cpu_ms" the
//   most processor time a frame took on it (what a shared machine's other work does not inflate); "composites" the
//   most times the window drew in one frame (1: pictures arriving between frames wait for the next one). Frames
//   follow each other at once, so on one core every moment the workers run falls inside a frame.
// - FlowViewScrollAt60Hz: the same with each frame begun on its tick of a 60 Hz clock, as a display paces them
//   (the main thread sleeps until then, and the workers have the time between frames); "worst_ms" runs from a
//   frame's tick to its composite. A frame that runs past the next tick makes the display skip the ticks it missed
//   ("missed_ticks"), as a frame clock does: the next frame begins on the tick to come, not at once to catch up,
//   which would date every frame after one stall (a process descheduled for a while) from a tick long past.
// - FlowViewSelectionStep: one step of the selection among 10,000 items, from the call to the first frame of its
//   move composited (only the items in view move; the others wait, hidden, until they come into view); "worst_ms" is
//   the slowest step, "worst_cpu_ms" the most processor time one took.
// - FlowViewMemory: 10,000 items scrolled through, the picture cache bounded; "peak_MiB" is the process's peak
//   resident size, "cache_MiB" what the cache holds at the end.
// - FlowViewSourceShrink/n and FlowViewSourceClear/n: a data source of 1,000, 10,000 or 100,000 items, the selection
//   in the middle, drops to half of them or to none and the view reloads; from reloadContent to the first composited
//   frame ("cpu_ms": processor time on the main thread).
#include "bench/CollectionSizes.h"
#include "frameworks/QFFlowView/QFFlowView.h"
#include "frameworks/ZORAppKit/ZORCardFlowView/ZORCardFlowView.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/OperationQueue.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/Image.h"
#include "platform/layers/LayerRenderer.h"
#include "platform/layers/Transaction.h"
#include "platform/ui/views/Window.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdint>
#include <ctime>
#include <thread>

namespace {

// Processor time of the calling thread, in milliseconds.
double flowBenchThreadMilliseconds()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

std::shared_ptr<gfx::BitmapImageRep> flowBenchPicture(int seed, int w = 320, int h = 240)
{
    auto image = gfx::BitmapImageRep::create(w, h, gfx::BitmapLayout::ARGB32Premultiplied);
    auto pixels = image->pixelBuffer();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pixels.row(y)[x] = gfx::packPixel(255, std::uint8_t(x + seed * 8), std::uint8_t(y), std::uint8_t(x ^ y));
    image->setSize({ double(w), double(h) });
    return image;
}

// Time that only moves when a frame moves it, and the headless backend.
struct FlowBenchScene {
    std::shared_ptr<fnd::VirtualClock> clock { std::make_shared<fnd::VirtualClock>() };
    fnd::ScopedClock scopedClock { clock };
    std::shared_ptr<ui::HeadlessBackend> backend { ui::HeadlessBackend::install() };
    std::shared_ptr<ui::Window> window;

    explicit FlowBenchScene(gfx::Size size)
    {
        window = ui::Window::create({ { 0, 0 }, size });
        window->makeKeyAndOrderFront();
    }
    ~FlowBenchScene()
    {
        window->close();
        ui::Backend::install(nullptr);
    }
    void settle(double seconds)
    {
        ui::Transaction::flush();
        fnd::RunLoop::current().runUntilDate(clock->now().addingTimeInterval(seconds));
    }
};

// An item of the flow view: a picture made on the queue from its bitmap.
class FlowBenchItem : public fnd::Object {
    FND_OBJECT(FlowBenchItem)
    static void describeClass(fnd::ClassBuilder<FlowBenchItem>& c)
    {
        c.property("imageItemUID", &FlowBenchItem::uid);
        c.property("imageItemRepresentation", &FlowBenchItem::representation);
        c.property("imageItemRepresentationType", &FlowBenchItem::type);
    }

public:
    fnd::Value uid;
    fnd::Value representation;
    fnd::String type { QFFlowViewRepresentationType::NSImage };
};

// Items made on demand, so that 10,000 of them cost only what is shown and cached.
class FlowBenchSource : public QFFlowViewDataSource {
public:
    explicit FlowBenchSource(std::size_t count)
        : m_count(count)
    {
        for (int i = 0; i < 16; ++i)
            m_pictures.push_back(gfx::Image::imageWithRepresentation(flowBenchPicture(i, 256, 256)));
    }
    std::optional<std::size_t> numberOfItemsInFlowView(QFFlowView&) override { return m_count; }
    void setCount(std::size_t count) { m_count = count; }
    std::optional<fnd::Value> flowViewItemAtIndex(QFFlowView&, std::size_t index) override
    {
        auto item = fnd::makeObject<FlowBenchItem>();
        item->uid = fnd::String("item " + std::to_string(index));
        item->representation = fnd::Value(m_pictures[index % m_pictures.size()]);
        return fnd::Value(item);
    }

private:
    std::size_t m_count;
    std::vector<std::shared_ptr<gfx::Image>> m_pictures;
};

FND_REGISTER_CLASS(FlowBenchItem, fnd::Object)

void CardFlowFrame(benchmark::State& state)
{
    FlowBenchScene scene({ 1280, 720 });
    auto view = ZORCardFlowView::create({ 0, 0, 1280, 720 });
    scene.window->contentView()->addSubview(view);
    view->awakeFromNib();
    fnd::Array content;
    for (int i = 0; i < 15; ++i)
        content.push_back(fnd::Value(gfx::Image::imageWithRepresentation(flowBenchPicture(i))));
    view->setContent(content);
    view->setSelectionIndex(7);
    view->imageLoadQueue()->waitUntilAllOperationsAreFinished();
    fnd::OperationQueue::mainQueue()->waitUntilAllOperationsAreFinished();
    scene.settle(3);
    auto root = view->layer();
    for (auto _ : state) {
        root->setNeedsDisplay(); // nothing to redraw in the model: the frame is the compositing
        auto frame = ui::renderLayerTreeToBitmap(*root, { 0, 0, 1280, 720 });
        benchmark::DoNotOptimize(frame);
    }
}
BENCHMARK(CardFlowFrame)->Unit(benchmark::kMillisecond);

void flowViewScroll(benchmark::State& state, bool paced)
{
    FlowBenchScene scene({ 1280, 500 });
    auto view = QFFlowView::create({ 0, 0, 1280, 500 });
    scene.window->contentView()->addSubview(view);
    auto source = std::make_shared<FlowBenchSource>(1000);
    view->setDataSource(source);
    view->reloadContent();
    scene.settle(1);
    double worst = 0, worstCPU = 0;
    long mostComposites = 0;
    std::size_t frames = 0;
    std::size_t next = 1;
    const auto frameInterval
        = std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(1.0 / 60));
    auto tick = std::chrono::steady_clock::now();
    long missedTicks = 0;
    auto waitForTick = [&] {
        tick += frameInterval;
        const auto now = std::chrono::steady_clock::now();
        if (now > tick) {
            const auto missed = (now - tick) / frameInterval + 1;
            tick += missed * frameInterval;
            missedTicks += long(missed);
        }
        std::this_thread::sleep_until(tick);
    };
    for (auto _ : state) {
        // One step of the selection, then the frames of its 0.4 s move at 60 Hz.
        if (paced)
            waitForTick();
        auto stepStart = paced ? tick : std::chrono::steady_clock::now();
        double stepCPU = flowBenchThreadMilliseconds();
        view->setSelectedIndex(next);
        next = next + 7 < 1000 ? next + 7 : 1;
        for (int f = 0; f < 24; ++f) {
            if (paced && f > 0)
                waitForTick();
            auto start = f == 0 ? stepStart : paced ? tick : std::chrono::steady_clock::now();
            double cpu = f == 0 ? stepCPU : flowBenchThreadMilliseconds();
            const long flushes = scene.backend->flushCount(*scene.window);
            // A pass of the main run loop: pictures that arrived, the animation's step and the window's composite.
            scene.clock->advance(1.0 / 60);
            fnd::RunLoop::current().runUntilDate(scene.clock->now());
            double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            worst = std::max(worst, ms);
            worstCPU = std::max(worstCPU, flowBenchThreadMilliseconds() - cpu);
            mostComposites = std::max(mostComposites, scene.backend->flushCount(*scene.window) - flushes);
            ++frames;
        }
    }
    view->operationQueue()->cancelAllOperations();
    view->operationQueue()->waitUntilAllOperationsAreFinished();
    state.counters["worst_ms"] = worst;
    state.counters["worst_cpu_ms"] = worstCPU;
    state.counters["frames"] = double(frames);
    state.counters["composites"] = double(mostComposites);
    if (paced)
        state.counters["missed_ticks"] = double(missedTicks);
}
void FlowViewScroll(benchmark::State& state)
{
    flowViewScroll(state, false);
}
BENCHMARK(FlowViewScroll)->Unit(benchmark::kMillisecond)->Iterations(3);

void FlowViewScrollAt60Hz(benchmark::State& state)
{
    flowViewScroll(state, true);
}
BENCHMARK(FlowViewScrollAt60Hz)->Unit(benchmark::kMillisecond)->Iterations(3);

void FlowViewSelectionStep(benchmark::State& state)
{
    FlowBenchScene scene({ 1280, 500 });
    auto view = QFFlowView::create({ 0, 0, 1280, 500 });
    scene.window->contentView()->addSubview(view);
    auto source = std::make_shared<FlowBenchSource>(10000);
    view->setDataSource(source);
    view->reloadContent();
    view->setSelectedIndex(5000);
    scene.settle(1);
    view->operationQueue()->waitUntilAllOperationsAreFinished();
    scene.settle(1);
    double worst = 0, worstCPU = 0;
    std::size_t next = 5001;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        double cpu = flowBenchThreadMilliseconds();
        view->setSelectedIndex(next);
        scene.clock->advance(1.0 / 60);
        fnd::RunLoop::current().runUntilDate(scene.clock->now());
        double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        worst = std::max(worst, ms);
        worstCPU = std::max(worstCPU, flowBenchThreadMilliseconds() - cpu);
        // The rest of the move, untimed, so every step starts from a still picture.
        state.PauseTiming();
        scene.settle(0.5);
        state.ResumeTiming();
        next = next + 1 < 5100 ? next + 1 : 5001;
    }
    view->operationQueue()->cancelAllOperations();
    view->operationQueue()->waitUntilAllOperationsAreFinished();
    state.counters["worst_ms"] = worst;
    state.counters["worst_cpu_ms"] = worstCPU;
}
BENCHMARK(FlowViewSelectionStep)->Unit(benchmark::kMillisecond)->Iterations(5);

void FlowViewMemory(benchmark::State& state)
{
    FlowBenchScene scene({ 1280, 500 });
    auto view = QFFlowView::create({ 0, 0, 1280, 500 });
    scene.window->contentView()->addSubview(view);
    auto source = std::make_shared<FlowBenchSource>(10000);
    view->setDataSource(source);
    scene.window->orderOut(); // memory, not drawing, is measured here
    for (auto _ : state) {
        view->reloadContent();
        for (std::size_t index = 0; index < 10000; index += 2500) {
            view->setSelectedIndex(index);
            scene.settle(0.5);
            view->operationQueue()->waitUntilAllOperationsAreFinished();
            fnd::OperationQueue::mainQueue()->waitUntilAllOperationsAreFinished();
        }
    }
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MiB"] = double(usage.ru_maxrss) / 1024;
    state.counters["cache_MiB"] = double(view->cachedImageBytes()) / (1 << 20);
    state.counters["cached"] = double(view->cachedImageCount());
}
BENCHMARK(FlowViewMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

void flowViewSourceShrink(benchmark::State& state, std::size_t count, std::size_t smaller)
{
    FlowBenchScene scene({ 1280, 500 });
    auto view = QFFlowView::create({ 0, 0, 1280, 500 });
    scene.window->contentView()->addSubview(view);
    auto source = std::make_shared<FlowBenchSource>(count);
    view->setDataSource(source);
    double cpuMilliseconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        source->setCount(count);
        view->reloadContent();
        view->setSelectedIndex(count / 2);
        scene.settle(1);
        view->operationQueue()->waitUntilAllOperationsAreFinished();
        scene.settle(1);
        const long flushes = scene.backend->flushCount(*scene.window);
        source->setCount(smaller);
        state.ResumeTiming();
        const double cpu = flowBenchThreadMilliseconds();
        view->reloadContent();
        scene.clock->advance(1.0 / 60);
        fnd::RunLoop::current().runUntilDate(scene.clock->now());
        cpuMilliseconds += flowBenchThreadMilliseconds() - cpu;
        state.PauseTiming();
        if (view->numberOfItems() != smaller || scene.backend->flushCount(*scene.window) == flushes) {
            state.SkipWithError("the smaller content was not shown");
            break;
        }
        state.ResumeTiming();
    }
    view->operationQueue()->cancelAllOperations();
    view->operationQueue()->waitUntilAllOperationsAreFinished();
    state.counters["cpu_ms"] = cpuMilliseconds / double(state.iterations());
}

void FlowViewSourceShrink(benchmark::State& state)
{
    flowViewSourceShrink(state, std::size_t(state.range(0)), std::size_t(state.range(0)) / 2);
}
BENCHMARK(FlowViewSourceShrink)
    ->Apply([](auto* b) { collectionsizes::threeSizes(b, 1000); }) -> Unit(benchmark::kMillisecond) -> Iterations(3);

void FlowViewSourceClear(benchmark::State& state)
{
    flowViewSourceShrink(state, std::size_t(state.range(0)), 0);
}
BENCHMARK(FlowViewSourceClear)
    ->Apply([](auto* b) { collectionsizes::threeSizes(b, 1000); }) -> Unit(benchmark::kMillisecond) -> Iterations(3);

}
