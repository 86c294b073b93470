#include "platform/foundation/runtime/AssociatedObjects.h"

#include "platform/foundation/detail/KeyValueObservingInternals.h"
#include "platform/foundation/detail/ObjectState.h"

#include <mutex>

namespace fnd {

void setAssociatedObject(const Object& object, const void* key, const Value& value)
{
    auto& state = detail::ObjectAccess::state(object);
    Value previous;
    {
        std::lock_guard lock(state.mutex);
        auto it = state.associations.find(key);
        if (it != state.associations.end()) {
            previous = std::move(it->second);
            state.associations.erase(it);
        }
        if (!value.isNil())
            state.associations.emplace(key, value);
    }
    // The old value goes outside the lock: its destruction may reach this object again.
}

Value associatedObject(const Object& object, const void* key)
{
    auto* state = detail::ObjectAccess::existingState(object);
    if (!state)
        return {};
    std::lock_guard lock(state->mutex);
    auto it = state->associations.find(key);
    return it == state->associations.end() ? Value() : it->second;
}

void removeAssociatedObjects(const Object& object)
{
    auto* state = detail::ObjectAccess::existingState(object);
    if (!state)
        return;
    std::map<const void*, Value> released;
    {
        std::lock_guard lock(state->mutex);
        released.swap(state->associations);
    }
}

}
