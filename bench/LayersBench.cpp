// Compositing a layer tree in perspective: 30 pictures of 256 × 256 pixels, each turned about the vertical axis
// and pushed back, into a 1280 × 400 view, as the image browsers show them. Frames per second are reported as the
// "fps" rate: for a still scene, for one whose cards also carry a white border (drawn into a raster per plane
// first), and for one where every card's turn animates, so each frame rebuilds the presentation tree.
// The compositor alone: one 272 × 272 picture (an 8-pixel margin around 256 × 256) sampled into a 1280 × 500
// target through a turned perspective map (as the flow view's side items are) and through a downscaling affine
// map; "ns_per_pixel" is the time per pixel the picture's outline covers. /0 runs the fastest loops the processor
// has, /1 the SSE2 baseline's.
// Sublayer lists of one superlayer holding n plain layers (2,000, 20,000 and 200,000), committed in a tree:
// - LayersRemoveSublayers/n/removal: the front half, the back half or every second one taken out at once.
// - LayersClearSublayers/n: setSublayers with none; LayersShrinkSublayers/n: setSublayers with the first tenth.
// Making and freeing the layers is not timed.
#include "bench/CollectionSizes.h"
#include "platform/foundation/runtime/Clock.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Color.h"
#include "platform/layers/Layer.h"
#include "platform/layers/LayerAnimation.h"
#include "platform/layers/LayerRenderer.h"
#include "platform/layers/Transaction.h"
#include "platform/layers/detail/Compositor.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

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

// The picture with its margin, the target and the box the outline covers, cleared before each pass outside the
// timing so every pixel is composited over nothing, as a frame's frontmost plane is.
void compositeThrough(benchmark::State& state, const detail::Homography& map)
{
    // Argument 1: the SSE2 baseline's loops rather than the fastest the processor runs.
    detail::useCompositorKernels(
        state.range(0) ? detail::CompositorKernels::Baseline : detail::CompositorKernels::Fastest);
    constexpr int Margin = detail::SourceMargin, Width = 1280, Height = 500;
    const int side = Side + 2 * Margin;
    std::vector<std::uint32_t> sourcePixels(std::size_t(side) * side);
    gfx::PixelBufferView source { reinterpret_cast<std::uint8_t*>(sourcePixels.data()), side, side, side * 4 };
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x)
            source.row(y + Margin)[x + Margin]
                = gfx::packPixel(255, std::uint8_t(x * 3), std::uint8_t(y * 5), std::uint8_t(x ^ y));
    detail::extendEdges(source);
    std::vector<std::uint32_t> targetPixels(std::size_t(Width) * Height);
    gfx::PixelBufferView target { reinterpret_cast<std::uint8_t*>(targetPixels.data()), Width, Height, Width * 4 };
    const gfx::Rect content { Margin, Margin, Side, Side };
    const detail::PixelBox box { 0, 0, Width, Height };

    detail::compositeProjective(source, content, map, 1, target, box);
    const auto covered = std::count_if(targetPixels.begin(), targetPixels.end(), [](auto p) { return p != 0; });
    // Only the rows' stretch the picture covers is cleared: clearing the whole target would push the picture and
    // the target out of the caches, and time the memory rather than the compositing.
    int minX = Width, maxX = 0, minY = Height, maxY = 0;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            if (target.row(y)[x]) {
                minX = std::min(minX, x), maxX = std::max(maxX, x + 1);
                minY = std::min(minY, y), maxY = std::max(maxY, y + 1);
            }
    double seconds = 0;
    for (auto _ : state) {
        for (int y = minY; y < maxY; ++y)
            std::fill(target.row(y) + minX, target.row(y) + maxX, 0u);
        const auto start = std::chrono::steady_clock::now();
        detail::compositeProjective(source, content, map, 1, target, box);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        benchmark::DoNotOptimize(targetPixels.data());
        seconds += elapsed.count();
        state.SetIterationTime(elapsed.count());
    }
    detail::useCompositorKernels(detail::CompositorKernels::Fastest);
    state.counters["pixels"] = double(covered);
    state.counters["ns_per_pixel"] = seconds * 1e9 / (double(covered) * double(state.iterations()));
}

