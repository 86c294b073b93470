#include "platform/foundation/runtime/NotificationCenter.h"

#include "platform/foundation/runtime/OperationQueue.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
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
    // A filter whose object is gone matches nothing again, whether or not its observer lives.
    bool isDead() const { return isGone() || (objectIdentity && objectRef.isGone()); }

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

namespace {

// How many young lists of objects collect before they are looked at: few enough that what the gone ones leave
// stays in the processor's caches.
constexpr std::size_t YoungObjectListsLookedAt = 256;

}

NotificationCenter::NotificationCenter() = default;
NotificationCenter::~NotificationCenter() = default;

NotificationCenter& NotificationCenter::defaultCenter()
{
    // Never destroyed: objects a program keeps alive past main still reach it while they are destroyed.
    static auto& center = *new NotificationCenter;
    return center;
}

NotificationCenter::Bucket* NotificationCenter::bucketOf(const Entry& entry)
{
    if (entry.name.isEmpty())
        return &m_anyName;
    auto found = m_byName.find(entry.name);
    return found == m_byName.end() ? nullptr : &found->second;
}

NotificationCenter::List* NotificationCenter::listOf(const Entry& entry)
{
    auto* bucket = bucketOf(entry);
    if (!bucket)
        return nullptr;
    if (!entry.objectIdentity)
        return &bucket->others;
    auto found = bucket->byObject.find(entry.objectIdentity);
    return found == bucket->byObject.end() ? nullptr : &found->second;
}

void NotificationCenter::tidyObserverIndex()
{
    std::ranges::sort(m_observersToTidy);
    const auto [last, end] = std::ranges::unique(m_observersToTidy);
    m_observersToTidy.erase(last, end);
    for (const Object* observer : m_observersToTidy) {
        auto found = m_byObserver.find(observer);
        if (found == m_byObserver.end())
            continue;
        std::erase_if(found->second.entries, [](const std::shared_ptr<Entry>& e) { return e->removed.load(); });
        found->second.removed = 0;
        if (found->second.entries.empty())
            m_byObserver.erase(found);
    }
    m_observersToTidy.clear();
}

void NotificationCenter::sweepEntries(List& list, bool isObjectList)
{
    const auto before = list.entries.size();
    std::erase_if(list.entries, [&](const std::shared_ptr<Entry>& e) {
        if (e->removed)
            return true;
        if (!e->isDead())
            return false;
        e->removed = true;
        if (e->token)
            m_byToken.erase(e->token);
        // Taken out of its observer's index once the sweep is done: one pass over the index for all of them.
        if (e->observerIdentity)
            m_observersToTidy.push_back(e->observerIdentity);
        return true;
    });
    if (isObjectList)
        m_objectEntries -= before - list.entries.size();
    list.removed = 0;
    list.sizeAfterSweep = list.entries.size();
}

void NotificationCenter::sweep(Bucket& bucket, const Object* object, List& list)
{
    sweepEntries(list, object != nullptr);
    tidyObserverIndex();
    if (object && list.entries.empty())
        bucket.byObject.erase(object);
}

NotificationCenter::ObjectLists::iterator NotificationCenter::dropIfObjectGone(
    Bucket& bucket, ObjectLists::iterator list)
{
    // A list whose newest object lives is left to the sweeps of the living (a post, its own growth).
    if (!list->second.object.isGone())
        return std::next(list);
    sweepEntries(list->second, true);
    return list->second.entries.empty() ? bucket.byObject.erase(list) : std::next(list);
}

void NotificationCenter::sweepObjectLists()
{
    auto sweepBucket = [&](Bucket& bucket) {
        for (auto it = bucket.byObject.begin(); it != bucket.byObject.end();)
            it = dropIfObjectGone(bucket, it);
    };
    for (auto it = m_byName.begin(); it != m_byName.end();) {
        sweepBucket(it->second);
        it = it->second.isEmpty() ? m_byName.erase(it) : std::next(it);
    }
    sweepBucket(m_anyName);
    tidyObserverIndex();
    m_youngObjectLists.clear();
    m_objectEntriesAfterSweep = m_objectEntries;
    m_objectEntriesAddedSinceSweep = 0;
}

