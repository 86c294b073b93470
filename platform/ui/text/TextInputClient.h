#pragma once

#include "platform/foundation/runtime/Range.h"
#include "platform/foundation/runtime/String.h"
#include "platform/graphics/Geometry.h"

#include <optional>

namespace ui {

// What a view that edits text offers the window system's input methods (dead keys, compose sequences, pre-edit of
// complex scripts). While a person composes, the text is shown as marked text; the composed characters then arrive
// as an ordinary key-down event with those characters. The window system asks the key window's first responder.
class TextInputClient {
public:
    virtual ~TextInputClient() = default;
    // The text being composed replaces the current marked text (or, when there is none, the selection);
    // selectedRange lies within the new text. An empty text ends the composition without inserting anything.
    virtual void setMarkedText(const fnd::String& text, fnd::Range selectedRange) = 0;
    virtual void unmarkText() = 0;
    virtual bool hasMarkedText() const = 0;
    // Where the marked text (or the insertion point) is, in screen coordinates, so the input method can put its
    // candidate list beside it; nullopt when unknown.
    virtual std::optional<gfx::Rect> firstRectForMarkedText() const { return std::nullopt; }
};

}
