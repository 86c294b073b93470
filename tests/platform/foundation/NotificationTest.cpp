#include "RuntimeModel.h"

#include "platform/foundation/runtime/NotificationCenter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <random>
#include <thread>

using namespace fnd;
using namespace rtmodel;

namespace {

const NotificationName Opened = "TestDocumentOpened";
const NotificationName Closed = "TestDocumentClosed";

}

TEST(NotificationCenter, ObserversMatchByNameAndObject)
{
    NotificationCenter center;
    auto doc = std::make_shared<TestAddress>();
    auto otherDoc = std::make_shared<TestAddress>();
    // observer label, name filter, object filter
    const struct {
        const char* label;
        NotificationName name;
        Value object;
    } observers[] = {
        { "any", {}, {} }, { "opened", Opened, {} }, { "doc", {}, Value(doc) }, { "opened-doc", Opened, Value(doc) },
        { "seven", {}, Value(7) }, // values other than objects match by equality
    };
    std::vector<std::string> calls;
    for (const auto& o : observers)
        center.addObserverForName(o.name, o.object, [&, label = o.label](const Notification& n) {
            calls.push_back(std::string(label) + "<" + n.name().utf8());
        });

    const struct {
        NotificationName name;
        Value object;
        std::vector<std::string> expected;
    } posts[] = {
        { Opened, {}, { "any<TestDocumentOpened", "opened<TestDocumentOpened" } },
        { Opened, Value(doc),
            { "any<TestDocumentOpened", "opened<TestDocumentOpened", "doc<TestDocumentOpened",
                "opened-doc<TestDocumentOpened" } },
        { Closed, Value(doc), { "any<TestDocumentClosed", "doc<TestDocumentClosed" } },
        { Closed, Value(otherDoc), { "any<TestDocumentClosed" } },
        { Closed, Value(7.0), { "any<TestDocumentClosed", "seven<TestDocumentClosed" } },
    };
    for (const auto& p : posts) {
        calls.clear();
        center.postNotificationName(p.name, p.object);
        EXPECT_EQ(calls, p.expected) << p.name << " " << p.object.description();
    }
}

// An observer that filters on an object it belongs to (a view on its window) must not keep that object alive.
TEST(NotificationCenter, TheObjectFilterDoesNotKeepItsObjectAlive)
{
    NotificationCenter center;
    auto doc = std::make_shared<TestAddress>();
    std::weak_ptr<TestAddress> watched = doc;
    int calls = 0;
    center.addObserverForName(Opened, Value(doc), [&](const Notification&) { ++calls; });
    center.postNotificationName(Opened, Value(doc));
    EXPECT_EQ(calls, 1);
    doc.reset();
    EXPECT_TRUE(watched.expired());
    // A new object, possibly at the old one's address, is another object.
    auto next = std::make_shared<TestAddress>();
    center.postNotificationName(Opened, Value(next));
    EXPECT_EQ(calls, 1);
}

TEST(NotificationCenter, SelectorObserversReceiveTheNotification)
{
    NotificationCenter center;
    auto r = std::make_shared<Recorder>();
    center.addObserver(*r, "noticed:", Opened);
    center.postNotificationName(Opened, 3, Dictionary { { "reason", "test" } });
    ASSERT_EQ(r->notifications.size(), 1u);
    auto n = r->notifications[0].objectAs<Notification>();
    ASSERT_TRUE(n);
    EXPECT_EQ(n->object(), Value(3));
    EXPECT_EQ(n->userInfo().get("reason"), Value("test"));

    center.removeObserver(*r, Opened, 4); // another object: still observing
    center.postNotificationName(Opened);
    center.removeObserver(*r, Closed); // another name: still observing
    center.postNotificationName(Opened);
    center.removeObserver(*r, Opened);
    center.postNotificationName(Opened);
    EXPECT_EQ(r->notifications.size(), 3u);

    // An observer that is gone is skipped.
    {
        auto gone = std::make_shared<Recorder>();
        center.addObserver(*gone, "noticed:", Opened);
    }
    auto stackObserver = std::make_unique<Recorder>();
    center.addObserver(*stackObserver, "noticed:", Opened);
    stackObserver.reset();
    center.postNotificationName(Opened);
}

