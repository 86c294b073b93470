#include "frameworks/ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredPopUpButton.h"

FND_REGISTER_CLASS(ZORAnchoredPopUpButton, ui::PopUpButton)

std::shared_ptr<ZORAnchoredPopUpButton> ZORAnchoredPopUpButton::create(gfx::Rect frame, bool pullsDown)
{
    auto button = ui::makeView<ZORAnchoredPopUpButton>({ frame.origin, { frame.width(), Height } });
    button->setPullsDown(pullsDown);
    return button;
}

std::shared_ptr<ui::Cell> ZORAnchoredPopUpButton::makeCell() const
{
    return fnd::makeObject<ZORAnchoredPopUpButtonCell>();
}
