#include "frameworks/ZORAppKit/table-grid/ZORTableGridCell.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Font.h"

FND_REGISTER_CLASS(ZORTableGridCell, ui::TextFieldCell)

std::shared_ptr<ZORTableGridCell> ZORTableGridCell::create(const fnd::String& string)
{
    auto cell = fnd::makeObject<ZORTableGridCell>();
    cell->initTextCell(string);
    return cell;
}

void ZORTableGridCell::initTextCell(const fnd::String& string)
{
    TextFieldCell::initTextCell(string);
    setBackgroundColor(gfx::Color::clearColor());
    setBordered(true);
    setScrollable(true);
    setLineBreakMode(txt::LineBreakMode::ByTruncatingTail);
    // Named once here: a grid draws hundreds of cells a frame, and looking the system font up each time shows.
    setFont(gfx::Font::systemFontOfSize(gfx::Font::systemFontSize()));
}

void ZORTableGridCell::drawWithFrame(gfx::Rect cellFrame, ui::View& controlView, const gfx::ColorPtr& backgroundColor)
{
    backgroundColor->setFill();
    gfx::BezierPath::fillRect(cellFrame);
    drawWithFrame(cellFrame, controlView);
}

void ZORTableGridCell::drawWithFrame(gfx::Rect cellFrame, ui::View& controlView)
{
    const double x = cellFrame.minX(), y = cellFrame.minY(), w = cellFrame.width(), h = cellFrame.height();
    gfx::Color::colorWithDeviceWhite(GridLineWhite, 1)->setFill();
    gfx::BezierPath::fillRect({ x + w - 1, y, 1, h });
    gfx::BezierPath::fillRect({ x, y + h - 1, w, 1 });
    drawInteriorWithFrame(cellFrame, controlView);
}
