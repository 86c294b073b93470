#include "RuntimeModel.h"

#include "platform/foundation/detail/KeyValueObservingInternals.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/KeyValueObserving.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace fnd;
using namespace rtmodel;

namespace {

using Options = KeyValueObservingOptions;
using ChangeKind = KeyValueChangeKind;

// One change as text: "prior" marker, kind, old -> new, indexes.
std::string describe(const KeyValueChange& c)
{
    std::string s = c.isPrior ? "prior " : "";
    s += std::to_string(static_cast<int>(c.kind)) + " " + c.oldValue.description().utf8() + " -> "
        + c.newValue.description().utf8();
    if (c.indexes)
        s += " @" + c.indexes->description().utf8();
    return s;
}

std::vector<std::string> describeAll(const Recorder& r)
{
    std::vector<std::string> all;
    for (const auto& s : r.seen)
        all.push_back(s.keyPath.utf8() + ": " + describe(s.change));
    return all;
}

using Lines = std::vector<std::string>;

}

TEST(KVO, OptionsShapeTheChangesSent)
{
    const struct {
        Options options;
        Lines expected;
    } cases[] = {
        { Options::None, { "age: 1 (null) -> (null)" } },
        { Options::New, { "age: 1 (null) -> 31" } },
        { Options::Old | Options::New, { "age: 1 30 -> 31" } },
        { Options::Initial, { "age: 1 (null) -> (null)", "age: 1 (null) -> (null)" } },
        { Options::Initial | Options::New, { "age: 1 (null) -> 30", "age: 1 (null) -> 31" } },
        { Options::Prior | Options::Old | Options::New, { "age: prior 1 30 -> (null)", "age: 1 30 -> 31" } },
    };
    for (const auto& c : cases) {
        auto p = TestPerson::make("Al", 30);
        auto r = std::make_shared<Recorder>();
        p->addObserver(*r, "age", c.options);
        p->setValueForKey(31, "age");
        p->age = 99; // a plain member write is not a change anyone announced
        EXPECT_EQ(describeAll(*r), c.expected) << static_cast<unsigned>(c.options);
        p->removeObserver(*r, "age");
    }
}

TEST(KVO, SetterThatAnnouncesItselfIsReportedOnceThroughKVC)
{
    auto p = TestPerson::make("Al", 30);
    auto r = std::make_shared<Recorder>();
    p->addObserver(*r, "name", Options::Old | Options::New);
    p->setName("Bea"); // direct call: the setter's own hooks
    p->setValueForKey("Cid", "name"); // KVC wraps the same hooks: still one change
    p->perform("setName:", String("Di")); // selector of the setter goes through KVC
    EXPECT_EQ(describeAll(*r), (Lines { "name: 1 Al -> Bea", "name: 1 Bea -> Cid", "name: 1 Cid -> Di" }));
}

TEST(KVO, DependentKeysReportTheirOwnOldAndNewValues)
{
    auto p = TestPerson::make("Al", 30);
    auto r = std::make_shared<Recorder>();
    p->addObserver(*r, "summary", Options::Old | Options::New);
    p->setValueForKey(31, "age");
    p->setName("Bo");
    p->setValueForKey(1.9, "height"); // not among the keys summary depends on
    EXPECT_EQ(describeAll(*r), (Lines { "summary: 1 Al (30) -> Al (31)", "summary: 1 Al (31) -> Bo (31)" }));
}

