#pragma once

#include "platform/foundation/runtime/Selector.h"
#include "platform/foundation/runtime/Value.h"

#include <span>

// How the collection extensions look at elements.
namespace ZORElements {

// Objects are identical when they are the same object. Other values (numbers, strings, arrays) are plain values
// without an identity of their own, so for them identity is equality.
bool isIdentical(const fnd::Value& a, const fnd::Value& b);

// The receiver's own equality test: a number container equals a plain number of its value, other values compare as
// values do.
bool isEqualTo(const fnd::Value& receiver, const fnd::Value& other);

// Sends the selector to an object; a plain value answers a selector without arguments as the key of that name.
// Anything else raises an invalid-argument exception, as an unknown selector does.
fnd::Value perform(const fnd::Value& element, fnd::Selector selector, std::span<const fnd::Value> arguments = {});

}
