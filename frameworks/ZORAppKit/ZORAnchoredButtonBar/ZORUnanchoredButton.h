#pragma once

#include "frameworks/ZORAppKit/ZORAnchoredButtonBar/ZORBarStyleButton.h"
#include "frameworks/ZORAppKit/ZORAnchoredButtonBar/ZORUnanchoredButtonCell.h"

#include "platform/ui/controls/Button.h"
#include "platform/ui/views/View.h"

// A bar-style button standing alone, always 22 points high. A press brings it to the front of its siblings.
class ZORUnanchoredButton : public ZORBarStyleButton<ui::Button, 22.0> {
    FND_OBJECT(ZORUnanchoredButton)

public:
    ZORUnanchoredButton() = default;
    static std::shared_ptr<ZORUnanchoredButton> create(gfx::Rect frame = {}, const fnd::String& title = {});
    std::shared_ptr<ui::Cell> makeCell() const override;
};

// Holds free-standing buttons: once loaded, each subview is 22 points high.
class ZORUnanchoredButtonContainer : public ui::View {
    FND_OBJECT(ZORUnanchoredButtonContainer)

public:
    ZORUnanchoredButtonContainer() = default;
    void awakeFromNib() override;
};
