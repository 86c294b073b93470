// Compositing a layer tree in perspective: 30 pictures of 256 × 256 pixels, each turned about the vertical axis
// and pushed back, into a 1280 × 400 view, as the image browsers show them. Frames per second are reported as the
// "fps" rate: for a still scene, for one whose cards also carry a white border (drawn into a raster per plane
// first), and for one where every card's turn animates, so each frame rebuilds the presentation tree.
#include "platform/foundation/runtime/Clock.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Color.h"
#include "platform/layers/Layer.h"
#include "platform/layers/LayerAnimation.h"
#include "platform/layers/LayerRenderer.h"
#include "platform/layers/Transaction.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

using namespace ui;

namespace {

constexpr int Cards = 30;
constexpr int Side = 256;

// A picture with a diagonal colour ramp, so every pixel differs from its neighbours.
std::shared_ptr<gfx::BitmapImageRep> picture(int seed)
{
    auto image = gfx::BitmapImageRep::create(Side, Side, gfx::BitmapLayout::ARGB32Premultiplied);
    auto pixels = image->pixelBuffer();
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x)
            pixels.row(y)[x] = gfx::packPixel(255, std::uint8_t(x + seed * 8), std::uint8_t(y), std::uint8_t(x ^ y));
    image->setSize({ Side, Side });
    return image;
}

std::shared_ptr<Layer> scene(bool bordered)
{
    auto root = Layer::layer();
    root->setFrame({ 0, 0, 1280, 400 });
    root->setBackgroundColor(gfx::Color::colorWithCalibratedWhite(0, 1));
    root->setSublayerTransform(Transform3D::perspective(800));
    for (int i = 0; i < Cards; ++i) {
        auto card = Layer::layer();
        card->setFrame({ 20 + i * 40.0, 72, Side, Side });
        card->setZPosition(-300 - 10 * std::abs(i - Cards / 2));
        card->setTransform(Transform3D::rotation((i < Cards / 2 ? 1 : -1) * 1.1, 0, 1, 0));
        card->setContents(picture(i));
        if (bordered) {
            card->setBorderWidth(4);
            card->setBorderColor(gfx::Color::colorWithCalibratedWhite(1, 1));
        }
        root->addSublayer(card);
    }
    return root;
}

void render(benchmark::State& state, const std::shared_ptr<Layer>& root, fnd::VirtualClock* clock)
{
    for (auto _ : state) {
        if (clock)
            clock->advance(1.0 / 60);
        auto frame = renderLayerTreeToBitmap(*root, root->bounds());
        benchmark::DoNotOptimize(frame);
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_CompositeStill(benchmark::State& state)
{
    render(state, scene(false), nullptr);
}
BENCHMARK(BM_CompositeStill)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CompositeBordered(benchmark::State& state)
{
    render(state, scene(true), nullptr);
}
BENCHMARK(BM_CompositeBordered)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CompositeAnimating(benchmark::State& state)
{
    auto clock = std::make_shared<fnd::VirtualClock>();
    fnd::ScopedClock scoped(clock);
    auto root = scene(false);
    for (const auto& card : root->sublayers()) {
        auto turn = BasicAnimation::animationWithKeyPath("transform");
        turn->setFromValue(fnd::toValue(Transform3D::rotation(-1.1, 0, 1, 0)));
        turn->setToValue(fnd::toValue(Transform3D::rotation(1.1, 0, 1, 0)));
        turn->setDuration(2);
        turn->setAutoreverses(true);
        turn->setRepeatCount(RepeatForever);
        card->addAnimation(turn, "turn");
    }
    render(state, root, clock.get());
    Transaction::flush();
}
BENCHMARK(BM_CompositeAnimating)->Unit(benchmark::kMillisecond)->UseRealTime();

}
