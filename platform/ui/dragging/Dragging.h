#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/graphics/Geometry.h"
#include "platform/ui/views/Forward.h"

#include <climits>
#include <memory>
#include <optional>
#include <vector>

namespace gfx {
class Image;
}

namespace ui {

class Pasteboard;
class DraggingInfo;

// Drag operations and masks, with the platform's values.
using DragOperation = unsigned long;
namespace DragOperations {
inline constexpr DragOperation None = 0;
inline constexpr DragOperation Copy = 1;
inline constexpr DragOperation Link = 2;
inline constexpr DragOperation Generic = 4;
inline constexpr DragOperation Private = 8;
inline constexpr DragOperation Move = 16;
inline constexpr DragOperation Delete = 32;
inline constexpr DragOperation Every = ULONG_MAX;
}

// What the object a drag starts from is told. Screen points are y up and locate the drag image's origin.
class DraggingSource {
public:
    virtual ~DraggingSource() = default;
    // The operations the source allows; local drags stay inside this program.
    virtual DragOperation draggingSourceOperationMaskForLocal(bool isLocal)
    {
        return (void)isLocal, DragOperations::Copy;
    }
    virtual void draggedImageBeganAt(gfx::Image& image, gfx::Point screenPoint) { (void)image, (void)screenPoint; }
    virtual void draggedImageMovedTo(gfx::Image& image, gfx::Point screenPoint) { (void)image, (void)screenPoint; }
    // operation is None when nothing took the drop.
    virtual void draggedImageEndedAt(gfx::Image& image, gfx::Point screenPoint, DragOperation operation)
    {
        (void)image, (void)screenPoint, (void)operation;
    }
    // When true, held modifier keys do not narrow the operation mask.
    virtual bool ignoreModifierKeysWhileDragging() { return false; }
    // A drag that promised files (FilePromise.h) is dropped where files go: write them into the folder (a file URL)
    // and answer their names.
    virtual std::vector<fnd::String> namesOfPromisedFilesDroppedAtDestination(const fnd::String& dropDestination)
    {
        return (void)dropDestination, std::vector<fnd::String> {};
    }
};

// What a view registered for dragged types is told while a drag passes over it.
class DraggingDestination {
public:
    virtual ~DraggingDestination() = default;
    // The operation the destination would perform; None refuses.
    virtual DragOperation draggingEntered(DraggingInfo& info) { return (void)info, DragOperations::None; }
    // nullopt (not answered) keeps the answer of draggingEntered.
    virtual std::optional<DragOperation> draggingUpdated(DraggingInfo& info) { return (void)info, std::nullopt; }
    virtual void draggingExited(DraggingInfo& info) { (void)info; }
    // On the drop, in this order; a false answer ends the drop unaccepted.
    virtual bool prepareForDragOperation(DraggingInfo& info) { return (void)info, true; }
    virtual bool performDragOperation(DraggingInfo& info) { return (void)info, false; }
    virtual void concludeDragOperation(DraggingInfo& info) { (void)info; }
    // Last call to the last destination, whatever the outcome.
    virtual void draggingEnded(DraggingInfo& info) { (void)info; }
};

// A drag under way, as a destination sees it.
class DraggingInfo {
public:
    virtual ~DraggingInfo() = default;
    virtual std::shared_ptr<Window> draggingDestinationWindow() const = 0;
    // The source's mask, narrowed by the held modifier keys.
    virtual DragOperation draggingSourceOperationMask() const = 0;
    // The mouse, in the destination window's base coordinates.
    virtual gfx::Point draggingLocation() const = 0;
    // The image's origin, in the destination window's base coordinates.
    virtual gfx::Point draggedImageLocation() const = 0;
    virtual std::shared_ptr<gfx::Image> draggedImage() const = 0;
    virtual std::shared_ptr<Pasteboard> draggingPasteboard() const = 0;
    // The object the drag started from (nullptr when it is not in this program).
    virtual std::shared_ptr<fnd::Object> draggingSource() const = 0;
    virtual long draggingSequenceNumber() const = 0;
    // For a drag that promised files: the source of this program writes them into the folder (a file URL) and the
    // names it wrote come back, those that would leave the folder left out. Empty when nothing was promised.
    virtual std::vector<fnd::String> namesOfPromisedFilesDroppedAtDestination(const fnd::String& dropDestination);
};

// Views that take drops declare the pasteboard types they take; a drag goes to the deepest view under the mouse
// that registered a type the pasteboard holds and is a DraggingDestination.
void registerForDraggedTypes(View& view, const std::vector<fnd::String>& types);
void unregisterDraggedTypes(View& view);
std::vector<fnd::String> registeredDraggedTypes(const View& view);

namespace detail {
// A view going away takes its registration with it (called from the view's destructor once a view registered).
void forgetDraggedTypes(const View& view);
}

// What became of a drag.
struct DragResult {
    DragOperation operation { DragOperations::None };
    // Where the image was when the mouse went up, on the screen.
    gfx::Point endedAt;
    // Where the image ended: back at its start after a slide-back, else where it was dropped.
    gfx::Point finalImageLocation;
    bool slidBack { false };
};

// Runs a drag of the image from the view: `at` is the image's origin in the view's coordinates, the drag follows
// the mouse from the mouse-down event until the button goes up, in the event-tracking mode, over the windows of
// this program and the empty screen. The pasteboard must hold what is dragged. A source that is a DraggingSource
// hears the drag's course; when nothing takes the drop and slideBack is set, the image slides back to its start.
DragResult dragImage(View& view, const std::shared_ptr<gfx::Image>& image, gfx::Point at, gfx::Size offset,
    const Event& mouseDown, const std::shared_ptr<Pasteboard>& pasteboard, const std::shared_ptr<fnd::Object>& source,
    bool slideBack);

}
