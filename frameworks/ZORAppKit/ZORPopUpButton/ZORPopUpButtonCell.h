#pragma once

#include "platform/ui/controls/PopUpButtonCell.h"

// A pop-up button cell whose title lines up with the text of its open menu: the title rectangle starts 2 points
// further left and is 6 points wider (10 without a border), shifted back for an image beside the title.
class ZORPopUpButtonCell : public ui::PopUpButtonCell {
    UI_CELL_OBJECT(ZORPopUpButtonCell)

public:
    ZORPopUpButtonCell() = default;
    gfx::Rect titleRectForBounds(gfx::Rect bounds) const override;
};
