// What assistive technologies call the controls the inspector hosts in its text: a label a person reads beside a
// control is drawn as text, so the control is given it as its description.

#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspector.h"
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorCompoundField.h"
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorViewField.h"

#include "platform/ui/views/View.h"

namespace {

// A label as the inspector shows it, without the colon it may end with.
fnd::String ZORTextViewInspectorAccessibilityLabel(const ZORTextViewInspectorField& field)
{
    if (!field.hasLabel() || field.isLabelHidden())
        return {};
    auto text = field.label()->label().utf8();
    while (!text.empty() && (text.back() == ':' || text.back() == ' '))
        text.pop_back();
    return fnd::String(text);
}

}

fnd::String ZORTextViewInspectorURLField::accessibilityNameOfButton() const
{
    // The compound's label, else the address field's (a field made for a model property).
    auto label = ZORTextViewInspectorAccessibilityLabel(*this);
    if (auto text = fieldAtIndex(0); label.isEmpty() && text)
        label = ZORTextViewInspectorAccessibilityLabel(*text);
    if (label.isEmpty())
        return ZORTextViewInspectorLocalizedString(buttonAccessibilityKey());
    return fnd::String::format(
        ZORTextViewInspectorLocalizedString(buttonAccessibilityKey() + "Labelled"), { fnd::Value(label) });
}

void ZORTextViewInspector::nameHostedView(const ZORTextViewInspectorViewField& field, ui::View& view) const
{
    auto name = ZORTextViewInspectorAccessibilityLabel(field);
    if (auto compound = field.compoundField(); name.isEmpty() && compound) {
        auto url = std::dynamic_pointer_cast<ZORTextViewInspectorURLField>(compound);
        name = url && compound->indexOfField(field) == 1 ? url->accessibilityNameOfButton()
                                                         : ZORTextViewInspectorAccessibilityLabel(*compound);
    }
    view.accessibilitySetOverrideValue(
        name.isEmpty() ? fnd::Value() : fnd::Value(name), ui::AccessibilityAttribute::Description);
}

void ZORTextViewInspector::nameListRowButton(const ZORTextViewInspectorField& list, ui::View& button, bool adds)
{
    const fnd::String key = adds ? "ZORTextViewInspectorAddRow" : "ZORTextViewInspectorRemoveRow";
    auto label = ZORTextViewInspectorAccessibilityLabel(list);
    auto name = label.isEmpty()
        ? ZORTextViewInspectorLocalizedString(key)
        : fnd::String::format(ZORTextViewInspectorLocalizedString(key + "Labelled"), { fnd::Value(label) });
    button.accessibilitySetOverrideValue(fnd::Value(name), ui::AccessibilityAttribute::Description);
}
