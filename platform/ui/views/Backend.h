#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/foundation/runtime/Value.h"
#include "platform/graphics/Geometry.h"
#include "platform/ui/views/Forward.h"

#include <memory>
#include <optional>
#include <vector>

namespace gfx {
class Image;
class WindowSurface;
}

namespace ui {

class Pasteboard;
struct DragResult;

// What a window system provides. One backend is current per process: the headless one in tests and offscreen work,
// the GTK one with real windows. The ui module calls it; it delivers input by posting events to the application
// (Application::postEvent).
class Backend {
public:
    virtual ~Backend() = default;

    // The installed backend; a minimal offscreen one (one 1440×900 screen, no surfaces) until one is installed.
    static Backend& current();
    static void install(std::shared_ptr<Backend> backend);

    struct ScreenGeometry {
        gfx::Rect frame;
        gfx::Rect visibleFrame;
        double backingScaleFactor { 1 };
    };
    virtual std::vector<ScreenGeometry> screens() = 0;

    // The space the window system adds around a content rect for a style mask (the title bar).
    virtual gfx::EdgeInsets frameInsets(unsigned styleMask);

    // Window surfaces: the pixels a window's content is drawn into (content size times the backing scale), or
    // nullptr when the backend shows nothing.
    virtual std::shared_ptr<gfx::WindowSurface> surfaceForWindow(Window& window) = 0;
    // Seconds between two frames of the screen showing the window (its refresh interval): a window draws at most
    // once a frame.
    virtual double refreshInterval(Window& window) { return (void)window, 1.0 / 60; }
    // Asks for the window's next frame from the window system's frame clock, which then calls
    // Window::displayFrame() once when that frame begins, early enough for the frame to show what it draws; asking
    // again before then asks for the same frame. false: no frame clock serves the window (the default, and a window
    // the window system does not paint), so it keeps to a frame clock of its own on the run loop's clock.
    virtual bool requestFrame(Window& window) { return (void)window, false; }
    // The window's frame, order, title, alpha or visibility changed.
    virtual void windowChanged(Window& window) { (void)window; }
    // The window is closed for good.
    virtual void windowClosed(Window& window) { (void)window; }
    // The window object is gone (a panel nobody keeps, closed or only ordered out): whatever the backend holds for
    // its number goes too.
    virtual void windowDestroyed(long windowNumber) { (void)windowNumber; }
    // Tells the installed backend that a window object is gone; nothing once the backend itself is gone at exit.
    static void noteWindowDestroyed(long windowNumber);
    // The content was drawn and may be shown.
    virtual void windowFlushed(Window& window) { (void)window; }

    // Services.
    virtual void beep() { }
    // The live keyboard state: whether the key (a virtual key code) is held now, outside the event stream.
    virtual bool isKeyDown(unsigned short keyCode) { return (void)keyCode, false; }
    // Where the pointer is on the screen now, outside the event stream; nullopt when the window system cannot say
    // (then the events taken so far tell).
    virtual std::optional<gfx::Point> pointerLocation() { return std::nullopt; }
    // A press on the window's background became a drag that moves the window: a window system that moves windows
    // itself (the window manager's interactive move) takes the press over from the screen point where it began and
    // answers true; the release then comes as an event of its own. false leaves the move to the window, which
    // follows the mouse's events.
    virtual bool beginWindowMove(Window& window, gfx::Point pressOnScreen)
    {
        return (void)window, (void)pressOnScreen, false;
    }
    // Lets the window take the key combinations the desktop keeps for itself while it has the keyboard (true), or
    // gives them back (false). Called through SystemShortcutPause, which pairs the calls.
    virtual void setSystemShortcutsInhibited(Window& window, bool inhibited) { (void)window, (void)inhibited; }
    virtual fnd::Expected<void> openURL(const fnd::String& url);
    // A modal session began for the window; the headless backend answers it from its script here.
    virtual void modalSessionBegan(Window& window) { (void)window; }
    virtual void sheetBegan(Window& sheet, Window& parent) { (void)sheet, (void)parent; }
    // The sheet left the parent (the parent takes input again).
    virtual void sheetEnded(Window& sheet, Window& parent) { (void)sheet, (void)parent; }
    // A blocking pop-up or context menu with its top left at the screen point: the backend answers the chosen item
    // index (nullopt: dismissed). The default draws the menu ourselves in a pop-up window of its own and tracks the
    // mouse and keyboard over nextEvent (runMenuTracking).
    virtual std::optional<long> popUpMenu(Menu& menu, gfx::Point screenLocation);
    // Where the backend shows the main menu as a bar in the window (on the screen, y up), so assistive technologies
    // find the bar in that window; nullopt where it shows none (the headless backend shows none anywhere).
    virtual std::optional<gfx::Rect> menuBarFrame(const Window& window) { return (void)window, std::nullopt; }

    // A drag the window system runs itself, so that it can leave this program: the image's origin and the mouse
    // are on the screen. nullopt leaves the drag to the in-process drag loop (the default).
    virtual std::optional<DragResult> dragImage(View& view, const std::shared_ptr<gfx::Image>& image,
        gfx::Point imageOrigin, gfx::Point mouse, const std::shared_ptr<Pasteboard>& pasteboard,
        const std::shared_ptr<fnd::Object>& source, bool slideBack);

    // Clipboard and drag hooks, filled by the pasteboard and drag classes' backend side.
    virtual std::vector<fnd::String> clipboardTypes(const fnd::String& pasteboardName);
    virtual std::optional<fnd::Data> clipboardData(const fnd::String& pasteboardName, const fnd::String& type);
    virtual void clipboardChanged(const fnd::String& pasteboardName) { (void)pasteboardName; }
};

}
