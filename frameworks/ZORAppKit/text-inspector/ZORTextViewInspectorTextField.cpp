#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorTextField.h"

#include "frameworks/FoundationExtensions/ZORNSObject_Extension.h"
#include "frameworks/FoundationExtensions/ZORNSStringExtension.h"
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspector.h"

#include "platform/foundation/locale/Collator.h"
#include "platform/foundation/locale/NumberFormatter.h"
#include "platform/foundation/runtime/CharacterSet.h"
#include "platform/foundation/runtime/KeyValueObserving.h"
#include "platform/foundation/runtime/Set.h"

#include <algorithm>
#include <cctype>

FND_REGISTER_CLASS(ZORTextViewInspectorTextField, ZORTextViewInspectorField)
FND_REGISTER_CLASS(ZORTextViewInspectorIntegerField, ZORTextViewInspectorTextField)

namespace {

// "scheme://" followed by something: a letter, then letters, digits, "+", "-" or ".", before the "://".
bool ZORTextViewInspectorTextFieldHasScheme(const fnd::String& text)
{
    const auto utf8 = text.utf8();
    const auto colon = utf8.find("://");
    if (colon == std::string::npos || colon == 0 || colon + 3 >= utf8.size()
        || !std::isalpha(static_cast<unsigned char>(utf8[0])))
        return false;
    return std::all_of(utf8.begin(), utf8.begin() + std::ptrdiff_t(colon),
        [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.'; });
}

// The context of a text field's watch on what its "value" binding observes.
const char ZORTextViewInspectorTextFieldBoundValueContext = 0;

// The distinct elements of an array or a set (a set's members are distinct already); nullopt for other values.
std::optional<std::vector<fnd::Value>> ZORTextViewInspectorTextFieldElements(const fnd::Value& value)
{
    if (const auto* set = value.set())
        return set->allObjects();
    if (const auto* array = value.array())
        return fnd::Set(*array).allObjects();
    return std::nullopt;
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

fnd::Value ZORTextViewInspectorTextField::shownValue() const
{
    if (m_supportMultipleValues)
        return value();
    auto elements = ZORTextViewInspectorTextFieldElements(value());
    return elements && elements->size() == 1 ? elements->front() : value();
}

std::optional<fnd::String> ZORTextViewInspectorTextField::displayStringForValue() const
{
    // Several selected objects holding the same value show it; different values, or none, show nothing.
    const fnd::Value shown = shownValue();
    if (shown.isNil() || (!m_supportMultipleValues && (shown.array() || shown.set())))
        return std::nullopt;
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

std::expected<fnd::Value, fnd::String> ZORTextViewInspectorTextField::valueObjectForString(
    const fnd::String& string) const
{
    auto same = [&](const fnd::String& other) { return fnd::localizedCaseInsensitiveCompare(string, other) == 0; };
    if ((placeholder() && same(*placeholder()))
        || same(ZORTextViewInspectorLocalizedString("ZORTextViewInspectorMultipleValues")))
        return fnd::Value();
    if (m_formatter)
        return m_formatter->getObjectValue(string);
    return fnd::Value(string);
}

bool ZORTextViewInspectorTextField::isMultipleValue() const
{
    auto elements = ZORTextViewInspectorTextFieldElements(value());
    return elements && elements->size() > 1;
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
    if (const auto* set = v.set())
        return set->isEmpty();
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
        // An address with its scheme written out is one to open whatever its host ("http://localhost:8080",
        // "file:///srv/pictures"): the check for a dot is for addresses typed without one.
        valid = ZORNSStringExtension::validateURL(shown) || ZORTextViewInspectorTextFieldHasScheme(shown);
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
    // A value set from outside replaces what the field stood for: an edit of the old one ends with it.
    endEditInInspector();
    ZORTextViewInspectorField::setValue(value);
    validate();
    if (auto inspector = textViewInspector())
        inspector->updateDisplayOfTextField(*this);
}

void ZORTextViewInspectorTextField::setEditable(bool flag)
{
    // What was typed while the field took edits is kept; the keys after it go nowhere.
    if (!flag)
        endEditInInspector();
    ZORTextViewInspectorField::setEditable(flag);
}

void ZORTextViewInspectorTextField::endEditInInspector()
{
    if (auto inspector = textViewInspector())
        inspector->endEditingOfField(*this);
}

void ZORTextViewInspectorTextField::bind(
    const fnd::String& binding, fnd::Object& observable, const fnd::String& keyPath, const fnd::Dictionary& options)
{
    ZORTextViewInspectorField::bind(binding, observable, keyPath, options);
    if (binding != "value")
        return;
    // Told before the bound value changes, while the binding still reaches the object the edit was typed for.
    m_watchedObject = fnd::WeakObjectRef(observable);
    m_watchedKeyPath = keyPath;
    observable.addObserver(
        *this, keyPath, fnd::KeyValueObservingOptions::Prior, &ZORTextViewInspectorTextFieldBoundValueContext);
}

void ZORTextViewInspectorTextField::unbind(const fnd::String& binding)
{
    if (binding == "value") {
        // Written back through the binding it was typed under.
        endEditInInspector();
        stopWatchingBoundValue();
    }
    ZORTextViewInspectorField::unbind(binding);
}

void ZORTextViewInspectorTextField::stopWatchingBoundValue()
{
    if (auto observed = m_watchedObject.lock())
        observed->removeObserver(*this, m_watchedKeyPath, &ZORTextViewInspectorTextFieldBoundValueContext);
    m_watchedObject = {};
    m_watchedKeyPath = {};
}

void ZORTextViewInspectorTextField::observeValueForKeyPath(
    const fnd::String& keyPath, fnd::Object& object, const fnd::KeyValueChange& change, const void* context)
{
    if (context != &ZORTextViewInspectorTextFieldBoundValueContext) {
        ZORTextViewInspectorField::observeValueForKeyPath(keyPath, object, change, context);
        return;
    }
    // The value that follows arrives through the binding itself.
    if (change.isPrior)
        endEditInInspector();
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
