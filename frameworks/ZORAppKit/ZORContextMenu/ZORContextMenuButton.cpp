#include "frameworks/ZORAppKit/ZORContextMenu/ZORContextMenuButton.h"

FND_REGISTER_CLASS(ZORContextMenuButton, ui::Button)

std::shared_ptr<ZORContextMenuButton> ZORContextMenuButton::create(gfx::Rect frame)
{
    auto button = fnd::makeObject<ZORContextMenuButton>();
    button->initWithFrame(frame);
    return button;
}

std::shared_ptr<ui::Cell> ZORContextMenuButton::makeCell() const
{
    return fnd::makeObject<ZORContextMenuButtonCell>();
}
