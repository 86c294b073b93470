#include "frameworks/ZORAppKit/table-grid/ZORTableGridHeaderCell.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Shadow.h"
#include "platform/text/AttributedString.h"
#include "platform/text/Attributes.h"

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

}

gfx::Rect ZORTableGridHeaderCell::labelRectForFrame(gfx::Rect cellFrame) const
{
    const auto& font = ZORTableGridHeaderFont();
    txt::AttributedString label(stringValue(), fnd::Dictionary { { txt::FontAttributeName, fnd::Value(font) } });
    const auto size = textSize(label);
    const double x = cellFrame.minX(), y = cellFrame.minY(), w = cellFrame.width(), h = cellFrame.height();
    if (m_orientation == ColumnOrientation)
        return { x + (w - size.width) / 2, y + (h - size.height) / 2, size.width, size.height };
    return { x + RowLabelInset, y + (h - size.height) / 2, w - RowLabelInset, size.height };
}

void ZORTableGridHeaderCell::drawInteriorWithFrame(gfx::Rect cellFrame, ui::View&)
{
    const auto& font = ZORTableGridHeaderFont();
    txt::AttributedString label(stringValue(),
        fnd::Dictionary {
            { txt::FontAttributeName, fnd::Value(font) },
            { txt::ForegroundColorAttributeName, fnd::Value(gfx::Color::controlTextColor()) },
        });
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
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
    label.drawAtPoint(labelRectForFrame(cellFrame).origin);
    context->restoreGraphicsState();
}
