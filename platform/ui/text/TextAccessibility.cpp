// How text views and text fields answer assistive technologies: their text, selection and caret.

#include "platform/ui/accessibility/AccessibilityText.h"
#include "platform/ui/text/ComboBox.h"
#include "platform/ui/text/SecureTextField.h"
#include "platform/ui/text/TextField.h"
#include "platform/ui/text/TextView.h"

#include <algorithm>
#include <string>

namespace ui {

namespace Attr = AccessibilityAttribute;
using Key = AccessibilityAttributeKey;

namespace {

detail::AccessibilityTextState textAccessibilityStateOf(const TextView& view)
{
    detail::AccessibilityTextState state;
    state.text = view.string();
    state.selection = view.selectedRange();
    const TextView* editor = &view;
    state.boundsOnScreen = [editor](fnd::Range range) -> std::optional<gfx::Rect> {
        if (!editor->window())
            return std::nullopt;
        return editor->firstRectForCharacterRange(range, nullptr);
    };
    state.indexAtScreenPoint = [editor](gfx::Point point) -> std::optional<fnd::Index> {
        if (!editor->window())
            return std::nullopt;
        auto index = editor->characterIndexForPoint(point);
        return index == fnd::NotFound ? std::nullopt : std::optional<fnd::Index>(index);
    };
    return state;
}

// A password field shows bullets, and so does what it tells: one per character.
fnd::String textAccessibilityBullets(fnd::Index length)
{
    return fnd::String(std::u16string(static_cast<std::size_t>(std::max<fnd::Index>(length, 0)), u'\u2022'));
}

}

// Text views.

fnd::Value TextView::accessibilityTextOwner() const
{
    if (m_fieldEditor)
        if (auto client = std::dynamic_pointer_cast<View>(delegate()))
            return client->selfValue();
    return selfValue();
}

std::vector<fnd::String> TextView::accessibilityAttributeNames() const
{
    auto names = View::accessibilityAttributeNames();
    names.push_back(Attr::Value);
    for (const auto& name : detail::accessibilityTextAttributeNames())
        names.push_back(name);
    return names;
}

fnd::Value TextView::accessibilityAttributeValue(const fnd::String& attribute) const
{
    const auto key = accessibilityAttributeKey(attribute);
    switch (key) {
    case Key::Role:
        return AccessibilityRole::TextArea;
    case Key::Value:
        return string();
    case Key::Enabled:
        return true;
    default:
        if (detail::isAccessibilityTextAttribute(key))
            return detail::accessibilityTextAttribute(string(), selectedRange(), key);
        return View::accessibilityAttributeValue(attribute);
    }
}

bool TextView::accessibilityIsAttributeSettable(const fnd::String& attribute) const
{
    switch (accessibilityAttributeKey(attribute)) {
    case Key::Value:
    case Key::SelectedText:
        return isEditable();
    case Key::SelectedTextRange:
        return isSelectable();
    default:
        return View::accessibilityIsAttributeSettable(attribute);
    }
}

void TextView::accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute)
{
    auto self = shared_from_this();
    const auto key = accessibilityAttributeKey(attribute);
    if (key == Key::Value && isEditable() && value.isString()) {
        // As typing would: through the delegate's consent, into the undo history, announced as a change.
        insertText(value, fnd::Range { 0, string().length() });
    } else if (key == Key::SelectedText && isEditable() && value.isString()) {
        insertText(value, selectedRange());
    } else if (key == Key::SelectedTextRange && isSelectable()) {
        if (auto range = value.range())
            setSelectedRange(*range);
    } else {
        View::accessibilitySetValue(value, attribute);
    }
}

std::vector<fnd::String> TextView::accessibilityParameterizedAttributeNames() const
{
    return detail::accessibilityTextParameterizedAttributeNames();
}

fnd::Value TextView::accessibilityAttributeValueForParameter(
    const fnd::String& attribute, const fnd::Value& parameter) const
{
    return detail::accessibilityTextParameterizedAttribute(textAccessibilityStateOf(*this), attribute, parameter);
}

// Text fields.

