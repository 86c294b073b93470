#include "platform/backend/gtk/GtkWindowHost.h"

#include "platform/backend/gtk/GtkBackend.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Window.h"

#include <gdk/x11/gdkx.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace ui {

namespace {

// A report of the window system that disagrees with our last request is taken for an older state this long.
constexpr std::int64_t RequestSettleMicroseconds = 500'000;

// Whole logical pixels for a length in points, from one to `most` (anything that is no number counts as one).
int toPixels(double points, int most)
{
    if (!(points >= 1))
        return 1;
    return points >= most ? most : std::max(1, int(std::lround(points)));
}

// A minimum in whole logical pixels: rounded up, so the window is never smaller than asked, up to `most`.
int minimumPixels(double points, int most)
{
    if (!(points >= 1))
        return 1;
    return points >= most ? most : int(std::ceil(points));
}

// The part of a window's content that X can show at the scale, from its bottom left (the content beyond is cut off
// at the top, where the buffer's first row is): no X window, and no Cairo image, is longer than X's limit.
gfx::Size shownContentSize(gfx::Size content, int scale)
{
    const double most = double(XLengthLimit / std::max(1, scale));
    auto bounded = [most](double points) { return points >= 0 ? std::min(points, most) : 0.0; };
    return { bounded(content.width), bounded(content.height) };
}

// Whether the window shows only what it draws: no title bar, and not opaque.
bool isSeeThrough(const Window& window)
{
    return !(window.styleMask() & WindowStyleMask::Titled) && !window.isOpaque();
}

// Pixels at least half covered belong to the shape.
constexpr std::uint32_t ShapeAlphaThreshold = 0x80;

// The Motif window-manager hints (_MOTIF_WM_HINTS), as window managers read them: which fields count, the
// functions offered (without the "all" bit, exactly those listed) and the decorations (with the "all" bit, all
// but those listed).
namespace MotifHints {
constexpr long FlagFunctions = 1 << 0;
constexpr long FlagDecorations = 1 << 1;
constexpr long FunctionResize = 1 << 1;
constexpr long FunctionMove = 1 << 2;
constexpr long FunctionMinimize = 1 << 3;
constexpr long FunctionMaximize = 1 << 4;
constexpr long FunctionClose = 1 << 5;
constexpr long DecorationAll = 1 << 0;
constexpr long DecorationMaximize = 1 << 6;
}

// The canvas: a drawing area whose content is the host's picture and tints, handed to GTK as render nodes.
struct BarcodesCanvas {
    GtkDrawingArea parent;
    GtkWindowHost* host; // cleared by the host before it goes
};

struct BarcodesCanvasClass {
    GtkDrawingAreaClass parent;
};

G_DEFINE_TYPE(BarcodesCanvas, barcodes_canvas, GTK_TYPE_DRAWING_AREA)

void barcodesCanvasSnapshot(GtkWidget* widget, GtkSnapshot* snapshot)
{
    if (auto* host = reinterpret_cast<BarcodesCanvas*>(widget)->host)
        host->snapshotCanvas(snapshot);
}

void barcodes_canvas_class_init(BarcodesCanvasClass* canvasClass)
{
    GTK_WIDGET_CLASS(canvasClass)->snapshot = barcodesCanvasSnapshot;
}

void barcodes_canvas_init(BarcodesCanvas* canvas)
{
    canvas->host = nullptr;
}

}

// Surface.

GtkWindowSurface::GtkWindowSurface(gfx::Size points, int scale)
    : m_points(points)
    , m_scale(scale)
    , m_width(std::max(1, int(std::ceil(points.width * scale))))
    , m_height(std::max(1, int(std::ceil(points.height * scale))))
    , m_pixels(std::size_t(m_width) * std::size_t(m_height), 0)
    , m_cairo(cairo_image_surface_create_for_data(
          reinterpret_cast<unsigned char*>(m_pixels.data()), CAIRO_FORMAT_ARGB32, m_width, m_height, m_width * 4))
{
    cairo_surface_set_device_scale(m_cairo, scale, scale);
}

GtkWindowSurface::~GtkWindowSurface()
{
    // Before the pixels go: a snapshot GTK still holds takes its copy of them now.
    cairo_surface_destroy(m_cairo);
}

gfx::PixelBufferView GtkWindowSurface::pixels()
{
    return { reinterpret_cast<std::uint8_t*>(m_pixels.data()), m_width, m_height, std::ptrdiff_t(m_width) * 4 };
}

// Host.

