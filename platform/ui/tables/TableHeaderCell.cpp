#include "platform/ui/tables/TableHeaderCell.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/look/ControlLook.h"

#include <cmath>

namespace ui {

FND_REGISTER_CLASS(TableHeaderCell, TextFieldCell)

namespace {

// Room left of the title and the width kept for the sort arrow.
constexpr double TitleInset = 6;
constexpr double IndicatorWidth = 14;

}

void TableHeaderCell::init()
{
    initTextCell({});
}

void TableHeaderCell::initTextCell(const fnd::String& string)
{
    TextFieldCell::initTextCell(string);
    setEditable(false);
    setSelectable(false);
    setLineBreakMode(txt::LineBreakMode::ByTruncatingTail);
    setFont(gfx::Font::systemFontOfSize(11));
}

void TableHeaderCell::drawHeaderBackground(gfx::Rect rect, bool pressed)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    context->setFillColor(*gfx::Color::colorWithCalibratedWhite(pressed ? 0.88 : 0.97));
    context->fillRect(rect);
    // The line under the strip, at the screen's bottom whichever way the view is up.
    double bottom = context->isFlipped() ? rect.maxY() - 1 : rect.minY();
    context->setFillColor(*ControlLook::borderColor());
    context->fillRect({ rect.minX(), bottom, rect.width(), 1 });
}

void TableHeaderCell::drawWithFrame(gfx::Rect cellFrame, View& controlView)
{
    setControlView(std::static_pointer_cast<View>(controlView.shared_from_this()));
    drawHeaderBackground(cellFrame, isHighlighted());
    // A separator at the right edge, short of the strip's ends.
    if (auto* context = gfx::GraphicsContext::current()) {
        context->setFillColor(*ControlLook::borderColor());
        context->fillRect({ cellFrame.maxX() - 1, cellFrame.minY() + 4, 1, std::max(0.0, cellFrame.height() - 8) });
    }
    drawInteriorWithFrame(cellFrame, controlView);
}

void TableHeaderCell::drawInteriorWithFrame(gfx::Rect cellFrame, View& controlView)
{
    TextFieldCell::drawInteriorWithFrame(cellFrame, controlView);
}

gfx::Rect TableHeaderCell::titleRectForBounds(gfx::Rect bounds) const
{
    double line = std::ceil(font()->ascender() - font()->descender() + font()->leading());
    double width = std::max(0.0, bounds.width() - TitleInset - IndicatorWidth);
    return { bounds.minX() + TitleInset, std::round(bounds.midY() - line / 2), width, line };
}

gfx::Size TableHeaderCell::cellSizeForBounds(gfx::Rect bounds) const
{
    auto text = TextFieldCell::cellSizeForBounds(bounds);
    return { text.width + TitleInset + IndicatorWidth, std::max(text.height, 17.0) };
}

gfx::Rect TableHeaderCell::sortIndicatorRectForBounds(gfx::Rect bounds) const
{
    return { bounds.maxX() - IndicatorWidth, bounds.minY(), IndicatorWidth - 4, bounds.height() };
}

void TableHeaderCell::drawSortIndicatorWithFrame(gfx::Rect cellFrame, View&, bool ascending, long priority)
{
    if (priority != 0)
        return;
    auto rect = sortIndicatorRectForBounds(cellFrame);
    ControlLook::drawChevron({ rect.midX(), rect.midY() }, 3.5,
        ascending ? ControlLook::Direction::Up : ControlLook::Direction::Down, *ControlLook::secondaryTextColor(true));
}

}
