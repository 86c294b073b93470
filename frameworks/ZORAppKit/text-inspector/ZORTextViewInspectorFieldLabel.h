#pragma once

#include "platform/foundation/runtime/Object.h"

#include <memory>
#include <optional>

// The label of an inspector field: the text shown in the label column, the model object the label stands for (a
// phone number's "work" or "home"), and the placeholder the field shows while this label is chosen.
class ZORTextViewInspectorFieldLabel : public fnd::Object {
    FND_OBJECT(ZORTextViewInspectorFieldLabel)
    static void describeClass(fnd::ClassBuilder<ZORTextViewInspectorFieldLabel>& c);

public:
    ZORTextViewInspectorFieldLabel() = default;
    static std::shared_ptr<ZORTextViewInspectorFieldLabel> fieldLabelWithString(
        const fnd::String& label, const fnd::Value& representedObject = {});

    const fnd::String& label() const { return m_label; }
    void setLabel(const fnd::String& label) { m_label = label; }
    const fnd::Value& representedObject() const { return m_representedObject; }
    void setRepresentedObject(const fnd::Value& object) { m_representedObject = object; }
    const std::optional<fnd::String>& labelDependentPlaceholder() const { return m_labelDependentPlaceholder; }
    void setLabelDependentPlaceholder(std::optional<fnd::String> placeholder)
    {
        m_labelDependentPlaceholder = std::move(placeholder);
    }

    // An equal, independent label of the same class.
    std::shared_ptr<ZORTextViewInspectorFieldLabel> copy() const;

private:
    fnd::String m_label;
    fnd::Value m_representedObject;
    std::optional<fnd::String> m_labelDependentPlaceholder;
};

using ZORTextViewInspectorFieldLabelPtr = std::shared_ptr<ZORTextViewInspectorFieldLabel>;
