#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorCompoundField.h"

#include "frameworks/FoundationExtensions/ZORFrameworkBundle.h"
#include "frameworks/FoundationExtensions/ZORNSStringExtension.h"
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorTextField.h"
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorViewFieldKinds.h"

#include "platform/foundation/runtime/CharacterSet.h"
#include "platform/foundation/services/Workspace.h"
#include "platform/graphics/Image.h"
#include "platform/ui/views/Application.h"

#include <cstdio>

FND_REGISTER_CLASS(ZORTextViewInspectorCompoundField, ZORTextViewInspectorField)
FND_REGISTER_CLASS(ZORTextViewInspectorURLField, ZORTextViewInspectorCompoundField)
FND_REGISTER_CLASS(ZORTextViewInspectorEmailField, ZORTextViewInspectorURLField)

std::shared_ptr<ZORTextViewInspectorCompoundField> ZORTextViewInspectorCompoundField::fieldWithPropertyMapping(
    const fnd::Dictionary& mapping, const std::shared_ptr<fnd::EntityDescription>& entity)
{
    auto field = fnd::makeObject<ZORTextViewInspectorCompoundField>();
    field->initWithPropertyMapping(mapping, entity);
    return field;
}

void ZORTextViewInspectorCompoundField::initWithPropertyMapping(
    const fnd::Dictionary& mapping, const std::shared_ptr<fnd::EntityDescription>&)
{
    setPropertyMapping(mapping);
}

ZORTextViewInspectorFieldPtr ZORTextViewInspectorCompoundField::fieldAtIndex(std::size_t index) const
{
    return index < m_subFields.size() ? m_subFields[index] : nullptr;
}

fnd::Index ZORTextViewInspectorCompoundField::indexOfField(const ZORTextViewInspectorField& field) const
{
    for (std::size_t i = 0; i < m_subFields.size(); ++i)
        if (m_subFields[i].get() == &field)
            return static_cast<fnd::Index>(i);
    return fnd::NotFound;
}

void ZORTextViewInspectorCompoundField::addField(const ZORTextViewInspectorFieldPtr& field)
{
    insertField(field, m_subFields.size());
}

void ZORTextViewInspectorCompoundField::insertField(const ZORTextViewInspectorFieldPtr& field, std::size_t index)
{
    if (!field)
        return;
    m_subFields.insert(m_subFields.begin() + static_cast<std::ptrdiff_t>(std::min(index, m_subFields.size())), field);
    field->setCompoundField(std::static_pointer_cast<ZORTextViewInspectorCompoundField>(shared_from_this()));
}

void ZORTextViewInspectorCompoundField::removeFieldAtIndex(std::size_t index)
{
    if (index >= m_subFields.size())
        return;
    m_subFields[index]->setCompoundField(nullptr);
    m_subFields.erase(m_subFields.begin() + static_cast<std::ptrdiff_t>(index));
}

void ZORTextViewInspectorCompoundField::removeAllFields()
{
    for (const auto& field : m_subFields)
        field->setCompoundField(nullptr);
    m_subFields.clear();
}

ZORTextViewInspectorFieldPtr ZORTextViewInspectorCompoundField::fieldWithIdentifier(const fnd::String& identifier) const
{
    for (const auto& field : m_subFields)
        if (field->identifier() == identifier)
            return field;
    return nullptr;
}

ZORTextViewInspectorFieldPtr ZORTextViewInspectorCompoundField::fieldWithView(const ui::View& view) const
{
    auto index = indexOfFieldWithView(view);
    return index == fnd::NotFound ? nullptr : m_subFields[static_cast<std::size_t>(index)];
}

fnd::Index ZORTextViewInspectorCompoundField::indexOfFieldWithView(const ui::View& view) const
{
    for (std::size_t i = 0; i < m_subFields.size(); ++i)
        if (auto viewField = std::dynamic_pointer_cast<ZORTextViewInspectorViewField>(m_subFields[i]);
            viewField && viewField->view().get() == &view)
            return static_cast<fnd::Index>(i);
    return fnd::NotFound;
}

