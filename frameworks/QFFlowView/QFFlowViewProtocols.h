#pragma once

#include "platform/foundation/runtime/Value.h"
#include "platform/ui/dragging/Dragging.h"

#include <cstddef>
#include <memory>
#include <optional>

namespace ui {
class Event;
class Pasteboard;
}

class QFFlowView;

// Where a flow view's items come from when its content is not bound. Every operation is optional: the defaults do
// not answer (nullopt), and the view then uses its own fallback.
class QFFlowViewDataSource {
public:
    virtual ~QFFlowViewDataSource() = default;
    // Asked only when flowViewItemAtIndex answers too.
    virtual std::optional<std::size_t> numberOfItemsInFlowView(QFFlowView&) { return std::nullopt; }
    virtual std::optional<fnd::Value> flowViewItemAtIndex(QFFlowView&, std::size_t) { return std::nullopt; }
    // Puts the item on the drag pasteboard; false when not answered.
    virtual bool flowViewWriteItemAtIndex(QFFlowView&, std::size_t, ui::Pasteboard&) { return false; }
    virtual bool respondsToWriteItem() const { return false; }
    // An item dragged onto the desktop's waste basket (no such destination exists here).
    virtual bool flowViewRemoveItemAtIndex(QFFlowView&, std::size_t) { return false; }
    virtual std::optional<ui::DragOperation> flowViewValidateDrop(QFFlowView&, ui::DraggingInfo&, std::size_t)
    {
        return std::nullopt;
    }
    virtual std::optional<bool> flowViewAcceptDrop(QFFlowView&, ui::DraggingInfo&, std::size_t) { return std::nullopt; }
};

// What a flow view tells its delegate; every operation is optional (false: not answered).
class QFFlowViewDelegate {
public:
    virtual ~QFFlowViewDelegate() = default;
    virtual void flowViewSelectionDidChange(QFFlowView&) { }
    virtual bool flowViewItemWasDoubleClickedAtIndex(QFFlowView&, std::size_t) { return false; }
    virtual bool flowViewItemWasRightClickedAtIndex(QFFlowView&, std::size_t, const ui::Event&) { return false; }
};
