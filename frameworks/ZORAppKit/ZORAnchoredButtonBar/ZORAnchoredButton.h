#pragma once

#include "frameworks/ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredButtonCell.h"
#include "frameworks/ZORAppKit/ZORAnchoredButtonBar/ZORBarStyleButton.h"

#include "platform/ui/controls/Button.h"

// A square button for an anchored button bar, always 24 points high. A press brings it to the front of its
// siblings, so that its edge lines lie over its neighbours'.
class ZORAnchoredButton : public ZORAnchoredBarButton<ui::Button> {
    FND_OBJECT(ZORAnchoredButton)

public:
    ZORAnchoredButton() = default;
    static std::shared_ptr<ZORAnchoredButton> create(gfx::Rect frame = {}, const fnd::String& title = {});
    std::shared_ptr<ui::Cell> makeCell() const override;
};
