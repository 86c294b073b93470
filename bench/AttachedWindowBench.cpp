// An attached window around a 100 x 50 view changes its arrow height and is laid out and drawn again on the headless
// backend, taking turns between two heights: the default arrow's, and heights a caller may pass by mistake.
// "window bytes" is what the window's pixels take after the last draw.
#include "frameworks/attached-window/ZORAttachedWindow.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/ui/views/Window.h"

#include <benchmark/benchmark.h>

namespace {

void arrowHeightChange(benchmark::State& state)
{
    auto backend = ui::HeadlessBackend::install();
    {
        auto view = ui::View::create({ 0, 0, 100, 50 });
        auto window = ZORAttachedWindow::create(view, { 500, 400 }, ZORAttachedWindow::Below, 0);
        window->orderFront();
        const auto height = static_cast<float>(state.range(0));
        bool taller = false;
        for (auto _ : state) {
            // A visible window draws itself as the setter lays it out.
            window->setArrowHeight(taller ? height + 1 : height);
            taller = !taller;
            benchmark::DoNotOptimize(window.get());
        }
        auto size = window->frame().size;
        state.counters["window bytes"] = size.width * size.height * 4;
        window->close();
    }
    ui::Backend::install(nullptr);
}

}

BENCHMARK(arrowHeightChange)
    ->Name("AttachedWindowArrowHeightChange/height")
    ->Arg(16)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond);
