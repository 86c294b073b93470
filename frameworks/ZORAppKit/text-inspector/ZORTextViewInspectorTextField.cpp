#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorTextField.h"

#include "frameworks/FoundationExtensions/ZORNSObject_Extension.h"
#include "frameworks/FoundationExtensions/ZORNSStringExtension.h"
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspector.h"

#include "platform/foundation/locale/Collator.h"
#include "platform/foundation/locale/NumberFormatter.h"
#include "platform/foundation/runtime/CharacterSet.h"

FND_REGISTER_CLASS(ZORTextViewInspectorTextField, ZORTextViewInspectorField)
FND_REGISTER_CLASS(ZORTextViewInspectorIntegerField, ZORTextViewInspectorTextField)

namespace {

// The distinct elements of a collection, in first-seen order.
fnd::Array ZORTextViewInspectorTextFieldDistinct(const fnd::Array& array)
{
    fnd::Array distinct;
    for (const auto& element : array)
        if (std::find(distinct.begin(), distinct.end(), element) == distinct.end())
            distinct.push_back(element);
    return distinct;
}

}

void ZORTextViewInspectorTextField::init()
{
    ZORTextViewInspectorField::init();
    setEditable(true);
}

void ZORTextViewInspectorTextField::setFormatter(const std::shared_ptr<fnd::Formatter>& formatter)
{
    m_formatter = formatter ? formatter->copy() : nullptr;
}

std::optional<fnd::String> ZORTextViewInspectorTextField::displayStringForValue() const
{
    fnd::Value shown = value();
    if (shown.isNil())
        return std::nullopt;
    if (const auto* array = shown.array(); array && !m_supportMultipleValues) {
        // Several selected objects holding the same value show it; different values show none.
        auto distinct = ZORTextViewInspectorTextFieldDistinct(*array);
        if (distinct.empty())
            return std::nullopt;
        if (distinct.size() > 1)
            return std::nullopt;
        shown = distinct.front();
    }
    if (m_formatter) {
        auto string = m_formatter->stringForObjectValue(shown);
        return string ? std::optional<fnd::String>(*string) : std::nullopt;
    }
    const auto* string = shown.string();
    if (!string)
        return std::nullopt;
    auto parts = string->componentsSeparatedByCharactersInSet(fnd::CharacterSet::newlineCharacterSet());
    if (parts.size() < 2)
        return *string;
    std::vector<fnd::String> lines;
    for (auto& part : parts)
        if (!part.isEmpty())
            lines.push_back(part);
    return fnd::componentsJoinedByString(lines, ZORNSStringExtension::stringWithCharacter(0x2028));
}

fnd::Value ZORTextViewInspectorTextField::valueObjectForString(const fnd::String& string) const
{
    auto same = [&](const fnd::String& other) { return fnd::localizedCaseInsensitiveCompare(string, other) == 0; };
    if ((placeholder() && same(*placeholder()))
        || same(ZORTextViewInspectorLocalizedString("ZORTextViewInspectorMultipleValues")))
        return {};
    if (m_formatter) {
        if (auto object = m_formatter->getObjectValue(string))
            return *object;
    }
    return fnd::Value(string);
}

bool ZORTextViewInspectorTextField::isMultipleValue() const
{
    const auto* array = value().array();
    return array && ZORTextViewInspectorTextFieldDistinct(*array).size() > 1;
}

bool ZORTextViewInspectorTextField::isValueEmpty() const
{
    const auto& v = value();
    if (v.isNil())
        return true;
    if (const auto* s = v.string())
        return s->stringByTrimmingCharactersInSet(fnd::CharacterSet::whitespaceAndNewlineCharacterSet()).isEmpty();
    if (const auto* n = v.number())
        return n->floatValue() == 0 && n->integerValue() == 0;
    if (const auto* a = v.array())
        return a->empty();
    return false;
}

void ZORTextViewInspectorTextField::validate()
{
    bool valid = false;
    auto shown = displayStringForValue().value_or("");
    switch (m_validationMethod) {
    case ZORInspectorValidationMethod::None:
        valid = true;
        break;
    case ZORInspectorValidationMethod::EMailAddress:
        valid = ZORNSStringExtension::validateEMailAddress(shown);
        break;
    case ZORInspectorValidationMethod::URL:
        valid = ZORNSStringExtension::validateURL(shown);
        break;
    }
    setValid(valid);
    ZORNSObject_Extension::propagateValue(*this, fnd::Value(valid), "isValid");
}

void ZORTextViewInspectorTextField::valueDidChangedFromTextInspector()
{
    validate();
}

void ZORTextViewInspectorTextField::setValue(const fnd::Value& value)
{
    ZORTextViewInspectorField::setValue(value);
    validate();
    if (auto inspector = textViewInspector())
        inspector->updateDisplayOfTextField(*this);
}

std::vector<fnd::String> ZORTextViewInspectorTextField::completionsForPartialString(const fnd::String&, long*)
{
    return {};
}

bool ZORTextViewInspectorTextField::shouldBeVisibleWithEditableState(bool editable) const
{
    if (!ZORTextViewInspectorField::shouldBeVisibleWithEditableState(editable))
        return false;
    return !(!editable && !notEditableReplacementString() && valueState() == ZORInspectorValueState::NoValue);
}

void ZORTextViewInspectorTextField::copySettingsTo(ZORTextViewInspectorField& copy) const
{
    ZORTextViewInspectorField::copySettingsTo(copy);
    auto& text = static_cast<ZORTextViewInspectorTextField&>(copy);
    text.m_overrideFontSize = m_overrideFontSize;
    text.m_supportTextCompletion = m_supportTextCompletion;
    text.m_supportMultipleValues = m_supportMultipleValues;
    text.setFormatter(m_formatter);
    text.m_validationMethod = m_validationMethod;
    // Rows of a list are copies: a multi-line template must give multi-line rows.
    text.m_supportNewLine = m_supportNewLine;
}

const std::shared_ptr<fnd::Formatter>& ZORTextViewInspectorIntegerField::sharedIntegerFormatter()
{
    static const std::shared_ptr<fnd::Formatter> formatter = [] {
        auto made = std::make_shared<fnd::NumberFormatter>();
        made->setNumberStyle(fnd::NumberFormatterStyle::Decimal);
        made->setAllowsFloats(false);
        made->setLocalizesFormat(true);
        made->setFormat("#0");
        made->setLenient(true);
        return std::static_pointer_cast<fnd::Formatter>(made);
    }();
    return formatter;
}

void ZORTextViewInspectorIntegerField::initWithIdentifier(
    const fnd::String& identifier, std::optional<fnd::String> placeholder, ZORTextViewInspectorFieldLabelPtr label)
{
    ZORTextViewInspectorTextField::initWithIdentifier(identifier, std::move(placeholder), std::move(label));
    setFormatter(sharedIntegerFormatter());
}
