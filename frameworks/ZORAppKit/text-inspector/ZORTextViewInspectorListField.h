#pragma once

#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorCompoundField.h"
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorViewField.h"

#include "platform/ui/controls/Control.h"

namespace fnd {
class ObjectController;
}
namespace ui {
class TokenField;
}
class ZORTextViewInspectorListField;

// Told after a list field put a row in or took one out (the inspector is every list's delegate).
class ZORTextViewInspectorListFieldDelegate {
public:
    virtual ~ZORTextViewInspectorListFieldDelegate() = default;
    virtual void listFieldDidInsertRow(ZORTextViewInspectorListField&, const ZORTextViewInspectorFieldPtr&, std::size_t)
    {
    }
    virtual void listFieldDidRemoveRow(ZORTextViewInspectorListField&, const ZORTextViewInspectorFieldPtr&, std::size_t)
    {
    }
};

// A to-many relationship as rows: one copy of the template field per object of an array controller, following
// the controller's changes.
class ZORTextViewInspectorListField : public ZORTextViewInspectorCompoundField {
    FND_OBJECT(ZORTextViewInspectorListField)

public:
    ZOR_INSPECTOR_FIELD_FACTORIES(ZORTextViewInspectorListField)
    using ZORTextViewInspectorCompoundField::fieldWithIdentifier; // the sub-field with an identifier
    ZORTextViewInspectorListField() = default;
    ~ZORTextViewInspectorListField() override;

    void bindToObject(const std::shared_ptr<fnd::ObjectController>& controller, const fnd::String& controllerKey,
        const fnd::String& modelKeyPathForValue, const fnd::String& modelKeyPathForLabel);
    void unbindController();
    std::shared_ptr<fnd::ObjectController> observableController() const { return m_observableObject; }
    bool canAdd() const;
    bool canRemove() const;

    const std::vector<ZORTextViewInspectorFieldPtr>& allRows() const { return allFields(); }
    ZORTextViewInspectorFieldPtr rowAtIndex(std::size_t index) const { return fieldAtIndex(index); }
    ZORTextViewInspectorFieldPtr insertRowAtIndex(
        std::size_t index, const ZORTextViewInspectorFieldLabelPtr& label = nullptr);
    ZORTextViewInspectorFieldPtr addRow();
    void removeRowAtIndex(std::size_t index);
    void removeRow(const ZORTextViewInspectorField& row);
    void removeAllRows();

    // The place in the controller of the object the row at the index stands for; nullopt for a row without one.
    std::optional<std::size_t> controllerIndexOfRow(std::size_t rowIndex) const;

    bool isEnabled() const override;
    void setValue(const fnd::Value& value) override;

    const ZORTextViewInspectorFieldPtr& entryFieldTemplate() const { return m_entryFieldTemplate; }
    void setEntryFieldTemplate(const ZORTextViewInspectorFieldPtr& field)
    {
        m_entryFieldTemplate = field ? field->copy() : nullptr;
    }
    const std::vector<ZORTextViewInspectorFieldLabelPtr>& defaultLabels() const { return m_defaultLabels; }
    void setDefaultLabels(std::vector<ZORTextViewInspectorFieldLabelPtr> labels)
    {
        m_defaultLabels = std::move(labels);
    }
    const fnd::String& controllerKey() const { return m_controllerKey; }
    const fnd::String& modelKeyPathForValue() const { return m_modelKeyPathForValue; }
    const fnd::String& modelKeyPathForLabel() const { return m_modelKeyPathForLabel; }

    void observeValueForKeyPath(const fnd::String& keyPath, fnd::Object& object, const fnd::KeyValueChange& change,
        const void* context) override;

protected:
    // The row for an arranged object: its value follows the object.
    void bindRow(const ZORTextViewInspectorFieldPtr& row, const fnd::Value& object);
    void unbindRow(const ZORTextViewInspectorFieldPtr& row);
    fnd::Array controllerObjects() const;
    // The template's copy, with the list's editable and enabled state.
    ZORTextViewInspectorFieldPtr newRow(bool editable, bool enabled, const ZORTextViewInspectorFieldLabelPtr& label);
    void insertRowSilently(const ZORTextViewInspectorFieldPtr& row, std::size_t index);
    // The controller counts only rows that stand for an object; empty rows stand between them.
    std::size_t numberOfObjectRowsBefore(std::size_t rowIndex) const;
    std::optional<std::size_t> rowIndexOfControllerIndex(std::size_t index) const;
    std::size_t rowIndexForInsertionAtControllerIndex(std::size_t index) const;

