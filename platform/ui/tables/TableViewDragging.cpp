// Drops on a table: on a row or in the gap between rows, as the data source validates them.

#include "platform/ui/tables/TableView.h"

#include "platform/ui/tables/TableViewExtensions.h"

#include <algorithm>

namespace ui {

DragOperation TableView::draggingEntered(DraggingInfo& info)
{
    return validateDropAtPoint(info, convertPointFromView(info.draggingLocation(), nullptr));
}

std::optional<DragOperation> TableView::draggingUpdated(DraggingInfo& info)
{
    return validateDropAtPoint(info, convertPointFromView(info.draggingLocation(), nullptr));
}

void TableView::draggingExited(DraggingInfo& info)
{
    auto self = shared_from_this();
    detail::draggingExitedThroughExtensions(*this, info, [this](DraggingInfo&) { clearDropHighlight(); });
}

bool TableView::performDragOperation(DraggingInfo& info)
{
    if (!m_dropHighlightShown)
        return false;
    auto self = shared_from_this();
    return acceptValidatedDrop(info);
}

void TableView::concludeDragOperation(DraggingInfo& info)
{
    auto self = shared_from_this();
    detail::concludeDragOperationThroughExtensions(*this, info, [this](DraggingInfo&) { clearDropHighlight(); });
}

void TableView::draggingEnded(DraggingInfo&)
{
    clearDropHighlight();
}

void TableView::clearDropHighlight()
{
    if (!m_dropHighlightShown)
        return;
    m_dropHighlightShown = false;
    setNeedsDisplayInRect(visibleRowsRect());
}

void TableView::setDropRow(long row, TableViewDropOperation operation)
{
    m_dropRow = row;
    m_dropOperation = operation;
    setNeedsDisplayInRect(visibleRowsRect());
}

DragOperation TableView::validateDropAtPoint(DraggingInfo& info, gfx::Point point)
{
    auto self = shared_from_this();
    // Near the top or bottom of what shows, the rows scroll by one.
    auto visible = visibleRowsRect();
    if (long edge = rowAtPoint({ 0, point.y }); edge >= 0) {
        if (point.y < visible.minY() + m_rowHeight)
            scrollRowToVisible(edge - 1);
        else if (point.y > visible.maxY() - m_rowHeight)
            scrollRowToVisible(edge + 1);
    }
    // The middle half of a row proposes a drop on it; its top and bottom quarters, the gaps above and below.
    const long count = numberOfRows();
    long row = rowAtPoint({ std::clamp(point.x, 0.0, std::max(0.0, bounds().width() - 1)), point.y });
    TableViewDropOperation operation = TableViewDropOperation::Above;
    if (point.y < 0) {
        row = 0;
    } else if (row < 0) {
        row = count;
    } else {
        auto rect = rectOfRow(row);
        double part = (point.y - rect.minY()) / std::max(1.0, rect.height());
        if (part > 0.75)
            ++row;
        else if (part >= 0.25)
            operation = TableViewDropOperation::On;
    }
    m_dropRow = row;
    m_dropOperation = operation;
    auto source = dataSource();
    DragOperation result = source ? source->tableViewValidateDrop(*this, info, row, operation) : DragOperations::None;
    if (result == DragOperations::None) {
        clearDropHighlight();
    } else {
        m_dropHighlightShown = true;
        setNeedsDisplayInRect(visibleRowsRect());
    }
    return result;
}

bool TableView::acceptValidatedDrop(DraggingInfo& info)
{
    auto source = dataSource();
    return source && source->tableViewAcceptDrop(*this, info, m_dropRow, m_dropOperation);
}

}
