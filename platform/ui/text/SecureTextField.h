#pragma once

#include "platform/ui/text/TextField.h"
#include "platform/ui/text/TextFieldCell.h"

namespace ui {

// The cell of a password field: its text is drawn as bullets, and the field editor shows bullets and keeps the
// text off the pasteboard while it edits it.
class SecureTextFieldCell : public TextFieldCell {
    UI_CELL_OBJECT(SecureTextFieldCell)
    static void describeClass(fnd::ClassBuilder<SecureTextFieldCell>& c);

public:
    SecureTextFieldCell() = default;

    bool echosBullets() const { return m_echosBullets; }
    // Off: nothing at all is drawn for the text.
    void setEchosBullets(bool flag);

    void drawInteriorWithFrame(gfx::Rect cellFrame, View& controlView) override;
    std::shared_ptr<View> setUpFieldEditorAttributes(const std::shared_ptr<View>& fieldEditor) override;

private:
    bool m_echosBullets { true };
};

// A text field for passwords.
class SecureTextField : public TextField {
    FND_OBJECT(SecureTextField)

public:
    SecureTextField() = default;
    static std::shared_ptr<SecureTextField> create(gfx::Rect frame = {});
    std::shared_ptr<Cell> makeCell() const override;
};

}
