#include "frameworks/ZORAppKit/table-grid/ZORTableGridContentView.h"

#include "frameworks/ZORAppKit/table-grid/ZORTableGrid.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/Shadow.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/text/TextView.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <cmath>
#include <vector>

FND_REGISTER_CLASS(ZORTableGridContentView, ui::View)

ZORTableGridContentView::~ZORTableGridContentView()
{
    if (m_autoscrollTimer)
        m_autoscrollTimer->invalidate();
}

std::shared_ptr<ZORTableGridContentView> ZORTableGridContentView::create(gfx::Rect frame)
{
    return ui::makeView<ZORTableGridContentView>(frame);
}

void ZORTableGridContentView::initWithFrame(gfx::Rect frame)
{
    View::initWithFrame(frame);
    m_cursorImage = makeCursorImage(false);
    m_cursorExtendSelectionImage = makeCursorImage(true);
    m_cell = ZORTableGridCell::create();
}

std::shared_ptr<ZORTableGrid> ZORTableGridContentView::tableGrid() const
{
    auto scrollView = enclosingScrollView();
    return scrollView ? std::dynamic_pointer_cast<ZORTableGrid>(scrollView->superview()) : nullptr;
}

// Geometry.

gfx::Rect ZORTableGridContentView::rectOfColumn(fnd::Index column) const
{
    auto grid = tableGrid();
    if (!grid)
        return {};
    return { grid->_offsetOfColumn(column), 0, double(grid->_widthForColumn(column)), frame().height() };
}

gfx::Rect ZORTableGridContentView::rectOfRow(fnd::Index row) const
{
    return { 0, double(row) * ZORTableGrid::RowHeight, frame().width(), ZORTableGrid::RowHeight };
}

gfx::Rect ZORTableGridContentView::frameOfCellAtColumn(fnd::Index column, fnd::Index row) const
{
    const auto c = rectOfColumn(column);
    const auto r = rectOfRow(row);
    return { c.minX(), r.minY(), c.width(), r.height() };
}

namespace {

bool ZORTableGridContentContains(gfx::Rect rect, gfx::Point point)
{
    return point.x >= rect.minX() && point.x < rect.maxX() && point.y >= rect.minY() && point.y < rect.maxY();
}

}

fnd::Index ZORTableGridContentView::columnAtPoint(gfx::Point point) const
{
    auto grid = tableGrid();
    if (!grid || grid->numberOfColumns() <= 0 || point.x < 0)
        return fnd::NotFound;
    // Columns lie side by side: the last one starting at or before x is the only candidate.
    fnd::Index low = 0, high = grid->numberOfColumns() - 1;
    while (low < high) {
        const auto mid = low + (high - low + 1) / 2;
        if (grid->_offsetOfColumn(mid) <= point.x)
            low = mid;
        else
            high = mid - 1;
    }
    return ZORTableGridContentContains(rectOfColumn(low), point) ? low : fnd::NotFound;
}

fnd::Index ZORTableGridContentView::rowAtPoint(gfx::Point point) const
{
    auto grid = tableGrid();
    if (!grid || grid->numberOfRows() <= 0 || point.y < 0)
        return fnd::NotFound;
    const auto row
        = std::min<fnd::Index>(fnd::Index(std::floor(point.y / ZORTableGrid::RowHeight)), grid->numberOfRows() - 1);
    return ZORTableGridContentContains(rectOfRow(row), point) ? row : fnd::NotFound;
}

fnd::Range ZORTableGridContentView::visibleColumnsInRect(gfx::Rect rect) const
{
    auto grid = tableGrid();
    const auto count = grid ? grid->numberOfColumns() : 0;
    if (count <= 0)
        return { 0, 0 };
    // The first column whose span [x, x + width] holds the leading edge, then the first later one holding the
    // trailing edge (else the last column).
    auto holds = [&](fnd::Index c, double x) {
        const double left = grid->_offsetOfColumn(c);
        return x >= left && x <= left + grid->_widthForColumn(c);
    };
    fnd::Index low = 0, high = count - 1;
    while (low < high) {
        const auto mid = low + (high - low + 1) / 2;
        if (grid->_offsetOfColumn(mid) <= rect.minX())
            low = mid;
        else
            high = mid - 1;
    }
    fnd::Index first = low;
    // A shared edge belongs to the column on its left, as a scan from 0 finds it.
    while (first > 0 && holds(first - 1, rect.minX()))
        --first;
    if (!holds(first, rect.minX()))
        return { 0, 0 };
    fnd::Index last = first;
    while (last < count - 1 && !holds(last, rect.maxX()))
        ++last;
    return { first, last - first + 1 };
}