TEST(NotificationCenter, ChangesDuringAPostAreSafe)
{
    NotificationCenter center;
    std::vector<std::string> calls;
    NotificationObserverToken second;
    NotificationObserverToken late;
    auto victim = std::make_shared<Recorder>();
    center.addObserverForName(Opened, {}, [&](const Notification&) {
        calls.push_back("first");
        center.removeObserver(second);
        center.removeObserver(*victim);
        if (!late)
            late = center.addObserverForName(Opened, {}, [&](const Notification&) { calls.push_back("late"); });
    });
    second = center.addObserverForName(Opened, {}, [&](const Notification&) { calls.push_back("second"); });
    center.addObserver(*victim, "noticed:", Opened);
    center.postNotificationName(Opened);
    EXPECT_EQ(calls, (std::vector<std::string> { "first" }));
    EXPECT_TRUE(victim->notifications.empty());

    calls.clear();
    center.postNotificationName(Opened);
    EXPECT_EQ(calls, (std::vector<std::string> { "first", "late" }));

    // A block observer that removes itself while it runs.
    NotificationObserverToken self;
    int runs = 0;
    self = center.addObserverForName(Closed, {}, [&](const Notification&) {
        ++runs;
        center.removeObserver(self);
    });
    center.postNotificationName(Closed);
    center.postNotificationName(Closed);
    EXPECT_EQ(runs, 1);
}

TEST(NotificationCenter, ExecutorDefersBlockObservers)
{
    NotificationCenter center;
    std::vector<std::function<void()>> queue;
    auto enqueue = [&](std::function<void()> work) { queue.push_back(std::move(work)); };
    std::vector<Value> seen;
    auto kept = center.addObserverForName(
        Opened, {}, [&](const Notification& n) { seen.push_back(n.object()); }, enqueue);
    auto dropped = center.addObserverForName(
        Opened, {}, [&](const Notification&) { seen.push_back("dropped"); }, enqueue);

    center.postNotificationName(Opened, 1);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(queue.size(), 2u);
    center.removeObserver(dropped); // removed before its turn came: never runs
    for (auto& work : queue)
        work();
    EXPECT_EQ(seen, (std::vector<Value> { 1 }));
    center.removeObserver(kept);
}

namespace {

// Counts what reaches it, from any thread.
class TestCounter : public Object {
    FND_OBJECT(TestCounter)
    static void describeClass(ClassBuilder<TestCounter>& c) { c.action("count:", &TestCounter::count); }

public:
    void count(const Value&) { ++seen; }
    std::atomic<int> seen { 0 };
};

}

FND_REGISTER_CLASS(TestCounter, Object)

TEST(NotificationCenter, PostsFromSeveralThreadsWhileObserversComeAndGo)
{
    NotificationCenter center;
    std::atomic<int> delivered { 0 };
    auto steady = center.addObserverForName(Opened, {}, [&](const Notification&) { ++delivered; });
    std::vector<std::thread> posters;
    for (int t = 0; t < 4; ++t)
        posters.emplace_back([&] {
            for (int i = 0; i < 200; ++i)
                center.postNotificationName(Opened, i);
        });
    for (int i = 0; i < 200; ++i) {
        auto r = std::make_shared<TestCounter>();
        center.addObserver(*r, "count:", Opened); // goes away at the end of the turn, removed or not
        auto token = center.addObserverForName(Opened, {}, [](const Notification&) {});
        center.removeObserver(token);
        if (i % 2)
            center.removeObserver(*r);
    }
    for (auto& t : posters)
        t.join();
    EXPECT_EQ(delivered.load(), 800);
    center.removeObserver(steady);
}

