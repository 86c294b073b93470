#pragma once

#include "ZORAppKit/ZORAnchoredButtonBar/ZORUnanchoredButtonCell.h"

#include "platform/ui/Button.h"
#include "platform/ui/View.h"

// A bar-style button standing alone, always 22 points high. A press brings it to the front of its siblings.
class ZORUnanchoredButton : public ui::Button {
    FND_OBJECT(ZORUnanchoredButton)

public:
    static constexpr double Height = 22;

    ZORUnanchoredButton() = default;
    void init();
    static std::shared_ptr<ZORUnanchoredButton> create(gfx::Rect frame = {}, const fnd::String& title = {});
    std::shared_ptr<ui::Cell> makeCell() const override;

    // Kept for whoever lays the buttons out: (0, 0) after a bar at the top was set up, else (1, 1).
    gfx::Point topAndLeftInset() const { return m_topAndLeftInset; }

    void setFrame(gfx::Rect frame) override;
    void mouseDown(const ui::Event& event) override;

private:
    gfx::Point m_topAndLeftInset { 1, 1 };
};

// Holds free-standing buttons: once loaded, each subview is 22 points high.
class ZORUnanchoredButtonContainer : public ui::View {
    FND_OBJECT(ZORUnanchoredButtonContainer)

public:
    ZORUnanchoredButtonContainer() = default;
    void awakeFromNib() override;
};
