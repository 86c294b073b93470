// One key press injected through XTest, until the window's new pixels were painted by GTK: the time a person
// waits between pressing a key and seeing its effect, for a small window. Run under scripts/with-display.
#include "platform/backend/gtk/GtkBackend.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/Window.h"

#include <benchmark/benchmark.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {

// Takes the keyboard and flips its colour with every key.
class FlipView final : public ui::View {
public:
    bool acceptsFirstResponder() const override { return true; }
    void keyDown(const ui::Event&) override
    {
        ++keys;
        setNeedsDisplay(true);
    }
    void drawRect(gfx::Rect) override
    {
        auto* context = gfx::GraphicsContext::current();
        context->setFillColor(keys % 2 ? *gfx::Color::colorWithDeviceRed(0.1, 0.3, 0.8) : *gfx::Color::whiteColor());
        context->fillRect(bounds());
    }
    long keys { 0 };
};

void KeyToPixels(benchmark::State& state)
{
    auto backend = ui::GtkBackend::install();
    Display* injector = XOpenDisplay(nullptr);
    if (!backend || !injector) {
        state.SkipWithError("no display: run through scripts/with-display");
        return;
    }
    auto window = ui::Window::create({ 100, 100, 160, 100 }, ui::WindowStyleMask::Titled);
    auto view = std::make_shared<FlipView>();
    view->initWithFrame({ 0, 0, 160, 100 });
    window->setContentView(view);
    window->makeKeyAndOrderFront();
    window->makeFirstResponder(view);
    if (!backend->runUntil(
            [&] { return backend->presentedFrameCount(*window) > 0 && backend->hasKeyboardFocus(*window); }, 10)) {
        state.SkipWithError("the window was not shown with the keyboard");
        return;
    }
    KeyCode key = XKeysymToKeycode(injector, XStringToKeysym("a"));
    long missed = 0;
    for (auto _ : state) {
        long keys = view->keys;
        long frames = backend->presentedFrameCount(*window);
        XTestFakeKeyEvent(injector, key, True, CurrentTime);
        XTestFakeKeyEvent(injector, key, False, CurrentTime);
        XFlush(injector);
        if (!backend->runUntil([&] { return view->keys > keys && backend->presentedFrameCount(*window) > frames; }, 2))
            ++missed;
    }
    state.counters["missed"] = double(missed);
    state.SetItemsProcessed(state.iterations());
    window->close();
    ui::Backend::install(nullptr);
    XCloseDisplay(injector);
}
BENCHMARK(KeyToPixels)->Unit(benchmark::kMicrosecond)->UseRealTime();

}
