#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/foundation/runtime/Value.h"

namespace fnd {

// Values attached to an object from outside its class, under a key of the caller's (the address of a variable of
// its own, so keys never clash): the object keeps the value alive until it is replaced, removed or the object
// goes. Setting and reading are atomic with respect to each other.

// A nil value removes the association.
void setAssociatedObject(const Object& object, const void* key, const Value& value);
// nil when nothing is attached under the key.
Value associatedObject(const Object& object, const void* key);
// Lets go of every value attached to the object.
void removeAssociatedObjects(const Object& object);

}