fnd::Range ZORTableGridContentView::visibleRowsInRect(gfx::Rect rect) const
{
    auto grid = tableGrid();
    const auto count = grid ? grid->numberOfRows() : 0;
    const double h = ZORTableGrid::RowHeight;
    if (count <= 0 || rect.minY() < 0 || rect.minY() > double(count) * h)
        return { 0, 0 };
    // A row holds y when row·h ≤ y ≤ (row + 1)·h; the lower index wins on a shared edge.
    auto rowHolding = [&](double y) {
        auto row = fnd::Index(std::ceil(y / h)) - 1;
        return std::clamp<fnd::Index>(row, 0, count - 1);
    };
    const auto first = rowHolding(rect.minY());
    const auto last = rect.maxY() > double(count) * h ? count - 1 : std::max(first, rowHolding(rect.maxY()));
    return { first, last - first + 1 };
}

// Drawing.

void ZORTableGridContentView::drawRect(gfx::Rect)
{
    auto grid = tableGrid();
    m_cellsDrawn = 0;
    if (!grid || grid->numberOfColumns() <= 0)
        return;
    if (grid->numberOfRows() > 0) {
        const auto visible = visibleRect();
        const auto columns = visibleColumnsInRect(visible);
        const auto rows = visibleRowsInRect(visible);
        const auto white = gfx::Color::whiteColor();
        std::vector<gfx::Rect> columnRects;
        columnRects.reserve(static_cast<std::size_t>(columns.length));
        for (auto c = columns.location; c < columns.max(); ++c)
            columnRects.push_back(rectOfColumn(c));
        std::vector<fnd::Index> drawn;
        std::vector<gfx::Rect> frames;
        std::vector<gfx::ColorPtr> backgrounds;
        // Row by row: the cells of a row share the same lines of pixels, which stay at hand from one cell to the next.
        // A row's backgrounds and lines go first, then its texts, each clipped inside its own cell.
        for (auto r = rows.location; r < rows.max(); ++r) {
            const auto row = rectOfRow(r);
            drawn.clear();
            frames.clear();
            backgrounds.clear();
            for (auto c = columns.location; c < columns.max(); ++c) {
                const auto& column = columnRects[static_cast<std::size_t>(c - columns.location)];
                const gfx::Rect cellFrame { column.minX(), row.minY(), column.width(), row.height() };
                if (!needsToDrawRect(cellFrame) || (c == m_editedColumn && r == m_editedRow))
                    continue;
                auto background = grid->_backgroundColorForColumn(c, r);
                drawn.push_back(c);
                frames.push_back(cellFrame);
                backgrounds.push_back(background ? std::move(background) : white);
            }
            ZORTableGridCell::drawBackgroundsAndGridLines(frames, backgrounds);
            for (std::size_t k = 0; k < drawn.size(); ++k) {
                m_cell->setObjectValue(grid->_objectValueForColumn(drawn[k], r));
                ++m_cellsDrawn;
                m_cell->drawInteriorWithFrame(frames[k], *this);
            }
        }
    }
    drawSelection(*grid);
    drawDropFeedback(*grid);
}

