#include "platform/ui/views/detail/PanelText.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/text/AttributedString.h"
#include "platform/text/Attributes.h"

#include <cmath>

namespace ui::detail {

namespace {

txt::AttributedString styled(const fnd::String& text, const std::shared_ptr<gfx::Font>& font,
    const gfx::ColorPtr& color, txt::TextAlignment alignment)
{
    auto style = txt::ParagraphStyle::defaultParagraphStyle();
    style->setAlignment(alignment);
    style->setLineBreakMode(txt::LineBreakMode::ByTruncatingTail);
    txt::Attributes attributes;
    attributes.set(txt::FontAttributeName, fnd::Value(font ? font : gfx::Font::systemFontOfSize(0)));
    attributes.set(txt::ParagraphStyleAttributeName, fnd::Value(style));
    if (color)
        attributes.set(txt::ForegroundColorAttributeName, fnd::Value(color));
    return txt::AttributedString(text, attributes);
}

}

fnd::String panelText(const char* key, const char* english)
{
    static const auto bundle = fnd::Bundle::bundleWithName("Foundation");
    return bundle ? bundle->localizedStringForKey(key, english, "Panels") : fnd::String(english);
}

gfx::Size labelSize(const fnd::String& text, const std::shared_ptr<gfx::Font>& font)
{
    if (text.isEmpty())
        return {};
    auto size = styled(text, font, nullptr, txt::TextAlignment::Left).size();
    return { std::ceil(size.width), std::ceil(size.height) };
}

void drawLabel(const fnd::String& text, gfx::Rect rect, const std::shared_ptr<gfx::Font>& font,
    const gfx::ColorPtr& color, txt::TextAlignment alignment)
{
    if (text.isEmpty() || rect.isEmpty())
        return;
    auto line = styled(text, font, color, alignment);
    double height = std::ceil(line.size().height);
    if (height < rect.height())
        rect = { rect.minX(), rect.minY() + std::floor((rect.height() - height) / 2), rect.width(), height };
    line.drawInRect(rect);
}

}
