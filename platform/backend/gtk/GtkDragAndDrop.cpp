#include "platform/backend/gtk/GtkDragAndDrop.h"

#include "platform/backend/gtk/GtkBackend.h"
#include "platform/backend/gtk/GtkClipboardBridge.h"
#include "platform/backend/gtk/GtkDisplayState.h"
#include "platform/backend/gtk/GtkTextures.h"
#include "platform/backend/gtk/GtkWindowHost.h"
#include "platform/backend/gtk/KeyMapping.h"
#include "platform/backend/gtk/PasteboardContentProvider.h"
#include "platform/graphics/Image.h"
#include "platform/ui/dragging/DropSession.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/Window.h"

namespace ui {

GdkDragAction gdkActionsForOperations(DragOperation operations)
{
    unsigned actions = 0;
    if (operations & DragOperations::Copy)
        actions |= GDK_ACTION_COPY;
    // A generic drag lets the destination choose, which on the desktop is a move.
    if (operations & (DragOperations::Move | DragOperations::Generic))
        actions |= GDK_ACTION_MOVE;
    if (operations & DragOperations::Link)
        actions |= GDK_ACTION_LINK;
    return GdkDragAction(actions);
}

DragOperation operationsForGdkActions(GdkDragAction actions)
{
    DragOperation operations = DragOperations::None;
    if (actions & GDK_ACTION_COPY)
        operations |= DragOperations::Copy;
    if (actions & GDK_ACTION_MOVE)
        operations |= DragOperations::Move | DragOperations::Generic;
    if (actions & GDK_ACTION_LINK)
        operations |= DragOperations::Link;
    return operations;
}

GdkDragAction preferredGdkAction(DragOperation operation, GdkDragAction offered)
{
    for (GdkDragAction action : { GDK_ACTION_MOVE, GDK_ACTION_COPY, GDK_ACTION_LINK })
        if ((gdkActionsForOperations(operation) & action) && (offered & action))
            return action;
    return GdkDragAction(0);
}

// One drop target: the canvas of one window.
struct GtkDragAndDrop::Target {
    GtkDragAndDrop* owner;
    long windowNumber;
};

// A dropped drag whose destination has not answered yet.
struct GtkDragAndDrop::Lingering {
    GtkDragAndDrop* owner;
    GdkDrag* drag;
    guint timeout { 0 };

    ~Lingering()
    {
        if (timeout)
            g_source_remove(timeout);
        g_signal_handlers_disconnect_by_data(drag, this);
        // Its picture is gone already: no sliding back.
        gdk_drag_drop_done(drag, TRUE);
        g_object_unref(drag);
    }

