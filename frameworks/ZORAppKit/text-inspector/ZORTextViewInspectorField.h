#pragma once

#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorFieldLabel.h"

#include "platform/foundation/runtime/Object.h"
#include "platform/graphics/Geometry.h"

#include <memory>
#include <optional>
#include <vector>

namespace fnd {
class EntityDescription;
}
namespace ui {
class Menu;
}
class ZORPopUpButton;
class ZORTextViewInspector;
class ZORTextViewInspectorCompoundField;
class ZORTextViewInspectorField;

// Told when the person chose another label of a field (and, for list fields, when rows come and go).
class ZORTextViewInspectorFieldDelegate {
public:
    virtual ~ZORTextViewInspectorFieldDelegate() = default;
    virtual void inspectorFieldDidChangeLabelSelection(
        ZORTextViewInspectorField&, const ZORTextViewInspectorFieldLabelPtr&)
    {
    }
};

// The class factories every kind of field has: a new, initialised field of exactly that kind. The class registry
// (interface files, copies) makes a field by name with createByName: initialised without identifier, label or
// placeholder, which the file's keys then set.
#define ZOR_INSPECTOR_FIELD_FACTORIES(Class)                                                                           \
    static std::shared_ptr<Class> createByName()                                                                       \
    {                                                                                                                  \
        return makeByName<Class>();                                                                                    \
    }                                                                                                                  \
    static std::shared_ptr<Class> fieldWithIdentifier(                                                                 \
        const fnd::String& identifier, ZORTextViewInspectorFieldLabelPtr label)                                        \
    {                                                                                                                  \
        return make<Class>(identifier, std::move(label));                                                              \
    }                                                                                                                  \
    static std::shared_ptr<Class> fieldWithPropertyName(                                                               \
        const fnd::String& name, const std::shared_ptr<fnd::EntityDescription>& entity)                                \
    {                                                                                                                  \
        return makeForProperty<Class>(name, entity);                                                                   \
    }

// What a field shows, from its value: one value, several different ones, no selected object, or nothing.
enum class ZORInspectorValueState : unsigned { SingleValue = 0, MultipleValues = 1, NoSelection = 2, NoValue = 3 };

// The model behind one row of the text inspector: a value, a label (chosen from a list of labels when the list has
// two or more), the flags that decide whether and how the inspector shows it, and the bindings "value" and "isValid"
// through which the person's changes go back to the model. It draws nothing; the inspector asks and calls back.
class ZORTextViewInspectorField : public fnd::Object {
    FND_OBJECT(ZORTextViewInspectorField)
    static void describeClass(fnd::ClassBuilder<ZORTextViewInspectorField>& c);

public:
    ZOR_INSPECTOR_FIELD_FACTORIES(ZORTextViewInspectorField)
    ZORTextViewInspectorField() = default;
    ~ZORTextViewInspectorField() override;
    void init();
    // The designated initialiser; placeholder and default placeholder both take the placeholder.
    virtual void initWithIdentifier(
        const fnd::String& identifier, std::optional<fnd::String> placeholder, ZORTextViewInspectorFieldLabelPtr label);
    // Label and placeholder from the entity's model texts; an empty name leaves them out but keeps the entity.
    virtual void initWithPropertyName(const fnd::String& name, const std::shared_ptr<fnd::EntityDescription>& entity);

    // Factories of every kind: an instance of T, initialised.
    template <typename T>
    static std::shared_ptr<T> make(const fnd::String& identifier, ZORTextViewInspectorFieldLabelPtr label,
        std::optional<fnd::String> placeholder = std::nullopt)
    {
        auto field = fnd::makeObject<T>();
        field->initWithIdentifier(identifier, std::move(placeholder), std::move(label));
        return field;
    }
    // How a kind is made by name; kinds whose parts come from their initialiser (a URL field's text and button)
    // declare their own.
    template <typename T> static std::shared_ptr<T> makeByName() { return make<T>(fnd::String(), nullptr); }
    template <typename T>
    static std::shared_ptr<T> makeForProperty(
        const fnd::String& name, const std::shared_ptr<fnd::EntityDescription>& entity)
    {
        auto field = fnd::makeObject<T>();
        field->initWithPropertyName(name, entity);
        return field;
    }

