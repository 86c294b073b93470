#pragma once

#include "frameworks/ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredButtonLook.h"

#include "platform/ui/controls/Cell.h"
#include "platform/ui/views/View.h"

// What the cells of the bar-style buttons share, over the platform cell class they extend: a control size that stays
// small, the dark overlay while pressed, and the bar's text and image colours.
template <typename Cell> class ZORAnchoredBarCell : public Cell {
public:
    // Stays small.
    void setControlSize(ui::ControlSize) override { }

    void drawWithFrame(gfx::Rect cellFrame, ui::View& controlView) override
    {
        Cell::drawWithFrame(cellFrame, controlView);
        if (this->isHighlighted())
            ZORAnchoredButtonLook::drawPressedOverlay(highlightRectForBounds(cellFrame));
    }
    // What the pressed overlay covers.
    virtual gfx::Rect highlightRectForBounds(gfx::Rect bounds) const { return bounds; }

    gfx::ColorPtr textColor() const
    {
        const auto& p = ZORAnchoredButtonLook::anchored();
        return this->isEnabled() ? p.textColor : p.disabledTextColor;
    }
    gfx::ColorPtr imageColor() const
    {
        const auto& p = ZORAnchoredButtonLook::anchored();
        return this->isEnabled() ? p.imageColor : p.disabledImageColor;
    }

protected:
    fnd::Dictionary titleAttributes() const override
    {
        return ZORAnchoredButtonLook::textAttributes(Cell::titleAttributes(), textColor());
    }
};