void BM_CompositePictureTurned(benchmark::State& state)
{
    // Turned 70° about its vertical axis, 200 points back, seen from 1500 points away, left of the centre.
    constexpr double Half = Side / 2.0 + detail::SourceMargin;
    auto t = Transform3D::translation(-Half, -Half, 0);
    t = concatenated(t, Transform3D::rotation(70 * std::numbers::pi / 180, 0, 1, 0));
    t = concatenated(t, Transform3D::translation(-250, 0, -200));
    t = concatenated(t, Transform3D::perspective(1500));
    t = concatenated(t, Transform3D::translation(640, 250, 0));
    compositeThrough(state, detail::Homography::flattening(t));
}
BENCHMARK(BM_CompositePictureTurned)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseManualTime();

void BM_CompositePictureDownscaled(benchmark::State& state)
{
    // Three quarters of its size, turned slightly, so no pixel lands on a whole source pixel.
    auto a = gfx::AffineTransform::identity();
    a.translateBy(640, 250);
    a.rotateByRadians(0.1);
    a.scaleBy(0.75, 0.75);
    a.translateBy(-Side / 2.0 - detail::SourceMargin, -Side / 2.0 - detail::SourceMargin);
    compositeThrough(state, detail::Homography::fromAffine(a));
}
BENCHMARK(BM_CompositePictureDownscaled)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseManualTime();

// A superlayer of n plain layers in a committed tree, as a view's scroll layer holds its items.
std::shared_ptr<Layer> sublayerRow(std::size_t count)
{
    auto root = Layer::layer();
    std::vector<std::shared_ptr<Layer>> row;
    row.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        auto layer = Layer::layer();
        layer->setFrame({ double(i) * 10, 0, 8, 8 });
        row.push_back(std::move(layer));
    }
    root->setSublayers(std::move(row));
    Transaction::flush();
    return root;
}

void LayersRemoveSublayers(benchmark::State& state)
{
    const auto count = std::size_t(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto root = sublayerRow(count);
        auto all = root->sublayers();
        std::vector<std::shared_ptr<Layer>> leaving;
        for (std::size_t i = 0; i < count; ++i)
            if (collectionsizes::isRemoved(state.range(1), i, count))
                leaving.push_back(all[i]);
        state.ResumeTiming();
        root->removeSublayers(leaving);
        state.PauseTiming();
        if (root->sublayers().size() != count - leaving.size()) {
            state.SkipWithError("the layers did not all leave");
            break;
        }
        leaving.clear();
        all.clear();
        root.reset();
        state.ResumeTiming();
    }
    collectionsizes::perItem(state, double(count));
}
BENCHMARK(LayersRemoveSublayers)->Apply([](auto* b) {
                                    collectionsizes::threeSizesRemovals(b, 2000);
                                }) -> Unit(benchmark::kMillisecond) -> Iterations(3);

// The row replaced by its first `kept` layers through setSublayers.
void replaceSublayers(benchmark::State& state, std::size_t count, std::size_t kept)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto root = sublayerRow(count);
        auto all = root->sublayers();
        std::vector<std::shared_ptr<Layer>> staying(all.begin(), all.begin() + std::ptrdiff_t(kept));
        state.ResumeTiming();
        root->setSublayers(std::move(staying));
        state.PauseTiming();
        if (root->sublayers().size() != kept) {
            state.SkipWithError("the sublayers were not replaced");
            break;
        }
        all.clear();
        root.reset();
        state.ResumeTiming();
    }
    collectionsizes::perItem(state, double(count));
}

void LayersClearSublayers(benchmark::State& state)
{
    replaceSublayers(state, std::size_t(state.range(0)), 0);
}
BENCHMARK(LayersClearSublayers)
    ->Apply([](auto* b) { collectionsizes::threeSizes(b, 2000); }) -> Unit(benchmark::kMillisecond) -> Iterations(3);

void LayersShrinkSublayers(benchmark::State& state)
{
    replaceSublayers(state, std::size_t(state.range(0)), std::size_t(state.range(0)) / 10);
}
BENCHMARK(LayersShrinkSublayers)
    ->Apply([](auto* b) { collectionsizes::threeSizes(b, 2000); }) -> Unit(benchmark::kMillisecond) -> Iterations(3);

}
