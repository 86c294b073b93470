#pragma once

#include "frameworks/ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredBarCell.h"

#include "platform/ui/controls/PopUpButtonCell.h"

// The cell of a pop-up or pull-down button in an anchored button bar: the bar buttons' face, with a small tinted
// arrow at the right (a mirrored pair for a pop-up). Its control size is always small.
class ZORAnchoredPopUpButtonCell : public ZORAnchoredBarCell<ui::PopUpButtonCell> {
    UI_CELL_OBJECT(ZORAnchoredPopUpButtonCell)

public:
    ZORAnchoredPopUpButtonCell() = default;
    void init();
    void initTextCell(const fnd::String& title, bool pullsDown = false);

    void drawBorderAndBackgroundWithFrame(gfx::Rect cellFrame, ui::View& controlView) override;
    // The arrow image tinted with the image colour, 11 points in from the right, with the text shadow: pointing
    // down for a pull-down, a pair pointing apart, a point between them, for a pop-up.
    void drawArrowInFrame(gfx::Rect frame);
    // One point higher than the platform's and 3 points narrower on each side.
    gfx::Rect titleRectForBounds(gfx::Rect bounds) const override;
    // One point to the right of the platform's, and a point wider for an image wider than it.
    gfx::Rect imageRectForBounds(gfx::Rect bounds) const override;
    // The image upright; the action gear 10 points square.
    void drawImage(const std::shared_ptr<gfx::Image>& image, gfx::Rect frame, ui::View& controlView) override;

    bool initWithCoder(fnd::Coder& coder) override;
};
