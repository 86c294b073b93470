#pragma once

#include "frameworks/ZORAppKit/ZORThemedControls/ZORTButtonCell.h"

#include "platform/ui/controls/Button.h"

// A button with a themed button cell. The setters pass their value to the cell and do nothing else (no redisplay).
class ZORTButton : public ui::Button {
    FND_OBJECT(ZORTButton)
    static void describeClass(fnd::ClassBuilder<ZORTButton>& c);

public:
    ZORTButton() = default;
    static std::shared_ptr<ZORTButton> create(gfx::Rect frame = {}, const fnd::String& title = "Button");

    std::shared_ptr<ui::Cell> makeCell() const override;
    std::shared_ptr<ZORTButtonCell> themedCell() const { return std::dynamic_pointer_cast<ZORTButtonCell>(cell()); }

    fnd::String themeKey() const;
    void setThemeKey(const fnd::String& key);
    void setHighlightBackgroundMode(std::uint64_t mode);
    void setStateBackgroundMode(std::uint64_t mode);
    void setBorderSideMask(std::uint64_t mask);
};
