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
    if (attribute == Attr::Role)
        return AccessibilityRole::TextArea;
    if (attribute == Attr::Value)
        return string();
    if (attribute == Attr::Enabled)
        return true;
    if (detail::isAccessibilityTextAttribute(attribute))
        return detail::accessibilityTextAttribute(textAccessibilityStateOf(*this), attribute);
    return View::accessibilityAttributeValue(attribute);
}

bool TextView::accessibilityIsAttributeSettable(const fnd::String& attribute) const
{
    if (attribute == Attr::Value || attribute == Attr::SelectedText)
        return isEditable();
    if (attribute == Attr::SelectedTextRange)
        return isSelectable();
    return View::accessibilityIsAttributeSettable(attribute);
}

void TextView::accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute)
{
    auto self = shared_from_this();
    if (attribute == Attr::Value && isEditable() && value.isString()) {
        // As typing would: through the delegate's consent, into the undo history, announced as a change.
        insertText(value, fnd::Range { 0, string().length() });
    } else if (attribute == Attr::SelectedText && isEditable() && value.isString()) {
        insertText(value, selectedRange());
    } else if (attribute == Attr::SelectedTextRange && isSelectable()) {
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

detail::AccessibilityTextState textFieldAccessibilityState(const TextField& field)
{
    auto editor = std::dynamic_pointer_cast<TextView>(field.currentEditor());
    detail::AccessibilityTextState state;
    if (editor) {
        state = textAccessibilityStateOf(*editor);
        // The lambdas keep the editor: the state may outlive this call's hold on it.
        state.boundsOnScreen = [editor](fnd::Range range) -> std::optional<gfx::Rect> {
            return editor->window() ? std::optional(editor->firstRectForCharacterRange(range, nullptr)) : std::nullopt;
        };
        state.indexAtScreenPoint = [editor](gfx::Point point) -> std::optional<fnd::Index> {
            auto index = editor->window() ? editor->characterIndexForPoint(point) : fnd::NotFound;
            return index == fnd::NotFound ? std::nullopt : std::optional<fnd::Index>(index);
        };
    } else {
        auto cell = field.cell();
        state.text = cell ? cell->stringValue() : fnd::String();
        // Not being edited, the field has no caret of its own; it would start at the end.
        state.selection = { state.text.length(), 0 };
    }
    if (std::dynamic_pointer_cast<SecureTextFieldCell>(field.cell()))
        state.text = textAccessibilityBullets(state.text.length());
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
    const bool secure = std::dynamic_pointer_cast<SecureTextFieldCell>(cell()) != nullptr;
    if (attribute == Attr::Role)
        return isEditable() ? AccessibilityRole::TextField : AccessibilityRole::StaticText;
    if (attribute == Attr::Subrole)
        return secure ? fnd::Value(AccessibilitySubrole::SecureTextField) : fnd::Value();
    if (attribute == Attr::Value)
        return textFieldAccessibilityState(*this).text;
    if (detail::isAccessibilityTextAttribute(attribute))
        return detail::accessibilityTextAttribute(textFieldAccessibilityState(*this), attribute);
    return Control::accessibilityAttributeValue(attribute);
}

bool TextField::accessibilityIsAttributeSettable(const fnd::String& attribute) const
{
    if (attribute == Attr::Value || attribute == Attr::SelectedText)
        return isEditable() && isEnabled();
    if (attribute == Attr::SelectedTextRange)
        return currentEditor() != nullptr;
    return Control::accessibilityIsAttributeSettable(attribute);
}

void TextField::accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute)
{
    auto self = shared_from_this();
    auto editor = std::dynamic_pointer_cast<TextView>(currentEditor());
    if ((attribute == Attr::Value || attribute == Attr::SelectedText) && isEditable() && isEnabled()
        && value.isString()) {
        if (editor) {
            // The field editor takes it as typing, so the field's delegate hears of every change.
            editor->accessibilitySetValue(value, attribute);
        } else if (attribute == Attr::Value) {
            setStringValue(*value.string());
            sendAction(action(), target());
            accessibilityPostNotification(*this, AccessibilityNotification::ValueChanged);
        }
    } else if (attribute == Attr::SelectedTextRange && editor) {
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

fnd::Value ComboBox::accessibilityAttributeValue(const fnd::String& attribute) const
{
    if (attribute == Attr::Role)
        return AccessibilityRole::ComboBox;
    return TextField::accessibilityAttributeValue(attribute);
}

}
