#include "platform/ui/tables/detail/OutlineViewAdapter.h"

#include "platform/ui/tables/OutlineView.h"

namespace ui::detail {

namespace {

fnd::Array itemsOfRows(const OutlineView& outline, const fnd::IndexSet& rows)
{
    fnd::Array items;
    rows.enumerate([&](fnd::Index row, bool&) { items.push_back(outline.itemAtRow(static_cast<long>(row))); });
    return items;
}

}

long OutlineViewAdapter::numberOfRowsInTableView(TableView&)
{
    return static_cast<long>(m_outline->m_rows.size());
}

fnd::Value OutlineViewAdapter::tableViewObjectValueForTableColumn(TableView&, TableColumn* column, long row)
{
    auto source = m_outline->dataSource();
    return source ? source->outlineViewObjectValueForTableColumn(*m_outline, column, m_outline->itemAtRow(row))
                  : fnd::Value();
}

void OutlineViewAdapter::tableViewSetObjectValue(TableView&, const fnd::Value& value, TableColumn* column, long row)
{
    if (auto source = m_outline->dataSource())
        source->outlineViewSetObjectValue(*m_outline, value, column, m_outline->itemAtRow(row));
}

void OutlineViewAdapter::tableViewSortDescriptorsDidChange(TableView&, const fnd::SortDescriptors& oldDescriptors)
{
    if (auto source = m_outline->dataSource())
        source->outlineViewSortDescriptorsDidChange(*m_outline, oldDescriptors);
}

bool OutlineViewAdapter::tableViewWriteRowsWithIndexes(TableView&, const fnd::IndexSet& rows, Pasteboard& pasteboard)
{
    auto source = m_outline->dataSource();
    return source && source->outlineViewWriteItems(*m_outline, itemsOfRows(*m_outline, rows), pasteboard);
}

std::vector<fnd::String> OutlineViewAdapter::tableViewNamesOfPromisedFilesDroppedAtDestination(
    TableView&, const fnd::String& dropDestination, const fnd::IndexSet& rows)
{
    auto source = m_outline->dataSource();
    if (!source)
        return {};
    return source->outlineViewNamesOfPromisedFilesDroppedAtDestination(
        *m_outline, dropDestination, itemsOfRows(*m_outline, rows));
}

void OutlineViewAdapter::tableViewWillDisplayCell(TableView&, Cell& cell, TableColumn* column, long row)
{
    if (auto d = m_outline->delegate())
        d->outlineViewWillDisplayCell(*m_outline, cell, column, m_outline->itemAtRow(row));
}

std::shared_ptr<Cell> OutlineViewAdapter::tableViewDataCellForTableColumn(TableView&, TableColumn* column, long row)
{
    auto d = m_outline->delegate();
    return d ? d->outlineViewDataCellForTableColumn(*m_outline, column, m_outline->itemAtRow(row)) : nullptr;
}

std::optional<double> OutlineViewAdapter::tableViewHeightOfRow(TableView&, long row)
{
    auto d = m_outline->delegate();
    return d ? d->outlineViewHeightOfRowByItem(*m_outline, m_outline->itemAtRow(row)) : std::nullopt;
}

bool OutlineViewAdapter::tableViewIsGroupRow(TableView&, long row)
{
    auto d = m_outline->delegate();
    return d && d->outlineViewIsGroupItem(*m_outline, m_outline->itemAtRow(row));
}

fnd::String OutlineViewAdapter::tableViewToolTipForCell(
    TableView&, Cell& cell, gfx::Rect& rect, TableColumn* column, long row, gfx::Point mouse)
{
    auto d = m_outline->delegate();
    return d ? d->outlineViewToolTipForCell(*m_outline, cell, rect, column, m_outline->itemAtRow(row), mouse)
             : fnd::String();
}

bool OutlineViewAdapter::tableViewShouldSelectRow(TableView&, long row)
{
    auto d = m_outline->delegate();
    return !d || d->outlineViewShouldSelectItem(*m_outline, m_outline->itemAtRow(row));
}

std::optional<fnd::IndexSet> OutlineViewAdapter::tableViewSelectionIndexesForProposedSelection(
    TableView&, const fnd::IndexSet& proposed)
{
    auto d = m_outline->delegate();
    return d ? d->outlineViewSelectionIndexesForProposedSelection(*m_outline, proposed) : std::nullopt;
}

bool OutlineViewAdapter::selectionShouldChangeInTableView(TableView&)
{
    auto d = m_outline->delegate();
    return !d || d->selectionShouldChangeInOutlineView(*m_outline);
}

void OutlineViewAdapter::tableViewSelectionIsChanging(const fnd::Notification& notification)
{
    if (auto d = m_outline->delegate())
        d->outlineViewSelectionIsChanging(notification);
}

void OutlineViewAdapter::tableViewSelectionDidChange(const fnd::Notification& notification)
{
    if (auto d = m_outline->delegate())
        d->outlineViewSelectionDidChange(notification);
}

bool OutlineViewAdapter::tableViewShouldEditTableColumn(TableView&, TableColumn* column, long row)
{
    auto d = m_outline->delegate();
    return !d || d->outlineViewShouldEditTableColumn(*m_outline, column, m_outline->itemAtRow(row));
}

std::optional<bool> OutlineViewAdapter::tableViewShouldTrackCell(TableView&, Cell& cell, TableColumn* column, long row)
{
    auto d = m_outline->delegate();
    return d ? d->outlineViewShouldTrackCell(*m_outline, cell, column, m_outline->itemAtRow(row)) : std::nullopt;
}

std::optional<fnd::String> OutlineViewAdapter::tableViewTypeSelectStringForTableColumn(
    TableView&, TableColumn* column, long row)
{
    auto d = m_outline->delegate();
    return d ? d->outlineViewTypeSelectStringForTableColumn(*m_outline, column, m_outline->itemAtRow(row))
             : std::nullopt;
}

std::optional<long> OutlineViewAdapter::tableViewNextTypeSelectMatch(
    TableView&, long startRow, long endRow, const fnd::String& searchString)
{
    auto d = m_outline->delegate();
    return d ? d->outlineViewNextTypeSelectMatch(*m_outline, startRow, endRow, searchString) : std::nullopt;
}

bool OutlineViewAdapter::tableViewShouldTypeSelectForEvent(
    TableView&, const Event& event, const fnd::String& searchString)
{
    auto d = m_outline->delegate();
    return !d || d->outlineViewShouldTypeSelectForEvent(*m_outline, event, searchString);
}

void OutlineViewAdapter::tableViewMouseDownInHeaderOfTableColumn(TableView&, TableColumn& column)
{
    if (auto d = m_outline->delegate())
        d->outlineViewMouseDownInHeaderOfTableColumn(*m_outline, column);
}

void OutlineViewAdapter::tableViewDidClickTableColumn(TableView&, TableColumn& column)
{
    if (auto d = m_outline->delegate())
        d->outlineViewDidClickTableColumn(*m_outline, column);
}

void OutlineViewAdapter::tableViewDidDragTableColumn(TableView&, TableColumn& column)
{
    if (auto d = m_outline->delegate())
        d->outlineViewDidDragTableColumn(*m_outline, column);
}

bool OutlineViewAdapter::tableViewShouldReorderColumn(TableView&, long column, long toColumn)
{
    auto d = m_outline->delegate();
    return !d || d->outlineViewShouldReorderColumn(*m_outline, column, toColumn);
}

void OutlineViewAdapter::tableViewColumnDidMove(const fnd::Notification& notification)
{
    if (auto d = m_outline->delegate())
        d->outlineViewColumnDidMove(notification);
}

void OutlineViewAdapter::tableViewColumnDidResize(const fnd::Notification& notification)
{
    if (auto d = m_outline->delegate())
        d->outlineViewColumnDidResize(notification);
}

bool OutlineViewAdapter::controlTextShouldBeginEditing(Control& control, View& fieldEditor)
{
    auto d = m_outline->delegate();
    return !d || d->controlTextShouldBeginEditing(control, fieldEditor);
}

bool OutlineViewAdapter::controlTextShouldEndEditing(Control& control, View& fieldEditor)
{
    auto d = m_outline->delegate();
    return !d || d->controlTextShouldEndEditing(control, fieldEditor);
}

bool OutlineViewAdapter::controlDidFailToFormatString(
    Control& control, const fnd::String& string, const fnd::String& error)
{
    auto d = m_outline->delegate();
    return d && d->controlDidFailToFormatString(control, string, error);
}

bool OutlineViewAdapter::controlIsValidObject(Control& control, const fnd::Value& object)
{
    auto d = m_outline->delegate();
    return !d || d->controlIsValidObject(control, object);
}

bool OutlineViewAdapter::controlDoCommandBySelector(Control& control, View& fieldEditor, fnd::Selector selector)
{
    auto d = m_outline->delegate();
    return d && d->controlDoCommandBySelector(control, fieldEditor, selector);
}

void OutlineViewAdapter::controlTextDidBeginEditing(const fnd::Object& notification)
{
    if (auto d = m_outline->delegate())
        d->controlTextDidBeginEditing(notification);
}

void OutlineViewAdapter::controlTextDidChange(const fnd::Object& notification)
{
    if (auto d = m_outline->delegate())
        d->controlTextDidChange(notification);
}

void OutlineViewAdapter::controlTextDidEndEditing(const fnd::Object& notification)
{
    if (auto d = m_outline->delegate())
        d->controlTextDidEndEditing(notification);
}

}