    static void end(gpointer data)
    {
        auto* self = static_cast<Lingering*>(data);
        self->timeout = 0;
        std::erase_if(self->owner->m_lingering, [self](const auto& each) { return each.get() == self; });
    }
    // Ends from the run loop, once the signal that ended it has been emitted.
    static void endSoon(Lingering* self)
    {
        g_signal_handlers_disconnect_by_data(self->drag, self);
        if (self->timeout)
            g_source_remove(self->timeout);
        self->timeout = g_idle_add_once(end, self);
    }
};

GtkDragAndDrop::GtkDragAndDrop(GtkBackend& backend)
    : m_backend(backend)
{
}

void GtkDragAndDrop::attach(GtkWindowHost& host)
{
    auto* target
        = gtk_drop_target_async_new(nullptr, GdkDragAction(GDK_ACTION_COPY | GDK_ACTION_MOVE | GDK_ACTION_LINK));
    auto* data = new Target { this, host.windowNumber() };
    auto destroy = [](gpointer p, GClosure*) { delete static_cast<Target*>(p); };
    g_signal_connect_data(target, "accept", G_CALLBACK(onAccept), data, destroy, GConnectFlags(0));
    g_signal_connect(target, "drag-enter", G_CALLBACK(onEnter), data);
    g_signal_connect(target, "drag-motion", G_CALLBACK(onMotion), data);
    g_signal_connect(target, "drag-leave", G_CALLBACK(onLeave), data);
    g_signal_connect(target, "drop", G_CALLBACK(onDrop), data);
    gtk_widget_add_controller(host.canvas(), GTK_EVENT_CONTROLLER(target));
}

std::optional<gfx::Point> GtkDragAndDrop::screenPoint(long windowNumber, double x, double y) const
{
    auto* host = m_backend.hostForNumber(windowNumber);
    auto window = host ? host->window() : nullptr;
    if (!window)
        return std::nullopt;
    return window->convertBaseToScreen(host->basePoint(x, y));
}

DropSession& GtkDragAndDrop::sessionFor(GdkDrop* drop)
{
    if (m_drop == drop && m_session)
        return *m_session;
    // Held while its session lasts: a drop freed meanwhile could give its address to the next one, which would
    // then find the old session, another drag's pasteboard and destination.
    forgetDrop();
    m_drop = GDK_DROP(g_object_ref(drop));
    if (gdk_drop_get_drag(drop) && m_outgoing) {
        // Our own drag: the destination sees our pasteboard, image and source object.
        m_session = std::make_unique<DropSession>(
            m_outgoing->image, m_outgoing->pasteboard, m_outgoing->source, m_outgoing->mask, false);
        m_session->setImageOffset(m_outgoing->grab);
        return *m_session;
    }
    // Another program's: its types are read from the drop when a destination asks for them.
    auto pasteboard = Pasteboard::pasteboardWithName(PasteboardName::Drag);
    m_foreignOwner = declareForeignContent(*pasteboard, gdk_drop_get_formats(drop),
        [drop](const char* mime) { return readDropSynchronously(drop, mime); });
    m_session = std::make_unique<DropSession>(std::make_shared<gfx::Image>(), pasteboard, nullptr,
        operationsForGdkActions(gdk_drop_get_actions(drop)), false);
    return *m_session;
}

gboolean GtkDragAndDrop::onAccept(GtkDropTargetAsync*, GdkDrop*, gpointer)
{
    // Every drop is offered to our views; they refuse what they do not take.
    return TRUE;
}

GdkDragAction GtkDragAndDrop::onEnter(GtkDropTargetAsync* controller, GdkDrop* drop, double x, double y, gpointer data)
{
    // GTK may report an entry at the widget's corner; the pointer itself says where the drag is.
    auto* self = static_cast<Target*>(data)->owner;
    if (auto pointer = self->m_backend.display().pointerOnScreen()) {
        auto* host = self->m_backend.hostForNumber(static_cast<Target*>(data)->windowNumber);
        if (auto window = host ? host->window() : nullptr) {
            auto canvas = host->canvasPoint(window->convertScreenToBase(*pointer));
            x = canvas.x;
            y = canvas.y;
        }
    }
    return onMotion(controller, drop, x, y, data);
}

GdkDragAction GtkDragAndDrop::onMotion(GtkDropTargetAsync*, GdkDrop* drop, double x, double y, gpointer data)
{
    auto* target = static_cast<Target*>(data);
    auto point = target->owner->screenPoint(target->windowNumber, x, y);
    if (!point)
        return GdkDragAction(0);
    auto& session = target->owner->sessionFor(drop);
    auto operation = session.moveTo(*point, Event::currentModifierFlags());
    return preferredGdkAction(operation, gdk_drop_get_actions(drop));
}

void GtkDragAndDrop::onLeave(GtkDropTargetAsync*, GdkDrop* drop, gpointer data)
{
    auto* self = static_cast<Target*>(data)->owner;
    if (self->m_drop == drop && self->m_session)
        self->m_session->exit();
}

gboolean GtkDragAndDrop::onDrop(GtkDropTargetAsync*, GdkDrop* drop, double x, double y, gpointer data)
{
    auto* target = static_cast<Target*>(data);
    auto* self = target->owner;
    auto point = self->screenPoint(target->windowNumber, x, y);
    if (!point) {
        gdk_drop_finish(drop, GdkDragAction(0));
        return FALSE;
    }
    auto& session = self->sessionFor(drop);
    auto operation = session.moveTo(*point, Event::currentModifierFlags());
    auto action = preferredGdkAction(operation, gdk_drop_get_actions(drop));
    bool accepted = action && session.drop();
    gdk_drop_finish(drop, accepted ? action : GdkDragAction(0));
    self->forgetDrop();
    return accepted;
}

namespace {

double secondsSince(gint64 then)
{
    return double(g_get_monotonic_time() - then) / 1e6;
}

bool pointerButtonHeld(GdkSurface* surface, GdkDevice* pointer)
{
    GdkModifierType held {};
    gdk_surface_get_device_position(surface, pointer, nullptr, nullptr, &held);
    return held & (GDK_BUTTON1_MASK | GDK_BUTTON2_MASK | GDK_BUTTON3_MASK);
}

// One drag from its start to its end: what the window system tells of it, and the beat at which the source
// follows the pointer and the drag's deadlines are checked.
class GtkDragRun {
public:
    // Listens to the display before the drag begins: the drag's own handler keeps the destination's answer to
    // itself.
    GtkDragRun(GtkBackend& backend, GdkSurface* surface, GdkDevice* pointer)
        : m_backend(backend)
        , m_surface(surface)
        , m_pointer(pointer)
    {
        if (backend.display().isX11())
            g_signal_connect(backend.display().gdkDisplay(), "xevent", G_CALLBACK(onXEvent), this);
    }
    ~GtkDragRun()
    {
        g_signal_handlers_disconnect_by_data(m_backend.display().gdkDisplay(), this);
        if (m_drag)
            g_signal_handlers_disconnect_by_data(m_drag, this);
    }
    GtkDragRun(const GtkDragRun&) = delete;
    GtkDragRun& operator=(const GtkDragRun&) = delete;