GtkWindowHost::GtkWindowHost(GtkBackend& backend, Window& window)
    : m_backend(backend)
    , m_window(std::static_pointer_cast<Window>(window.shared_from_this()))
    , m_windowNumber(window.windowNumber())
{
    m_gtkWindow = gtk_window_new();
    g_object_ref_sink(m_gtkWindow);
    // GTK draws the window's children in their order: the canvas first, onto nothing (the window draws no ground
    // of its own), so Cairo copies the picture straight into the frame instead of composing it over a ground; the
    // menu bar above it comes after.
    gtk_widget_add_css_class(m_gtkWindow, "barcodes-window");
    m_box = gtk_grid_new();
    gtk_window_set_child(GTK_WINDOW(m_gtkWindow), m_box);

    auto* canvas = static_cast<BarcodesCanvas*>(g_object_new(barcodes_canvas_get_type(), nullptr));
    canvas->host = this;
    m_canvas = GTK_WIDGET(canvas);
    gtk_widget_set_hexpand(m_canvas, TRUE);
    gtk_widget_set_vexpand(m_canvas, TRUE);
    gtk_widget_set_focusable(m_canvas, TRUE);
    gtk_widget_set_can_focus(m_canvas, TRUE);
    g_signal_connect(m_canvas, "resize", G_CALLBACK(onResize), this);
    gtk_grid_attach(GTK_GRID(m_box), m_canvas, 0, 1, 1, 1);

    // Pointer and key events are read raw on the canvas, which keeps the keyboard focus; handled keys go no further,
    // so GTK's own key bindings (focus moves) stay out of the way, while an open menu's pop-over gets its keys.
    auto* pointer = gtk_event_controller_legacy_new();
    g_signal_connect(pointer, "event", G_CALLBACK(onPointerEvent), this);
    gtk_widget_add_controller(m_canvas, pointer);
    auto* keys = gtk_event_controller_legacy_new();
    g_signal_connect(keys, "event", G_CALLBACK(onKeyEvent), this);
    gtk_widget_add_controller(m_canvas, keys);

    m_inputMethod = gtk_im_multicontext_new();
    gtk_im_context_set_client_widget(m_inputMethod, m_canvas);
    gtk_im_context_set_use_preedit(m_inputMethod, TRUE);
    g_signal_connect(m_inputMethod, "commit", G_CALLBACK(onCommit), this);
    g_signal_connect(m_inputMethod, "preedit-changed", G_CALLBACK(onPreeditChanged), this);

    g_signal_connect(m_gtkWindow, "close-request", G_CALLBACK(onCloseRequest), this);
    g_signal_connect(m_gtkWindow, "notify::is-active", G_CALLBACK(onActiveChanged), this);
    g_signal_connect(m_gtkWindow, "realize", G_CALLBACK(onRealize), this);
}

GtkWindowHost::~GtkWindowHost()
{
    if (m_recheckSource)
        g_source_remove(m_recheckSource);
    if (m_frameClock)
        g_signal_handlers_disconnect_by_data(m_frameClock, this);
    g_signal_handlers_disconnect_by_data(m_inputMethod, this);
    gtk_im_context_set_client_widget(m_inputMethod, nullptr);
    g_object_unref(m_inputMethod);
    g_signal_handlers_disconnect_by_data(m_gtkWindow, this);
    g_signal_handlers_disconnect_by_data(m_canvas, this);
    reinterpret_cast<BarcodesCanvas*>(m_canvas)->host = nullptr;
    gtk_window_destroy(GTK_WINDOW(m_gtkWindow));
    g_object_unref(m_gtkWindow);
    if (m_picture)
        gsk_render_node_unref(m_picture);
}

unsigned long GtkWindowHost::xid() const
{
    if (!m_backend.display().isX11() || !gtk_widget_get_realized(m_gtkWindow))
        return 0;
    return gdk_x11_surface_get_xid(gtk_native_get_surface(GTK_NATIVE(m_gtkWindow)));
}

int GtkWindowHost::surfaceScale() const
{
    if (gtk_widget_get_realized(m_gtkWindow))
        return gdk_surface_get_scale_factor(gtk_native_get_surface(GTK_NATIVE(m_gtkWindow)));
    return m_backend.display().scale();
}

int GtkWindowHost::largestWindowPixels() const
{
    return XLengthLimit / std::max(1, surfaceScale());
}

int GtkWindowHost::menuBarHeight() const
{
    if (!m_menuBar)
        return 0;
    int minimum = 0, natural = 0;
    gtk_widget_measure(m_menuBar, GTK_ORIENTATION_VERTICAL, -1, &minimum, &natural, nullptr, nullptr);
    return natural;
}

