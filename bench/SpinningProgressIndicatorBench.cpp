// The spinning progress indicator: one frame drawn (twelve round-capped fins, each in its own alpha), and a stop of
// the threaded animation, which must wake and join the thread at once rather than wait out its 50 ms pause.

#include "frameworks/ZORSpinningProgressIndicator/ZORSpinningProgressIndicator.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/foundation/runtime/Clock.h"
#include "platform/ui/views/Window.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

namespace {

struct SpinnerBenchWindow {
    std::shared_ptr<fnd::VirtualClock> clock = std::make_shared<fnd::VirtualClock>();
    fnd::ScopedClock scopedClock { clock };
    std::shared_ptr<ui::HeadlessBackend> backend = ui::HeadlessBackend::install();
    std::shared_ptr<ui::Window> window = ui::Window::create({ 100, 100, 64, 64 });
    std::shared_ptr<ZORSpinningProgressIndicator> spinner = ZORSpinningProgressIndicator::create({ 0, 0, 64, 64 });

    SpinnerBenchWindow()
    {
        window->contentView()->addSubview(spinner);
        window->orderFront();
    }
    ~SpinnerBenchWindow()
    {
        spinner->stopAnimation();
        window->close();
        ui::Backend::install(nullptr);
    }
};

void drawOneFrame(benchmark::State& state)
{
    SpinnerBenchWindow bench;
    bench.spinner->startAnimation();
    for (auto _ : state) {
        bench.spinner->updateFrame();
        bench.window->display();
    }
}
BENCHMARK(drawOneFrame)->Unit(benchmark::kMicrosecond);

// Started, left to reach its pause, then stopped: the time of the stop alone.
void stopTheThread(benchmark::State& state)
{
    SpinnerBenchWindow bench;
    bench.spinner->setUsesThreadedAnimation(true);
    for (auto _ : state) {
        state.PauseTiming();
        bench.spinner->startAnimation();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        state.ResumeTiming();
        bench.spinner->stopAnimation();
    }
}
BENCHMARK(stopTheThread)->Unit(benchmark::kMicrosecond)->Iterations(200);

}
