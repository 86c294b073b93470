#include "platform/foundation/bindings/ValueTransformer.h"

#include "platform/foundation/runtime/Exception.h"

#include <fmt/format.h>

#include <map>
#include <mutex>

namespace fnd {

FND_REGISTER_CLASS(ValueTransformer, Object)

namespace {

// YES for NO and NO for YES (nil counts as NO); its own inverse.
class NegateBooleanTransformer final : public ValueTransformer {
public:
    Value transformedValue(const Value& value) const override { return Value(!value.boolValue()); }
    Value reverseTransformedValue(const Value& value) const override { return transformedValue(value); }
};

// Whether the value is nil; the null object is a value.
class IsNilTransformer final : public ValueTransformer {
public:
    explicit IsNilTransformer(bool answerForNil)
        : m_answerForNil(answerForNil)
    {
    }
    bool allowsReverseTransformation() const override { return false; }
    Value transformedValue(const Value& value) const override { return Value(value.isNil() == m_answerForNil); }

private:
    bool m_answerForNil;
};

struct TransformerRegistry {
    std::mutex mutex;
    std::map<String, std::shared_ptr<ValueTransformer>> transformers;

    TransformerRegistry()
    {
        transformers[ValueTransformerName::NegateBoolean] = std::make_shared<NegateBooleanTransformer>();
        transformers[ValueTransformerName::IsNil] = std::make_shared<IsNilTransformer>(true);
        transformers[ValueTransformerName::IsNotNil] = std::make_shared<IsNilTransformer>(false);
    }
};

TransformerRegistry& transformerRegistry()
{
    static TransformerRegistry r;
    return r;
}

}

void ValueTransformer::setValueTransformer(std::shared_ptr<ValueTransformer> transformer, const String& name)
{
    auto& r = transformerRegistry();
    std::lock_guard lock(r.mutex);
    if (transformer)
        r.transformers[name] = std::move(transformer);
    else
        r.transformers.erase(name);
}

std::shared_ptr<ValueTransformer> ValueTransformer::valueTransformerForName(const String& name)
{
    auto& r = transformerRegistry();
    std::lock_guard lock(r.mutex);
    auto it = r.transformers.find(name);
    return it == r.transformers.end() ? nullptr : it->second;
}

std::vector<String> ValueTransformer::valueTransformerNames()
{
    auto& r = transformerRegistry();
    std::lock_guard lock(r.mutex);
    std::vector<String> names;
    for (const auto& [name, t] : r.transformers)
        names.push_back(name);
    return names;
}

Value ValueTransformer::reverseTransformedValue(const Value& value) const
{
    if (!allowsReverseTransformation())
        throw Exception::internalInconsistency(String(
            fmt::format("{}: reverse value transformation is not supported by this transformer.", className().utf8())));
    return transformedValue(value);
}

}
