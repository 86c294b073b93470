#pragma once

#include "ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredBarEdges.h"
#include "ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredButtonCell.h"

#include "platform/ui/Button.h"

// A square button for an anchored button bar, always 24 points high. A press brings it to the front of its
// siblings, so that its edge lines lie over its neighbours'.
class ZORAnchoredButton : public ui::Button, public ZORAnchoredBarEdges {
    FND_OBJECT(ZORAnchoredButton)
    static void describeClass(fnd::ClassBuilder<ZORAnchoredButton>& c);

public:
    static constexpr double Height = 24;

    ZORAnchoredButton() = default;
    void init();
    static std::shared_ptr<ZORAnchoredButton> create(gfx::Rect frame = {}, const fnd::String& title = {});
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