void ZORTextViewInspectorCompoundField::setValueOfFieldWithIdentifier(
    const fnd::Value& value, const fnd::String& identifier)
{
    if (auto field = fieldWithIdentifier(identifier))
        field->setValue(value);
}

// URL and e-mail.

void ZORTextViewInspectorURLField::describeClass(fnd::ClassBuilder<ZORTextViewInspectorURLField>& c)
{
    c.action("openURLAction:", &ZORTextViewInspectorURLField::openURLAction);
    // The keys an interface file sets reach the text as well: its identifier, placeholder and value.
    c.property(
        "identifier", [](const ZORTextViewInspectorURLField& f) { return f.identifier(); },
        [](ZORTextViewInspectorURLField& f, const fnd::String& v) {
            f.setIdentifier(v);
            if (auto text = f.fieldAtIndex(0))
                text->setIdentifier(v);
        });
    c.property(
        "value",
        [](const ZORTextViewInspectorURLField& f) {
            auto text = f.fieldAtIndex(0);
            return text ? text->value() : f.value();
        },
        [](ZORTextViewInspectorURLField& f, const fnd::Value& v) { f.setValue(v); });
}

void ZORTextViewInspectorEmailField::describeClass(fnd::ClassBuilder<ZORTextViewInspectorEmailField>& c)
{
    c.action("writeEmailAction:", &ZORTextViewInspectorEmailField::writeEmailAction);
}

void ZORTextViewInspectorURLField::init()
{
    ZORTextViewInspectorCompoundField::init();
    setEditable(true);
}

void ZORTextViewInspectorURLField::addTextAndButton(const std::shared_ptr<ZORTextViewInspectorField>& field)
{
    removeAllFields();
    if (auto text = std::dynamic_pointer_cast<ZORTextViewInspectorTextField>(field)) {
        text->setShouldAppendNewline(false);
        text->setValidationMethod(static_cast<ZORInspectorValidationMethod>(validationMethod()));
    }
    addField(field);
    auto button = make<ZORTextViewInspectorSmallButtonField>("button", nullptr);
    // The application may supply its own picture; the framework's stands in otherwise.
    auto image = gfx::Image::imageNamed(buttonImageName());
    if (!image)
        if (auto bundle = ZORFrameworkBundle::bundle())
            image = gfx::Image::imageForResource(*bundle, buttonImageName());
    button->setImage(image);
    button->setTarget(shared_from_this());
    button->setAction(buttonAction());
    button->bind("isEnabled", *field, "isValid");
    button->setViewShouldAlwaysBeVisible(true);
    addField(button);
}

void ZORTextViewInspectorURLField::initWithIdentifier(
    const fnd::String& identifier, std::optional<fnd::String> placeholder, ZORTextViewInspectorFieldLabelPtr label)
{
    ZORTextViewInspectorCompoundField::initWithIdentifier(identifier, placeholder, std::move(label));
    addTextAndButton(make<ZORTextViewInspectorTextField>(identifier, nullptr, std::move(placeholder)));
}

void ZORTextViewInspectorURLField::initWithPropertyName(
    const fnd::String& name, const std::shared_ptr<fnd::EntityDescription>& entity)
{
    // The compound itself gets no label and no placeholder; the text has the property's.
    ZORTextViewInspectorCompoundField::initWithIdentifier("", std::nullopt, nullptr);
    setEntity(entity);
    addTextAndButton(makeForProperty<ZORTextViewInspectorTextField>(name, entity));
    setIdentifier(name);
}

void ZORTextViewInspectorURLField::bindURLFieldToObject(fnd::Object& object, const fnd::String& keyPath)
{
    if (auto text = fieldAtIndex(0))
        text->bind("value", object, keyPath, {});
}

void ZORTextViewInspectorURLField::setPlaceholder(std::optional<fnd::String> placeholder)
{
    if (auto text = fieldAtIndex(0))
        text->setPlaceholder(placeholder);
    ZORTextViewInspectorCompoundField::setPlaceholder(std::move(placeholder));
}

