#pragma once

#include "frameworks/ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredButtonCell.h"

// The cell of a bar-style button that stands alone: a face of its own with lines above and below.
class ZORUnanchoredButtonCell : public ZORAnchoredButtonCell {
    UI_CELL_OBJECT(ZORUnanchoredButtonCell)

public:
    ZORUnanchoredButtonCell() = default;

    void drawBezelWithFrame(gfx::Rect frame, ui::View& controlView) override;
    // The bounds less a point at the top and bottom.
    gfx::Rect highlightRectForBounds(gfx::Rect bounds) const override;
};
