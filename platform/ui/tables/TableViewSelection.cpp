// Selected rows of a table: what code selects, and the delegate's say over what the person selects.

#include "platform/ui/tables/TableView.h"

#include "platform/foundation/bindings/Binding.h"
#include "platform/ui/views/Window.h"

namespace ui {

namespace {

// The indexes below count.
fnd::IndexSet clipped(const fnd::IndexSet& rows, long count)
{
    fnd::IndexSet result;
    for (const auto& range : rows.ranges()) {
        if (range.location >= count)
            break;
        result.add(fnd::Range { range.location, std::min<fnd::Index>(range.length, count - range.location) });
    }
    return result;
}

}

long TableView::selectedRow() const
{
    if (m_lastSelectedRow >= 0 && m_selectedRows.contains(m_lastSelectedRow))
        return m_lastSelectedRow;
    return m_selectedRows.isEmpty() ? -1 : static_cast<long>(m_selectedRows.lastIndex());
}

void TableView::selectRowIndexes(const fnd::IndexSet& rows, bool extend)
{
    auto added = clipped(rows, numberOfRows());
    fnd::IndexSet next = extend ? m_selectedRows : fnd::IndexSet {};
    if (!m_allowsMultipleSelection) {
        if (!added.isEmpty())
            next = fnd::IndexSet { added.lastIndex() };
    } else {
        next.add(added);
    }
    replaceSelection(next, true);
    if (!added.isEmpty())
        m_lastSelectedRow = static_cast<long>(added.lastIndex());
    if (!extend) {
        m_anchorRow = selectedRow();
        m_anchorBase = {};
    }
}

void TableView::replaceSelection(const fnd::IndexSet& rows, bool notify)
{
    if (rows == m_selectedRows)
        return;
    auto self = weak_from_this().lock();
    setNeedsDisplayInRect(visibleRowsRect());
    m_selectedRows = rows;
    if (m_lastSelectedRow >= 0 && !m_selectedRows.contains(m_lastSelectedRow))
        m_lastSelectedRow = m_selectedRows.isEmpty() ? -1 : static_cast<long>(m_selectedRows.lastIndex());
    // An edit in a row that is no longer selected ends, keeping what was typed. A bound row is found by its object
    // in the rows the controller holds; a bound selection may come before the rows it names, which then decide.
    if (m_editingCell) {
        const bool bound = !m_editedObject.isNil();
        if (!(bound && m_applyingBoundSelection && !showsBoundRows())
            && !m_selectedRows.contains(bound ? rowOfEditedObjectInBoundRows() : m_editedRow))
            endEditingKeepingTyped();
    }
    if (notify) {
        if (m_trackingSelection) {
            m_selectionChangedWhileTracking = true;
            postNotification(Notice::SelectionIsChanging);
        } else {
            postNotification(Notice::SelectionDidChange);
        }
        accessibilityPostNotification(*this, AccessibilityNotification::SelectedRowsChanged);
    }
    writeBackSelection();
}

bool TableView::selectRowsByUser(fnd::IndexSet proposed)
{
    proposed = clipped(proposed, numberOfRows());
    if (auto d = delegate()) {
        // Each row the person adds may be refused; then the whole set may be replaced.
        fnd::IndexSet refused;
        proposed.enumerate([&](fnd::Index row, bool&) {
            if (!m_selectedRows.contains(row) && !d->tableViewShouldSelectRow(*this, static_cast<long>(row)))
                refused.add(row);
        });
        // A click on a row that may not be selected changes nothing.
        if (!refused.isEmpty() && refused == proposed)
            return false;
        proposed.remove(refused);
        if (auto answer = d->tableViewSelectionIndexesForProposedSelection(*this, proposed))
            proposed = clipped(*answer, numberOfRows());
    }
    if (proposed == m_selectedRows)
        return false;
    if (proposed.isEmpty() && !m_allowsEmptySelection)
        return false;
    if (auto d = delegate(); d && !d->selectionShouldChangeInTableView(*this))
        return false;
    auto before = m_selectedRows;
    selectRowIndexes(proposed, false);
    return m_selectedRows != before;
}

void TableView::deselectRow(long row)
{
    if (!isRowSelected(row))
        return;
    auto next = m_selectedRows;
    next.remove(row);
    if (next.isEmpty() && !m_allowsEmptySelection)
        return;
    replaceSelection(next, true);
}

void TableView::deselectAll(const fnd::Value&)
{
    if (!m_allowsEmptySelection || m_selectedRows.isEmpty())
        return;
    if (auto d = delegate(); d && !d->selectionShouldChangeInTableView(*this))
        return;
    selectRowIndexes({}, false);
}

void TableView::selectAll(const fnd::Value&)
{
    const long count = numberOfRows();
    if (!m_allowsMultipleSelection || count == 0)
        return;
    auto self = shared_from_this();
    selectRowsByUser(fnd::IndexSet(fnd::Range { 0, count }));
}

void TableView::writeBackSelection()
{
    if (m_applyingBoundSelection || !infoForBinding(fnd::BindingName::SelectionIndexes))
        return;
    m_boundSelection = m_selectedRows;
    (void)fnd::writeBackBindingValue(
        *this, fnd::BindingName::SelectionIndexes, fnd::Value(std::make_shared<fnd::IndexSet>(m_selectedRows)));
}

}
