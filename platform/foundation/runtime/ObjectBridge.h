#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/foundation/runtime/Value.h"

#include <functional>

namespace fnd {

// Calls between processes over the D-Bus session bus. A process publishes objects at paths under a well-known bus
// name; another calls them by bus name and path with a selector and property-list arguments. Every object speaks
// one method, org.barcodes.ObjectBridge.Invoke(s selector, ay arguments) -> ay result, whose arguments and result
// are XML property lists (an array, and a one-element array).
//
// Incoming calls run on the bridge's own thread; handlers hand work to the main thread themselves when they need it.
namespace ObjectBridge {

// The handler answers a call: a result (nil for none) or an error the caller receives.
using Handler = std::function<Expected<Value>(const String& selector, const Array& arguments)>;

// The bus name of this process's connection (":1.42"); fails when there is no session bus.
Expected<String> uniqueName();
// Takes a well-known name; fails when another process owns it.
Expected<void> ownName(const String& name);
void releaseName(const String& name);
bool nameHasOwner(const String& name);
// A D-Bus name made of the parts: characters other than letters, digits, "_" and "-" become "_", an element
// starting with a digit gets a "_" first, and the parts are joined by ".".
String busName(const StringArray& parts);

Expected<void> publish(const String& path, Handler handler);
void retract(const String& path);

// Blocks until the answer comes, at most `timeout` seconds.
Expected<Value> invoke(
    const String& busName, const String& path, const String& selector, const Array& arguments, double timeout = 25);
// Sends without waiting for an answer.
void invokeOneWay(const String& busName, const String& path, const String& selector, const Array& arguments);

}

}
