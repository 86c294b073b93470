#include "platform/foundation/runtime/NotificationCenter.h"

#include "platform/foundation/runtime/OperationQueue.h"

#include <fmt/format.h>

#include <algorithm>
#include <atomic>

namespace fnd {

FND_REGISTER_CLASS(Notification, Object)

String Notification::description() const
{
    return String(fmt::format("NSConcreteNotification {} {{name = {}; object = {}; userInfo = {}}}",
        static_cast<const void*>(this), m_name.utf8(), m_object.description().utf8(),
        Value(m_userInfo).description().utf8()));
}

struct NotificationCenter::Entry {
    NotificationName name;
    // The object filter. An object is held weakly and compared by identity, so an observer filtering on its own
    // window (or any object that owns it) makes no cycle; a filter whose object is gone matches nothing.
    Value value;
    const Object* objectIdentity { nullptr };
    WeakObjectRef objectRef;
    // Selector observers.
    WeakObjectRef observer;
    const Object* observerIdentity { nullptr };
    Selector selector;
    // Block observers.
    std::uint64_t token { 0 };
    std::function<void(const Notification&)> block;
    NotificationExecutor executor;
    // When it was added, among all the centre's observers: the order observers of a name and of every name are
    // called in.
    std::uint64_t order { 0 };

    std::atomic<bool> removed { false };

    void setFilter(const Value& object)
    {
        if (auto o = object.isObject() ? object.object() : nullptr) {
            objectIdentity = o.get();
            objectRef = WeakObjectRef(*o);
        } else {
            value = object;
        }
    }

    bool filtersOnAnything() const { return objectIdentity || !value.isNil(); }
    bool isGone() const { return observerIdentity && observer.isGone(); }

    bool sameObject(const Value& o) const
    {
        if (objectIdentity)
            return o.isObject() && o.object().get() == objectIdentity && !objectRef.isGone();
        if (o.isObject() || value.isObject())
            return false;
        return o == value;
    }

    bool matches(const NotificationName& postedName, const Value& postedObject) const
    {
        if (!name.isEmpty() && name != postedName)
            return false;
        return !filtersOnAnything() || sameObject(postedObject);
    }
    bool matches(const Notification& n) const { return matches(n.name(), n.object()); }

