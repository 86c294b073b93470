// The parts of a control's bindings that only a text field's cell has: the placeholder shown for a selection
// marker or a nil value. A part of Control, kept with the text fields it is about.

#include "platform/ui/controls/Control.h"

#include "platform/ui/text/TextFieldCell.h"

namespace ui {

bool Control::cellTakesPlaceholders() const
{
    return std::dynamic_pointer_cast<TextFieldCell>(m_cell) != nullptr;
}

void Control::setPlaceholderForBinding(const std::optional<fnd::String>& placeholder)
{
    auto cell = std::dynamic_pointer_cast<TextFieldCell>(m_cell);
    if (!cell)
        return;
    if (placeholder) {
        // The field's own placeholder comes back when the binding shows a value again.
        if (!m_boundDisplay.ownPlaceholder)
            m_boundDisplay.ownPlaceholder = cell->placeholderString();
        cell->setPlaceholderString(*placeholder);
    } else if (m_boundDisplay.ownPlaceholder) {
        cell->setPlaceholderString(*m_boundDisplay.ownPlaceholder);
        m_boundDisplay.ownPlaceholder.reset();
    }
    setNeedsDisplay(true);
}

}
