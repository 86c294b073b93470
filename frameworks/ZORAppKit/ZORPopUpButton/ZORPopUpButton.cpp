#include "frameworks/ZORAppKit/ZORPopUpButton/ZORPopUpButton.h"

FND_REGISTER_CLASS(ZORPopUpButton, ui::PopUpButton)

std::shared_ptr<ZORPopUpButton> ZORPopUpButton::create(gfx::Rect frame, bool pullsDown)
{
    auto button = ui::makeView<ZORPopUpButton>(frame);
    button->setPullsDown(pullsDown);
    return button;
}

std::shared_ptr<ui::Cell> ZORPopUpButton::makeCell() const
{
    return fnd::makeObject<ZORPopUpButtonCell>();
}
