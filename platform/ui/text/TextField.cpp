#include "platform/ui/text/TextField.h"

#include "platform/ui/text/TextView.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Window.h"

namespace ui {

FND_REGISTER_CLASS(TextField, Control)

void TextField::describeClass(fnd::ClassBuilder<TextField>& c)
{
    c.property("textColor", &TextField::textColor, &TextField::setTextColor);
    c.property("backgroundColor", &TextField::backgroundColor, &TextField::setBackgroundColor);
    c.property("drawsBackground", &TextField::drawsBackground, &TextField::setDrawsBackground);
    c.property("bezelStyle", &TextField::bezelStyle, &TextField::setBezelStyle);
    c.property("placeholderString", &TextField::placeholderString, &TextField::setPlaceholderString);
    c.property("bezeled", &TextField::isBezeled, &TextField::setBezeled);
    c.property("bordered", &TextField::isBordered, &TextField::setBordered);
    c.property("editable", &TextField::isEditable, &TextField::setEditable);
    c.property("selectable", &TextField::isSelectable, &TextField::setSelectable);
    c.action("selectText:", &TextField::selectText);
}

std::shared_ptr<TextField> TextField::create(gfx::Rect frame)
{
    return makeView<TextField>(frame);
}

std::shared_ptr<Cell> TextField::makeCell() const
{
    auto cell = fnd::makeObject<TextFieldCell>();
    cell->setBezeled(true);
    cell->setDrawsBackground(true);
    cell->setScrollable(true);
    return cell;
}

std::shared_ptr<TextField> TextField::textFieldWithString(const fnd::String& string)
{
    auto field = create();
    field->setStringValue(string);
    field->sizeToFit();
    return field;
}

std::shared_ptr<TextField> TextField::labelWithString(const fnd::String& string)
{
    auto field = create();
    field->setBezeled(false);
    field->setBordered(false);
    field->setDrawsBackground(false);
    field->setEditable(false);
    field->setSelectable(false);
    field->setLineBreakMode(txt::LineBreakMode::ByClipping);
    field->setStringValue(string);
    field->sizeToFit();
    return field;
}

std::shared_ptr<TextField> TextField::wrappingLabelWithString(const fnd::String& string)
{
    auto field = labelWithString(string);
    field->setSelectable(true);
    field->setLineBreakMode(txt::LineBreakMode::ByWordWrapping);
    return field;
}

gfx::ColorPtr TextField::textColor() const
{
    auto c = textFieldCell();
    return c ? c->textColor() : gfx::Color::controlTextColor();
}

void TextField::setTextColor(gfx::ColorPtr color)
{
    if (auto c = textFieldCell())
        c->setTextColor(std::move(color));
}

gfx::ColorPtr TextField::backgroundColor() const
{
    auto c = textFieldCell();
    return c ? c->backgroundColor() : gfx::Color::textBackgroundColor();
}

void TextField::setBackgroundColor(gfx::ColorPtr color)
{
    if (auto c = textFieldCell())
        c->setBackgroundColor(std::move(color));
}

bool TextField::drawsBackground() const
{
    auto c = textFieldCell();
    return c && c->drawsBackground();
}

void TextField::setDrawsBackground(bool flag)
{
    if (auto c = textFieldCell())
        c->setDrawsBackground(flag);
}

TextFieldBezelStyle TextField::bezelStyle() const
{
    auto c = textFieldCell();
    return c ? c->bezelStyle() : TextFieldBezelStyle::Square;
}

void TextField::setBezelStyle(TextFieldBezelStyle style)
{
    if (auto c = textFieldCell())
        c->setBezelStyle(style);
}

fnd::String TextField::placeholderString() const
{
    auto c = textFieldCell();
    return c ? c->placeholderString() : fnd::String();
}

void TextField::setPlaceholderString(const fnd::String& placeholder)
{
    if (auto c = textFieldCell())
        c->setPlaceholderString(placeholder);
}

bool TextField::isBezeled() const
{
    return cell() && cell()->isBezeled();
}

void TextField::setBezeled(bool flag)
{
    if (cell())
        cell()->setBezeled(flag);
}

bool TextField::isBordered() const
{
    return cell() && cell()->isBordered();
}

void TextField::setBordered(bool flag)
{
    if (cell())
        cell()->setBordered(flag);
}

bool TextField::isEditable() const
{
    return cell() && cell()->isEditable();
}

bool TextField::canBecomeKeyView() const
{
    return isEditable() && Control::canBecomeKeyView();
}

void TextField::setEditable(bool flag)
{
    if (cell())
        cell()->setEditable(flag);
}

bool TextField::isSelectable() const
{
    return cell() && cell()->isSelectable();
}

void TextField::setSelectable(bool flag)
{
    if (!cell())
        return;
    cell()->setSelectable(flag);
    if (!flag)
        cell()->setEditable(false);
}

void TextField::selectText(const fnd::Value&)
{
    auto w = window();
    if (!w || !acceptsFirstResponder())
        return;
    auto self = std::static_pointer_cast<TextField>(shared_from_this());
    if (auto editor = currentEditor()) {
        if (auto textView = std::dynamic_pointer_cast<TextView>(editor)) {
            textView->setSelectedRange({ 0, textView->string().length() });
            w->makeFirstResponder(textView);
        }
        return;
    }
    if (w->firstResponder().get() != this) {
        w->makeFirstResponder(self);
        return;
    }
    auto editor = w->fieldEditor(true, this);
    if (!editor || !cell())
        return;
    // Whatever the shared editor was doing ends first.
    if (auto previous = std::dynamic_pointer_cast<Control>(editor->superview()); previous && previous.get() != this)
        w->endEditingFor(previous.get());
    cell()->selectWithFrame(bounds(), *this, editor, self, 0, cell()->stringValue().length());
}

bool TextField::becomeFirstResponder()
{
    if (!Control::becomeFirstResponder())
        return false;
    auto w = window();
    if (!w || !cell() || !isSelectable() || currentEditor())
        return true;
    auto self = std::static_pointer_cast<TextField>(shared_from_this());
    auto editor = w->fieldEditor(true, this);
    if (!editor)
        return true;
    if (auto previous = std::dynamic_pointer_cast<Control>(editor->superview()); previous && previous.get() != this)
        w->endEditingFor(previous.get());
    cell()->selectWithFrame(bounds(), *this, editor, self, 0, cell()->stringValue().length());
    return true;
}

void TextField::mouseDown(const Event& event)
{
    if (!isEnabled())
        return;
    if (!isSelectable()) {
        View::mouseDown(event);
        return;
    }
    // The window made the field first responder, which put the field editor over the text.
    if (auto editor = std::dynamic_pointer_cast<TextView>(currentEditor()))
        editor->mouseDown(event);
}

void TextField::rightMouseDown(const Event& event)
{
    auto self = std::static_pointer_cast<TextField>(shared_from_this());
    auto w = window();
    if (!isEnabled() || !isSelectable() || !w) {
        View::rightMouseDown(event);
        return;
    }
    if (!currentEditor())
        w->makeFirstResponder(self);
    if (auto editor = std::dynamic_pointer_cast<TextView>(currentEditor()))
        editor->rightMouseDown(event);
}

void TextField::textDidEndEditing(const fnd::Notification& notification)
{
    auto self = std::static_pointer_cast<TextField>(shared_from_this());
    Control::textDidEndEditing(notification);
    auto movement = notification.userInfo().get(TextNotification::MovementKey).integerValue();
    auto w = window();
    // Whether the keyboard stayed with the field (or its editor, just let go of) or went nowhere.
    auto keyboardStayed = [&] {
        auto first = w->firstResponder();
        auto editor = std::dynamic_pointer_cast<TextView>(first);
        return !first || first == self || first.get() == w.get()
            || (editor && editor->isFieldEditor() && !editor->superview());
    };
    switch (movement) {
    case TextMovement::Return:
        // The action, else the window's key equivalents (the default button) get the Return; the field keeps the
        // keyboard with its text selected.
        if (!sendAction(action(), target()) && w)
            if (auto event = Application::shared().currentEvent(); event && event->isKeyEvent())
                w->contentView()->performKeyEquivalent(*event);
        if (w && window() == w && keyboardStayed())
            selectText();
        break;
    case TextMovement::Tab:
    case TextMovement::Backtab:
        if (cell() && cell()->sendsActionOnEndEditing())
            sendAction(action(), target());
        if (!w)
            break;
        if (movement == TextMovement::Tab)
            w->selectKeyViewFollowingView(*this);
        else
            w->selectKeyViewPrecedingView(*this);
        // Nowhere else to go: editing goes on here.
        if (keyboardStayed())
            selectText();
        break;
    default:
        if (cell() && cell()->sendsActionOnEndEditing())
            sendAction(action(), target());
        break;
    }
}

}
