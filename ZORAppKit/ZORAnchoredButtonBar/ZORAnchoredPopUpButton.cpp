#include "ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredPopUpButton.h"

#include "ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredButtonBar.h"

#include "AppKitExtensions/ZORNSViewExtension.h"

FND_REGISTER_CLASS(ZORAnchoredPopUpButton, ui::PopUpButton)

void ZORAnchoredPopUpButton::describeClass(fnd::ClassBuilder<ZORAnchoredPopUpButton>& c)
{
    c.property(
        "atLeftEdgeOfBar", &ZORAnchoredPopUpButton::isAtLeftEdgeOfBar, &ZORAnchoredPopUpButton::setAtLeftEdgeOfBar);
    c.property(
        "atRightEdgeOfBar", &ZORAnchoredPopUpButton::isAtRightEdgeOfBar, &ZORAnchoredPopUpButton::setAtRightEdgeOfBar);
}

void ZORAnchoredPopUpButton::init()
{
    PopUpButton::init();
    m_topAndLeftInset = ZORAnchoredButtonBar::wasBorderedBar() ? gfx::Point { 0, 0 } : gfx::Point { 1, 1 };
}

std::shared_ptr<ZORAnchoredPopUpButton> ZORAnchoredPopUpButton::create(gfx::Rect frame, bool pullsDown)
{
    auto button = fnd::makeObject<ZORAnchoredPopUpButton>();
    button->initWithFrame({ frame.origin, { frame.width(), Height } });
    button->setPullsDown(pullsDown);
    return button;
}

std::shared_ptr<ui::Cell> ZORAnchoredPopUpButton::makeCell() const
{
    return fnd::makeObject<ZORAnchoredPopUpButtonCell>();
}

void ZORAnchoredPopUpButton::setFrame(gfx::Rect frame)
{
    PopUpButton::setFrame({ frame.origin, { frame.width(), Height } });
}

void ZORAnchoredPopUpButton::viewDidMoveToSuperview()
{
    PopUpButton::viewDidMoveToSuperview();
    // The inset follows the bar the button is in, not whichever bar was set up last.
    if (auto bar = std::dynamic_pointer_cast<ZORAnchoredButtonBar>(superview()))
        m_topAndLeftInset = bar->isAtBottom() ? gfx::Point { 1, 1 } : gfx::Point { 0, 0 };
}

void ZORAnchoredPopUpButton::mouseDown(const ui::Event& event)
{
    ZORNSViewExtension::zorBringToFront(*this);
    PopUpButton::mouseDown(event);
}
