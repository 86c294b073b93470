#include "platform/foundation/runtime/CharacterSet.h"
#include "platform/foundation/runtime/String.h"

#include <benchmark/benchmark.h>

namespace {

fnd::String csvText(std::size_t rows)
{
    std::string text;
    for (std::size_t i = 0; i < rows; ++i)
        text += "\"Name " + std::to_string(i) + "\",4006381333931,caf\xC3\xA9,0.33\r\n";
    return fnd::String(text);
}

}

// The CSV reader steps through its text one composed character at a time.
static void composedCharacterWalk(benchmark::State& state)
{
    fnd::String text = csvText(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        fnd::Index i = 0;
        while (i < text.length())
            i = text.rangeOfComposedCharacterSequenceAtIndex(i).max();
        benchmark::DoNotOptimize(i);
    }
    state.SetItemsProcessed(state.iterations() * text.length());
}
BENCHMARK(composedCharacterWalk)->Arg(16)->Arg(1024);

static void searchWithOptions(benchmark::State& state)
{
    fnd::String text = csvText(1024);
    auto options = static_cast<fnd::StringCompareOptions>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(text.rangeOfString("CAF\xC3\x89,0.34", options));
    state.SetBytesProcessed(state.iterations() * text.length() * 2);
}
// Literal, default (canonical equivalence), case-insensitive.
BENCHMARK(searchWithOptions)->Arg(2)->Arg(0)->Arg(1);

static void characterSetMembership(benchmark::State& state)
{
    fnd::String text = csvText(1024);
    const auto& digits = fnd::CharacterSet::decimalDigitCharacterSet();
    for (auto _ : state) {
        int count = 0;
        for (char16_t u : text.view())
            count += digits.characterIsMember(u);
        benchmark::DoNotOptimize(count);
    }
    state.SetItemsProcessed(state.iterations() * text.length());
}
BENCHMARK(characterSetMembership);
