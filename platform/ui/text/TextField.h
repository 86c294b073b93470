#pragma once

#include "platform/ui/controls/Control.h"
#include "platform/ui/text/TextFieldCell.h"

namespace ui {

// A control showing text: an editable field (bezeled, on a white background, one line) or a label (no bezel, no
// background, not selectable). It takes the keyboard when it is selectable; the text system's field editor does the
// editing when it has the keyboard (see Control::currentEditor and Cell::editWithFrame).
class TextField : public Control {
    FND_OBJECT(TextField)
    static void describeClass(fnd::ClassBuilder<TextField>& c);

public:
    TextField() = default;
    // An editable, bezeled field.
    static std::shared_ptr<TextField> create(gfx::Rect frame = {});
    static std::shared_ptr<TextField> textFieldWithString(const fnd::String& string);
    // A one-line label (not selectable, no bezel, no background), sized to fit.
    static std::shared_ptr<TextField> labelWithString(const fnd::String& string);
    // A label that wraps and whose text can be selected.
    static std::shared_ptr<TextField> wrappingLabelWithString(const fnd::String& string);

    std::shared_ptr<Cell> makeCell() const override;
    std::shared_ptr<TextFieldCell> textFieldCell() const { return std::dynamic_pointer_cast<TextFieldCell>(cell()); }

    // Forwarded to the text field cell.
    gfx::ColorPtr textColor() const;
    void setTextColor(gfx::ColorPtr color);
    gfx::ColorPtr backgroundColor() const;
    void setBackgroundColor(gfx::ColorPtr color);
    bool drawsBackground() const;
    void setDrawsBackground(bool flag);
    TextFieldBezelStyle bezelStyle() const;
    void setBezelStyle(TextFieldBezelStyle style);
    fnd::String placeholderString() const;
    void setPlaceholderString(const fnd::String& placeholder);
    bool isBezeled() const;
    void setBezeled(bool flag);
    bool isBordered() const;
    void setBordered(bool flag);
    bool isEditable() const;
    void setEditable(bool flag);
    bool isSelectable() const;
    void setSelectable(bool flag);
    // A label (selectable or not) is clicked into, never tabbed into.
    bool canBecomeKeyView() const override;

    // Makes the field the first responder; its whole text is then selected in the window's field editor.
    void selectText(const fnd::Value& sender = {});

    // Taking the keyboard starts editing in the field editor, with the whole text selected.
    bool becomeFirstResponder() override;
    // A click on a selectable field goes on to its field editor, which puts the caret there; a label passes the
    // click on.
    void mouseDown(const Event& event) override;
    // A right click edits the field, then offers the editing menu over its text.
    void rightMouseDown(const Event& event) override;
    // After the field editor's text came back: Return sends the action (or presses the default button), Tab and
    // Backtab move along the key view loop.
    void textDidEndEditing(const fnd::Notification& notification) override;

    // Accessibility (TextAccessibility.cpp): static text for a label, a text field (secure for a password field)
    // with its text, selection and caret, read from the field editor while it edits.
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    bool accessibilityIsAttributeSettable(const fnd::String& attribute) const override;
    void accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute) override;
    std::vector<fnd::String> accessibilityParameterizedAttributeNames() const override;
    fnd::Value accessibilityAttributeValueForParameter(
        const fnd::String& attribute, const fnd::Value& parameter) const override;
};

}
