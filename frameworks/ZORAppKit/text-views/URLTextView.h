#pragma once

#include "platform/ui/text/TextView.h"

namespace ui {
class Cursor;
}

// A text view whose link runs turn orange while pressed, open on release over them, and show a hand cursor.
class URLTextView : public ui::TextView {
    FND_OBJECT(URLTextView)

public:
    URLTextView() = default;
    static std::shared_ptr<URLTextView> create(gfx::Rect frame = {});

    void mouseDown(const ui::Event& event) override;
    void resetCursorRects() override;
    // The colour links return to after a press.
    static gfx::ColorPtr linkColor();
    // The hand shown over links, made once from the image "ZORURLTextViewHand" (the pointing hand without it).
    static std::shared_ptr<ui::Cursor> handCursor();

private:
    std::vector<gfx::Rect> rectsForCharacterRangeInView(fnd::Range range) const;
};
