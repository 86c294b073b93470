#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorViewField.h"

#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspector.h"

#include "frameworks/FoundationExtensions/ZORNSObject_Extension.h"
#include "frameworks/FoundationExtensions/ZORNSStringExtension.h"

#include "platform/ui/containers/Box.h"
#include "platform/ui/controls/Cell.h"
#include "platform/ui/controls/Control.h"

FND_REGISTER_CLASS(ZORTextViewInspectorViewField, ZORTextViewInspectorField)

std::shared_ptr<ui::View> ZORTextViewInspectorViewField::viewForField()
{
    return nullptr;
}

void ZORTextViewInspectorViewField::initWithIdentifierAndView(const fnd::String& identifier,
    std::shared_ptr<ui::View> view, std::optional<fnd::String> placeholder, ZORTextViewInspectorFieldLabelPtr label)
{
    ZORTextViewInspectorField::initWithIdentifier(identifier, std::move(placeholder), std::move(label));
    if (!view)
        view = viewForField();
    m_view = view;
    if (auto control = std::dynamic_pointer_cast<ui::Control>(m_view);
        control && control->cell() && control->cell()->isEditable())
        setEditable(true);
    m_viewShouldNotShowAtAttachmentPosition = false;
    m_viewWidthShouldBeAdjusted = false;
}

void ZORTextViewInspectorViewField::initWithIdentifier(
    const fnd::String& identifier, std::optional<fnd::String> placeholder, ZORTextViewInspectorFieldLabelPtr label)
{
    initWithIdentifierAndView(identifier, nullptr, std::move(placeholder), std::move(label));
}

std::shared_ptr<ZORTextViewInspectorViewField> ZORTextViewInspectorViewField::separatorField()
{
    auto box = ui::Box::create({ 0, 0, 100, 1 });
    box->setBoxType(ui::BoxType::Separator);
    box->setAutoresizingMask(ui::AutoresizingMask::WidthSizable);
    auto field = viewFieldWithIdentifier<ZORTextViewInspectorViewField>(
        ZORNSStringExtension::timeStampForFileOperation(), box, nullptr);
    field->setIsSeparator(true);
    return field;
}

std::shared_ptr<ZORTextViewInspectorViewField> ZORTextViewInspectorViewField::separatorFieldWithIdentifier(
    const fnd::String& identifier)
{
    auto field = separatorField();
    field->setIdentifier(identifier);
    return field;
}

void ZORTextViewInspectorViewField::setEnabled(bool flag)
{
    ZORTextViewInspectorField::setEnabled(flag);
    if (auto control = std::dynamic_pointer_cast<ui::Control>(m_view))
        control->setEnabled(flag);
}

void ZORTextViewInspectorViewField::setValue(const fnd::Value& value)
{
    ZORTextViewInspectorField::setValue(value);
    if (auto inspector = textViewInspector())
        inspector->updateDisplayOfField(*this);
}

void ZORTextViewInspectorViewField::setDelegate(const std::shared_ptr<fnd::Object>& delegate)
{
    ZORTextViewInspectorField::setDelegate(delegate);
    if (auto control = std::dynamic_pointer_cast<ui::Control>(m_view))
        control->setDelegate(std::dynamic_pointer_cast<ui::ControlTextEditingDelegate>(delegate));
}

bool ZORTextViewInspectorViewField::shouldBeVisibleWithEditableState(bool editable) const
{
    if (!ZORTextViewInspectorField::shouldBeVisibleWithEditableState(editable))
        return false;
    return m_viewShouldAlwaysBeVisible || editable || notEditableReplacementString() || isSeparator();
}

void ZORTextViewInspectorViewField::copySettingsTo(ZORTextViewInspectorField& copy) const
{
    ZORTextViewInspectorField::copySettingsTo(copy);
    auto& field = static_cast<ZORTextViewInspectorViewField&>(copy);
    field.m_viewShouldAlwaysBeVisible = m_viewShouldAlwaysBeVisible;
    field.m_viewShouldNotShowAtAttachmentPosition = m_viewShouldNotShowAtAttachmentPosition;
    field.m_viewWidthShouldBeAdjusted = m_viewWidthShouldBeAdjusted;
}

void ZORTextViewInspectorViewField::takeValueFromControl(const fnd::Value& value)
{
    auto self = shared_from_this();
    setValue(value);
    ZORNSObject_Extension::propagateValue(*this, this->value(), "value");
}
