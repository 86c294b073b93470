// The export sheet opened and cancelled in the running application on the GTK backend, its window dimmed and
// brightened again over a second each way: what the window system's painting adds to the headless figure
// (bench/ApplicationBench.cpp, exportSheetOpenAndClose). "cpu_ms" is the process's processor time per cycle (goal:
// 100 ms), "frames" the frames GTK painted of the main window. Run under scripts/with-display.
#include "application/ApplicationLaunch.h"
#include "application/Lumvara_TessaroAppDelegate.h"

#include "platform/backend/gtk/GtkBackend.h"
#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/ui/panels/SavePanel.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>

namespace {

double exportSheetProcessMilliseconds()
{
    timespec t {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Settings folders of its own, removed at the end.
struct ExportSheetDisplayFolders {
    std::filesystem::path folder;
    ExportSheetDisplayFolders()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "bench-export-sheet-gtk-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            folder = pattern;
        for (const char* name : { "XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME" }) {
            std::filesystem::create_directories(folder / name);
            setenv(name, (folder / name).c_str(), 1);
        }
    }
    ~ExportSheetDisplayFolders()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
};

void exportSheetOpenAndCloseOnDisplay(benchmark::State& state)
{
    ExportSheetDisplayFolders folders;
    fnd::Bundle::setMainBundleName("Barcodes");
    Lumvara_TessaroAppDelegate::initialize();
    auto backend = ui::GtkBackend::install();
    if (!backend) {
        state.SkipWithError("no display: run through scripts/with-display");
        return;
    }
    std::optional<LaunchedApplication> launched;
    if (auto made = launchApplication())
        launched = std::move(*made);
    if (!launched) {
        state.SkipWithError("the application did not start");
        ui::Backend::install(nullptr);
        return;
    }
    auto& delegate = *launched->delegate;
    auto window = delegate.window();
    // Real time passes as the program passes it: waiting for events in GLib's context, which runs the fades (on
    // the run loop's clock, the wall clock here) and GTK's frames.
    auto& application = ui::Application::shared();
    auto pass = [&](double seconds) {
        const auto end = fnd::Clock::current()->now().addingTimeInterval(seconds);
        while (fnd::Clock::current()->now() < end) {
            if (auto event = application.nextEvent(ui::EventMasks::Any, end, fnd::RunLoopMode::Default, true))
                application.sendEvent(*event);
        }
    };
    if (!backend->runUntil([&] { return backend->presentedFrameCount(*window) > 0; }, 10)) {
        state.SkipWithError("the main window was not shown");
    } else {
        pass(1);
        double cpu = 0;
        long frames = 0;
        for (auto _ : state) {
            const double start = exportSheetProcessMilliseconds();
            const long before = backend->presentedFrameCount(*window);
            delegate.exportBarcode({});
            pass(1.5);
            if (auto panel = delegate.savePanel())
                panel->cancel({});
            pass(1.5);
            cpu += exportSheetProcessMilliseconds() - start;
            frames += backend->presentedFrameCount(*window) - before;
        }
        state.counters["cpu_ms"] = cpu / double(state.iterations());
        state.counters["frames"] = double(frames) / double(state.iterations());
        state.SetLabel(std::to_string(long(window->frame().width())) + " x "
            + std::to_string(long(window->frame().height())) + " pt window");
    }
    for (const auto& w : ui::Application::shared().windows())
        w->close();
    ui::Application::shared().setDelegate(nullptr);
    launched.reset();
    ui::Backend::install(nullptr);
}
BENCHMARK(exportSheetOpenAndCloseOnDisplay)->Unit(benchmark::kMillisecond)->Iterations(10);

}
