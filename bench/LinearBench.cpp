// Linear symbols encoded per second: content set (with its check and layout), then the module string built.
#include "barcodes/TBQGenericBarcode.h"

#include <benchmark/benchmark.h>

#include <array>

namespace {

void encodeSymbols(benchmark::State& state, const char* className, const std::array<const char*, 2>& contents)
{
    auto barcode = TBQGenericBarcode::barcodeWithClassName(className);
    if (!barcode) {
        state.SkipWithError("symbology not registered");
        return;
    }
    barcode->setCalculateChecksum(true);
    std::size_t i = 0;
    for (auto _ : state) {
        barcode->setContent(contents[i++ % 2]);
        benchmark::DoNotOptimize(barcode->completeEncodedBarcode());
    }
    state.SetItemsProcessed(state.iterations());
}

void code39(benchmark::State& state)
{
    encodeSymbols(state, "Code39", { "CODE39 BENCH-01", "HELLO WORLD 42" });
}
BENCHMARK(code39);

void interleavedTwoOfFive(benchmark::State& state)
{
    encodeSymbols(state, "CodeTwoOfFiveInterleaved", { "1234567890123", "9876543210987" });
}
BENCHMARK(interleavedTwoOfFive);

}