    // Flags.
    bool isSeparator() const { return m_isSeparator; }
    void setIsSeparator(bool flag) { m_isSeparator = flag; }
    bool isEditable() const { return m_isEditable; }
    // setEditable and the key "isEditable" both end here.
    virtual void setEditable(bool flag) { m_isEditable = flag; }
    bool isHidden() const { return m_isHidden; }
    void setHidden(bool flag) { m_isHidden = flag; }
    virtual bool isEnabled() const { return m_isEnabled; }
    // setEnabled and the key "isEnabled" both end here.
    virtual void setEnabled(bool flag) { m_isEnabled = flag; }
    bool isValid() const { return m_isValid; }
    void setValid(bool flag);
    bool isLabelHidden() const { return m_isLabelHidden; }
    void setLabelHidden(bool flag) { m_isLabelHidden = flag; }
    bool shouldAppendNewline() const { return m_shouldAppendNewline; }
    void setShouldAppendNewline(bool flag) { m_shouldAppendNewline = flag; }
    bool suppressFieldIfNotEditable() const { return m_suppressFieldIfNotEditable; }
    void setSuppressFieldIfNotEditable(bool flag) { m_suppressFieldIfNotEditable = flag; }
    double minimumHeight() const { return m_minimumHeight; }
    void setMinimumHeight(double height) { m_minimumHeight = height; }
    double insetValue() const { return m_insetValue; }
    void setInsetValue(double inset) { m_insetValue = inset; }
    bool suppressMinimumHeight() const { return m_suppressMinimumHeight; }
    void setSuppressMinimumHeight(bool flag) { m_suppressMinimumHeight = flag; }
    bool conditionallySetsHidden() const { return m_conditionallySetsHidden; }
    void setConditionallySetsHidden(bool flag) { m_conditionallySetsHidden = flag; }
    gfx::Rect lineFragmentRect() const { return m_lineFragmentRect; }
    void setLineFragmentRect(gfx::Rect rect) { m_lineFragmentRect = rect; }

    // Texts.
    const fnd::String& identifier() const { return m_identifier; }
    void setIdentifier(const fnd::String& identifier) { m_identifier = identifier; }
    virtual std::optional<fnd::String> notEditableReplacementString() const { return m_notEditableReplacementString; }
    void setNotEditableReplacementString(std::optional<fnd::String> string)
    {
        m_notEditableReplacementString = std::move(string);
    }
    const std::optional<fnd::String>& placeholder() const { return m_placeholder; }
    virtual void setPlaceholder(std::optional<fnd::String> placeholder) { m_placeholder = std::move(placeholder); }
    const std::optional<fnd::String>& defaultPlaceholder() const { return m_defaultPlaceholder; }
    void setDefaultPlaceholder(std::optional<fnd::String> placeholder)
    {
        m_defaultPlaceholder = std::move(placeholder);
    }

    // The value: a single value, an array (one entry per selected model object), null or nil.
    const fnd::Value& value() const { return m_value; }
    virtual void setValue(const fnd::Value& value);
    virtual ZORInspectorValueState valueState() const;

    // Labels.
    const ZORTextViewInspectorFieldLabelPtr& label() const { return m_label; }
    void setLabel(const ZORTextViewInspectorFieldLabelPtr& label);
    bool hasLabel() const { return m_label != nullptr; }
    const std::vector<ZORTextViewInspectorFieldLabelPtr>& labelArray() const { return m_labelArray; }
    void setLabelArray(std::vector<ZORTextViewInspectorFieldLabelPtr> labels) { m_labelArray = std::move(labels); }
    // The own labels, else the compound field's.
    std::vector<ZORTextViewInspectorFieldLabelPtr> effectiveLabelArray() const;
    const fnd::Value& selectedRepresentedObjectOfLabel() const { return m_selectedRepresentedObjectOfLabel; }
    void setSelectedRepresentedObjectOfLabel(const fnd::Value& object);
    ZORTextViewInspectorFieldLabelPtr labelWithRepresentedObject(const fnd::Value& object) const;
    bool shouldDisplayLabelMenu() const;
    std::shared_ptr<ui::Menu> labelMenu();
    std::shared_ptr<ui::Menu> createLabelMenu();
    // Made on first request.
    std::shared_ptr<ZORPopUpButton> labelSelectionPopup();
    bool hasLabelSelectionPopup() const { return m_labelSelectionPopup != nullptr; }
    // The action of the label menu's items; the sender is the chosen item.
    void labelSelectionDidChange(const fnd::Value& sender);

