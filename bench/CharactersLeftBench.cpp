// The room the line under the content field states, asked at every keystroke: QR Code and Data Matrix work it out
// with their encoders, for content of a typical 20 characters and of 10 and 100 times that.
#include "barcodes/DataMatrix.h"
#include "barcodes/QR.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// Lower-case text (byte mode in QR Code, Text in Data Matrix), with a comma in every twenty characters.
fnd::String words(std::size_t count)
{
    std::string out;
    for (std::size_t i = 0; i < count; ++i)
        out += i % 20 == 19 ? ',' : static_cast<char>('a' + (i * 7) % 26);
    return fnd::String(out);
}

void charactersLeft(benchmark::State& state, const char* className)
{
    auto barcode = TBQGenericBarcode::barcodeWithClassName(className);
    barcode->setContent(words(static_cast<std::size_t>(state.range(0))));
    if (!barcode->encodingErrorString().isEmpty())
        state.SkipWithError("the content does not fit");
    for (auto _ : state)
        benchmark::DoNotOptimize(barcode->numberOfCharactersLeft());
    state.SetLabel(std::to_string(*barcode->numberOfCharactersLeft()) + " left");
}

void qrCharactersLeft(benchmark::State& state)
{
    charactersLeft(state, "QR");
}

void dataMatrixCharactersLeft(benchmark::State& state)
{
    charactersLeft(state, "DataMatrix");
}

}

BENCHMARK(qrCharactersLeft)->Arg(20)->Arg(200)->Arg(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK(dataMatrixCharactersLeft)->Arg(20)->Arg(200)->Arg(2000)->Unit(benchmark::kMicrosecond);
