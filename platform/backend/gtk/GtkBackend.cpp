#include "platform/backend/gtk/GtkBackend.h"

#include "platform/backend/gtk/GnomeShortcutProvider.h"
#include "platform/backend/gtk/GtkAccessibilityBridge.h"
#include "platform/backend/gtk/GtkClipboardBridge.h"
#include "platform/backend/gtk/GtkCursors.h"
#include "platform/backend/gtk/GtkDisplayState.h"
#include "platform/backend/gtk/GtkDragAndDrop.h"
#include "platform/backend/gtk/GtkKeyboardLayout.h"
#include "platform/backend/gtk/GtkMenuBar.h"
#include "platform/backend/gtk/GtkTextRendering.h"
#include "platform/backend/gtk/GtkWindowHost.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/foundation/services/Workspace.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Window.h"

#include <gdk/x11/gdkx.h>

#include <cstdlib>
#include <unistd.h>

#include <algorithm>

namespace ui {

namespace {

bool sessionHasDisplay()
{
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

}

namespace {

// The display going (a logout, the X server ending) ends the process: GDK's own handler would end it at once, with
// whatever the person did since the last write lost. Ours writes it first. Xlib ends the process if the handler
// returns, and anything that talks to the display meanwhile comes back here: the second time goes at once.
int (*gtkBackendPreviousIOErrorHandler)(Display*) = nullptr;

[[noreturn]] void gtkBackendEndWithDisplay()
{
    static bool ending = false;
    if (!ending) {
        ending = true;
        fnd::log(fnd::LogLevel::Warning, "The connection to the display was lost; the program ends.");
        Application::shared().terminateImmediately();
    }
    _exit(1);
}

int gtkBackendDisplayLost(Display*)
{
    gtkBackendEndWithDisplay();
}

void gtkBackendDisplayClosed(GdkDisplay*, gboolean isError, gpointer)
{
    if (isError)
        gtkBackendEndWithDisplay();
}

}

namespace {

// The texts GTK and the C library write for us (the shortcut labels of the menu bar, the system's reasons for a
// failure) come in the language the program's own texts are in, so that a German desktop shows no German "Strg+Q"
// in an English menu. Numbers and dates keep the desktop's conventions: only the messages' language changes.
void speakTheProgramsLanguage()
{
    auto bundle = fnd::Bundle::mainBundle();
    if (!bundle)
        return;
    for (const auto& localization : bundle->preferredLocalizations()) {
        if (localization == fnd::String("Base"))
            continue;
        auto language = localization.utf8();
        std::replace(language.begin(), language.end(), '-', '_');
        g_setenv("LANGUAGE", language.c_str(), TRUE);
        return;
    }
}

}

std::shared_ptr<GtkBackend> GtkBackend::install()
{
    static bool initialised = false;
    if (!initialised) {
        if (!sessionHasDisplay())
            return nullptr;
        // X11 first: windows, pop-ups and sheets are placed in screen coordinates, which Wayland does not allow.
        gdk_set_allowed_backends("x11,*");
        // GTK's own accessibility would publish our windows as empty drawing areas; ours goes out through ATK
        // (GtkAccessibilityBridge).
        g_setenv("GTK_A11Y", "none", true);
        speakTheProgramsLanguage();
        if (!gtk_init_check())
            return nullptr;
        initialised = true;
    }
    if (!gdk_display_get_default())
        return nullptr;
    auto backend = std::make_shared<GtkBackend>();
    Backend::install(backend);
    GtkAccessibilityBridge::shared().publish();
    return backend;
}

bool installBackendForSession()
{
    if (GtkBackend::install())
        return true;
    HeadlessBackend::install();
    return false;
}

GtkBackend::GtkBackend()
    : m_display(std::make_unique<GtkDisplayState>(gdk_display_get_default()))
    , m_clipboard(std::make_unique<GtkClipboardBridge>(gdk_display_get_default()))
    , m_cursors(std::make_unique<GtkCursors>(*this))
    , m_menuBars(std::make_unique<GtkMenuBars>(*this))
    , m_drags(std::make_unique<GtkDragAndDrop>(*this))
{
    if (m_display->isX11())
        m_keyboardLayout = std::make_unique<GtkKeyboardLayout>(m_display->xDisplay());
    SystemShortcutProvider::setShared(std::make_shared<GnomeShortcutProvider>());
    if (m_display->isX11())
        gtkBackendPreviousIOErrorHandler = XSetIOErrorHandler(gtkBackendDisplayLost);
    g_signal_connect(m_display->gdkDisplay(), "closed", G_CALLBACK(gtkBackendDisplayClosed), nullptr);
    followDesktopTextRendering();
    m_display->setXEventHandler([this](const XEvent& event) {
        if (m_keyboardLayout)
            m_keyboardLayout->handleXEvent(event);
        if (event.type != ConfigureNotify)
            return;
        for (auto& [number, host] : m_hosts) {
            if (host->xid() == event.xconfigure.window) {
                host->configured();
                return;
            }
        }
    });
    // A window our side makes key gets the keyboard from the desktop too.
    m_keyObserver = fnd::NotificationCenter::defaultCenter().addObserverForName(
        WindowNotification::DidBecomeKey, {}, [this](const fnd::Notification& note) {
            auto window = note.object().objectAs<Window>();
            auto* host = window ? hostFor(*window) : nullptr;
            if (host && gtk_widget_get_visible(GTK_WIDGET(host->gtkWindow()))
                && !gtk_window_is_active(host->gtkWindow()))
                host->focus();
        });
}

GtkBackend::~GtkBackend()
{
    fnd::NotificationCenter::defaultCenter().removeObserver(m_keyObserver);
    g_signal_handlers_disconnect_by_func(m_display->gdkDisplay(), gpointer(gtkBackendDisplayClosed), nullptr);
    if (m_display->isX11())
        XSetIOErrorHandler(gtkBackendPreviousIOErrorHandler);
    m_display->setXEventHandler(nullptr);
    m_menuBars.reset();
    m_hosts.clear();
    m_drags.reset();
}

// Screens.

std::vector<Backend::ScreenGeometry> GtkBackend::screens()
{
    std::vector<ScreenGeometry> result;
    GdkDisplay* display = m_display->gdkDisplay();
    GListModel* monitors = gdk_display_get_monitors(display);
    GdkMonitor* primary = m_display->isX11() ? gdk_x11_display_get_primary_monitor(display) : nullptr;
    for (guint i = 0; i < g_list_model_get_n_items(monitors); ++i) {
        auto* monitor = GDK_MONITOR(g_list_model_get_item(monitors, i));
        GdkRectangle geometry {};
        gdk_monitor_get_geometry(monitor, &geometry);
        GdkRectangle workArea = geometry;
        if (GDK_IS_X11_MONITOR(monitor))
            gdk_x11_monitor_get_workarea(monitor, &workArea);
        ScreenGeometry screen;
        screen.frame = m_display->rectForRootTopLeft(
            geometry.x, geometry.y, { double(geometry.width), double(geometry.height) });
        screen.visibleFrame = m_display->rectForRootTopLeft(
            workArea.x, workArea.y, { double(workArea.width), double(workArea.height) });
        screen.backingScaleFactor = gdk_monitor_get_scale_factor(monitor);
        // The first screen is the primary monitor, whose bottom left is the origin.
        if (monitor == primary)
            result.insert(result.begin(), screen);
        else
            result.push_back(screen);
        g_object_unref(monitor);
    }
    if (result.empty())
        result.push_back({ { 0, 0, 1280, 1024 }, { 0, 0, 1280, 1024 }, double(m_display->scale()) });
    return result;
}

gfx::EdgeInsets GtkBackend::frameInsets(unsigned)
{
    return {};
}

// Windows.

GtkWindowHost* GtkBackend::hostFor(const Window& window) const
{
    return hostForNumber(window.windowNumber());
}

GtkWindowHost* GtkBackend::hostForNumber(long number) const
{
    auto found = m_hosts.find(number);
    return found == m_hosts.end() ? nullptr : found->second.get();
}

GtkWindowHost& GtkBackend::ensureHost(Window& window)
{
    auto& host = m_hosts[window.windowNumber()];
    if (!host) {
        host = std::make_unique<GtkWindowHost>(*this, window);
        m_drags->attach(*host);
    }
    return *host;
}

std::shared_ptr<gfx::WindowSurface> GtkBackend::surfaceForWindow(Window& window)
{
    if (window.isClosed())
        return nullptr;
    return ensureHost(window).surface(window);
}

void GtkBackend::windowChanged(Window& window)
{
    if (window.isClosed())
        return;
    auto* host = hostFor(window);
    if (!host && !window.isVisible())
        return;
    if (!host)
        host = &ensureHost(window);
    m_menuBars->windowChanged(window, *host);
    host->update(window);
    if (auto parent = window.sheetParent())
        if (auto* parentHost = hostFor(*parent))
            parentHost->sheetCoverChanged();
    restack();
}

void GtkBackend::restack()
{
    // Raise from back to front whenever our order changed, so the desktop shows our windows in it.
    std::vector<long> order;
    for (const auto& w : Application::shared().orderedWindows())
        if (hostFor(*w))
            order.push_back(w->windowNumber());
    if (order == m_stacking)
        return;
    m_stacking = order;
    for (auto it = order.rbegin(); it != order.rend(); ++it)
        hostForNumber(*it)->raise();
}

void GtkBackend::windowClosed(Window& window)
{
    windowDestroyed(window.windowNumber());
}

void GtkBackend::windowDestroyed(long windowNumber)
{
    m_menuBars->windowGone(windowNumber);
    m_hosts.erase(windowNumber);
    std::erase(m_stacking, windowNumber);
}

void GtkBackend::windowFlushed(Window& window)
{
    auto* host = hostFor(window);
    // A flush that only moved the window's tints (each step of a sheet's dimming, 30 a second) changes nothing its
    // menu bar's items depend on: they are validated again only after the window drew.
    if (!host || host->drewSincePainted())
        m_menuBars->windowFlushed(window);
    if (host)
        host->flushed();
}

double GtkBackend::refreshInterval(Window& window)
{
    auto* host = hostFor(window);
    return host ? host->refreshInterval() : Backend::refreshInterval(window);
}

bool GtkBackend::requestFrame(Window& window)
{
    auto* host = hostFor(window);
    return host && host->requestFrame();
}

void GtkBackend::sheetBegan(Window& sheet, Window& parent)
{
    // The sheet hangs from the parent's top edge (the window placed it) and stays above it.
    if (auto* host = hostFor(sheet)) {
        host->update(sheet);
        if (auto* parentHost = hostFor(parent))
            gtk_window_set_transient_for(host->gtkWindow(), parentHost->gtkWindow());
        host->focus();
    }
    if (auto* parentHost = hostFor(parent))
        parentHost->sheetCoverChanged();
}

void GtkBackend::sheetEnded(Window&, Window& parent)
{
    // Where the sheet lay, the parent's tints reach again from the next frame on, which also paints what the sheet
    // uncovered.
    if (auto* parentHost = hostFor(parent))
        parentHost->sheetCoverChanged();
}

std::optional<gfx::Rect> GtkBackend::menuBarFrame(const Window& window)
{
    return m_menuBars ? m_menuBars->barFrame(window) : std::nullopt;
}

// Services.

void GtkBackend::beep()
{
    gdk_display_beep(m_display->gdkDisplay());
}

std::optional<gfx::Point> GtkBackend::pointerLocation()
{
    return m_display->pointerOnScreen();
}

bool GtkBackend::beginWindowMove(Window& window, gfx::Point)
{
    // The host knows the press in the toolkit's terms (device, time, surface point), which the move needs.
    auto* host = hostFor(window);
    return host && host->beginMove();
}

void GtkBackend::setSystemShortcutsInhibited(Window& window, bool inhibited)
{
    auto* host = hostFor(window);
    GdkSurface* surface = host ? gtk_native_get_surface(GTK_NATIVE(host->gtkWindow())) : nullptr;
    if (!surface || !GDK_IS_TOPLEVEL(surface))
        return;
    // On X11 the toplevel grabs the keyboard; on Wayland the compositor may ask the person first.
    if (inhibited)
        gdk_toplevel_inhibit_system_shortcuts(GDK_TOPLEVEL(surface), nullptr);
    else
        gdk_toplevel_restore_system_shortcuts(GDK_TOPLEVEL(surface));
}

fnd::Expected<void> GtkBackend::openURL(const fnd::String& url)
{
    auto& workspace = fnd::Workspace::sharedWorkspace();
    if (url.hasPrefix("file:")) {
        char* path = g_filename_from_uri(url.utf8().c_str(), nullptr, nullptr);
        if (!path)
            return std::unexpected(fnd::Error::make("ui", 2, fnd::String("Not a file address: ") + url));
        fnd::String file(path);
        g_free(path);
        return workspace.openFile(file);
    }
    return workspace.openURL(url);
}

std::optional<DragResult> GtkBackend::dragImage(View& view, const std::shared_ptr<gfx::Image>& image,
    gfx::Point imageOrigin, gfx::Point mouse, const std::shared_ptr<Pasteboard>& pasteboard,
    const std::shared_ptr<fnd::Object>& source, bool slideBack)
{
    return m_drags->runDrag(view, image, imageOrigin, mouse, pasteboard, source, slideBack);
}

// Clipboard.

std::vector<fnd::String> GtkBackend::clipboardTypes(const fnd::String& pasteboardName)
{
    return m_clipboard->types(pasteboardName);
}

std::optional<fnd::Data> GtkBackend::clipboardData(const fnd::String& pasteboardName, const fnd::String& type)
{
    return m_clipboard->data(pasteboardName, type);
}

void GtkBackend::clipboardChanged(const fnd::String& pasteboardName)
{
    m_clipboard->pasteboardChanged(pasteboardName);
}

// Tests and benchmarks.

bool GtkBackend::runUntil(const std::function<bool()>& condition, double seconds)
{
    gint64 deadline = g_get_monotonic_time() + gint64(seconds * 1e6);
    while (!condition()) {
        if (g_get_monotonic_time() >= deadline)
            return false;
        // Our run loop's source in the context runs due work; events wake the context.
        bool busy = g_main_context_iteration(nullptr, FALSE);
        Application::shared().dispatchPendingEvents();
        if (!busy)
            g_usleep(1000);
    }
    return true;
}

long GtkBackend::presentedFrameCount(const Window& window) const
{
    auto* host = hostFor(window);
    return host ? host->presentedFrames() : 0;
}

long GtkBackend::mostDrawsInAFrame(const Window& window) const
{
    auto* host = hostFor(window);
    return host ? host->mostDrawsInAFrame() : 0;
}

void GtkBackend::resetDrawsInAFrame(const Window& window)
{
    if (auto* host = hostFor(window))
        host->resetDrawsInAFrame();
}

int GtkBackend::surfaceScale(const Window& window) const
{
    auto* host = hostFor(window);
    return host ? host->surfaceScale() : m_display->scale();
}

}

namespace ui {

bool GtkBackend::hasKeyboardFocus(const Window& window) const
{
    auto* host = hostFor(window);
    return host && gtk_window_is_active(host->gtkWindow());
}

}

namespace ui {

void GtkBackend::requestClose(const Window& window)
{
    if (auto* host = hostFor(window))
        gtk_window_close(host->gtkWindow());
}

}