TEST(KVO, KeyPathFollowsAReplacedIntermediate)
{
    auto p = TestPerson::make("Al", 30, "Oslo");
    auto first = p->address;
    auto second = TestAddress::make("Rome");
    auto r = std::make_shared<Recorder>();
    int context = 0;
    p->addObserver(*r, "address.city", Options::Old | Options::New, &context);

    first->setValueForKey("Bergen", "city");
    p->setValueForKey(second, "address");
    first->setValueForKey("Tromsø", "city"); // no longer on the path
    second->setValueForKey("Milan", "city");
    p->setValueForKey(Value(), "address");
    second->setValueForKey("Turin", "city");

    EXPECT_EQ(describeAll(*r),
        (Lines { "address.city: 1 Oslo -> Bergen", "address.city: 1 Bergen -> Rome", "address.city: 1 Rome -> Milan",
            "address.city: 1 Milan -> (null)" }));
    ASSERT_FALSE(r->seen.empty());
    EXPECT_EQ(r->seen[0].context, &context);
}

TEST(KVO, ToManyChangesCarryKindIndexesAndElements)
{
    auto p = TestPerson::make("Al", 30);
    p->items = { "a", "b", "c" };
    auto r = std::make_shared<Recorder>();
    p->addObserver(*r, "items", Options::Old | Options::New);

    IndexSet inserted { 1, 2 };
    p->willChange(ChangeKind::Insertion, inserted, "items");
    p->items.insert(p->items.begin() + 1, { "x", "y" });
    p->didChange(ChangeKind::Insertion, inserted, "items");

    IndexSet removed { 0, 4 };
    p->willChange(ChangeKind::Removal, removed, "items");
    p->items = { "x", "y", "b" };
    p->didChange(ChangeKind::Removal, removed, "items");

    IndexSet replaced { 2 };
    p->willChange(ChangeKind::Replacement, replaced, "items");
    p->items[2] = "z";
    p->didChange(ChangeKind::Replacement, replaced, "items");

    EXPECT_EQ(describeAll(*r),
        (Lines {
            "items: 2 (null) -> (\n    x,\n    y\n) @[number of indexes: 2 (in 1 ranges), indexes: (1-2)]",
            "items: 3 (\n    a,\n    c\n) -> (null) @[number of indexes: 2 (in 2 ranges), indexes: (0 4)]",
            "items: 4 (\n    b\n) -> (\n    z\n) @[number of indexes: 1 (in 1 ranges), indexes: (2)]",
        }));
}

TEST(KVO, ObserversThatAreGoneOrRemovedAreNotCalled)
{
    auto p = TestPerson::make("Al", 30);
    auto kept = std::make_shared<Recorder>();
    {
        auto gone = std::make_shared<Recorder>();
        p->addObserver(*gone, "age", Options::New);
    }
    // An observer that is not in a shared_ptr (a singleton, a stack object) is weak too.
    auto stackObserver = std::make_unique<Recorder>();
    p->addObserver(*stackObserver, "age");
    stackObserver.reset();

    // The first observer removes the second while the change is delivered.
    auto victim = std::make_shared<Recorder>();
    kept->onChange = [&](const Recorder::Seen&) {
        if (p->age == 31)
            p->removeObserver(*victim, "age");
    };
    p->addObserver(*kept, "age");
    p->addObserver(*victim, "age");
    p->setValueForKey(31, "age");
    p->setValueForKey(32, "age");
    EXPECT_EQ(kept->seen.size(), 2u);
    EXPECT_TRUE(victim->seen.empty());

    // Removal matches the context, and a second removal has nothing left to remove.
    int a = 0, b = 0;
    p->addObserver(*victim, "name", Options::None, &a);
    p->addObserver(*victim, "name", Options::None, &b);
    p->removeObserver(*victim, "name", &a);
    p->setName("Bo");
    ASSERT_EQ(victim->seen.size(), 1u);
    EXPECT_EQ(victim->seen[0].context, &b);
    p->removeObserver(*victim, "name");
    try {
        p->removeObserver(*victim, "name");
        ADD_FAILURE() << "removing twice did not raise";
    } catch (const Exception& e) {
        EXPECT_EQ(e.name(), ExceptionName::Range);
    }
}