void ZORTableGridContentView::drawSelection(ZORTableGrid& grid)
{
    const auto& columns = *grid.selectedColumnIndexes();
    const auto& rows = *grid.selectedRowIndexes();
    if (columns.isEmpty() || rows.isEmpty() || columns.firstIndex() >= grid.numberOfColumns()
        || rows.firstIndex() >= grid.numberOfRows())
        return;
    // The outline ends at the last cell there is: a selection set by a program or the delegate may reach past it.
    const auto topLeft = frameOfCellAtColumn(columns.firstIndex(), rows.firstIndex());
    const auto bottomRight = frameOfCellAtColumn(
        std::min(columns.lastIndex(), grid.numberOfColumns() - 1), std::min(rows.lastIndex(), grid.numberOfRows() - 1));
    gfx::Rect outline { topLeft.minX(), topLeft.minY(), bottomRight.maxX() - topLeft.minX(),
        bottomRight.maxY() - topLeft.minY() };
    outline = gfx::insetRect(outline, 1, 1);
    auto path = gfx::BezierPath::bezierPathWithRect(gfx::offsetRect(outline, -0.5, -0.5));
    auto color = gfx::Color::alternateSelectedControlColor();
    const bool focused = grid._isFocused();
    if (focused) {
        color->setFill();
        m_grabHandleRect = { outline.maxX() - 2, outline.maxY() - 2, 4, 4 };
        gfx::BezierPath::fillRect(m_grabHandleRect);
    } else {
        // Grey in a window that is not key; without a handle there is no handle cursor either.
        color = color->colorUsingColorSpaceName(gfx::ColorSpaceName::DeviceWhite)
                    ->colorUsingColorSpaceName(gfx::ColorSpaceName::DeviceRGB);
        m_grabHandleRect = {};
    }
    path->setLineWidth(1);
    color->setStroke();
    path->stroke();
    color->colorWithAlphaComponent(0.2)->setFill();
    path->fill();
    if (auto w = window())
        w->invalidateCursorRectsForView(*this);
}

void ZORTableGridContentView::drawDropFeedback(ZORTableGrid& grid)
{
    const auto columns = grid.numberOfColumns(), rows = grid.numberOfRows();
    auto color = gfx::Color::alternateSelectedControlColor();
    auto strokeRect = [&](gfx::Rect rect) {
        auto path = gfx::BezierPath::bezierPathWithRect(rect);
        path->setLineWidth(2);
        color->setStroke();
        path->stroke();
    };
    if (m_isDraggingColumnOrRow) {
        if (m_dropColumn != fnd::NotFound && m_dropColumn <= columns && m_dropRow == fnd::NotFound && columns > 0) {
            const auto rect = rectOfColumn(std::min(m_dropColumn, columns - 1));
            const double x = m_dropColumn == columns ? rect.maxX() : rect.minX();
            strokeRect({ x - 2, rect.minY(), 4, rect.height() });
        } else if (m_dropRow != fnd::NotFound && m_dropRow <= rows && m_dropColumn == fnd::NotFound && rows > 0) {
            const auto rect = rectOfRow(std::min(m_dropRow, rows - 1));
            const double y = m_dropRow == rows ? rect.maxY() : rect.minY();
            strokeRect({ rect.minX(), y - 2, rect.width(), 4 });
        }
    } else if (m_dropRow != fnd::NotFound && m_dropColumn != fnd::NotFound && m_dropColumn < columns
        && m_dropRow < rows) {
        const auto cell = frameOfCellAtColumn(m_dropColumn, m_dropRow);
        strokeRect(gfx::insetRect({ cell.minX() - 2, cell.minY() - 2, cell.width() + 3, cell.height() + 3 }, 2, 2));
    }
}

