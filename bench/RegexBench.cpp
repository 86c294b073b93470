#include "frameworks/ZORRegex/ZORRegexAdditions.h"

#include <benchmark/benchmark.h>

namespace {

using namespace ZORRegexAdditions;

// About a megabyte of prose (UTF-16 units), with the one date the patterns look for at its end.
const fnd::String& megabyteText()
{
    static const fnd::String text = [] {
        std::string s;
        const std::string line = "Barcodes are drawn from module strings, one module after another, 0.33 mm wide.\n";
        while (s.size() < (1u << 20) - 32)
            s += line;
        s += "Printed 2024-05-17.";
        return fnd::String(s);
    }();
    return text;
}

const fnd::String Date = "(\\d{4})-(\\d\\d)-(\\d\\d)";
const fnd::String Word = "\\bmodules?\\b";

}

// A repeated query: the pattern, the subject's characters and the last search all come from the cache.
static void firstMatchHit(benchmark::State& state)
{
    const auto& text = megabyteText();
    clearStringCache();
    for (auto _ : state)
        benchmark::DoNotOptimize(rangeOfRegex(text, Date));
    state.SetBytesProcessed(state.iterations() * text.length() * 2);
}
BENCHMARK(firstMatchHit);

// The same query on an empty cache: compile, copy the subject, search a megabyte.
static void firstMatchMiss(benchmark::State& state)
{
    const auto& text = megabyteText();
    for (auto _ : state) {
        clearStringCache();
        benchmark::DoNotOptimize(rangeOfRegex(text, Date));
    }
    state.SetBytesProcessed(state.iterations() * text.length() * 2);
}
BENCHMARK(firstMatchMiss);

// Every match of a word over the megabyte, with the pattern and subject cached and anew.
static void allMatchesHit(benchmark::State& state)
{
    const auto& text = megabyteText();
    clearStringCache();
    for (auto _ : state)
        benchmark::DoNotOptimize(componentsMatchedByRegex(text, Word));
    state.SetBytesProcessed(state.iterations() * text.length() * 2);
}
BENCHMARK(allMatchesHit);

static void allMatchesMiss(benchmark::State& state)
{
    const auto& text = megabyteText();
    for (auto _ : state) {
        clearStringCache();
        benchmark::DoNotOptimize(componentsMatchedByRegex(text, Word));
    }
    state.SetBytesProcessed(state.iterations() * text.length() * 2);
}
BENCHMARK(allMatchesMiss);

// Many short subjects, each new to the cache: the fixed buffers take them without allocating.
static void shortSubjects(benchmark::State& state)
{
    std::vector<fnd::String> subjects;
    for (int i = 0; i < 64; ++i)
        subjects.push_back(fnd::String("item ") + fnd::String(std::to_string(i * 7919)) + fnd::String(" 2024-05-17"));
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(isMatchedByRegex(subjects[i++ % subjects.size()], Date));
}
BENCHMARK(shortSubjects);
