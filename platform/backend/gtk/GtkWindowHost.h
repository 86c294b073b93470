#pragma once

#include "platform/backend/gtk/GtkDisplayState.h"
#include "platform/backend/gtk/TouchpadGestures.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/views/Event.h"

#include <gtk/gtk.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace ui {

class GtkBackend;
class Window;

// A window's pixels at the backing scale, premultiplied ARGB32 as Cairo draws them; GTK shows them as they are.
class GtkWindowSurface final : public gfx::WindowSurface {
public:
    GtkWindowSurface(gfx::Size points, int scale);
    ~GtkWindowSurface() override;
    GtkWindowSurface(const GtkWindowSurface&) = delete;
    GtkWindowSurface& operator=(const GtkWindowSurface&) = delete;
    gfx::Size pointSize() const override { return m_points; }
    gfx::PixelBufferView pixels() override;
    int scale() const { return m_scale; }
    // The pixels as the Cairo surface the canvas paints from, one for the surface's life. GTK records the canvas's
    // drawing and keeps a snapshot of this surface until the next frame replaces it: a surface destroyed after each
    // paint made Cairo copy the whole window into the snapshot first, every frame.
    cairo_surface_t* cairoSurface() const { return m_cairo; }
    void pixelsChanged() override { m_pixelsChanged = true; }
    // Whether the pixels changed since the last call: the canvas then records a new picture of them.
    bool takePixelsChanged() { return std::exchange(m_pixelsChanged, false); }
    // Whether pixels changed that the canvas has not recorded yet (a flush that only moved the tints has none).
    bool hasUnshownPixels() const { return m_pixelsChanged; }
    // The canvas lays the tints over the picture as GTK composes the window, so a fading tint hands GTK no new
    // picture and leaves the window's pixels alone.
    bool laysTints() const override { return true; }
    void setTints(std::vector<gfx::SurfaceTint> tints) override { m_tints = std::move(tints); }
    const std::vector<gfx::SurfaceTint>& tints() const { return m_tints; }

private:
    gfx::Size m_points;
    int m_scale;
    int m_width;
    int m_height;
    std::vector<std::uint32_t> m_pixels;
    cairo_surface_t* m_cairo { nullptr };
    bool m_pixelsChanged { true };
    std::vector<gfx::SurfaceTint> m_tints;
};

// The GTK side of one window: a GtkWindow holding an optional menu bar and the canvas our views are shown in. It
// follows the window's state (frame, title, order, style) and turns what the person does into events.
class GtkWindowHost {
public:
    GtkWindowHost(GtkBackend& backend, Window& window);
    ~GtkWindowHost();
    GtkWindowHost(const GtkWindowHost&) = delete;
    GtkWindowHost& operator=(const GtkWindowHost&) = delete;

    std::shared_ptr<Window> window() const { return m_window.lock(); }
    long windowNumber() const { return m_windowNumber; }
    GtkWindow* gtkWindow() const { return GTK_WINDOW(m_gtkWindow); }
    GtkWidget* canvas() const { return m_canvas; }
    // The X window of the toplevel (0 before it is realized or off X11).
    unsigned long xid() const;
    bool isPopUp() const { return m_popUp; }

    // Brings GTK's window in line with ours.
    void update(Window& window);
    std::shared_ptr<gfx::WindowSurface> surface(Window& window);
    // The window handed over its drawing or its tints: the canvas is painted with them in the coming frame.
    void flushed();
    // Whether the window drew since the canvas was last painted; a fade's step only moves its tints.
    bool drewSincePainted() const { return m_surface && m_surface->hasUnshownPixels(); }
    // The person's press on the background became a drag: the window manager moves the window from the press on
    // (GDK moves it itself where no window manager runs). The press ends for us here; false when there is no press
    // to hand over or the window is a pop-up no window manager moves.
    bool beginMove();
    // A drag the window system ran took the press: its moves and release go to the drag, so the press ends for us
    // here, as a drag's own loop ends it by taking the release. Moves with the button still held (a drag cancelled
    // with Escape) are plain moves and its release is dropped, so no view takes them for a new drag.
    void endPressTakenByDrag();
    // Asks the desktop to raise the window and give it the keyboard.
    void focus();
    void raise();
    void lower();

    // Asks GTK's frame clock for the window's next frame, whose update phase draws the window (false: the window
    // has no frame clock or is not mapped, so GTK would not paint it).
    bool requestFrame();
    long presentedFrames() const { return m_presentedFrames; }
    // The most times the window's drawing was handed over within one frame of the frame clock.
    long mostDrawsInAFrame() const { return m_mostDrawsInAFrame; }
    void resetDrawsInAFrame() { m_drawsInFrame = m_mostDrawsInAFrame = 0; }
    // Seconds between two frames of the monitor showing the window, as GTK's frame clock paces them.
    double refreshInterval() const;
    int surfaceScale() const;

