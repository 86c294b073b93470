#include "platform/ui/text/TextFieldCell.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/look/ControlLook.h"
#include "platform/ui/text/TextView.h"
#include "platform/ui/views/View.h"

#include <cmath>

namespace ui {

FND_REGISTER_CLASS(TextFieldCell, ActionCell)

void TextFieldCell::describeClass(fnd::ClassBuilder<TextFieldCell>& c)
{
    c.property("textColor", &TextFieldCell::textColor, &TextFieldCell::setTextColor);
    c.property("backgroundColor", &TextFieldCell::backgroundColor, &TextFieldCell::setBackgroundColor);
    c.property("drawsBackground", &TextFieldCell::drawsBackground, &TextFieldCell::setDrawsBackground);
    c.property("bezelStyle", &TextFieldCell::bezelStyle, &TextFieldCell::setBezelStyle);
    c.property("placeholderString", &TextFieldCell::placeholderString, &TextFieldCell::setPlaceholderString);
}

namespace {

// Room between a field's edge and its text.
gfx::Size textInset(bool bezeled, bool bordered)
{
    if (bezeled)
        return { 6, 3 };
    if (bordered)
        return { 3, 2 };
    return { 2, 0 };
}

}

void TextFieldCell::init()
{
    initTextCell({});
}

void TextFieldCell::initTextCell(const fnd::String& string)
{
    ActionCell::initTextCell(string);
    setEditable(true);
    setSelectable(true);
}

gfx::ColorPtr TextFieldCell::textColor() const
{
    return m_textColor ? m_textColor : gfx::Color::controlTextColor();
}

void TextFieldCell::setTextColor(gfx::ColorPtr color)
{
    m_textColor = std::move(color);
    noteChanged();
}

gfx::ColorPtr TextFieldCell::backgroundColor() const
{
    return m_backgroundColor ? m_backgroundColor : gfx::Color::textBackgroundColor();
}

void TextFieldCell::setBackgroundColor(gfx::ColorPtr color)
{
    m_backgroundColor = std::move(color);
    noteChanged();
}

void TextFieldCell::setDrawsBackground(bool flag)
{
    if (flag == m_drawsBackground)
        return;
    m_drawsBackground = flag;
    noteChanged();
}

void TextFieldCell::setBezelStyle(TextFieldBezelStyle style)
{
    if (style == m_bezelStyle || !isWithin(style, TextFieldBezelStyle::Square, TextFieldBezelStyle::Rounded))
        return;
    m_bezelStyle = style;
    noteChanged();
}

void TextFieldCell::setPlaceholderString(const fnd::String& placeholder)
{
    m_placeholderString = placeholder;
    m_placeholderAttributedString.reset();
    noteChanged();
}

void TextFieldCell::setPlaceholderAttributedString(std::shared_ptr<txt::AttributedString> placeholder)
{
    m_placeholderAttributedString = std::move(placeholder);
    m_placeholderString = m_placeholderAttributedString ? m_placeholderAttributedString->string() : fnd::String();
    noteChanged();
}

bool TextFieldCell::acceptsFirstResponder() const
{
    return Cell::acceptsFirstResponder() && isSelectable();
}

gfx::ColorPtr TextFieldCell::textColorForDrawing() const
{
    if (interiorBackgroundStyle() == BackgroundStyle::Dark)
        return ControlLook::textOnAccentColor(isEnabled());
    // Our own text colour reads better than pure black on the light look; other colours are the caller's choice.
    auto color
        = m_textColor && m_textColor->colorName() != u"controlTextColor" ? m_textColor : ControlLook::textColor(true);
    return isEnabled() ? color : color->colorWithAlphaComponent(color->alphaComponent() * 0.5);
}

// Geometry.

gfx::Size TextFieldCell::cellSizeForBounds(gfx::Rect bounds) const
{
    auto inset = textInset(isBezeled(), isBordered());
    double width = isSingleLine() ? 1e7 : std::max(1.0, bounds.width() - 2 * inset.width);
    auto used = textSize(*attributedStringValue(), width);
    double height = std::max(used.height, ControlLook::lineHeight(controlSize()));
    return { used.width + 2 * inset.width, height + 2 * inset.height };
}

gfx::Rect TextFieldCell::drawingRectForBounds(gfx::Rect bounds) const
{
    auto inset = textInset(isBezeled(), isBordered());
    return gfx::insetRect(bounds, inset.width, inset.height);
}

gfx::Rect TextFieldCell::titleRectForBounds(gfx::Rect bounds) const
{
    auto rect = drawingRectForBounds(bounds);
    if (!isSingleLine() || !(isBezeled() || isBordered()))
        return rect;
    // One line, centred in the field; labels start at the top.
    double line = ControlLook::lineHeight(controlSize());
    if (auto f = font())
        line = std::ceil(f->ascender() - f->descender() + f->leading());
    if (rect.height() > line)
        rect = { rect.minX(), std::round(rect.midY() - line / 2), rect.width(), line };
    return rect;
}

// Drawing.

void TextFieldCell::drawWithFrame(gfx::Rect cellFrame, View& controlView)
{
    setControlView(std::static_pointer_cast<View>(controlView.shared_from_this()));
    auto background = backgroundColor();
    if (isBezeled()) {
        ControlLook::drawFieldBezel(cellFrame, m_bezelStyle == TextFieldBezelStyle::Rounded,
            m_drawsBackground ? background.get() : nullptr, isEnabled());
    } else {
        auto* context = gfx::GraphicsContext::current();
        if (context && m_drawsBackground) {
            context->setFillColor(*background);
            context->fillRect(cellFrame);
        }
        if (context && isBordered()) {
            auto frame = gfx::BezierPath::bezierPathWithRect(gfx::insetRect(ControlLook::snapped(cellFrame), 0.5, 0.5));
            frame->setLineWidth(1);
            context->setStrokeColor(*ControlLook::borderColor());
            context->strokePath(*frame);
        }
    }
    drawInteriorWithFrame(cellFrame, controlView);
}

void TextFieldCell::drawInteriorWithFrame(gfx::Rect cellFrame, View&)
{
    if (currentFieldEditor())
        return; // the field editor shows the text while editing
    auto rect = titleRectForBounds(cellFrame);
    auto text = attributedStringValue();
    if (text->length() == 0) {
        if (m_placeholderAttributedString) {
            drawText(*m_placeholderAttributedString, rect, false);
        } else if (!m_placeholderString.isEmpty()) {
            auto attributes = textAttributes();
            attributes.set(txt::ForegroundColorAttributeName, fnd::Value(ControlLook::secondaryTextColor(isEnabled())));
            drawText(txt::AttributedString(m_placeholderString, attributes), rect, false);
        }
        return;
    }
    drawText(*text, rect, false);
}

void TextFieldCell::drawFocusRingMaskWithFrame(gfx::Rect cellFrame, View&)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    auto rect = ControlLook::snapped(cellFrame);
    double radius = 0;
    if (isBezeled())
        radius = m_bezelStyle == TextFieldBezelStyle::Rounded ? rect.height() / 2 : std::min(4.0, rect.height() / 2);
    context->setFillColor(*gfx::Color::blackColor());
    context->fillPath(*gfx::BezierPath::bezierPathWithRoundedRect(rect, radius, radius));
}

