#pragma once

#include "platform/ui/tables/TableViewDataSource.h"
#include "platform/ui/tables/TableViewDelegate.h"

namespace ui {
class OutlineView;
}

namespace ui::detail {

// What an outline view's table half asks by row, answered by the outline's own data source and delegate by item.
class OutlineViewAdapter final : public TableViewDataSource, public TableViewDelegate {
public:
    // The outline owns the adapter and outlives it.
    explicit OutlineViewAdapter(OutlineView& outline)
        : m_outline(&outline)
    {
    }

    // Data source.
    long numberOfRowsInTableView(TableView&) override;
    fnd::Value tableViewObjectValueForTableColumn(TableView&, TableColumn* column, long row) override;
    void tableViewSetObjectValue(TableView&, const fnd::Value& value, TableColumn* column, long row) override;
    void tableViewSortDescriptorsDidChange(TableView&, const fnd::SortDescriptors& oldDescriptors) override;
    bool tableViewWriteRowsWithIndexes(TableView&, const fnd::IndexSet& rows, Pasteboard& pasteboard) override;
    std::vector<fnd::String> tableViewNamesOfPromisedFilesDroppedAtDestination(
        TableView&, const fnd::String& dropDestination, const fnd::IndexSet& rows) override;

    // Delegate.
    void tableViewWillDisplayCell(TableView&, Cell& cell, TableColumn* column, long row) override;
    std::shared_ptr<Cell> tableViewDataCellForTableColumn(TableView&, TableColumn* column, long row) override;
    std::optional<double> tableViewHeightOfRow(TableView&, long row) override;
    bool tableViewIsGroupRow(TableView&, long row) override;
    fnd::String tableViewToolTipForCell(
        TableView&, Cell& cell, gfx::Rect& rect, TableColumn* column, long row, gfx::Point mouse) override;
    bool tableViewShouldSelectRow(TableView&, long row) override;
    std::optional<fnd::IndexSet> tableViewSelectionIndexesForProposedSelection(
        TableView&, const fnd::IndexSet& proposed) override;
    bool selectionShouldChangeInTableView(TableView&) override;
    void tableViewSelectionIsChanging(const fnd::Notification& notification) override;
    void tableViewSelectionDidChange(const fnd::Notification& notification) override;
    bool tableViewShouldEditTableColumn(TableView&, TableColumn* column, long row) override;
    std::optional<bool> tableViewShouldTrackCell(TableView&, Cell& cell, TableColumn* column, long row) override;
    std::optional<fnd::String> tableViewTypeSelectStringForTableColumn(TableView&, TableColumn*, long row) override;
    std::optional<long> tableViewNextTypeSelectMatch(
        TableView&, long startRow, long endRow, const fnd::String& searchString) override;
    bool tableViewShouldTypeSelectForEvent(TableView&, const Event& event, const fnd::String& searchString) override;
    void tableViewMouseDownInHeaderOfTableColumn(TableView&, TableColumn& column) override;
    void tableViewDidClickTableColumn(TableView&, TableColumn& column) override;
    void tableViewDidDragTableColumn(TableView&, TableColumn& column) override;
    bool tableViewShouldReorderColumn(TableView&, long column, long toColumn) override;
    void tableViewColumnDidMove(const fnd::Notification& notification) override;
    void tableViewColumnDidResize(const fnd::Notification& notification) override;

    // Text editing in cells.
    bool controlTextShouldBeginEditing(Control& control, View& fieldEditor) override;
    bool controlTextShouldEndEditing(Control& control, View& fieldEditor) override;
    bool controlDidFailToFormatString(Control& control, const fnd::String& string, const fnd::String& error) override;
    bool controlIsValidObject(Control& control, const fnd::Value& object) override;
    bool controlDoCommandBySelector(Control& control, View& fieldEditor, fnd::Selector selector) override;
    void controlTextDidBeginEditing(const fnd::Object& notification) override;
    void controlTextDidChange(const fnd::Object& notification) override;
    void controlTextDidEndEditing(const fnd::Object& notification) override;

private:
    OutlineView* m_outline;
};

}