    // The toplevel moved or changed size (an X ConfigureNotify).
    void configured();
    // The menu bar shown above the canvas (nullptr: none).
    void setMenuBar(GtkWidget* menuBar);
    // Canvas coordinates (logical pixels, y down) to the window's base coordinates (y up), and back.
    gfx::Point basePoint(double canvasX, double canvasY) const;
    gfx::Point canvasPoint(gfx::Point basePoint) const;
    // The pointer position of an event in canvas coordinates.
    std::optional<gfx::Point> canvasPointOfEvent(GdkEvent* event) const;
    // The canvas's content for GTK: the picture of the window's pixels, kept as one node while they do not change,
    // with the surface's tints as colour nodes over it.
    void snapshotCanvas(GtkSnapshot* snapshot);
    // A sheet of the window came, moved or went: the tints are laid again around what it covers.
    void sheetCoverChanged() { gtk_widget_queue_draw(m_canvas); }

private:
    void paintPicture(cairo_t* cr, int width, int height);
    // The device pixels of the canvas (from its top left) an opaque sheet shown on the window covers wholly, which
    // no tint needs to reach; empty without one.
    struct PixelBox {
        int x0 { 0 }, y0 { 0 }, x1 { 0 }, y1 { 0 };
    };
    PixelBox sheetCover() const;
    static void onResize(GtkDrawingArea*, int width, int height, gpointer self);
    static gboolean onCloseRequest(GtkWindow*, gpointer self);
    static void onActiveChanged(GObject*, GParamSpec*, gpointer self);
    static void onRealize(GtkWidget*, gpointer self);
    static void onFrameUpdate(GdkFrameClock*, gpointer self);
    static void onAfterPaint(GdkFrameClock*, gpointer self);
    static gboolean onRecheckPosition(gpointer self);
    static gboolean onPointerEvent(GtkEventControllerLegacy*, GdkEvent* event, gpointer self);
    static gboolean onKeyEvent(GtkEventControllerLegacy*, GdkEvent* event, gpointer self);
    static void onCommit(GtkIMContext*, const char* text, gpointer self);
    static void onPreeditChanged(GtkIMContext*, gpointer self);

    void applyStyle(Window& window);
    // The window manager's functions and title-bar buttons (Motif hints): no maximise for a window that cannot
    // zoom. force writes them even when they look unchanged (GDK rewrites the property when a window is shown).
    void applyWindowManagerHints(Window& window, bool force);
    void applyGeometry(Window& window);
    // A borderless window that is not opaque (a bubble, a balloon) takes input only where it draws, and on an X
    // server without a compositing manager, where alpha means nothing, it is cut to that shape as well.
    void applyShape(Window& window);
    void prepareXWindow();
    void setPositionHints();
    int menuBarHeight() const;
    // The longest window X makes, in GTK's logical pixels at the window's scale.
    int largestWindowPixels() const;

    // Input (GtkWindowInput.cpp).
    bool handlePointer(GdkEvent* event);
    bool handleKey(GdkEvent* event);
    void handleTouchpad(GdkEvent* event, gfx::Point base, unsigned flags);
    void postKeyEvent(EventType type, GdkEvent* event, const fnd::String& characters, bool isRepeat);
    long clickCountFor(unsigned button, double x, double y, std::uint32_t time);

    GtkBackend& m_backend;
    std::weak_ptr<Window> m_window;
    long m_windowNumber;
    GtkWidget* m_gtkWindow;
    GtkWidget* m_box;
    GtkWidget* m_canvas;
    GtkWidget* m_menuBar { nullptr };
    GtkIMContext* m_inputMethod;
    GdkFrameClock* m_frameClock { nullptr };
    std::shared_ptr<GtkWindowSurface> m_surface;
    // The last picture of the surface's pixels handed to GTK (a Cairo node), its surface and canvas size. GTK
    // compares the nodes of two frames: the same node is no change to paint, and a renderer that keeps what it drew
    // of a node draws it again from there.
    GskRenderNode* m_picture { nullptr };
    const GtkWindowSurface* m_pictureSurface { nullptr };
    int m_pictureWidth { 0 };
    int m_pictureHeight { 0 };
    bool m_popUp { false };
    bool m_prepared { false };
    gfx::Size m_contentSize;
    // What was last asked of the window system, so a report of an older state does not undo a newer request.
    std::optional<gfx::Rect> m_appliedFrame;
    std::int64_t m_requestedAt { 0 };
    // The timer that asks for the position again once a request settled (0: none).
    guint m_recheckSource { 0 };
    bool m_drawnSinceFrame { false };
    // The last shape given to the X server (a digest of its rectangles; 0: none).
    std::uint64_t m_shapeDigest { 0 };
    long m_presentedFrames { 0 };
    // Drawings handed over in the frame clock's frame counted last.
    std::int64_t m_drawFrame { -1 };
    long m_drawsInFrame { 0 };
    long m_mostDrawsInAFrame { 0 };
    // The display scale the canvas last painted with.
    double m_drawnDisplayScale { 1 };
    // The Motif hints last written (flags, functions, decorations), so they are written only when they change.
    std::optional<std::array<long, 3>> m_windowManagerHints;

    // Input state.
    std::set<unsigned> m_keysDown;
    unsigned m_buttonsDown { 0 };
    bool m_pressTakenByDrag { false };
    std::optional<gfx::Point> m_lastPointer;
    struct Click {
        unsigned button { 0 };
        double x { 0 }, y { 0 };
        std::uint32_t time { 0 };
        long count { 0 };
    } m_lastClick;
    // The last press of the left button, as the window manager's move needs it (surface coordinates).
    struct Press {
        GdkDevice* device { nullptr };
        double surfaceX { 0 }, surfaceY { 0 };
        std::uint32_t time { 0 };
    };
    std::optional<Press> m_lastPress;
    TouchpadGestureConverter m_touchpad;
    GdkEvent* m_filtering { nullptr };
    std::vector<fnd::String> m_committed;
};

}