    // Relations.
    std::shared_ptr<ZORTextViewInspectorCompoundField> compoundField() const { return m_compoundField.lock(); }
    void setCompoundField(const std::shared_ptr<ZORTextViewInspectorCompoundField>& field);
    // True for the field itself and for every compound field above it.
    bool isSubFieldOf(const ZORTextViewInspectorField& field) const;
    std::shared_ptr<fnd::EntityDescription> entity() const { return m_entity; }
    void setEntity(std::shared_ptr<fnd::EntityDescription> entity) { m_entity = std::move(entity); }
    // Not kept alive. Label changes reach it when it is a ZORTextViewInspectorFieldDelegate.
    std::shared_ptr<fnd::Object> delegate() const { return m_delegate.lock(); }
    virtual void setDelegate(const std::shared_ptr<fnd::Object>& delegate) { m_delegate = delegate; }
    // The context of the edited objects (the platform's model stand-in: any object).
    std::shared_ptr<fnd::Object> managedObjectContext() const { return m_managedObjectContext; }
    void setManagedObjectContext(std::shared_ptr<fnd::Object> context) { m_managedObjectContext = std::move(context); }
    std::shared_ptr<fnd::Object> dataSource() const { return m_dataSource.lock(); }
    void setDataSource(const std::shared_ptr<fnd::Object>& source) { m_dataSource = source; }
    // The controller's object a list row stands for; nil for a row without one (added by the person, or offered
    // for a default label). The row's value is the object's value, not the object.
    const fnd::Value& listObject() const { return m_listObject; }
    void setListObject(const fnd::Value& object) { m_listObject = object; }
    std::shared_ptr<ZORTextViewInspector> textViewInspector() const { return m_textViewInspector.lock(); }
    void setTextViewInspector(const std::shared_ptr<ZORTextViewInspector>& inspector)
    {
        m_textViewInspector = inspector;
    }

    // What the inspector asks.
    virtual bool shouldBeVisibleWithEditableState(bool editable) const;
    virtual void hasBecomeVisibleInInspector(const std::shared_ptr<ZORTextViewInspector>& inspector);
    virtual bool shouldBeEditableWithEditableState(bool editable) const { return editable; }
    // Yes, unless the field's "isEnabled" is bound: then what the binding says (a rebuild must not switch on a
    // button that its validity switched off).
    virtual bool shouldBeEnabledWithEditableState(bool editable) const;
    virtual void validate() { }

    void setNilValueForKey(const fnd::String& key) override;

    // A new field of the same class with the settings a copy takes over (never the value).
    std::shared_ptr<ZORTextViewInspectorField> copy() const;

protected:
    // Kinds add their own settings; the base takes over its own.
    virtual void copySettingsTo(ZORTextViewInspectorField& copy) const;

private:
    bool m_isSeparator { false };
    bool m_isEditable { false };
    bool m_isHidden { false };
    bool m_isEnabled { true };
    bool m_isValid { true };
    fnd::String m_identifier;
    fnd::Value m_value;
    ZORTextViewInspectorFieldLabelPtr m_label;
    std::vector<ZORTextViewInspectorFieldLabelPtr> m_labelArray;
    fnd::Value m_selectedRepresentedObjectOfLabel;
    bool m_isLabelHidden { false };
    bool m_shouldAppendNewline { true };
    bool m_suppressFieldIfNotEditable { false };
    double m_minimumHeight { 0 };
    double m_insetValue { 0 };
    std::optional<fnd::String> m_notEditableReplacementString;
    std::weak_ptr<ZORTextViewInspectorCompoundField> m_compoundField;
    std::shared_ptr<fnd::EntityDescription> m_entity;
    std::optional<fnd::String> m_placeholder;
    std::optional<fnd::String> m_defaultPlaceholder;
    gfx::Rect m_lineFragmentRect;
    bool m_suppressMinimumHeight { false };
    bool m_conditionallySetsHidden { false };
    std::weak_ptr<fnd::Object> m_delegate;
    std::shared_ptr<fnd::Object> m_managedObjectContext;
    std::weak_ptr<fnd::Object> m_dataSource;
    std::shared_ptr<ZORPopUpButton> m_labelSelectionPopup;
    std::weak_ptr<ZORTextViewInspector> m_textViewInspector;
    fnd::Value m_listObject;
};

using ZORTextViewInspectorFieldPtr = std::shared_ptr<ZORTextViewInspectorField>;

// The inspector's texts: the string table "ZORTextViewInspector" of the framework's bundle.
fnd::String ZORTextViewInspectorLocalizedString(const fnd::String& key);
