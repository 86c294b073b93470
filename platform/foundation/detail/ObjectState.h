#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/foundation/runtime/Value.h"

#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace fnd::detail {

class KeyListener;
class ObservationRegistration;
class BindingRecord;

// What an object carries once it is observed, bound or referenced weakly from outside a shared_ptr.
struct ObjectState {
    std::mutex mutex;
    // Expires when the object is destroyed: how weak references see an object that is not in a shared_ptr go. Made
    // when the first such reference is (under the mutex): most states are of observed objects in shared_ptrs.
    std::shared_ptr<int> lifetime;

    // Observations of this object's keys, in the order they were added.
    std::unordered_map<String, std::vector<std::weak_ptr<KeyListener>>> listeners;
    // addObserver registrations made on this object; they own the listener chains.
    std::vector<std::shared_ptr<ObservationRegistration>> registrations;
    // Depth of open willChange calls per key.
    std::unordered_map<String, int> openChanges;

    // This object's bindings by name.
    std::map<String, std::shared_ptr<BindingRecord>> bindings;

    // Values attached from outside (AssociatedObjects.h), by their owners' keys.
    std::map<const void*, Value> associations;
};

}
