// How the recorder answers assistive technologies: the combination in words, the prompt as help.

#include "frameworks/KeyComboRecorder/KRRecorderCell.h"
#include "frameworks/KeyComboRecorder/KRRecorderControl.h"
#include "platform/ui/accessibility/AccessibilityAttributeKey.h"
#include "platform/ui/views/Window.h"

namespace {

namespace RecorderAttr = ui::AccessibilityAttribute;
using RecorderKey = ui::AccessibilityAttributeKey;

}

std::vector<fnd::String> KRRecorderCell::accessibilityAttributeNames() const
{
    auto names = ActionCell::accessibilityAttributeNames();
    ui::accessibilityAddAttributeNames(names, { RecorderAttr::Value, RecorderAttr::Help });
    return names;
}

fnd::Value KRRecorderCell::accessibilityAttributeValue(const fnd::String& attribute) const
{
    switch (ui::accessibilityAttributeKey(attribute)) {
    case RecorderKey::Role:
        return ui::AccessibilityRole::TextField;
    case RecorderKey::Value:
        // Words a screen reader can say, where the control draws the modifiers' symbols.
        return _isEmpty() ? fnd::String() : KRCocoaShortcutReadable(m_keyCombo.flags, m_keyCombo.code);
    case RecorderKey::Help:
        // The prompt while there is one to read ("Type shortcut"); nothing while it shows the combination.
        return m_isRecording || _isEmpty() ? fnd::Value(textForDisplay()) : fnd::Value();
    default:
        return ActionCell::accessibilityAttributeValue(attribute);
    }
}

bool KRRecorderCell::accessibilityIsAttributeSettable(const fnd::String& attribute) const
{
    (void)attribute;
    return false;
}

std::vector<fnd::String> KRRecorderCell::accessibilityActionNames() const
{
    if (!isEnabled())
        return {};
    if (m_isRecording)
        return { ui::AccessibilityAction::Cancel };
    return { ui::AccessibilityAction::Press };
}

void KRRecorderCell::accessibilityPerformAction(const fnd::String& action)
{
    auto view = controlView();
    if (!isEnabled() || !view)
        return;
    auto self = shared_from_this();
    if (action == ui::AccessibilityAction::Press && !m_isRecording) {
        // As a click on the field: the control takes the keyboard, which the recording needs.
        if (auto window = view->window())
            window->makeFirstResponder(std::static_pointer_cast<ui::Responder>(view->shared_from_this()));
        _startRecordingTransition();
    } else if (action == ui::AccessibilityAction::Cancel && m_isRecording) {
        _endRecordingTransition();
    }
}

void KRRecorderCell::_announceValue() const
{
    if (auto view = controlView())
        ui::accessibilityPostNotification(*view, ui::AccessibilityNotification::ValueChanged);
}

fnd::Value KRRecorderControl::accessibilityAttributeValue(const fnd::String& attribute) const
{
    auto value = Control::accessibilityAttributeValue(attribute);
    if (value.isNil() && ui::accessibilityAttributeKey(attribute) == RecorderKey::Help)
        if (auto recorder = recorderCell())
            return recorder->accessibilityAttributeValue(attribute);
    return value;
}