namespace {

// The text and selection a field tells: the field editor's while it edits the field.
void textFieldAccessibilityShown(
    const TextField& field, const std::shared_ptr<TextView>& editor, fnd::String& text, fnd::Range& selection)
{
    if (editor) {
        text = editor->string();
        selection = editor->selectedRange();
    } else {
        auto cell = field.cell();
        text = cell ? cell->stringValue() : fnd::String();
        // Not being edited, the field has no caret of its own; it would start at the end.
        selection = { text.length(), 0 };
    }
    if (std::dynamic_pointer_cast<SecureTextFieldCell>(field.cell()))
        text = textAccessibilityBullets(text.length());
}

detail::AccessibilityTextState textFieldAccessibilityState(const TextField& field)
{
    auto editor = std::dynamic_pointer_cast<TextView>(field.currentEditor());
    detail::AccessibilityTextState state;
    textFieldAccessibilityShown(field, editor, state.text, state.selection);
    if (editor) {
        // The lambdas keep the editor: the state may outlive this call's hold on it.
        state.boundsOnScreen = [editor](fnd::Range range) -> std::optional<gfx::Rect> {
            return editor->window() ? std::optional(editor->firstRectForCharacterRange(range, nullptr)) : std::nullopt;
        };
        state.indexAtScreenPoint = [editor](gfx::Point point) -> std::optional<fnd::Index> {
            auto index = editor->window() ? editor->characterIndexForPoint(point) : fnd::NotFound;
            return index == fnd::NotFound ? std::nullopt : std::optional<fnd::Index>(index);
        };
    }
    return state;
}

}

std::vector<fnd::String> TextField::accessibilityAttributeNames() const
{
    auto names = Control::accessibilityAttributeNames();
    if (!isEditable() && !isSelectable())
        return names;
    for (const auto& name : detail::accessibilityTextAttributeNames())
        names.push_back(name);
    return names;
}

fnd::Value TextField::accessibilityAttributeValue(const fnd::String& attribute) const
{
    const auto key = accessibilityAttributeKey(attribute);
    switch (key) {
    case Key::Role:
        return isEditable() ? AccessibilityRole::TextField : AccessibilityRole::StaticText;
    case Key::Subrole:
        return std::dynamic_pointer_cast<SecureTextFieldCell>(cell())
            ? fnd::Value(AccessibilitySubrole::SecureTextField)
            : fnd::Value();
    default:
        break;
    }
    if (key == Key::Value || detail::isAccessibilityTextAttribute(key)) {
        fnd::String text;
        fnd::Range selection;
        textFieldAccessibilityShown(*this, std::dynamic_pointer_cast<TextView>(currentEditor()), text, selection);
        if (key == Key::Value)
            return text;
        return detail::accessibilityTextAttribute(text, selection, key);
    }
    return Control::accessibilityAttributeValue(attribute);
}

bool TextField::accessibilityIsAttributeSettable(const fnd::String& attribute) const
{
    switch (accessibilityAttributeKey(attribute)) {
    case Key::Value:
    case Key::SelectedText:
        return isEditable() && isEnabled();
    case Key::SelectedTextRange:
        return currentEditor() != nullptr;
    default:
        return Control::accessibilityIsAttributeSettable(attribute);
    }
}

void TextField::accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute)
{
    auto self = shared_from_this();
    auto editor = std::dynamic_pointer_cast<TextView>(currentEditor());
    const auto key = accessibilityAttributeKey(attribute);
    if ((key == Key::Value || key == Key::SelectedText) && isEditable() && isEnabled() && value.isString()) {
        if (editor) {
            // The field editor takes it as typing, so the field's delegate hears of every change.
            editor->accessibilitySetValue(value, attribute);
        } else if (key == Key::Value) {
            setStringValue(*value.string());
            sendAction(action(), target());
            accessibilityPostNotification(*this, AccessibilityNotification::ValueChanged);
        }
    } else if (key == Key::SelectedTextRange && editor) {
        editor->accessibilitySetValue(value, attribute);
    } else {
        Control::accessibilitySetValue(value, attribute);
    }
}

std::vector<fnd::String> TextField::accessibilityParameterizedAttributeNames() const
{
    return detail::accessibilityTextParameterizedAttributeNames();
}

fnd::Value TextField::accessibilityAttributeValueForParameter(
    const fnd::String& attribute, const fnd::Value& parameter) const
{
    return detail::accessibilityTextParameterizedAttribute(textFieldAccessibilityState(*this), attribute, parameter);
}

}
