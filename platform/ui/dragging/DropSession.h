#pragma once

#include "platform/ui/dragging/Dragging.h"

#include <memory>

namespace ui {

// The destination side of a drag: finds the view of ours under the mouse that takes the pasteboard's types and
// speaks the destination protocol with it. The in-process drag loop drives one, and so do drags the window system
// runs (from other programs, or ours on their way to them).
class DropSession final : public DraggingInfo {
public:
    // sourceMask: the operations the source allows; held modifier keys narrow it unless ignoresModifiers.
    DropSession(std::shared_ptr<gfx::Image> image, std::shared_ptr<Pasteboard> pasteboard,
        std::shared_ptr<fnd::Object> source, DragOperation sourceMask, bool ignoresModifiers);

    // Where the image sits relative to the mouse (its origin minus the mouse).
    void setImageOffset(gfx::Size offset) { m_grab = offset; }
    // The mouse is at the screen point with these modifier keys held: the destination under it is entered,
    // updated or exited. Answers the operation it would perform (None: refused, or no destination).
    DragOperation moveTo(gfx::Point screenPoint, unsigned modifiers);
    // The drag left without a drop (the mouse left our windows for good, or it was cancelled).
    void exit();
    // The mouse went up: the destination prepares, performs and concludes the drop; true when it took it.
    bool drop();
    DragOperation operation() const { return m_operation; }
    gfx::Point mouseOnScreen() const { return m_mouse; }
    gfx::Point imageLocationOnScreen() const { return { m_mouse.x + m_grab.width, m_mouse.y + m_grab.height }; }

    // DraggingInfo.
    std::shared_ptr<Window> draggingDestinationWindow() const override { return m_window; }
    DragOperation draggingSourceOperationMask() const override;
    gfx::Point draggingLocation() const override;
    gfx::Point draggedImageLocation() const override;
    std::shared_ptr<gfx::Image> draggedImage() const override { return m_image; }
    std::shared_ptr<Pasteboard> draggingPasteboard() const override { return m_pasteboard; }
    std::shared_ptr<fnd::Object> draggingSource() const override { return m_source; }
    long draggingSequenceNumber() const override { return m_sequenceNumber; }

private:
    std::shared_ptr<View> destinationAt(const Window& window, gfx::Point screenPoint) const;
    DraggingDestination* destination() const;
    DragOperation allowed(DragOperation operation) const { return operation & draggingSourceOperationMask(); }

    std::shared_ptr<gfx::Image> m_image;
    std::shared_ptr<Pasteboard> m_pasteboard;
    std::shared_ptr<fnd::Object> m_source;
    DragOperation m_sourceMask;
    bool m_ignoresModifiers;
    long m_sequenceNumber;
    unsigned m_modifiers { 0 };
    gfx::Size m_grab;
    gfx::Point m_mouse;
    std::shared_ptr<View> m_destination;
    std::shared_ptr<Window> m_window;
    DragOperation m_operation { DragOperations::None };
};

// The front-most window of ours under the screen point that takes mouse events.
std::shared_ptr<Window> windowForDragAt(gfx::Point screenPoint);

}
