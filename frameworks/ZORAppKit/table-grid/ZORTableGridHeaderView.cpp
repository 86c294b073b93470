#include "frameworks/ZORAppKit/table-grid/ZORTableGridHeaderView.h"

#include "frameworks/ZORAppKit/table-grid/ZORTableGrid.h"
#include "frameworks/ZORAppKit/table-grid/ZORTableGridContentView.h"

#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/views/Cursor.h"
#include "platform/ui/views/Event.h"

#include <cmath>

FND_REGISTER_CLASS(ZORTableGridHeaderView, ui::View)

std::shared_ptr<ZORTableGridHeaderView> ZORTableGridHeaderView::create(gfx::Rect frame, int orientation)
{
    auto view = ui::makeView<ZORTableGridHeaderView>(frame);
    view->setOrientation(orientation);
    return view;
}

void ZORTableGridHeaderView::initWithFrame(gfx::Rect frame)
{
    View::initWithFrame(frame);
    m_headerCell = ZORTableGridHeaderCell::create();
}

std::shared_ptr<ZORTableGrid> ZORTableGridHeaderView::tableGrid() const
{
    auto scrollView = enclosingScrollView();
    return scrollView ? std::dynamic_pointer_cast<ZORTableGrid>(scrollView->superview()) : nullptr;
}

gfx::Rect ZORTableGridHeaderView::headerRectOfColumn(fnd::Index column) const
{
    auto grid = tableGrid();
    if (!grid)
        return {};
    return gfx::withLengthAcross(
        grid->contentView()->rectOfColumn(column), gfx::Axis::X, ZORTableGrid::ColumnHeaderHeight);
}

gfx::Rect ZORTableGridHeaderView::headerRectOfRow(fnd::Index row) const
{
    auto grid = tableGrid();
    if (!grid)
        return {};
    return gfx::withLengthAcross(grid->contentView()->rectOfRow(row), gfx::Axis::Y, ZORTableGrid::RowHeaderWidth);
}

gfx::Rect ZORTableGridHeaderView::headerRectOfItem(fnd::Index item) const
{
    return isColumnHeader() ? headerRectOfColumn(item) : headerRectOfRow(item);
}

fnd::Index ZORTableGridHeaderView::itemAtPoint(ZORTableGrid& grid, gfx::Point inGrid) const
{
    return isColumnHeader() ? grid.columnAtPoint(inGrid) : grid.rowAtPoint(inGrid);
}

std::shared_ptr<const fnd::IndexSet> ZORTableGridHeaderView::selectedItems(ZORTableGrid& grid) const
{
    return isColumnHeader() ? grid.selectedColumnIndexes() : grid.selectedRowIndexes();
}

void ZORTableGridHeaderView::selectWholeItem(ZORTableGrid& grid, fnd::Index item)
{
    if (isColumnHeader()) {
        grid.setSelectedColumnIndexes(fnd::IndexSet { item });
        grid.setSelectedRowIndexes(fnd::IndexSet(fnd::Range { 0, grid.numberOfRows() }));
    } else {
        grid.setSelectedRowIndexes(fnd::IndexSet { item });
        grid.setSelectedColumnIndexes(fnd::IndexSet(fnd::Range { 0, grid.numberOfColumns() }));
    }
}

void ZORTableGridHeaderView::_setNeedsDisplayForItemsChanging(const fnd::IndexSet& before, const fnd::IndexSet& after)
{
    if (before == after)
        return;
    auto changed = before;
    changed.remove(after);
    auto added = after;
    added.remove(before);
    changed.add(added);
    // A run of items at a time: a whole column selected marks its thousands of rows' headers as one rect.
    for (const auto& range : changed.ranges())
        setNeedsDisplayInRect(gfx::unionRect(headerRectOfItem(range.location), headerRectOfItem(range.max() - 1)));
}

void ZORTableGridHeaderView::drawRect(gfx::Rect)
{
    auto grid = tableGrid();
    if (!grid)
        return;
    m_headerCell->setOrientation(m_orientation);
    // The items in sight: those the visible stretch along the header's axis meets.
    const auto visible = visibleRect();
    const auto strip = gfx::rectOnAxis(axis(), gfx::minAlong(visible, axis()), 0, gfx::lengthAlong(visible, axis()), 1);
    auto content = grid->contentView();
    const auto items = isColumnHeader() ? content->visibleColumnsInRect(strip) : content->visibleRowsInRect(strip);
    const auto selected = selectedItems(*grid);
    for (auto item = items.location; item < items.max(); ++item) {
        const auto rect = headerRectOfItem(item);
        if (!needsToDrawRect(rect))
            continue;
        m_headerCell->setState(selected->contains(item) ? ui::ControlStateValue::On : ui::ControlStateValue::Off);
        m_headerCell->setStringValue(
            isColumnHeader() ? grid->_headerStringForColumn(item) : grid->_headerStringForRow(item));
        m_headerCell->drawWithFrame(rect, *this);
    }
}

void ZORTableGridHeaderView::layout()
{
    ui::View::layout();
    rebuildResizeAreas();
}

void ZORTableGridHeaderView::updateTrackingAreas()
{
    View::updateTrackingAreas();
    if (m_orientation == ZORTableGridHeaderCell::ColumnOrientation)
        rebuildResizeAreas();
}

