#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorFieldLabel.h"

#include "platform/foundation/runtime/ClassBuilder.h"

FND_REGISTER_CLASS(ZORTextViewInspectorFieldLabel, fnd::Object)

void ZORTextViewInspectorFieldLabel::describeClass(fnd::ClassBuilder<ZORTextViewInspectorFieldLabel>& c)
{
    c.property("label", &ZORTextViewInspectorFieldLabel::label, &ZORTextViewInspectorFieldLabel::setLabel);
    c.property("representedObject", &ZORTextViewInspectorFieldLabel::representedObject,
        &ZORTextViewInspectorFieldLabel::setRepresentedObject);
    c.property(
        "labelDependentPlaceholder",
        [](const ZORTextViewInspectorFieldLabel& l) { return l.labelDependentPlaceholder(); },
        [](ZORTextViewInspectorFieldLabel& l, std::optional<fnd::String> v) {
            l.setLabelDependentPlaceholder(std::move(v));
        });
}

std::shared_ptr<ZORTextViewInspectorFieldLabel> ZORTextViewInspectorFieldLabel::fieldLabelWithString(
    const fnd::String& label, const fnd::Value& representedObject)
{
    auto result = fnd::makeObject<ZORTextViewInspectorFieldLabel>();
    result->m_label = label;
    result->m_representedObject = representedObject;
    return result;
}

std::shared_ptr<ZORTextViewInspectorFieldLabel> ZORTextViewInspectorFieldLabel::copy() const
{
    auto made = fnd::ClassRegistry::shared().create(className());
    auto result = std::dynamic_pointer_cast<ZORTextViewInspectorFieldLabel>(made);
    if (!result)
        result = fnd::makeObject<ZORTextViewInspectorFieldLabel>();
    result->m_label = m_label;
    result->m_representedObject = m_representedObject;
    result->m_labelDependentPlaceholder = m_labelDependentPlaceholder;
    return result;
}