    // Runs the begun drag until it ends, in GLib's main context, which keeps our windows and our run loop going.
    // The window system moves the drag without telling its source: moved hears of the pointer's place on the
    // screen at the display's pace, over our windows and the empty screen alike.
    void run(GdkDrag* drag, std::function<void(gfx::Point)> moved)
    {
        m_drag = drag;
        m_moved = std::move(moved);
        auto onDropPerformed = +[](GdkDrag*, GtkDragRun* self) {
            self->m_dropped = true;
            self->m_droppedAt = g_get_monotonic_time();
        };
        auto onFinished = +[](GdkDrag*, GtkDragRun* self) { self->m_answered = true; };
        auto onCancel = +[](GdkDrag*, GdkDragCancelReason, GtkDragRun* self) { self->m_cancelled = true; };
        g_signal_connect(drag, "drop-performed", G_CALLBACK(onDropPerformed), this);
        g_signal_connect(drag, "dnd-finished", G_CALLBACK(onFinished), this);
        g_signal_connect(drag, "cancel", G_CALLBACK(onCancel), this);
        guint beat = g_timeout_add(16, onBeat, this);
        while (!ended())
            g_main_context_iteration(nullptr, TRUE);
        g_source_remove(beat);
    }

    bool dropped() const { return m_dropped; }
    bool answered() const { return m_answered; }
    bool cancelled() const { return m_cancelled; }
    // The destination answered that it took the drop.
    bool taken() const { return m_dropped && m_answered && !m_refused; }

private:
    // A drop ends the drag once the destination answers, or after DropAnswerSeconds without an answer.
    bool ended() const
    {
        return m_answered || m_cancelled || (m_dropped && secondsSince(m_droppedAt) >= DropAnswerSeconds);
    }

    // On X11 the destination's answer says whether it took the drop, which GDK does not pass on.
    static gboolean onXEvent(GdkDisplay*, const XEvent* event, gpointer data)
    {
        auto* self = static_cast<GtkDragRun*>(data);
        if (auto taken = self->m_backend.display().xdndDropTaken(*event); taken && !*taken)
            self->m_refused = true;
        return GDK_EVENT_PROPAGATE;
    }

    static gboolean onBeat(gpointer data)
    {
        auto* self = static_cast<GtkDragRun*>(data);
        self->cancelIfLetGo();
        auto pointer = self->m_backend.display().pointerOnScreen();
        if (pointer && pointer != self->m_last) {
            self->m_last = pointer;
            self->m_moved(*pointer);
        }
        return G_SOURCE_CONTINUE;
    }

