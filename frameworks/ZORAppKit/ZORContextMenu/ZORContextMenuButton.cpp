#include "frameworks/ZORAppKit/ZORContextMenu/ZORContextMenuButton.h"

FND_REGISTER_CLASS(ZORContextMenuButton, ui::Button)

std::shared_ptr<ZORContextMenuButton> ZORContextMenuButton::create(gfx::Rect frame)
{
    return ui::makeView<ZORContextMenuButton>(frame);
}

std::shared_ptr<ui::Cell> ZORContextMenuButton::makeCell() const
{
    return fnd::makeObject<ZORContextMenuButtonCell>();
}