std::shared_ptr<gfx::Image> ZORTableGridContentView::makeCursorImage(bool extend)
{
    auto image = gfx::Image::imageWithSize({ CursorSize, CursorSize });
    image->lockFocusFlipped(true);
    const gfx::Rect vertical { 7, 2, 2, 12 }, horizontal { 2, 7, 12, 2 };
    auto* context = gfx::GraphicsContext::current();
    if (context) {
        context->saveGraphicsState();
        gfx::Shadow shadow;
        shadow.setShadowColor(gfx::Color::colorWithDeviceWhite(0.0, 0.8));
        shadow.setShadowBlurRadius(2);
        shadow.setShadowOffset({ 0, -1 });
        shadow.set();
        gfx::Color::blackColor()->setFill();
        gfx::BezierPath::fillRect(gfx::insetRect(vertical, -1, -1));
        gfx::BezierPath::fillRect(gfx::insetRect(horizontal, -1, -1));
        context->restoreGraphicsState();
        gfx::Color::blackColor()->setFill();
        gfx::BezierPath::fillRect(gfx::insetRect(vertical, -1, -1));
        gfx::BezierPath::fillRect(gfx::insetRect(horizontal, -1, -1));
        (extend ? gfx::Color::blackColor() : gfx::Color::whiteColor())->setFill();
        gfx::BezierPath::fillRect(vertical);
        gfx::BezierPath::fillRect(horizontal);
    }
    image->unlockFocus();
    return image;
}

std::shared_ptr<ui::Cursor> ZORTableGridContentView::_cellSelectionCursor() const
{
    return ui::Cursor::create(m_cursorImage, { 8, 8 });
}

std::shared_ptr<ui::Cursor> ZORTableGridContentView::_cellExtendSelectionCursor() const
{
    return ui::Cursor::create(m_cursorExtendSelectionImage, { 8, 8 });
}

void ZORTableGridContentView::resetCursorRects()
{
    addCursorRect(visibleRect(), _cellSelectionCursor());
    if (!m_grabHandleRect.isEmpty())
        addCursorRect(m_grabHandleRect, _cellExtendSelectionCursor());
}

// The mouse.

void ZORTableGridContentView::startAutoscrollTimer()
{
    stopAutoscrollTimer();
    std::weak_ptr<ZORTableGridContentView> weak = std::static_pointer_cast<ZORTableGridContentView>(shared_from_this());
    m_autoscrollTimer = fnd::Timer::scheduled(AutoscrollInterval, true, [weak](fnd::Timer&) {
        if (auto self = weak.lock())
            self->_timerAutoscrollCallback();
    });
}

void ZORTableGridContentView::stopAutoscrollTimer()
{
    if (m_autoscrollTimer)
        m_autoscrollTimer->invalidate();
    m_autoscrollTimer.reset();
}

void ZORTableGridContentView::_timerAutoscrollCallback()
{
    auto event = ui::Application::shared().currentEvent();
    if (event && event->type() == ui::EventType::LeftMouseDragged)
        autoscroll(*event);
}

void ZORTableGridContentView::mouseDown(const ui::Event& event)
{
    auto self = shared_from_this();
    auto grid = tableGrid();
    if (!grid)
        return;
    startAutoscrollTimer();
    const auto p = convertPointFromView(event.locationInWindow(), nullptr);
    m_mouseDownColumn = columnAtPoint(p);
    m_mouseDownRow = rowAtPoint(p);
    if (event.clickCount() != 1) {
        if (event.clickCount() == 2 && grid->allowsEditing()) {
            editSelectedCell(grid->selfValue());
            setNeedsDisplay(true);
        }
        return;
    }
    grid->mouseDown(event);
    // A press that meets no cell leaves the selection alone.
    if (m_mouseDownColumn == fnd::NotFound || m_mouseDownRow == fnd::NotFound)
        return;
    const bool shift = (event.modifierFlags() & ui::ModifierFlags::Shift) != 0;
    const auto& columns = *grid->selectedColumnIndexes();
    const auto& rows = *grid->selectedRowIndexes();
    if (shift && grid->allowsMultipleSelection() && !columns.isEmpty() && !rows.isEmpty()) {
        const auto c0
            = grid->_stickyColumn() == ZORTableGrid::StickyRightEdge ? columns.lastIndex() : columns.firstIndex();
        const auto r0 = grid->_stickyRow() == ZORTableGrid::StickyBottomEdge ? rows.lastIndex() : rows.firstIndex();
        const auto c1 = std::min(c0, m_mouseDownColumn), c2 = std::max(c0, m_mouseDownColumn);
        const auto r1 = std::min(r0, m_mouseDownRow), r2 = std::max(r0, m_mouseDownRow);
        grid->setSelectedColumnIndexes(fnd::IndexSet(fnd::Range { c1, c2 - c1 + 1 }));
        grid->setSelectedRowIndexes(fnd::IndexSet(fnd::Range { r1, r2 - r1 + 1 }));
        grid->_setStickyColumn(m_mouseDownColumn < c0 ? ZORTableGrid::StickyRightEdge : ZORTableGrid::StickyLeftEdge,
            m_mouseDownRow < r0 ? ZORTableGrid::StickyBottomEdge : ZORTableGrid::StickyTopEdge);
    } else {
        grid->setSelectedColumnIndexes(fnd::IndexSet { m_mouseDownColumn });
        grid->setSelectedRowIndexes(fnd::IndexSet { m_mouseDownRow });
        grid->_setStickyColumn(ZORTableGrid::StickyLeftEdge, ZORTableGrid::StickyTopEdge);
    }
    setNeedsDisplay(true);
}

