#pragma once

#include "platform/foundation/runtime/Object.h"

#include <compare>
#include <functional>
#include <optional>

namespace fnd {

// Key-value coding on any Value: objects answer their declared keys; arrays collect the key of every element and
// understand the collection operators (@count, @sum, @avg, @min, @max, @unionOfObjects, @distinctUnionOfObjects,
// @unionOfArrays, @distinctUnionOfArrays); dictionaries answer by key; numbers and strings answer their
// conversions ("intValue", "doubleValue", "boolValue", "length", ...); every value answers "self".
Value valueForKey(const Value& receiver, const String& key);
Value valueForKeyPath(const Value& receiver, const String& keyPath);
// Objects change in place. A dictionary or array receiver is changed as the value it is (nil removes a dictionary
// key; an array sets the key on every element).
void setValueForKey(Value& receiver, const Value& value, const String& key);
void setValueForKeyPath(Value& receiver, const Value& value, const String& keyPath);

// The elements of an array at the indexes (ascending), those past its end left out.
Array elementsAtIndexes(const Array& array, const IndexSet& indexes);

// The platform class name a value stands for ("NSNumber", "NSArray", ...), or the object's class name.
String classNameOf(const Value& value);

// The order @min and @max use: numbers by value, strings by code unit, dates by time; nullopt for other pairs.
std::optional<std::partial_ordering> compareValues(const Value& a, const Value& b);

// Process-wide hooks for keys nobody defines. An object reaches them through the default valueForUndefinedKey and
// setValueForUndefinedKey, so a class family that overrides those keeps its own behaviour; values that are not
// objects (numbers, strings, null, arrays asked directly) reach them too. Without a handler the platform default
// raises NSUnknownKeyException.
class KeyValueCoding {
public:
    using UndefinedKeyGetter = std::function<Value(const Value& receiver, const String& key)>;
    using UndefinedKeySetter = std::function<void(const Value& receiver, const Value& value, const String& key)>;
    // Asked first when an array is asked for a key (not an operator); nullopt lets the array collect the key of
    // every element.
    using ArrayKeyHandler = std::function<std::optional<Value>(const Array& array, const String& key)>;

    // An empty handler restores the default. Each returns the previous handler.
    static UndefinedKeyGetter setUndefinedKeyGetter(UndefinedKeyGetter handler);
    static UndefinedKeySetter setUndefinedKeySetter(UndefinedKeySetter handler);
    static ArrayKeyHandler setArrayKeyHandler(ArrayKeyHandler handler);

    static Value valueForUndefinedKey(const Value& receiver, const String& key);
    static void setValueForUndefinedKey(const Value& receiver, const Value& value, const String& key);

    // The platform defaults.
    [[noreturn]] static void raiseUndefinedKey(const Value& receiver, const String& key);
    [[noreturn]] static void raiseUndefinedKeyForSetting(const Value& receiver, const String& key);

    // The array key step alone: the handler, then collecting from the elements.
    static Value arrayValueForKey(const Array& array, const String& key);
};

}