void NotificationCenter::sweepYoungObjectLists()
{
    for (const auto& young : m_youngObjectLists) {
        auto entry = young.lock();
        // An entry that is no more was swept with its list; one whose object lives is left to the pass over all.
        if (!entry || !entry->objectRef.isGone())
            continue;
        auto* bucket = bucketOf(*entry);
        if (!bucket)
            continue;
        if (auto list = bucket->byObject.find(entry->objectIdentity); list != bucket->byObject.end())
            dropIfObjectGone(*bucket, list);
        if (bucket != &m_anyName && bucket->isEmpty())
            m_byName.erase(entry->name);
    }
    m_youngObjectLists.clear();
    tidyObserverIndex();
}

void NotificationCenter::add(std::shared_ptr<Entry> entry)
{
    entry->order = m_nextOrder++;
    auto& bucket = entry->name.isEmpty() ? m_anyName : m_byName[entry->name];
    const Object* object = entry->objectIdentity;
    auto& list = object ? bucket.byObject[object] : bucket.others;
    if (entry->token)
        m_byToken.emplace(entry->token, entry);
    if (entry->observerIdentity)
        m_byObserver[entry->observerIdentity].entries.push_back(entry);
    if (object) {
        // A list that is new, or whose object is gone and another now stands at its address, has a new object.
        if (list.entries.empty() || list.object.isGone())
            m_youngObjectLists.push_back(entry);
        list.object = entry->objectRef;
        ++m_objectEntries;
        ++m_objectEntriesAddedSinceSweep;
    }
    list.entries.push_back(std::move(entry));
    // The new entry's observer is alive, so the list keeps at least that entry.
    if (list.entries.size() > 2 * list.sizeAfterSweep + 8)
        sweep(bucket, object, list);
    // No post reaches the list of an object that is gone, so those lists are dropped by passes of their own: over
    // the young lists when there are enough of them, over all lists once as many entries were added as the pass
    // before left. Each add pays for a constant share of either, and what is gone is never more than what lives
    // (and a constant) for long.
    if (m_objectEntriesAddedSinceSweep > m_objectEntriesAfterSweep + 64 + m_byName.size())
        sweepObjectLists();
    else if (m_youngObjectLists.size() >= YoungObjectListsLookedAt)
        sweepYoungObjectLists();
}

void NotificationCenter::remove(const std::shared_ptr<Entry>& entry)
{
    if (entry->removed)
        return;
    entry->removed = true;
    if (entry->token)
        m_byToken.erase(entry->token);
    auto* bucket = bucketOf(*entry);
    auto* list = bucket ? listOf(*entry) : nullptr;
    if (!list)
        return;
    if (2 * ++list->removed <= list->entries.size())
        return;
    const NotificationName name = entry->name;
    sweep(*bucket, entry->objectIdentity, *list);
    if (bucket != &m_anyName && bucket->isEmpty())
        m_byName.erase(name);
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
    auto found = m_byObserver.find(&observer);
    if (found == m_byObserver.end())
        return;
    auto entries = std::move(found->second.entries);
    m_byObserver.erase(found);
    for (const auto& entry : entries)
        remove(entry);
}

std::optional<std::vector<std::shared_ptr<NotificationCenter::Entry>>> NotificationCenter::entriesThroughObject(
    const Object& observer, const NotificationName& name, const Value& object, std::size_t observed)
{
    const auto target = object.isObject() ? object.object() : nullptr;
    if (!target)
        return std::nullopt;
    // An entry of a name is taken only by a removal of that name or of every name.
    std::vector<const List*> lists;
    std::size_t length = 0;
    auto look = [&](const Bucket& bucket) {
        if (auto found = bucket.byObject.find(target.get()); found != bucket.byObject.end()) {
            lists.push_back(&found->second);
            length += found->second.entries.size();
        }
    };
    if (!name.isEmpty()) {
        if (auto bucket = m_byName.find(name); bucket != m_byName.end())
            look(bucket->second);
    } else {
        if (m_byName.size() >= observed)
            return std::nullopt;
        for (const auto& [bucketName, bucket] : m_byName)
            look(bucket);
        look(m_anyName);
    }
    if (length >= observed)
        return std::nullopt;
    std::vector<std::shared_ptr<Entry>> taken;
    for (const auto* list : lists)
        for (const auto& entry : list->entries)
            if (!entry->removed && entry->observerIdentity == &observer && entry->filterMatches(name, object))
                taken.push_back(entry);
    return taken;
}