void ZORTableGridContentView::mouseDragged(const ui::Event& event)
{
    auto self = shared_from_this();
    auto grid = tableGrid();
    if (!grid || m_mouseDownColumn == fnd::NotFound || m_mouseDownRow == fnd::NotFound
        || !grid->allowsMultipleSelection())
        return;
    const auto p = convertPointFromView(event.locationInWindow(), nullptr);
    const auto c = columnAtPoint(p), r = rowAtPoint(p);
    int columnEdge = ZORTableGrid::StickyLeftEdge, rowEdge = ZORTableGrid::StickyTopEdge;
    if (c != fnd::NotFound) {
        const auto low = std::min(c, m_mouseDownColumn), high = std::max(c, m_mouseDownColumn);
        grid->setSelectedColumnIndexes(fnd::IndexSet(fnd::Range { low, high - low + 1 }));
        columnEdge = c < m_mouseDownColumn ? ZORTableGrid::StickyRightEdge : ZORTableGrid::StickyLeftEdge;
    }
    if (r != fnd::NotFound) {
        const auto low = std::min(r, m_mouseDownRow), high = std::max(r, m_mouseDownRow);
        grid->setSelectedRowIndexes(fnd::IndexSet(fnd::Range { low, high - low + 1 }));
        rowEdge = r < m_mouseDownRow ? ZORTableGrid::StickyBottomEdge : ZORTableGrid::StickyTopEdge;
    }
    grid->_setStickyColumn(columnEdge, rowEdge);
    setNeedsDisplay(true);
}

void ZORTableGridContentView::mouseUp(const ui::Event&)
{
    stopAutoscrollTimer();
    m_mouseDownColumn = fnd::NotFound;
    m_mouseDownRow = fnd::NotFound;
}

// Editing.

void ZORTableGridContentView::editSelectedCell(const fnd::Value&)
{
    auto self = std::static_pointer_cast<ZORTableGridContentView>(shared_from_this());
    auto grid = tableGrid();
    auto w = window();
    if (!grid || !w)
        return;
    // An edit under way ends first and keeps what was typed in its own cell: the field editor is about to show
    // another cell's value, or (for a read-only cell) to take text that is stored nowhere.
    if (isEditing())
        w->endEditingFor(this);
    const auto& columns = *grid->selectedColumnIndexes();
    const auto& rows = *grid->selectedRowIndexes();
    if (columns.isEmpty() || rows.isEmpty())
        return;
    m_editedColumn = columns.firstIndex();
    m_editedRow = rows.firstIndex();
    // A selection may reach past the data (set by a program or the delegate); there is no such cell to edit.
    if (m_editedColumn >= grid->numberOfColumns() || m_editedRow >= grid->numberOfRows()
        || !grid->_canEditCellAtColumn(m_editedColumn, m_editedRow)) {
        m_editedColumn = m_editedRow = fnd::NotFound;
        return;
    }
    if (columns.count() > 1)
        grid->setSelectedColumnIndexes(fnd::IndexSet { m_editedColumn });
    if (rows.count() > 1)
        grid->setSelectedRowIndexes(fnd::IndexSet { m_editedRow });
    auto cell = grid->cell();
    cell->setEditable(true);
    cell->setSelectable(true);
    cell->setObjectValue(grid->_objectValueForColumn(m_editedColumn, m_editedRow));
    m_editedText = cell->stringValue();
    // The caret goes after the value, ready to add to it.
    const auto length = m_editedText.length();
    cell->selectWithFrame(
        frameOfCellAtColumn(m_editedColumn, m_editedRow), *this, w->fieldEditor(true, this), self, length, 0);
    if (!cell->currentFieldEditor())
        m_editedColumn = m_editedRow = fnd::NotFound;
    setNeedsDisplay(true);
}

