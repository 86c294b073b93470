#pragma once

#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorField.h"

#include "platform/foundation/runtime/Selector.h"

namespace ui {
class View;
}

// A field whose value shows in a control the inspector places in its text at the field's position.
class ZORTextViewInspectorViewField : public ZORTextViewInspectorField {
    FND_OBJECT(ZORTextViewInspectorViewField)

public:
    ZOR_INSPECTOR_FIELD_FACTORIES(ZORTextViewInspectorViewField)
    ZORTextViewInspectorViewField() = default;

    // The control for a new field of this kind; none for a plain view field.
    virtual std::shared_ptr<ui::View> viewForField();
    // The designated initialiser: without a view, the kind makes its own (viewForField).
    virtual void initWithIdentifierAndView(const fnd::String& identifier, std::shared_ptr<ui::View> view,
        std::optional<fnd::String> placeholder, ZORTextViewInspectorFieldLabelPtr label);
    void initWithIdentifier(const fnd::String& identifier, std::optional<fnd::String> placeholder,
        ZORTextViewInspectorFieldLabelPtr label) override;
    template <typename T>
    static std::shared_ptr<T> viewFieldWithIdentifier(
        const fnd::String& identifier, std::shared_ptr<ui::View> view, ZORTextViewInspectorFieldLabelPtr label)
    {
        auto field = fnd::makeObject<T>();
        field->initWithIdentifierAndView(identifier, std::move(view), std::nullopt, std::move(label));
        return field;
    }
    // A separator line; its identifier is a fresh time stamp unless one is given.
    static std::shared_ptr<ZORTextViewInspectorViewField> separatorField();
    static std::shared_ptr<ZORTextViewInspectorViewField> separatorFieldWithIdentifier(const fnd::String& identifier);

    const std::shared_ptr<ui::View>& view() const { return m_view; }
    void setView(std::shared_ptr<ui::View> view) { m_view = std::move(view); }
    bool viewShouldAlwaysBeVisible() const { return m_viewShouldAlwaysBeVisible; }
    void setViewShouldAlwaysBeVisible(bool flag) { m_viewShouldAlwaysBeVisible = flag; }
    bool viewShouldNotShowAtAttachmentPosition() const { return m_viewShouldNotShowAtAttachmentPosition; }
    void setViewShouldNotShowAtAttachmentPosition(bool flag) { m_viewShouldNotShowAtAttachmentPosition = flag; }
    bool viewWidthShouldBeAdjusted() const { return m_viewWidthShouldBeAdjusted; }
    void setViewWidthShouldBeAdjusted(bool flag) { m_viewWidthShouldBeAdjusted = flag; }

    // The control follows the field's enabled flag.
    void setEnabled(bool flag) override;
    // Kinds show the value in their control first; the inspector then shows what a rebuild would.
    void setValue(const fnd::Value& value) override;
    // The control gets the same delegate when it takes one.
    void setDelegate(const std::shared_ptr<fnd::Object>& delegate) override;
    bool shouldBeVisibleWithEditableState(bool editable) const override;

protected:
    void copySettingsTo(ZORTextViewInspectorField& copy) const override;
    // Stores the value the control now shows and pushes it through the binding "value".
    void takeValueFromControl(const fnd::Value& value);

private:
    std::shared_ptr<ui::View> m_view;
    bool m_viewShouldAlwaysBeVisible { false };
    bool m_viewShouldNotShowAtAttachmentPosition { false };
    bool m_viewWidthShouldBeAdjusted { false };
};

using ZORTextViewInspectorViewFieldPtr = std::shared_ptr<ZORTextViewInspectorViewField>;
