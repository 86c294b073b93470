#pragma once

#include "platform/foundation/runtime/Range.h"
#include "platform/ui/accessibility/AccessibilityAttributeKey.h"
#include "platform/ui/accessibility/AccessibilityElement.h"

#include <functional>
#include <optional>

namespace ui::detail {

// What a text element (a text view, a field) shows, for the text attributes they answer alike.
struct AccessibilityTextState {
    fnd::String text;
    fnd::Range selection { 0, 0 };
    // The first line's rectangle of a range on the screen (y up); nullopt when the text is not laid out.
    std::function<std::optional<gfx::Rect>(fnd::Range)> boundsOnScreen;
    // The character under a screen point; nullopt when none is.
    std::function<std::optional<fnd::Index>(gfx::Point)> indexAtScreenPoint;
};

// Number of characters, selected text, selected range, insertion line and visible range of a text with its
// selection; nil for other keys. Only the text and the selection count here, so callers need not make a whole state.
fnd::Value accessibilityTextAttribute(const fnd::String& text, fnd::Range selection, AccessibilityAttributeKey key);
bool isAccessibilityTextAttribute(AccessibilityAttributeKey key);
const std::vector<fnd::String>& accessibilityTextAttributeNames();
// The string or bounds of a range, the range under a point.
fnd::Value accessibilityTextParameterizedAttribute(
    const AccessibilityTextState& state, const fnd::String& attribute, const fnd::Value& parameter);
const std::vector<fnd::String>& accessibilityTextParameterizedAttributeNames();

}