void ZORTableGridContentView::textDidEndEditing(const fnd::Notification& notification)
{
    auto self = shared_from_this();
    auto grid = tableGrid();
    if (!grid || m_editedColumn == fnd::NotFound)
        return;
    const auto column = m_editedColumn, row = m_editedRow;
    m_editedColumn = m_editedRow = fnd::NotFound;
    auto w = window();
    if (w)
        w->makeFirstResponder(grid);
    auto editor = notification.object().objectAs<ui::TextView>();
    // The edited text is stored as a string of its own; a cell left as it showed its value was visited, not edited
    // (stored, a number or nil would become text).
    const fnd::String text = editor ? editor->string() : fnd::String {};
    if (text != m_editedText)
        grid->_setObjectValue(fnd::Value(text), column, row);
    if (auto cell = grid->cell(); cell && editor)
        cell->endEditing(editor);
    setNeedsDisplay(true);
}

void ZORTableGridContentView::endEditingOfCellOutsideCounts()
{
    auto self = shared_from_this();
    auto grid = tableGrid();
    if (!grid || m_editedColumn == fnd::NotFound
        || (m_editedColumn < grid->numberOfColumns() && m_editedRow < grid->numberOfRows()))
        return;
    // Forgotten first, so the end of the field editor's editing stores nothing.
    m_editedColumn = m_editedRow = fnd::NotFound;
    auto w = window();
    const auto editor = grid->currentEditor();
    const bool editorHadKeyboard = w && editor && w->firstResponder() == editor;
    grid->abortEditing();
    if (editorHadKeyboard)
        w->makeFirstResponder(grid);
    setNeedsDisplay(true);
}

// Drags over the cells.

ui::DragOperation ZORTableGridContentView::draggingEntered(ui::DraggingInfo& info)
{
    startAutoscrollTimer();
    auto grid = tableGrid();
    return grid ? grid->draggingEntered(info) : ui::DragOperations::None;
}

std::optional<ui::DragOperation> ZORTableGridContentView::draggingUpdated(ui::DraggingInfo& info)
{
    auto grid = tableGrid();
    return grid ? grid->draggingUpdated(info) : std::nullopt;
}

void ZORTableGridContentView::draggingExited(ui::DraggingInfo& info)
{
    stopAutoscrollTimer();
    if (auto grid = tableGrid())
        grid->draggingExited(info);
}

void ZORTableGridContentView::draggingEnded(ui::DraggingInfo& info)
{
    stopAutoscrollTimer();
    if (auto grid = tableGrid())
        grid->draggingEnded(info);
}

bool ZORTableGridContentView::prepareForDragOperation(ui::DraggingInfo& info)
{
    auto grid = tableGrid();
    return grid && grid->prepareForDragOperation(info);
}

bool ZORTableGridContentView::performDragOperation(ui::DraggingInfo& info)
{
    auto grid = tableGrid();
    return grid && grid->performDragOperation(info);
}

void ZORTableGridContentView::concludeDragOperation(ui::DraggingInfo& info)
{
    if (auto grid = tableGrid())
        grid->concludeDragOperation(info);
}

void ZORTableGridContentView::_setDropColumn(fnd::Index column)
{
    m_dropColumn = column;
    setNeedsDisplay(true);
}

void ZORTableGridContentView::_setDropRow(fnd::Index row)
{
    m_dropRow = row;
    setNeedsDisplay(true);
}
