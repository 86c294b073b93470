// A keystroke in the main window's content field, through the real controls on the headless backend: the key event,
// the field editor, the delegate's action and refresh of every control, the model's new layout, and the window's
// redraw of the preview at the zoom. EAN-13 at 100 %, QR Code version 40 at 400 % and 2000 letters of text at 100 %.
#include "application/ApplicationLaunch.h"
#include "application/Lumvara_TessaroAppDelegate.h"
#include "application/TessaroBarcodeView.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/foundation/files/Bundle.h"
#include "platform/ui/controls/PopUpButton.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/text/TextField.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

constexpr char16_t Backspace = 0x7F;

// The application keeps its settings in a folder of its own for the run.
struct Environment {
    Environment()
    {
        folder = std::filesystem::temp_directory_path() / ("bench-window-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
        setenv("XDG_STATE_HOME", folder.c_str(), 1);
        fnd::Bundle::setMainBundleName("Barcodes");
    }
    ~Environment() { std::filesystem::remove_all(folder); }
    std::filesystem::path folder;
};

struct RunningApplication {
    std::shared_ptr<ui::HeadlessBackend> backend { ui::HeadlessBackend::install() };
    LaunchedApplication launched;

    RunningApplication(const char* symbology, const std::u16string& content, long zoom)
    {
        static Environment environment;
        (void)environment;
        launched = *launchApplication();
        auto& app = *launched.delegate;
        choose(*app.barcodePopupButton(), app.barcodePopupButton()->indexOfItemWithRepresentedObject(symbology));
        choose(*app.zoomPopupButton(), app.zoomPopupButton()->indexOfItemWithTag(zoom));
        // The content arrives by Paste, as a long text would.
        auto pasteboard = ui::Pasteboard::generalPasteboard();
        pasteboard->declareTypes({ ui::PasteboardType::String });
        pasteboard->setString(fnd::String(content), ui::PasteboardType::String);
        click(*app.contentTextField());
        key(u'a', ui::KeyCode::A, ui::ModifierFlags::Command);
        key(u'v', ui::KeyCode::V, ui::ModifierFlags::Command);
        window().displayIfNeeded();
    }
    ~RunningApplication()
    {
        for (const auto& w : ui::Application::shared().windows())
            w->close();
        ui::Application::shared().setDelegate(nullptr);
        launched = {};
        ui::Backend::install(nullptr);
    }

    ui::Window& window() { return *launched.delegate->window(); }
    void click(ui::View& view)
    {
        auto point = view.convertPointToView({ view.bounds().midX(), view.bounds().midY() }, nullptr);
        backend->mouseDown(window(), point);
        backend->mouseUp(window(), point);
        backend->dispatchEvents();
    }
    void choose(ui::PopUpButton& popUp, long index)
    {
        backend->answerNextPopUpMenu(index);
        click(popUp);
    }
    void key(char16_t character, unsigned short code, unsigned flags = 0)
    {
        backend->keyDown(window(), fnd::String(std::u16string(1, character)), code, flags);
        backend->dispatchEvents();
    }
};

// Each iteration is one key: alternately Backspace and the character back again, so the content keeps its length.
void keystroke(benchmark::State& state, const char* symbology, std::u16string content, long zoom)
{
    RunningApplication running(symbology, content, zoom);
    const char16_t last = content.back();
    bool erase = true;
    for (auto _ : state) {
        running.key(erase ? Backspace : last, erase ? ui::KeyCode::Delete : 0);
        erase = !erase;
        // What the run loop does before it waits: the window draws what changed.
        running.window().displayIfNeeded();
    }
    auto preview = running.launched.delegate->previewView();

    state.SetLabel(std::to_string(long(preview->frame().width())) + " x "
        + std::to_string(long(preview->frame().height())) + " pt at " + std::to_string(zoom) + " %");
}

void keystrokeEAN13At100(benchmark::State& state)
{
    keystroke(state, "EAN13", u"400638133393", 100);
}

void keystrokeQRVersion40At400(benchmark::State& state)
{
    // 4296 alphanumeric characters fill version 40.
    std::u16string content(4295, u'A');
    content.push_back(u'B');
    keystroke(state, "QR", content, 400);
}

void keystrokeQRText2000At100(benchmark::State& state)
{
    // Text in byte mode, two thirds of the largest symbol: the room left is worked out at every key.
    std::u16string content;
    for (int i = 0; i < 2000; ++i)
        content.push_back(char16_t(i % 20 == 19 ? u',' : u'a' + (i * 7) % 26));
    keystroke(state, "QR", content, 100);
}

}

BENCHMARK(keystrokeEAN13At100)->Unit(benchmark::kMillisecond);
BENCHMARK(keystrokeQRVersion40At400)->Unit(benchmark::kMillisecond);
BENCHMARK(keystrokeQRText2000At100)->Unit(benchmark::kMillisecond);
