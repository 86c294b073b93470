// Dragging whole columns and rows to reorder them, and drops from elsewhere on a cell.

#include "frameworks/ZORAppKit/table-grid/ZORTableGrid.h"

#include "frameworks/ZORAppKit/table-grid/ZORTableGridContentView.h"

#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Image.h"
#include "platform/ui/dragging/Pasteboard.h"

void ZORTableGrid::registerForDraggedTypes(const std::vector<fnd::String>& types)
{
    auto all = types;
    all.push_back(ZORTableGridColumnDataType);
    all.push_back(ZORTableGridRowDataType);
    ui::registerForDraggedTypes(*this, all);
    ui::registerForDraggedTypes(*m_contentView, all);
}

void ZORTableGrid::_dragColumnsWithEvent(const ui::Event& event)
{
    dragWithEvent(event, true);
}

void ZORTableGrid::_dragRowsWithEvent(const ui::Event& event)
{
    dragWithEvent(event, false);
}

void ZORTableGrid::dragWithEvent(const ui::Event& event, bool columns)
{
    auto self = std::static_pointer_cast<ZORTableGrid>(shared_from_this());
    const auto& selected = columns ? *m_selectedColumnIndexes : *m_selectedRowIndexes;
    if (selected.isEmpty())
        return;
    auto image = columns ? _imageForSelectedColumns() : _imageForSelectedRows();
    const auto first = columns ? rectOfColumn(selected.firstIndex()) : rectOfRow(selected.firstIndex());
    const auto& type = columns ? ZORTableGridColumnDataType : ZORTableGridRowDataType;
    auto pasteboard = ui::Pasteboard::pasteboardWithName(ui::PasteboardName::Drag);
    pasteboard->declareTypes({ type });
    auto ds = dataSource();
    const bool written = ds
        && (columns ? ds->tableGridWriteColumnsWithIndexes(*this, selected, *pasteboard)
                    : ds->tableGridWriteRowsWithIndexes(*this, selected, *pasteboard));
    if (!written)
        return;
    pasteboard->setData(archivedIndexSet(selected), type);
    ui::dragImage(*this, image, { first.minX(), first.minY() + (image ? image->size().height : 0) }, { 0, 0 }, event,
        pasteboard, self, true);
}

namespace {

// The area of the grid captured at 70 % opacity.
std::shared_ptr<gfx::Image> ZORTableGridImageOfArea(ui::View& grid, gfx::Rect area)
{
    if (area.width() <= 0 || area.height() <= 0)
        return gfx::Image::imageWithSize({ 1, 1 });
    auto capture = grid.bitmapImageRepForCachingDisplayInRect(area);
    if (!capture)
        return gfx::Image::imageWithSize(area.size);
    grid.cacheDisplayInRect(area, *capture);
    auto captured = gfx::Image::imageWithRepresentation(capture);
    auto image = gfx::Image::imageWithSize(area.size);
    image->lockFocus();
    captured->drawInRect({ {}, area.size }, { {}, area.size }, gfx::CompositingOperation::Copy, 0.7);
    image->unlockFocus();
    return image;
}

}

std::shared_ptr<gfx::Image> ZORTableGrid::_imageForSelectedColumns()
{
    const auto f = rectOfColumn(m_selectedColumnIndexes->firstIndex());
    const auto l = rectOfColumn(m_selectedColumnIndexes->lastIndex());
    return ZORTableGridImageOfArea(*this, { f.minX() - 1, f.minY(), l.maxX() - f.minX() + 1, f.height() });
}

std::shared_ptr<gfx::Image> ZORTableGrid::_imageForSelectedRows()
{
    const auto f = rectOfRow(m_selectedRowIndexes->firstIndex());
    const auto l = rectOfRow(m_selectedRowIndexes->lastIndex());
    return ZORTableGridImageOfArea(*this, { f.minX(), f.minY() - 1, f.width(), l.maxY() - f.minY() + 1 });
}

fnd::Index ZORTableGrid::_dropColumnForPoint(gfx::Point point) const
{
    const auto column = columnAtPoint(point);
    if (column == fnd::NotFound)
        return fnd::NotFound;
    const auto rect = rectOfColumn(column);
    return point.x < rect.midX() ? column : column + 1;
}

fnd::Index ZORTableGrid::_dropRowForPoint(gfx::Point point) const
{
    const auto row = rowAtPoint(point);
    if (row == fnd::NotFound)
        return fnd::NotFound;
    const auto rect = rectOfRow(row);
    return point.y < rect.midY() ? row : row + 1;
}

ui::DragOperation ZORTableGrid::draggingSourceOperationMaskForLocal(bool isLocal)
{
    return isLocal ? ui::DragOperations::Move : ui::DragOperations::None;
}

gfx::Point ZORTableGrid::dragLocation(ui::DraggingInfo& info) const
{
    return convertPointFromView(info.draggingLocation(), nullptr);
}

std::optional<fnd::IndexSet> ZORTableGrid::draggedSet(ui::DraggingInfo& info, const fnd::String& type) const
{
    auto pasteboard = info.draggingPasteboard();
    if (!pasteboard)
        return std::nullopt;
    auto data = pasteboard->dataForType(type);
    return data ? unarchivedIndexSet(*data) : std::nullopt;
}

