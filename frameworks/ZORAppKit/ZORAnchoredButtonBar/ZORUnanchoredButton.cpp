#include "frameworks/ZORAppKit/ZORAnchoredButtonBar/ZORUnanchoredButton.h"

FND_REGISTER_CLASS(ZORUnanchoredButton, ui::Button)
FND_REGISTER_CLASS(ZORUnanchoredButtonContainer, ui::View)

std::shared_ptr<ZORUnanchoredButton> ZORUnanchoredButton::create(gfx::Rect frame, const fnd::String& title)
{
    auto button = ui::makeView<ZORUnanchoredButton>({ frame.origin, { frame.width(), Height } });
    button->setTitle(title);
    return button;
}

std::shared_ptr<ui::Cell> ZORUnanchoredButton::makeCell() const
{
    return fnd::makeObject<ZORUnanchoredButtonCell>();
}

void ZORUnanchoredButtonContainer::awakeFromNib()
{
    View::awakeFromNib();
    for (const auto& subview : subviews())
        subview->setFrameSize({ subview->frame().width(), ZORUnanchoredButton::Height });
}
