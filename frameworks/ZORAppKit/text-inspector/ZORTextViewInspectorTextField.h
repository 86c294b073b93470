#pragma once

#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorField.h"

#include <expected>

namespace fnd {
class Formatter;
}

// The text kinds' own factory: a field with its identifier, placeholder and label.
#define ZOR_INSPECTOR_TEXT_FIELD_FACTORIES(Class)                                                                      \
    ZOR_INSPECTOR_FIELD_FACTORIES(Class)                                                                               \
    static std::shared_ptr<Class> fieldWithIdentifier(const fnd::String& identifier,                                   \
        std::optional<fnd::String> placeholder, ZORTextViewInspectorFieldLabelPtr label)                               \
    {                                                                                                                  \
        return make<Class>(identifier, std::move(label), std::move(placeholder));                                      \
    }

// How a text field checks what was typed.
enum class ZORInspectorValidationMethod : int { None = 0, EMailAddress = 1, URL = 2 };

// A field edited in place as text inside the inspector: the value becomes the shown string (through a formatter
// when there is one; lines of a plain string joined by line separators) and the edited string becomes the value.
class ZORTextViewInspectorTextField : public ZORTextViewInspectorField {
    FND_OBJECT(ZORTextViewInspectorTextField)

public:
    ZOR_INSPECTOR_TEXT_FIELD_FACTORIES(ZORTextViewInspectorTextField)
    ZORTextViewInspectorTextField() = default;
    void init();

    double overrideFontSizeWithPointSize() const { return m_overrideFontSize; }
    void setOverrideFontSizeWithPointSize(double size) { m_overrideFontSize = size; }
    bool supportTextCompletion() const { return m_supportTextCompletion; }
    void setSupportTextCompletion(bool flag) { m_supportTextCompletion = flag; }
    bool supportMultipleValues() const { return m_supportMultipleValues; }
    void setSupportMultipleValues(bool flag) { m_supportMultipleValues = flag; }
    const std::shared_ptr<fnd::Formatter>& formatter() const { return m_formatter; }
    // Keeps a copy.
    void setFormatter(const std::shared_ptr<fnd::Formatter>& formatter);
    ZORInspectorValidationMethod validationMethod() const { return m_validationMethod; }
    void setValidationMethod(ZORInspectorValidationMethod method) { m_validationMethod = method; }
    bool supportNewLine() const { return m_supportNewLine; }
    void setSupportNewLine(bool flag) { m_supportNewLine = flag; }

    // The value the shown string stands for: the value itself, but for an array or a set (without
    // supportMultipleValues) whose elements are all equal, which stands for that one element.
    fnd::Value shownValue() const;
    // The string the inspector shows for the value; nullopt when it shows none of its own (no value, or several
    // different ones).
    std::optional<fnd::String> displayStringForValue() const;
    // The value for an edited string; nil when the placeholder or the multiple-values text was left as it was. A
    // text the formatter cannot read gives its error: written to the model as it stands, it would put a string
    // where a number (or whatever the formatter makes) belongs.
    std::expected<fnd::Value, fnd::String> valueObjectForString(const fnd::String& string) const;
    bool isMultipleValue() const;
    bool isValueEmpty() const;

    void validate() override;
    // The inspector's call after the person changed the value.
    virtual void valueDidChangedFromTextInspector();
    void setValue(const fnd::Value& value) override;
    // An edit in the field ends before it stops taking edits.
    void setEditable(bool flag) override;
    // The object a "value" binding reaches may change under an edit (the selection moves on, the model sets
    // another value, the field is bound elsewhere): the edit ends first, so that what was typed is written to the
    // object it was typed for, never to the next.
    void bind(const fnd::String& binding, fnd::Object& observable, const fnd::String& keyPath,
        const fnd::Dictionary& options = {}) override;
    void unbind(const fnd::String& binding) override;
    void observeValueForKeyPath(const fnd::String& keyPath, fnd::Object& object, const fnd::KeyValueChange& change,
        const void* context) override;
    virtual std::vector<fnd::String> completionsForPartialString(const fnd::String& partial, long* indexOfSelectedItem);
    bool shouldBeVisibleWithEditableState(bool editable) const override;

protected:
    void copySettingsTo(ZORTextViewInspectorField& copy) const override;

private:
    // Ends an edit of this field in the inspector showing it.
    void endEditInInspector();
    void stopWatchingBoundValue();

    // What the "value" binding observes, watched for the moment before it changes.
    fnd::WeakObjectRef m_watchedObject;
    fnd::String m_watchedKeyPath;
    double m_overrideFontSize { 0 };
    bool m_supportTextCompletion { false };
    bool m_supportMultipleValues { false };
    std::shared_ptr<fnd::Formatter> m_formatter;
    ZORInspectorValidationMethod m_validationMethod { ZORInspectorValidationMethod::None };
    bool m_supportNewLine { false };
};

// A text field whose value is an integer, through one shared lenient "#0" number formatter.
class ZORTextViewInspectorIntegerField : public ZORTextViewInspectorTextField {
    FND_OBJECT(ZORTextViewInspectorIntegerField)

public:
    ZOR_INSPECTOR_TEXT_FIELD_FACTORIES(ZORTextViewInspectorIntegerField)
    ZORTextViewInspectorIntegerField() = default;
    void initWithIdentifier(const fnd::String& identifier, std::optional<fnd::String> placeholder,
        ZORTextViewInspectorFieldLabelPtr label) override;
    static const std::shared_ptr<fnd::Formatter>& sharedIntegerFormatter();
};
