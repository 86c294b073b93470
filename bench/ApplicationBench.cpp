// The application's hot paths: the preview redrawn after a keystroke (model update included), an export at 600 dpi
// next to the codec alone on the same pixels (PNG, TIFF with LZW in RGB and CMYK, JPEG at 80 %), and the export
// sheet opened and closed in the running application, its window dimmed and brightened again over a second each way
// (goal: 100 ms of processor time for both; "cpu_ms" is the process's, "composites" the main window's drawings).
#include "application/ApplicationLaunch.h"
#include "application/BarcodeExporter.h"
#include "application/Lumvara_TessaroAppDelegate.h"
#include "application/Preferences.h"
#include "application/TBQBarcodeView.h"

#include "barcodes/TBQGenericBarcode.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Color.h"
#include "platform/ui/panels/SavePanel.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Window.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>

namespace {

constexpr double Dpi = 600;

std::shared_ptr<TBQGenericBarcode> makeBarcode(const char* className, const std::string& content)
{
    auto b = TBQGenericBarcode::barcodeWithClassName(className);
    b->setBarColor(gfx::Color::blackColor());
    b->setBackgroundColor(gfx::Color::whiteColor());
    b->setShouldDrawBackground(true);
    b->setCalcQuietZone(true);
    b->setDrawCaption(true);
    b->setFont(Preferences::defaultCaptionFont());
    b->setBarWidth(0.33 / 25.4 * 72);
    b->setHeight(26.26 / 25.4 * 72);
    b->setContent(fnd::String(content));
    return b;
}

// 4296 alphanumeric characters: QR Code version 40.
std::string version40(char last)
{
    std::string s(4295, 'A');
    s.push_back(last);
    return s;
}

// One keystroke: the content changes, the model lays out again, the view takes the new frame and draws at the zoom.
void redraw(benchmark::State& state, const char* className, std::string a, std::string b, double zoom)
{
    auto barcode = makeBarcode(className, a);
    auto view = TBQBarcodeView::createWithBarcode(barcode);
    bool flip = false;
    long pixels = 0;
    for (auto _ : state) {
        barcode->setContent(fnd::String(flip ? a : b));
        flip = !flip;
        view->setNeedsUpdate();
        gfx::Rect bounds = view->bounds();
        auto rep = gfx::BitmapImageRep::create(long(std::ceil(bounds.width() * zoom)),
            long(std::ceil(bounds.height() * zoom)), gfx::BitmapLayout::ARGB32Premultiplied);
        rep->setSize(bounds.size);
        view->cacheDisplayInRect(bounds, *rep);
        pixels = rep->pixelsWide() * rep->pixelsHigh();
        benchmark::DoNotOptimize(rep->bitmapData());
    }
    state.SetLabel(std::to_string(pixels) + " px");
}

void redrawEAN13At100(benchmark::State& state)
{
    redraw(state, "EAN13", "400638133393", "400638133394", 1);
}

void redrawQRVersion40At400(benchmark::State& state)
{
    redraw(state, "QR", version40('B'), version40('C'), 4);
}

std::shared_ptr<TBQGenericBarcode> exportedBarcode(std::int64_t which)
{
    return which == 0 ? makeBarcode("EAN13", "400638133393") : makeBarcode("QR", version40('B'));
}

const fnd::Dictionary LZW { { gfx::ImagePropertyKey::CompressionMethod, int(gfx::TIFFCompression::LZW) },
    { gfx::ImagePropertyKey::CompressionFactor, 1.0 } };
const fnd::Dictionary Quality80 { { gfx::ImagePropertyKey::CompressionFactor, 0.8 } };

// What the export sheet asks of the bitmap: its colour space and, for JPEG, paper white instead of transparency.
struct BitmapSettings {
    fnd::String colorSpace { gfx::BitmapImageRep::CalibratedRGBColorSpace };
    bool flattenAlpha { false };
};
const BitmapSettings CMYK { gfx::BitmapImageRep::DeviceCMYKColorSpace, false };
const BitmapSettings Flattened { gfx::BitmapImageRep::CalibratedRGBColorSpace, true };

// The export without the file system: drawing at the resolution, then encoding.
void exportAs(benchmark::State& state, gfx::BitmapImageFileType type, const fnd::Dictionary& properties,
    const BitmapSettings& settings = {})
{
    auto barcode = exportedBarcode(state.range(0));
    for (auto _ : state) {
        auto rep = BarcodeExporter::bitmapForBarcode(barcode, Dpi, settings.colorSpace, settings.flattenAlpha);
        benchmark::DoNotOptimize((*rep)->representationUsingType(type, properties));
    }
    state.SetLabel(state.range(0) == 0 ? "EAN-13" : "QR version 40");
}

// The drawing alone, for the difference between the two.
void drawOnly(benchmark::State& state)
{
    auto barcode = exportedBarcode(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(
            BarcodeExporter::bitmapForBarcode(barcode, Dpi, gfx::BitmapImageRep::CalibratedRGBColorSpace));
    state.SetLabel(state.range(0) == 0 ? "EAN-13" : "QR version 40");
}

void encodeOnly(benchmark::State& state, gfx::BitmapImageFileType type, const fnd::Dictionary& properties,
    const BitmapSettings& settings = {})
{
    auto rep = *BarcodeExporter::bitmapForBarcode(
        exportedBarcode(state.range(0)), Dpi, settings.colorSpace, settings.flattenAlpha);
    for (auto _ : state)
        benchmark::DoNotOptimize(rep->representationUsingType(type, properties));
    state.SetLabel(state.range(0) == 0 ? "EAN-13" : "QR version 40");
}

void exportPNG(benchmark::State& state)
{
    exportAs(state, gfx::BitmapImageFileType::PNG, {});
}
void encodePNG(benchmark::State& state)
{
    encodeOnly(state, gfx::BitmapImageFileType::PNG, {});
}
void exportTIFF(benchmark::State& state)
{
    exportAs(state, gfx::BitmapImageFileType::TIFF, LZW);
}
void encodeTIFF(benchmark::State& state)
{
    encodeOnly(state, gfx::BitmapImageFileType::TIFF, LZW);
}
void exportTIFFCMYK(benchmark::State& state)
{
    exportAs(state, gfx::BitmapImageFileType::TIFF, LZW, CMYK);
}
void encodeTIFFCMYK(benchmark::State& state)
{
    encodeOnly(state, gfx::BitmapImageFileType::TIFF, LZW, CMYK);
}
void exportJPEG(benchmark::State& state)
{
    exportAs(state, gfx::BitmapImageFileType::JPEG, Quality80, Flattened);
}
void encodeJPEG(benchmark::State& state)
{
    encodeOnly(state, gfx::BitmapImageFileType::JPEG, Quality80, Flattened);
}

// Processor time of the whole process, in milliseconds.
double processMilliseconds()
{
    timespec t {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// The application as the program starts it, on the headless backend and a virtual clock, with settings folders of
// its own (removed at the end).
struct ExportSheetBenchApplication {
    std::filesystem::path folder;
    std::shared_ptr<fnd::VirtualClock> clock { std::make_shared<fnd::VirtualClock>() };
    std::optional<fnd::ScopedClock> scopedClock;
    std::shared_ptr<ui::HeadlessBackend> backend;
    std::optional<LaunchedApplication> launched;

    ExportSheetBenchApplication()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "bench-export-sheet-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            folder = pattern;
        for (const char* name : { "XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME" }) {
            std::filesystem::create_directories(folder / name);
            setenv(name, (folder / name).c_str(), 1);
        }
        fnd::Bundle::setMainBundleName("Barcodes");
        scopedClock.emplace(clock);
        Lumvara_TessaroAppDelegate::initialize();
        backend = ui::HeadlessBackend::install();
        if (auto made = launchApplication())
            launched = std::move(*made);
    }
    ~ExportSheetBenchApplication()
    {
        for (const auto& w : ui::Application::shared().windows())
            w->close();
        ui::Application::shared().setDelegate(nullptr);
        launched.reset();
        ui::Backend::install(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    void wait(double seconds)
    {
        fnd::RunLoop::main().runUntilDate(clock->now().addingTimeInterval(seconds));
        backend->dispatchEvents();
    }
};

void exportSheetOpenAndClose(benchmark::State& state)
{
    ExportSheetBenchApplication app;
    if (!app.launched) {
        state.SkipWithError("the application did not start");
        return;
    }
    auto& delegate = *app.launched->delegate;
    auto window = delegate.window();
    app.wait(1);
    double cpu = 0;
    long composites = 0;
    for (auto _ : state) {
        const double start = processMilliseconds();
        const long flushes = app.backend->flushCount(*window);
        delegate.exportBarcode({});
        app.wait(1.5);
        if (auto panel = delegate.savePanel())
            panel->cancel({});
        app.wait(1.5);
        cpu += processMilliseconds() - start;
        composites += app.backend->flushCount(*window) - flushes;
    }
    state.counters["cpu_ms"] = cpu / double(state.iterations());
    state.counters["composites"] = double(composites) / double(state.iterations());
    state.SetLabel(std::to_string(long(window->frame().width())) + " x "
        + std::to_string(long(window->frame().height())) + " pt window");
}

}

BENCHMARK(exportSheetOpenAndClose)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(redrawEAN13At100)->Unit(benchmark::kMillisecond);
BENCHMARK(redrawQRVersion40At400)->Unit(benchmark::kMillisecond);
BENCHMARK(drawOnly)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(exportPNG)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(encodePNG)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(exportTIFF)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(encodeTIFF)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(exportTIFFCMYK)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(encodeTIFFCMYK)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(exportJPEG)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(encodeJPEG)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
