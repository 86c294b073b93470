#include "platform/backend/gtk/GtkDragAndDrop.h"

#include "platform/backend/gtk/GtkBackend.h"
#include "platform/backend/gtk/GtkClipboardBridge.h"
#include "platform/backend/gtk/GtkTextures.h"
#include "platform/backend/gtk/GtkWindowHost.h"
#include "platform/backend/gtk/KeyMapping.h"
#include "platform/backend/gtk/PasteboardContentProvider.h"
#include "platform/graphics/Image.h"
#include "platform/ui/dragging/DropSession.h"
#include "platform/ui/dragging/Pasteboard.h"
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

GtkDragAndDrop::GtkDragAndDrop(GtkBackend& backend)
    : m_backend(backend)
{
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

std::optional<DragResult> GtkDragAndDrop::runDrag(View& view, const std::shared_ptr<gfx::Image>& image,
    gfx::Point imageOrigin, gfx::Point mouse, const std::shared_ptr<Pasteboard>& pasteboard,
    const std::shared_ptr<fnd::Object>& sourceObject, bool slideBack)
{
    auto window = view.window();
    auto* host = window ? m_backend.hostFor(*window) : nullptr;
    if (!host || !pasteboard || m_outgoing)
        return std::nullopt;
    auto* source = dynamic_cast<DraggingSource*>(sourceObject.get());
    DragOperation mask = source ? source->draggingSourceOperationMaskForLocal(false) : DragOperations::Every;
    GdkDragAction actions = gdkActionsForOperations(mask);
    if (!actions)
        return std::nullopt;

    GtkNative* native = GTK_NATIVE(host->gtkWindow());
    GdkSurface* surface = gtk_native_get_surface(native);
    GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(m_backend.display().gdkDisplay()));
    // The drag starts where the mouse went down, in the surface's coordinates.
    auto start = host->canvasPoint(window->convertScreenToBase(mouse));
    double sx = 0, sy = 0, nx = 0, ny = 0;
    gtk_native_get_surface_transform(native, &sx, &sy);
    gtk_widget_translate_coordinates(host->canvas(), GTK_WIDGET(native), start.x, start.y, &nx, &ny);

    GdkContentProvider* content = createPasteboardContentProvider(pasteboard, true, sourceObject);
    GdkDrag* drag = gdk_drag_begin(surface, pointer, content, actions, nx + sx, ny + sy);
    g_object_unref(content);
    if (!drag)
        return std::nullopt;

    auto keepImage = image ? image : std::make_shared<gfx::Image>();
    m_outgoing
        = Outgoing { keepImage, pasteboard, sourceObject, { imageOrigin.x - mouse.x, imageOrigin.y - mouse.y }, mask };
    // Our image under the mouse, held where it was grabbed (its top left is the hot spot's origin).
    if (GdkTexture* texture = textureForImage(*keepImage, m_backend.display().scale())) {
        auto size = keepImage->size();
        GtkWidget* picture = gtk_picture_new_for_paintable(GDK_PAINTABLE(texture));
        gtk_widget_set_size_request(picture, int(size.width), int(size.height));
        gtk_drag_icon_set_child(GTK_DRAG_ICON(gtk_drag_icon_get_for_drag(drag)), picture);
        gdk_drag_set_hotspot(drag, int(mouse.x - imageOrigin.x), int(imageOrigin.y + size.height - mouse.y));
        g_object_unref(texture);
    }
    if (source)
        source->draggedImageBeganAt(*keepImage, imageOrigin);

    struct State {
        bool dropped { false };
        bool finished { false };
    } state;
    auto onDropPerformed = +[](GdkDrag*, State* s) { s->dropped = true; };
    auto onFinished = +[](GdkDrag*, State* s) { s->finished = true; };
    auto onCancel = +[](GdkDrag*, GdkDragCancelReason, State* s) { s->finished = true; };
    g_signal_connect(drag, "drop-performed", G_CALLBACK(onDropPerformed), &state);
    g_signal_connect(drag, "dnd-finished", G_CALLBACK(onFinished), &state);
    g_signal_connect(drag, "cancel", G_CALLBACK(onCancel), &state);
    // The window system moves the drag without telling its source: the source follows the pointer at the display's
    // pace, over our windows and the empty screen alike.
    struct Follower {
        GtkDragAndDrop* self;
        DraggingSource* source;
        gfx::Image* image;
        std::optional<gfx::Point> last;
    } follower { this, source, keepImage.get(), mouse };
    auto follow = +[](gpointer data) -> gboolean {
        auto* f = static_cast<Follower*>(data);
        auto pointer = f->self->m_backend.display().pointerOnScreen();
        if (!pointer || pointer == f->last || !f->self->m_outgoing)
            return G_SOURCE_CONTINUE;
        f->last = pointer;
        Event::setMouseLocation(*pointer);
        if (f->source) {
            auto grab = f->self->m_outgoing->grab;
            f->source->draggedImageMovedTo(*f->image, { pointer->x + grab.width, pointer->y + grab.height });
        }
        return G_SOURCE_CONTINUE;
    };
    guint followTimer = g_timeout_add(16, follow, &follower);
    // The drag runs in GLib's main context, which keeps our windows (and our run loop) going.
    while (!state.finished)
        g_main_context_iteration(nullptr, TRUE);
    g_source_remove(followTimer);
    g_signal_handlers_disconnect_by_data(drag, &state);

    DragResult result;
    auto pointerAt = m_backend.display().pointerOnScreen().value_or(Event::mouseLocation());
    result.endedAt = { pointerAt.x + m_outgoing->grab.width, pointerAt.y + m_outgoing->grab.height };
    GdkDragAction selected = gdk_drag_get_selected_action(drag);
    result.operation = state.dropped && selected ? operationsForGdkActions(selected) & mask : DragOperations::None;
    // One operation, the one the destination performed.
    for (DragOperation one : { DragOperations::Move, DragOperations::Copy, DragOperations::Link })
        if (result.operation & one) {
            result.operation = one;
            break;
        }
    result.slidBack = result.operation == DragOperations::None && slideBack;
    result.finalImageLocation = result.slidBack ? imageOrigin : result.endedAt;
    g_object_unref(drag);
    m_outgoing.reset();
    if (source)
        source->draggedImageEndedAt(*keepImage, result.endedAt, result.operation);
    return result;
}

}