TEST(NotificationCenter, RandomObserversOfManyNamesHearWhatAListOfThemAllWouldHear)
{
    // Observers of twelve names and of every name come and go at random (by token, by observer, or by dying);
    // after each step a post must reach exactly what a plain list of the live observers says, in their order.
    NotificationCenter center;
    struct Live {
        int id;
        std::string name; // empty: every name
        NotificationObserverToken token;
        std::shared_ptr<TestCounter> observer; // selector observers
    };
    std::vector<Live> model;
    std::vector<int> heard;
    unsigned seed = 99;
    auto next = [&seed] { return (seed = seed * 1103515245 + 12345) >> 16; };
    auto nameOf = [](unsigned n) { return n == 0 ? std::string() : "RandomName" + std::to_string(n % 12); };
    int nextId = 0;
    for (int step = 0; step < 3000; ++step) {
        const unsigned what = next() % 10;
        if (what < 4 || model.empty()) {
            const int id = nextId++;
            Live live { id, nameOf(next() % 13), {}, nullptr };
            if (next() % 2) {
                live.token = center.addObserverForName(
                    String(live.name), {}, [&heard, id](const Notification&) { heard.push_back(id); });
            } else {
                // A selector observer counts into its own counter; its id is read back through the model.
                live.observer = std::make_shared<TestCounter>();
                center.addObserver(*live.observer, "count:", String(live.name));
            }
            model.push_back(std::move(live));
        } else if (what < 6) {
            auto& gone = model[next() % model.size()];
            if (gone.observer && next() % 2)
                gone.observer.reset(); // dies without removing itself
            else if (gone.observer)
                center.removeObserver(*gone.observer);
            else
                center.removeObserver(gone.token);
            std::erase_if(model, [&](const Live& l) { return l.id == gone.id; });
        } else {
            const std::string name = nameOf(1 + next() % 12);
            std::vector<int> counts;
            for (const auto& l : model)
                counts.push_back(l.observer ? l.observer->seen.load() : 0);
            heard.clear();
            center.postNotificationName(String(name));
            // Block observers report their ids in order; selector observers by their counters.
            std::vector<int> blocksExpected;
            for (const auto& l : model)
                if ((l.name.empty() || l.name == name) && !l.observer)
                    blocksExpected.push_back(l.id);
            ASSERT_EQ(heard, blocksExpected) << "step " << step << ", posting " << name;
            for (std::size_t i = 0; i < model.size(); ++i) {
                if (!model[i].observer)
                    continue;
                const bool reached = model[i].name.empty() || model[i].name == name;
                ASSERT_EQ(model[i].observer->seen.load(), counts[i] + (reached ? 1 : 0))
                    << "step " << step << ", observer " << model[i].id << " of '" << model[i].name << "'";
            }
        }
    }
}

