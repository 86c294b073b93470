// A window's saved frame comes back from the user defaults, which anyone can edit, into an ordinary window and into
// the preference window: any bytes are refused (the window keeps its frame, the preference window is centred) or
// give a frame within reach of a screen, and what the window then saves reads back as its frame.
#include "FuzzEnvironment.h"

#include "frameworks/ZORAppKit/ZORPreferenceWindowController/ZORPreferenceWindowController.h"
#include "frameworks/ZORAppKit/ZORPreferenceWindowController/detail/ZORPreferenceWindowControllerTesting.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/ui/views/Screen.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void windowFrameCheck(bool condition)
{
    if (!condition)
        std::abort();
}

constexpr gfx::Size WindowFrameScreen { 1440, 900 };

// Kept for the whole run and never destroyed: at exit the runtime's own statics go first.
struct WindowFrameBench {
    std::shared_ptr<ui::HeadlessBackend> backend = [] {
        auto installed = ui::HeadlessBackend::install(WindowFrameScreen);
        // Frames only: no input needs pixels.
        installed->setDrawsWindows(false);
        return installed;
    }();
    std::shared_ptr<ui::Window> window = ui::Window::create({ 100, 100, 400, 300 });
    // Where the window is at the start of every input.
    gfx::Rect resting = window->frame();
    std::shared_ptr<ZORPreferenceWindowController> preferences = ZORPreferenceWindowController::create("Fuzz");
};

WindowFrameBench& windowFrameBench()
{
    static auto& bench = *new WindowFrameBench;
    return bench;
}

// Within ten million points of the origin, as every frame read from a string must be.
bool windowFrameWithinReach(gfx::Rect frame)
{
    for (double v : { frame.minX(), frame.minY(), frame.maxX(), frame.maxY() })
        if (!std::isfinite(v) || std::abs(v) > 2 * ui::detail::ViewLargestCoordinate)
            return false;
    return true;
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto& bench = windowFrameBench();
    const fnd::String text(std::string_view(reinterpret_cast<const char*>(data), size));
    const auto read = ui::Window::frameFromSavedString(text);
    if (read) {
        windowFrameCheck(windowFrameWithinReach(*read) && read->width() > 0 && read->height() > 0);
        for (double v : { read->minX(), read->minY(), read->width(), read->height() })
            windowFrameCheck(std::abs(v) <= ui::detail::ViewLargestCoordinate);
    }

    // An ordinary window takes the frame, its size cut to the screen, or keeps its own.
    auto& window = *bench.window;
    window.setFrameFromString(text);
    const auto taken = window.frame();
    if (!read) {
        windowFrameCheck(taken == bench.resting);
    } else {
        windowFrameCheck(taken.origin == read->origin);
        windowFrameCheck(taken.width() == std::min(read->width(), WindowFrameScreen.width));
        windowFrameCheck(taken.height() == std::min(read->height(), WindowFrameScreen.height));
        // What it saves (whole points) reads back as its frame, rounded.
        const auto saved = ui::Window::frameFromSavedString(window.stringWithSavedFrame());
        windowFrameCheck(saved.has_value() || taken.width() < 0.5 || taken.height() < 0.5);
        if (saved)
            windowFrameCheck(
                saved->minX() == std::round(taken.minX()) && saved->height() == std::round(taken.height()));
    }

    // The preference window keeps its size and puts the saved top left corner back, or is centred.
    auto& preferences = *bench.preferences;
    ZORPreferenceWindowControllerTesting::restoreFrame(preferences, text);
    const auto placed = preferences.window()->frame();
    windowFrameCheck(windowFrameWithinReach(placed));
    if (read)
        windowFrameCheck(placed.minX() == read->minX()
            && std::abs(placed.maxY() - read->maxY()) <= 1e-9 * std::max(1.0, std::abs(read->maxY())));

    window.setFrame(bench.resting, false);
    fuzzEndInputAsARunLoopPass();
    return 0;
}
