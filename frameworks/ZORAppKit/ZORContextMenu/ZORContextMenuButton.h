#pragma once

#include "frameworks/ZORAppKit/ZORContextMenu/ZORContextMenuButtonCell.h"

#include "platform/ui/controls/Button.h"

// A mini square action button (ZORContextMenuButtonCell).
class ZORContextMenuButton : public ui::Button {
    FND_OBJECT(ZORContextMenuButton)

public:
    ZORContextMenuButton() = default;
    static std::shared_ptr<ZORContextMenuButton> create(gfx::Rect frame = {});
    std::shared_ptr<ui::Cell> makeCell() const override;
};
