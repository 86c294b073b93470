// Typing into a long text in a text view: one key press, then the window redrawn, at several document lengths. An
// edit lays out again only the paragraph it touched and redraws only the lines that changed (the counter reports
// the paragraphs laid out per keystroke). What still grows with the length is the storage's own edit of its one
// contiguous UTF-16 string, timed alone in editStorageOfLongText for comparison.

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/foundation/runtime/Clock.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/text/TextView.h"
#include "platform/ui/views/Window.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

void typeIntoLongText(benchmark::State& state)
{
    const auto lines = state.range(0);
    auto clock = std::make_shared<fnd::VirtualClock>();
    fnd::ScopedClock scopedClock(clock);
    auto backend = ui::HeadlessBackend::install();
    auto window = ui::Window::create({ 100, 100, 600, 400 });
    window->makeKeyAndOrderFront();
    auto view = ui::TextView::create({ 0, 0, 600, 400 });
    view->setRichText(false);
    std::string text;
    for (long i = 0; i < lines; ++i)
        text += "Line " + std::to_string(i) + " of a long document, with enough words to be worth shaping.\n";
    view->setString(fnd::String(text));
    window->contentView()->addSubview(view);
    window->makeFirstResponder(view);
    view->setSelectedRange({ 3 * 64 + 10, 0 }); // in the fourth line, on screen
    window->displayIfNeeded();
    auto manager = view->layoutManager();
    const auto laidOutBefore = manager->paragraphsLaidOut();
    long keystrokes = 0;
    for (auto _ : state) {
        backend->keyDown(*window, "x", ui::KeyCode::X);
        backend->dispatchEvents();
        window->displayIfNeeded();
        backend->keyDown(*window, fnd::String(u"\u007F"), ui::KeyCode::Delete);
        backend->dispatchEvents();
        window->displayIfNeeded();
        keystrokes += 2;
    }
    state.counters["keystroke"] = benchmark::Counter(
        static_cast<double>(keystrokes), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["paragraphs_laid_out_per_keystroke"]
        = static_cast<double>(manager->paragraphsLaidOut() - laidOutBefore) / std::max(1L, keystrokes);
    window->close();
    ui::Backend::install(nullptr);
}
BENCHMARK(typeIntoLongText)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

void editStorageOfLongText(benchmark::State& state)
{
    std::string text;
    for (long i = 0; i < state.range(0); ++i)
        text += "Line " + std::to_string(i) + " of a long document, with enough words to be worth shaping.\n";
    auto storage = std::make_shared<txt::TextStorage>(fnd::String(text));
    long keystrokes = 0;
    for (auto _ : state) {
        storage->replaceCharactersInRange({ 3 * 64 + 10, 0 }, "x");
        storage->replaceCharactersInRange({ 3 * 64 + 10, 1 }, "");
        keystrokes += 2;
    }
    state.counters["keystroke"] = benchmark::Counter(
        static_cast<double>(keystrokes), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(editStorageOfLongText)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}
