#pragma once

#include "platform/ui/controls/ActionCell.h"

namespace ui {

// The cell of text fields and labels: text in a colour, on a background it may draw, inside a bezel or border it
// may have, with a placeholder shown while the text is empty. Single-line fields centre their line vertically;
// wrapping text starts at the top. Editing happens in the window's field editor, placed over titleRectForBounds by
// editWithFrame / selectWithFrame (see Cell) and set up by setUpFieldEditorAttributes.
class TextFieldCell : public ActionCell {
    UI_CELL_OBJECT(TextFieldCell)
    static void describeClass(fnd::ClassBuilder<TextFieldCell>& c);

public:
    TextFieldCell() = default;
    // An empty, editable text cell.
    void init();
    void initTextCell(const fnd::String& string);

    gfx::ColorPtr textColor() const;
    void setTextColor(gfx::ColorPtr color);
    gfx::ColorPtr backgroundColor() const;
    void setBackgroundColor(gfx::ColorPtr color);
    bool drawsBackground() const { return m_drawsBackground; }
    void setDrawsBackground(bool flag);
    TextFieldBezelStyle bezelStyle() const { return m_bezelStyle; }
    void setBezelStyle(TextFieldBezelStyle style);
    const fnd::String& placeholderString() const { return m_placeholderString; }
    void setPlaceholderString(const fnd::String& placeholder);
    std::shared_ptr<txt::AttributedString> placeholderAttributedString() const { return m_placeholderAttributedString; }
    void setPlaceholderAttributedString(std::shared_ptr<txt::AttributedString> placeholder);

    bool acceptsFirstResponder() const override;
    gfx::Size cellSizeForBounds(gfx::Rect bounds) const override;
    gfx::Rect drawingRectForBounds(gfx::Rect bounds) const override;
    gfx::Rect titleRectForBounds(gfx::Rect bounds) const override;
    void drawWithFrame(gfx::Rect cellFrame, View& controlView) override;
    void drawInteriorWithFrame(gfx::Rect cellFrame, View& controlView) override;
    void drawFocusRingMaskWithFrame(gfx::Rect cellFrame, View& controlView) override;
    // Gives the editor the cell's font, colours and alignment, through the keys it declares ("font",
    // "textColor", "backgroundColor", "drawsBackground", "alignment").
    std::shared_ptr<View> setUpFieldEditorAttributes(const std::shared_ptr<View>& fieldEditor) override;

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

protected:
    gfx::ColorPtr textColorForDrawing() const override;
    // Whether the text is one line: it does not wrap, or single-line mode is on.
    bool isSingleLine() const { return usesSingleLineMode() || !wraps(); }

private:
    gfx::ColorPtr m_textColor;
    gfx::ColorPtr m_backgroundColor;
    bool m_drawsBackground { false };
    TextFieldBezelStyle m_bezelStyle { TextFieldBezelStyle::Square };
    fnd::String m_placeholderString;
    std::shared_ptr<txt::AttributedString> m_placeholderAttributedString;
};

}
