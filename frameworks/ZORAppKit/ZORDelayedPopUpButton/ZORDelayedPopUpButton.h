#pragma once

#include "frameworks/ZORAppKit/ZORDelayedPopUpButton/ZORDelayedPopUpButtonCell.h"

#include "platform/ui/controls/Button.h"

// A button that shows its cell's menu when held (ZORDelayedPopUpButtonCell).
class ZORDelayedPopUpButton : public ui::Button {
    FND_OBJECT(ZORDelayedPopUpButton)

public:
    ZORDelayedPopUpButton() = default;
    static std::shared_ptr<ZORDelayedPopUpButton> create(gfx::Rect frame = {});
    // A cell of another class is replaced by a delayed pop-up cell with the same title.
    void initWithFrame(gfx::Rect frame) override;
    std::shared_ptr<ui::Cell> makeCell() const override;
    std::shared_ptr<ZORDelayedPopUpButtonCell> delayedCell() const
    {
        return std::dynamic_pointer_cast<ZORDelayedPopUpButtonCell>(cell());
    }

private:
    static std::shared_ptr<ZORDelayedPopUpButtonCell> makeDelayedCell(const fnd::String& title);
};
