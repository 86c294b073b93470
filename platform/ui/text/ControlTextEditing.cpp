// A control as its field editor's delegate.

#include "platform/ui/controls/Control.h"

#include "platform/ui/views/Application.h"
#include "platform/ui/text/TextView.h"

namespace ui {

std::shared_ptr<fnd::Notification> Control::postControlNotification(
    const fnd::String& name, const fnd::Notification& fromEditor)
{
    auto info = fromEditor.userInfo();
    info.set(ControlNotification::FieldEditorKey, fromEditor.object());
    auto note = std::make_shared<fnd::Notification>(name, selfValue(), info);
    fnd::NotificationCenter::defaultCenter().postNotification(note);
    return note;
}

bool Control::textShouldBeginEditing(TextView& fieldEditor)
{
    auto d = delegate();
    return !d || d->controlTextShouldBeginEditing(*this, fieldEditor);
}

void Control::textDidBeginEditing(const fnd::Notification& notification)
{
    auto self = shared_from_this();
    auto note = postControlNotification(ControlNotification::TextDidBeginEditing, notification);
    if (auto d = delegate())
        d->controlTextDidBeginEditing(*note);
}

void Control::textDidChange(const fnd::Notification& notification)
{
    auto self = shared_from_this();
    auto note = postControlNotification(ControlNotification::TextDidChange, notification);
    if (auto d = delegate())
        d->controlTextDidChange(*note);
    // A continuous field sends its action as the text changes.
    if (isContinuous() && m_cell) {
        validateEditing();
        sendAction(action(), target());
    }
}

bool Control::textShouldEndEditing(TextView& fieldEditor)
{
    return textShouldEndEditingWith(fieldEditor, m_cell ? m_cell->formatter().get() : nullptr, delegate());
}

bool Control::textShouldEndEditingWith(
    TextView& fieldEditor, const fnd::Formatter* formatter, const std::shared_ptr<ControlTextEditingDelegate>& d)
{
    auto self = shared_from_this();
    if (formatter) {
        auto string = fieldEditor.string();
        auto value = formatter->getObjectValue(string);
        if (!value) {
            if (!d || !d->controlDidFailToFormatString(*this, string, value.error())) {
                Application::shared().beep();
                return false;
            }
        } else if (d && !d->controlIsValidObject(*this, *value)) {
            Application::shared().beep();
            return false;
        }
    }
    return !d || d->controlTextShouldEndEditing(*this, fieldEditor);
}

void Control::textDidEndEditing(const fnd::Notification& notification)
{
    auto self = shared_from_this();
    auto editor = notification.object().objectAs<View>();
    validateEditing();
    // An edit that ends without the action still reaches the bound model.
    pushBoundValues();
    if (m_cell)
        m_cell->endEditing(editor);
    auto note = postControlNotification(ControlNotification::TextDidEndEditing, notification);
    if (auto d = delegate())
        d->controlTextDidEndEditing(*note);
}

bool Control::textViewDoCommandBySelector(TextView& fieldEditor, fnd::Selector selector)
{
    auto d = delegate();
    return d && d->controlDoCommandBySelector(*this, fieldEditor, selector);
}

}
