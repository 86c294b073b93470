// A pasted PDF: reading a small one (a barcode label of 60 × 40 points with one bar), and converting it to PNG at
// 72 and 300 dpi, as a program that pastes only bitmaps asks for it. Reading is most of the small conversion.
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/PDFImageRep.h"
#include "platform/ui/dragging/PasteboardConversion.h"

#include <benchmark/benchmark.h>

namespace {

const fnd::Data& labelPDF()
{
    static const fnd::Data pdf = [] {
        auto context = gfx::GraphicsContext::createForPDF({ 60, 40 });
        {
            gfx::CurrentContextScope scope(context);
            context->setFillColor(*gfx::Color::blackColor());
            context->fillRect({ 5, 5, 50, 20 });
        }
        return *context->finishDocument();
    }();
    return pdf;
}

void readPDF(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(gfx::PDFImageRep::imageRepWithData(labelPDF()));
}

void convertPDFToPNG(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ui::pasteboardconversion::pngOfPDF(labelPDF(), double(state.range(0))));
    state.SetLabel(std::to_string(state.range(0)) + " dpi");
}

}

BENCHMARK(readPDF)->Unit(benchmark::kMicrosecond);
BENCHMARK(convertPDFToPNG)->Arg(72)->Arg(300)->Unit(benchmark::kMicrosecond);
