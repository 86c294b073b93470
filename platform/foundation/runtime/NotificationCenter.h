#pragma once

#include "platform/foundation/runtime/Object.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace fnd {

class OperationQueue;

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
    struct Entry;
    // Observers in the order they were added. Removed ones and ones whose observer is gone stay as dead weight
    // until they outnumber the living or a post passes them, so that removing one observer costs the same among
    // many as among few.
    struct List {
        std::vector<std::shared_ptr<Entry>> entries;
        std::size_t removed { 0 };
        std::size_t sizeAfterSweep { 0 };
    };
    // The observers of one name (or of every name): those that filter on an object, by that object, and the rest
    // (no filter, or a plain value). A post about an object visits only that object's observers and the rest.
    struct Bucket {
        std::unordered_map<const Object*, List> byObject;
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
    // Drops removed and gone entries from the list, and the list and its bucket when they end up empty.
    void sweep(Bucket& bucket, const Object* object, List& list);
    void forgetObserverEntry(const Entry& entry);

    std::mutex m_mutex;
    std::unordered_map<NotificationName, Bucket> m_byName;
    Bucket m_anyName;
    // Block observers by token, selector observers by observer: what the removals look up.
    std::unordered_map<std::uint64_t, std::shared_ptr<Entry>> m_byToken;
    std::unordered_map<const Object*, std::vector<std::shared_ptr<Entry>>> m_byObserver;
    std::uint64_t m_nextToken { 1 };
    std::uint64_t m_nextOrder { 1 };
};

}
