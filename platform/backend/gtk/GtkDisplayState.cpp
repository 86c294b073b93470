#include "platform/backend/gtk/GtkDisplayState.h"

#include "platform/foundation/runtime/RunLoop.h"

#include <gdk/x11/gdkx.h>

#include <X11/Xatom.h>

#include <algorithm>

namespace ui {

GtkDisplayState::GtkDisplayState(GdkDisplay* display)
    : m_display(display)
{
    if (GDK_IS_X11_DISPLAY(display)) {
        m_xDisplay = gdk_x11_display_get_xdisplay(display);
        g_signal_connect(display, "xevent", G_CALLBACK(onXEvent), this);
    }
    // The run loop waits in GLib's main context, where GDK's event sources live.
    m_runLoopSource = std::make_unique<fnd::GLibRunLoopSource>(fnd::RunLoop::mainShared(), g_main_context_default());
    // A window that is not opaque shows what is behind it where our views leave it clear, so GTK's own window
    // background stays out of the way there. An opaque one draws every pixel of its canvas itself: a ground beneath
    // would only make Cairo compose the canvas over it each frame instead of copying it. The menu bar, which draws
    // no ground of its own, takes the window's.
    m_css = gtk_css_provider_new();
    gtk_css_provider_load_from_data(m_css,
        "window.barcodes-transparent, window.barcodes-window { background: none; }\n"
        "window.barcodes-window menubar { background-color: @theme_bg_color; }",
        -1);
    gtk_style_context_add_provider_for_display(
        display, GTK_STYLE_PROVIDER(m_css), GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

GtkDisplayState::~GtkDisplayState()
{
    if (m_xDisplay)
        g_signal_handlers_disconnect_by_data(m_display, this);
    gtk_style_context_remove_provider_for_display(m_display, GTK_STYLE_PROVIDER(m_css));
    g_object_unref(m_css);
}

gboolean GtkDisplayState::onXEvent(GdkDisplay*, const XEvent* event, gpointer self)
{
    auto* state = static_cast<GtkDisplayState*>(self);
    if (state->m_xEventHandler)
        state->m_xEventHandler(*event);
    return GDK_EVENT_PROPAGATE;
}

int GtkDisplayState::scale() const
{
    GListModel* monitors = gdk_display_get_monitors(m_display);
    if (g_list_model_get_n_items(monitors) == 0)
        return 1;
    auto* monitor = GDK_MONITOR(g_list_model_get_item(monitors, 0));
    int scale = gdk_monitor_get_scale_factor(monitor);
    g_object_unref(monitor);
    return std::max(1, scale);
}

bool GtkDisplayState::hasWindowManager() const
{
    return m_xDisplay
        && gdk_x11_screen_supports_net_wm_hint(gdk_x11_display_get_screen(m_display), "_NET_ACTIVE_WINDOW");
}

void GtkDisplayState::setInputFocus(unsigned long xid) const
{
    // CurrentTime: GDK would use the time of the last event it saw, which the server refuses once another program
    // took the focus with a later event.
    withErrorTrap([&] { XSetInputFocus(m_xDisplay, xid, RevertToParent, CurrentTime); });
}

std::optional<bool> GtkDisplayState::xdndDropTaken(const XEvent& event) const
{
    if (!m_xDisplay || event.type != ClientMessage
        || event.xclient.message_type != XInternAtom(m_xDisplay, "XdndFinished", False))
        return std::nullopt;
    // XDND 5: bit 0 of the second word says the drop was taken.
    if (event.xclient.data.l[1] & 1)
        return true;
    long version = 5;
    withErrorTrap([&] {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, remaining = 0;
        unsigned char* value = nullptr;
        if (XGetWindowProperty(m_xDisplay, ::Window(event.xclient.data.l[0]),
                XInternAtom(m_xDisplay, "XdndAware", False), 0, 1, False, XA_ATOM, &type, &format, &count, &remaining,
                &value)
                == Success
            && value && format == 32 && count == 1)
            version = *reinterpret_cast<long*>(value);
        if (value)
            XFree(value);
    });
    return version < 5;
}

GdkRectangle GtkDisplayState::primaryMonitorGeometry() const
{
    GdkRectangle geometry { 0, 0, 1280, 1024 };
    GdkMonitor* monitor = nullptr;
    if (m_xDisplay)
        monitor = gdk_x11_display_get_primary_monitor(m_display);
    GListModel* monitors = gdk_display_get_monitors(m_display);
    if (!monitor && g_list_model_get_n_items(monitors) > 0) {
        monitor = GDK_MONITOR(g_list_model_get_item(monitors, 0));
        g_object_unref(monitor); // the list keeps it
    }
    if (monitor)
        gdk_monitor_get_geometry(monitor, &geometry);
    return geometry;
}

gfx::Size GtkDisplayState::screenSize() const
{
    GListModel* monitors = gdk_display_get_monitors(m_display);
    const guint count = g_list_model_get_n_items(monitors);
    if (count == 0) {
        auto primary = primaryMonitorGeometry();
        return { double(primary.width), double(primary.height) };
    }
    int left = 0, top = 0, right = 0, bottom = 0;
    for (guint i = 0; i < count; ++i) {
        auto* monitor = GDK_MONITOR(g_list_model_get_item(monitors, i));
        GdkRectangle geometry {};
        gdk_monitor_get_geometry(monitor, &geometry);
        g_object_unref(monitor);
        if (i == 0 || geometry.x < left)
            left = geometry.x;
        if (i == 0 || geometry.y < top)
            top = geometry.y;
        if (i == 0 || geometry.x + geometry.width > right)
            right = geometry.x + geometry.width;
        if (i == 0 || geometry.y + geometry.height > bottom)
            bottom = geometry.y + geometry.height;
    }
    return { double(right - left), double(bottom - top) };
}

gfx::Point GtkDisplayState::rootTopLeftForRect(gfx::Rect rect) const
{
    auto primary = primaryMonitorGeometry();
    return { primary.x + rect.minX(), primary.y + primary.height - rect.maxY() };
}

gfx::Rect GtkDisplayState::rectForRootTopLeft(double x, double y, gfx::Size size) const
{
    auto primary = primaryMonitorGeometry();
    return { x - primary.x, primary.y + primary.height - y - size.height, size.width, size.height };
}

gfx::Point GtkDisplayState::pointForRoot(double x, double y) const
{
    auto primary = primaryMonitorGeometry();
    return { x - primary.x, primary.y + primary.height - y };
}

std::optional<gfx::Point> GtkDisplayState::pointerOnScreen() const
{
    if (!m_xDisplay)
        return std::nullopt;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned mask = 0;
    ::Window root = 0, child = 0;
    bool known = false;
    withErrorTrap([&] {
        known = XQueryPointer(m_xDisplay, DefaultRootWindow(m_xDisplay), &root, &child, &rootX, &rootY, &x, &y, &mask);
    });
    if (!known)
        return std::nullopt;
    int s = scale();
    return pointForRoot(double(rootX) / s, double(rootY) / s);
}

void GtkDisplayState::withErrorTrap(const std::function<void()>& work) const
{
    if (!m_xDisplay)
        return;
    gdk_x11_display_error_trap_push(m_display);
    work();
    gdk_x11_display_error_trap_pop_ignored(m_display);
}

}
