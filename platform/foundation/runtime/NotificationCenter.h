#pragma once

#include "platform/foundation/runtime/Object.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

namespace fnd {

class NotificationCenter;
class OperationQueue;

namespace detail {

// What a centre holds for observers that filter on an object, for tests of its bounds: their lists (one per name
// and object) and the entries in those lists.
struct NotificationCenterHoldings {
    std::size_t objectLists { 0 };
    std::size_t objectEntries { 0 };
};
NotificationCenterHoldings notificationCenterHoldings(NotificationCenter& center);

}

// Notification names are plain strings, kept as constants by the module that posts them.
using NotificationName = String;

// A posted notification: a name, the object it is about (any value; nil when none) and extra information.
class Notification : public Object {
    FND_OBJECT(Notification)
public:
    Notification() = default;
    Notification(NotificationName name, Value object = {}, Dictionary userInfo = {})
        : m_name(std::move(name))
        , m_object(std::move(object))
        , m_userInfo(std::move(userInfo))
    {
    }

    const NotificationName& name() const { return m_name; }
    const Value& object() const { return m_object; }
    const Dictionary& userInfo() const { return m_userInfo; }

    String description() const override;

private:
    NotificationName m_name;
    Value m_object;
    Dictionary m_userInfo;
};

// Identifies a block observer for removal.
struct NotificationObserverToken {
    std::uint64_t id { 0 };
    explicit operator bool() const { return id != 0; }
    bool operator==(const NotificationObserverToken&) const = default;
};

// Where a block observer runs: given the delivery, it runs it now or later (on a queue). Empty means at once, on
// the posting thread.
using NotificationExecutor = std::function<void(std::function<void()>)>;

// Delivers notifications synchronously, on the poster's thread, to the observers whose name and object match (an
// empty name or a nil object matches any). Objects match by identity, other values by equality. Observers are not
// kept alive: one that is gone is skipped. Observers added during a post miss that post; observers removed during a
// post are not called after their removal.
class NotificationCenter {
public:
    NotificationCenter();
    ~NotificationCenter();
    NotificationCenter(const NotificationCenter&) = delete;
    NotificationCenter& operator=(const NotificationCenter&) = delete;

    static NotificationCenter& defaultCenter();

    // The observer's action for selector is performed with the notification as its argument.
    void addObserver(Object& observer, Selector selector, const NotificationName& name, const Value& object = {});
    NotificationObserverToken addObserverForName(const NotificationName& name, const Value& object,
        std::function<void(const Notification&)> block, NotificationExecutor executor = {});
    // The block runs on the queue: at once when it is the poster's current queue, otherwise as an operation there
    // while the poster waits for it. A null queue means at once on the posting thread.
    NotificationObserverToken addObserverForName(const NotificationName& name, const Value& object,
        const std::shared_ptr<OperationQueue>& queue, std::function<void(const Notification&)> block);

    void removeObserver(const Object& observer);
    void removeObserver(const Object& observer, const NotificationName& name, const Value& object = {});
    void removeObserver(NotificationObserverToken token);

    void postNotification(const std::shared_ptr<Notification>& notification);
    void postNotificationName(const NotificationName& name, const Value& object = {}, const Dictionary& userInfo = {});

private:
    friend detail::NotificationCenterHoldings detail::notificationCenterHoldings(NotificationCenter&);

    struct Entry;
    // Observers in the order they were added. Removed ones and ones whose observer (or object) is gone stay as dead
    // weight until they outnumber the living or a post passes them, so that removing one observer costs the same
    // among many as among few. The lists of objects that are gone, which no post reaches, are dropped by passes of
    // their own.
    struct List {
        std::vector<std::shared_ptr<Entry>> entries;
        std::size_t removed { 0 };
        std::size_t sizeAfterSweep { 0 };
        // In the list of an object, the newest object at that address: when it is gone, so is every object the
        // list's entries filter on.
        WeakObjectRef object;
    };
    // The observers of one name (or of every name): those that filter on an object, by that object, and the rest
    // (no filter, or a plain value). A post about an object visits only that object's observers and the rest.
    using ObjectLists = std::unordered_map<const Object*, List>;
    struct Bucket {
        ObjectLists byObject;
        List others;
        bool isEmpty() const { return byObject.empty() && others.entries.empty(); }
    };
    // The observers a notification of the name and object reaches, in the order they were added; empty when none.
    std::vector<std::shared_ptr<Entry>> observersOf(const NotificationName& name, const Value& object);
    void deliver(const std::vector<std::shared_ptr<Entry>>& targets, const std::shared_ptr<Notification>& notification);
    void add(std::shared_ptr<Entry> entry);
    // The bucket and list an entry stands in; nullptr when they are gone.
    Bucket* bucketOf(const Entry& entry);
    List* listOf(const Entry& entry);
    // Marks the entry removed, takes it out of the token and observer indexes, and lets its list shrink.
    void remove(const std::shared_ptr<Entry>& entry);
    // Drops removed entries and those whose observer or object is gone from the list.
    void sweepEntries(List& list, bool isObjectList);
    // The same, and drops the list from its bucket when it ends up empty.
    void sweep(Bucket& bucket, const Object* object, List& list);
    // Drops the list when its newest object is gone, and with it every object its entries filter on; answers the
    // list after it.
    ObjectLists::iterator dropIfObjectGone(Bucket& bucket, ObjectLists::iterator list);
    // Drops the lists of objects that are gone, of every name, and the buckets that end up empty.
    void sweepObjectLists();
    // The same for the lists that were given a new object since the last time.
    void sweepYoungObjectLists();
    // Takes the entries the sweeps dropped out of the index of the observers they noted.
    void tidyObserverIndex();
    // The observer's entries that a removal by name and object takes, found through the lists of that object when
    // they are shorter than the observer's own (an observer of many objects that stops observing one of them);
    // nullopt when they are not, or when the filter is no object.
    std::optional<std::vector<std::shared_ptr<Entry>>> entriesThroughObject(
        const Object& observer, const NotificationName& name, const Value& object, std::size_t observed);

    std::mutex m_mutex;
    std::unordered_map<NotificationName, Bucket> m_byName;
    Bucket m_anyName;
    // Block observers by token, selector observers by observer: what the removals look up.
    std::unordered_map<std::uint64_t, std::shared_ptr<Entry>> m_byToken;
    struct ObserverEntries {
        std::vector<std::shared_ptr<Entry>> entries;
        // Of those, removed through their object's lists and left here until they are half of them.
        std::size_t removed { 0 };
    };
    std::unordered_map<const Object*, ObserverEntries> m_byObserver;
    std::vector<const Object*> m_observersToTidy;
    // Entries in the lists of objects, now and after the last sweep of them all, and those added since then.
    std::size_t m_objectEntries { 0 };
    std::size_t m_objectEntriesAfterSweep { 0 };
    std::size_t m_objectEntriesAddedSinceSweep { 0 };
    // The first entry of each list given a new object since the young lists were last looked at. Most objects that
    // observers follow for a moment are gone by then, and looking at these alone finds them while what they leave
    // is still small: the pass over all lists comes seldom when the young ones are swept.
    std::vector<std::weak_ptr<Entry>> m_youngObjectLists;
    std::uint64_t m_nextToken { 1 };
    std::uint64_t m_nextOrder { 1 };
};

}
