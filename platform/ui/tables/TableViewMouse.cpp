// Clicks in a table: selecting rows, tracking buttons in cells, double clicks, starting row drags, context menus.

#include "platform/ui/tables/TableView.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Image.h"
#include "platform/ui/controls/ButtonCell.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/tables/TableViewExtensions.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Window.h"
#include "platform/ui/views/detail/TrackingEvents.h"

#include <cmath>

namespace ui {

namespace {

// How far the mouse moves before a press on a row becomes a drag.
constexpr double DragDistance = 4;

// The rows between two rows, both included.
fnd::IndexSet rowsBetween(long a, long b)
{
    return fnd::IndexSet(fnd::Range { std::min(a, b), std::abs(a - b) + 1 });
}

}

void TableView::mouseDown(const Event& event)
{
    if (!isEnabled())
        return;
    auto self = shared_from_this();
    auto point = convertPointFromView(event.locationInWindow(), nullptr);
    const long row = rowAtPoint(point);
    const long column = columnAtPoint(point);
    m_clickedRow = row;
    m_clickedColumn = column;
    // A click outside the cell being edited ends the edit, keeping what was typed.
    if (m_editingCell && !(row == m_editedRow && column == m_editedColumn))
        if (auto w = window())
            w->endEditingFor(this);
    if (event.clickCount() >= 2 && row >= 0) {
        if (column >= 0 && canEditCell(column, row)) {
            if (!isRowSelected(row))
                selectRowsByUser(fnd::IndexSet { row });
            editColumn(column, row, &event, true);
        } else {
            sendDoubleAction();
        }
        return;
    }
    if (row >= 0 && column >= 0 && trackCellAt(event, column, row))
        return;
    trackSelection(event, row, column);
}

void TableView::sendDoubleAction()
{
    if (m_doubleAction)
        sendAction(m_doubleAction, target());
}

bool TableView::trackCellAt(const Event& event, long column, long row)
{
    auto prepared = preparedCellAtColumn(column, row);
    if (!prepared || !prepared->isEnabled())
        return false;
    std::optional<bool> answer;
    if (auto d = delegate())
        answer = d->tableViewShouldTrackCell(*this, *prepared, m_columns[static_cast<std::size_t>(column)].get(), row);
    if (!answer.value_or(dynamic_cast<ButtonCell*>(prepared.get()) != nullptr))
        return false;
    auto frame = frameOfCellAtColumn(column, row);
    if (!gfx::pointInRect(convertPointFromView(event.locationInWindow(), nullptr), frame))
        return false;
    // The data cell serves every row, and rows draw while the mouse is held: the click tracks a copy of it.
    auto cell = prepared->copy();
    auto before = cell->objectValue();
    m_trackedCell = cell;
    m_trackedColumn = column;
    m_trackedRow = row;
    trackCell(*cell, frame, event);
    m_trackedCell.reset();
    m_trackedColumn = m_trackedRow = -1;
    if (!(cell->objectValue() == before))
        setObjectValueForColumn(cell->objectValue(), column, row);
    setNeedsDisplayInRect(frame);
    return true;
}

void TableView::trackSelection(const Event& event, long row, long)
{
    auto self = shared_from_this();
    const unsigned flags = event.modifierFlags();
    const bool toggle = (flags & ModifierFlags::Command) != 0;
    const bool extend = (flags & ModifierFlags::Shift) != 0 && m_allowsMultipleSelection;
    const auto start = convertPointFromView(event.locationInWindow(), nullptr);
    m_trackingSelection = true;
    m_selectionChangedWhileTracking = false;

    // A plain press on one of several selected rows may start dragging them all: it selects that row alone only
    // when the mouse goes up without a drag.
    bool deferred = false;
    if (row < 0) {
        if (!toggle && !extend && m_allowsEmptySelection)
            selectRowsByUser({});
    } else if (toggle) {
        auto next = m_selectedRows;
        if (next.contains(row))
            next.remove(row);
        else if (m_allowsMultipleSelection)
            next.add(row);
        else
            next = fnd::IndexSet { row };
        selectRowsByUser(next);
        if (isRowSelected(row))
            m_lastSelectedRow = row;
        m_anchorRow = row;
        m_anchorBase = m_selectedRows;
        m_anchorBase.remove(row);
    } else if (extend) {
        if (m_anchorRow < 0 || m_anchorRow >= numberOfRows()) {
            m_anchorRow = selectedRow() >= 0 ? selectedRow() : row;
            m_anchorBase = {};
        }
        auto proposed = m_anchorBase;
        proposed.add(rowsBetween(m_anchorRow, row));
        long anchor = m_anchorRow;
        auto base = m_anchorBase;
        selectRowsByUser(proposed);
        m_anchorRow = anchor;
        m_anchorBase = base;
        if (isRowSelected(row))
            m_lastSelectedRow = row;
    } else if (isRowSelected(row) && numberOfSelectedRows() > 1) {
        deferred = true;
    } else {
        selectRowsByUser(fnd::IndexSet { row });
        m_anchorRow = row;
        m_anchorBase = {};
    }

    bool dragged = false;
    detail::TrackingEvents events(false, 0, 0);
    while (auto next = events.next().event) {
        auto point = convertPointFromView(next->locationInWindow(), nullptr);
        if (next->type() == EventType::LeftMouseUp) {
            if (deferred && !dragged) {
                selectRowsByUser(fnd::IndexSet { row });
                m_anchorRow = row;
                m_anchorBase = {};
            }
            break;
        }
        if (row < 0)
            continue;
        if (!dragged && std::hypot(point.x - start.x, point.y - start.y) > DragDistance) {
            dragged = true;
            const bool vertical = std::abs(point.y - start.y) >= std::abs(point.x - start.x);
            if (!toggle && !extend && (!vertical || m_verticalMotionCanBeginDrag) && beginRowDrag(event, row))
                return;
        }
        if (!dragged)
            continue;
        // Dragging through rows selects them: from the anchor with multiple selection, else the row under the mouse.
        long count = numberOfRows();
        long current = point.y < 0 ? 0 : rowAtPoint({ std::clamp(point.x, 0.0, bounds().width() - 1), point.y });
        if (current < 0)
            current = count - 1;
        if (current >= 0) {
            if (m_allowsMultipleSelection && !toggle) {
                long anchor = m_anchorRow >= 0 ? m_anchorRow : row;
                auto base = m_anchorBase;
                auto proposed = base;
                proposed.add(rowsBetween(anchor, current));
                selectRowsByUser(proposed);
                m_anchorRow = anchor;
                m_anchorBase = base;
                if (isRowSelected(current))
                    m_lastSelectedRow = current;
            } else if (!toggle) {
                selectRowsByUser(fnd::IndexSet { current });
            }
            scrollRowToVisible(current);
        }
    }
    m_trackingSelection = false;
    if (m_selectionChangedWhileTracking)
        postNotification(Notice::SelectionDidChange);
    m_selectionChangedWhileTracking = false;
    if (action())
        sendAction(action(), target());
}

// Dragging rows out.

bool TableView::canDragRowsWithIndexes(const fnd::IndexSet& rows, gfx::Point)
{
    return !rows.isEmpty();
}

bool TableView::beginRowDrag(const Event& mouseDown, long row)
{
    auto source = dataSource();
    if (!source)
        return false;
    auto rows = isRowSelected(row) ? m_selectedRows : fnd::IndexSet { row };
    if (!canDragRowsWithIndexes(rows, convertPointFromView(mouseDown.locationInWindow(), nullptr)))
        return false;
    auto pasteboard = Pasteboard::pasteboardWithName(PasteboardName::Drag);
    pasteboard->clearContents();
    if (!source->tableViewWriteRowsWithIndexes(*this, rows, *pasteboard))
        return false;
    // The selection made so far is reported before the drag takes over the mouse.
    m_trackingSelection = false;
    if (m_selectionChangedWhileTracking)
        postNotification(Notice::SelectionDidChange);
    m_selectionChangedWhileTracking = false;
    if (!isRowSelected(row))
        selectRowsByUser(fnd::IndexSet { row });
    gfx::Point origin;
    auto image = dragImageForRowsWithIndexes(rows, mouseDown, origin);
    auto self = shared_from_this();
    m_draggedRows = rows;
    dragImage(*this, image, origin, {}, mouseDown, pasteboard, std::dynamic_pointer_cast<fnd::Object>(self), true);
    m_draggedRows = {};
    return true;
}

std::shared_ptr<gfx::Image> TableView::dragImageForRowsWithIndexes(
    const fnd::IndexSet& rows, const Event&, gfx::Point& origin)
{
    // The visible part of the dragged rows, drawn without the table's background and other rows.
    gfx::Rect area;
    auto visible = visibleRowsRect();
    rows.enumerate([&](fnd::Index row, bool&) {
        auto rect = gfx::intersectionRect(rectOfRow(static_cast<long>(row)), visible);
        if (!rect.isEmpty())
            area = area.isEmpty() ? rect : gfx::unionRect(area, rect);
    });
    if (area.isEmpty())
        area = { visible.minX(), visible.minY(), std::max(1.0, visible.width()), std::max(1.0, m_rowHeight) };
    auto bitmap = bitmapImageRepForCachingDisplayInRect(area);
    if (bitmap) {
        m_dragImageRows = rows;
        cacheDisplayInRect(area, *bitmap);
        m_dragImageRows.reset();
    }
    // The image's origin is its bottom left corner on the screen: in a flipped view, the area's bottom.
    origin = { area.minX(), area.maxY() };
    auto image = bitmap ? gfx::Image::imageWithRepresentation(bitmap) : std::make_shared<gfx::Image>();
    return image;
}

DragOperation TableView::draggingSourceOperationMaskForLocal(bool isLocal)
{
    return isLocal ? m_localDragMask : m_remoteDragMask;
}

std::vector<fnd::String> TableView::namesOfPromisedFilesDroppedAtDestination(const fnd::String& dropDestination)
{
    auto source = dataSource();
    if (!source || m_draggedRows.isEmpty())
        return {};
    return source->tableViewNamesOfPromisedFilesDroppedAtDestination(*this, dropDestination, m_draggedRows);
}

void TableView::setDraggingSourceOperationMask(DragOperation mask, bool forLocal)
{
    (forLocal ? m_localDragMask : m_remoteDragMask) = mask;
}

// Context menus.

std::shared_ptr<Menu> TableView::menuForEvent(const Event& event)
{
    auto point = convertPointFromView(event.locationInWindow(), nullptr);
    m_clickedRow = rowAtPoint(point);
    m_clickedColumn = columnAtPoint(point);
    return detail::menuForEventThroughExtensions(
        *this, event, [this](const Event& e) { return Control::menuForEvent(e); });
}

}
