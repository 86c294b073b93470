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

    // Observations of this object's keys, in the order they were added, each under its key's hash (the listener
    // tells its key). One list rather than a table of lists per key: an object observed at a few keys, as each of
    // a view's thousands of items is, costs no table entry, key copy and list per key, which made letting go of
    // many observations at once cost more in freeing than in the work itself.
    struct ListenerEntry {
        std::size_t keyHash;
        std::weak_ptr<KeyListener> listener;
    };
    std::vector<ListenerEntry> listeners;
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