    // Cancels the drag as the window system cancels one: on Escape, held anywhere (the window system's own key
    // handling does not see it on every server), and once the X server has seen the release for a while without
    // the drag seeing it (a release before the drag's grab went to our window).
    void cancelIfLetGo()
    {
        if (m_dropped || ended())
            return;
        if (m_backend.isKeyDown(KeyCode::Escape)) {
            g_signal_emit_by_name(m_drag, "cancel", GDK_DRAG_CANCEL_USER_CANCELLED);
            return;
        }
        if (pointerButtonHeld(m_surface, m_pointer))
            m_releasedAt = 0;
        else if (!m_releasedAt)
            m_releasedAt = g_get_monotonic_time();
        else if (secondsSince(m_releasedAt) >= MissedReleaseSeconds)
            g_signal_emit_by_name(m_drag, "cancel", GDK_DRAG_CANCEL_ERROR);
    }

    GtkBackend& m_backend;
    GdkSurface* m_surface;
    GdkDevice* m_pointer;
    GdkDrag* m_drag { nullptr };
    std::function<void(gfx::Point)> m_moved;
    std::optional<gfx::Point> m_last;
    bool m_dropped { false };
    bool m_answered { false };
    bool m_cancelled { false };
    bool m_refused { false };
    gint64 m_droppedAt { 0 };
    // When the X server was first seen without a button held while the drag ran (0: held).
    gint64 m_releasedAt { 0 };
};

// Our image under the mouse, held where it was grabbed (its top left is the hot spot's origin).
void setDragPicture(GdkDrag* drag, gfx::Image& image, int scale, gfx::Point imageOrigin, gfx::Point mouse)
{
    GdkTexture* texture = textureForImage(image, scale);
    if (!texture)
        return;
    auto size = image.size();
    GtkWidget* picture = gtk_picture_new_for_paintable(GDK_PAINTABLE(texture));
    gtk_widget_set_size_request(picture, int(size.width), int(size.height));
    gtk_drag_icon_set_child(GTK_DRAG_ICON(gtk_drag_icon_get_for_drag(drag)), picture);
    gdk_drag_set_hotspot(drag, int(mouse.x - imageOrigin.x), int(imageOrigin.y + size.height - mouse.y));
    g_object_unref(texture);
}

// The one operation a destination performed, of those the source allowed.
DragOperation performedOperation(GdkDragAction selected, DragOperation mask)
{
    DragOperation operations = operationsForGdkActions(selected) & mask;
    for (DragOperation one : { DragOperations::Move, DragOperations::Copy, DragOperations::Link })
        if (operations & one)
            return one;
    return DragOperations::None;
}

}

GtkDragAndDrop::~GtkDragAndDrop()
{
    forgetDrop();
}

void GtkDragAndDrop::forgetDrop()
{
    m_session.reset();
    m_foreignOwner.reset();
    if (m_drop)
        g_object_unref(m_drop);
    m_drop = nullptr;
}

void GtkDragAndDrop::linger(GdkDrag* drag)
{
    // The picture goes now: the person has let go, and the answer may never come. The drag itself stays, for the
    // window system serves the data only while it is not done.
    if (GdkSurface* picture = gdk_drag_get_drag_surface(drag))
        gdk_surface_hide(picture);
    auto& lingering = m_lingering.emplace_back(std::make_unique<Lingering>(this, drag));
    auto onCancel = +[](GdkDrag*, GdkDragCancelReason, Lingering* self) { Lingering::endSoon(self); };
    g_signal_connect_swapped(drag, "dnd-finished", G_CALLBACK(Lingering::endSoon), lingering.get());
    g_signal_connect(drag, "cancel", G_CALLBACK(onCancel), lingering.get());
    lingering->timeout = g_timeout_add_once(guint(LingerSeconds * 1000), Lingering::end, lingering.get());
}

void GtkDragAndDrop::endLingering()
{
    m_lingering.clear();
}

std::optional<DragResult> GtkDragAndDrop::runDrag(View& view, const std::shared_ptr<gfx::Image>& image,
    gfx::Point imageOrigin, gfx::Point mouse, const std::shared_ptr<Pasteboard>& pasteboard,
    const std::shared_ptr<fnd::Object>& sourceObject, bool slideBack)
{
    auto window = view.window();
    auto* host = window ? m_backend.hostFor(*window) : nullptr;
    if (!host || !pasteboard)
        return std::nullopt;
    auto* source = dynamic_cast<DraggingSource*>(sourceObject.get());
    DragOperation mask = source ? source->draggingSourceOperationMaskForLocal(false) : DragOperations::Every;
    GdkDragAction actions = gdkActionsForOperations(mask);
    if (!actions)
        return std::nullopt;

    GtkNative* native = GTK_NATIVE(host->gtkWindow());
    GdkSurface* surface = gtk_native_get_surface(native);
    GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(m_backend.display().gdkDisplay()));
    DragResult result;
    result.endedAt = imageOrigin;
    result.finalImageLocation = imageOrigin;
    // A drag asked for during another one (by a move read in its loop) ends at once, without a drop.
    if (m_outgoing)
        return result;
    // The press ends for our views when the drag begins, as a drag's own loop ends it by taking its release: the
    // moves already queued (read before the drag took the pointer) go, and later ones of the press are plain moves.
    auto endPress = [&] {
        host->endPressTakenByDrag();
        Application::shared().discardEvents(EventMasks::LeftMouseDragged | EventMasks::RightMouseDragged
            | EventMasks::OtherMouseDragged | EventMasks::LeftMouseUp | EventMasks::RightMouseUp
            | EventMasks::OtherMouseUp);
        Event::setPressedMouseButtons(0);
    };
    // Once the button is up (moves read after the release), the window system's drag would wait for a release
    // that never comes: the drag ends at once, without a drop.
    if (!pointerButtonHeld(surface, pointer)) {
        endPress();
        return result;
    }
    endLingering();

