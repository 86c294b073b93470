#include "frameworks/AppKitExtensions/ZORNSTextFieldExtension.h"

#include "platform/graphics/Font.h"
#include "platform/text/AttributedString.h"
#include "platform/text/Attributes.h"
#include "platform/text/ParagraphStyle.h"

namespace ZORNSTextFieldExtension {

void markTextField(ui::TextField& field, const gfx::ColorPtr& color)
{
    auto paragraph = txt::ParagraphStyle::defaultParagraphStyle()->mutableCopy();
    paragraph->setAlignment(field.alignment());
    const double size = gfx::Font::systemFontSizeForControlSize(field.controlSize());
    txt::Attributes attributes {
        { txt::FontAttributeName, fnd::Value(gfx::Font::systemFontOfSize(size)) },
        { txt::ParagraphStyleAttributeName, fnd::Value(paragraph) },
    };
    if (color)
        attributes.set(txt::ForegroundColorAttributeName, fnd::Value(color));
    field.setAttributedStringValue(std::make_shared<txt::AttributedString>(field.stringValue(), attributes));
}

}
