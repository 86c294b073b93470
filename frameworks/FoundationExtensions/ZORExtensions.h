#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/foundation/runtime/Value.h"

// Questions about the members of sets by their class.
namespace ZORExtensions {

// Whether a member is an object of the class or a subclass.
bool hasMembersOfClass(const fnd::Set& set, const fnd::ClassInfo& cls);
// The members that are objects of the class or a subclass, in the set's traversal order.
fnd::Array membersOfClass(const fnd::Set& set, const fnd::ClassInfo& cls);

}
