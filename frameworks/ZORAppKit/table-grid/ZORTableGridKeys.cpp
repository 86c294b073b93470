// The grid under the keyboard: moving a one-cell selection, growing and shrinking a selection from its anchor
// corner, select-all, clearing cells and typing into a cell.

#include "frameworks/ZORAppKit/table-grid/ZORTableGrid.h"

#include "frameworks/ZORAppKit/table-grid/ZORTableGridContentView.h"

#include "platform/ui/text/TextView.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/KeyBindings.h"
#include "platform/ui/views/Window.h"

bool ZORTableGrid::hasSelection() const
{
    return !m_selectedColumnIndexes->isEmpty() && !m_selectedRowIndexes->isEmpty();
}

fnd::Index ZORTableGrid::anchorColumn() const
{
    return m_stickyColumnEdge == StickyRightEdge ? m_selectedColumnIndexes->lastIndex()
                                                 : m_selectedColumnIndexes->firstIndex();
}

fnd::Index ZORTableGrid::anchorRow() const
{
    return m_stickyRowEdge == StickyBottomEdge ? m_selectedRowIndexes->lastIndex() : m_selectedRowIndexes->firstIndex();
}

void ZORTableGrid::selectCell(fnd::Index column, fnd::Index row)
{
    setSelectedColumnIndexes(fnd::IndexSet { column });
    setSelectedRowIndexes(fnd::IndexSet { row });
}

void ZORTableGrid::scrollToCell(fnd::Index column, fnd::Index row)
{
    scrollToArea(m_contentView->frameOfCellAtColumn(column, row), false);
}

void ZORTableGrid::keyDown(const ui::Event& event)
{
    auto self = shared_from_this();
    if (auto selector = ui::KeyBindings::standard().selectorForEvent(event)) {
        if (respondsTo(*selector))
            perform(*selector, selfValue());
        else if (!tryToPerform(*selector, selfValue()))
            ui::Application::shared().beep();
        return;
    }
    const auto& characters = event.characters();
    bool printable = characters.length() > 0;
    for (char16_t c : characters.units())
        if (c < 0x20 || c == 0x7F || (c >= 0xF700 && c <= 0xF8FF))
            printable = false;
    if (printable && !(event.modifierFlags() & (ui::ModifierFlags::Command | ui::ModifierFlags::Control)))
        insertText(fnd::Value(characters));
    else
        Control::keyDown(event);
}

void ZORTableGrid::insertTab(const fnd::Value& sender)
{
    moveRight(sender);
}

void ZORTableGrid::insertBacktab(const fnd::Value& sender)
{
    m_shouldOverrideModifiers = true;
    moveLeft(sender);
}

void ZORTableGrid::insertNewline(const fnd::Value& sender)
{
    auto w = window();
    auto event = w ? w->currentEvent() : nullptr;
    if (event && (event->modifierFlags() & ui::ModifierFlags::Shift)) {
        m_shouldOverrideModifiers = true;
        moveUp(sender);
    } else {
        moveDown(sender);
    }
}

void ZORTableGrid::moveUp(const fnd::Value&)
{
    if (!hasSelection())
        return;
    const auto c = anchorColumn(), r = anchorRow();
    if (r > 0) {
        selectCell(c, r - 1);
        scrollToCell(c, r - 1);
    }
}

void ZORTableGrid::moveDown(const fnd::Value&)
{
    if (!hasSelection())
        return;
    const auto c = anchorColumn(), r = anchorRow();
    if (r < m_numberOfRows - 1) {
        selectCell(c, r + 1);
        scrollToCell(c, r + 1);
    }
}

void ZORTableGrid::moveLeft(const fnd::Value&)
{
    if (!hasSelection())
        return;
    const auto c = anchorColumn(), r = anchorRow();
    if (c > 0) {
        scrollToCell(c - 1, r);
        selectCell(c - 1, r);
    }
}

void ZORTableGrid::moveRight(const fnd::Value&)
{
    if (!hasSelection())
        return;
    const auto c = anchorColumn(), r = anchorRow();
    if (c < m_numberOfColumns - 1) {
        selectCell(c + 1, r);
        scrollToCell(c + 1, r);
    }
}

void ZORTableGrid::moveUpAndModifySelection(const fnd::Value& sender)
{
    if (!hasSelection())
        return;
    if (m_shouldOverrideModifiers) {
        m_shouldOverrideModifiers = false;
        moveUp(sender);
        return;
    }
    auto f = m_selectedRowIndexes->firstIndex(), l = m_selectedRowIndexes->lastIndex();
    if (m_selectedRowIndexes->count() == 1)
        m_stickyRowEdge = StickyBottomEdge;
    if (m_stickyRowEdge == StickyBottomEdge && f == 0)
        return;
    if (m_stickyRowEdge == StickyTopEdge)
        --l;
    else
        --f;
    setSelectedRowIndexes(fnd::IndexSet(fnd::Range { f, l - f + 1 }));
    if (f > 0)
        scrollToCell(m_selectedColumnIndexes->firstIndex(), f - 1);
}

