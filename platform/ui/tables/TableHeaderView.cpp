#include "platform/ui/tables/TableHeaderView.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/tables/TableHeaderCell.h"
#include "platform/ui/tables/TableView.h"
#include "platform/ui/views/Cursor.h"
#include "platform/ui/views/Window.h"
#include "platform/ui/views/detail/TrackingEvents.h"

#include <cmath>

namespace ui {

FND_REGISTER_CLASS(TableHeaderView, View)

std::shared_ptr<TableHeaderView> TableHeaderView::create(gfx::Rect frame)
{
    return makeView<TableHeaderView>(frame);
}

void TableHeaderView::setTableView(const std::shared_ptr<TableView>& table)
{
    m_tableView = table;
    setNeedsDisplay(true);
}

long TableHeaderView::columnAtPoint(gfx::Point point) const
{
    auto table = tableView();
    if (!table || point.y < bounds().minY() || point.y >= bounds().maxY())
        return -1;
    return table->columnAtPoint({ point.x, 0 });
}

gfx::Rect TableHeaderView::headerRectOfColumn(long column) const
{
    auto table = tableView();
    if (!table)
        return {};
    auto rect = table->rectOfColumn(column);
    return { rect.minX(), bounds().minY(), rect.width(), bounds().height() };
}

// Drawing.

void TableHeaderView::drawColumn(long column, gfx::Rect rect, bool pressed)
{
    auto table = tableView();
    const auto& c = table->tableColumns()[static_cast<std::size_t>(column)];
    auto cell = c->headerCell();
    if (!cell || rect.width() <= 0)
        return;
    (void)pressed;
    cell->drawWithFrame(rect, *this);
    auto header = std::dynamic_pointer_cast<TableHeaderCell>(cell);
    const auto& sorts = table->sortDescriptors();
    if (!header || !c->sortDescriptorPrototype())
        return;
    for (std::size_t i = 0; i < sorts.size(); ++i)
        if (sorts[i]->key() == c->sortDescriptorPrototype()->key()) {
            header->drawSortIndicatorWithFrame(rect, *this, sorts[i]->ascending(), static_cast<long>(i));
            break;
        }
}

void TableHeaderView::drawRect(gfx::Rect dirtyRect)
{
    TableHeaderCell::drawHeaderBackground(bounds(), false);
    auto table = tableView();
    if (!table)
        return;
    const long count = table->numberOfColumns();
    for (long c = 0; c < count; ++c) {
        if (c == m_draggedColumn)
            continue;
        auto rect = headerRectOfColumn(c);
        if (rect.width() > 0 && gfx::intersectsRect(rect, dirtyRect))
            drawColumn(c, rect, c == m_pressedColumn);
    }
    // The title being dragged floats over the others, where the mouse has it.
    if (m_draggedColumn >= 0 && m_draggedColumn < count) {
        auto rect = gfx::offsetRect(headerRectOfColumn(m_draggedColumn), m_draggedDistance, 0);
        drawColumn(m_draggedColumn, rect, true);
    }
}

void TableHeaderView::resetCursorRects()
{
    auto table = tableView();
    if (!table || !table->allowsColumnResizing())
        return;
    for (long c = 0; c < table->numberOfColumns(); ++c) {
        const auto& column = table->tableColumns()[static_cast<std::size_t>(c)];
        if (column->isHidden() || !(column->resizingMask() & TableColumnResizing::UserResizingMask))
            continue;
        auto rect = headerRectOfColumn(c);
        addCursorRect({ rect.maxX() - ResizeMargin, rect.minY(), 2 * ResizeMargin, rect.height() },
            Cursor::resizeLeftRightCursor());
    }
}

// Mouse.

long TableHeaderView::resizableColumnAtEdge(gfx::Point point) const
{
    auto table = tableView();
    if (!table || !table->allowsColumnResizing())
        return -1;
    long best = -1;
    double bestDistance = ResizeMargin;
    for (long c = 0; c < table->numberOfColumns(); ++c) {
        const auto& column = table->tableColumns()[static_cast<std::size_t>(c)];
        if (column->isHidden() || !(column->resizingMask() & TableColumnResizing::UserResizingMask))
            continue;
        double distance = std::abs(point.x - headerRectOfColumn(c).maxX());
        if (distance <= bestDistance) {
            best = c;
            bestDistance = distance;
        }
    }
    return best;
}

void TableHeaderView::mouseDown(const Event& event)
{
    auto table = tableView();
    if (!table)
        return;
    auto self = shared_from_this();
    auto point = convertPointFromView(event.locationInWindow(), nullptr);
    if (long column = resizableColumnAtEdge(point); column >= 0) {
        trackResize(column, event);
        return;
    }
    if (long column = columnAtPoint(point); column >= 0)
        trackPress(column, event);
}

void TableHeaderView::trackResize(long column, const Event& event)
{
    auto table = tableView();
    auto tableColumn = table->tableColumns()[static_cast<std::size_t>(column)];
    const double startX = convertPointFromView(event.locationInWindow(), nullptr).x;
    const double startWidth = tableColumn->width();
    m_resizedColumn = column;
    detail::TrackingEvents events(false, 0, 0);
    while (auto next = events.next().event) {
        double x = convertPointFromView(next->locationInWindow(), nullptr).x;
        tableColumn->setWidth(startWidth + x - startX);
        if (next->type() == EventType::LeftMouseUp)
            break;
    }
    m_resizedColumn = -1;
    if (auto w = window())
        w->invalidateCursorRectsForView(*this);
}

void TableHeaderView::trackPress(long column, const Event& event)
{
    auto table = tableView();
    auto tableColumn = table->tableColumns()[static_cast<std::size_t>(column)];
    auto delegate = table->delegate();
    if (delegate)
        delegate->tableViewMouseDownInHeaderOfTableColumn(*table, *tableColumn);
    auto setPressed = [&](long pressed) {
        if (pressed == m_pressedColumn)
            return;
        for (long c : { m_pressedColumn, pressed })
            if (c >= 0 && c < table->numberOfColumns())
                if (auto cell = table->tableColumns()[static_cast<std::size_t>(c)]->headerCell())
                    cell->setHighlighted(c == pressed);
        m_pressedColumn = pressed;
        setNeedsDisplay(true);
    };
    setPressed(column);

    const double startX = convertPointFromView(event.locationInWindow(), nullptr).x;
    // Where the dragged title's left edge started, and the column's place now.
    const double startLeft = headerRectOfColumn(column).minX();
    long current = column;
    bool moving = false;
    bool upInside = false;
    detail::TrackingEvents events(false, 0, 0);
    while (auto next = events.next().event) {
        auto point = convertPointFromView(next->locationInWindow(), nullptr);
        double dx = point.x - startX;
        if (!moving && std::abs(dx) > DragThreshold && table->allowsColumnReordering()) {
            moving = true;
            setPressed(-1);
        }
        if (moving) {
            // The title follows the mouse; it takes a neighbour's place once its middle passes the neighbour's.
            double left = startLeft + dx;
            double width = headerRectOfColumn(current).width();
            for (bool moved = true; moved;) {
                moved = false;
                long neighbour = -1;
                if (dx > 0) {
                    for (long c = current + 1; c < table->numberOfColumns() && neighbour < 0; ++c)
                        if (headerRectOfColumn(c).width() > 0)
                            neighbour = c;
                    if (neighbour >= 0 && left + width / 2 > headerRectOfColumn(neighbour).midX())
                        moved = true;
                } else {
                    for (long c = current - 1; c >= 0 && neighbour < 0; --c)
                        if (headerRectOfColumn(c).width() > 0)
                            neighbour = c;
                    if (neighbour >= 0 && left + width / 2 < headerRectOfColumn(neighbour).midX())
                        moved = true;
                }
                if (moved && (!delegate || delegate->tableViewShouldReorderColumn(*table, current, neighbour))) {
                    table->moveColumn(current, neighbour);
                    current = neighbour;
                } else {
                    moved = false;
                }
            }
            m_draggedColumn = current;
            m_draggedDistance = left - headerRectOfColumn(current).minX();
            setNeedsDisplay(true);
        } else {
            setPressed(gfx::pointInRect(point, headerRectOfColumn(column)) ? column : -1);
        }
        if (next->type() == EventType::LeftMouseUp) {
            upInside = !moving && gfx::pointInRect(point, headerRectOfColumn(column));
            break;
        }
    }
    setPressed(-1);
    m_draggedColumn = -1;
    m_draggedDistance = 0;
    setNeedsDisplay(true);
    if (moving) {
        if (delegate)
            delegate->tableViewDidDragTableColumn(*table, *tableColumn);
    } else if (upInside) {
        table->didClickTableColumn(*tableColumn);
    }
}

fnd::String TableHeaderView::toolTipAtPoint(gfx::Point point, gfx::Rect* rect)
{
    auto table = tableView();
    long column = columnAtPoint(point);
    if (table && column >= 0) {
        const auto& tip = table->tableColumns()[static_cast<std::size_t>(column)]->headerToolTip();
        if (!tip.isEmpty()) {
            if (rect)
                *rect = headerRectOfColumn(column);
            return tip;
        }
    }
    return View::toolTipAtPoint(point, rect);
}

}