    // The drag starts where the mouse went down, in the surface's coordinates.
    auto start = host->canvasPoint(window->convertScreenToBase(mouse));
    double sx = 0, sy = 0, nx = 0, ny = 0;
    gtk_native_get_surface_transform(native, &sx, &sy);
    gtk_widget_translate_coordinates(host->canvas(), GTK_WIDGET(native), start.x, start.y, &nx, &ny);
    GtkDragRun run(m_backend, surface, pointer);
    GdkContentProvider* content = createPasteboardContentProvider(pasteboard, true, sourceObject);
    GdkDrag* drag = gdk_drag_begin(surface, pointer, content, actions, nx + sx, ny + sy);
    g_object_unref(content);
    if (!drag)
        return std::nullopt;
    endPress();

    auto keepImage = image ? image : std::make_shared<gfx::Image>();
    const gfx::Size grab { imageOrigin.x - mouse.x, imageOrigin.y - mouse.y };
    m_outgoing = Outgoing { keepImage, pasteboard, sourceObject, grab, mask };
    setDragPicture(drag, *keepImage, m_backend.display().scale(), imageOrigin, mouse);
    if (source)
        source->draggedImageBeganAt(*keepImage, imageOrigin);
    run.run(drag, [&](gfx::Point pointerAt) {
        Event::setMouseLocation(pointerAt);
        if (source)
            source->draggedImageMovedTo(*keepImage, { pointerAt.x + grab.width, pointerAt.y + grab.height });
    });

    auto pointerAt = m_backend.display().pointerOnScreen().value_or(Event::mouseLocation());
    result.endedAt = { pointerAt.x + grab.width, pointerAt.y + grab.height };
    // Only a drop the destination took has an operation: one it never confirmed may not have happened, and a
    // source that moved its data would lose it.
    result.operation
        = run.taken() ? performedOperation(gdk_drag_get_selected_action(drag), mask) : DragOperations::None;
    result.slidBack = result.operation == DragOperations::None && slideBack;
    result.finalImageLocation = result.slidBack ? imageOrigin : result.endedAt;
    if (run.dropped() && !run.answered() && !run.cancelled()) {
        linger(drag);
    } else {
        gdk_drag_drop_done(drag, run.taken());
        g_object_unref(drag);
    }
    m_outgoing.reset();
    if (source)
        source->draggedImageEndedAt(*keepImage, result.endedAt, result.operation);
    return result;
}

}
