#include "platform/foundation/runtime/String.h"

#include <benchmark/benchmark.h>

static void utf8RoundTrip(benchmark::State& state)
{
    std::string text(static_cast<std::size_t>(state.range(0)), 'x');
    text += "\xC3\xA9\xF0\x9F\x98\x80";
    for (auto _ : state) {
        fnd::String s(text);
        benchmark::DoNotOptimize(s.utf8());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(utf8RoundTrip)->Arg(64)->Arg(4096);