void ZORTableGridHeaderView::rebuildResizeAreas()
{
    for (const auto& area : m_resizeAreas)
        removeTrackingArea(area);
    m_resizeAreas.clear();
    auto grid = tableGrid();
    if (!grid || m_orientation != ZORTableGridHeaderCell::ColumnOrientation)
        return;
    const auto visible = visibleRect();
    if (visible.isEmpty())
        return;
    const auto columns = grid->contentView()->visibleColumnsInRect({ visible.minX(), 0, visible.width(), 1 });
    auto self = std::static_pointer_cast<ui::Responder>(shared_from_this());
    for (auto c = columns.location; c < columns.max(); ++c) {
        const auto r = headerRectOfColumn(c);
        auto area = ui::TrackingArea::create({ r.maxX() - ResizeAreaLeft, r.minY(), ResizeAreaWidth, r.height() },
            ui::TrackingOptions::MouseEnteredAndExited | ui::TrackingOptions::ActiveAlways, self);
        addTrackingArea(area);
        m_resizeAreas.push_back(area);
    }
}

void ZORTableGridHeaderView::mouseEntered(const ui::Event&)
{
    ui::Cursor::resizeLeftRightCursor()->set();
    m_canResize = true;
}

void ZORTableGridHeaderView::mouseExited(const ui::Event&)
{
    if (m_isResizing)
        return;
    ui::Cursor::arrowCursor()->set();
    m_canResize = false;
}

void ZORTableGridHeaderView::mouseDown(const ui::Event& event)
{
    auto self = shared_from_this();
    auto grid = tableGrid();
    if (!grid)
        return;
    const auto p = convertPointFromView(event.locationInWindow(), nullptr);
    m_mouseDownLocation = p;
    const auto inGrid = grid->convertPointFromView(p, this);
    const auto column = grid->columnAtPoint(inGrid), row = grid->rowAtPoint(inGrid);
    if (m_canResize) {
        // The column left of the edge being dragged.
        m_draggingColumnIndex = grid->columnAtPoint(grid->convertPointFromView({ p.x - 3, p.y }, this));
        m_lastMouseDraggingLocation = p;
        m_isResizing = true;
        return;
    }
    const bool extending = (event.modifierFlags() & ui::ModifierFlags::Shift) && grid->allowsMultipleSelection();
    if (event.clickCount() == 1 && !extending) {
        const auto item = isColumnHeader() ? column : row;
        // A press on a header already wholly selected may start a drag of the selection.
        const auto whole = isColumnHeader() ? grid->selectedRowIndexes()->count() == grid->numberOfRows()
                                            : grid->selectedColumnIndexes()->count() == grid->numberOfColumns();
        m_mouseDownItem = item == fnd::NotFound ? -1 : item;
        if (item != fnd::NotFound && selectedItems(*grid)->contains(item) && whole)
            m_shouldDragItems = true;
        else if (item != fnd::NotFound)
            selectWholeItem(*grid, item);
    }
    grid->mouseDown(event);
}

void ZORTableGridHeaderView::mouseDragged(const ui::Event& event)
{
    auto self = shared_from_this();
    auto grid = tableGrid();
    if (!grid)
        return;
    const auto p = convertPointFromView(event.locationInWindow(), nullptr);
    const double dx = std::trunc(std::fabs(p.x - m_mouseDownLocation.x));
    const double dy = std::trunc(std::fabs(p.y - m_mouseDownLocation.y));
    if (m_canResize) {
        const double distance = p.x - m_lastMouseDraggingLocation.x;
        m_lastMouseDraggingLocation = p;
        if (m_draggingColumnIndex != fnd::NotFound)
            grid->resizeColumnWithIndex(m_draggingColumnIndex, float(distance));
        return;
    }
    if (m_mouseDownItem == -1)
        return;
    if (m_shouldDragItems && (dx >= DragThreshold || dy >= DragThreshold)) {
        m_shouldDragItems = false;
        m_isInDrag = true;
        if (m_orientation == ZORTableGridHeaderCell::ColumnOrientation)
            grid->_dragColumnsWithEvent(event);
        else
            grid->_dragRowsWithEvent(event);
        // The drag ran to the release and took it: the press ends here, so the next one starts afresh.
        resetPress();
        return;
    }
    if (m_isInDrag || m_shouldDragItems)
        return;
    const auto item = itemAtPoint(*grid, grid->convertPointFromView(p, this));
    if (item == fnd::NotFound)
        return;
    selectSpan(std::min(item, m_mouseDownItem), std::max(item, m_mouseDownItem));
}

void ZORTableGridHeaderView::selectSpan(fnd::Index from, fnd::Index to)
{
    auto grid = tableGrid();
    fnd::IndexSet span(fnd::Range { from, to - from + 1 });
    if (m_orientation == ZORTableGridHeaderCell::ColumnOrientation)
        grid->setSelectedColumnIndexes(span);
    else
        grid->setSelectedRowIndexes(span);
}

void ZORTableGridHeaderView::mouseUp(const ui::Event&)
{
    auto self = shared_from_this();
    if (m_canResize) {
        m_isResizing = false;
        return;
    }
    auto grid = tableGrid();
    if (grid && m_shouldDragItems && !m_isInDrag && m_mouseDownItem != -1) {
        // A press on a wholly selected header, released without a drag, selects that header alone.
        selectWholeItem(*grid, m_mouseDownItem);
    }
    resetPress();
}

void ZORTableGridHeaderView::resetPress()
{
    m_mouseDownItem = -1;
    m_shouldDragItems = false;
    m_isInDrag = false;
    m_mouseDownLocation = {};
}
