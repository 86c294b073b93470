#pragma once

#include "frameworks/ZORAppKit/ZORThemedControls/ZORTPopUpButtonCell.h"

#include "platform/ui/controls/PopUpButton.h"

// A pop-up button with a themed pop-up cell. The setters pass their value to the cell and do nothing else (no
// redisplay).
class ZORTPopUpButton : public ui::PopUpButton {
    FND_OBJECT(ZORTPopUpButton)
    static void describeClass(fnd::ClassBuilder<ZORTPopUpButton>& c);

public:
    ZORTPopUpButton() = default;
    static std::shared_ptr<ZORTPopUpButton> create(gfx::Rect frame = {}, bool pullsDown = false);

    std::shared_ptr<ui::Cell> makeCell() const override;
    std::shared_ptr<ZORTPopUpButtonCell> themedCell() const
    {
        return std::dynamic_pointer_cast<ZORTPopUpButtonCell>(cell());
    }

    fnd::String themeKey() const;
    void setThemeKey(const fnd::String& key);
    void setHighlightBackgroundMode(std::uint64_t mode);
    void setBorderSideMask(std::uint64_t mask);
};