TEST(KVO, ObservedObjectMayGoFirst)
{
    auto r = std::make_shared<Recorder>();
    auto address = TestAddress::make("Oslo");
    {
        auto p = TestPerson::make("Al", 30);
        p->address = address;
        p->addObserver(*r, "address.city", Options::New);
    }
    address->setValueForKey("Rome", "city"); // the chain left the address when the person went
    EXPECT_TRUE(r->seen.empty());

    // An object that observes without handling its changes is a programming error, raised to the setter.
    auto plain = std::make_shared<Object>();
    auto p = TestPerson::make("Al", 30);
    p->addObserver(*plain, "age");
    EXPECT_THROW(p->setValueForKey(1, "age"), Exception);
    p->removeObserver(*plain, "age");
}

namespace {

// Two keys that each depend on the other.
class TestMirror : public Object {
    FND_OBJECT(TestMirror)
    static void describeClass(ClassBuilder<TestMirror>& c)
    {
        c.property("left", &TestMirror::left)
            .property("right", &TestMirror::right)
            .keyPathsAffecting("left", { "right" })
            .keyPathsAffecting("right", { "left", "self.left" });
    }

public:
    int left { 0 };
    int right { 0 };
};

}

FND_REGISTER_CLASS(TestMirror, Object)

TEST(KVO, DependencyCyclesDoNotRecurse)
{
    auto m = std::make_shared<TestMirror>();
    auto r = std::make_shared<Recorder>();
    m->addObserver(*r, "left", Options::New);
    m->setValueForKey(1, "right");
    m->setValueForKey(2, "left");
    EXPECT_EQ(describeAll(*r), (Lines { "left: 1 (null) -> 0", "left: 1 (null) -> 2" }));
}

// An observer removed and added again, beside another of the same key, hears each change once; removed, it hears
// nothing more, and the other goes on hearing.
TEST(KVO, ObserversAddedAndRemovedAgainHearEachChangeOnce)
{
    auto p = TestPerson::make("Al", 30);
    auto steady = std::make_shared<Recorder>();
    auto coming = std::make_shared<Recorder>();
    p->addObserver(*steady, "age", Options::New);
    for (int round = 0; round < 3; ++round) {
        p->addObserver(*coming, "age", Options::New);
        p->setValueForKey(40 + round, "age");
        p->removeObserver(*coming, "age");
    }
    p->setValueForKey(50, "age");
    EXPECT_EQ(describeAll(*coming), (Lines { "age: 1 (null) -> 40", "age: 1 (null) -> 41", "age: 1 (null) -> 42" }));
    EXPECT_EQ(steady->seen.size(), 4u);
}

