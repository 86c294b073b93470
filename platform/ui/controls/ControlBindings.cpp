// The bindings every control offers; a part of Control.

#include "platform/ui/controls/Control.h"

#include "platform/foundation/bindings/Binding.h"
#include "platform/foundation/bindings/SelectionMarker.h"
#include "platform/ui/controls/detail/BindingPlaceholders.h"

namespace ui {

using detail::defaultPlaceholder;

void Control::takeBoundValue(const fnd::Value& value, const fnd::String& binding, const fnd::Dictionary& options)
{
    if (binding == fnd::BindingName::Value) {
        showBoundValue(value, options);
    } else if (binding == fnd::BindingName::Enabled) {
        m_boundDisplay.enabledByBinding = !fnd::isSelectionMarker(value) && value.boolValue();
        setEnabled(m_boundDisplay.enabledByBinding && m_boundDisplay.enabledByValue);
    } else if (binding == fnd::BindingName::Hidden) {
        setHidden(!fnd::isSelectionMarker(value) && value.boolValue());
    } else {
        View::takeBoundValue(value, binding, options);
    }
}

void Control::showBoundValue(const fnd::Value& value, const fnd::Dictionary& options)
{
    auto marker = fnd::selectionMarkerKind(value);
    auto placeholder = fnd::placeholderForBoundValue(value, options);
    const bool isText = cellTakesPlaceholders();
    m_boundDisplay.showsMarker = marker.has_value();
    if (marker && isText) {
        setPlaceholderForBinding(placeholder ? placeholder->stringValue() : defaultPlaceholder(*marker));
        setObjectValue({});
    } else if (marker) {
        setObjectValue(placeholder.value_or(fnd::Value()));
    } else if (placeholder && isText) {
        // Nil or null with a null placeholder.
        setPlaceholderForBinding(placeholder->stringValue());
        setObjectValue({});
    } else {
        setPlaceholderForBinding(std::nullopt);
        setObjectValue(placeholder.value_or(value));
    }
    m_boundDisplay.shownValue = objectValue();

    if (auto* conditional = options.find(fnd::BindingOption::ConditionallySetsEnabled);
        conditional && conditional->boolValue()) {
        bool editsMultiple = options.get(fnd::BindingOption::AllowsEditingMultipleValuesSelection).boolValue();
        m_boundDisplay.enabledByValue
            = !marker || (*marker == fnd::SelectionMarker::Kind::MultipleValues && editsMultiple);
        setEnabled(m_boundDisplay.enabledByBinding && m_boundDisplay.enabledByValue);
    }
}

void Control::unbind(const fnd::String& binding)
{
    View::unbind(binding);
    if (binding == fnd::BindingName::Value) {
        setPlaceholderForBinding(std::nullopt);
        m_boundDisplay.showsMarker = false;
        m_boundDisplay.enabledByValue = true;
    } else if (binding == fnd::BindingName::Enabled) {
        m_boundDisplay.enabledByBinding = true;
    }
}

void Control::pushBoundValues()
{
    if (!infoForBinding(fnd::BindingName::Value))
        return;
    auto value = objectValue();
    // Only what the person changed goes back. A control still holding what the binding showed was visited, not
    // changed: a field left without typing, whose text may show its value rounded by a formatter, as tokens or as
    // the placeholder, and a marker on show, which is not the user's value. Written back, the visit would set the
    // model (an equal value is a write too: it marks a document edited and wakes every observer).
    if (value.type() == m_boundDisplay.shownValue.type() && value == m_boundDisplay.shownValue)
        return;
    m_boundDisplay.showsMarker = false;
    m_boundDisplay.shownValue = value;
    (void)fnd::writeBackBindingValue(*this, fnd::BindingName::Value, value);
}

}
