#include "platform/layers/TextLayer.h"

#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/layers/LayerAnimation.h"
#include "platform/text/AttributedString.h"
#include "platform/text/ParagraphStyle.h"

namespace ui {

FND_REGISTER_CLASS(TextLayer, Layer)

namespace {

txt::TextAlignment alignmentFor(const fnd::String& mode)
{
    if (mode == TextAlignmentMode::Left)
        return txt::TextAlignment::Left;
    if (mode == TextAlignmentMode::Right)
        return txt::TextAlignment::Right;
    if (mode == TextAlignmentMode::Center)
        return txt::TextAlignment::Center;
    if (mode == TextAlignmentMode::Justified)
        return txt::TextAlignment::Justified;
    return txt::TextAlignment::Natural;
}

}

void TextLayer::describeClass(fnd::ClassBuilder<TextLayer>& c)
{
    c.property("string", &TextLayer::string, &TextLayer::setString);
    c.property("font", &TextLayer::font, &TextLayer::setFont);
    c.property("fontSize", &TextLayer::fontSize, &TextLayer::setFontSize);
    c.property("foregroundColor", &TextLayer::foregroundColor, &TextLayer::setForegroundColor);
    c.property("alignmentMode", &TextLayer::alignmentMode, &TextLayer::setAlignmentMode);
    c.property("wrapped", &TextLayer::isWrapped, &TextLayer::setWrapped);
}

TextLayer::TextLayer()
{
    m_t.foregroundColor = gfx::Color::colorWithCalibratedWhite(1, 1);
    initNeedsDisplayOnBoundsChange(true);
}

void TextLayer::initWithLayer(const Layer& layer)
{
    Layer::initWithLayer(layer);
    if (auto* other = dynamic_cast<const TextLayer*>(&layer))
        m_t = other->read(other->m_t);
}

fnd::Value TextLayer::string() const
{
    return read(m_t.string);
}

void TextLayer::setString(const fnd::Value& string)
{
    setProperty("string", m_t.string, string);
}

fnd::Value TextLayer::font() const
{
    return read(m_t.font);
}

void TextLayer::setFont(const fnd::Value& font)
{
    setProperty("font", m_t.font, font);
}

double TextLayer::fontSize() const
{
    return read(m_t.fontSize);
}

void TextLayer::setFontSize(double size)
{
    setProperty("fontSize", m_t.fontSize, size);
}

gfx::ColorPtr TextLayer::foregroundColor() const
{
    return read(m_t.foregroundColor);
}

void TextLayer::setForegroundColor(gfx::ColorPtr color)
{
    setProperty("foregroundColor", m_t.foregroundColor, color);
}

fnd::String TextLayer::alignmentMode() const
{
    return read(m_t.alignmentMode);
}

void TextLayer::setAlignmentMode(const fnd::String& mode)
{
    setProperty("alignmentMode", m_t.alignmentMode, mode);
}

bool TextLayer::isWrapped() const
{
    return read(m_t.wrapped);
}

void TextLayer::setWrapped(bool flag)
{
    setProperty("wrapped", m_t.wrapped, flag);
}

bool TextLayer::needsDisplayForKey(const fnd::String& key) const
{
    return key == "string" || key == "font" || key == "fontSize" || key == "foregroundColor" || key == "alignmentMode"
        || key == "wrapped" || Layer::needsDisplayForKey(key);
}

std::shared_ptr<LayerAction> TextLayer::defaultActionForKey(const fnd::String& key) const
{
    if (key == "fontSize" || key == "foregroundColor")
        return BasicAnimation::animationWithKeyPath(key);
    return Layer::defaultActionForKey(key);
}

namespace {

std::shared_ptr<txt::AttributedString> textOf(const fnd::Value& string, const fnd::Value& fontValue, double size,
    const gfx::ColorPtr& color, const fnd::String& alignmentMode, bool wrapped)
{
    if (auto attributed = string.objectAs<txt::AttributedString>())
        return attributed;
    if (string.isNil())
        return nullptr;
    std::shared_ptr<gfx::Font> font;
    if (auto f = fontValue.objectAs<gfx::Font>())
        font = f->fontWithSize(size);
    else if (auto* name = fontValue.string())
        font = gfx::Font::fontWithName(*name, size);
    if (!font)
        font = gfx::Font::systemFontOfSize(size);
    auto style = txt::ParagraphStyle::defaultParagraphStyle();
    // Unwrapped lines are placed by the layer itself.
    style->setAlignment(wrapped ? alignmentFor(alignmentMode) : txt::TextAlignment::Left);
    style->setLineBreakMode(wrapped ? txt::LineBreakMode::ByWordWrapping : txt::LineBreakMode::ByClipping);
    txt::Attributes attributes;
    if (font)
        attributes.set(txt::FontAttributeName, fnd::Value(font));
    if (color)
        attributes.set(txt::ForegroundColorAttributeName, fnd::Value(color));
    attributes.set(txt::ParagraphStyleAttributeName, fnd::Value(style));
    return std::make_shared<txt::AttributedString>(string.stringValue(), attributes);
}

}

void TextLayer::drawInContext(gfx::GraphicsContext& context)
{
    auto t = read(m_t);
    auto text = textOf(t.string, t.font, t.fontSize, t.foregroundColor, t.alignmentMode, t.wrapped);
    if (text && text->length() > 0) {
        gfx::CurrentContextScope scope(context.shared_from_this());
        const auto b = bounds();
        context.clipToRect(b);
        if (t.wrapped)
            text->drawInRect(b);
        else {
            // One line per paragraph from the top edge, aligned within the width.
            const auto size = text->size();
            double x = b.minX();
            if (t.alignmentMode == TextAlignmentMode::Center)
                x += (b.width() - size.width) / 2;
            else if (t.alignmentMode == TextAlignmentMode::Right)
                x += b.width() - size.width;
            text->drawAtPoint({ x, b.maxY() - size.height });
        }
    }
    Layer::drawInContext(context);
}

gfx::Size TextLayer::preferredFrameSize() const
{
    auto t = read(m_t);
    auto text = textOf(t.string, t.font, t.fontSize, t.foregroundColor, t.alignmentMode, t.wrapped);
    if (!text)
        return {};
    if (t.wrapped)
        return text->boundingRectWithSize({ bounds().width(), 1e7 }).size;
    return text->size();
}

}
