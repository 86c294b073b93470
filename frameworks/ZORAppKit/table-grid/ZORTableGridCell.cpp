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

// A row of a page holds a dozen cells: their backgrounds go in as few fills as their colours allow, and their lines
// in one path, instead of three fills a cell. The lines meet without overlapping, so the union covers the pixels
// the separate fills did.
void ZORTableGridCell::drawBackgroundsAndGridLines(
    std::span<const gfx::Rect> cellFrames, std::span<const gfx::ColorPtr> backgroundColors)
{
    const std::size_t count = std::min(cellFrames.size(), backgroundColors.size());
    auto touches = [&](std::size_t k) { return cellFrames[k - 1].maxX() == cellFrames[k].minX(); };
    for (std::size_t first = 0, end = 0; first < count; first = end) {
        gfx::Rect stretch = cellFrames[first];
        const auto& color = backgroundColors[first];
        for (end = first + 1; end < count && touches(end) && cellFrames[end].minY() == stretch.minY()
             && cellFrames[end].height() == stretch.height()
             && (backgroundColors[end] == color || backgroundColors[end]->isEqual(*color));
             ++end)
            stretch = { stretch.minX(), stretch.minY(), cellFrames[end].maxX() - stretch.minX(), stretch.height() };
        color->setFill();
        gfx::BezierPath::fillRect(stretch);
    }
    if (count == 0)
        return;
    gfx::BezierPath lines;
    for (std::size_t first = 0, end = 0; first < count; first = end) {
        for (end = first + 1; end < count && touches(end) && cellFrames[end].minY() == cellFrames[first].minY()
             && cellFrames[end].height() == cellFrames[first].height();
             ++end) { }
        const gfx::Rect& left = cellFrames[first];
        lines.appendBezierPathWithRect({ left.minX(), left.maxY() - 1, cellFrames[end - 1].maxX() - left.minX(), 1 });
        for (std::size_t k = first; k < end; ++k)
            lines.appendBezierPathWithRect(
                { cellFrames[k].maxX() - 1, cellFrames[k].minY(), 1, cellFrames[k].height() - 1 });
    }
    gfx::Color::colorWithDeviceWhite(GridLineWhite, 1)->setFill();
    lines.fill();
}

void ZORTableGridCell::drawWithFrame(gfx::Rect cellFrame, ui::View& controlView)
{
    const double x = cellFrame.minX(), y = cellFrame.minY(), w = cellFrame.width(), h = cellFrame.height();
    gfx::Color::colorWithDeviceWhite(GridLineWhite, 1)->setFill();
    gfx::BezierPath::fillRect({ x + w - 1, y, 1, h });
    gfx::BezierPath::fillRect({ x, y + h - 1, w, 1 });
    drawInteriorWithFrame(cellFrame, controlView);
}
