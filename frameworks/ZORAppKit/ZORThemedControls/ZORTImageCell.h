#pragma once

#include "frameworks/ZORAppKit/ZORThemedControls/ZORThemedObject.h"

#include "platform/ui/controls/ImageCell.h"

// An image cell that draws its image over the whole cell frame at the theme's alpha for its background style and
// state (faint when disabled). Without a theme it draws as the platform's image cell.
class ZORTImageCell : public ui::ImageCell, public ZORThemedObject {
    UI_CELL_OBJECT(ZORTImageCell)
    static void describeClass(fnd::ClassBuilder<ZORTImageCell>& c);

public:
    ZORTImageCell() = default;

    void drawInteriorWithFrame(gfx::Rect cellFrame, ui::View& controlView) override;

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;
};
