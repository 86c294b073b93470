// A blended background view as the document of a 200 x 150 scroll view, scrolled to its middle, and the whole window
// drawn on the headless backend: the time follows the part in sight, not the view's height. Heights: a window's
// (600 points), ten and a hundred times that, and ten million points.
#include "frameworks/ZORAppKit/ZORColorBackgroundView/ZORColorBackgroundView.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/ui/containers/ClipView.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/views/Window.h"

#include <benchmark/benchmark.h>

namespace {

void blendedWindowDraw(benchmark::State& state)
{
    auto backend = ui::HeadlessBackend::install();
    const double height = static_cast<double>(state.range(0));
    {
        auto window = ui::Window::create({ { 0, 0 }, { 200, 150 } });
        auto scrollView = ui::ScrollView::create({ 0, 0, 200, 150 });
        auto background = ZORColorBackgroundView::create({ 0, 0, 200, height });
        background->setBackgroundColor(gfx::Color::colorWithCalibratedRed(0.3, 0.5, 0.8));
        background->setBlended(true);
        scrollView->setDocumentView(background);
        window->contentView()->addSubview(scrollView);
        scrollView->contentView()->scrollToPoint({ 0, height / 2 });
        window->orderFront();
        for (auto _ : state)
            window->display();
        window->close();
    }
    ui::Backend::install(nullptr);
}

}

BENCHMARK(blendedWindowDraw)
    ->Name("ColorBackgroundBlendedWindowDraw/height")
    ->Arg(600)
    ->Arg(6'000)
    ->Arg(60'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond);
