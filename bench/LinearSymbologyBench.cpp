// Symbols encoded per second: EAN-13, and Code 128 at growing lengths of mixed letters and digits.
#include "barcodes/TBQGenericBarcode.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

void encode(benchmark::State& state, const char* className, const std::string& content)
{
    auto barcode = TBQGenericBarcode::barcodeWithClassName(className);
    barcode->setContent(fnd::String(content));
    for (auto _ : state)
        benchmark::DoNotOptimize(barcode->completeEncodedBarcode());
    state.SetItemsProcessed(state.iterations());
}

}

static void ean13(benchmark::State& state)
{
    encode(state, "EAN13", "400638133393");
}
BENCHMARK(ean13);

static void code128(benchmark::State& state)
{
    // Letters and digit runs alternate, so every length switches code sets.
    const std::string pattern = "Lot 12345678 ab-";
    std::string content;
    while (content.size() < static_cast<std::size_t>(state.range(0)))
        content += pattern;
    content.resize(static_cast<std::size_t>(state.range(0)));
    encode(state, "Code128", content);
}
BENCHMARK(code128)->Arg(10)->Arg(40)->Arg(80);
