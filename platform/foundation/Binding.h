#pragma once

#include "platform/foundation/Error.h"
#include "platform/foundation/Object.h"
#include "platform/foundation/ValueTransformer.h"

namespace fnd {

// Keys of the dictionary infoForBinding answers.
namespace BindingInfoKey {
inline const String ObservedObject = "NSObservedObject";
inline const String ObservedKeyPath = "NSObservedKeyPath";
inline const String Options = "NSOptions";
}

// Binding options the platform itself reads.
namespace BindingOption {
inline const String ValueTransformer = "NSValueTransformer";
inline const String ValueTransformerName = "NSValueTransformerName";
}

inline const String BindingErrorDomain = "FNDBindingErrorDomain";
enum class BindingError { NotBound = 1, ObservedObjectGone = 2, NotReversible = 3 };

// The transformer of a binding's options: the transformer object, else the one registered under the name
// (the null object counts as absent); nullptr when neither gives one.
std::shared_ptr<ValueTransformer> valueTransformerForBindingOptions(const Dictionary& options);

// Writes a value changed on the bound side back to the observed object's key path, reverse-transformed when the
// binding has a transformer. Nothing is written when the binding is not bound, its observed object is gone, or
// its transformer cannot reverse; the error says which.
Expected<void> writeBackBindingValue(Object& object, const String& binding, const Value& value);

}
