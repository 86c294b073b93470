#include "platform/ui/views/KeyBindings.h"

#include "platform/ui/views/Event.h"

#include <algorithm>

namespace ui {

namespace {

constexpr unsigned ShiftKey = ModifierFlags::Shift;
// The desktop's Ctrl key arrives as the command modifier (the backend maps it so), so the bindings people know from
// this desktop's text fields are written with Command.
constexpr unsigned CommandKey = ModifierFlags::Command;
constexpr unsigned AlternateKey = ModifierFlags::Alternate;
constexpr unsigned Relevant
    = ModifierFlags::Shift | ModifierFlags::Control | ModifierFlags::Alternate | ModifierFlags::Command;

constexpr char16_t Backspace = 0x7F;
constexpr char16_t BackspaceControl = 0x08;
constexpr char16_t Return = 0x0D;
constexpr char16_t Enter = 0x03;
constexpr char16_t Tab = 0x09;
constexpr char16_t Backtab = 0x19;
constexpr char16_t Escape = 0x1B;

struct Row {
    char16_t key;
    unsigned modifiers;
    const char* selector;
};

// The standard bindings: the keys of this desktop's text fields (Ctrl with arrows for words and paragraphs,
// Home and End for lines, Ctrl with Home and End for the document), each with Shift to extend the selection.
constexpr Row StandardRows[] = {
    { FunctionKey::LeftArrow, 0, "moveLeft:" },
    { FunctionKey::LeftArrow, ShiftKey, "moveLeftAndModifySelection:" },
    { FunctionKey::LeftArrow, CommandKey, "moveWordLeft:" },
    { FunctionKey::LeftArrow, CommandKey | ShiftKey, "moveWordLeftAndModifySelection:" },
    { FunctionKey::RightArrow, 0, "moveRight:" },
    { FunctionKey::RightArrow, ShiftKey, "moveRightAndModifySelection:" },
    { FunctionKey::RightArrow, CommandKey, "moveWordRight:" },
    { FunctionKey::RightArrow, CommandKey | ShiftKey, "moveWordRightAndModifySelection:" },
    { FunctionKey::UpArrow, 0, "moveUp:" },
    { FunctionKey::UpArrow, ShiftKey, "moveUpAndModifySelection:" },
    { FunctionKey::UpArrow, CommandKey, "moveParagraphBackward:" },
    { FunctionKey::UpArrow, CommandKey | ShiftKey, "moveParagraphBackwardAndModifySelection:" },
    { FunctionKey::DownArrow, 0, "moveDown:" },
    { FunctionKey::DownArrow, ShiftKey, "moveDownAndModifySelection:" },
    { FunctionKey::DownArrow, CommandKey, "moveParagraphForward:" },
    { FunctionKey::DownArrow, CommandKey | ShiftKey, "moveParagraphForwardAndModifySelection:" },
    { FunctionKey::Home, 0, "moveToBeginningOfLine:" },
    { FunctionKey::Home, ShiftKey, "moveToBeginningOfLineAndModifySelection:" },
    { FunctionKey::Home, CommandKey, "moveToBeginningOfDocument:" },
    { FunctionKey::Home, CommandKey | ShiftKey, "moveToBeginningOfDocumentAndModifySelection:" },
    { FunctionKey::End, 0, "moveToEndOfLine:" },
    { FunctionKey::End, ShiftKey, "moveToEndOfLineAndModifySelection:" },
    { FunctionKey::End, CommandKey, "moveToEndOfDocument:" },
    { FunctionKey::End, CommandKey | ShiftKey, "moveToEndOfDocumentAndModifySelection:" },
    { FunctionKey::PageUp, 0, "pageUp:" },
    { FunctionKey::PageUp, ShiftKey, "pageUpAndModifySelection:" },
    { FunctionKey::PageDown, 0, "pageDown:" },
    { FunctionKey::PageDown, ShiftKey, "pageDownAndModifySelection:" },
    { Backspace, 0, "deleteBackward:" },
    { Backspace, ShiftKey, "deleteBackward:" },
    { Backspace, CommandKey, "deleteWordBackward:" },
    { BackspaceControl, 0, "deleteBackward:" },
    { FunctionKey::Delete, 0, "deleteForward:" },
    { FunctionKey::Delete, CommandKey, "deleteWordForward:" },
    { Return, 0, "insertNewline:" },
    { Return, ShiftKey, "insertNewline:" },
    { Return, AlternateKey, "insertNewlineIgnoringFieldEditor:" },
    { Enter, 0, "insertNewline:" },
    { Tab, 0, "insertTab:" },
    { Tab, ShiftKey, "insertBacktab:" },
    { Tab, AlternateKey, "insertTabIgnoringFieldEditor:" },
    { Backtab, 0, "insertBacktab:" },
    { Backtab, ShiftKey, "insertBacktab:" },
    { Escape, 0, "cancelOperation:" },
    { FunctionKey::Menu, 0, "showContextMenu:" },
    { char16_t(FunctionKey::F1 + 9), ShiftKey, "showContextMenu:" },
    { u'a', CommandKey, "selectAll:" },
    { u'c', CommandKey, "copy:" },
    { u'x', CommandKey, "cut:" },
    { u'v', CommandKey, "paste:" },
    { u'v', CommandKey | ShiftKey, "pasteAsPlainText:" },
    { u'z', CommandKey, "undo:" },
    { u'z', CommandKey | ShiftKey, "redo:" },
    { u'y', CommandKey, "redo:" },
};

char16_t lower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

}

const KeyBindings& KeyBindings::standard()
{
    static const KeyBindings table = [] {
        std::vector<Binding> bindings;
        for (const auto& row : StandardRows)
            bindings.push_back({ row.key, row.modifiers, fnd::Selector(row.selector) });
        return KeyBindings(std::move(bindings));
    }();
    return table;
}

std::optional<fnd::Selector> KeyBindings::selectorForKey(char16_t key, unsigned modifierFlags) const
{
    key = lower(key);
    modifierFlags &= Relevant;
    for (const auto& b : m_bindings)
        if (lower(b.key) == key && b.modifiers == modifierFlags)
            return b.selector;
    return std::nullopt;
}

std::optional<fnd::Selector> KeyBindings::selectorForEvent(const Event& event) const
{
    if (!event.isKeyEvent())
        return std::nullopt;
    const auto& characters = event.charactersIgnoringModifiers();
    if (characters.length() != 1)
        return std::nullopt;
    return selectorForKey(characters.units()[0], event.modifierFlags());
}

void KeyBindings::setBinding(const Binding& binding)
{
    auto at = std::find_if(m_bindings.begin(), m_bindings.end(), [&](const Binding& b) {
        return lower(b.key) == lower(binding.key) && b.modifiers == (binding.modifiers & Relevant);
    });
    if (at != m_bindings.end())
        *at = binding;
    else
        m_bindings.push_back(binding);
}

}
