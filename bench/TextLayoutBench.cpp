#include "platform/graphics/GraphicsContext.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"

#include <benchmark/benchmark.h>

namespace {

// 10,000 UTF-16 units of mixed text: Latin words, digits, tabs, Hebrew, Greek and line breaks, in two fonts.
std::shared_ptr<txt::TextStorage> mixedText()
{
    const std::u16string pieces[] = { u"Barcode ", u"4006381333931 ", u"\u05E9\u05DC\u05D5\u05DD ",
        u"\u03B1\u03B2\u03B3 ", u"tab\tstop ", u"line\n", u"caf\u00E9 " };
    std::u16string text;
    for (std::size_t i = 0; text.size() < 10000; ++i)
        text += pieces[i % std::size(pieces)];
    text.resize(10000);
    auto storage = std::make_shared<txt::TextStorage>(
        fnd::String(text), txt::Attributes { { txt::FontAttributeName, gfx::Font::fontWithName("DejaVu Sans", 12) } });
    for (fnd::Index i = 0; i + 40 < storage->length(); i += 97)
        storage->addAttribute(txt::FontAttributeName, gfx::Font::fontWithName("DejaVu Serif", 14), { i, 40 });
    return storage;
}

void layOutMixedText(benchmark::State& state)
{
    auto storage = mixedText();
    auto manager = fnd::makeObject<txt::LayoutManager>();
    auto container = std::make_shared<txt::TextContainer>(gfx::Size { 400, 1e7 });
    manager->addTextContainer(container);
    storage->addLayoutManager(manager);
    for (auto _ : state) {
        manager->invalidateLayout();
        benchmark::DoNotOptimize(manager->usedRectForTextContainer(*container));
    }
}
BENCHMARK(layOutMixedText)->Unit(benchmark::kMillisecond);

void layOutAndDrawMixedText(benchmark::State& state)
{
    auto storage = mixedText();
    auto manager = fnd::makeObject<txt::LayoutManager>();
    auto container = std::make_shared<txt::TextContainer>(gfx::Size { 400, 1e7 });
    manager->addTextContainer(container);
    storage->addLayoutManager(manager);
    auto context = gfx::GraphicsContext::createForBitmap(400, 600, {}, true);
    gfx::CurrentContextScope scope(context);
    for (auto _ : state) {
        manager->invalidateLayout();
        manager->drawGlyphsForGlyphRange({ 0, manager->numberOfGlyphs() }, { 0, 0 });
    }
}
BENCHMARK(layOutAndDrawMixedText)->Unit(benchmark::kMillisecond);

}
