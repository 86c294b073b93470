#pragma once

#include "frameworks/ZORAppKit/ZORPopUpButton/ZORPopUpButtonCell.h"

#include "platform/ui/controls/PopUpButton.h"

// A pop-up button whose title lines up with its menu's text (ZORPopUpButtonCell).
class ZORPopUpButton : public ui::PopUpButton {
    FND_OBJECT(ZORPopUpButton)

public:
    ZORPopUpButton() = default;
    static std::shared_ptr<ZORPopUpButton> create(gfx::Rect frame = {}, bool pullsDown = false);
    std::shared_ptr<ui::Cell> makeCell() const override;
};
