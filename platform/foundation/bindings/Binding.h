#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/foundation/bindings/ValueTransformer.h"

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
// Shown in place of a selection marker, or of nil and null.
inline const String MultipleValuesPlaceholder = "NSMultipleValuesPlaceholder";
inline const String NoSelectionPlaceholder = "NSNoSelectionPlaceholder";
inline const String NotApplicablePlaceholder = "NSNotApplicablePlaceholder";
inline const String NullPlaceholder = "NSNullPlaceholder";
// A control bound with it is disabled while its value binding shows no selection, a key that does not apply, or
// (unless multiple values may be edited) multiple values.
inline const String ConditionallySetsEnabled = "NSConditionallySetsEnabled";
inline const String AllowsEditingMultipleValuesSelection = "NSAllowsEditingMultipleValuesSelection";
}

// Names of the bindings the platform's controllers and controls offer.
namespace BindingName {
inline const String Value = "value";
inline const String Enabled = "enabled";
inline const String Hidden = "hidden";
inline const String Content = "content";
inline const String ContentArray = "contentArray";
inline const String ContentObject = "contentObject";
inline const String ContentObjects = "contentObjects";
inline const String ContentValues = "contentValues";
inline const String SelectedIndex = "selectedIndex";
inline const String SelectedObject = "selectedObject";
inline const String SelectionIndexes = "selectionIndexes";
inline const String SortDescriptors = "sortDescriptors";
}

inline const String BindingErrorDomain = "FNDBindingErrorDomain";
enum class BindingError { NotBound = 1, ObservedObjectGone = 2, NotReversible = 3 };

// The transformer of a binding's options: the transformer object, else the one registered under the name
// (the null object counts as absent); nullptr when neither gives one.
std::shared_ptr<ValueTransformer> valueTransformerForBindingOptions(const Dictionary& options);

// The value a binding shows now: its observed key path's value, transformed (a selection marker untransformed);
// nullopt when the binding is not bound or its observed object is gone.
std::optional<Value> boundValue(const Object& object, const String& binding);

// The placeholder the options give for a selection marker, or for nil and null; nullopt for any other value or
// when the options give none.
std::optional<Value> placeholderForBoundValue(const Value& value, const Dictionary& options);

// Writes a value changed on the bound side back to the observed object's key path, reverse-transformed when the
// binding has a transformer. Nothing is written when the binding is not bound, its observed object is gone, or
// its transformer cannot reverse; the error says which.
Expected<void> writeBackBindingValue(Object& object, const String& binding, const Value& value);

}
