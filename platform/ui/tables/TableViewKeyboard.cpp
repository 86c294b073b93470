// Keys in a table: moving and extending the selection, select-all and type-select.

#include "platform/ui/tables/TableView.h"

#include "platform/foundation/runtime/Clock.h"
#include "platform/ui/tables/TableViewExtensions.h"
#include "platform/ui/views/Window.h"

#include <cmath>

namespace ui {

void TableView::keyDown(const Event& event)
{
    auto self = shared_from_this();
    detail::keyDownThroughExtensions(*this, event, [this](const Event& e) { keyDownInTable(e); });
}

void TableView::keyDownInTable(const Event& event)
{
    const auto& keys = event.charactersIgnoringModifiers();
    if (keys.isEmpty()) {
        Control::keyDown(event);
        return;
    }
    const unsigned flags = event.modifierFlags();
    const bool shift = (flags & ModifierFlags::Shift) != 0;
    const char16_t key = keys.units()[0];
    // A page is the rows the visible area holds, less one so that a row stays in sight.
    auto pageRows = [&] {
        auto rows = rowsInRect(visibleRowsRect());
        return std::max<long>(1, static_cast<long>(rows.length) - 1);
    };
    switch (key) {
    case FunctionKey::UpArrow:
        moveSelectionBy(-1, shift);
        return;
    case FunctionKey::DownArrow:
        moveSelectionBy(1, shift);
        return;
    case FunctionKey::PageUp:
        moveSelectionBy(-pageRows(), shift);
        return;
    case FunctionKey::PageDown:
        moveSelectionBy(pageRows(), shift);
        return;
    case FunctionKey::Home:
        moveSelectionTo(selectableRowFrom(0, 1), shift);
        return;
    case FunctionKey::End:
        moveSelectionTo(selectableRowFrom(numberOfRows() - 1, -1), shift);
        return;
    default:
        break;
    }
    if ((flags & ModifierFlags::Command) && (key == u'a' || key == u'A')) {
        selectAll();
        return;
    }
    if (typeSelect(event))
        return;
    Control::keyDown(event);
}

bool TableView::performKeyEquivalent(const Event& event)
{
    // Ctrl+A selects every row while the table has the keyboard.
    const auto& keys = event.charactersIgnoringModifiers();
    if ((event.modifierFlags() & ModifierFlags::Command) && keys.length() == 1
        && (keys.units()[0] == u'a' || keys.units()[0] == u'A') && m_allowsMultipleSelection)
        if (auto w = window(); w && w->firstResponder().get() == this) {
            selectAll();
            return true;
        }
    return Control::performKeyEquivalent(event);
}

long TableView::selectableRowFrom(long row, long direction)
{
    const long count = numberOfRows();
    auto d = delegate();
    for (long r = row; r >= 0 && r < count; r += direction)
        if (m_selectedRows.contains(r) || !d || d->tableViewShouldSelectRow(*this, r))
            return r;
    return -1;
}

void TableView::moveSelectionBy(long delta, bool extend)
{
    const long count = numberOfRows();
    if (count == 0 || delta == 0)
        return;
    long current = selectedRow();
    long target;
    if (current < 0)
        target = delta > 0 ? 0 : count - 1;
    else
        target = std::clamp(current + delta, 0L, count - 1);
    // Rows that may not be selected are passed over in the direction of travel, else looked for back towards
    // the start.
    const long direction = delta > 0 ? 1 : -1;
    long row = selectableRowFrom(target, direction);
    if (row < 0 || (current >= 0 && (row - current) * direction <= 0 && row != target))
        row = selectableRowFrom(target, -direction);
    if (row < 0 || (current >= 0 && row == current && !extend))
        return;
    moveSelectionTo(row, extend);
}

void TableView::moveSelectionTo(long row, bool extend)
{
    if (row < 0 || row >= numberOfRows())
        return;
    if (extend && m_allowsMultipleSelection) {
        if (m_anchorRow < 0 || m_anchorRow >= numberOfRows()) {
            m_anchorRow = selectedRow() >= 0 ? selectedRow() : row;
            m_anchorBase = {};
        }
        long anchor = m_anchorRow;
        auto base = m_anchorBase;
        auto proposed = base;
        proposed.add(fnd::IndexSet(fnd::Range { std::min(anchor, row), std::abs(anchor - row) + 1 }));
        selectRowsByUser(proposed);
        m_anchorRow = anchor;
        m_anchorBase = base;
    } else {
        selectRowsByUser(fnd::IndexSet { row });
        if (isRowSelected(row)) {
            m_anchorRow = row;
            m_anchorBase = {};
        }
    }
    if (isRowSelected(row))
        m_lastSelectedRow = row;
    scrollRowToVisible(row);
}

// Type-select.

fnd::String TableView::typeSelectStringForRow(long row)
{
    // The first visible column's text, unless the delegate says otherwise.
    for (std::size_t c = 0; c < m_columns.size(); ++c) {
        if (m_columns[c]->isHidden())
            continue;
        if (auto d = delegate())
            if (auto text = d->tableViewTypeSelectStringForTableColumn(*this, m_columns[c].get(), row))
                return *text;
        auto cell = preparedCellAtColumn(static_cast<long>(c), row);
        return cell && cell->type() == CellType::Text ? cell->stringValue() : fnd::String();
    }
    return {};
}

bool TableView::typeSelect(const Event& event)
{
    const auto& characters = event.characters();
    if (!m_allowsTypeSelect || characters.isEmpty()
        || (event.modifierFlags() & (ModifierFlags::Command | ModifierFlags::Control)))
        return false;
    for (char16_t c : characters.units())
        if (c < 0x20 || c == 0x7F || (c >= 0xF700 && c <= 0xF8FF))
            return false;
    const long count = numberOfRows();
    if (count == 0)
        return false;
    auto now = fnd::Clock::current()->now();
    if (m_typeSelectString.isEmpty() || now.timeIntervalSince(m_lastTypeSelectKey) > TypeSelectTimeout)
        m_typeSelectString = {};
    // A space only continues a search; on its own it is not a search.
    if (m_typeSelectString.isEmpty() && characters == u" ")
        return false;
    auto search = m_typeSelectString + characters;
    if (auto d = delegate(); d && !d->tableViewShouldTypeSelectForEvent(*this, event, search))
        return false;
    m_typeSelectString = search;
    m_lastTypeSelectKey = now;

    // A new search starts after the selected row; a longer one keeps the selected row while it still matches.
    long selected = selectedRow();
    long startRow = selected < 0 ? 0 : (search.length() == characters.length() ? (selected + 1) % count : selected);
    long endRow = startRow; // the search wraps round to the start
    long found = -1;
    std::optional<long> answer;
    if (auto d = delegate())
        answer = d->tableViewNextTypeSelectMatch(*this, startRow, endRow, search);
    if (answer) {
        found = *answer;
    } else {
        constexpr auto options = fnd::StringCompareOptions::CaseInsensitive | fnd::StringCompareOptions::Anchored;
        for (long i = 0; i < count && found < 0; ++i) {
            long row = (startRow + i) % count;
            auto text = typeSelectStringForRow(row);
            if (text.rangeOfString(search, options).location != fnd::NotFound)
                found = row;
        }
    }
    if (found >= 0 && found < count)
        moveSelectionTo(found, false);
    return true;
}

}
