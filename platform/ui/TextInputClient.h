#pragma once

#include "platform/foundation/Range.h"
#include "platform/foundation/Selector.h"
#include "platform/foundation/Value.h"
#include "platform/graphics/Geometry.h"

namespace ui {

// What an input method talks to: the first responder that edits text. The window-system backend routes an input
// method's pre-edit text here as marked text and its committed text as insertText; key presses it does not take
// arrive as ordinary key events. Strings are plain strings or attributed strings; ranges are in the text's UTF-16
// units, and a replacement range of NotFound means the marked text (or else the selection).
class TextInputClient {
public:
    virtual ~TextInputClient() = default;
    virtual void insertText(const fnd::Value& string, fnd::Range replacementRange) = 0;
    // Shows the string as marked (not yet committed) text with the selection inside it, relative to its start.
    virtual void setMarkedText(const fnd::Value& string, fnd::Range selectedRange, fnd::Range replacementRange) = 0;
    // Commits the marked text as it stands.
    virtual void unmarkText() = 0;
    virtual bool hasMarkedText() const = 0;
    virtual fnd::Range markedRange() const = 0;
    virtual fnd::Range selectedRange() const = 0;
    // Where the input method's candidate window goes: the first line's rect of the range, on the screen (y up).
    virtual gfx::Rect firstRectForCharacterRange(fnd::Range range, fnd::Range* actualRange) = 0;
    virtual fnd::Index characterIndexForPoint(gfx::Point screenPoint) = 0;
    virtual void doCommandBySelector(fnd::Selector selector) = 0;
};

}