TEST(KVO, APathThroughAnArrayHearsTheSameElementsAfterEveryChangeAsAFreshObservation)
{
    // "items.city" through an array that is changed at random by insertions, removals, replacements and settings,
    // each announced with its indexes, and now and then announced wrongly (the array changed otherwise than the
    // indexes say). After each change a city is changed: the observation that followed every change must hear it
    // exactly when an observation made afresh does, which is exactly when the address is in the array.
    for (unsigned seed = 1; seed <= 12; ++seed) {
        std::mt19937 random(seed);
        std::vector<std::shared_ptr<TestAddress>> pool;
        for (int i = 0; i < 12; ++i)
            pool.push_back(TestAddress::make(String("City " + std::to_string(i))));
        auto element = [&]() -> Value {
            // Mostly addresses, some more than once, and now and then a plain value.
            if (random() % 6 == 0)
                return Value(int(random() % 100));
            return Value(pool[random() % pool.size()]);
        };
        auto p = TestPerson::make("Al", 30);
        auto kept = std::make_shared<Recorder>();
        p->addObserver(*kept, "items.city");
        for (int step = 0; step < 150; ++step) {
            auto& items = p->items;
            const auto count = items.size();
            const unsigned what = random() % 10;
            IndexSet indexes;
            ChangeKind kind = ChangeKind::Setting;
            Array next = items;
            if (what < 4) {
                kind = ChangeKind::Insertion;
                const auto n = 1 + random() % 3;
                for (unsigned i = 0; i < n; ++i) {
                    const auto at = random() % (next.size() + 1);
                    next.insert(next.begin() + std::ptrdiff_t(at), element());
                    // Places are those in the array afterwards: the ones at or after this one move on.
                    IndexSet moved;
                    indexes.enumerate([&](Index index, bool&) { moved.add(index >= Index(at) ? index + 1 : index); });
                    moved.add(Index(at));
                    indexes = moved;
                }
            } else if (what < 7 && count > 0) {
                kind = ChangeKind::Removal;
                for (unsigned i = 0; i < 1 + random() % 3; ++i)
                    indexes.add(Index(random() % count));
                Array left;
                for (std::size_t i = 0; i < count; ++i)
                    if (!indexes.contains(Index(i)))
                        left.push_back(items[i]);
                next = left;
            } else if (what < 9 && count > 0) {
                kind = ChangeKind::Replacement;
                for (unsigned i = 0; i < 1 + random() % 2; ++i) {
                    const auto at = random() % count;
                    indexes.add(Index(at));
                    next[at] = element();
                }
            } else {
                next.clear();
                for (unsigned i = 0; i < random() % 8; ++i)
                    next.push_back(element());
            }
            if (kind != ChangeKind::Setting && random() % 8 == 0 && !next.empty())
                next[random() % next.size()] = element(); // announced wrongly: one more place changed
            if (kind == ChangeKind::Setting) {
                p->willChangeValueForKey("items");
                items = next;
                p->didChangeValueForKey("items");
            } else {
                p->willChange(kind, indexes, "items");
                items = next;
                p->didChange(kind, indexes, "items");
            }
            auto fresh = std::make_shared<Recorder>();
            p->addObserver(*fresh, "items.city");
            const auto& changed = pool[random() % pool.size()];
            // Once for each place the address holds in the array.
            const auto places = std::ranges::count_if(items, [&](const Value& v) { return v.object() == changed; });
            kept->seen.clear();
            changed->setValueForKey(Value(String("Elsewhere " + std::to_string(step))), "city");
            ASSERT_EQ(kept->seen.size(), fresh->seen.size()) << "seed " << seed << " step " << step;
            ASSERT_EQ(fresh->seen.size(), std::size_t(places)) << "seed " << seed << " step " << step;
            p->removeObserver(*fresh, "items.city");
        }
        p->removeObserver(*kept, "items.city");
    }
}

// Several key paths of one observer leave in one call: for each path its latest observation with the context, the
// observer's other contexts and other observers staying; a path through an object that went since is let go of too,
// and nothing of the observations stays with the observed object.
TEST(KVO, RemovingSeveralKeyPathsAtOnceTakesEachPathsLatestObservationWithTheContext)
{
    auto p = TestPerson::make("Al", 30, "Oslo");
    auto r = std::make_shared<Recorder>();
    auto other = std::make_shared<Recorder>();
    int a = 0, b = 0;
    p->addObserver(*r, "age", Options::None, &a); // a key of its own
    p->addObserver(*r, "address.city", Options::None, &a); // a path
    p->addObserver(*r, "summary", Options::None, &a); // a key that depends on others
    p->addObserver(*r, "age", Options::None, &b);
    p->addObserver(*r, "age", Options::None, &a);
    p->addObserver(*other, "age", Options::None, &a);
    // The address the path went through goes.
    p->setValueForKey(Value(TestAddress::make("Rome")), "address");
    r->seen.clear();

    // "height" is not observed: passed over. Of the two "age" observations with context a only the latest goes.
    EXPECT_EQ(p->removeObserverForKeyPaths(*r, { "age", "address.city", "summary", "height" }, &a), 3u);
    p->setValueForKey(31, "age");
    p->address->setValueForKey("Paris", "city");
    p->setName("Bo");
    std::vector<const void*> contexts;
    for (const auto& seen : r->seen)
        contexts.push_back(seen.context);
    EXPECT_EQ(contexts, (std::vector<const void*> { &a, &b }))
        << "heard: " << ::testing::PrintToString(describeAll(*r));
    EXPECT_EQ(other->seen.size(), 1u);

    EXPECT_EQ(p->removeObserverForKeyPaths(*r, { "age", "address.city", "summary" }, &a), 1u);
    EXPECT_EQ(p->removeObserverForKeyPaths(*r, { "age", "address.city", "summary" }, &a), 0u);
    EXPECT_EQ(p->removeObserverForKeyPaths(*r, { "age" }, &b), 1u);
    p->removeObserver(*other, "age");
    const auto& state = detail::ObjectAccess::state(*p);
    EXPECT_TRUE(state.registrations.empty());
    EXPECT_TRUE(state.listeners.empty());
}

