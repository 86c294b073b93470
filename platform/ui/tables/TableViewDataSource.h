#pragma once

#include "platform/foundation/bindings/SortDescriptor.h"
#include "platform/foundation/runtime/IndexSet.h"
#include "platform/ui/dragging/Dragging.h"

namespace ui {

class Pasteboard;
class TableColumn;
class TableView;

// Where a drop lands relative to a row, with the platform's values: on the row, or in the gap above it (row ==
// numberOfRows is the gap below the last row).
enum class TableViewDropOperation { On = 0, Above = 1 };

// What a table asks of the object that holds its rows. Every answer has a default body, so a data source answers
// only what it supports; a table whose columns are bound takes its rows and values from the bindings instead.
class TableViewDataSource {
public:
    virtual ~TableViewDataSource() = default;

    virtual long numberOfRowsInTableView(TableView&) { return 0; }
    virtual fnd::Value tableViewObjectValueForTableColumn(TableView&, TableColumn*, long /*row*/) { return {}; }
    // An edit of the cell, or a button cell clicked, gives the row's new value.
    virtual void tableViewSetObjectValue(TableView&, const fnd::Value&, TableColumn*, long /*row*/) { }
    // The table's sort descriptors changed (a header was clicked); the rows should be sorted and reloaded.
    virtual void tableViewSortDescriptorsDidChange(TableView&, const fnd::SortDescriptors& /*oldDescriptors*/) { }

    // Dragging rows out: true when the rows were written to the pasteboard and may be dragged.
    virtual bool tableViewWriteRowsWithIndexes(TableView&, const fnd::IndexSet&, Pasteboard&) { return false; }
    // Rows that went out as promised files (FilePromise.h) were dropped where files go: write them into the folder
    // (a file URL) and answer the names written.
    virtual std::vector<fnd::String> tableViewNamesOfPromisedFilesDroppedAtDestination(
        TableView&, const fnd::String& /*dropDestination*/, const fnd::IndexSet& /*rows*/)
    {
        return {};
    }
    // Dropping: the operation the drop at (row, operation) would perform; the data source may move the target with
    // TableView::setDropRow. None refuses it.
    virtual DragOperation tableViewValidateDrop(TableView&, DraggingInfo&, long /*row*/, TableViewDropOperation)
    {
        return DragOperations::None;
    }
    virtual bool tableViewAcceptDrop(TableView&, DraggingInfo&, long /*row*/, TableViewDropOperation) { return false; }
};

}