void NotificationCenter::removeObserver(const Object& observer, const NotificationName& name, const Value& object)
{
    std::lock_guard lock(m_mutex);
    auto found = m_byObserver.find(&observer);
    if (found == m_byObserver.end())
        return;
    const auto observed = found->second.entries.size() - found->second.removed;
    if (auto taken = entriesThroughObject(observer, name, object, observed)) {
        for (const auto& entry : *taken)
            remove(entry);
        // A sweep on the way may have tidied the index (and counted nothing of these); then they are counted twice,
        // which only brings the next pass over it forward.
        found = m_byObserver.find(&observer);
        if (found == m_byObserver.end())
            return;
        auto& index = found->second;
        index.removed = std::min(index.removed + taken->size(), index.entries.size());
        if (2 * index.removed > index.entries.size()) {
            std::erase_if(index.entries, [](const std::shared_ptr<Entry>& e) { return e->removed.load(); });
            index.removed = 0;
            if (index.entries.empty())
                m_byObserver.erase(found);
        }
        return;
    }
    auto entries = std::move(found->second.entries);
    m_byObserver.erase(found);
    std::vector<std::shared_ptr<Entry>> kept;
    for (const auto& entry : entries) {
        if (entry->filterMatches(name, object))
            remove(entry);
        else
            kept.push_back(entry);
    }
    // A sweep on the way may have dropped some of the kept ones (their object is gone).
    std::erase_if(kept, [](const std::shared_ptr<Entry>& e) { return e->removed.load(); });
    if (!kept.empty()) {
        auto& now = m_byObserver[&observer].entries;
        now.insert(now.begin(), kept.begin(), kept.end());
    }
}

void NotificationCenter::removeObserver(NotificationObserverToken token)
{
    if (!token)
        return;
    std::lock_guard lock(m_mutex);
    auto found = m_byToken.find(token.id);
    if (found == m_byToken.end())
        return;
    auto entry = found->second;
    remove(entry);
}

std::vector<std::shared_ptr<NotificationCenter::Entry>> NotificationCenter::observersOf(
    const NotificationName& name, const Value& object)
{
    std::vector<std::shared_ptr<Entry>> targets;
    std::lock_guard lock(m_mutex);
    // Only objects are told apart by identity; a post about anything else reaches the observers without an object
    // filter and those filtering on a plain value.
    std::shared_ptr<Object> posted = object.isObject() ? object.object() : nullptr;
    const Object* identity = posted.get();
    struct Visit {
        Bucket* bucket;
        const Object* object;
        List* list;
        std::size_t next;
    };
    std::array<Visit, 4> visits;
    std::size_t count = 0;
    auto visit = [&](Bucket& bucket) {
        if (identity)
            if (auto found = bucket.byObject.find(identity); found != bucket.byObject.end())
                visits[count++] = { &bucket, identity, &found->second, 0 };
        visits[count++] = { &bucket, nullptr, &bucket.others, 0 };
    };
    auto named = name.isEmpty() ? m_byName.end() : m_byName.find(name);
    if (named != m_byName.end())
        visit(named->second);
    visit(m_anyName);
    // The lists' observers merged in the order they were added.
    for (;;) {
        Visit* first = nullptr;
        for (std::size_t i = 0; i < count; ++i) {
            auto& v = visits[i];
            if (v.next < v.list->entries.size()
                && (!first || v.list->entries[v.next]->order < first->list->entries[first->next]->order))
                first = &v;
        }
        if (!first)
            break;
        const auto& e = first->list->entries[first->next++];
        if (!e->removed && e->matches(name, object))
            targets.push_back(e);
    }
    if (targets.empty())
        return targets;
    // Observers that are gone leave on the way (one among the targets is passed over as it is delivered to).
    for (std::size_t i = count; i-- > 0;)
        sweep(*visits[i].bucket, visits[i].object, *visits[i].list);
    if (named != m_byName.end() && named->second.isEmpty())
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

detail::NotificationCenterHoldings detail::notificationCenterHoldings(NotificationCenter& center)
{
    std::lock_guard lock(center.m_mutex);
    NotificationCenterHoldings holdings;
    auto count = [&](const NotificationCenter::Bucket& bucket) {
        holdings.objectLists += bucket.byObject.size();
        for (const auto& [object, list] : bucket.byObject)
            holdings.objectEntries += list.entries.size();
    };
    for (const auto& [name, bucket] : center.m_byName)
        count(bucket);
    count(center.m_anyName);
    return holdings;
}

}