    bool filterMatches(const NotificationName& n, const Value& o) const
    {
        if (!n.isEmpty() && n != name)
            return false;
        return o.isNil() || sameObject(o);
    }
};

NotificationCenter::NotificationCenter() = default;
NotificationCenter::~NotificationCenter() = default;

NotificationCenter& NotificationCenter::defaultCenter()
{
    // Never destroyed: objects a program keeps alive past main still reach it while they are destroyed.
    static auto& center = *new NotificationCenter;
    return center;
}

void NotificationCenter::add(std::shared_ptr<Entry> entry)
{
    entry->order = m_nextOrder++;
    auto& bucket = entry->name.isEmpty() ? m_anyName : m_byName[entry->name];
    bucket.entries.push_back(std::move(entry));
    if (bucket.entries.size() > 2 * bucket.sizeAfterSweep + 8) {
        std::erase_if(bucket.entries, [](const std::shared_ptr<Entry>& e) { return e->isGone(); });
        bucket.sizeAfterSweep = bucket.entries.size();
    }
}

template <typename Predicate> void NotificationCenter::removeIf(Predicate picks)
{
    auto sweep = [&](Bucket& bucket) {
        std::erase_if(bucket.entries, [&](const std::shared_ptr<Entry>& e) {
            if (!picks(*e))
                return false;
            e->removed = true;
            return true;
        });
        bucket.sizeAfterSweep = std::min(bucket.sizeAfterSweep, bucket.entries.size());
    };
    sweep(m_anyName);
    for (auto it = m_byName.begin(); it != m_byName.end();) {
        sweep(it->second);
        it = it->second.entries.empty() ? m_byName.erase(it) : std::next(it);
    }
}

void NotificationCenter::addObserver(
    Object& observer, Selector selector, const NotificationName& name, const Value& object)
{
    auto entry = std::make_shared<Entry>();
    entry->name = name;
    entry->setFilter(object);
    entry->observer = WeakObjectRef(observer);
    entry->observerIdentity = &observer;
    entry->selector = selector;
    std::lock_guard lock(m_mutex);
    add(std::move(entry));
}

NotificationObserverToken NotificationCenter::addObserverForName(const NotificationName& name, const Value& object,
    std::function<void(const Notification&)> block, NotificationExecutor executor)
{
    auto entry = std::make_shared<Entry>();
    entry->name = name;
    entry->setFilter(object);
    entry->block = std::move(block);
    entry->executor = std::move(executor);
    std::lock_guard lock(m_mutex);
    entry->token = m_nextToken++;
    NotificationObserverToken token { entry->token };
    add(std::move(entry));
    return token;
}

NotificationObserverToken NotificationCenter::addObserverForName(const NotificationName& name, const Value& object,
    const std::shared_ptr<OperationQueue>& queue, std::function<void(const Notification&)> block)
{
    return addObserverForName(name, object, std::move(block), queue ? queue->executor() : NotificationExecutor {});
}

void NotificationCenter::removeObserver(const Object& observer)
{
    std::lock_guard lock(m_mutex);
    removeIf([&](const Entry& e) { return e.observerIdentity == &observer; });
}

void NotificationCenter::removeObserver(const Object& observer, const NotificationName& name, const Value& object)
{
    std::lock_guard lock(m_mutex);
    removeIf([&](const Entry& e) { return e.observerIdentity == &observer && e.filterMatches(name, object); });
}

void NotificationCenter::removeObserver(NotificationObserverToken token)
{
    if (!token)
        return;
    std::lock_guard lock(m_mutex);
    removeIf([&](const Entry& e) { return e.token == token.id; });
}

std::vector<std::shared_ptr<NotificationCenter::Entry>> NotificationCenter::observersOf(
    const NotificationName& name, const Value& object)
{
    std::vector<std::shared_ptr<Entry>> targets;
    std::lock_guard lock(m_mutex);
    auto named = name.isEmpty() ? m_byName.end() : m_byName.find(name);
    Bucket* buckets[2] = { named == m_byName.end() ? nullptr : &named->second, &m_anyName };
    // The two buckets' observers merged in the order they were added.
    const std::vector<std::shared_ptr<Entry>> none;
    const auto& a = buckets[0] ? buckets[0]->entries : none;
    const auto& b = m_anyName.entries;
    std::size_t i = 0, j = 0;
    while (i < a.size() || j < b.size()) {
        const bool fromA = j == b.size() || (i < a.size() && a[i]->order < b[j]->order);
        const auto& e = fromA ? a[i++] : b[j++];
        if (!e->removed && e->matches(name, object))
            targets.push_back(e);
    }
    if (targets.empty())
        return targets;
    // Observers that are gone leave on the way (one among the targets is passed over as it is delivered to).
    for (auto* bucket : buckets) {
        if (!bucket)
            continue;
        std::erase_if(bucket->entries, [](const std::shared_ptr<Entry>& e) { return e->isGone(); });
        bucket->sizeAfterSweep = bucket->entries.size();
    }
    if (named != m_byName.end() && named->second.entries.empty())
        m_byName.erase(named);
    return targets;
}

void NotificationCenter::deliver(
    const std::vector<std::shared_ptr<Entry>>& targets, const std::shared_ptr<Notification>& notification)
{
    for (const auto& entry : targets) {
        if (entry->removed)
            continue;
        if (entry->block) {
            if (!entry->executor) {
                entry->block(*notification);
                continue;
            }
            entry->executor([entry, notification] {
                if (!entry->removed)
                    entry->block(*notification);
            });
            continue;
        }
        if (auto observer = entry->observer.lock())
            observer->perform(entry->selector, Value(notification));
    }
}

void NotificationCenter::postNotification(const std::shared_ptr<Notification>& notification)
{
    if (!notification)
        return;
    deliver(observersOf(notification->name(), notification->object()), notification);
}

void NotificationCenter::postNotificationName(
    const NotificationName& name, const Value& object, const Dictionary& userInfo)
{
    // Most posts (a view's every frame change) have no observer: they make no notification. The same pass finds
    // the observers of the others.
    auto targets = observersOf(name, object);
    if (targets.empty())
        return;
    deliver(targets, std::make_shared<Notification>(name, object, userInfo));
}

}
