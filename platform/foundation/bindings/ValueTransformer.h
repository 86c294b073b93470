#pragma once

#include "platform/foundation/runtime/Object.h"

#include <memory>

namespace fnd {

// Names of the standard transformers, registered before the first lookup.
namespace ValueTransformerName {
inline const String NegateBoolean = "NSNegateBoolean";
inline const String IsNil = "NSIsNil";
inline const String IsNotNil = "NSIsNotNil";
}

// Turns a value into another one for a binding, and (when it allows) back. The base passes values through.
class ValueTransformer : public Object {
    FND_OBJECT(ValueTransformer)
public:
    // The process-wide registry. A null transformer removes the name.
    static void setValueTransformer(std::shared_ptr<ValueTransformer> transformer, const String& name);
    static std::shared_ptr<ValueTransformer> valueTransformerForName(const String& name);
    static std::vector<String> valueTransformerNames();

    virtual bool allowsReverseTransformation() const { return true; }
    virtual Value transformedValue(const Value& value) const { return value; }
    // Raises an internal-inconsistency exception when the transformer does not allow it; otherwise the base
    // transforms forward.
    virtual Value reverseTransformedValue(const Value& value) const;
};

}
