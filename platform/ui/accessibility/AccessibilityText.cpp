#include "platform/ui/accessibility/AccessibilityText.h"

#include <algorithm>

namespace ui::detail {

namespace Attr = AccessibilityAttribute;
namespace Param = AccessibilityParameterizedAttribute;

namespace {

fnd::Range accessibilityTextClamped(fnd::Range range, fnd::Index length)
{
    range.location = std::clamp<fnd::Index>(range.location, 0, length);
    range.length = std::clamp<fnd::Index>(range.length, 0, length - range.location);
    return range;
}

}

const std::vector<fnd::String>& accessibilityTextAttributeNames()
{
    static const auto names = accessibilityAttributeNameList({ Attr::NumberOfCharacters, Attr::SelectedText,
        Attr::SelectedTextRange, Attr::InsertionPointLineNumber, Attr::VisibleCharacterRange });
    return names;
}

bool isAccessibilityTextAttribute(AccessibilityAttributeKey key)
{
    switch (key) {
    case AccessibilityAttributeKey::NumberOfCharacters:
    case AccessibilityAttributeKey::SelectedText:
    case AccessibilityAttributeKey::SelectedTextRange:
    case AccessibilityAttributeKey::InsertionPointLineNumber:
    case AccessibilityAttributeKey::VisibleCharacterRange:
        return true;
    default:
        return false;
    }
}

fnd::Value accessibilityTextAttribute(const fnd::String& text, fnd::Range selection, AccessibilityAttributeKey key)
{
    const auto length = text.length();
    selection = accessibilityTextClamped(selection, length);
    switch (key) {
    case AccessibilityAttributeKey::NumberOfCharacters:
        return static_cast<long>(length);
    case AccessibilityAttributeKey::SelectedTextRange:
        return selection;
    case AccessibilityAttributeKey::SelectedText:
        return text.substring(selection);
    case AccessibilityAttributeKey::VisibleCharacterRange:
        return fnd::Range { 0, length };
    case AccessibilityAttributeKey::InsertionPointLineNumber: {
        const auto& units = text.units();
        return static_cast<long>(std::count(units.begin(), units.begin() + selection.location, u'\n'));
    }
    default:
        return {};
    }
}

const std::vector<fnd::String>& accessibilityTextParameterizedAttributeNames()
{
    static const auto names
        = accessibilityAttributeNameList({ Param::StringForRange, Param::BoundsForRange, Param::RangeForPosition });
    return names;
}

fnd::Value accessibilityTextParameterizedAttribute(
    const AccessibilityTextState& state, const fnd::String& attribute, const fnd::Value& parameter)
{
    const auto key = accessibilityAttributeKey(attribute);
    switch (key) {
    case AccessibilityAttributeKey::StringForRange:
    case AccessibilityAttributeKey::BoundsForRange: {
        auto range = parameter.range();
        if (!range)
            return {};
        auto clamped = accessibilityTextClamped(*range, state.text.length());
        if (key == AccessibilityAttributeKey::StringForRange)
            return state.text.substring(clamped);
        auto bounds = state.boundsOnScreen ? state.boundsOnScreen(clamped) : std::nullopt;
        return bounds ? fnd::Value(*bounds) : fnd::Value();
    }
    case AccessibilityAttributeKey::RangeForPosition: {
        auto point = parameter.point();
        auto index = point && state.indexAtScreenPoint ? state.indexAtScreenPoint(*point) : std::nullopt;
        if (!index || *index >= state.text.length())
            return {};
        return fnd::Range { *index, 1 };
    }
    default:
        return {};
    }
}

}