TEST(NotificationCenter, RandomObserversOfObjectsHearWhatAListOfThemAllWouldHear)
{
    // Observers filter on a name (or none) and on one of a few objects, a plain value or nothing; they leave by
    // token, by observer (all of its observations, or those of a name, or of a name and object), by dying, or
    // because the object they filter on died. Each post about some object (or value, or nothing) must reach exactly
    // what a plain list of the live observers says, in the order they came.
    // The last seeds follow many objects, most of which die young: their lists are dropped by the passes over the
    // lists of objects, which the few objects of the others rarely start.
    for (unsigned seed = 1; seed <= 10; ++seed) {
        NotificationCenter center;
        // The last seeds follow many objects that die in numbers, so lists of gone objects pile up quickly.
        const int objectCount = seed <= 8 ? 5 : 600;
        const int deathsAtOnce = seed <= 8 ? 1 : 60;
        // Observers of objects no post names, which make the passes over all lists of objects rare, so the young
        // ones are looked at on their own.
        std::vector<std::shared_ptr<TestAddress>> unposted;
        for (int i = 0; seed > 8 && i < 3000; ++i) {
            unposted.push_back(std::make_shared<TestAddress>());
            center.addObserverForName({}, Value(unposted.back()), [](const Notification&) { FAIL(); });
        }
        std::vector<std::shared_ptr<TestAddress>> objects;
        for (int i = 0; i < objectCount; ++i)
            objects.push_back(std::make_shared<TestAddress>());
        struct Live {
            int id;
            std::string name;
            int filter; // -1 none, 0..objectCount - 1 an object, objectCount the value 7
            NotificationObserverToken token;
            std::shared_ptr<TestCounter> observer;
        };
        std::vector<Live> model;
        std::vector<int> heard;
        std::mt19937 random(seed);
        auto nameOf = [](unsigned n) { return n == 0 ? std::string() : "ObjectName" + std::to_string(n % 3); };
        constexpr int Dead = -2;
        // The value an observation filters on; nil for none (and for a dead object, which no value names).
        auto filterValue = [&](int filter) {
            return filter < 0 ? Value() : filter == objectCount ? Value(7) : Value(objects[std::size_t(filter)]);
        };
        auto matches = [&](const Live& l, const std::string& name, int posted) {
            if (!l.name.empty() && l.name != name)
                return false;
            return l.filter == -1 || (l.filter != Dead && l.filter == posted);
        };
        int nextId = 0;
        for (int step = 0; step < (seed <= 8 ? 2000 : 4000); ++step) {
            const unsigned what = random() % 12;
            if (what < 5 || model.empty()) {
                Live live { nextId++, nameOf(random() % 4), int(random() % unsigned(objectCount + 2)) - 1, {},
                    nullptr };
                if (live.filter >= 0 && live.filter < objectCount && !objects[std::size_t(live.filter)])
                    objects[std::size_t(live.filter)] = std::make_shared<TestAddress>();
                if (random() % 2) {
                    const int id = live.id;
                    live.token = center.addObserverForName(String(live.name), filterValue(live.filter),
                        [&heard, id](const Notification&) { heard.push_back(id); });
                } else {
                    // Now and then one more observation of an observer that has some already.
                    std::vector<std::shared_ptr<TestCounter>> observers;
                    for (const auto& l : model)
                        if (l.observer)
                            observers.push_back(l.observer);
                    live.observer = !observers.empty() && random() % 3 == 0 ? observers[random() % observers.size()]
                                                                            : std::make_shared<TestCounter>();
                    center.addObserver(*live.observer, "count:", String(live.name), filterValue(live.filter));
                }
                model.push_back(std::move(live));
            } else if (what < 8) {
                const auto gone = model[random() % model.size()];
                const unsigned how = random() % 4;
                if (!gone.observer) {
                    center.removeObserver(gone.token);
                    std::erase_if(model, [&](const Live& l) { return l.id == gone.id; });
                } else if (how == 0) {
                    // Dies without removing itself: every observation of it ends.
                    std::erase_if(model, [&](const Live& l) { return l.observer == gone.observer; });
                } else if (how == 1) {
                    center.removeObserver(*gone.observer);
                    std::erase_if(model, [&](const Live& l) { return l.observer == gone.observer; });
                } else {
                    // Those of its observations that the name (and with how 3 the object) picks.
                    const std::string name = how == 2 ? gone.name : nameOf(random() % 4);
                    const Value object = how == 3 ? filterValue(gone.filter) : Value();
                    center.removeObserver(*gone.observer, String(name), object);
                    std::erase_if(model, [&](const Live& l) {
                        return l.observer == gone.observer && (name.empty() || l.name == name)
                            && (object.isNil() || (l.filter == gone.filter && l.filter != Dead));
                    });
                }
            } else if (what < 9) {
                for (int death = 0; death < deathsAtOnce; ++death)
                    objects[random() % objects.size()].reset();
            } else {
                const std::string name = nameOf(1 + random() % 3);
                // One of the objects (or a later one at its place), nothing, or the values 7 and 8.
                const int posted = int(random() % unsigned(objectCount + 3)) - 1;
                Value object;
                if (posted >= 0 && posted < objectCount) {
                    if (!objects[std::size_t(posted)])
                        objects[std::size_t(posted)] = std::make_shared<TestAddress>();
                    object = Value(objects[std::size_t(posted)]);
                } else if (posted >= objectCount) {
                    object = Value(posted == objectCount ? 7 : 8);
                }
                // A selector observer hears a post once for each of its observations the post matches.
                std::map<TestCounter*, int> expectedCounts;
                for (const auto& l : model)
                    if (l.observer)
                        expectedCounts.emplace(l.observer.get(), l.observer->seen.load());
                for (const auto& l : model)
                    if (l.observer && matches(l, name, posted))
                        ++expectedCounts[l.observer.get()];
                heard.clear();
                center.postNotificationName(String(name), object);
                std::vector<int> blocksExpected;
                for (const auto& l : model)
                    if (!l.observer && matches(l, name, posted))
                        blocksExpected.push_back(l.id);
                ASSERT_EQ(heard, blocksExpected) << "seed " << seed << " step " << step << ", posting " << name;
                for (const auto& [observer, count] : expectedCounts)
                    ASSERT_EQ(observer->seen.load(), count) << "seed " << seed << " step " << step;
            }
            // An observation whose object died never matches again, even an object made later in its place.
            for (auto& l : model)
                if (l.filter >= 0 && l.filter < objectCount && !objects[std::size_t(l.filter)])
                    l.filter = Dead;
        }
    }
}

