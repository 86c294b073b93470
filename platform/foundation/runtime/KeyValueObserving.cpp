#include "platform/foundation/runtime/KeyValueObserving.h"

#include "platform/foundation/detail/KeyPath.h"
#include "platform/foundation/detail/KeyValueObservingInternals.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/KeyValueCoding.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <unordered_map>
#include <utility>

namespace fnd::detail {

namespace {

// (object, key) pairs on the way from a registration to an observation: a key met again is a dependency cycle.
using Chain = std::vector<std::pair<const Object*, String>>;

bool inChain(const Chain& chain, const Object* object, const String& key)
{
    return std::any_of(chain.begin(), chain.end(), [&](const auto& p) { return p.first == object && p.second == key; });
}

// Takes out of the state's listeners of the key (by its hash) the entries that are gone, and `listener` when given;
// the caller holds the state's lock.
void eraseListeners(ObjectState& state, std::size_t hash, const KeyListener* listener)
{
    std::erase_if(state.listeners, [&](const ObjectState::ListenerEntry& entry) {
        if (entry.keyHash != hash)
            return false;
        auto held = entry.listener.lock();
        return !held || held.get() == listener;
    });
    // The list's room goes with its last listener.
    if (state.listeners.empty())
        std::vector<ObjectState::ListenerEntry>().swap(state.listeners);
}

void addListener(ObjectState& state, std::size_t hash, std::weak_ptr<KeyListener> listener)
{
    state.listeners.push_back({ hash, std::move(listener) });
}

void addListener(ObjectState& state, const String& key, std::weak_ptr<KeyListener> listener)
{
    addListener(state, std::hash<String> {}(key), std::move(listener));
}

// eraseListeners on the object's state, when the object and its state are still there.
void forgetListeners(const WeakObjectRef& object, std::size_t hash, const KeyListener* listener)
{
    auto target = object.lock();
    if (!target)
        return;
    auto* state = ObjectAccess::existingState(*target);
    if (!state)
        return;
    std::lock_guard lock(state->mutex);
    eraseListeners(*state, hash, listener);
}

void forgetListeners(const WeakObjectRef& object, const String& key, const KeyListener* listener)
{
    forgetListeners(object, std::hash<String> {}(key), listener);
}

}

std::shared_ptr<const SharedKeyPath> sharedKeyPath(const String& keyPath)
{
    // Entries whose paths are no longer observed are swept once the table has doubled since the last sweep, so it
    // stays within twice the paths in use.
    struct Table {
        std::mutex mutex;
        std::unordered_map<String, std::weak_ptr<const SharedKeyPath>> paths;
        std::size_t sweepAt { 64 };
    };
    static Table table;
    std::lock_guard lock(table.mutex);
    auto& entry = table.paths[keyPath];
    if (auto shared = entry.lock())
        return shared;
    auto shared = std::make_shared<const SharedKeyPath>(SharedKeyPath { keyPath, std::hash<String> {}(keyPath) });
    entry = shared;
    if (table.paths.size() >= table.sweepAt) {
        std::erase_if(table.paths, [](const auto& path) { return path.second.expired(); });
        table.sweepAt = std::max<std::size_t>(64, table.paths.size() * 2);
    }
    return shared;
}

// Observes one key of one object and, through the value of that key, the rest of the path. When the key changes
// the rest is moved to the new value; keys the key depends on are observed as if they were the key.
class PathObservation final : public KeyListener,
                              public ChangeSink,
                              public std::enable_shared_from_this<PathObservation> {
public:
    // Reports to the sink, which it does not keep alive, in the role given.
    PathObservation(Object& object, const String& path, std::weak_ptr<ChangeSink> sink, ChangeSink::Link role)
        : m_object(object)
        , m_sink(std::move(sink))
        , m_role(role)
    {
        std::tie(m_key, m_rest) = splitFirstKey(path);
    }

    // The listener entry is weak and already expired: clear it out of the object's table.
    ~PathObservation() override { forgetListeners(m_object, m_key, nullptr); }

    void attach(Object& object, const Chain& chain)
    {
        // Below a dependent key, a key already observed further up would report the same change twice (or loop).
        if (m_viaDependent && inChain(chain, &object, m_key))
            return;
        {
            auto& state = ObjectAccess::state(object);
            std::lock_guard lock(state.mutex);
            addListener(state, m_key, weak_from_this());
        }
        auto dependents = object.keyPathsForValuesAffectingValueForKey(m_key);
        // The chain is kept only for the observations made below this one (a single key with no keys it depends on,
        // the usual case, makes none).
        if (dependents.empty() && m_rest.isEmpty())
            return;
        m_chain = chain;
        m_chain.emplace_back(&object, m_key);
        for (const auto& path : dependents)
            m_dependents.push_back(makeChild(object, path, Link::Own, m_chain, true));
        rewire(object);
    }

    const String& listenedKey() const override { return m_key; }
    void willChange(const ChangeInfo& change) override { report(false, ownChange(change)); }
    void didChange(const ChangeInfo& change) override
    {
        if (auto object = m_object.lock())
            rewire(*object, &change);
        report(true, ownChange(change));
    }

    void childWillChange(Link link, const ChangeInfo& change) override
    {
        report(false, link == Link::Own || m_throughArray ? ChangeInfo {} : change);
    }
    void childDidChange(Link link, const ChangeInfo& change) override
    {
        if (link == Link::Own) {
            if (auto object = m_object.lock())
                rewire(*object);
            report(true, {});
            return;
        }
        // An element's to-many change is no change of that kind to the collected array.
        report(true, m_throughArray ? ChangeInfo {} : change);
    }

private:
    std::shared_ptr<PathObservation> makeChild(
        Object& object, const String& path, Link link, const Chain& chain, bool viaDependent)
    {
        auto child = std::make_shared<PathObservation>(object, path, weak_from_this(), link);
        child->m_viaDependent = viaDependent;
        child->attach(object, chain);
        return child;
    }

    // A to-many change reaches the observer as such only when it happened to the last key of the path.
    ChangeInfo ownChange(const ChangeInfo& change) const { return m_rest.isEmpty() ? change : ChangeInfo {}; }

    void report(bool did, const ChangeInfo& change)
    {
        if (auto sink = m_sink.lock())
            did ? sink->childDidChange(m_role, change) : sink->childWillChange(m_role, change);
    }

    // Observes the rest of the path on the key's value again. After an insertion, removal or replacement in an
    // array the elements that stayed keep their observations and only the changed places get new ones; the same
    // objects in the same places are observed either way.
    void rewire(Object& object, const ChangeInfo* change = nullptr)
    {
        if (m_rest.isEmpty())
            return;
        std::vector<std::shared_ptr<PathObservation>> next;
        std::vector<const Object*> targets;
        Value value = object.valueForKey(m_key);
        bool throughArray = false;
        // The observations being replaced live until their replacements are made, as they did when every one was
        // made again.
        std::vector<std::shared_ptr<PathObservation>> old;
        std::vector<const Object*> oldTargets;
        bool wasThroughArray = false;
        {
            std::lock_guard lock(m_mutex);
            old = std::move(m_next);
            oldTargets = std::move(m_targets);
            wasThroughArray = m_throughArray;
        }
        if (auto target = value.object()) {
            next.push_back(makeChild(*target, m_rest, Link::Rest, m_chain, m_viaDependent));
            targets.push_back(target.get());
        } else if (auto* array = value.array(); array && m_rest.units().front() != u'@') {
            // A path through an array follows the rest on every element that is an object, so that
            // "arrangedObjects.name" hears a renamed element (collection operators stay with the array).
            throughArray = true;
            if (!(change && wasThroughArray && keepStayingElements(*array, *change, old, oldTargets, next, targets))) {
                next.clear();
                targets.clear();
                next.reserve(array->size());
                targets.reserve(array->size());
                for (const auto& element : *array)
                    observeElement(element, next, targets);
            }
        }
        {
            std::lock_guard lock(m_mutex);
            std::swap(m_next, next);
            m_targets = std::move(targets);
            m_throughArray = throughArray;
        }
    }

    // An element's observation (none for an element that is not an object), in the element's place.
    void observeElement(
        const Value& element, std::vector<std::shared_ptr<PathObservation>>& next, std::vector<const Object*>& targets)
    {
        auto target = element.object();
        next.push_back(target ? makeChild(*target, m_rest, Link::Rest, m_chain, m_viaDependent) : nullptr);
        targets.push_back(target.get());
    }

    // Moves the observations of the elements that stayed from old into next, in their new places, and makes ones
    // for the changed places. False, with next as it was, when the array does not hold what the change says: the
    // caller then observes every element again.
    bool keepStayingElements(const Array& array, const ChangeInfo& change,
        std::vector<std::shared_ptr<PathObservation>>& old, const std::vector<const Object*>& oldTargets,
        std::vector<std::shared_ptr<PathObservation>>& next, std::vector<const Object*>& targets)
    {
        if (!change.indexes || change.kind == KeyValueChangeKind::Setting || old.size() != oldTargets.size())
            return false;
        const auto changed = change.indexes->indexes();
        const std::size_t count = changed.size();
        if (count > 0 && changed.back() < 0)
            return false;
        const std::size_t before = oldTargets.size();
        const std::size_t after = array.size();
        const bool insertion = change.kind == KeyValueChangeKind::Insertion;
        const bool removal = change.kind == KeyValueChangeKind::Removal;
        if ((insertion && after != before + count) || (removal && after + count != before)
            || (!insertion && !removal && after != before)
            || (count > 0 && std::size_t(changed.back()) >= (insertion ? after : before)))
            return false;
        // Each element that stayed must be the object that was in its old place.
        auto stayed = [&](std::size_t newPlace, std::size_t oldPlace) {
            return array[newPlace].object().get() == oldTargets[oldPlace];
        };
        std::size_t k = 0;
        if (removal) {
            for (std::size_t j = 0, i = 0; j < before; ++j) {
                if (k < count && std::size_t(changed[k]) == j) {
                    ++k;
                    continue;
                }
                if (!stayed(i++, j))
                    return false;
            }
        } else {
            for (std::size_t i = 0, j = 0; i < after; ++i) {
                const bool isChanged = k < count && std::size_t(changed[k]) == i;
                if (isChanged)
                    ++k;
                if (isChanged && insertion)
                    continue;
                if (!isChanged && !stayed(i, j))
                    return false;
                ++j;
            }
        }
        next.reserve(after);
        targets.reserve(after);
        k = 0;
        if (removal) {
            for (std::size_t j = 0; j < before; ++j) {
                if (k < count && std::size_t(changed[k]) == j) {
                    ++k;
                    continue;
                }
                next.push_back(std::move(old[j]));
                targets.push_back(oldTargets[j]);
            }
            return true;
        }
        for (std::size_t i = 0, j = 0; i < after; ++i) {
            const bool isChanged = k < count && std::size_t(changed[k]) == i;
            if (isChanged) {
                ++k;
                observeElement(array[i], next, targets);
                if (!insertion)
                    ++j;
                continue;
            }
            next.push_back(std::move(old[j]));
            targets.push_back(oldTargets[j]);
            ++j;
        }
        return true;
    }

    WeakObjectRef m_object;
    String m_key;
    String m_rest;
    std::weak_ptr<ChangeSink> m_sink;
    Link m_role;
    bool m_viaDependent { false };
    Chain m_chain;
    std::vector<std::shared_ptr<PathObservation>> m_dependents;
    std::mutex m_mutex;
    std::vector<std::shared_ptr<PathObservation>> m_next;
    // The object each of m_next observes (nullptr where it observes nothing).
    std::vector<const Object*> m_targets;
    std::atomic<bool> m_throughArray { false };
};

ObservationRegistration::ObservationRegistration(
    Object& observed, String keyPath, KeyValueObservingOptions options, Deliver deliver)
    : m_observed(observed)
    , m_keyPath(sharedKeyPath(keyPath))
    , m_options(options)
    , m_deliver(std::move(deliver))
{
}

ObservationRegistration::~ObservationRegistration()
{
    // Its entry in the listeners has expired with it.
    if (m_listensDirectly)
        forgetListeners(m_observed, m_keyPath->hash, nullptr);
}

void ObservationRegistration::start()
{
    auto observed = m_observed.lock();
    if (!observed)
        return;
    const auto& keyPath = m_keyPath->text;
    if (keyPath.units().find(u'.') == std::u16string::npos
        && observed->keyPathsForValuesAffectingValueForKey(keyPath).empty()) {
        auto& state = ObjectAccess::state(*observed);
        std::lock_guard lock(state.mutex);
        addListener(state, m_keyPath->hash, std::weak_ptr<KeyListener>(weak_from_this()));
        m_listensDirectly = true;
        return;
    }
    m_root = std::make_shared<PathObservation>(
        *observed, keyPath, std::weak_ptr<ChangeSink>(weak_from_this()), ChangeSink::Link::Own);
    m_root->attach(*observed, {});
}

void ObservationRegistration::stopListening(ObjectState& lockedState)
{
    m_active = false;
    if (std::exchange(m_listensDirectly, false))
        eraseListeners(lockedState, m_keyPath->hash, this);
}

void ObservationRegistration::stop()
{
    m_active = false;
    // Once out of the listeners, neither this nor the destructor looks them up again.
    if (std::exchange(m_listensDirectly, false))
        forgetListeners(m_observed, m_keyPath->hash, this);
    std::shared_ptr<PathObservation> root;
    std::lock_guard lock(m_mutex);
    root = std::move(m_root);
}

Value ObservationRegistration::currentValue(Object& observed, const ChangeInfo& change) const
{
    if (change.kind == KeyValueChangeKind::Setting || !change.indexes)
        return observed.valueForKeyPath(m_keyPath->text);
    // The affected elements of a to-many key: a key of the object itself is asked for those alone, so that a
    // change of a few elements of a long array does not copy all of it.
    if (m_keyPath->text.units().find(u'.') == std::u16string::npos)
        return Value(observed.valuesForKeyAtIndexes(m_keyPath->text, *change.indexes));
    const Value value = observed.valueForKeyPath(m_keyPath->text);
    const auto* array = value.array();
    return Value(array ? elementsAtIndexes(*array, *change.indexes) : Array {});
}

void ObservationRegistration::deliver(Object& observed, const KeyValueChange& change)
{
    if (!m_active)
        return;
    if (m_deliver) {
        m_deliver(observed, change);
        return;
    }
    if (auto o = observerRef.lock())
        o->observeValueForKeyPath(m_keyPath->text, observed, change, context);
}

void ObservationRegistration::willChange(const ChangeInfo& change)
{
    auto observed = m_observed.lock();
    if (!observed || !m_active)
        return;
    Value old;
    if ((m_options & KeyValueObservingOptions::Old) && change.kind != KeyValueChangeKind::Insertion)
        old = currentValue(*observed, change);
    // The old value is kept for the did without a copy (the elements a removal of many reports are many); a prior
    // notice takes its own.
    std::optional<KeyValueChange> prior;
    if (m_options & KeyValueObservingOptions::Prior) {
        prior = KeyValueChange { change.kind, old, {}, {}, true };
        if (change.indexes)
            prior->indexes = *change.indexes;
    }
    {
        std::lock_guard lock(m_mutex);
        m_pendingOld.push_back(std::move(old));
    }
    if (prior)
        deliver(*observed, *prior);
}

void ObservationRegistration::didChange(const ChangeInfo& change)
{
    Value old;
    {
        std::lock_guard lock(m_mutex);
        // A did without a will seen here (the registration came in between) has nothing to pair with.
        if (m_pendingOld.empty())
            return;
        old = std::move(m_pendingOld.back());
        m_pendingOld.pop_back();
    }
    auto observed = m_observed.lock();
    if (!observed || !m_active)
        return;
    KeyValueChange notice { change.kind, std::move(old), {}, {}, false };
    if ((m_options & KeyValueObservingOptions::New) && change.kind != KeyValueChangeKind::Removal)
        notice.newValue = currentValue(*observed, change);
    if (change.indexes)
        notice.indexes = *change.indexes;
    deliver(*observed, notice);
}

void ObservationRegistration::deliverInitial()
{
    auto observed = m_observed.lock();
    if (!observed)
        return;
    KeyValueChange initial;
    if (m_options & KeyValueObservingOptions::New)
        initial.newValue = observed->valueForKeyPath(m_keyPath->text);
    deliver(*observed, initial);
}

std::shared_ptr<ObservationRegistration> observe(Object& object, const String& keyPath,
    KeyValueObservingOptions options, ObservationRegistration::Deliver deliver, const Object* observer,
    const void* context)
{
    auto registration = std::make_shared<ObservationRegistration>(object, keyPath, options, std::move(deliver));
    registration->observer = observer;
    if (observer)
        registration->observerRef = WeakObjectRef(*observer);
    registration->context = context;
    registration->start();
    std::vector<std::shared_ptr<ObservationRegistration>> abandoned;
    {
        auto& state = ObjectAccess::state(object);
        std::lock_guard lock(state.mutex);
        // Observers may go without removing themselves; their registrations leave when the next one comes.
        auto& all = state.registrations;
        for (auto it = all.begin(); it != all.end();) {
            if ((*it)->observer && (*it)->observerRef.isGone()) {
                abandoned.push_back(std::move(*it));
                it = all.erase(it);
            } else {
                ++it;
            }
        }
        state.registrations.push_back(registration);
    }
    for (const auto& r : abandoned)
        r->stop();
    abandoned.clear();
    if (options & KeyValueObservingOptions::Initial)
        registration->deliverInitial();
    return registration;
}

void stopObserving(const WeakObjectRef& object, const std::shared_ptr<ObservationRegistration>& registration)
{
    if (!registration)
        return;
    registration->stop();
    auto target = object.lock();
    if (!target)
        return;
    auto* state = ObjectAccess::existingState(*target);
    if (!state)
        return;
    std::shared_ptr<ObservationRegistration> removed;
    std::lock_guard lock(state->mutex);
    auto it = std::find(state->registrations.begin(), state->registrations.end(), registration);
    if (it != state->registrations.end()) {
        removed = std::move(*it);
        state->registrations.erase(it);
    }
}

namespace {

void announce(Object& object, const String& key, bool did, const ChangeInfo& change)
{
    auto* state = ObjectAccess::existingState(object);
    if (!state)
        return;
    std::vector<std::shared_ptr<KeyListener>> listeners;
    {
        std::lock_guard lock(state->mutex);
        if (!did) {
            if (++state->openChanges[key] > 1)
                return;
        } else {
            auto open = state->openChanges.find(key);
            if (open == state->openChanges.end())
                return;
            if (--open->second > 0)
                return;
            state->openChanges.erase(open);
        }
        const auto hash = std::hash<String> {}(key);
        for (const auto& entry : state->listeners)
            if (entry.keyHash == hash)
                if (auto listener = entry.listener.lock(); listener && listener->listenedKey() == key)
                    listeners.push_back(std::move(listener));
    }
    for (const auto& listener : listeners)
        did ? listener->didChange(change) : listener->willChange(change);
}

}

}

