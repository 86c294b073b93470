#pragma once

#include "platform/ui/controls/PopUpButtonCell.h"

// The cell of the encoding pop-up: the separator and the customise entry at the end of its menu can never become
// the selection.
class ZOREncodingPopUpButtonCell : public ui::PopUpButtonCell {
    UI_CELL_OBJECT(ZOREncodingPopUpButtonCell)

public:
    ZOREncodingPopUpButtonCell() = default;
    // Selects only indexes before the last two items; any other index leaves the selection alone.
    void selectItemAtIndex(long index) override;
};