void ZORTableGrid::moveDownAndModifySelection(const fnd::Value& sender)
{
    if (!hasSelection())
        return;
    if (m_shouldOverrideModifiers) {
        m_shouldOverrideModifiers = false;
        moveDown(sender);
        return;
    }
    auto f = m_selectedRowIndexes->firstIndex(), l = m_selectedRowIndexes->lastIndex();
    if (m_selectedRowIndexes->count() == 1)
        m_stickyRowEdge = StickyTopEdge;
    if (m_stickyRowEdge == StickyBottomEdge) {
        ++f;
    } else {
        if (l >= m_numberOfRows - 1)
            return;
        ++l;
    }
    setSelectedRowIndexes(fnd::IndexSet(fnd::Range { f, l - f + 1 }));
    if (l + 1 < m_numberOfRows)
        scrollToCell(m_selectedColumnIndexes->lastIndex(), l + 1);
}

void ZORTableGrid::moveLeftAndModifySelection(const fnd::Value& sender)
{
    if (!hasSelection())
        return;
    if (m_shouldOverrideModifiers) {
        m_shouldOverrideModifiers = false;
        moveLeft(sender);
        return;
    }
    auto f = m_selectedColumnIndexes->firstIndex(), l = m_selectedColumnIndexes->lastIndex();
    if (m_selectedColumnIndexes->count() == 1)
        m_stickyColumnEdge = StickyRightEdge;
    if (f > 0)
        scrollToCell(f - 1, m_selectedRowIndexes->firstIndex());
    if (m_stickyColumnEdge == StickyRightEdge && f == 0)
        return;
    if (m_stickyColumnEdge == StickyLeftEdge)
        --l;
    else
        --f;
    setSelectedColumnIndexes(fnd::IndexSet(fnd::Range { f, l - f + 1 }));
}

void ZORTableGrid::moveRightAndModifySelection(const fnd::Value& sender)
{
    if (!hasSelection())
        return;
    if (m_shouldOverrideModifiers) {
        m_shouldOverrideModifiers = false;
        moveRight(sender);
        return;
    }
    auto f = m_selectedColumnIndexes->firstIndex(), l = m_selectedColumnIndexes->lastIndex();
    if (m_selectedColumnIndexes->count() == 1)
        m_stickyColumnEdge = StickyLeftEdge;
    if (m_stickyColumnEdge == StickyRightEdge) {
        ++f;
    } else {
        if (l >= m_numberOfColumns - 1)
            return;
        ++l;
    }
    setSelectedColumnIndexes(fnd::IndexSet(fnd::Range { f, l - f + 1 }));
    if (l + 1 < m_numberOfColumns)
        scrollToCell(l + 1, m_selectedRowIndexes->lastIndex());
}

void ZORTableGrid::selectAll(const fnd::Value&)
{
    _setStickyColumn(StickyLeftEdge, StickyTopEdge);
    setSelectedColumnIndexes(fnd::IndexSet(fnd::Range { 0, m_numberOfColumns }));
    setSelectedRowIndexes(fnd::IndexSet(fnd::Range { 0, m_numberOfRows }));
}

void ZORTableGrid::deleteBackward(const fnd::Value&)
{
    auto self = shared_from_this();
    if (!hasSelection())
        return;
    // Column by column, each top to bottom, over the cells the data source has (a selection set by a program or
    // rewritten by the delegate may reach past them); a cell the delegate keeps read-only keeps its value, as it
    // would against typing.
    const auto firstRow = m_selectedRowIndexes->firstIndex();
    const auto lastRow = std::min(m_selectedRowIndexes->lastIndex(), m_numberOfRows - 1);
    const auto lastColumn = std::min(m_selectedColumnIndexes->lastIndex(), m_numberOfColumns - 1);
    for (auto c = m_selectedColumnIndexes->firstIndex(); c <= lastColumn; ++c)
        for (auto r = firstRow; r <= lastRow; ++r)
            if (_canEditCellAtColumn(c, r))
                _setObjectValue({}, c, r);
    reloadData();
}

void ZORTableGrid::insertText(const fnd::Value& text)
{
    auto self = shared_from_this();
    auto w = window();
    if (!w)
        return;
    m_contentView->editSelectedCell(selfValue());
    if (auto editor = w->fieldEditor(true, this)) {
        // Typing into a selected cell replaces its value.
        auto string = text.stringValue();
        editor->setString(string);
        editor->setSelectedRange({ string.length(), 0 });
    }
}

void ZORTableGrid::mouseDown(const ui::Event&)
{
    auto self = std::static_pointer_cast<ZORTableGrid>(shared_from_this());
    auto w = window();
    if (!w)
        return;
    // An edit under way ends first, keeping what was typed.
    if (m_contentView->isEditing())
        w->endEditingFor(m_contentView.get());
    if (auto editor = w->fieldEditor(false, m_contentView.get()))
        cell()->endEditing(editor);
    if (w->firstResponder() != self)
        w->makeFirstResponder(self);
}
