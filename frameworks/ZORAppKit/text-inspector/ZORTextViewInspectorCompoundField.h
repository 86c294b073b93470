#pragma once

#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorField.h"

namespace ui {
class View;
}

// Sub-fields shown one after another as one logical field: they inherit its labels and disappear with it.
class ZORTextViewInspectorCompoundField : public ZORTextViewInspectorField {
    FND_OBJECT(ZORTextViewInspectorCompoundField)

public:
    ZOR_INSPECTOR_FIELD_FACTORIES(ZORTextViewInspectorCompoundField)
    ZORTextViewInspectorCompoundField() = default;
    static std::shared_ptr<ZORTextViewInspectorCompoundField> fieldWithPropertyMapping(
        const fnd::Dictionary& mapping, const std::shared_ptr<fnd::EntityDescription>& entity);
    // The mapping from sub-field identifiers to model properties is kept for the owner; the entity is not.
    void initWithPropertyMapping(const fnd::Dictionary& mapping, const std::shared_ptr<fnd::EntityDescription>& entity);

    const std::vector<ZORTextViewInspectorFieldPtr>& allFields() const { return m_subFields; }
    // Sub-field by index (the inspector's fieldAtCharacterIndex takes a character index).
    ZORTextViewInspectorFieldPtr fieldAtIndex(std::size_t index) const;
    fnd::Index indexOfField(const ZORTextViewInspectorField& field) const;
    void addField(const ZORTextViewInspectorFieldPtr& field);
    void insertField(const ZORTextViewInspectorFieldPtr& field, std::size_t index);
    void removeFieldAtIndex(std::size_t index);
    void removeAllFields();
    ZORTextViewInspectorFieldPtr fieldWithIdentifier(const fnd::String& identifier) const;
    ZORTextViewInspectorFieldPtr fieldWithView(const ui::View& view) const;
    fnd::Index indexOfFieldWithView(const ui::View& view) const;
    void setValueOfFieldWithIdentifier(const fnd::Value& value, const fnd::String& identifier);
    virtual void updateReplacementString() { }

    const fnd::Dictionary& propertyMapping() const { return m_propertyMapping; }
    void setPropertyMapping(const fnd::Dictionary& mapping) { m_propertyMapping = mapping; }
    const std::vector<fnd::String>& createReplacementFromFieldsWithIdentifiers() const
    {
        return m_replacementIdentifiers;
    }
    void setCreateReplacementFromFieldsWithIdentifiers(std::vector<fnd::String> identifiers)
    {
        m_replacementIdentifiers = std::move(identifiers);
    }

private:
    std::vector<fnd::String> m_replacementIdentifiers;
    std::vector<ZORTextViewInspectorFieldPtr> m_subFields;
    fnd::Dictionary m_propertyMapping;
};

// A validated text field and a small button beside it: the URL field's button opens the address, the e-mail
// field's starts a mail to it. The button is enabled while the text is valid.
class ZORTextViewInspectorURLField : public ZORTextViewInspectorCompoundField {
    FND_OBJECT(ZORTextViewInspectorURLField)
    static void describeClass(fnd::ClassBuilder<ZORTextViewInspectorURLField>& c);

public:
    ZOR_INSPECTOR_FIELD_FACTORIES(ZORTextViewInspectorURLField)
    using ZORTextViewInspectorCompoundField::fieldWithIdentifier; // the sub-field with an identifier
    ZORTextViewInspectorURLField() = default;
    // Editable, as the text it holds: the compound's editability decides its text's.
    void init();
    // The designated initialiser builds the text (with the identifier and placeholder) and the button, so a field
    // made by name (an interface file) has both before the file's keys come.
    void initWithIdentifier(const fnd::String& identifier, std::optional<fnd::String> placeholder,
        ZORTextViewInspectorFieldLabelPtr label) override;
    void initWithPropertyName(const fnd::String& name, const std::shared_ptr<fnd::EntityDescription>& entity) override;
    void bindURLFieldToObject(fnd::Object& object, const fnd::String& keyPath);
    void openURLAction(const fnd::Value& sender);
    bool shouldBeVisibleWithEditableState(bool editable) const override;

    // What is shown and edited is the text's: the placeholder, the value and its binding "value" (the keys of an
    // interface file) go to sub-field 0.
    void setPlaceholder(std::optional<fnd::String> placeholder) override;
    void setValue(const fnd::Value& value) override;
    ZORInspectorValueState valueState() const override;
    void bind(const fnd::String& binding, fnd::Object& observable, const fnd::String& keyPath,
        const fnd::Dictionary& options = {}) override;
    void unbind(const fnd::String& binding) override;
    std::optional<fnd::Dictionary> infoForBinding(const fnd::String& binding) const override;

    // What assistive technologies call the button: what it does, with the field's label
    // (ZORTextViewInspectorAccessibility.cpp).
    fnd::String accessibilityNameOfButton() const;

protected:
    // The text the button acts on; nullopt (after a beep) when there is no single usable one.
    std::optional<fnd::String> buttonCandidate() const;
    // The validation, picture and action of the kind.
    virtual int validationMethod() const { return 2; }
    virtual fnd::String buttonImageName() const { return "VisitUrlImage"; }
    virtual fnd::Selector buttonAction() const { return "openURLAction:"; }
    // The string table's key of the button's name; with "Labelled" appended, the key of the name with a label.
    virtual fnd::String buttonAccessibilityKey() const { return "ZORTextViewInspectorOpenURL"; }

private:
    // Sub-fields 0 and 1: the text given and the button acting on it.
    void addTextAndButton(const std::shared_ptr<ZORTextViewInspectorField>& text);
};

class ZORTextViewInspectorEmailField : public ZORTextViewInspectorURLField {
    FND_OBJECT(ZORTextViewInspectorEmailField)
    static void describeClass(fnd::ClassBuilder<ZORTextViewInspectorEmailField>& c);

public:
    ZOR_INSPECTOR_FIELD_FACTORIES(ZORTextViewInspectorEmailField)
    using ZORTextViewInspectorCompoundField::fieldWithIdentifier; // the sub-field with an identifier
    ZORTextViewInspectorEmailField() = default;
    void bindEmailFieldToObject(fnd::Object& object, const fnd::String& keyPath)
    {
        bindURLFieldToObject(object, keyPath);
    }
    void writeEmailAction(const fnd::Value& sender);

protected:
    int validationMethod() const override { return 1; }
    fnd::String buttonImageName() const override { return "WriteEMailImage"; }
    fnd::Selector buttonAction() const override { return "writeEmailAction:"; }
    fnd::String buttonAccessibilityKey() const override { return "ZORTextViewInspectorWriteEMail"; }
};
