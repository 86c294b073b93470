#pragma once

#include "platform/foundation/runtime/IndexSet.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/ui/controls/Control.h"

#include <optional>

namespace ui {

class Cell;
class TableColumn;
class TableView;

// Optional answers of a table's delegate; each default is what the table does without one. The delegate is also
// the text-editing delegate of the table's in-place edits. The notification calls receive what the table posts.
class TableViewDelegate : public ControlTextEditingDelegate {
public:
    // Drawing: the cell is prepared for the row and may be changed before it draws.
    virtual void tableViewWillDisplayCell(TableView&, Cell&, TableColumn*, long /*row*/) { }
    // nullptr: the column's data cell.
    virtual std::shared_ptr<Cell> tableViewDataCellForTableColumn(TableView&, TableColumn*, long /*row*/)
    {
        return nullptr;
    }
    // nullopt (not answered) gives every row the table's row height.
    virtual std::optional<double> tableViewHeightOfRow(TableView&, long /*row*/) { return std::nullopt; }
    // A group row spans all columns and draws as a heading.
    virtual bool tableViewIsGroupRow(TableView&, long /*row*/) { return false; }
    virtual fnd::String tableViewToolTipForCell(
        TableView&, Cell&, gfx::Rect& /*rect*/, TableColumn*, long /*row*/, gfx::Point /*mouseLocation*/)
    {
        return {};
    }

    // Selection made by the person (clicks and keys): rows may be refused one by one, the whole proposed set
    // replaced, or any change refused.
    virtual bool tableViewShouldSelectRow(TableView&, long /*row*/) { return true; }
    virtual std::optional<fnd::IndexSet> tableViewSelectionIndexesForProposedSelection(
        TableView&, const fnd::IndexSet& /*proposed*/)
    {
        return std::nullopt;
    }
    virtual bool selectionShouldChangeInTableView(TableView&) { return true; }
    virtual void tableViewSelectionIsChanging(const fnd::Notification&) { }
    virtual void tableViewSelectionDidChange(const fnd::Notification&) { }

    // Editing and clicking cells.
    virtual bool tableViewShouldEditTableColumn(TableView&, TableColumn*, long /*row*/) { return true; }
    // nullopt: button cells track the mouse, other cells do not.
    virtual std::optional<bool> tableViewShouldTrackCell(TableView&, Cell&, TableColumn*, long /*row*/)
    {
        return std::nullopt;
    }

    // Type-select: the text a row is found by (nullopt: the cell's string), the match of the text between two rows
    // (nullopt: the table's own search; -1: none), and whether a key starts or extends a search.
    virtual std::optional<fnd::String> tableViewTypeSelectStringForTableColumn(TableView&, TableColumn*, long /*row*/)
    {
        return std::nullopt;
    }
    virtual std::optional<long> tableViewNextTypeSelectMatch(
        TableView&, long /*startRow*/, long /*endRow*/, const fnd::String& /*searchString*/)
    {
        return std::nullopt;
    }
    virtual bool tableViewShouldTypeSelectForEvent(TableView&, const Event&, const fnd::String& /*searchString*/)
    {
        return true;
    }

    // Columns.
    virtual void tableViewMouseDownInHeaderOfTableColumn(TableView&, TableColumn&) { }
    virtual void tableViewDidClickTableColumn(TableView&, TableColumn&) { }
    virtual void tableViewDidDragTableColumn(TableView&, TableColumn&) { }
    virtual bool tableViewShouldReorderColumn(TableView&, long /*column*/, long /*toColumn*/) { return true; }
    virtual void tableViewColumnDidMove(const fnd::Notification&) { }
    virtual void tableViewColumnDidResize(const fnd::Notification&) { }
};

}
