#include "frameworks/ZORAppKit/table-grid/ZORTableGridHeaderCell.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Shadow.h"
#include "platform/text/AttributedString.h"
#include "platform/text/Attributes.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"

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

// Labels are laid out by a text system of the header's own, once each: measured to be centred and drawn from the same
// layout, where measuring and drawing the string each laid it out again.
struct ZORTableGridHeaderLabels {
    std::shared_ptr<txt::TextStorage> storage = std::make_shared<txt::TextStorage>();
    std::shared_ptr<txt::LayoutManager> manager = fnd::makeObject<txt::LayoutManager>();
    std::shared_ptr<txt::TextContainer> container = std::make_shared<txt::TextContainer>(gfx::Size { 1e7, 1e7 });

    ZORTableGridHeaderLabels()
    {
        container->setLineFragmentPadding(0);
        manager->addTextContainer(container);
        storage->addLayoutManager(manager);
        storage->setPostsEditingNotifications(false);
    }

    static ZORTableGridHeaderLabels& forThread()
    {
        thread_local ZORTableGridHeaderLabels labels;
        return labels;
    }

    // The label in one line from the leading edge, whatever its direction: a right-to-left title in its natural
    // alignment would stand at the far end of the unbounded line. Its size in whole points.
    gfx::Size layOut(const fnd::String& string)
    {
        static const auto leading = [] {
            auto style = txt::ParagraphStyle::defaultParagraphStyle();
            style->setAlignment(txt::TextAlignment::Left);
            return style;
        }();
        storage->setAttributedString(txt::AttributedString(string,
            fnd::Dictionary {
                { txt::FontAttributeName, fnd::Value(ZORTableGridHeaderFont()) },
                { txt::ForegroundColorAttributeName, fnd::Value(gfx::Color::controlTextColor()) },
                { txt::ParagraphStyleAttributeName, fnd::Value(leading) },
            }));
        if (string.isEmpty())
            return {};
        const auto used = manager->usedRectForTextContainer(*container);
        return { std::ceil(used.maxX()), std::ceil(used.maxY()) };
    }
};

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
    return labelRectForSize(cellFrame, ZORTableGridHeaderLabels::forThread().layOut(stringValue()));
}

void ZORTableGridHeaderCell::drawInteriorWithFrame(gfx::Rect cellFrame, ui::View&)
{
    auto* context = gfx::GraphicsContext::current();
    const auto string = stringValue();
    if (!context || string.isEmpty())
        return;
    auto& labels = ZORTableGridHeaderLabels::forThread();
    const auto rect = labelRectForSize(cellFrame, labels.layOut(string));
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
    // The point is the label's top left in a flipped view, its bottom left otherwise.
    const auto used = labels.manager->usedRectForTextContainer(*labels.container);
    const gfx::Point origin
        = context->isFlipped() ? rect.origin : gfx::Point { rect.minX(), rect.minY() + used.maxY() };
    const fnd::Range all { 0, labels.manager->numberOfGlyphs() };
    labels.manager->drawBackgroundForGlyphRange(all, origin);
    labels.manager->drawGlyphsForGlyphRange(all, origin);
    context->restoreGraphicsState();
}