// Observers filtering on an object are kept in a list per name and object. A list whose object and observer were
// both gone was never swept, since no post names a gone object: 13 MB after 10,000 such pairs, never freed.
TEST(NotificationCenter, ListsOfObjectsAndObserversThatAreGoneDoNotPileUp)
{
    NotificationCenter center;
    auto document = std::make_shared<TestAddress>();
    auto ofDocument = std::make_shared<TestCounter>();
    auto ofAnything = std::make_shared<TestCounter>();
    center.addObserver(*ofDocument, "count:", Opened, Value(document));
    center.addObserver(*ofAnything, "count:", {});
    int blockCalls = 0;
    center.addObserverForName(Closed, Value(document), [&](const Notification&) { ++blockCalls; });
    // Lives on while the object it filters on goes.
    auto outliving = std::make_shared<TestCounter>();

    const NotificationName names[] = { Opened, Closed, "TestDocumentSaved", {} };
    for (int i = 0; i < 10000; ++i) {
        auto object = std::make_shared<TestAddress>();
        auto observer = std::make_shared<TestCounter>();
        center.addObserver(*observer, "count:", names[i % 4], Value(object));
        if (i % 10 == 0)
            center.addObserverForName(names[i % 4], Value(object), [](const Notification&) {});
        if (i % 100 == 0)
            center.addObserver(*outliving, "count:", names[i % 4], Value(object));
    }
    auto holdings = detail::notificationCenterHoldings(center);
    EXPECT_LT(holdings.objectLists, 600u);
    EXPECT_LT(holdings.objectEntries, 700u);

    // Pairs that lived long before they went, and then only pairs that go at once.
    std::vector<std::pair<std::shared_ptr<TestAddress>, std::shared_ptr<TestCounter>>> longLived;
    for (int i = 0; i < 3000; ++i) {
        longLived.emplace_back(std::make_shared<TestAddress>(), std::make_shared<TestCounter>());
        center.addObserver(*longLived.back().second, "count:", names[i % 4], Value(longLived.back().first));
    }
    EXPECT_GE(detail::notificationCenterHoldings(center).objectLists, 3000u);
    longLived.clear();
    for (int i = 0; i < 10000; ++i) {
        auto object = std::make_shared<TestAddress>();
        auto observer = std::make_shared<TestCounter>();
        center.addObserver(*observer, "count:", names[i % 4], Value(object));
    }
    holdings = detail::notificationCenterHoldings(center);
    EXPECT_LT(holdings.objectLists, 600u);
    EXPECT_LT(holdings.objectEntries, 700u);

    // The living still hear what is theirs after the sweeps.
    center.postNotificationName(Opened, Value(document));
    center.postNotificationName(Closed, Value(document));
    center.postNotificationName(Opened, Value(std::make_shared<TestAddress>()));
    EXPECT_EQ(ofDocument->seen.load(), 1);
    EXPECT_EQ(blockCalls, 1);
    EXPECT_EQ(ofAnything->seen.load(), 3);
    EXPECT_EQ(outliving->seen.load(), 0);
    center.removeObserver(*ofDocument);
    center.postNotificationName(Opened, Value(document));
    EXPECT_EQ(ofDocument->seen.load(), 1);
    EXPECT_EQ(ofAnything->seen.load(), 4);
}

