// What naming keys costs: a letter's name asks the keyboard layout every time; the reverse map names all 128 codes
// and is rebuilt on every layout change; a recorder draws its combination on every redraw.
#include "frameworks/KeyComboRecorder/KRKeyCodeTransformer.h"
#include "frameworks/KeyComboRecorder/KRKeyCombo.h"
#include "frameworks/KeyComboRecorder/KRRecorderControl.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/ui/views/Window.h"

#include <benchmark/benchmark.h>

static void BM_KeyCodeStringOfALetter(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(KRKeyCodeString(40));
}
BENCHMARK(BM_KeyCodeStringOfALetter);

static void BM_ReadableShortcut(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(KRCocoaShortcutReadable(0x1E0000, 40));
}
BENCHMARK(BM_ReadableShortcut);

static void BM_RegenerateReverseMap(benchmark::State& state)
{
    for (auto _ : state)
        KRKeyCodeTransformer::regenerateStringToKeyCodeMapping();
}
BENCHMARK(BM_RegenerateReverseMap)->Unit(benchmark::kMicrosecond);

static void BM_DrawRecorder(benchmark::State& state)
{
    auto backend = ui::HeadlessBackend::install();
    auto window = ui::Window::create({ { 100, 100 }, { 300, 60 } });
    auto control = KRRecorderControl::create({ { 20, 20 }, { 260, 22 } });
    window->contentView()->addSubview(control);
    control->setKeyCombo({ 0x120000, 40 });
    for (auto _ : state) {
        control->setNeedsDisplay(true);
        benchmark::DoNotOptimize(backend->imageOfView(*control));
    }
    window->close();
    ui::Backend::install(nullptr);
}
BENCHMARK(BM_DrawRecorder)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
