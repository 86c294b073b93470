// Drawing a table: background, selection, grid, then each row's cells, and the drop target.

#include "platform/ui/tables/TableView.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Gradient.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/look/ControlLook.h"
#include "platform/ui/text/TextFieldCell.h"
#include "platform/ui/views/Window.h"

#include <cmath>

namespace ui {

namespace {

gfx::ColorPtr sourceListBackground()
{
    return gfx::Color::colorWithCalibratedRed(0.925, 0.937, 0.953);
}

gfx::ColorPtr alternateRowColor()
{
    return gfx::Color::colorWithCalibratedRed(0.957, 0.965, 0.976);
}

// Whether the selection shows in the accent: the table has the keyboard (itself or its field editor) in the key
// window.
bool isEmphasized(const TableView& table)
{
    auto w = table.window();
    if (!w || !w->isKeyWindow())
        return false;
    auto first = w->firstResponder();
    if (first.get() == &table)
        return true;
    auto view = std::dynamic_pointer_cast<View>(first);
    return view && view->isDescendantOf(table);
}

}

gfx::ColorPtr TableView::backgroundColor() const
{
    if (m_backgroundColor)
        return m_backgroundColor;
    return m_highlightStyle == TableViewSelectionHighlightStyle::SourceList ? sourceListBackground()
                                                                            : ControlLook::fieldBackgroundColor();
}

void TableView::setBackgroundColor(gfx::ColorPtr color)
{
    m_backgroundColor = std::move(color);
    setNeedsDisplay(true);
}

bool TableView::isOpaque() const
{
    return backgroundColor()->alphaComponent() >= 1;
}

void TableView::setUsesAlternatingRowBackgroundColors(bool flag)
{
    if (flag == m_usesAlternatingRowBackgroundColors)
        return;
    m_usesAlternatingRowBackgroundColors = flag;
    setNeedsDisplay(true);
}

void TableView::setGridStyleMask(unsigned mask)
{
    if (mask == m_gridStyleMask)
        return;
    m_gridStyleMask = mask;
    setNeedsDisplay(true);
}

gfx::ColorPtr TableView::gridColor() const
{
    return m_gridColor ? m_gridColor : gfx::Color::colorWithCalibratedWhite(0.85);
}

void TableView::setGridColor(gfx::ColorPtr color)
{
    m_gridColor = std::move(color);
    setNeedsDisplay(true);
}

void TableView::setSelectionHighlightStyle(TableViewSelectionHighlightStyle style)
{
    if (style == m_highlightStyle)
        return;
    m_highlightStyle = style;
    setNeedsDisplay(true);
}

void TableView::drawRect(gfx::Rect dirtyRect)
{
    if (m_dragImageRows) {
        // A drag picture: the dragged rows' cells alone.
        auto rows = rowsInRect(dirtyRect);
        for (auto row = static_cast<long>(rows.location); row < static_cast<long>(rows.max()); ++row)
            if (m_dragImageRows->contains(row))
                drawRow(row, dirtyRect);
        return;
    }
    drawBackgroundInClipRect(dirtyRect);
    highlightSelectionInClipRect(dirtyRect);
    drawGridInClipRect(dirtyRect);
    auto rows = rowsInRect(dirtyRect);
    for (auto row = static_cast<long>(rows.location); row < static_cast<long>(rows.max()); ++row)
        drawRow(row, dirtyRect);
    if (m_dropHighlightShown)
        drawDropHighlight();
}

void TableView::drawBackgroundInClipRect(gfx::Rect clipRect)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    context->setFillColor(*backgroundColor());
    context->fillRect(clipRect);
    if (!m_usesAlternatingRowBackgroundColors)
        return;
    // Every other row is tinted, on past the last row in rows of the standard height.
    context->setFillColor(*alternateRowColor());
    auto rows = rowsInRect(clipRect);
    for (auto row = static_cast<long>(rows.location); row < static_cast<long>(rows.max()); ++row)
        if (row % 2 == 1)
            context->fillRect(gfx::intersectionRect(rectOfRow(row), clipRect));
    const double pitch = m_rowHeight + m_intercellSpacing.height;
    const long count = numberOfRows();
    double y = totalRowsHeight();
    for (long row = count; y < clipRect.maxY(); ++row, y += pitch)
        if (row % 2 == 1 && y + pitch > clipRect.minY())
            context->fillRect(gfx::intersectionRect({ clipRect.minX(), y, clipRect.width(), pitch }, clipRect));
}

void TableView::highlightSelectionInClipRect(gfx::Rect clipRect)
{
    if (m_highlightStyle == TableViewSelectionHighlightStyle::None || m_selectedRows.isEmpty())
        return;
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    const bool emphasized = isEmphasized(*this);
    auto rows = rowsInRect(clipRect);
    for (auto row = static_cast<long>(rows.location); row < static_cast<long>(rows.max()); ++row) {
        if (!m_selectedRows.contains(row))
            continue;
        auto rect = rectOfRow(row);
        if (m_highlightStyle == TableViewSelectionHighlightStyle::SourceList) {
            // A band shading from a lighter top to the accent (grey-blue while the table lacks the keyboard).
            auto base = ControlLook::accentColor(emphasized);
            auto top = base->blendedColorWithFraction(0.25, *gfx::Color::whiteColor());
            gfx::Gradient::gradientWithStartingColor(*top, *base)->drawInRect(rect, 90);
            context->setFillColor(*base->shadowWithLevel(0.1));
            context->fillRect({ rect.minX(), rect.minY(), rect.width(), 1 });
        } else {
            context->setFillColor(
                emphasized ? *ControlLook::accentColor(true) : *gfx::Color::colorWithCalibratedWhite(0.84));
            context->fillRect(rect);
        }
    }
}

