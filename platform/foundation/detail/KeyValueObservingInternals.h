#pragma once

#include "platform/foundation/detail/ObjectState.h"
#include "platform/foundation/runtime/KeyValueObserving.h"

#include <functional>
#include <memory>

namespace fnd::detail {

struct ObjectAccess {
    static ObjectState& state(const Object& o) { return o.state(); }
    static ObjectState* existingState(const Object& o) { return o.existingState(); }
};

// A change on its way through observations; indexes only for to-many kinds.
struct ChangeInfo {
    KeyValueChangeKind kind { KeyValueChangeKind::Setting };
    const IndexSet* indexes { nullptr };
};

// Told by an object before and after one of its keys changes.
class KeyListener {
public:
    virtual ~KeyListener() = default;
    // The key it listens to; set before it is listed and never changed.
    virtual const String& listenedKey() const = 0;
    virtual void willChange(const ChangeInfo& change) = 0;
    virtual void didChange(const ChangeInfo& change) = 0;
};

class PathObservation;

// A key path's text and hash, shared by every registration made at the same path while any lives: a view observing
// thousands of items at a few paths made a copy of the text for each, which removing them read from as many places
// in memory (and allocated and freed as many times).
struct SharedKeyPath {
    String text;
    std::size_t hash { 0 };
};
std::shared_ptr<const SharedKeyPath> sharedKeyPath(const String& keyPath);

// Something a path observation reports to: the registration at the top, or the observation of a longer path.
class ChangeSink {
public:
    enum class Link {
        Own, // the key itself changed (directly or through a key it depends on)
        Rest // something further along the path changed
    };
    virtual ~ChangeSink() = default;
    virtual void childWillChange(Link link, const ChangeInfo& change) = 0;
    virtual void childDidChange(Link link, const ChangeInfo& change) = 0;
};

// One addObserver (or binding): the observed object's key path, with what to tell whom. Owned by the observed
// object's state; removal marks it inactive so that a notification already under way skips it.
class ObservationRegistration : public ChangeSink,
                                public KeyListener,
                                public std::enable_shared_from_this<ObservationRegistration> {
public:
    // Without one, the observer (below) hears the change through observeValueForKeyPath with the context.
    using Deliver = std::function<void(Object& observed, const KeyValueChange& change)>;

    ObservationRegistration(Object& observed, String keyPath, KeyValueObservingOptions options, Deliver deliver);
    ~ObservationRegistration() override;

    const String& listenedKey() const override { return m_keyPath->text; }
    void childWillChange(Link, const ChangeInfo& change) override { willChange(change); }
    void childDidChange(Link, const ChangeInfo& change) override { didChange(change); }

    void start();
    // Stops it while the caller holds the lock of the observed object's state, which it takes its own listener entry
    // out of; stop() after it, outside the lock, lets go of the rest.
    void stopListening(ObjectState& lockedState);
    void stop();

    void willChange(const ChangeInfo& change) override;
    void didChange(const ChangeInfo& change) override;
    void deliverInitial();

    const String& keyPath() const { return m_keyPath->text; }
    std::size_t keyPathHash() const { return m_keyPath->hash; }
    const Object* observer { nullptr }; // identity for removal; nullptr for internal observers
    WeakObjectRef observerRef;
    const void* context { nullptr };

private:
    Value currentValue(Object& observed, const ChangeInfo& change) const;
    void deliver(Object& observed, const KeyValueChange& change);

    WeakObjectRef m_observed;
    std::shared_ptr<const SharedKeyPath> m_keyPath;
    KeyValueObservingOptions m_options;
    Deliver m_deliver;
    std::shared_ptr<PathObservation> m_root;
    // Listens to the observed object's key itself, with no path observation between: a single key that depends on
    // no other (the usual case, which a view observing thousands of items makes thousands of).
    bool m_listensDirectly { false };
    std::mutex m_mutex;
    std::vector<Value> m_pendingOld; // one entry per open will/did pair
    std::atomic<bool> m_active { true };
};

// Starts observing; the registration lives until stopObserving or until the object goes.
std::shared_ptr<ObservationRegistration> observe(Object& object, const String& keyPath,
    KeyValueObservingOptions options, ObservationRegistration::Deliver deliver, const Object* observer = nullptr,
    const void* context = nullptr);
void stopObserving(const WeakObjectRef& object, const std::shared_ptr<ObservationRegistration>& registration);

}
