#pragma once

#include "platform/foundation/bindings/ObjectController.h"
#include "platform/foundation/detail/KeyValueObservingInternals.h"

#include <mutex>
#include <set>
#include <vector>

namespace fnd::detail {

// The object behind a controller's "selection": asked for a key path it answers the selected objects' common value
// or a selection marker; told a value it hands it to the controller for every selected object. It passes on the
// changes of the selected objects' keys that anyone observes on it, so "selection.name" follows a renamed object.
class ControllerSelection final : public Object {
    FND_OBJECT(ControllerSelection)
public:
    ControllerSelection() = default;
    // The controller owns the proxy and outlives it.
    explicit ControllerSelection(ObjectController& controller)
        : m_controller(&controller)
    {
    }
    ~ControllerSelection() override;

    Value valueForKey(const String& key) const override { return valueForKeyPath(key); }
    Value valueForKeyPath(const String& keyPath) const override;
    void setValueForKey(const Value& value, const String& key) override { setValueForKeyPath(value, key); }
    void setValueForKeyPath(const Value& value, const String& keyPath) override;
    // Called when an observer starts listening to a key here: from then on the key's changes on the selected
    // objects are passed on.
    std::vector<String> keyPathsForValuesAffectingValueForKey(const String& key) const override;
    String description() const override;

    // The controller selected other objects: follow them.
    void selectionChanged();
    // The controller is going away.
    void detach();

private:
    void follow(const String& key) const;
    void stopFollowing();

    ObjectController* m_controller { nullptr };
    mutable std::mutex m_mutex;
    mutable std::set<String> m_keys;
    struct Followed {
        WeakObjectRef object;
        std::shared_ptr<ObservationRegistration> registration;
    };
    mutable std::vector<Followed> m_followed;
};

}
