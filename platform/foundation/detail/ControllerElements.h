#pragma once

#include "platform/foundation/bindings/SortDescriptor.h"
#include "platform/foundation/detail/KeyValueObservingInternals.h"
#include "platform/foundation/runtime/Value.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace fnd::detail {

// Controllers tell objects apart by identity, other values by equality.
inline bool sameElement(const Value& a, const Value& b)
{
    if (a.isObject() && b.isObject())
        return a.objectPointer() == b.objectPointer();
    return a == b;
}

// The content of a controller of many objects: an array as it is, nil or null as none, any other value as the one
// object.
inline Array contentArrayFromValue(const Value& content)
{
    if (auto* array = content.array())
        return *array;
    if (content.isNil() || content.isNull())
        return {};
    return { content };
}

inline bool sameSortDescriptors(const SortDescriptors& a, const SortDescriptors& b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](const auto& x, const auto& y) { return x->isEqual(*y); });
}

// Observations a controller keeps on the objects it shows; each calls back into the controller while it lives.
// They are made again as a whole whenever what they cover changes, and end with their holder.
class ControllerObservations {
public:
    ControllerObservations() = default;
    ControllerObservations(const ControllerObservations&) = delete;
    ControllerObservations& operator=(const ControllerObservations&) = delete;
    ~ControllerObservations() { clear(); }

    void add(Object& object, const String& keyPath, const WeakObjectRef& controller,
        std::function<void(Object& controller)> changed)
    {
        auto registration = observe(object, keyPath, KeyValueObservingOptions::None,
            [controller, changed = std::move(changed)](Object&, const KeyValueChange&) {
                if (auto c = controller.lock())
                    changed(*c);
            });
        m_observed.push_back({ WeakObjectRef(object), std::move(registration) });
    }

    void clear()
    {
        auto observed = std::move(m_observed);
        m_observed.clear();
        for (const auto& o : observed)
            stopObserving(o.object, o.registration);
    }

private:
    struct Observed {
        WeakObjectRef object;
        std::shared_ptr<ObservationRegistration> registration;
    };
    std::vector<Observed> m_observed;
};

}