void GtkWindowHost::setMenuBar(GtkWidget* menuBar)
{
    if (menuBar == m_menuBar)
        return;
    if (m_menuBar)
        gtk_grid_remove(GTK_GRID(m_box), m_menuBar);
    m_menuBar = menuBar;
    if (m_menuBar)
        gtk_grid_attach(GTK_GRID(m_box), m_menuBar, 0, 0, 1, 1);
    m_appliedFrame.reset();
    if (auto w = window())
        applyGeometry(*w);
}

// State.

void GtkWindowHost::applyStyle(Window& window)
{
    auto* gtkWindow = GTK_WINDOW(m_gtkWindow);
    unsigned style = window.styleMask();
    gtk_window_set_title(gtkWindow, window.title().utf8().c_str());
    // A sheet hangs from its parent's top without a title bar of its own.
    gtk_window_set_decorated(gtkWindow, (style & WindowStyleMask::Titled) && !window.isSheet());
    gtk_window_set_resizable(gtkWindow, (style & WindowStyleMask::Resizable) != 0);
    gtk_window_set_deletable(gtkWindow, (style & WindowStyleMask::Closable) != 0);
    gtk_widget_set_opacity(m_gtkWindow, window.alphaValue());
    if (window.isOpaque())
        gtk_widget_remove_css_class(m_gtkWindow, "barcodes-transparent");
    else
        gtk_widget_add_css_class(m_gtkWindow, "barcodes-transparent");
    // A minimum holds the window to the screen at most: a larger window shows nothing more, and GTK makes buffers
    // of the window's size (a minimum of 9,000 points took 1.3 GB; beyond X's limit the program ended).
    auto min = window.minSize();
    const auto screen = m_backend.display().screenSize();
    const int most = largestWindowPixels();
    const int widest = minimumPixels(screen.width, most), tallest = minimumPixels(screen.height, most);
    gtk_widget_set_size_request(m_canvas, minimumPixels(min.width, widest), minimumPixels(min.height, tallest));

    std::shared_ptr<Window> parent = window.sheetParent();
    if (!parent)
        parent = window.parentWindow();
    auto* parentHost = parent ? m_backend.hostFor(*parent) : nullptr;
    gtk_window_set_transient_for(gtkWindow, parentHost ? parentHost->gtkWindow() : nullptr);
    applyWindowManagerHints(window, false);
}

void GtkWindowHost::applyWindowManagerHints(Window& window, bool force)
{
    unsigned long id = xid();
    if (!id || m_popUp)
        return;
    unsigned style = window.styleMask();
    const bool decorated = (style & WindowStyleMask::Titled) && !window.isSheet();
    long functions = MotifHints::FunctionMove | MotifHints::FunctionMinimize;
    if (style & WindowStyleMask::Resizable)
        functions |= MotifHints::FunctionResize;
    if (window.isZoomable())
        functions |= MotifHints::FunctionMaximize;
    if (style & WindowStyleMask::Closable)
        functions |= MotifHints::FunctionClose;
    long decorations = 0;
    if (decorated)
        decorations = MotifHints::DecorationAll | (window.isZoomable() ? 0 : MotifHints::DecorationMaximize);
    std::array<long, 3> hints { MotifHints::FlagFunctions | MotifHints::FlagDecorations, functions, decorations };
    if (!force && m_windowManagerHints == hints)
        return;
    m_windowManagerHints = hints;
    auto& display = m_backend.display();
    display.withErrorTrap([&] {
        Atom atom = XInternAtom(display.xDisplay(), "_MOTIF_WM_HINTS", False);
        // flags, functions, decorations, input mode, status: 32-bit items, handed to Xlib as longs.
        long data[5] { hints[0], hints[1], hints[2], 0, 0 };
        XChangeProperty(
            display.xDisplay(), id, atom, atom, 32, PropModeReplace, reinterpret_cast<unsigned char*>(data), 5);
    });
}

