#include "platform/ui/views/Backend.h"

namespace ui {

namespace {

// Used until a real backend is installed: a screen to lay windows out on, and nothing shown.
class OffscreenBackend final : public Backend {
public:
    std::vector<ScreenGeometry> screens() override { return { { { 0, 0, 1440, 900 }, { 0, 0, 1440, 878 }, 1 } }; }
    std::shared_ptr<gfx::WindowSurface> surfaceForWindow(Window&) override { return nullptr; }
};

// Whether the installed backend still exists: windows kept by static objects may go after it at exit.
bool& backendAlive()
{
    static bool alive = false;
    return alive;
}

std::shared_ptr<Backend>& installed()
{
    struct Holder {
        std::shared_ptr<Backend> backend = std::make_shared<OffscreenBackend>();
        Holder() { backendAlive() = true; }
        ~Holder() { backendAlive() = false; }
    };
    static Holder holder;
    return holder.backend;
}

}

Backend& Backend::current()
{
    return *installed();
}

void Backend::noteWindowDestroyed(long windowNumber)
{
    if (backendAlive())
        installed()->windowDestroyed(windowNumber);
}

void Backend::install(std::shared_ptr<Backend> backend)
{
    installed() = backend ? std::move(backend) : std::make_shared<OffscreenBackend>();
}

gfx::EdgeInsets Backend::frameInsets(unsigned styleMask)
{
    // A title bar of the platform's usual height on titled windows.
    constexpr double TitleBarHeight = 22;
    return { (styleMask & 1u) ? TitleBarHeight : 0, 0, 0, 0 };
}

fnd::Expected<void> Backend::openURL(const fnd::String& url)
{
    return std::unexpected(fnd::Error::make("ui", 2, fnd::String("No window system can open ") + url));
}

// Backend::popUpMenu and Backend::dragImage have their defaults beside the menus and the drags (MenuTracking.cpp,
// Dragging.cpp).

std::vector<fnd::String> Backend::clipboardTypes(const fnd::String&)
{
    return {};
}

std::optional<fnd::Data> Backend::clipboardData(const fnd::String&, const fnd::String&)
{
    return std::nullopt;
}

}
