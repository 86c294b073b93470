#include "frameworks/KRScoreBar/KRButtonCell.h"

#include "platform/graphics/Font.h"
#include "platform/graphics/Shadow.h"
#include "platform/text/AttributedString.h"
#include "platform/text/Attributes.h"
#include "platform/text/ParagraphStyle.h"

FND_REGISTER_CLASS(KRButtonCell, ui::ButtonCell)

void KRButtonCell::setState(ui::ControlStateValue state)
{
    ui::ButtonCell::setState(state);
    m_selected = state == ui::ControlStateValue::On;
}

void KRButtonCell::mouseEntered(const ui::Event& event)
{
    m_mouseOver = true;
    ui::ButtonCell::mouseEntered(event);
}

void KRButtonCell::mouseExited(const ui::Event& event)
{
    m_mouseOver = false;
    ui::ButtonCell::mouseExited(event);
}

gfx::Rect KRButtonCell::drawTitle(const txt::AttributedString& title, gfx::Rect frame, ui::View& controlView)
{
    const bool lit = m_selected || m_mouseOver;
    auto shadow = std::make_shared<gfx::Shadow>();
    shadow->setShadowColor(lit ? gfx::Color::colorWithDeviceWhite(0.2, 1.0) : gfx::Color::whiteColor());
    shadow->setShadowOffset(lit ? gfx::Size { 0, -0.5 } : gfx::Size { 0, -1 });
    txt::Attributes attributes;
    attributes.set(txt::FontAttributeName, fnd::Value(gfx::Font::boldSystemFontOfSize(11.0)));
    attributes.set(txt::ForegroundColorAttributeName,
        fnd::Value(lit ? gfx::Color::whiteColor() : gfx::Color::colorWithDeviceWhite(0.25)));
    attributes.set(txt::ShadowAttributeName, fnd::Value(shadow));
    if (auto style = title.length() > 0 ? title.attributeAtIndex(txt::ParagraphStyleAttributeName, 0) : fnd::Value();
        !style.isNil())
        attributes.set(txt::ParagraphStyleAttributeName, style);
    return ui::ButtonCell::drawTitle(txt::AttributedString(title.string(), attributes), frame, controlView);
}