// A path named twice in one call takes its two latest observations with the context, and a call naming more paths
// than usual takes them all; another observer's observations of the same keys stay and keep hearing them.
TEST(KVO, RemovingKeyPathsAtOnceTakesAPathNamedTwiceTwiceAndAnyNumberOfPaths)
{
    auto p = TestPerson::make("Al", 30);
    auto r = std::make_shared<Recorder>();
    auto other = std::make_shared<Recorder>();
    int a = 0;
    const std::vector<String> keys { "age", "height", "isActive", "name", "settings", "items", "rank", "selection",
        "frame" };
    p->addObserver(*other, "age", Options::None, &a);
    p->addObserver(*other, "height", Options::None, &a);
    for (const auto& key : keys)
        p->addObserver(*r, key, Options::None, &a);
    p->addObserver(*r, "age", Options::None, &a);
    p->addObserver(*r, "age", Options::None, &a);

    EXPECT_EQ(p->removeObserverForKeyPaths(*r, { "age", "age" }, &a), 2u);
    p->setValueForKey(31, "age");
    EXPECT_EQ(r->seen.size(), 1u) << "of three observations of the key one is left";
    EXPECT_EQ(other->seen.size(), 1u);

    r->seen.clear();
    EXPECT_EQ(p->removeObserverForKeyPaths(*r, keys, &a), 9u);
    p->setValueForKey(32, "age");
    p->setValueForKey(Value(1.5), "height");
    p->setName("Bo");
    EXPECT_TRUE(r->seen.empty()) << ::testing::PrintToString(describeAll(*r));
    EXPECT_EQ(other->seen.size(), 3u);
    const auto& state = detail::ObjectAccess::state(*p);
    EXPECT_EQ(state.registrations.size(), 2u);
    EXPECT_EQ(state.listeners.size(), 2u);
}

// Observations taken away at once while a change is told hear nothing of that change, the one observing a key of
// its own and the one through a dependent key alike; an observer that went meanwhile is no hindrance.
TEST(KVO, ObservationsRemovedAtOnceDuringANotificationHearNoMoreOfIt)
{
    auto p = TestPerson::make("Al", 30);
    auto first = std::make_shared<Recorder>();
    auto victim = std::make_shared<Recorder>();
    int context = 0;
    {
        auto gone = std::make_shared<Recorder>();
        p->addObserver(*gone, "age", Options::None, &context);
    }
    p->addObserver(*first, "age");
    p->addObserver(*victim, "age", Options::New, &context);
    p->addObserver(*victim, "summary", Options::New, &context);
    first->onChange = [&](const Recorder::Seen&) {
        EXPECT_EQ(
            p->removeObserverForKeyPaths(*victim, { "age", "summary" }, &context), first->seen.size() == 1 ? 2u : 0u);
    };
    p->setValueForKey(31, "age");
    p->setValueForKey(32, "age");
    EXPECT_EQ(first->seen.size(), 2u);
    EXPECT_TRUE(victim->seen.empty()) << ::testing::PrintToString(describeAll(*victim));
}