void GtkWindowHost::update(Window& window)
{
    if (!m_prepared) {
        // Borderless windows above the normal level, and borderless windows attached to another one, are pop-ups
        // (menus, lists, tool tips, drag images): the window manager leaves them where we put them.
        // So are see-through borderless windows (bubbles, balloons): they go exactly where they point.
        m_popUp = !(window.styleMask() & WindowStyleMask::Titled)
            && (window.level() > WindowLevel::Normal || window.parentWindow() || !window.isOpaque());
    }
    applyStyle(window);
    if (window.displayScale() != m_drawnDisplayScale)
        gtk_widget_queue_draw(m_canvas);
    if (!window.isVisible() || window.isClosed()) {
        if (gtk_widget_get_visible(m_gtkWindow)) {
            gtk_im_context_focus_out(m_inputMethod);
            gtk_widget_set_visible(m_gtkWindow, FALSE);
        }
        return;
    }
    if (!gtk_widget_get_realized(m_gtkWindow))
        gtk_widget_realize(m_gtkWindow);
    applyGeometry(window);
    if (!gtk_widget_get_visible(m_gtkWindow)) {
        setPositionHints();
        gtk_widget_set_visible(m_gtkWindow, TRUE);
        applyWindowManagerHints(window, true);
        gtk_widget_grab_focus(m_canvas);
        if (window.isKeyWindow())
            focus();
    }
}

void GtkWindowHost::prepareXWindow()
{
    if (m_prepared)
        return;
    m_prepared = true;
    auto& display = m_backend.display();
    unsigned long id = xid();
    if (!id)
        return;
    if (m_popUp) {
        display.withErrorTrap([&] {
            XSetWindowAttributes attributes {};
            attributes.override_redirect = True;
            XChangeWindowAttributes(display.xDisplay(), id, CWOverrideRedirect, &attributes);
        });
    }
    auto w = window();
    if (m_popUp && w && isSeeThrough(*w) && w->hasShadow()) {
        // Compositing managers shadow windows by type; a pop-up balloon is a tool tip to them.
        display.withErrorTrap([&] {
            Atom type = XInternAtom(display.xDisplay(), "_NET_WM_WINDOW_TYPE", False);
            Atom tooltip = XInternAtom(display.xDisplay(), "_NET_WM_WINDOW_TYPE_TOOLTIP", False);
            XChangeProperty(display.xDisplay(), id, type, XA_ATOM, 32, PropModeReplace,
                reinterpret_cast<unsigned char*>(&tooltip), 1);
        });
    }
}

void GtkWindowHost::applyShape(Window& window)
{
    auto& display = m_backend.display();
    unsigned long id = xid();
    if (!id || !m_surface)
        return;
    if (!isSeeThrough(window)) {
        if (m_shapeDigest) {
            display.withErrorTrap([&] {
                XShapeCombineMask(display.xDisplay(), id, ShapeBounding, 0, 0, 0, ShapeSet);
                XShapeCombineMask(display.xDisplay(), id, ShapeInput, 0, 0, 0, ShapeSet);
            });
            m_shapeDigest = 0;
        }
        return;
    }
    // Runs of covered pixels, row by row, in the X window's device pixels.
    auto pixels = m_surface->pixels();
    double toDevice = double(surfaceScale()) / double(m_surface->scale());
    std::vector<XRectangle> runs;
    std::uint64_t digest = 1469598103934665603ull;
    auto mix = [&](long value) { digest = (digest ^ std::uint64_t(value)) * 1099511628211ull; };
    for (int y = 0; y < pixels.height; ++y) {
        auto* row = reinterpret_cast<const std::uint32_t*>(pixels.data + std::ptrdiff_t(y) * pixels.stride);
        int x = 0;
        while (x < pixels.width) {
            while (x < pixels.width && (row[x] >> 24) < ShapeAlphaThreshold)
                ++x;
            int start = x;
            while (x < pixels.width && (row[x] >> 24) >= ShapeAlphaThreshold)
                ++x;
            if (x > start) {
                auto x0 = short(std::lround(start * toDevice));
                auto y0 = short(std::lround(y * toDevice));
                auto x1 = short(std::lround(x * toDevice));
                auto y1 = short(std::lround((y + 1) * toDevice));
                runs.push_back({ x0, y0, static_cast<unsigned short>(x1 - x0), static_cast<unsigned short>(y1 - y0) });
                mix(x0), mix(y0), mix(x1), mix(y1);
            }
        }
    }
    if (runs.empty())
        mix(-1);
    if (digest == m_shapeDigest)
        return;
    m_shapeDigest = digest;
    Display* x = display.xDisplay();
    display.withErrorTrap([&] {
        // With a compositing manager the alpha shows through (and it draws the shadow); without one, pixels are
        // opaque whatever their alpha, so the window is cut to the shape.
        std::string manager = "_NET_WM_CM_S" + std::to_string(DefaultScreen(x));
        bool composited = XGetSelectionOwner(x, XInternAtom(x, manager.c_str(), False)) != 0;
        if (composited)
            XShapeCombineMask(x, id, ShapeBounding, 0, 0, 0, ShapeSet);
        else
            XShapeCombineRectangles(x, id, ShapeBounding, 0, 0, runs.data(), int(runs.size()), ShapeSet, YXBanded);
        XShapeCombineRectangles(x, id, ShapeInput, 0, 0, runs.data(), int(runs.size()), ShapeSet, YXBanded);
    });
}

