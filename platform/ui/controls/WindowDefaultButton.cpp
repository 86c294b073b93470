// The window's default and cancel buttons: the button cells that Return and Escape press. They live with the buttons,
// which the window's own layer does not know.
#include "platform/ui/views/Window.h"

#include "platform/ui/controls/ButtonCell.h"
#include "platform/ui/controls/Control.h"

namespace ui {

void Window::setDefaultButtonCell(const std::shared_ptr<ButtonCell>& cell)
{
    auto old = m_defaultButtonCell.lock();
    if (old == cell)
        return;
    if (old && old->keyEquivalent() == u"\r")
        old->setKeyEquivalent({});
    m_defaultButtonCell = cell;
    if (cell)
        cell->setKeyEquivalent(u"\r");
}

View* Window::defaultButtonView() const
{
    auto cell = defaultButtonCell();
    return cell ? cell->controlView().get() : nullptr;
}

bool Window::cancelOperation(const fnd::Value&)
{
    auto self = shared_from_this();
    if (auto cell = cancelButtonCell(); cell && cell->isEnabled()) {
        if (auto button = std::dynamic_pointer_cast<Control>(cell->controlView()))
            button->performClick();
        return true;
    }
    if (closesOnEscape()) {
        performClose();
        return true;
    }
    return false;
}

}
