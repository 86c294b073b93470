// Editing a table's cells in place with the window's field editor.

#include "platform/ui/tables/TableView.h"

#include "platform/ui/tables/TableViewExtensions.h"
#include "platform/ui/text/TextView.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Window.h"

namespace ui {

bool TableView::canEditCell(long column, long row)
{
    if (column < 0 || column >= numberOfColumns() || row < 0 || row >= numberOfRows())
        return false;
    auto* tableColumn = m_columns[static_cast<std::size_t>(column)].get();
    if (!tableColumn->isEditable() || tableColumn->isHidden())
        return false;
    auto cell = preparedCellAtColumn(column, row);
    if (!cell || cell->type() != CellType::Text || !cell->isEnabled())
        return false;
    auto d = delegate();
    return !d || d->tableViewShouldEditTableColumn(*this, tableColumn, row);
}

void TableView::editColumn(long column, long row, const Event* event, bool select)
{
    auto w = window();
    if (!w || column < 0 || column >= numberOfColumns() || row < 0 || row >= numberOfRows())
        return;
    auto self = std::static_pointer_cast<TableView>(shared_from_this());
    if (m_editingCell) {
        w->endEditingFor(this);
        if (m_editingCell)
            return; // the edit under way would not end
    }
    scrollRowToVisible(row);
    auto prepared = preparedCellAtColumn(column, row);
    if (!prepared)
        return;
    // The edited cell is a copy, so the rows drawn meanwhile do not disturb it.
    auto cell = prepared->copy();
    cell->setBackgroundStyle(BackgroundStyle::Light);
    cell->setHighlighted(false);
    cell->setEditable(true);
    auto editor = w->fieldEditor(true, this);
    if (!editor)
        return;
    m_editingCell = cell;
    m_editedColumn = column;
    m_editedRow = row;
    const auto* boundRows = m_hasBoundContent ? m_boundContent.array() : nullptr;
    m_editedObject = boundRows && static_cast<std::size_t>(row) < boundRows->size()
        ? (*boundRows)[static_cast<std::size_t>(row)]
        : fnd::Value();
    auto frame = frameOfCellAtColumn(column, row);
    if (select || !event)
        cell->selectWithFrame(frame, *this, editor, self, 0, cell->stringValue().length());
    else
        cell->editWithFrame(frame, *this, editor, self, event);
    if (!cell->currentFieldEditor()) {
        // The cell cannot be edited (not text, or not selectable).
        m_editingCell.reset();
        m_editedObject = {};
        m_editedColumn = m_editedRow = -1;
        return;
    }
    m_editedCellText = cell->stringValue();
    setNeedsDisplayInRect(frame);
}

std::shared_ptr<View> TableView::currentEditor() const
{
    return m_editingCell ? m_editingCell->currentFieldEditor() : nullptr;
}

void TableView::validateEditing()
{
    auto editor = std::dynamic_pointer_cast<TextView>(currentEditor());
    if (!editor || !m_editingCell)
        return;
    if (editor->string() != m_editingCell->stringValue())
        m_editingCell->setStringValue(editor->string());
}

void TableView::endCellEditing()
{
    if (!m_editingCell)
        return;
    auto cell = m_editingCell;
    auto frame = frameOfCellAtColumn(m_editedColumn, m_editedRow);
    m_editingCell.reset();
    m_editedObject = {};
    m_editedColumn = m_editedRow = -1;
    cell->endEditing(cell->currentFieldEditor());
    setNeedsDisplayInRect(frame);
}

bool TableView::abortEditing()
{
    auto editor = currentEditor();
    if (!editor)
        return false;
    auto self = std::static_pointer_cast<TableView>(shared_from_this());
    auto w = window();
    const bool hadKeyboard = w && w->firstResponder() == editor;
    // The cell lets go of the editor first, so the editor's resigning reaches nobody and nothing is written.
    endCellEditing();
    if (hadKeyboard)
        w->makeFirstResponder(self);
    return true;
}

void TableView::endEditingKeepingTyped()
{
    auto editor = currentEditor();
    auto w = window();
    if (!editor || !w)
        return;
    auto self = std::static_pointer_cast<TableView>(shared_from_this());
    const bool hadKeyboard = w->firstResponder() == editor;
    w->endEditingFor(this);
    if (hadKeyboard && !currentEditor() && w->firstResponder() != self)
        w->makeFirstResponder(self);
}

bool TableView::textShouldBeginEditing(TextView& fieldEditor)
{
    auto d = delegate();
    return !d || d->controlTextShouldBeginEditing(*this, fieldEditor);
}

bool TableView::textShouldEndEditing(TextView& fieldEditor)
{
    // What was typed must be readable by the cell's formatter, as in a text field.
    return textShouldEndEditingWith(
        fieldEditor, m_editingCell ? m_editingCell->formatter().get() : nullptr, delegate());
}

void TableView::textDidBeginEditing(const fnd::Notification& notification)
{
    auto self = shared_from_this();
    auto note = postControlNotification(ControlNotification::TextDidBeginEditing, notification);
    if (auto d = delegate())
        d->controlTextDidBeginEditing(*note);
}

void TableView::textDidChange(const fnd::Notification& notification)
{
    auto self = shared_from_this();
    auto note = postControlNotification(ControlNotification::TextDidChange, notification);
    if (auto d = delegate())
        d->controlTextDidChange(*note);
}

void TableView::textDidEndEditing(const fnd::Notification& notification)
{
    auto self = weak_from_this().lock();
    detail::textDidEndEditingThroughExtensions(
        *this, notification, [this](const fnd::Notification& note) { endEditingCell(note); });
}

void TableView::endEditingCell(const fnd::Notification& notification)
{
    if (!m_editingCell)
        return;
    auto self = std::static_pointer_cast<TableView>(shared_from_this());
    validateEditing();
    const auto value = m_editingCell->objectValue();
    const long column = m_editedColumn, row = m_editedRow;
    const auto object = m_editedObject.object();
    // A cell left with the text it began with was visited, not edited. What it shows is not always the row's value
    // (a formatter rounds, a number shows as text, nil as nothing): written back, the visit would set the row.
    auto editor = std::dynamic_pointer_cast<TextView>(currentEditor());
    const bool typed = !editor || editor->string() != m_editedCellText;
    // The editor goes first, so that a reload caused by the new value finds no edit under way.
    endCellEditing();
    // A bound row's object takes the value wherever it stands now, also when it left the rows.
    if (typed && object && column >= 0 && column < numberOfColumns()
        && m_columns[static_cast<std::size_t>(column)]->boundValues())
        setBoundValueOfRowObject(value, *m_columns[static_cast<std::size_t>(column)], *object);
    else if (typed)
        setObjectValueForColumn(value, column, row);
    auto note = postControlNotification(ControlNotification::TextDidEndEditing, notification);
    if (auto d = delegate())
        d->controlTextDidEndEditing(*note);
    const long movement = notification.userInfo().get(TextNotification::MovementKey).integerValue();
    if (movement == TextMovement::Other)
        return;
    // Keys that end the edit leave the keyboard with the table, and may go on to another cell.
    if (auto w = window())
        w->makeFirstResponder(self);
    m_editedColumn = column;
    m_editedRow = row;
    editNextCell(movement);
    if (!m_editingCell)
        m_editedColumn = m_editedRow = -1;
}

void TableView::editNextCell(long movement)
{
    const long column = m_editedColumn, row = m_editedRow;
    m_editedColumn = m_editedRow = -1;
    const long rows = numberOfRows(), columns = numberOfColumns();
    auto editAt = [&](long c, long r) {
        if (!isRowSelected(r))
            selectRowsByUser(fnd::IndexSet { r });
        editColumn(c, r, nullptr, true);
    };
    switch (movement) {
    case TextMovement::Return:
        // On to the same column of the next row.
        if (row + 1 < rows && canEditCell(column, row + 1))
            editAt(column, row + 1);
        break;
    case TextMovement::Tab:
        // The next editable cell of the row, else the first of the next row.
        for (long r = row, c = column + 1; r < rows; ++r, c = 0)
            for (; c < columns; ++c)
                if (canEditCell(c, r)) {
                    editAt(c, r);
                    return;
                }
        break;
    case TextMovement::Backtab:
        for (long r = row, c = column - 1; r >= 0; --r, c = columns - 1)
            for (; c >= 0; --c)
                if (canEditCell(c, r)) {
                    editAt(c, r);
                    return;
                }
        break;
    default:
        break;
    }
}

bool TableView::textViewDoCommandBySelector(TextView& fieldEditor, fnd::Selector selector)
{
    auto self = shared_from_this();
    if (auto d = delegate(); d && d->controlDoCommandBySelector(*this, fieldEditor, selector))
        return true;
    // Escape puts the cell back as it was.
    if (selector == fnd::Selector("cancelOperation:")) {
        abortEditing();
        return true;
    }
    return false;
}

}