void TableView::drawGridInClipRect(gfx::Rect clipRect)
{
    if (m_gridStyleMask == TableViewGridLine::None)
        return;
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    context->setFillColor(*gridColor());
    const double bottom = std::min(clipRect.maxY(), std::max(totalRowsHeight(), clipRect.maxY()));
    if (m_gridStyleMask & TableViewGridLine::SolidVerticalGridLineMask) {
        // One point at each column's right edge.
        for (long c = 0; c < numberOfColumns(); ++c) {
            auto rect = rectOfColumn(c);
            if (rect.width() <= 0 || rect.maxX() < clipRect.minX() || rect.maxX() - 1 > clipRect.maxX())
                continue;
            context->fillRect({ rect.maxX() - 1, clipRect.minY(), 1, bottom - clipRect.minY() });
        }
    }
    const bool solid = m_gridStyleMask & TableViewGridLine::SolidHorizontalGridLineMask;
    const bool dashed = m_gridStyleMask & TableViewGridLine::DashedHorizontalGridLineMask;
    if (!solid && !dashed)
        return;
    // One point at each row's bottom, solid or in dashes of two.
    auto rows = rowsInRect(clipRect);
    for (auto row = static_cast<long>(rows.location); row < static_cast<long>(rows.max()); ++row) {
        double y = rectOfRow(row).maxY() - 1;
        if (solid) {
            context->fillRect({ clipRect.minX(), y, clipRect.width(), 1 });
            continue;
        }
        for (double x = std::floor(clipRect.minX() / 4) * 4; x < clipRect.maxX(); x += 4)
            context->fillRect({ x, y, 2, 1 });
    }
}

void TableView::drawRow(long row, gfx::Rect clipRect)
{
    if (row < 0 || row >= numberOfRows())
        return;
    auto* context = gfx::GraphicsContext::current();
    if (isGroupRow(row)) {
        // A heading across the row: the first visible column's cell in small bold letters, over a light band in
        // the regular style.
        for (long c = 0; c < numberOfColumns(); ++c) {
            auto frame = frameOfCellAtColumn(c, row);
            if (frame.isEmpty())
                continue;
            if (m_highlightStyle != TableViewSelectionHighlightStyle::SourceList && context && !isRowSelected(row)) {
                context->setFillColor(*gfx::Color::colorWithCalibratedWhite(0.94));
                context->fillRect(rectOfRow(row));
            }
            auto prepared = preparedCellAtColumn(c, row);
            if (!prepared)
                break;
            auto cell = prepared->copy();
            if (auto text = std::dynamic_pointer_cast<TextFieldCell>(cell); text && !isRowSelected(row)) {
                text->setFont(gfx::Font::boldSystemFontOfSize(11));
                text->setTextColor(ControlLook::secondaryTextColor(true));
            }
            // The heading sits in the middle of its row, whatever its font.
            auto font = cell->font();
            double height = font ? std::ceil(font->ascender() - font->descender() + font->leading()) : frame.height();
            if (cell->type() == CellType::Text && height < frame.height())
                frame
                    = { frame.minX(), frame.minY() + std::floor((frame.height() - height) / 2), frame.width(), height };
            cell->drawWithFrame(frame, *this);
            break;
        }
        return;
    }
    for (const auto index : columnIndexesInRect(clipRect).indexes()) {
        const long column = static_cast<long>(index);
        auto frame = frameOfCellAtColumn(column, row);
        if (frame.isEmpty() || !gfx::intersectsRect(frame, clipRect))
            continue;
        if (column == m_editedColumn && row == m_editedRow && m_editingCell) {
            // The field editor shows the text; the cell gives it a plain background.
            if (context) {
                context->setFillColor(*ControlLook::fieldBackgroundColor());
                context->fillRect(frame);
            }
            continue;
        }
        if (column == m_trackedColumn && row == m_trackedRow && m_trackedCell) {
            m_trackedCell->drawWithFrame(frame, *this);
            continue;
        }
        if (auto cell = preparedCellAtColumn(column, row))
            cell->drawWithFrame(frame, *this);
    }
}

void TableView::drawDropHighlight()
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    auto accent = ControlLook::accentColor(true);
    if (m_dropOperation == TableViewDropOperation::On) {
        // A ring round the row, or round the whole table for row -1.
        auto rect = m_dropRow < 0 ? visibleRowsRect() : rectOfRow(m_dropRow);
        if (rect.isEmpty())
            return;
        auto ring = gfx::BezierPath::bezierPathWithRoundedRect(gfx::insetRect(rect, 1, 1), 4, 4);
        ring->setLineWidth(2);
        context->setStrokeColor(*accent);
        context->strokePath(*ring);
        return;
    }
    // A line in the gap above the row, with a small ring at its start.
    double y = m_dropRow < numberOfRows() ? rowTop(m_dropRow) : totalRowsHeight();
    y = std::clamp(y, 2.0, std::max(2.0, bounds().height() - 2));
    context->setFillColor(*accent);
    context->fillRect({ 8, y - 1, std::max(0.0, bounds().width() - 8), 2 });
    auto dot = gfx::BezierPath::bezierPathWithOvalInRect({ 2, y - 3, 6, 6 });
    dot->setLineWidth(2);
    context->setStrokeColor(*accent);
    context->strokePath(*dot);
}

}

namespace ui {

// The selection changes colour with the keyboard.
bool TableView::becomeFirstResponder()
{
    if (!m_selectedRows.isEmpty())
        setNeedsDisplayInRect(visibleRowsRect());
    return Control::becomeFirstResponder();
}

bool TableView::resignFirstResponder()
{
    if (!m_selectedRows.isEmpty())
        setNeedsDisplayInRect(visibleRowsRect());
    return Control::resignFirstResponder();
}

}