std::shared_ptr<View> TextFieldCell::setUpFieldEditorAttributes(const std::shared_ptr<View>& fieldEditor)
{
    if (!fieldEditor)
        return nullptr;
    // The usual editor, a text view, is set up directly: this runs each time a cell starts editing, and looking the
    // keys up and boxing the values cost more than the setting.
    if (auto textView = std::dynamic_pointer_cast<TextView>(fieldEditor)) {
        textView->setFont(font());
        textView->setTextColor(textColorForDrawing());
        textView->setBackgroundColor(backgroundColor());
        textView->setDrawsBackground(m_drawsBackground);
        textView->setAlignment(alignment());
        return fieldEditor;
    }
    auto set = [&](const char* key, const fnd::Value& value) {
        if (fieldEditor->classInfo().findProperty(key))
            fieldEditor->setValueForKey(value, key);
    };
    set("font", fnd::Value(font()));
    set("textColor", fnd::Value(textColorForDrawing()));
    set("backgroundColor", fnd::Value(backgroundColor()));
    set("drawsBackground", fnd::Value(m_drawsBackground));
    set("alignment", fnd::Value(static_cast<long>(alignment())));
    return fieldEditor;
}

// Archiving.

void TextFieldCell::encodeWithCoder(fnd::Coder& coder) const
{
    ActionCell::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    if (m_textColor)
        coder.encodeObject(fnd::Value(m_textColor), "TextColor");
    if (m_backgroundColor)
        coder.encodeObject(fnd::Value(m_backgroundColor), "BackgroundColor");
    coder.encodeBool(m_drawsBackground, "DrawsBackground");
    coder.encodeInt(static_cast<int>(m_bezelStyle), "TextBezelStyle");
    if (!m_placeholderString.isEmpty())
        coder.encodeObject(fnd::Value(m_placeholderString), "PlaceholderString");
}

bool TextFieldCell::initWithCoder(fnd::Coder& coder)
{
    if (!ActionCell::initWithCoder(coder))
        return false;
    m_textColor = coder.decodeObjectForKey("TextColor").objectAs<gfx::Color>();
    m_backgroundColor = coder.decodeObjectForKey("BackgroundColor").objectAs<gfx::Color>();
    m_drawsBackground = coder.decodeBoolForKey("DrawsBackground");
    m_bezelStyle
        = coder.decodeIntForKey("TextBezelStyle") == 1 ? TextFieldBezelStyle::Rounded : TextFieldBezelStyle::Square;
    m_placeholderString = coder.decodeObjectForKey("PlaceholderString").stringValue();
    return !coder.hasFailed();
}

}
