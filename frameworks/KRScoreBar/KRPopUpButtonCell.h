#pragma once

#include "platform/ui/controls/PopUpButtonCell.h"

// The pop-up of a collapsed scope bar group: a white, shadowed bold title.
class KRPopUpButtonCell : public ui::PopUpButtonCell {
    UI_CELL_OBJECT(KRPopUpButtonCell)

public:
    KRPopUpButtonCell() = default;
    gfx::Rect drawTitle(const txt::AttributedString& title, gfx::Rect frame, ui::View& controlView) override;
};
