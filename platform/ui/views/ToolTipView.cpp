#include "platform/ui/views/ToolTipView.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/text/AttributedString.h"

#include <cmath>

namespace ui {

FND_REGISTER_CLASS(ToolTipView, View)

namespace {

// Room between the border and the text.
constexpr double TipPaddingX = 5;
constexpr double TipPaddingY = 3;
// Longer lines wrap here, so a long tip stays readable.
constexpr double TipMaximumTextWidth = 300;

txt::AttributedString tipText(const fnd::String& text)
{
    return txt::AttributedString(text,
        { { txt::FontAttributeName, fnd::Value(ToolTipView::font()) },
            { txt::ForegroundColorAttributeName, fnd::Value(gfx::Color::colorWithCalibratedWhite(0.1)) } });
}

}

std::shared_ptr<ToolTipView> ToolTipView::create(const fnd::String& text)
{
    auto view = std::make_shared<ToolTipView>();
    view->initWithFrame({});
    view->setText(text);
    return view;
}

std::shared_ptr<gfx::Font> ToolTipView::font()
{
    return gfx::Font::systemFontOfSize(gfx::Font::smallSystemFontSize());
}

gfx::Size ToolTipView::sizeForText(const fnd::String& text)
{
    auto box = tipText(text).boundingRectWithSize({ TipMaximumTextWidth, 1e6 });
    return { std::ceil(box.width()) + 2 * TipPaddingX, std::ceil(box.height()) + 2 * TipPaddingY };
}

void ToolTipView::setText(const fnd::String& text)
{
    m_text = text;
    setFrameSize(sizeForText(text));
    setNeedsDisplay(true);
}

void ToolTipView::drawRect(gfx::Rect)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    auto b = bounds();
    // The desktop's pale tool-tip yellow with a thin grey border.
    context->setFillColor(*gfx::Color::colorWithCalibratedRed(1.0, 1.0, 0.88));
    context->fillRect(b);
    auto border = gfx::BezierPath::bezierPathWithRect(gfx::insetRect(b, 0.5, 0.5));
    border->setLineWidth(1);
    context->setStrokeColor(*gfx::Color::colorWithCalibratedWhite(0.55));
    context->strokePath(*border);
    tipText(m_text).drawInRect(gfx::insetRect(b, TipPaddingX, TipPaddingY));
}

}
