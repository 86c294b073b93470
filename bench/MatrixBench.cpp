#include "barcodes/detail/DataMatrixEncoder.h"
#include "barcodes/detail/QREncoder.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string digits(std::size_t count)
{
    std::string out;
    for (std::size_t i = 0; i < count; ++i)
        out += static_cast<char>('0' + (i * 7 + i / 10) % 10);
    return out;
}

}

// Symbols encoded per second, from content bytes to the finished grid.
static void qrEncode(benchmark::State& state)
{
    const int version = static_cast<int>(state.range(0));
    // Bytes that need exactly this version at level L.
    auto bytes = static_cast<std::size_t>((QREncoder::dataCodewords(version, QREncoder::Level::L) * 8 - 20) / 8);
    const std::string content(bytes, 'x');
    if (auto symbol = QREncoder::encode(content); !symbol || symbol->version != version)
        state.SkipWithError("content does not land in the version");
    for (auto _ : state)
        benchmark::DoNotOptimize(QREncoder::encode(content));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(qrEncode)->Arg(1)->Arg(10)->Arg(40);

static void dataMatrixEncode(benchmark::State& state)
{
    const int rows = static_cast<int>(state.range(0));
    int capacity = 0;
    for (const auto& size : DataMatrixEncoder::SymbolSizes) {
        if (size.rows == rows && size.isSquare())
            capacity = size.dataCodewords;
    }
    // Digit pairs: one codeword each, filling the size.
    const std::string content = digits(static_cast<std::size_t>(2 * capacity));
    if (auto symbol = DataMatrixEncoder::encode(content); !symbol || symbol->rows != rows)
        state.SkipWithError("content does not land in the size");
    for (auto _ : state)
        benchmark::DoNotOptimize(DataMatrixEncoder::encode(content));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(dataMatrixEncode)->Arg(24)->Arg(144);
