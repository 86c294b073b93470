#pragma once

#include "platform/ui/controls/PopUpButtonCell.h"

// The overflow pull-down at a scope bar's right end: an image-only, borderless pull-down whose size is its first
// item's image widened by 12 (nothing without an image).
class KROverflowPullDownCell : public ui::PopUpButtonCell {
    UI_CELL_OBJECT(KROverflowPullDownCell)

public:
    static constexpr double ImageWidening = 12;
    KROverflowPullDownCell() = default;
    // Always a pull-down, whatever pullsDown says.
    void initTextCell(const fnd::String& title, bool pullsDown = true);
    gfx::Size cellSizeForBounds(gfx::Rect bounds) const override;
    void drawWithFrame(gfx::Rect cellFrame, ui::View& controlView) override;
};
