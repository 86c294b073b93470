#pragma once

#include "platform/foundation/runtime/GLibRunLoopSource.h"
#include "platform/graphics/Geometry.h"

#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <optional>

// Xlib's types, declared as Xlib does, so that its macros stay out of every file that includes this one.
typedef struct _XDisplay Display;
typedef union _XEvent XEvent;

namespace ui {

// X11 lengths are 16-bit: no window or drawable is longer than this many device pixels (asking for more ends the
// program with BadAlloc), and Cairo makes no image wider or higher either.
constexpr int XLengthLimit = 32767;

// The open display: GDK's and Xlib's handles, the scale GDK draws at, and the conversions between our screen
// coordinates (points, y up, origin at the bottom left of the first monitor) and X root coordinates (y down,
// logical pixels; device pixels are these times the scale).
class GtkDisplayState {
public:
    GtkDisplayState(GdkDisplay* display);
    ~GtkDisplayState();

    GdkDisplay* gdkDisplay() const { return m_display; }
    // nullptr when the display is not an X11 one (Wayland): windows cannot be placed then.
    Display* xDisplay() const { return m_xDisplay; }
    bool isX11() const { return m_xDisplay != nullptr; }
    int scale() const;
    // Whether a window manager that activates windows on request runs (none on a bare X server).
    bool hasWindowManager() const;
    // Gives the X window the keyboard at once (for a bare X server, where nobody else does).
    void setInputFocus(unsigned long xid) const;

    // The first monitor's rectangle in root coordinates; the y-up screen space hangs from its bottom edge.
    GdkRectangle primaryMonitorGeometry() const;
    // The size of all monitors together (logical pixels): no window shows more than that at once.
    gfx::Size screenSize() const;
    // Converts a y-up rect to its top-left corner in root coordinates, and back.
    gfx::Point rootTopLeftForRect(gfx::Rect rect) const;
    gfx::Rect rectForRootTopLeft(double x, double y, gfx::Size size) const;
    gfx::Point pointForRoot(double x, double y) const;
    // Where the pointer is, on our screen (nullopt off X11).
    std::optional<gfx::Point> pointerOnScreen() const;

    // For a destination's answer to our drop (XdndFinished), whether it took the drop; nullopt for any other event.
    // A destination speaking XDND before version 5 tells nothing, and counts as having taken it.
    std::optional<bool> xdndDropTaken(const XEvent& event) const;

    // Runs the callback for every raw X event GDK reads (only on X11).
    void setXEventHandler(std::function<void(const XEvent&)> handler) { m_xEventHandler = std::move(handler); }

    // Xlib calls whose errors (a window gone meanwhile) must not end the program.
    void withErrorTrap(const std::function<void()>& work) const;

private:
    static gboolean onXEvent(GdkDisplay*, const XEvent* event, gpointer self);

    GdkDisplay* m_display;
    Display* m_xDisplay { nullptr };
    std::function<void(const XEvent&)> m_xEventHandler;
    std::unique_ptr<fnd::GLibRunLoopSource> m_runLoopSource;
    GtkCssProvider* m_css { nullptr };
};

}
