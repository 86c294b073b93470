#pragma once

#include "frameworks/ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredBarEdges.h"
#include "frameworks/ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredButtonBar.h"

#include "frameworks/AppKitExtensions/ZORNSViewExtension.h"

#include "platform/foundation/runtime/ClassBuilder.h"
#include "platform/ui/views/Event.h"

#include <memory>

// What the bar-style buttons share, over the platform button class they extend: a fixed height, the inset kept for
// whoever lays the buttons out ((0, 0) after a bar at the top was set up, else (1, 1)), and a press that brings the
// button to the front of its siblings, so that its edge lines lie over its neighbours'.
template <typename Button, double FixedHeight> class ZORBarStyleButton : public Button {
public:
    static constexpr double Height = FixedHeight;

    void init()
    {
        Button::init();
        m_topAndLeftInset = ZORAnchoredButtonBar::wasBorderedBar() ? gfx::Point { 0, 0 } : gfx::Point { 1, 1 };
    }

    gfx::Point topAndLeftInset() const { return m_topAndLeftInset; }

    void setFrame(gfx::Rect frame) override { Button::setFrame({ frame.origin, { frame.width(), Height } }); }
    void mouseDown(const ui::Event& event) override
    {
        ZORNSViewExtension::zorBringToFront(*this);
        Button::mouseDown(event);
    }

protected:
    gfx::Point m_topAndLeftInset { 1, 1 };
};

// A bar-style button 24 points high for an anchored button bar: it keeps the edge flags the bar sets, and its inset
// follows the bar it is in ((0, 0) in a bar at the top, else (1, 1)).
template <typename Button>
class ZORAnchoredBarButton : public ZORBarStyleButton<Button, 24.0>, public ZORAnchoredBarEdges {
public:
    // The edge flags as keys; the registry calls this for each anchored button class.
    template <typename Class> static void describeClass(fnd::ClassBuilder<Class>& c)
    {
        c.property("atLeftEdgeOfBar", &Class::isAtLeftEdgeOfBar, &Class::setAtLeftEdgeOfBar);
        c.property("atRightEdgeOfBar", &Class::isAtRightEdgeOfBar, &Class::setAtRightEdgeOfBar);
    }

    bool isAtLeftEdgeOfBar() const override { return m_isAtLeftEdgeOfBar; }
    void setAtLeftEdgeOfBar(bool flag) override { m_isAtLeftEdgeOfBar = flag; }
    bool isAtRightEdgeOfBar() const override { return m_isAtRightEdgeOfBar; }
    void setAtRightEdgeOfBar(bool flag) override { m_isAtRightEdgeOfBar = flag; }

    void viewDidMoveToSuperview() override
    {
        Button::viewDidMoveToSuperview();
        // The inset follows the bar the button is in, not whichever bar was set up last.
        if (auto bar = std::dynamic_pointer_cast<ZORAnchoredButtonBar>(this->superview()))
            this->m_topAndLeftInset = bar->isAtBottom() ? gfx::Point { 1, 1 } : gfx::Point { 0, 0 };
    }

private:
    bool m_isAtLeftEdgeOfBar { false };
    bool m_isAtRightEdgeOfBar { false };
};