    // The row whose edit is being written into the controller: the insertion it causes binds this row.
    std::weak_ptr<ZORTextViewInspectorField> m_adoptingRow;

private:
    ZORTextViewInspectorFieldPtr m_entryFieldTemplate;
    std::vector<ZORTextViewInspectorFieldLabelPtr> m_defaultLabels;
    std::shared_ptr<fnd::ObjectController> m_observableObject;
    fnd::String m_controllerKey;
    fnd::String m_modelKeyPathForValue;
    fnd::String m_modelKeyPathForLabel;
};

// A row of a token list: a token field.
class ZORTextViewInspectorTokenListFieldItem : public ZORTextViewInspectorViewField {
    FND_OBJECT(ZORTextViewInspectorTokenListFieldItem)

public:
    ZOR_INSPECTOR_FIELD_FACTORIES(ZORTextViewInspectorTokenListFieldItem)
    void initWithIdentifierAndView(const fnd::String& identifier, std::shared_ptr<ui::View> view,
        std::optional<fnd::String> placeholder, ZORTextViewInspectorFieldLabelPtr label) override;
    std::shared_ptr<ui::View> viewForField() override;
    std::shared_ptr<ui::TokenField> tokenField() const;
    std::shared_ptr<ZORTextViewInspectorListField> tokenListField() const;
    void setEditable(bool flag) override;
    void setPlaceholder(std::optional<fnd::String> placeholder) override;
    std::optional<fnd::String> notEditableReplacementString() const override;
    void setValue(const fnd::Value& value) override;
    // Binding "value" to a row's object also shows the object's value (the list's value path) and follows its later
    // changes, and lets the row's label follow the object (the list's label path). Edits reach the model through
    // the token list and its controller, never back through these bindings.
    void bind(const fnd::String& binding, fnd::Object& observable, const fnd::String& keyPath,
        const fnd::Dictionary& options = {}) override;
    void unbind(const fnd::String& binding) override;
    void takeBoundValue(const fnd::Value& value, const fnd::String& binding, const fnd::Dictionary& options) override;

    // Tokens the row's object gave while the row's own edit was ending, shown once it has ended.
    void showPendingTokens();
    // The tokens the row's object (or its value at the list's value path) gives, whatever the person typed since.
    const fnd::Value& modelTokens() const { return m_modelTokens; }

private:
    void showTokens(const fnd::Value& shown);

    fnd::Value m_modelTokens;
    std::optional<fnd::Value> m_pendingTokens;
};

// A list whose rows are token fields: ending a row's edit writes its object into the controller, and a line break
// typed in a row opens a new row below it.
class ZORTextViewInspectorTokenListField : public ZORTextViewInspectorListField, public ui::ControlTextEditingDelegate {
    FND_OBJECT(ZORTextViewInspectorTokenListField)

public:
    ZOR_INSPECTOR_FIELD_FACTORIES(ZORTextViewInspectorTokenListField)
    using ZORTextViewInspectorCompoundField::fieldWithIdentifier; // the sub-field with an identifier
    void initWithIdentifier(const fnd::String& identifier, std::optional<fnd::String> placeholder,
        ZORTextViewInspectorFieldLabelPtr label) override;
    virtual fnd::Value objectToInsertWithProposedObject(const fnd::Value& proposed,
        const ZORTextViewInspectorFieldPtr& row, std::size_t index, const ZORTextViewInspectorFieldLabelPtr& label);
    bool controlTextShouldEndEditing(ui::Control& control, ui::View& fieldEditor) override;
    void controlTextDidEndEditing(const fnd::Object& notification) override;
    void controlTextDidChange(const fnd::Object& notification) override;
    // A row's edit is being written into the controller.
    bool isEndingRowEdit() const { return m_endingRowEdit; }

private:
    bool m_endingRowEdit { false };
};