// The lists are kept by the object's address. One made where a gone one was shares the gone one's list, and the
// passes that drop the lists of gone objects must keep it for the new one's observers.
TEST(NotificationCenter, AnObjectMadeWhereAGoneOneWasKeepsItsObserversThroughTheSweeps)
{
    NotificationCenter center;
    // Observers of objects that live on: with many of them, the young lists are looked at on their own.
    std::vector<std::shared_ptr<TestAddress>> living;
    for (int i = 0; i < 2000; ++i) {
        living.push_back(std::make_shared<TestAddress>());
        center.addObserverForName(Closed, Value(living.back()), [](const Notification&) {});
    }
    alignas(TestAddress) unsigned char place[sizeof(TestAddress)];
    auto makeInPlace = [&] {
        return std::shared_ptr<TestAddress>(new (place) TestAddress, [](TestAddress* a) { a->~TestAddress(); });
    };
    auto earlier = makeInPlace();
    auto earlierObserver = std::make_shared<TestCounter>();
    center.addObserver(*earlierObserver, "count:", Opened, Value(earlier));
    earlier.reset();
    auto later = makeInPlace();
    auto laterObserver = std::make_shared<TestCounter>();
    center.addObserver(*laterObserver, "count:", Opened, Value(later));

    for (int i = 0; i < 5000; ++i) {
        auto object = std::make_shared<TestAddress>();
        auto observer = std::make_shared<TestCounter>();
        center.addObserver(*observer, "count:", Opened, Value(object));
    }
    center.postNotificationName(Opened, Value(later));
    EXPECT_EQ(laterObserver->seen.load(), 1);
    EXPECT_EQ(earlierObserver->seen.load(), 0);
}

// An observer of many objects (a controller and its documents) that stops observing them one at a time, by name and
// object or by object alone, among other observers of the same objects: each removal takes exactly its own.
TEST(NotificationCenter, AnObserverOfManyObjectsStopsObservingThemOneAtATime)
{
    NotificationCenter center;
    auto controller = std::make_shared<TestCounter>();
    auto other = std::make_shared<TestCounter>();
    auto ofEveryObject = std::make_shared<TestCounter>();
    std::vector<std::shared_ptr<TestAddress>> documents;
    for (int i = 0; i < 300; ++i) {
        documents.push_back(std::make_shared<TestAddress>());
        center.addObserver(*controller, "count:", Opened, Value(documents.back()));
        center.addObserver(*controller, "count:", Closed, Value(documents.back()));
        center.addObserver(*other, "count:", Opened, Value(documents.back()));
    }
    center.addObserver(*controller, "count:", Opened);
    center.addObserver(*ofEveryObject, "count:", {});
    // Every third document by name and object (its Closed observation stays), every third by object alone.
    for (std::size_t i = 0; i < documents.size(); ++i) {
        if (i % 3 == 0)
            center.removeObserver(*controller, Opened, Value(documents[i]));
        else if (i % 3 == 1)
            center.removeObserver(*controller, {}, Value(documents[i]));
    }
    // Counted by hand: a post about document i reaches the controller's object observations still there, its
    // observation of every Opened, the other observer's (Opened only) and the observer of everything.
    for (std::size_t i = 0; i < documents.size(); ++i) {
        controller->seen = 0;
        other->seen = 0;
        ofEveryObject->seen = 0;
        center.postNotificationName(Opened, Value(documents[i]));
        center.postNotificationName(Closed, Value(documents[i]));
        const int controllerHears = (i % 3 == 2 ? 1 : 0) + 1 + (i % 3 == 1 ? 0 : 1);
        EXPECT_EQ(controller->seen.load(), controllerHears) << "document " << i;
        EXPECT_EQ(other->seen.load(), 1) << "document " << i;
        EXPECT_EQ(ofEveryObject->seen.load(), 2) << "document " << i;
    }
    // What is left goes with the observer's removal of all, and by name.
    center.removeObserver(*controller, Closed);
    controller->seen = 0;
    center.postNotificationName(Closed, Value(documents[2]));
    center.postNotificationName(Opened, Value(documents[3]));
    EXPECT_EQ(controller->seen.load(), 1);
    center.removeObserver(*controller);
    center.postNotificationName(Opened, Value(documents[2]));
    EXPECT_EQ(controller->seen.load(), 1);
}
