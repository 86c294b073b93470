#include "frameworks/KRScoreBar/KRPopUpButtonCell.h"

#include "platform/graphics/Font.h"
#include "platform/graphics/Shadow.h"
#include "platform/text/AttributedString.h"
#include "platform/text/Attributes.h"
#include "platform/text/ParagraphStyle.h"

FND_REGISTER_CLASS(KRPopUpButtonCell, ui::PopUpButtonCell)

gfx::Rect KRPopUpButtonCell::drawTitle(const txt::AttributedString& title, gfx::Rect frame, ui::View& controlView)
{
    auto shadow = std::make_shared<gfx::Shadow>();
    shadow->setShadowColor(gfx::Color::colorWithDeviceWhite(0.2, 1.0));
    shadow->setShadowOffset({ 0, -0.5 });
    txt::Attributes attributes;
    attributes.set(txt::FontAttributeName, fnd::Value(gfx::Font::boldSystemFontOfSize(11.0)));
    attributes.set(txt::ForegroundColorAttributeName, fnd::Value(gfx::Color::whiteColor()));
    attributes.set(txt::ShadowAttributeName, fnd::Value(shadow));
    if (auto style = title.length() > 0 ? title.attributeAtIndex(txt::ParagraphStyleAttributeName, 0) : fnd::Value();
        !style.isNil())
        attributes.set(txt::ParagraphStyleAttributeName, style);
    // One point up, towards the top of the face.
    frame.origin.y += controlView.isFlipped() ? -1 : 1;
    return ui::PopUpButtonCell::drawTitle(txt::AttributedString(title.string(), attributes), frame, controlView);
}