void GtkWindowHost::setPositionHints()
{
    // The window manager keeps a window where the program put it only when the size hints say the position was
    // chosen; GDK writes the hints without one.
    auto& display = m_backend.display();
    unsigned long id = xid();
    if (!id || m_popUp)
        return;
    display.withErrorTrap([&] {
        XSizeHints hints {};
        long supplied = 0;
        XGetWMNormalHints(display.xDisplay(), id, &hints, &supplied);
        hints.flags |= USPosition | PPosition | PWinGravity;
        // Positions name the client area's corner, not the decoration's.
        hints.win_gravity = StaticGravity;
        XSetWMNormalHints(display.xDisplay(), id, &hints);
    });
}

void GtkWindowHost::applyGeometry(Window& window)
{
    // The client area holds the toolbar's strip above the content.
    auto content = Window::contentRectForFrameRect(window.frame(), window.styleMask());
    m_contentSize = shownContentSize(content.size, surfaceScale());
    int menu = menuBarHeight();
    gfx::Rect outer { content.minX(), content.minY(), content.width(), content.height() + menu };
    const int most = largestWindowPixels();
    int width = toPixels(outer.width(), most);
    int height = toPixels(outer.height(), most);
    unsigned long id = xid();
    if (!id) {
        // Until the X window exists only the size can be told; the place follows once it does.
        gtk_window_set_default_size(GTK_WINDOW(m_gtkWindow), width, height);
        return;
    }
    if (m_appliedFrame && gfx::nearlyEqual(*m_appliedFrame, outer, 0.5))
        return;
    m_appliedFrame = outer;
    m_requestedAt = g_get_monotonic_time();
    gtk_window_set_default_size(GTK_WINDOW(m_gtkWindow), width, height);
    prepareXWindow();
    auto& display = m_backend.display();
    auto topLeft = display.rootTopLeftForRect(outer);
    int scale = surfaceScale();
    display.withErrorTrap([&] {
        XMoveResizeWindow(display.xDisplay(), id, int(std::lround(topLeft.x * scale)),
            int(std::lround(topLeft.y * scale)), unsigned(width * scale), unsigned(height * scale));
    });
}

void GtkWindowHost::configured()
{
    auto w = window();
    unsigned long id = xid();
    if (!w || !id || !w->isVisible())
        return;
    auto& display = m_backend.display();
    int x = 0, y = 0;
    bool known = false;
    display.withErrorTrap([&] {
        ::Window child;
        known = XTranslateCoordinates(
            display.xDisplay(), id, DefaultRootWindow(display.xDisplay()), 0, 0, &x, &y, &child);
    });
    if (!known)
        return;
    int scale = surfaceScale();
    int menu = menuBarHeight();
    auto frame = w->frame();
    auto reported = display.rectForRootTopLeft(double(x) / scale, double(y) / scale + menu, frame.size);
    if (gfx::nearlyEqual(reported.origin, frame.origin, 0.5))
        return;
    const std::int64_t sinceRequest = g_get_monotonic_time() - m_requestedAt;
    if (sinceRequest < RequestSettleMicroseconds) {
        // Perhaps an older state; asked again once our request has settled, so a move made meanwhile (the person
        // dragging the window) is not lost when no later report comes.
        if (!m_recheckSource)
            m_recheckSource
                = g_timeout_add(guint((RequestSettleMicroseconds - sinceRequest) / 1000 + 1), onRecheckPosition, this);
        return;
    }
    m_appliedFrame = gfx::Rect { reported.minX(), reported.minY(), frame.width(), frame.height() + menu };
    w->setFrameOrigin(reported.origin);
}

std::shared_ptr<gfx::WindowSurface> GtkWindowHost::surface(Window& window)
{
    int scale = std::max(1, int(std::lround(window.backingScaleFactor())));
    auto size = shownContentSize(Window::contentRectForFrameRect(window.frame(), window.styleMask()).size, scale);
    if (!m_surface || m_surface->pointSize() != size || m_surface->scale() != scale)
        m_surface = std::make_shared<GtkWindowSurface>(size, scale);
    return m_surface;
}

