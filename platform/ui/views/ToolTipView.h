#pragma once

#include "platform/ui/views/View.h"

namespace gfx {
class Font;
}

namespace ui {

// The content of a tool-tip window: the text in the small system font on a pale background with a thin border.
// Lines break at line breaks and wrap at a readable width.
class ToolTipView : public View {
    FND_OBJECT(ToolTipView)
public:
    static std::shared_ptr<ToolTipView> create(const fnd::String& text = {});

    const fnd::String& text() const { return m_text; }
    // Sets the text and sizes the view to fit it.
    void setText(const fnd::String& text);
    // The size a tip with the text takes.
    static gfx::Size sizeForText(const fnd::String& text);

    static std::shared_ptr<gfx::Font> font();

    bool isOpaque() const override { return true; }
    bool isFlipped() const override { return true; }
    void drawRect(gfx::Rect dirtyRect) override;

private:
    fnd::String m_text;
};

}
