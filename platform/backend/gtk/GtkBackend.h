#pragma once

#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/ui/views/Backend.h"

#include <functional>
#include <map>
#include <memory>

namespace ui {

class GtkWindowHost;
class GtkClipboardBridge;
class GtkCursors;
class GtkDisplayState;
class GtkDragAndDrop;
class GtkMenuBars;
class GtkKeyboardLayout;

// The window system on a real desktop, through GTK 4 (on X11 where the session offers it, since windows are
// placed in screen coordinates). One GTK window per window, the view tree drawn with Cairo into a backing buffer at
// the monitor's scale; input, the clipboard, drag and drop, menus, cursors and screens mapped to GTK. The run loop
// waits in GLib's main context, so GTK's events flow in every run-loop mode.
class GtkBackend final : public Backend {
public:
    // Opens the display and installs the backend; nullptr (and nothing installed) when no display can be opened.
    static std::shared_ptr<GtkBackend> install();
    GtkBackend();
    ~GtkBackend() override;

    // Screens.
    std::vector<ScreenGeometry> screens() override;
    // The desktop draws title bars outside the client area: a window's frame is its client area.
    gfx::EdgeInsets frameInsets(unsigned styleMask) override;

    // Windows.
    std::shared_ptr<gfx::WindowSurface> surfaceForWindow(Window& window) override;
    void windowChanged(Window& window) override;
    void windowClosed(Window& window) override;
    void windowDestroyed(long windowNumber) override;
    void windowFlushed(Window& window) override;
    double refreshInterval(Window& window) override;
    bool requestFrame(Window& window) override;
    void sheetBegan(Window& sheet, Window& parent) override;
    void sheetEnded(Window& sheet, Window& parent) override;
    // Above a document window's content, where its bar shows the main menu.
    std::optional<gfx::Rect> menuBarFrame(const Window& window) override;

    // Services.
    void beep() override;
    // Asks the X server for the keys held now (no answer without X11).
    bool isKeyDown(unsigned short keyCode) override;
    // The X server's pointer (none without X11).
    std::optional<gfx::Point> pointerLocation() override;
    // The window manager's interactive move, from the window's last press.
    bool beginWindowMove(Window& window, gfx::Point pressOnScreen) override;
    void setSystemShortcutsInhibited(Window& window, bool inhibited) override;
    fnd::Expected<void> openURL(const fnd::String& url) override;
    std::optional<DragResult> dragImage(View& view, const std::shared_ptr<gfx::Image>& image, gfx::Point imageOrigin,
        gfx::Point mouse, const std::shared_ptr<Pasteboard>& pasteboard, const std::shared_ptr<fnd::Object>& source,
        bool slideBack) override;

    // Clipboard.
    std::vector<fnd::String> clipboardTypes(const fnd::String& pasteboardName) override;
    std::optional<fnd::Data> clipboardData(const fnd::String& pasteboardName, const fnd::String& type) override;
    void clipboardChanged(const fnd::String& pasteboardName) override;

    // For tests and benchmarks: iterates GLib's main context (and so the run loop) and sends the queued events until
    // the condition holds or the seconds of real time pass; answers the condition.
    bool runUntil(const std::function<bool()>& condition, double seconds);
    // How many frames the window system painted of the window so far (0 for a window never shown), and the most
    // times the window drew within one frame of its frame clock since it was shown or the count was reset.
    long presentedFrameCount(const Window& window) const;
    long mostDrawsInAFrame(const Window& window) const;
    void resetDrawsInAFrame(const Window& window);
    // Asks the window to close as the desktop's close button does.
    void requestClose(const Window& window);
    // Whether the desktop gives the window the keyboard now.
    bool hasKeyboardFocus(const Window& window) const;
    // The scale GDK draws the window's surface at.
    int surfaceScale(const Window& window) const;

    // Used by the window hosts.
    GtkDisplayState& display() { return *m_display; }
    GtkWindowHost* hostFor(const Window& window) const;
    GtkWindowHost* hostForNumber(long windowNumber) const;

private:
    GtkWindowHost& ensureHost(Window& window);
    void restack();

    std::unique_ptr<GtkDisplayState> m_display;
    std::unique_ptr<GtkKeyboardLayout> m_keyboardLayout;
    std::unique_ptr<GtkClipboardBridge> m_clipboard;
    std::unique_ptr<GtkCursors> m_cursors;
    std::unique_ptr<GtkMenuBars> m_menuBars;
    std::unique_ptr<GtkDragAndDrop> m_drags;
    fnd::NotificationObserverToken m_keyObserver;
    std::map<long, std::unique_ptr<GtkWindowHost>> m_hosts;
    std::vector<long> m_stacking;
};

// Installs the GTK backend when a display is present, the headless one otherwise; true for GTK.
bool installBackendForSession();

}
