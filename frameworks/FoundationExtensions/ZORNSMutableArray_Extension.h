#pragma once

#include "platform/foundation/runtime/Selector.h"
#include "platform/foundation/runtime/Value.h"

// Changes of arrays in place. Equality is the element's own equality test; identity as in ZORNSArray_Extension.
namespace ZORNSMutableArray_Extension {

// Adds the object unless it is nil or an equal element is present.
void addObjectIfAbsent(fnd::Array& array, const fnd::Value& object);
void addObjectsFromArrayIfAbsent(fnd::Array& array, const fnd::Array& objects);
// Inserts all the objects at the index (at most the count, else a range exception).
void insertObjectsFromArray(fnd::Array& array, const fnd::Array& objects, fnd::Index index);
// Adds every member of the set, in the set's traversal order.
void addObjectsFromSet(fnd::Array& array, const fnd::Set& set);
// Removes every element identical to one of the objects.
void removeIdenticalObjectsFromArray(fnd::Array& array, const fnd::Array& objects);
// Replaces each element of the range by what the selector answers for it. All answers are collected first: a nil
// answer (logged with its index) or any exception leaves the array unchanged, and the exception (invalid argument
// for the nil) is raised.
void replaceObjectsInRange(fnd::Array& array, fnd::Range range, fnd::Selector selector);
// Exchanges element i with element count - 1 - i for every i below count / 2.
void reverse(fnd::Array& array);

}
