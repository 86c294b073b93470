// The grid's own chrome: the focus ring, the header backgrounds behind the labels, and the border.

#include "frameworks/ZORAppKit/table-grid/ZORTableGrid.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Gradient.h"
#include "platform/ui/views/Window.h"

namespace {

void ZORTableGridFill(double white, double alpha, gfx::Rect rect)
{
    gfx::Color::colorWithDeviceWhite(white, alpha)->setFill();
    gfx::BezierPath::fillRect(rect);
}

void ZORTableGridFillPath(double white, double alpha, gfx::Rect rect)
{
    gfx::Color::colorWithDeviceWhite(white, alpha)->setFill();
    gfx::BezierPath::bezierPathWithRect(rect)->fill();
}

void ZORTableGridGradient(double from, double to, gfx::Rect rect, double angle)
{
    gfx::Gradient::gradientWithStartingColor(
        *gfx::Color::colorWithDeviceWhite(from, 1), *gfx::Color::colorWithDeviceWhite(to, 1))
        ->drawInRect(rect, angle);
}

}

bool ZORTableGrid::_isFocused() const
{
    auto w = window();
    if (!w || !w->isKeyWindow())
        return false;
    auto responder = std::dynamic_pointer_cast<ui::View>(w->firstResponder());
    return responder && (responder.get() == this || responder->isDescendantOf(*this));
}

void ZORTableGrid::drawRect(gfx::Rect)
{
    const double w = frame().width(), h = frame().height();
    if (needsToDrawRect(headerRectOfCorner()))
        _drawCornerHeaderBackgroundInRect(headerRectOfCorner());
    const gfx::Rect columnHeaders { RowHeaderWidth, 0, w - RowHeaderWidth, ColumnHeaderHeight };
    if (needsToDrawRect(columnHeaders))
        _drawColumnHeaderBackgroundInRect(columnHeaders);
    const gfx::Rect rowHeaders { 0, ColumnHeaderHeight, RowHeaderWidth, h - ColumnHeaderHeight };
    if (needsToDrawRect(rowHeaders))
        _drawRowHeaderBackgroundInRect(rowHeaders);
    gfx::Color::darkGrayColor()->setStroke();
    gfx::BezierPath::strokeRect({ 0, 0, w, h });
}

// The view system draws the ring around this shape while the grid has the keyboard.
void ZORTableGrid::drawFocusRingMask()
{
    gfx::BezierPath::fillRect(bounds());
}

void ZORTableGrid::_drawColumnHeaderBackgroundInRect(gfx::Rect rect)
{
    const double x = rect.minX(), y = rect.minY(), bw = rect.width(), bh = rect.height();
    ZORTableGridGradient(0.91, 0.89, { x, 0, bw, bh / 2 }, 90);
    ZORTableGridGradient(0.85, 0.83, { x, y + bh / 2 - 0.5, bw, bh / 2 + 0.5 }, 90);
    ZORTableGridFill(0.95, 1, { x, y, bw, 1 });
    ZORTableGridFill(0.65, 1, { x, y + bh - 1, bw, 1 });
}

void ZORTableGrid::_drawRowHeaderBackgroundInRect(gfx::Rect rect)
{
    const double x = rect.minX(), y = rect.minY(), bw = rect.width(), bh = rect.height();
    ZORTableGridGradient(0.91, 0.89, { x, y, bw / 2, bh }, 0);
    ZORTableGridGradient(0.85, 0.83, { x + bw / 2 - 0.5, y, bw / 2 + 0.5, bh }, 0);
    ZORTableGridFillPath(1.0, 0.4, { x, y, 1, bh });
    ZORTableGridFill(0.65, 1, { x + bw - 1, y, 1, bh });
}

void ZORTableGrid::_drawCornerHeaderBackgroundInRect(gfx::Rect rect)
{
    const double x = rect.minX(), y = rect.minY(), bw = rect.width(), bh = rect.height();
    ZORTableGridGradient(0.91, 0.89, { x, y, bw, bh }, 90);
    ZORTableGridGradient(0.85, 0.83, { x + bw / 2 - 0.5, y + bh / 2 - 0.5, bw / 2, bh / 2 + 0.5 }, 90);
    ZORTableGridFill(0.95, 1, { x, y, bw, 1 });
    ZORTableGridFillPath(1.0, 0.4, { x, y, 1, bh });
    ZORTableGridFill(0.65, 1, { x + bw - 1, y, 1, bh });
    ZORTableGridFill(0.65, 1, { x, y + bh - 1, bw, 1 });
}