namespace fnd {

using detail::ObjectAccess;

void Object::addObserver(Object& observer, const String& keyPath, KeyValueObservingOptions options, const void* context)
{
    // No deliver function: the registration tells the observer itself (one fewer function and key path per
    // registration, which a view observing thousands of items makes thousands of).
    detail::observe(*this, keyPath, options, {}, &observer, context);
}

void Object::removeObserver(Object& observer, const String& keyPath)
{
    removeObserverMatching(observer, keyPath, nullptr, false);
}

void Object::removeObserver(Object& observer, const String& keyPath, const void* context)
{
    removeObserverMatching(observer, keyPath, context, true);
}

void Object::removeObserverMatching(Object& observer, const String& keyPath, const void* context, bool matchContext)
{
    std::shared_ptr<detail::ObservationRegistration> removed;
    if (auto* state = existingState()) {
        std::lock_guard lock(state->mutex);
        auto& all = state->registrations;
        for (auto it = all.rbegin(); it != all.rend(); ++it) {
            auto& r = **it;
            if (r.observer == &observer && r.keyPath() == keyPath && (!matchContext || r.context == context)) {
                removed = std::move(*it);
                all.erase(std::next(it).base());
                removed->stopListening(*state);
                break;
            }
        }
    }
    if (!removed)
        throw Exception::range(String(fmt::format("Cannot remove an observer {} for the key path \"{}\" from {} "
                                                  "because it is not registered as an observer.",
            observer.description().utf8(), keyPath.utf8(), description().utf8())));
    // Destroyed outside the lock: taking the observation apart touches this object's tables.
    removed->stop();
}

std::size_t Object::removeObserverForKeyPaths(
    Object& observer, const std::vector<String>& keyPaths, const void* context)
{
    auto* state = existingState();
    if (!state || keyPaths.empty())
        return 0;
    // A few paths (the usual call) are handled with no allocation per object: a view letting go of thousands of
    // items makes thousands of these calls.
    constexpr std::size_t Inline = 8;
    using Registration = std::shared_ptr<detail::ObservationRegistration>;
    std::array<std::size_t, Inline> inlineHashes;
    std::array<Registration, Inline> inlineRemoved;
    std::vector<std::size_t> moreHashes;
    std::vector<Registration> moreRemoved;
    std::size_t* hashes = inlineHashes.data();
    Registration* removed = inlineRemoved.data();
    if (keyPaths.size() > Inline) {
        moreHashes.resize(keyPaths.size());
        moreRemoved.resize(keyPaths.size());
        hashes = moreHashes.data();
        removed = moreRemoved.data();
    }
    // The hashes are compared before any text: no registration's text is read but the one taken out.
    for (std::size_t i = 0; i < keyPaths.size(); ++i)
        hashes[i] = std::hash<String> {}(keyPaths[i]);
    std::size_t count = 0;
    {
        std::lock_guard lock(state->mutex);
        auto& all = state->registrations;
        for (std::size_t i = 0; i < keyPaths.size(); ++i)
            for (auto it = all.rbegin(); it != all.rend(); ++it) {
                const auto& r = *it;
                if (r && r->observer == &observer && r->context == context && r->keyPathHash() == hashes[i]
                    && r->keyPath() == keyPaths[i]) {
                    removed[count++] = std::move(*it);
                    break;
                }
            }
        if (count == 0)
            return 0;
        std::erase(all, nullptr);
        for (std::size_t i = 0; i < count; ++i)
            removed[i]->stopListening(*state);
    }
    // Taken apart outside the lock, as removeObserver does.
    for (std::size_t i = 0; i < count; ++i) {
        removed[i]->stop();
        removed[i].reset();
    }
    return count;
}

void Object::observeValueForKeyPath(const String& keyPath, Object&, const KeyValueChange&, const void*)
{
    throw Exception::internalInconsistency(
        String(fmt::format("{}: An observeValueForKeyPath message was received but not handled. Key path: {}",
            description().utf8(), keyPath.utf8())));
}

void Object::willChangeValueForKey(const String& key)
{
    detail::announce(*this, key, false, {});
}

void Object::didChangeValueForKey(const String& key)
{
    detail::announce(*this, key, true, {});
}

void Object::willChange(KeyValueChangeKind kind, const IndexSet& indexes, const String& key)
{
    detail::announce(*this, key, false, { kind, &indexes });
}

void Object::didChange(KeyValueChangeKind kind, const IndexSet& indexes, const String& key)
{
    detail::announce(*this, key, true, { kind, &indexes });
}

std::vector<String> Object::keyPathsForValuesAffectingValueForKey(const String& key) const
{
    std::vector<String> paths;
    for (auto* c = &classInfo(); c; c = c->superclass) {
        if (auto it = c->members.keyPathsAffecting.find(key); it != c->members.keyPathsAffecting.end())
            paths.insert(paths.end(), it->second.begin(), it->second.end());
    }
    return paths;
}

}
