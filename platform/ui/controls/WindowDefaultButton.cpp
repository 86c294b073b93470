// The window's default button: the button cell that Return presses. It lives with the buttons, which the window's
// own layer does not know.
#include "platform/ui/views/Window.h"

#include "platform/ui/controls/ButtonCell.h"

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

}
