#pragma once

#include "platform/ui/text/TextField.h"
#include "platform/ui/text/TokenFieldCell.h"

namespace ui {

// A text field whose value is a list of tokens, each standing for a represented object: typed text becomes a
// token when a tokenizing character is typed, Return is pressed with text pending, or editing ends. While editing,
// the tokens sit in the field editor as attachments (a token is deleted, selected and moved as one character); a
// double click on one turns it back into its editing string. The delegate (a TokenFieldDelegate) may map between
// objects and text, filter new tokens and choose each token's style.
class TokenField : public TextField {
    FND_OBJECT(TokenField)
    static void describeClass(fnd::ClassBuilder<TokenField>& c);

public:
    TokenField() = default;
    static std::shared_ptr<TokenField> create(gfx::Rect frame = {});
    std::shared_ptr<Cell> makeCell() const override;
    std::shared_ptr<TokenFieldCell> tokenFieldCell() const { return std::dynamic_pointer_cast<TokenFieldCell>(cell()); }

    TokenStyle tokenStyle() const;
    void setTokenStyle(TokenStyle style);
    fnd::CharacterSet tokenizingCharacterSet() const;
    void setTokenizingCharacterSet(const fnd::CharacterSet& set);
    std::shared_ptr<TokenFieldDelegate> tokenDelegate() const
    {
        return std::dynamic_pointer_cast<TokenFieldDelegate>(delegate());
    }

    // The delegate's answers, or the field's own.
    fnd::String displayStringForRepresentedObject(const fnd::Value& object);
    fnd::String editingStringForRepresentedObject(const fnd::Value& object);
    fnd::Value representedObjectForEditingString(const fnd::String& string);
    TokenStyle styleForRepresentedObject(const fnd::Value& object);
    // The tokens as text with attachments, as the field editor holds them.
    txt::AttributedString attributedStringForObjects(const std::vector<fnd::Value>& objects);

    // The editor's tokens and pending text become the field's objects.
    void validateEditing() override;
    void textDidChange(const fnd::Notification& notification) override;
    // Text still pending becomes tokens (the delegate filtering them) before editing ends.
    bool textShouldEndEditing(TextView& fieldEditor) override;
    bool textViewDoCommandBySelector(TextView& fieldEditor, fnd::Selector selector) override;
    bool textViewDoubleClickedOnCell(TextView& fieldEditor, const std::shared_ptr<txt::TextAttachmentCell>& cell,
        gfx::Rect cellFrame, fnd::Index characterIndex) override;

private:
    // The objects the editor's text stands for; pending text is read as new tokens when `tokenizePending`.
    std::vector<fnd::Value> objectsInEditor(TextView& editor, bool tokenizePending);
    // Turns the editor's finished pieces of typed text (before a tokenizing character) into tokens; with `all`,
    // also the text after the last one. True when something changed.
    bool tokenizeEditor(TextView& editor, bool all);
    bool isSeparator(char16_t c) const;
};

}
