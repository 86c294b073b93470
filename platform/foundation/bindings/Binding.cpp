#include "platform/foundation/bindings/Binding.h"

#include "platform/foundation/bindings/SelectionMarker.h"
#include "platform/foundation/detail/KeyValueObservingInternals.h"
#include "platform/foundation/runtime/Log.h"

namespace fnd {

namespace detail {

// One bound key: what it follows, and the observation that keeps it in step.
class BindingRecord {
public:
    BindingRecord(Object& observed, String keyPath, Dictionary options)
        : observed(observed)
        , keyPath(std::move(keyPath))
        , options(std::move(options))
    {
    }
    ~BindingRecord() { stopObserving(observed, registration); }

    WeakObjectRef observed;
    String keyPath;
    Dictionary options;
    std::shared_ptr<ObservationRegistration> registration;
};

}

namespace {

Error bindingError(BindingError code, const String& binding, const char* what)
{
    return Error::make(BindingErrorDomain, static_cast<std::int64_t>(code),
        String(fmt::format("Binding \"{}\" {}.", binding.utf8(), what)));
}

std::shared_ptr<detail::BindingRecord> findBinding(const Object& object, const String& binding)
{
    auto* state = detail::ObjectAccess::existingState(object);
    if (!state)
        return nullptr;
    std::lock_guard lock(state->mutex);
    auto it = state->bindings.find(binding);
    return it == state->bindings.end() ? nullptr : it->second;
}

}

std::shared_ptr<ValueTransformer> valueTransformerForBindingOptions(const Dictionary& options)
{
    if (auto transformer = options.get(BindingOption::ValueTransformer).objectAs<ValueTransformer>())
        return transformer;
    if (auto* name = options.find(BindingOption::ValueTransformerName); name && name->isString())
        return ValueTransformer::valueTransformerForName(*name->string());
    return nullptr;
}

void Object::bind(const String& binding, Object& observable, const String& keyPath, const Dictionary& options)
{
    unbind(binding);
    auto transformer = valueTransformerForBindingOptions(options);
    if (!transformer && options.contains(BindingOption::ValueTransformerName))
        logf(LogLevel::Warning, "Binding \"{}\" of {}: no value transformer named \"{}\"; values pass unchanged.",
            binding.utf8(), className().utf8(), options.get(BindingOption::ValueTransformerName).stringValue().utf8());

    WeakObjectRef receiver(*this);
    auto update = [receiver, binding, keyPath, transformer, options](Object& observed) {
        auto target = receiver.lock();
        if (!target)
            return;
        Value value = observed.valueForKeyPath(keyPath);
        // A marker says something about the selection, not a value to transform.
        if (transformer && !isSelectionMarker(value))
            value = transformer->transformedValue(value);
        target->takeBoundValue(value, binding, options);
    };

    auto record = std::make_shared<detail::BindingRecord>(observable, keyPath, options);
    // The update reads the whole value itself (a change may be to part of a to-many key): a registration asked for
    // the new value too would work it out twice.
    record->registration = detail::observe(observable, keyPath, KeyValueObservingOptions::None,
        [update](Object& observed, const KeyValueChange&) { update(observed); });
    {
        auto& state = detail::ObjectAccess::state(*this);
        std::lock_guard lock(state.mutex);
        state.bindings[binding] = record;
    }
    update(observable);
}

void Object::unbind(const String& binding)
{
    std::shared_ptr<detail::BindingRecord> removed;
    auto* state = existingState();
    if (!state)
        return;
    std::lock_guard lock(state->mutex);
    if (auto it = state->bindings.find(binding); it != state->bindings.end()) {
        removed = std::move(it->second);
        state->bindings.erase(it);
    }
}

void Object::takeBoundValue(const Value& value, const String& binding, const Dictionary& options)
{
    if (auto placeholder = placeholderForBoundValue(value, options))
        setValueForKey(*placeholder, binding);
    else
        setValueForKey(value, binding);
}

std::optional<Dictionary> Object::infoForBinding(const String& binding) const
{
    auto record = findBinding(*this, binding);
    if (!record)
        return std::nullopt;
    Dictionary info;
    if (auto observed = record->observed.lock())
        info.set(BindingInfoKey::ObservedObject, observed->selfValue());
    info.set(BindingInfoKey::ObservedKeyPath, record->keyPath);
    info.set(BindingInfoKey::Options, record->options);
    return info;
}

std::optional<Value> boundValue(const Object& object, const String& binding)
{
    auto record = findBinding(object, binding);
    if (!record)
        return std::nullopt;
    auto observed = record->observed.lock();
    if (!observed)
        return std::nullopt;
    Value value = observed->valueForKeyPath(record->keyPath);
    if (isSelectionMarker(value))
        return value;
    if (auto transformer = valueTransformerForBindingOptions(record->options))
        value = transformer->transformedValue(value);
    return value;
}

std::optional<Value> placeholderForBoundValue(const Value& value, const Dictionary& options)
{
    const String* option = nullptr;
    if (auto kind = selectionMarkerKind(value)) {
        switch (*kind) {
        case SelectionMarker::Kind::NoSelection:
            option = &BindingOption::NoSelectionPlaceholder;
            break;
        case SelectionMarker::Kind::MultipleValues:
            option = &BindingOption::MultipleValuesPlaceholder;
            break;
        case SelectionMarker::Kind::NotApplicable:
            option = &BindingOption::NotApplicablePlaceholder;
            break;
        }
    } else if (value.isNil() || value.isNull()) {
        option = &BindingOption::NullPlaceholder;
    }
    if (!option)
        return std::nullopt;
    auto* placeholder = options.find(*option);
    if (!placeholder)
        return std::nullopt;
    return *placeholder;
}

Expected<void> writeBackBindingValue(Object& object, const String& binding, const Value& value)
{
    auto record = findBinding(object, binding);
    if (!record)
        return std::unexpected(bindingError(BindingError::NotBound, binding, "is not bound"));
    auto observed = record->observed.lock();
    if (!observed)
        return std::unexpected(bindingError(BindingError::ObservedObjectGone, binding, "lost its observed object"));
    Value written = value;
    if (auto transformer = valueTransformerForBindingOptions(record->options)) {
        if (!transformer->allowsReverseTransformation())
            return std::unexpected(
                bindingError(BindingError::NotReversible, binding, "has a value transformer that cannot reverse"));
        written = transformer->reverseTransformedValue(value);
    }
    observed->setValueForKeyPath(written, record->keyPath);
    return {};
}

}
