#include "ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredButton.h"

#include "ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredButtonBar.h"

#include "AppKitExtensions/ZORNSViewExtension.h"

FND_REGISTER_CLASS(ZORAnchoredButton, ui::Button)

void ZORAnchoredButton::describeClass(fnd::ClassBuilder<ZORAnchoredButton>& c)
{
    c.property("atLeftEdgeOfBar", &ZORAnchoredButton::isAtLeftEdgeOfBar, &ZORAnchoredButton::setAtLeftEdgeOfBar);
    c.property("atRightEdgeOfBar", &ZORAnchoredButton::isAtRightEdgeOfBar, &ZORAnchoredButton::setAtRightEdgeOfBar);
}

void ZORAnchoredButton::init()
{
    Button::init();
    m_topAndLeftInset = ZORAnchoredButtonBar::wasBorderedBar() ? gfx::Point { 0, 0 } : gfx::Point { 1, 1 };
}

std::shared_ptr<ZORAnchoredButton> ZORAnchoredButton::create(gfx::Rect frame, const fnd::String& title)
{
    auto button = fnd::makeObject<ZORAnchoredButton>();
    button->initWithFrame({ frame.origin, { frame.width(), Height } });
    button->setTitle(title);
    return button;
}

std::shared_ptr<ui::Cell> ZORAnchoredButton::makeCell() const
{
    return fnd::makeObject<ZORAnchoredButtonCell>();
}

void ZORAnchoredButton::setFrame(gfx::Rect frame)
{
    Button::setFrame({ frame.origin, { frame.width(), Height } });
}

void ZORAnchoredButton::viewDidMoveToSuperview()
{
    Button::viewDidMoveToSuperview();
    // The inset follows the bar the button is in, not whichever bar was set up last.
    if (auto bar = std::dynamic_pointer_cast<ZORAnchoredButtonBar>(superview()))
        m_topAndLeftInset = bar->isAtBottom() ? gfx::Point { 1, 1 } : gfx::Point { 0, 0 };
}

void ZORAnchoredButton::mouseDown(const ui::Event& event)
{
    ZORNSViewExtension::zorBringToFront(*this);
    Button::mouseDown(event);
}