void GtkWindowHost::flushed()
{
    if (m_frameClock) {
        const std::int64_t frame = gdk_frame_clock_get_frame_counter(m_frameClock);
        m_drawsInFrame = frame == m_drawFrame ? m_drawsInFrame + 1 : 1;
        m_drawFrame = frame;
        m_mostDrawsInAFrame = std::max(m_mostDrawsInAFrame, m_drawsInFrame);
    }
    gtk_widget_queue_draw(m_canvas);
    if (auto w = window())
        applyShape(*w);
}

bool GtkWindowHost::requestFrame()
{
    if (!m_frameClock || !gtk_widget_get_mapped(m_gtkWindow))
        return false;
    gdk_frame_clock_request_phase(m_frameClock, GDK_FRAME_CLOCK_PHASE_UPDATE);
    return true;
}

double GtkWindowHost::refreshInterval() const
{
    constexpr double usual = 1.0 / 60;
    double seconds = 0;
    if (m_frameClock) {
        gint64 interval = 0, presentation = 0;
        gdk_frame_clock_get_refresh_info(
            m_frameClock, gdk_frame_clock_get_frame_time(m_frameClock), &interval, &presentation);
        seconds = double(interval) / 1e6;
    }
    if (seconds <= 0) {
        GdkSurface* surface = gtk_native_get_surface(GTK_NATIVE(m_gtkWindow));
        GdkMonitor* monitor
            = surface ? gdk_display_get_monitor_at_surface(gdk_surface_get_display(surface), surface) : nullptr;
        if (int millihertz = monitor ? gdk_monitor_get_refresh_rate(monitor) : 0; millihertz > 0)
            seconds = 1000.0 / millihertz;
    }
    // Unknown, or beyond what any screen shows: the usual rate.
    return seconds >= 1.0 / 500 && seconds <= 1.0 / 20 ? seconds : usual;
}

void GtkWindowHost::focus()
{
    if (m_popUp)
        return;
    gtk_window_present(GTK_WINDOW(m_gtkWindow));
    auto& display = m_backend.display();
    if (unsigned long id = xid(); id && !display.hasWindowManager())
        display.setInputFocus(id);
}

void GtkWindowHost::raise()
{
    unsigned long id = xid();
    if (!id)
        return;
    auto& display = m_backend.display();
    display.withErrorTrap([&] { XRaiseWindow(display.xDisplay(), id); });
}

void GtkWindowHost::lower()
{
    unsigned long id = xid();
    if (!id)
        return;
    auto& display = m_backend.display();
    display.withErrorTrap([&] { XLowerWindow(display.xDisplay(), id); });
}

gfx::Point GtkWindowHost::basePoint(double x, double y) const
{
    return { x, m_contentSize.height - y };
}

gfx::Point GtkWindowHost::canvasPoint(gfx::Point base) const
{
    return { base.x, m_contentSize.height - base.y };
}

std::optional<gfx::Point> GtkWindowHost::canvasPointOfEvent(GdkEvent* event) const
{
    double x = 0, y = 0;
    if (!gdk_event_get_position(event, &x, &y))
        return std::nullopt;
    auto* native = gtk_widget_get_native(m_canvas);
    if (!native)
        return std::nullopt;
    // Event positions are in the surface; the native widget may sit inset in it (client-side shadows).
    double dx = 0, dy = 0;
    gtk_native_get_surface_transform(native, &dx, &dy);
    double cx = 0, cy = 0;
    if (!gtk_widget_translate_coordinates(GTK_WIDGET(native), m_canvas, x - dx, y - dy, &cx, &cy))
        return std::nullopt;
    return gfx::Point { cx, cy };
}

// Signals.

void GtkWindowHost::paintPicture(cairo_t* cr, int width, int height)
{
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    auto w = window();
    m_drawnDisplayScale = w ? w->displayScale() : 1;
    if (m_drawnDisplayScale != 1) {
        // The picture shown smaller about the middle, over the window's own ground.
        auto ground = w->backgroundColor();
        if (ground && ground->model() != gfx::Color::Model::Pattern)
            cairo_set_source_rgba(cr, ground->redComponent(), ground->greenComponent(), ground->blueComponent(),
                ground->alphaComponent());
        else
            cairo_set_source_rgba(cr, 0, 0, 0, 0);
        cairo_paint(cr);
        cairo_translate(cr, width / 2.0, height / 2.0);
        cairo_scale(cr, m_drawnDisplayScale, m_drawnDisplayScale);
        cairo_translate(cr, -width / 2.0, -height / 2.0);
    }
    cairo_set_source_surface(cr, m_surface->cairoSurface(), 0, 0);
    // Only the picture's own area: beyond it (a picture shown smaller) the ground stays.
    cairo_rectangle(cr, 0, 0, width, height);
    cairo_fill(cr);
    cairo_restore(cr);
}

