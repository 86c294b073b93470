#pragma once

#include "platform/foundation/runtime/Selector.h"

#include <optional>
#include <vector>

namespace ui {

class Event;

// The table from key presses to the text commands (moveLeft:, deleteBackward:, insertNewline:, ...) a text view
// performs through doCommandBySelector. The standard table follows this desktop's conventions: Control plays the
// command key's role (word moves with Control and an arrow, select all with Control-A). Keys without a binding are
// typed as text when they carry printable characters and neither Control nor Command.
class KeyBindings {
public:
    struct Binding {
        char16_t key; // the character ignoring modifiers (function keys in the private-use area)
        unsigned modifiers; // Shift, Control, Alternate and Command bits that must be held, and no others
        fnd::Selector selector;
    };

    KeyBindings() = default;
    explicit KeyBindings(std::vector<Binding> bindings)
        : m_bindings(std::move(bindings))
    {
    }
    static const KeyBindings& standard();

    std::optional<fnd::Selector> selectorForKey(char16_t key, unsigned modifierFlags) const;
    std::optional<fnd::Selector> selectorForEvent(const Event& event) const;
    // Adds a binding or replaces the one for the same key and modifiers.
    void setBinding(const Binding& binding);
    const std::vector<Binding>& bindings() const { return m_bindings; }

private:
    std::vector<Binding> m_bindings;
};

}
