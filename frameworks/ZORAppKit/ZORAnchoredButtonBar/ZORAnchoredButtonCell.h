#pragma once

#include "frameworks/ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredBarCell.h"

#include "platform/ui/controls/ButtonCell.h"

// The cell of a square button in an anchored button bar: a light grey gradient face with one-pixel edge lines, a
// small dark title with a light shadow, and a dark overlay while pressed. Its look is fixed and its control size is
// always small.
class ZORAnchoredButtonCell : public ZORAnchoredBarCell<ui::ButtonCell> {
    UI_CELL_OBJECT(ZORAnchoredButtonCell)

public:
    ZORAnchoredButtonCell() = default;
    void init();

    void drawBezelWithFrame(gfx::Rect frame, ui::View& controlView) override;
    // One point lower than the platform's.
    gfx::Rect titleRectForBounds(gfx::Rect bounds) const override;
    // The button's image one point lower; the action gear 10 points square.
    void drawImage(const std::shared_ptr<gfx::Image>& image, gfx::Rect frame, ui::View& controlView) override;

    // The look is fixed, as decoding sets it up again: these keep what setUp chose.
    void setButtonType(ui::ButtonType) override { }
    void setBezelStyle(ui::BezelStyle) override { }
    void setBordered(bool) override { }
    void setBezeled(bool) override { }

    bool initWithCoder(fnd::Coder& coder) override;

private:
    // A momentary push-in button with a textured square bezel.
    void setUp();
};