void GtkWindowHost::snapshotCanvas(GtkSnapshot* snapshot)
{
    if (!m_surface)
        return;
    const int width = gtk_widget_get_width(m_canvas), height = gtk_widget_get_height(m_canvas);
    if (width <= 0 || height <= 0)
        return;
    auto w = window();
    const double displayScale = w ? w->displayScale() : 1;
    // Pixels that changed make a new picture; a frame that only changed the tints hands GTK the same one.
    const bool changed = m_surface->takePixelsChanged();
    if (!m_picture || changed || m_pictureSurface != m_surface.get() || m_pictureWidth != width
        || m_pictureHeight != height || displayScale != m_drawnDisplayScale) {
        if (m_picture)
            gsk_render_node_unref(m_picture);
        graphene_rect_t bounds = GRAPHENE_RECT_INIT(0, 0, float(width), float(height));
        m_picture = gsk_cairo_node_new(&bounds);
        cairo_t* cr = gsk_cairo_node_get_draw_context(m_picture);
        paintPicture(cr, width, height);
        cairo_destroy(cr);
        m_pictureSurface = m_surface.get();
        m_pictureWidth = width;
        m_pictureHeight = height;
    }
    gtk_snapshot_append_node(snapshot, m_picture);
    if (!m_surface->tints().empty()) {
        gtk_snapshot_save(snapshot);
        if (m_drawnDisplayScale != 1) {
            graphene_point_t middle = GRAPHENE_POINT_INIT(float(width / 2.0), float(height / 2.0));
            gtk_snapshot_translate(snapshot, &middle);
            gtk_snapshot_scale(snapshot, float(m_drawnDisplayScale), float(m_drawnDisplayScale));
            graphene_point_t back = GRAPHENE_POINT_INIT(float(-width / 2.0), float(-height / 2.0));
            gtk_snapshot_translate(snapshot, &back);
        }
        // Device pixels to the canvas's points; the alpha as the level it was worked out to, which Cairo turns
        // back into the same level, so GTK lays the tint exactly as the window's own composing would.
        const float perPixel = 1.0f / float(m_surface->scale());
        // What a sheet covers is left out: each step of the dimming under a sheet then has GTK paint only the
        // window around it, not the whole window (a third of the pixels for the export sheet).
        const auto cover = m_drawnDisplayScale == 1 ? sheetCover() : PixelBox {};
        auto lay = [&](const gfx::SurfaceTint& tint, int x0, int y0, int x1, int y1) {
            if (x1 <= x0 || y1 <= y0)
                return;
            GdkRGBA color { float(tint.red), float(tint.green), float(tint.blue), float(tint.alpha) / 255.0f };
            graphene_rect_t box = GRAPHENE_RECT_INIT(
                float(x0) * perPixel, float(y0) * perPixel, float(x1 - x0) * perPixel, float(y1 - y0) * perPixel);
            gtk_snapshot_append_color(snapshot, &color, &box);
        };
        for (const auto& tint : m_surface->tints()) {
            if (tint.x1 <= tint.x0 || tint.y1 <= tint.y0 || tint.alpha == 0)
                continue;
            const int cx0 = std::clamp(cover.x0, tint.x0, tint.x1), cx1 = std::clamp(cover.x1, tint.x0, tint.x1);
            const int cy0 = std::clamp(cover.y0, tint.y0, tint.y1), cy1 = std::clamp(cover.y1, tint.y0, tint.y1);
            if (cx1 <= cx0 || cy1 <= cy0) {
                lay(tint, tint.x0, tint.y0, tint.x1, tint.y1);
                continue;
            }
            // Above, below, and beside the covered part.
            lay(tint, tint.x0, tint.y0, tint.x1, cy0);
            lay(tint, tint.x0, cy1, tint.x1, tint.y1);
            lay(tint, tint.x0, cy0, cx0, cy1);
            lay(tint, cx1, cy0, tint.x1, cy1);
        }
        gtk_snapshot_restore(snapshot);
    }
    m_drawnSinceFrame = true;
}

