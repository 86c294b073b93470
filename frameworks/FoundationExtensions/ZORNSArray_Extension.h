#pragma once

#include "platform/foundation/runtime/IndexSet.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/foundation/runtime/Selector.h"
#include "platform/foundation/runtime/String.h"
#include "platform/foundation/runtime/Value.h"

#include <functional>
#include <optional>
#include <unordered_map>

// Filtering, joining, selector mapping and identity tests on arrays. Results are new arrays. Identity means the same
// object (plain values such as numbers and strings have no identity of their own and count as identical when equal);
// equality is the element's own equality test. Key-value coding of arrays ("allValues", "objectAtIndex<N>") is
// installed with the object extension.
namespace ZORNSArray_Extension {

// Elements whose value for the key (key path) is equal to the value, in order.
fnd::Array arrayFromArrayForKey(const fnd::Array& array, const fnd::String& key, const fnd::Value& matching);
fnd::Array arrayFromArrayForKeyPath(const fnd::Array& array, const fnd::String& keyPath, const fnd::Value& matching);
// Elements whose value for the key path is not nil.
fnd::Array arrayFromArrayForKeyPath(const fnd::Array& array, const fnd::String& keyPath);

// Element 0, or nil when empty.
fnd::Value firstObject(const fnd::Array& array);
fnd::Value anyObject(const fnd::Array& array);

// The first element that is a string comparing equal to the argument under the options, the range limiting the
// argument's part that is compared (default: all of it); NotFound otherwise.
fnd::Index indexOfString(const fnd::Array& array, const fnd::String& string,
    fnd::StringCompareOptions options = fnd::StringCompareOptions::None);
fnd::Index indexOfString(
    const fnd::Array& array, const fnd::String& string, fnd::StringCompareOptions options, fnd::Range range);

// The elements' descriptions joined by ", ".
fnd::String componentsJoinedByComma(const fnd::Array& array);
// "", "a", "a and b", "a, b, and c".
fnd::String componentsJoinedByCommaAndAnd(const fnd::Array& array);

// Sends the selector to every element in order.
void makeObjectsPerformSelector(
    const fnd::Array& array, fnd::Selector selector, const fnd::Value& object1, const fnd::Value& object2);
void makeObjectsPerformSelectorWithBool(const fnd::Array& array, fnd::Selector selector, bool flag);

// The exact decimal sum of the numbers the selector returns (other results are skipped); 0 for none. Whole sums that
// fit come back as integers, others as the nearest double: an infinity beyond the largest one.
fnd::Number decimalNumberSumForSelector(const fnd::Array& array, fnd::Selector selector);
// "0. <result>", "1. <result>", ...
std::vector<fnd::String> numberedArrayDescribedBySelector(const fnd::Array& array, fnd::Selector selector);

// Without every element equal (identical) to the object.
fnd::Array arrayByRemovingObject(const fnd::Array& array, const fnd::Value& object);
fnd::Array arrayByRemovingObjectIdenticalTo(const fnd::Array& array, const fnd::Value& object);

// Results to elements; results are keys by value, so the number 1 and the string "1" are two keys.
using ElementIndex = std::unordered_map<fnd::Value, fnd::Value>;

// Each element under its non-nil selector result; a later element with an equal result replaces an earlier one.
ElementIndex indexBySelector(const fnd::Array& array, fnd::Selector selector);
ElementIndex indexBySelectorWithObject(const fnd::Array& array, fnd::Selector selector, const fnd::Value& object);

// The non-nil selector results, in order.
fnd::Array arrayByPerformingSelector(const fnd::Array& array, fnd::Selector selector);
fnd::Array arrayByPerformingSelectorWithObject(
    const fnd::Array& array, fnd::Selector selector, const fnd::Value& object);
// The set of the non-nil results.
fnd::Set setByPerformingSelector(const fnd::Array& array, fnd::Selector selector);

// Arrays and dictionaries are values, so a copy is already deep; objects are shared.
fnd::Array deepMutableCopy(const fnd::Array& array);
fnd::Array reversedArray(const fnd::Array& array);
// Each element replaced by what the function answers for it; for nil, nested arrays are copied by the same rule and
// other elements kept.
fnd::Array deepCopyWithReplacementFunction(
    const fnd::Array& array, const std::function<fnd::Value(const fnd::Value& element)>& replacement);

bool isIdenticalToArray(const fnd::Array& array, const fnd::Array& other);
// Whether the other's elements occur in the array in the same order (others may stand between them).
bool containsObjectsInOrder(const fnd::Array& array, const fnd::Array& other);
bool containsObjectIdenticalTo(const fnd::Array& array, const fnd::Value& object);

// The elements that are objects of the class or a subclass, in order.
fnd::Array arrayWithObjectsOfClass(const fnd::Array& array, const fnd::ClassInfo& cls);
// The elements at the indexes, ascending; an index past the end raises a range exception.
fnd::Array arrayFromIndexes(const fnd::Array& array, const fnd::IndexSet& indexes);
// The index of each object of the collection that the array holds (identity); others are skipped.
fnd::IndexSet indexSetForObjects(const fnd::Array& array, const fnd::Array& objects);

// The first element that is a type identifier conforming to the type.
std::optional<fnd::String> UTIConformsTo(const fnd::Array& array, const fnd::String& type);
bool containsUTIConformsTo(const fnd::Array& array, const fnd::String& type);

}
