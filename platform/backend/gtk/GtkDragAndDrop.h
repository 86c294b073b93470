#pragma once

#include "platform/graphics/Geometry.h"
#include "platform/ui/dragging/Dragging.h"

#include <gtk/gtk.h>

#include <memory>
#include <optional>
#include <vector>

namespace ui {

class DropSession;
class GtkBackend;
class GtkWindowHost;
class PasteboardOwner;

// Drags through the desktop's drag and drop, so they reach other programs: a drag from one of our views becomes
// a GTK drag with our image and the pasteboard's types, and drops on our windows (from other programs or from us)
// reach our destination views with the operations the source allows.
class GtkDragAndDrop {
public:
    explicit GtkDragAndDrop(GtkBackend& backend);
    ~GtkDragAndDrop();

    // Makes the window's canvas a drop target.
    void attach(GtkWindowHost& host);
    // Runs a drag from the view until it is dropped or cancelled; nullopt when the window system cannot start one.
    // The drag ends on every outcome: the destination's answer, a refusal, Escape, a release the window system
    // missed, and a destination that does not answer in time after the drop (gone, hung, or slow), which ends it
    // with no operation while that destination may still read the data for a while.
    std::optional<DragResult> runDrag(View& view, const std::shared_ptr<gfx::Image>& image, gfx::Point imageOrigin,
        gfx::Point mouse, const std::shared_ptr<Pasteboard>& pasteboard, const std::shared_ptr<fnd::Object>& source,
        bool slideBack);

private:
    struct Target;
    struct Outgoing {
        std::shared_ptr<gfx::Image> image;
        std::shared_ptr<Pasteboard> pasteboard;
        std::shared_ptr<fnd::Object> source;
        gfx::Size grab;
        DragOperation mask;
    };

    static gboolean onAccept(GtkDropTargetAsync*, GdkDrop*, gpointer target);
    static GdkDragAction onEnter(GtkDropTargetAsync*, GdkDrop*, double x, double y, gpointer target);
    static GdkDragAction onMotion(GtkDropTargetAsync*, GdkDrop*, double x, double y, gpointer target);
    static void onLeave(GtkDropTargetAsync*, GdkDrop*, gpointer target);
    static gboolean onDrop(GtkDropTargetAsync*, GdkDrop*, double x, double y, gpointer target);

    DropSession& sessionFor(GdkDrop* drop);
    void forgetDrop();
    // Keeps a dropped drag whose destination has not answered, so it can still read the data, until it answers,
    // the drag is cancelled, the next drag begins or LingerSeconds pass.
    void linger(GdkDrag* drag);
    void endLingering();
    std::optional<gfx::Point> screenPoint(long windowNumber, double x, double y) const;

    GtkBackend& m_backend;
    std::optional<Outgoing> m_outgoing;
    GdkDrop* m_drop { nullptr };
    std::unique_ptr<DropSession> m_session;
    std::shared_ptr<PasteboardOwner> m_foreignOwner;
    struct Lingering;
    std::vector<std::unique_ptr<Lingering>> m_lingering;
};

// How long a dropped drag waits for the destination's answer (it may read the data first), in seconds.
inline constexpr double DropAnswerSeconds = 3;
// How long a drag waits for the window system to see a release the X server has seen: a release that came before
// the drag's grab went to our window, and the window system would wait for one more.
inline constexpr double MissedReleaseSeconds = 1;
// How long a drag whose destination did not answer keeps its data for that destination.
inline constexpr double LingerSeconds = 60;

// Our operations as GDK's actions and back; GDK knows copy, move and link.
GdkDragAction gdkActionsForOperations(DragOperation operations);
DragOperation operationsForGdkActions(GdkDragAction actions);
// The one action GDK is told for an operation a destination chose (move before copy before link).
GdkDragAction preferredGdkAction(DragOperation operation, GdkDragAction offered);

}