namespace {

bool ZORTableGridHolds(ui::DraggingInfo& info, const fnd::String& type)
{
    auto pasteboard = info.draggingPasteboard();
    if (!pasteboard)
        return false;
    const auto types = pasteboard->types();
    return std::find(types.begin(), types.end(), type) != types.end();
}

}

ui::DragOperation ZORTableGrid::draggingEntered(ui::DraggingInfo& info)
{
    if (ZORTableGridHolds(info, ZORTableGridColumnDataType) || ZORTableGridHolds(info, ZORTableGridRowDataType))
        return ui::DragOperations::Move;
    auto ds = dataSource();
    if (!ds)
        return ui::DragOperations::None;
    const auto p = dragLocation(info);
    const auto column = columnAtPoint(p), row = rowAtPoint(p);
    const auto operation = ds->tableGridValidateDrop(*this, info, column, row);
    if (operation == ui::DragOperations::None)
        return ui::DragOperations::None;
    m_contentView->_setDropColumn(column);
    m_contentView->_setDropRow(row);
    return operation;
}

std::optional<ui::DragOperation> ZORTableGrid::draggingUpdated(ui::DraggingInfo& info)
{
    auto ds = dataSource();
    const auto p = dragLocation(info);
    const bool columns = ZORTableGridHolds(info, ZORTableGridColumnDataType);
    if (columns || ZORTableGridHolds(info, ZORTableGridRowDataType)) {
        const auto drop = columns ? _dropColumnForPoint(p) : _dropRowForPoint(p);
        if (drop == fnd::NotFound)
            return ui::DragOperations::None;
        auto set = draggedSet(info, columns ? ZORTableGridColumnDataType : ZORTableGridRowDataType);
        const bool allowed = set && ds
            && (columns ? ds->tableGridCanMoveColumns(*this, *set, drop) : ds->tableGridCanMoveRows(*this, *set, drop));
        m_contentView->_setDraggingColumnOrRow(true);
        if (columns)
            m_contentView->_setDropColumn(allowed ? drop : fnd::NotFound);
        else
            m_contentView->_setDropRow(allowed ? drop : fnd::NotFound);
        return allowed ? ui::DragOperations::Move : ui::DragOperations::None;
    }
    if (!ds)
        return ui::DragOperations::None;
    m_contentView->_setDraggingColumnOrRow(false);
    const auto column = columnAtPoint(p), row = rowAtPoint(p);
    const auto operation = ds->tableGridValidateDrop(*this, info, column, row);
    // A refusal leaves the earlier target shown.
    if (operation == ui::DragOperations::None)
        return ui::DragOperations::None;
    m_contentView->_setDropColumn(column);
    m_contentView->_setDropRow(row);
    return operation;
}

void ZORTableGrid::draggingExited(ui::DraggingInfo&)
{
    m_contentView->_setDropColumn(fnd::NotFound);
    m_contentView->_setDropRow(fnd::NotFound);
}

void ZORTableGrid::draggingEnded(ui::DraggingInfo&)
{
    m_contentView->_setDropColumn(fnd::NotFound);
    m_contentView->_setDropRow(fnd::NotFound);
}

void ZORTableGrid::concludeDragOperation(ui::DraggingInfo&)
{
    m_contentView->_setDropColumn(fnd::NotFound);
    m_contentView->_setDropRow(fnd::NotFound);
}

bool ZORTableGrid::performDragOperation(ui::DraggingInfo& info)
{
    auto self = shared_from_this();
    auto ds = dataSource();
    if (!ds)
        return false;
    const auto p = dragLocation(info);
    const bool columns = ZORTableGridHolds(info, ZORTableGridColumnDataType);
    if (columns || ZORTableGridHolds(info, ZORTableGridRowDataType)) {
        auto set = draggedSet(info, columns ? ZORTableGridColumnDataType : ZORTableGridRowDataType);
        auto drop = columns ? _dropColumnForPoint(p) : _dropRowForPoint(p);
        // Nothing to move, or a place outside every column (row): no drop.
        if (!set || set->isEmpty() || drop == fnd::NotFound)
            return false;
        if (!(columns ? ds->tableGridMoveColumns(*this, *set, drop) : ds->tableGridMoveRows(*this, *set, drop)))
            return false;
        // Only the dragged indexes before the drop shift it: a drop inside the dragged span leaves the later ones
        // in front of it.
        const auto n = set->count();
        fnd::Index before = 0;
        for (const auto& range : set->ranges())
            if (range.location < drop)
                before += std::min(range.length, drop - range.location);
        drop -= before;
        fnd::IndexSet moved(fnd::Range { drop, n });
        fnd::Dictionary userInfo;
        userInfo.set(columns ? "OldColumns" : "OldRows", fnd::Value(std::make_shared<fnd::IndexSet>(*set)));
        userInfo.set(columns ? "NewColumns" : "NewRows", fnd::Value(std::make_shared<fnd::IndexSet>(moved)));
        fnd::NotificationCenter::defaultCenter().postNotificationName(
            columns ? ZORTableGridNotification::DidMoveColumns : ZORTableGridNotification::DidMoveRows, selfValue(),
            userInfo);
        if (columns)
            setSelectedColumnIndexes(moved);
        else
            setSelectedRowIndexes(moved);
        return true;
    }
    const auto column = columnAtPoint(p), row = rowAtPoint(p);
    return ds->tableGridAcceptDrop(*this, info, column, row);
}
