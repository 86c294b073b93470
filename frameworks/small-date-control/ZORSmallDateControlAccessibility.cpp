// How the small date control answers assistive technologies: a date field with a stepper for each part.

#include "frameworks/small-date-control/ZORSmallDateControl.h"
#include "platform/foundation/files/Bundle.h"
#include "platform/ui/accessibility/AccessibilityAttributeKey.h"

#include <algorithm>
#include <cmath>

namespace {

namespace DateAttr = ui::AccessibilityAttribute;
using DateKey = ui::AccessibilityAttributeKey;

fnd::String dateControlText(const char* key)
{
    auto bundle = fnd::Bundle::bundleForClass("ZORSmallDateControl");
    return bundle ? bundle->localizedStringForKey(key, key, "ZORSmallDateControl") : fnd::String(key);
}

}

std::vector<fnd::String> ZORSmallDateControl::accessibilityAttributeNames() const
{
    auto names = Control::accessibilityAttributeNames();
    ui::accessibilityAddAttributeNames(names, { DateAttr::Value, DateAttr::Children });
    return names;
}

fnd::Value ZORSmallDateControl::accessibilityAttributeValue(const fnd::String& attribute) const
{
    switch (ui::accessibilityAttributeKey(attribute)) {
    case DateKey::Role:
        return ui::AccessibilityRole::DateField;
    case DateKey::Value: {
        // As it shows: the parts in screen order with the locale's separator.
        fnd::String text;
        for (long index = 0; index < 3; ++index)
            text = text + (index ? m_dateSeparatorStr : fnd::String()) + stringOfPart(partOfCell(index));
        return text;
    }
    case DateKey::Enabled:
        return isEnabled();
    case DateKey::Children:
        return m_accessibilityParts.elements(*this, 3, ui::AccessibilityRole::Incrementor);
    default:
        return Control::accessibilityAttributeValue(attribute);
    }
}

bool ZORSmallDateControl::accessibilityIsAttributeSettable(const fnd::String& attribute) const
{
    // The date is set part by part; only the keyboard can be taken.
    return ui::accessibilityAttributeKey(attribute) == DateKey::Focused
        && Control::accessibilityIsAttributeSettable(attribute);
}

fnd::Value ZORSmallDateControl::accessibilityPartAttributeValue(long part, ui::AccessibilityAttributeKey key) const
{
    if (part < 0 || part > 2 || !m_cells[std::size_t(part)])
        return {};
    const auto which = partOfCell(part);
    switch (key) {
    case DateKey::Title:
        return dateControlText(which == Day ? "Day" : which == Month ? "Month" : "Year");
    case DateKey::Value:
        return double(valueOfPart(which));
    case DateKey::ValueDescription:
        return stringOfPart(which);
    case DateKey::MinValue:
        return double(currentLimitsOfPart(which).minimum);
    case DateKey::MaxValue:
        return double(currentLimitsOfPart(which).maximum);
    case DateKey::Enabled:
        return isEnabled();
    case DateKey::Focused:
        return accessibilityHasKeyboardFocus() && part == m_selected;
    case DateKey::Position:
    case DateKey::Size: {
        auto w = window();
        if (!w)
            return {};
        auto onScreen = w->convertRectToScreen(convertRectToView(m_rects[std::size_t(part)], nullptr));
        return key == DateKey::Position ? fnd::Value(onScreen.origin) : fnd::Value(onScreen.size);
    }
    default:
        return {};
    }
}

bool ZORSmallDateControl::accessibilityPartIsAttributeSettable(long part, ui::AccessibilityAttributeKey key) const
{
    return part >= 0 && part <= 2 && m_cells[std::size_t(part)] && isEnabled() && key == DateKey::Value;
}

void ZORSmallDateControl::accessibilityPartSetValue(
    long part, ui::AccessibilityAttributeKey key, const fnd::Value& value)
{
    if (!accessibilityPartIsAttributeSettable(part, key) || !value.isNumber() || !std::isfinite(value.doubleValue()))
        return;
    // Kept within the part's limits, as the stepper keeps it.
    const auto which = partOfCell(part);
    const auto limits = currentLimitsOfPart(which);
    const auto wanted = std::clamp(value.doubleValue(), double(limits.minimum), double(limits.maximum));
    auto self = shared_from_this();
    setValueOfPart(which, std::int64_t(std::llround(wanted)));
    updateCells();
}

std::vector<fnd::String> ZORSmallDateControl::accessibilityPartActionNames(long part) const
{
    if (!accessibilityPartIsAttributeSettable(part, DateKey::Value))
        return {};
    return { ui::AccessibilityAction::Increment, ui::AccessibilityAction::Decrement };
}

void ZORSmallDateControl::accessibilityPartPerformAction(long part, const fnd::String& action)
{
    if (!accessibilityPartIsAttributeSettable(part, DateKey::Value))
        return;
    const double step = action == ui::AccessibilityAction::Increment ? 1
        : action == ui::AccessibilityAction::Decrement               ? -1
                                                                     : 0;
    if (step != 0)
        accessibilityPartSetValue(part, DateKey::Value, double(valueOfPart(partOfCell(part))) + step);
}

void ZORSmallDateControl::accessibilityPartChanged(Part part)
{
    if (!ui::isAccessibilityObserved())
        return;
    ui::accessibilityPostNotification(*this, ui::AccessibilityNotification::ValueChanged);
    ui::accessibilityPostNotification(
        m_accessibilityParts.existingElement(indexOfPart(part)), ui::AccessibilityNotification::ValueChanged);
}