GtkWindowHost::PixelBox GtkWindowHost::sheetCover() const
{
    auto w = window();
    auto sheet = w ? w->attachedSheet() : nullptr;
    auto* sheetHost = sheet ? m_backend.hostFor(*sheet) : nullptr;
    // Only a sheet that hides what lies beneath it: shown, opaque, at full alpha and size.
    if (!sheetHost || !sheet->isVisible() || !sheet->isOpaque() || sheet->alphaValue() < 1 || sheet->displayScale() != 1
        || !gtk_widget_get_mapped(sheetHost->m_gtkWindow) || !m_surface)
        return {};
    const auto content = Window::contentRectForFrameRect(sheet->frame(), sheet->styleMask());
    const auto inBase = w->convertRectFromScreen(content);
    const auto topLeft = canvasPoint({ inBase.minX(), inBase.maxY() });
    const auto bottomRight = canvasPoint({ inBase.maxX(), inBase.minY() });
    // Whole device pixels inside the sheet only.
    const double scale = m_surface->scale();
    PixelBox cover;
    cover.x0 = int(std::ceil(topLeft.x * scale));
    cover.y0 = int(std::ceil(topLeft.y * scale));
    cover.x1 = int(std::floor(bottomRight.x * scale));
    cover.y1 = int(std::floor(bottomRight.y * scale));
    return cover;
}

void GtkWindowHost::onResize(GtkDrawingArea*, int width, int height, gpointer self)
{
    auto* host = static_cast<GtkWindowHost*>(self);
    auto w = host->window();
    if (!w || !w->isVisible())
        return;
    auto content = Window::contentRectForFrameRect(w->frame(), w->styleMask());
    if (std::abs(content.width() - width) < 0.5 && std::abs(content.height() - height) < 0.5)
        return;
    if (g_get_monotonic_time() - host->m_requestedAt < RequestSettleMicroseconds)
        return;
    // The person resized the window: the top edge stays, as the frame's y grows upwards.
    auto frame = w->frame();
    gfx::Rect resized { frame.minX(), frame.maxY() - height, double(width), double(height) };
    host->m_appliedFrame
        = gfx::Rect { resized.minX(), resized.minY(), resized.width(), resized.height() + host->menuBarHeight() };
    w->setFrame(resized, true);
}

gboolean GtkWindowHost::onCloseRequest(GtkWindow*, gpointer self)
{
    auto* host = static_cast<GtkWindowHost*>(self);
    if (auto w = host->window())
        w->performClose();
    // Our window decides; GTK's goes with it.
    return TRUE;
}

void GtkWindowHost::onActiveChanged(GObject*, GParamSpec*, gpointer self)
{
    auto* host = static_cast<GtkWindowHost*>(self);
    auto w = host->window();
    if (!w)
        return;
    if (gtk_window_is_active(GTK_WINDOW(host->m_gtkWindow))) {
        gtk_im_context_focus_in(host->m_inputMethod);
        Application::shared().activateIgnoringOtherApps(true);
        if (!w->isKeyWindow())
            w->makeKeyWindow();
    } else {
        gtk_im_context_focus_out(host->m_inputMethod);
    }
}

void GtkWindowHost::onRealize(GtkWidget*, gpointer self)
{
    auto* host = static_cast<GtkWindowHost*>(self);
    host->prepareXWindow();
    host->m_frameClock = gtk_widget_get_frame_clock(host->m_gtkWindow);
    if (host->m_frameClock) {
        g_signal_connect(host->m_frameClock, "update", G_CALLBACK(onFrameUpdate), host);
        g_signal_connect(host->m_frameClock, "after-paint", G_CALLBACK(onAfterPaint), host);
    }
}

gboolean GtkWindowHost::onRecheckPosition(gpointer self)
{
    auto* host = static_cast<GtkWindowHost*>(self);
    host->m_recheckSource = 0;
    host->configured();
    return G_SOURCE_REMOVE;
}

void GtkWindowHost::onFrameUpdate(GdkFrameClock*, gpointer self)
{
    // The window draws what changed since its last frame now, before the frame's layout and paint phases: the
    // canvas queued for drawing here is painted in this very frame.
    auto* host = static_cast<GtkWindowHost*>(self);
    if (auto w = host->window())
        w->displayFrame();
}

void GtkWindowHost::onAfterPaint(GdkFrameClock*, gpointer self)
{
    auto* host = static_cast<GtkWindowHost*>(self);
    if (!host->m_drawnSinceFrame)
        return;
    host->m_drawnSinceFrame = false;
    ++host->m_presentedFrames;
}

}
