#pragma once

#include "frameworks/ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredPopUpButtonCell.h"
#include "frameworks/ZORAppKit/ZORAnchoredButtonBar/ZORBarStyleButton.h"

#include "platform/ui/controls/PopUpButton.h"

// A pop-up or pull-down button for an anchored button bar, always 24 points high. A press brings it to the front of
// its siblings.
class ZORAnchoredPopUpButton : public ZORAnchoredBarButton<ui::PopUpButton> {
    FND_OBJECT(ZORAnchoredPopUpButton)

public:
    ZORAnchoredPopUpButton() = default;
    static std::shared_ptr<ZORAnchoredPopUpButton> create(gfx::Rect frame = {}, bool pullsDown = false);
    std::shared_ptr<ui::Cell> makeCell() const override;
};
