#pragma once

#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/text/ParagraphStyle.h"

namespace ui::detail {

// A text of the platform's own panels (the "Panels" table of the "Foundation" bundle), English when missing.
fnd::String panelText(const char* key, const char* english);

// One line of text for the views that draw their own labels (tabs, toolbar items, lists, panels): measured in the
// font, drawn in a rect, cut with an ellipsis when it does not fit.
gfx::Size labelSize(const fnd::String& text, const std::shared_ptr<gfx::Font>& font);
// Vertically centred in the rect, whichever way up the current context is.
void drawLabel(const fnd::String& text, gfx::Rect rect, const std::shared_ptr<gfx::Font>& font,
    const gfx::ColorPtr& color, txt::TextAlignment alignment = txt::TextAlignment::Left);

}
