// Export of a barcode at 600 dpi: drawing the symbol into a bitmap and encoding it, next to the encoding alone on
// the same pixels, for a 95-module linear symbol and a 177 × 177 module matrix.
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

using namespace gfx;

namespace {

constexpr double Dpi = 600;
constexpr double Module = 0.33 / 25.4 * 72; // 0.33 mm in points

// Dark modules from a fixed pseudo-random sequence, so every run draws the same picture.
std::vector<bool> modules(std::size_t count)
{
    std::vector<bool> dark(count);
    std::uint32_t state = 0x2545F491;
    for (std::size_t i = 0; i < count; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        dark[i] = state & 1;
    }
    return dark;
}

struct Symbol {
    Size points;
    std::vector<Rect> bars;
};

Symbol linearSymbol()
{
    auto dark = modules(95);
    Symbol s { { (95 + 20) * Module, 70 }, {} };
    for (std::size_t i = 0; i < dark.size(); ++i)
        if (dark[i])
            s.bars.push_back({ (10 + double(i)) * Module, 0, Module, 70 });
    return s;
}

Symbol matrixSymbol()
{
    constexpr int n = 177;
    auto dark = modules(n * n);
    Symbol s { { (n + 8) * Module, (n + 8) * Module }, {} };
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            if (dark[y * n + x])
                s.bars.push_back({ (4 + x) * Module, (4 + y) * Module, Module, Module });
    return s;
}

const Symbol& symbol(std::int64_t which)
{
    static const Symbol linear = linearSymbol(), matrix = matrixSymbol();
    return which == 0 ? linear : matrix;
}

std::shared_ptr<BitmapImageRep> rasterise(const Symbol& s)
{
    long w = std::lround(std::ceil(s.points.width * Dpi / 72)), h = std::lround(std::ceil(s.points.height * Dpi / 72));
    auto rep = BitmapImageRep::create(w, h, BitmapLayout::ARGB32Premultiplied);
    rep->setSize({ w * 72 / Dpi, h * 72 / Dpi });
    auto context = GraphicsContext::createForBitmap(rep->pixelBuffer(), rep->size());
    CurrentContextScope scope(context);
    Color::blackColor()->setFill();
    for (const auto& bar : s.bars)
        context->fillRect(bar);
    context->flush();
    return rep;
}

void label(benchmark::State& state, const BitmapImageRep& rep)
{
    state.SetLabel(std::string(state.range(0) == 0 ? "95 modules, " : "177x177 modules, ")
        + std::to_string(rep.pixelsWide()) + "x" + std::to_string(rep.pixelsHigh()) + " px");
}

void rasteriseAndEncode(benchmark::State& state, BitmapImageFileType type, const fnd::Dictionary& properties)
{
    const Symbol& s = symbol(state.range(0));
    std::shared_ptr<BitmapImageRep> rep;
    for (auto _ : state) {
        rep = rasterise(s);
        benchmark::DoNotOptimize(rep->representationUsingType(type, properties));
    }
    label(state, *rep);
}

void encodeOnly(benchmark::State& state, BitmapImageFileType type, const fnd::Dictionary& properties)
{
    auto rep = rasterise(symbol(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(rep->representationUsingType(type, properties));
    label(state, *rep);
}

const fnd::Dictionary NoProperties;
const fnd::Dictionary LZW { { "NSImageCompressionMethod", 5 }, { "NSImageCompressionFactor", 1.0 } };

void rasteriseEncodePNG(benchmark::State& state)
{
    rasteriseAndEncode(state, BitmapImageFileType::PNG, NoProperties);
}
void encodePNG(benchmark::State& state)
{
    encodeOnly(state, BitmapImageFileType::PNG, NoProperties);
}
void rasteriseEncodeTIFF(benchmark::State& state)
{
    rasteriseAndEncode(state, BitmapImageFileType::TIFF, LZW);
}
void encodeTIFF(benchmark::State& state)
{
    encodeOnly(state, BitmapImageFileType::TIFF, LZW);
}

}

BENCHMARK(rasteriseEncodePNG)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(encodePNG)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(rasteriseEncodeTIFF)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(encodeTIFF)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
