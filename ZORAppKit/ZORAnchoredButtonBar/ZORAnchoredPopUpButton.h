#pragma once

#include "ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredBarEdges.h"
#include "ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredPopUpButtonCell.h"

#include "platform/ui/PopUpButton.h"

// A pop-up or pull-down button for an anchored button bar, always 24 points high. A press brings it to the front of
// its siblings.
class ZORAnchoredPopUpButton : public ui::PopUpButton, public ZORAnchoredBarEdges {
    FND_OBJECT(ZORAnchoredPopUpButton)
    static void describeClass(fnd::ClassBuilder<ZORAnchoredPopUpButton>& c);

public:
    static constexpr double Height = 24;

    ZORAnchoredPopUpButton() = default;
    void init();
    static std::shared_ptr<ZORAnchoredPopUpButton> create(gfx::Rect frame = {}, bool pullsDown = false);
    std::shared_ptr<ui::Cell> makeCell() const override;

    // Kept for whoever lays the buttons out: (0, 0) in a bar at the top, else (1, 1).
    gfx::Point topAndLeftInset() const { return m_topAndLeftInset; }
    bool isAtLeftEdgeOfBar() const override { return m_isAtLeftEdgeOfBar; }
    void setAtLeftEdgeOfBar(bool flag) override { m_isAtLeftEdgeOfBar = flag; }
    bool isAtRightEdgeOfBar() const override { return m_isAtRightEdgeOfBar; }
    void setAtRightEdgeOfBar(bool flag) override { m_isAtRightEdgeOfBar = flag; }

    void setFrame(gfx::Rect frame) override;
    void viewDidMoveToSuperview() override;
    void mouseDown(const ui::Event& event) override;

private:
    gfx::Point m_topAndLeftInset { 1, 1 };
    bool m_isAtLeftEdgeOfBar { false };
    bool m_isAtRightEdgeOfBar { false };
};
