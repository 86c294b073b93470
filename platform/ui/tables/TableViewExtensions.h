#pragma once

#include "platform/ui/dragging/Dragging.h"

#include <functional>
#include <memory>

namespace fnd {
class Notification;
}

namespace ui {

class Event;
class Menu;
class TableView;

// Behaviour a library adds to every table view, or to every outline view, of the program (subclasses included),
// usually installed when the library loads. Each hook stands in for the view's own handling of its message and is
// handed that handling as `next`, to call or not; hooks installed later run first and get the earlier ones as
// `next`. A subclass that overrides a message and passes it on to its superclass reaches the hooks that way.
struct TableViewExtension {
    enum class Scope { TableViews, OutlineViews };
    template <typename... Args> using Next = std::function<void(Args...)>;
    using MenuNext = std::function<std::shared_ptr<Menu>(const Event&)>;

    Scope scope { Scope::TableViews };
    std::function<void(TableView&, const Event&, const Next<const Event&>& next)> keyDown;
    // The context menu, once the clicked row and column are known.
    std::function<std::shared_ptr<Menu>(TableView&, const Event&, const MenuNext& next)> menuForEvent;
    std::function<void(TableView&, DraggingInfo&, const Next<DraggingInfo&>& next)> draggingExited;
    std::function<void(TableView&, DraggingInfo&, const Next<DraggingInfo&>& next)> concludeDragOperation;
    // The field editor ended an edit of a cell.
    std::function<void(TableView&, const fnd::Notification&, const Next<const fnd::Notification&>& next)>
        textDidEndEditing;
};

// Answers a number that removes the extension again.
long installTableViewExtension(TableViewExtension extension);
void removeTableViewExtension(long token);

namespace detail {
// How the views run their messages through the installed hooks, `own` being their own handling.
void keyDownThroughExtensions(TableView& view, const Event& event, const std::function<void(const Event&)>& own);
std::shared_ptr<Menu> menuForEventThroughExtensions(
    TableView& view, const Event& event, const TableViewExtension::MenuNext& own);
void draggingExitedThroughExtensions(
    TableView& view, DraggingInfo& info, const std::function<void(DraggingInfo&)>& own);
void concludeDragOperationThroughExtensions(
    TableView& view, DraggingInfo& info, const std::function<void(DraggingInfo&)>& own);
void textDidEndEditingThroughExtensions(
    TableView& view, const fnd::Notification& note, const std::function<void(const fnd::Notification&)>& own);
}

}
