// Drawing the tab bar view: each part is offered to the style first.

#include "frameworks/QFTabBarView/QFTabBarView.h"

#include "frameworks/QFTabBarView/QFAttachedTabBarButton.h"
#include "frameworks/QFTabBarView/QFOverflowPopUpButton.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/text/AttributedString.h"
#include "platform/text/Attributes.h"
#include "platform/text/ParagraphStyle.h"

void QFTabBarView::drawRect(gfx::Rect dirtyRect)
{
    if (m_style && m_style->drawTabBarView(*this, dirtyRect))
        return;
    drawBezelInRect(dirtyRect);
    if (frame().height() >= 2.0) {
        drawButtonBezelsInRect(dirtyRect);
        drawInteriorInRect(dirtyRect);
    }
}

void QFTabBarView::drawBezelInRect(gfx::Rect rect)
{
    if (m_style)
        m_style->drawBezelOfTabBarView(*this, rect);
}

void QFTabBarView::drawButtonBezelsInRect(gfx::Rect rect)
{
    if (m_style && m_style->drawButtonBezelsOfTabBarView(*this, rect))
        return;
    auto buttons = orderedAttachedButtons();
    long selected = fnd::NotFound;
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i]->state() == ui::ControlStateValue::On) {
            selected = long(i);
            break;
        }
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        gfx::GraphicsStateGuard guard;
        drawBezelOfButton(*buttons[i], long(i), buttons, selected, rect);
    }
    if (isOverflowButtonVisible())
        drawBezelOfOverflowButton(*m_overflowPopUpButton, rect);
}

void QFTabBarView::drawBezelOfButton(QFAttachedTabBarButton& button, long index,
    const std::vector<std::shared_ptr<QFAttachedTabBarButton>>& buttons, long selectedIndex, gfx::Rect rect)
{
    if (m_style)
        m_style->drawBezelOfButton(button, index, buttons, selectedIndex, *this, rect);
}

void QFTabBarView::drawBezelOfOverflowButton(QFOverflowPopUpButton& button, gfx::Rect rect)
{
    if (m_style)
        m_style->drawBezelOfOverflowButton(button, *this, rect);
}

void QFTabBarView::drawInteriorInRect(gfx::Rect rect)
{
    if (m_style && m_style->drawInteriorOfTabBarView(*this, rect))
        return;
    if (tabView())
        return;
    auto paragraph = txt::ParagraphStyle::defaultParagraphStyle()->mutableCopy();
    paragraph->setAlignment(txt::TextAlignment::Center);
    txt::AttributedString text("QFTabBarView",
        { { txt::FontAttributeName, fnd::Value(gfx::Font::systemFontOfSize(11.0)) },
            { txt::ParagraphStyleAttributeName, fnd::Value(paragraph) } });
    text.drawInRect({ rect.minX(), rect.minY() + 4.0, rect.width(), rect.height() - 4.0 });
}