void ZORTextViewInspectorURLField::setValue(const fnd::Value& value)
{
    if (auto text = fieldAtIndex(0))
        text->setValue(value);
    else
        ZORTextViewInspectorCompoundField::setValue(value);
}

ZORInspectorValueState ZORTextViewInspectorURLField::valueState() const
{
    auto text = fieldAtIndex(0);
    return text ? text->valueState() : ZORTextViewInspectorCompoundField::valueState();
}

void ZORTextViewInspectorURLField::bind(
    const fnd::String& binding, fnd::Object& observable, const fnd::String& keyPath, const fnd::Dictionary& options)
{
    if (auto text = fieldAtIndex(0); text && binding == "value")
        text->bind(binding, observable, keyPath, options);
    else
        ZORTextViewInspectorCompoundField::bind(binding, observable, keyPath, options);
}

void ZORTextViewInspectorURLField::unbind(const fnd::String& binding)
{
    if (auto text = fieldAtIndex(0); text && binding == "value")
        text->unbind(binding);
    else
        ZORTextViewInspectorCompoundField::unbind(binding);
}

std::optional<fnd::Dictionary> ZORTextViewInspectorURLField::infoForBinding(const fnd::String& binding) const
{
    if (auto text = fieldAtIndex(0); text && binding == "value")
        return text->infoForBinding(binding);
    return ZORTextViewInspectorCompoundField::infoForBinding(binding);
}

bool ZORTextViewInspectorURLField::shouldBeVisibleWithEditableState(bool editable) const
{
    if (!ZORTextViewInspectorCompoundField::shouldBeVisibleWithEditableState(editable))
        return false;
    auto text = fieldAtIndex(0);
    return !(text && !text->notEditableReplacementString() && text->valueState() == ZORInspectorValueState::NoValue
        && !editable);
}

std::optional<fnd::String> ZORTextViewInspectorURLField::buttonCandidate() const
{
    auto text = fieldAtIndex(0);
    std::optional<fnd::String> candidate;
    if (text && text->valueState() == ZORInspectorValueState::SingleValue) {
        // The address the field shows: one for several equal ones, of an array or a set alike.
        auto shown = std::dynamic_pointer_cast<ZORTextViewInspectorTextField>(text);
        const auto value = shown ? shown->shownValue() : text->value();
        if (const auto* string = value.string())
            candidate = *string;
        else if (const auto* array = value.array(); array && !array->empty() && array->front().string())
            candidate = *array->front().string();
    }
    if (candidate
        && candidate->stringByTrimmingCharactersInSet(fnd::CharacterSet::whitespaceAndNewlineCharacterSet()).isEmpty())
        candidate.reset();
    if (!candidate)
        ui::Application::shared().beep();
    return candidate;
}

void ZORTextViewInspectorURLField::openURLAction(const fnd::Value&)
{
    if (auto candidate = buttonCandidate())
        (void)fnd::Workspace::sharedWorkspace().openURL(ZORNSStringExtension::completedURLStringForString(*candidate));
}

void ZORTextViewInspectorEmailField::writeEmailAction(const fnd::Value&)
{
    auto candidate = buttonCandidate();
    if (!candidate)
        return;
    // The address goes into a URL: anything outside the characters an address part may hold is percent-encoded, so
    // a typed "?" or "&" cannot add headers to the mail.
    std::string encoded;
    for (unsigned char c : candidate->utf8()) {
        if (std::isalnum(c)
            || std::string_view("@.-_~!$'*+=^`{|}").find(static_cast<char>(c)) != std::string_view::npos)
            encoded += static_cast<char>(c);
        else {
            char buffer[4];
            std::snprintf(buffer, sizeof buffer, "%%%02X", c);
            encoded += buffer;
        }
    }
    (void)fnd::Workspace::sharedWorkspace().openURL(fnd::String("mailto:") + fnd::String(encoded.c_str()));
}
