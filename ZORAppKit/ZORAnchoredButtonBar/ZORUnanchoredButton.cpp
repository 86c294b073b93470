#include "ZORAppKit/ZORAnchoredButtonBar/ZORUnanchoredButton.h"

#include "ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredButtonBar.h"

#include "AppKitExtensions/ZORNSViewExtension.h"

FND_REGISTER_CLASS(ZORUnanchoredButton, ui::Button)
FND_REGISTER_CLASS(ZORUnanchoredButtonContainer, ui::View)

void ZORUnanchoredButton::init()
{
    Button::init();
    m_topAndLeftInset = ZORAnchoredButtonBar::wasBorderedBar() ? gfx::Point { 0, 0 } : gfx::Point { 1, 1 };
}

std::shared_ptr<ZORUnanchoredButton> ZORUnanchoredButton::create(gfx::Rect frame, const fnd::String& title)
{
    auto button = fnd::makeObject<ZORUnanchoredButton>();
    button->initWithFrame({ frame.origin, { frame.width(), Height } });
    button->setTitle(title);
    return button;
}

std::shared_ptr<ui::Cell> ZORUnanchoredButton::makeCell() const
{
    return fnd::makeObject<ZORUnanchoredButtonCell>();
}

void ZORUnanchoredButton::setFrame(gfx::Rect frame)
{
    Button::setFrame({ frame.origin, { frame.width(), Height } });
}

void ZORUnanchoredButton::mouseDown(const ui::Event& event)
{
    ZORNSViewExtension::zorBringToFront(*this);
    Button::mouseDown(event);
}

void ZORUnanchoredButtonContainer::awakeFromNib()
{
    View::awakeFromNib();
    for (const auto& subview : subviews())
        subview->setFrameSize({ subview->frame().width(), ZORUnanchoredButton::Height });
}
