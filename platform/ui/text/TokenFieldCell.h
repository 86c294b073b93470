#pragma once

#include "platform/foundation/runtime/CharacterSet.h"
#include "platform/text/TextAttachment.h"
#include "platform/ui/controls/Control.h"
#include "platform/ui/text/TextFieldCell.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace ui {

class TokenField;

// How a token looks, with the platform's values.
enum class TokenStyle { Default = 0, None = 1, Rounded = 2, Squared = 3, PlainSquared = 4 };

// What a token field's delegate may decide about its tokens; nullopt (or the default) keeps the field's own answer:
// a token is its represented object, shown and edited as the object's text.
class TokenFieldDelegate : public ControlTextEditingDelegate {
public:
    virtual std::optional<fnd::String> tokenFieldDisplayStringForRepresentedObject(TokenField&, const fnd::Value&)
    {
        return std::nullopt;
    }
    virtual std::optional<fnd::String> tokenFieldEditingStringForRepresentedObject(TokenField&, const fnd::Value&)
    {
        return std::nullopt;
    }
    virtual std::optional<fnd::Value> tokenFieldRepresentedObjectForEditingString(TokenField&, const fnd::String&)
    {
        return std::nullopt;
    }
    // The objects to add for new tokens at the index (an empty answer adds none).
    virtual std::vector<fnd::Value> tokenFieldShouldAddObjects(
        TokenField&, const std::vector<fnd::Value>& objects, long /*index*/)
    {
        return objects;
    }
    virtual std::optional<TokenStyle> tokenFieldStyleForRepresentedObject(TokenField&, const fnd::Value&)
    {
        return std::nullopt;
    }
};

// One token in text (in the field editor while a token field is edited): its represented object, shown as a pill
// around its display string.
class TokenAttachmentCell : public txt::TextAttachmentCell {
    FND_OBJECT(TokenAttachmentCell)

public:
    TokenAttachmentCell() = default;
    TokenAttachmentCell(
        fnd::Value representedObject, fnd::String displayString, std::shared_ptr<gfx::Font> font, TokenStyle style);

    const fnd::Value& representedObject() const { return m_representedObject; }
    const fnd::String& displayString() const { return m_displayString; }
    TokenStyle style() const { return m_style; }

    gfx::Size cellSize() const override;
    gfx::Point cellBaselineOffset() const override;
    void drawWithFrame(const gfx::Rect& frame, fnd::Index characterIndex) override;

    // Draws a token of the style around the text in the rect (a pill, a box, or the text alone).
    static void drawToken(
        const gfx::Rect& rect, const fnd::String& text, const gfx::Font& font, TokenStyle style, bool enabled);
    static gfx::Size tokenSize(const fnd::String& text, const gfx::Font& font, TokenStyle style);

private:
    fnd::Value m_representedObject;
    fnd::String m_displayString;
    std::shared_ptr<gfx::Font> m_font;
    TokenStyle m_style { TokenStyle::Default };
};

// The cell of a token field: its object value is the array of the tokens' represented objects.
class TokenFieldCell : public TextFieldCell {
    UI_CELL_OBJECT(TokenFieldCell)
    static void describeClass(fnd::ClassBuilder<TokenFieldCell>& c);

public:
    TokenFieldCell();
    TokenFieldCell(const TokenFieldCell&) = default;

    TokenStyle tokenStyle() const { return m_tokenStyle; }
    void setTokenStyle(TokenStyle style);
    // The characters that end a token while typing (and split typed text into tokens); "," by default.
    const fnd::CharacterSet& tokenizingCharacterSet() const { return m_tokenizingCharacterSet; }
    void setTokenizingCharacterSet(const fnd::CharacterSet& set) { m_tokenizingCharacterSet = set; }
    double completionDelay() const { return m_completionDelay; }
    // In seconds: a delay that is not finite is ignored, a negative one is none.
    void setCompletionDelay(double delay)
    {
        if (std::isfinite(delay))
            m_completionDelay = std::max(0.0, delay);
    }

    // The tokens' represented objects (setObjectValue takes an array, or one object as one token; an array holding a
    // number that is not finite is ignored).
    std::vector<fnd::Value> representedObjects() const;
    void setObjectValue(const fnd::Value& value) override;
    // The tokens as text: their editing strings joined by the first tokenizing character.
    fnd::String stringValue() const override;
    void setStringValue(const fnd::String& string) override;

    void drawInteriorWithFrame(gfx::Rect cellFrame, View& controlView) override;
    gfx::Size cellSizeForBounds(gfx::Rect bounds) const override;
    std::shared_ptr<View> setUpFieldEditorAttributes(const std::shared_ptr<View>& fieldEditor) override;
    void selectWithFrame(gfx::Rect frame, View& controlView, const std::shared_ptr<View>& fieldEditor,
        const std::shared_ptr<fnd::Object>& delegate, fnd::Index selectionStart, fnd::Index selectionLength) override;

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    TokenField* tokenField() const;

    TokenStyle m_tokenStyle { TokenStyle::Default };
    fnd::CharacterSet m_tokenizingCharacterSet;
    double m_completionDelay { 0 };
};

}
