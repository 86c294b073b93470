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
    static const std::vector<fnd::String> names { Attr::NumberOfCharacters, Attr::SelectedText, Attr::SelectedTextRange,
        Attr::InsertionPointLineNumber, Attr::VisibleCharacterRange };
    return names;
}

bool isAccessibilityTextAttribute(const fnd::String& attribute)
{
    const auto& names = accessibilityTextAttributeNames();
    return std::find(names.begin(), names.end(), attribute) != names.end();
}

fnd::Value accessibilityTextAttribute(const AccessibilityTextState& state, const fnd::String& attribute)
{
    const auto length = state.text.length();
    auto selection = accessibilityTextClamped(state.selection, length);
    if (attribute == Attr::NumberOfCharacters)
        return static_cast<long>(length);
    if (attribute == Attr::SelectedTextRange)
        return selection;
    if (attribute == Attr::SelectedText)
        return state.text.substring(selection);
    if (attribute == Attr::VisibleCharacterRange)
        return fnd::Range { 0, length };
    if (attribute == Attr::InsertionPointLineNumber) {
        const auto& units = state.text.units();
        return static_cast<long>(std::count(units.begin(), units.begin() + selection.location, u'\n'));
    }
    return {};
}

const std::vector<fnd::String>& accessibilityTextParameterizedAttributeNames()
{
    static const std::vector<fnd::String> names { Param::StringForRange, Param::BoundsForRange, Param::RangeForPosition };
    return names;
}

fnd::Value accessibilityTextParameterizedAttribute(
    const AccessibilityTextState& state, const fnd::String& attribute, const fnd::Value& parameter)
{
    if (attribute == Param::StringForRange || attribute == Param::BoundsForRange) {
        auto range = parameter.range();
        if (!range)
            return {};
        auto clamped = accessibilityTextClamped(*range, state.text.length());
        if (attribute == Param::StringForRange)
            return state.text.substring(clamped);
        auto bounds = state.boundsOnScreen ? state.boundsOnScreen(clamped) : std::nullopt;
        return bounds ? fnd::Value(*bounds) : fnd::Value();
    }
    if (attribute == Param::RangeForPosition) {
        auto point = parameter.point();
        auto index = point && state.indexAtScreenPoint ? state.indexAtScreenPoint(*point) : std::nullopt;
        if (!index || *index >= state.text.length())
            return {};
        return fnd::Range { *index, 1 };
    }
    return {};
}

}
