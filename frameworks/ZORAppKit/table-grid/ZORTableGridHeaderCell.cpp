#include "frameworks/ZORAppKit/table-grid/ZORTableGridHeaderCell.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Shadow.h"
#include "platform/text/AttributedString.h"
#include "platform/text/Attributes.h"

#include <cmath>

FND_REGISTER_CLASS(ZORTableGridHeaderCell, ui::Cell)

std::shared_ptr<ZORTableGridHeaderCell> ZORTableGridHeaderCell::create()
{
    auto cell = fnd::makeObject<ZORTableGridHeaderCell>();
    cell->initTextCell({});
    return cell;
}

void ZORTableGridHeaderCell::drawWithFrame(gfx::Rect cellFrame, ui::View& controlView)
{
    const double x = cellFrame.minX(), y = cellFrame.minY(), w = cellFrame.width(), h = cellFrame.height();
    auto fill = [](double white, double alpha, gfx::Rect r) {
        gfx::Color::colorWithDeviceWhite(white, alpha)->setFill();
        gfx::BezierPath::fillRect(r);
    };
    if (m_orientation == ColumnOrientation) {
        fill(1.0, 0.4, { x, y, 1, h });
        fill(1.0, 0.4, { x + w - 2, y, 1, h });
        fill(0.65, 1, { x + w - 1, y, 1, h });
        fill(0.65, 1, { x, y + h - 1, w, 1 });
    } else {
        fill(0.95, 1, { x, y, w, 1 });
        fill(0.65, 1, { x + w - 1, y, 1, h });
        fill(0.65, 1, { x, y + h - 1, w, 1 });
    }
    if (state() == ui::ControlStateValue::On) {
        gfx::Color::alternateSelectedControlColor()->colorWithAlphaComponent(0.5)->setFill();
        gfx::BezierPath::fillRect(cellFrame);
    }
    drawInteriorWithFrame(cellFrame, controlView);
}

namespace {

// The label font, looked up once (a header strip draws dozens of labels a frame).
const std::shared_ptr<gfx::Font>& ZORTableGridHeaderFont()
{
    static const auto font = gfx::Font::labelFontOfSize(gfx::Font::labelFontSize());
    return font;
}

// The label as drawn: measured and then drawn, it is laid out once (the text system keeps the last layout).
txt::AttributedString ZORTableGridHeaderLabel(const fnd::String& string)
{
    return txt::AttributedString(string,
        fnd::Dictionary {
            { txt::FontAttributeName, fnd::Value(ZORTableGridHeaderFont()) },
            { txt::ForegroundColorAttributeName, fnd::Value(gfx::Color::controlTextColor()) },
        });
}

// Its size in whole points.
gfx::Size ZORTableGridHeaderLabelSize(const txt::AttributedString& label)
{
    if (label.length() == 0)
        return {};
    const auto size = label.size();
    return { std::ceil(size.width), std::ceil(size.height) };
}

}

gfx::Rect ZORTableGridHeaderCell::labelRectForSize(gfx::Rect cellFrame, gfx::Size size) const
{
    const double x = cellFrame.minX(), y = cellFrame.minY(), w = cellFrame.width(), h = cellFrame.height();
    if (m_orientation == ColumnOrientation)
        return { x + (w - size.width) / 2, y + (h - size.height) / 2, size.width, size.height };
    return { x + RowLabelInset, y + (h - size.height) / 2, w - RowLabelInset, size.height };
}

gfx::Rect ZORTableGridHeaderCell::labelRectForFrame(gfx::Rect cellFrame) const
{
    return labelRectForSize(cellFrame, ZORTableGridHeaderLabelSize(ZORTableGridHeaderLabel(stringValue())));
}

void ZORTableGridHeaderCell::drawInteriorWithFrame(gfx::Rect cellFrame, ui::View&)
{
    auto* context = gfx::GraphicsContext::current();
    const auto string = stringValue();
    if (!context || string.isEmpty())
        return;
    const auto label = ZORTableGridHeaderLabel(string);
    const auto rect = labelRectForSize(cellFrame, ZORTableGridHeaderLabelSize(label));
    context->saveGraphicsState();
    // A label wider than its column is cut at the cell's edges, not spread over its neighbours; one that fits is
    // clipped nowhere near its ink (its own measured box, centred at half pixels, cut into its last stroke).
    context->clipToRect(cellFrame);
    // A light engraving under the label.
    gfx::Shadow shadow;
    shadow.setShadowColor(gfx::Color::colorWithDeviceWhite(1.0, 0.8));
    shadow.setShadowOffset({ 0, -1 });
    shadow.setShadowBlurRadius(0);
    shadow.set();
    label.drawAtPoint(rect.origin);
    context->restoreGraphicsState();
}
