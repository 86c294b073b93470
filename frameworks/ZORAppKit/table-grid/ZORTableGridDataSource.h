#pragma once

#include "platform/foundation/runtime/IndexSet.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/foundation/runtime/Value.h"
#include "platform/graphics/Color.h"
#include "platform/ui/dragging/Dragging.h"

#include <optional>

class ZORTableGrid;

namespace ui {
class Pasteboard;
}

// What a table grid asks of the object holding its cells. Every operation is optional: the default bodies are what
// the grid does without it (std::nullopt where the grid falls back to a value of its own). Column and row indexes
// are fnd::NotFound where a location meets no column or row.
class ZORTableGridDataSource {
public:
    virtual ~ZORTableGridDataSource() = default;

    // The counts, read by reloadData only (0 without an answer).
    virtual std::optional<fnd::Index> numberOfColumnsInTableGrid(ZORTableGrid&) { return std::nullopt; }
    virtual std::optional<fnd::Index> numberOfRowsInTableGrid(ZORTableGrid&) { return std::nullopt; }
    // Asked for each cell drawn and for the cell editing starts on.
    virtual fnd::Value tableGridObjectValueForColumn(ZORTableGrid&, fnd::Index /*column*/, fnd::Index /*row*/)
    {
        return {};
    }
    // Whether the data source takes values back (tableGridSetObjectValue); without it every cell is read-only.
    virtual bool tableGridTakesObjectValues(ZORTableGrid&) { return false; }
    // An edit ended (the edited string), or Delete cleared the cell (nil).
    virtual void tableGridSetObjectValue(ZORTableGrid&, const fnd::Value&, fnd::Index /*column*/, fnd::Index /*row*/)
    {
    }
    // nullptr draws the cell white.
    virtual gfx::ColorPtr tableGridBackgroundColorForColumn(ZORTableGrid&, fnd::Index /*column*/, fnd::Index /*row*/)
    {
        return nullptr;
    }
    // Header texts; without an answer columns read "A", "B", ... and rows "1", "2", ...
    virtual std::optional<fnd::String> tableGridHeaderStringForColumn(ZORTableGrid&, fnd::Index) { return std::nullopt; }
    virtual std::optional<fnd::String> tableGridHeaderStringForRow(ZORTableGrid&, fnd::Index) { return std::nullopt; }
    // The width of a column, asked once: the grid keeps the answer (60 without one, not kept; an answer that is not a
    // finite width of at least 20 is kept as 20). The name is the protocol's, although it is a question.
    virtual std::optional<float> tableGridSetWidthForColumn(ZORTableGrid&, fnd::Index) { return std::nullopt; }

    // Dragging whole columns or rows by their headers: true when the indexes were written and the drag may start.
    virtual bool tableGridWriteColumnsWithIndexes(ZORTableGrid&, const fnd::IndexSet&, ui::Pasteboard&)
    {
        return false;
    }
    virtual bool tableGridWriteRowsWithIndexes(ZORTableGrid&, const fnd::IndexSet&, ui::Pasteboard&) { return false; }
    // While the drag is over the grid: may the columns (rows) go before the index?
    virtual bool tableGridCanMoveColumns(ZORTableGrid&, const fnd::IndexSet&, fnd::Index /*toIndex*/) { return false; }
    virtual bool tableGridCanMoveRows(ZORTableGrid&, const fnd::IndexSet&, fnd::Index /*toIndex*/) { return false; }
    // The drop: the data source reorders its values and answers true, or refuses.
    virtual bool tableGridMoveColumns(ZORTableGrid&, const fnd::IndexSet&, fnd::Index /*toIndex*/) { return false; }
    virtual bool tableGridMoveRows(ZORTableGrid&, const fnd::IndexSet&, fnd::Index /*toIndex*/) { return false; }

    // Other drags: the operation a drop on the cell would perform (None refuses), and the drop itself.
    virtual ui::DragOperation tableGridValidateDrop(
        ZORTableGrid&, ui::DraggingInfo&, fnd::Index /*column*/, fnd::Index /*row*/)
    {
        return ui::DragOperations::None;
    }
    virtual bool tableGridAcceptDrop(ZORTableGrid&, ui::DraggingInfo&, fnd::Index /*column*/, fnd::Index /*row*/)
    {
        return false;
    }
};

// What a table grid lets its delegate decide, and the notifications it passes on to it. All optional.
class ZORTableGridDelegate {
public:
    virtual ~ZORTableGridDelegate() = default;

    // The set stored instead of the proposed one (an index set, whatever the name says).
    virtual std::optional<fnd::IndexSet> tableGridWillSelectColumnsAtIndexPath(ZORTableGrid&, const fnd::IndexSet&)
    {
        return std::nullopt;
    }
    virtual std::optional<fnd::IndexSet> tableGridWillSelectRowsAtIndexPath(ZORTableGrid&, const fnd::IndexSet&)
    {
        return std::nullopt;
    }
    virtual bool tableGridShouldEditColumn(ZORTableGrid&, fnd::Index /*column*/, fnd::Index /*row*/) { return true; }

    // The grid's notifications, delivered while this is its delegate.
    virtual void tableGridDidChangeSelection(const fnd::Notification&) { }
    virtual void tableGridDidMoveColumns(const fnd::Notification&) { }
    virtual void tableGridDidMoveRows(const fnd::Notification&) { }
};
