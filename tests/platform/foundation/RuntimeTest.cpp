#include "RuntimeModel.h"

#include "platform/foundation/runtime/AssociatedObjects.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/IndexSet.h"
#include "platform/foundation/runtime/KeyValueCoding.h"
#include "platform/foundation/runtime/Log.h"

#include <gtest/gtest.h>

#include <thread>

using namespace fnd;
using namespace rtmodel;

namespace {

std::shared_ptr<TestPerson> person(const String& name, int age, double height = 0, const String& city = {})
{
    auto p = std::make_shared<TestPerson>();
    p->setName(name);
    p->age = age;
    p->height = height;
    if (!city.isEmpty())
        p->address = TestAddress::make(city);
    return p;
}

// Restores the process-wide key handlers when a test ends.
struct HandlerScope {
    ~HandlerScope()
    {
        KeyValueCoding::setUndefinedKeyGetter({});
        KeyValueCoding::setUndefinedKeySetter({});
        KeyValueCoding::setArrayKeyHandler({});
    }
};

template <typename F> Exception raised(F&& f)
{
    try {
        f();
    } catch (const Exception& e) {
        return e;
    }
    ADD_FAILURE() << "nothing was raised";
    return Exception("none", "");
}

}

TEST(Runtime, SubclassAnswersInheritedActionsAndAccessors)
{
    auto e = std::make_shared<TestEmployee>();
    struct Case {
        const char* selector;
        bool answers;
    } cases[] = {
        { "greet:", true }, // inherited action
        { "pay:", true }, // own action
        { "name", true }, // inherited getter
        { "setName:", true }, // inherited setter
        { "setSummary:", false }, // read-only key
        { "setAge", false }, // setter without the argument colon
        { "fly:", false },
    };
    for (const auto& c : cases)
        EXPECT_EQ(e->respondsTo(c.selector), c.answers) << c.selector;
    EXPECT_FALSE(std::make_shared<TestPerson>()->respondsTo("pay:"));

    e->perform("greet:", String("menu"));
    e->perform("pay:", 12.5);
    e->perform("setName:", String("Ann"));
    EXPECT_EQ(e->perform("addYears:", "3"), Value(3)); // argument converted from a string, result returned
    EXPECT_EQ(e->perform("name"), Value("Ann"));
    ASSERT_EQ(e->greetedBy.size(), 1u);
    EXPECT_EQ(e->greetedBy[0], Value("menu"));
    EXPECT_EQ(e->salary, 12.5);

    auto ex = raised([&] { e->perform("fly:"); });
    EXPECT_EQ(ex.name(), ExceptionName::InvalidArgument);
    EXPECT_NE(ex.reason().utf8().find("-[TestEmployee fly:]: unrecognized selector"), std::string::npos);
}

TEST(Runtime, KeyPathsReadAndWriteThroughObjectsAndDictionaries)
{
    auto p = person("Bo", 30, 1.8, "Oslo");
    p->settings.set("colour", "red");
    Value pv(p);

    EXPECT_EQ(p->valueForKeyPath("address.city"), Value("Oslo"));
    EXPECT_EQ(p->valueForKeyPath("settings.colour"), Value("red"));
    EXPECT_EQ(valueForKeyPath(pv, "name.length"), Value(2));
    EXPECT_EQ(valueForKeyPath(pv, "self.address.self.city"), Value("Oslo"));
    EXPECT_EQ(p->valueForKeyPath("settings.missing"), Value());

    p->setValueForKeyPath("Rome", "address.city");
    EXPECT_EQ(p->address->city, String("Rome"));
    // A dictionary is a value: the changed copy is written back through the key.
    p->setValueForKeyPath("blue", "settings.colour");
    p->setValueForKeyPath(Value(), "settings.unset");
    EXPECT_EQ(p->settings.get("colour"), Value("blue"));
    EXPECT_FALSE(p->settings.contains("unset"));

    // Scalars convert from what arrives; a nil intermediate swallows the write.
    p->setValueForKey("42", "age");
    p->setValueForKey(Value(2), "height");
    p->setValueForKey("yes", "isActive");
    EXPECT_EQ(p->age, 42);
    EXPECT_EQ(p->height, 2.0);
    EXPECT_TRUE(p->isActive);
    p->address = nullptr;
    p->setValueForKeyPath("Nowhere", "address.city");
    EXPECT_EQ(p->valueForKeyPath("address.city"), Value());
}

TEST(Runtime, DeclaredKeysConvertTheirTypes)
{
    auto p = person("Al", 30);
    auto boss = person("Boss", 60);
    auto home = TestAddress::make("Oslo");
    const struct {
        const char* key;
        Value written;
        Value readBack;
    } cases[] = {
        { "manager", Value(boss), Value(boss) },
        { "manager", Value(home), Value() }, // another class reads back as no object
        { "homes", Value(Array { Value(home) }), Value(Array { Value(home) }) },
        { "homes", Value("not an array"), Value(Array {}) },
        { "rank", 3, 3 },
        { "rank", Value(), Value() }, // optional keys take nil
        { "selection", Value(std::make_shared<IndexSet>(Range { 2, 3 })),
            Value(std::make_shared<IndexSet>(Range { 2, 3 })) },
        { "frame", gfx::Rect { { 1, 2 }, { 3, 4 } }, gfx::Rect { { 1, 2 }, { 3, 4 } } },
        { "mood", 2, 2 },
        { "shout", "Bo!", "Bo!" }, // callables as getter and setter
        { "age", 7.9, 7 },
    };
    for (const auto& c : cases) {
        p->setValueForKey(c.written, c.key);
        EXPECT_EQ(p->valueForKey(c.key), c.readBack) << c.key << " <- " << c.written.description();
    }
    EXPECT_EQ(p->mood, TestPerson::Mood::Cross);
    EXPECT_EQ(p->name(), String("Bo"));
    // A boxed index set is a copy: changing it leaves the object alone.
    p->valueForKey("selection").objectAs<IndexSet>()->add(9);
    EXPECT_FALSE(p->selection.contains(9));
    EXPECT_THROW(p->setValueForKey(Value(), "frame"), Exception);
}

TEST(Runtime, NilForScalarKeysGoesToSetNilValueForKey)
{
    auto e = std::make_shared<TestEmployee>();
    e->salary = 10;
    e->setValueForKey(Value(), "salary"); // this class ignores nil for salary
    e->setValueForKey(Null {}, "salary");
    EXPECT_EQ(e->salary, 10);

    auto ex = raised([&] { e->setValueForKey(Value(), "age"); });
    EXPECT_EQ(ex.name(), ExceptionName::InvalidArgument);
    EXPECT_NE(ex.reason().utf8().find("could not set nil as the value for the key age"), std::string::npos);

    e->address = TestAddress::make("x");
    e->setValueForKey(Value(), "address"); // object keys take nil
    EXPECT_EQ(e->address, nullptr);
}

TEST(Runtime, UndefinedKeysRaiseUnlessAHandlerWidensThem)
{
    HandlerScope restore;
    auto p = person("Cy", 5);
    const struct {
        std::function<void()> action;
        const char* reasonPart;
    } defaults[] = {
        { [&] { p->valueForKey("colour"); }, "[<TestPerson 0x" },
        { [&] { p->valueForKey("colour"); },
            "valueForUndefinedKey:]: this class is not key value coding-compliant "
            "for the key colour." },
        { [&] { p->setValueForKey(1, "summary"); }, "setValue:forUndefinedKey:]" }, // read-only key
        { [&] { valueForKey(Value(7), "colour"); }, "[<NSNumber> valueForUndefinedKey:]" },
        { [&] { valueForKey(Value(Null {}), "x"); }, "[<NSNull> valueForUndefinedKey:]" },
    };
    for (const auto& c : defaults) {
        auto ex = raised(c.action);
        EXPECT_EQ(ex.name(), ExceptionName::UndefinedKey);
        EXPECT_NE(ex.reason().utf8().find(c.reasonPart), std::string::npos) << ex.reason().utf8();
    }
    EXPECT_EQ(raised([&] { p->valueForKey("colour"); }).userInfo().get("NSUnknownUserInfoKey"), Value("colour"));

    // A widening like the framework's: arrays answer two keys, everything else raises a named exception.
    std::vector<String> asked;
    KeyValueCoding::setUndefinedKeyGetter([&](const Value& receiver, const String& key) -> Value {
        asked.push_back(classNameOf(receiver) + String(":") + key);
        if (receiver.isArray() && key == String("allValues"))
            return Value("joined");
        throw Exception("KVO/Undefined Key", classNameOf(receiver) + String(" KVO/Undefined Key: ") + key);
    });
    KeyValueCoding::setArrayKeyHandler([](const Array& a, const String& key) -> std::optional<Value> {
        if (key == String("allValues"))
            return Value(static_cast<long long>(a.size()));
        return std::nullopt;
    });
    EXPECT_EQ(raised([&] { p->valueForKey("colour"); }).name(), String("KVO/Undefined Key"));
    EXPECT_EQ(KeyValueCoding::valueForUndefinedKey(Value(Array { 1 }), "allValues"), Value("joined"));
    EXPECT_EQ(valueForKey(Value(Array { 1, 2 }), "allValues"), Value(2));
    // Any other key on an array still collects from the elements, which reach the handler one by one.
    EXPECT_EQ(raised([&] { valueForKey(Value(Array { Value(p) }), "colour"); }).name(), String("KVO/Undefined Key"));
    EXPECT_EQ(asked, (std::vector<String> { "TestPerson:colour", "NSArray:allValues", "TestPerson:colour" }));
}

namespace {

// Answers every undefined key itself, so the process-wide handler never sees it.
class TestOpenRecord : public Object {
    FND_OBJECT(TestOpenRecord)
public:
    Value valueForUndefinedKey(const String& key) const override { return Value(String("open:") + key); }
};

}

FND_REGISTER_CLASS(TestOpenRecord, Object)

TEST(Runtime, AClassFamilyWithItsOwnUndefinedKeyStaysExempt)
{
    HandlerScope restore;
    int calls = 0;
    KeyValueCoding::setUndefinedKeyGetter([&](const Value&, const String&) -> Value {
        ++calls;
        return {};
    });
    auto r = std::make_shared<TestOpenRecord>();
    EXPECT_EQ(r->valueForKeyPath("anything"), Value("open:anything"));
    EXPECT_EQ(calls, 0);
}

TEST(Runtime, CollectionOperators)
{
    Array people { Value(person("Ann", 30, 1.5)), Value(person("Bob", 40, 1.75)), Value(person("Ann", 20, 2.0)) };
    Value pv(people);
    Array widths { 10.7, 20.2, 31.9 };
    Array nested { Array { 1, 2 }, Array { 2, 3 }, Array {} };
    const struct {
        Value receiver;
        const char* keyPath;
        Value expected;
    } cases[] = {
        { pv, "@count", Value(3) },
        { pv, "@sum.age", Value(90) },
        { pv, "@avg.age", Value(30.0) },
        { pv, "@min.age", Value(20) },
        { pv, "@max.name", Value("Bob") },
        { pv, "@sum.height", Value(5.25) },
        { pv, "name", Value(Array { "Ann", "Bob", "Ann" }) },
        { pv, "@unionOfObjects.name", Value(Array { "Ann", "Bob", "Ann" }) },
        { pv, "@distinctUnionOfObjects.name", Value(Array { "Ann", "Bob" }) },
        { pv, "address.city", Value(Array { Null {}, Null {}, Null {} }) }, // nil is collected as null
        { Value(widths), "@sum.intValue", Value(61) }, // each width truncated first
        { Value(widths), "@avg.intValue", Value(61.0 / 3) },
        { Value(widths), "@min.intValue", Value(10) },
        { Value(Array {}), "@avg.intValue", Value(0) },
        { Value(Array {}), "@max.self", Value() },
        { Value(nested), "@unionOfArrays.self", Value(Array { 1, 2, 2, 3 }) },
        { Value(nested), "@distinctUnionOfArrays.self", Value(Array { 1, 2, 3 }) },
        { Value(Array { 1, "x", Array { 2 } }), "@distinctUnionOfArrays.self", Value(Array { 1, "x", 2 }) },
        { Value(Array { Array { 1, 2 }, Array { 3 } }), "@count", Value(2) },
        { Value(Array { Array { 1, 2 }, Array { 3 } }), "@sum.@count", Value(3) },
        { Value(Dictionary { { "a", 1 }, { "b", 2 } }), "@count", Value(2) },
        { Value(Dictionary { { "a", Array { 4, 5 } } }), "a.@max.self", Value(5) },
        { Value(4000000000.0), "intValue", Value(static_cast<int>(static_cast<std::int32_t>(4000000000LL))) },
    };
    for (const auto& c : cases)
        EXPECT_EQ(valueForKeyPath(c.receiver, c.keyPath), c.expected)
            << c.keyPath << " gave " << valueForKeyPath(c.receiver, c.keyPath).description();

    // Setting through an array sets every element.
    valueForKeyPath(pv, "self");
    setValueForKey(pv, Value(7), "age");
    EXPECT_EQ(valueForKeyPath(pv, "@sum.age"), Value(21));
    EXPECT_EQ(raised([&] { valueForKeyPath(pv, "@median.age"); }).name(), ExceptionName::UndefinedKey);
}

namespace {

// A class whose objects made by name are constructed by its own allocateByName, which marks them.
class RuntimeMadeByName : public Object {
    FND_OBJECT(RuntimeMadeByName)
public:
    static std::shared_ptr<RuntimeMadeByName> allocateByName()
    {
        auto object = std::make_shared<RuntimeMadeByName>();
        object->madeByName = true;
        return object;
    }
    void init() { ++initialised; }
    bool madeByName { false };
    int initialised { 0 };
};

}

FND_REGISTER_CLASS(RuntimeMadeByName, Object)

TEST(Runtime, AClassMayConstructWhatIsMadeByItsName)
{
    auto& registry = ClassRegistry::shared();
    // Allocated (an interface file or an unarchiver initialises it next): constructed by the class, not initialised.
    auto allocated = std::dynamic_pointer_cast<RuntimeMadeByName>(registry.allocate("RuntimeMadeByName"));
    ASSERT_NE(allocated, nullptr);
    EXPECT_TRUE(allocated->madeByName);
    EXPECT_EQ(allocated->initialised, 0);
    // Made whole: the same, then its initialiser, once.
    auto created = std::dynamic_pointer_cast<RuntimeMadeByName>(registry.create("RuntimeMadeByName"));
    ASSERT_NE(created, nullptr);
    EXPECT_TRUE(created->madeByName);
    EXPECT_EQ(created->initialised, 1);
    // Code that makes one itself gets a plain object.
    EXPECT_FALSE(makeObject<RuntimeMadeByName>()->madeByName);
}

TEST(Runtime, AssociatedObjectsLiveAsLongAsTheirObjectUnderTheirOwnKeys)
{
    static const char first = 0, second = 0;
    auto owner = person("Ada", 36);
    auto attached = person("Attached", 1);
    std::weak_ptr<TestPerson> watch = attached;
    EXPECT_TRUE(associatedObject(*owner, &first).isNil());
    setAssociatedObject(*owner, &first, Value(attached));
    setAssociatedObject(*owner, &second, Value("text"));
    attached.reset();
    ASSERT_FALSE(watch.expired()) << "the owner keeps it alive";
    EXPECT_EQ(associatedObject(*owner, &first).objectAs<TestPerson>()->name(), u"Attached");
    EXPECT_EQ(associatedObject(*owner, &second).stringValue(), u"text");

    // Replacing lets the old value go; nil removes; the other key stays.
    setAssociatedObject(*owner, &first, Value(person("Other", 2)));
    EXPECT_TRUE(watch.expired());
    setAssociatedObject(*owner, &first, Value());
    EXPECT_TRUE(associatedObject(*owner, &first).isNil());
    EXPECT_EQ(associatedObject(*owner, &second).stringValue(), u"text");

    // Going with the owner.
    auto later = person("Later", 3);
    watch = later;
    setAssociatedObject(*owner, &first, Value(later));
    later.reset();
    owner.reset();
    EXPECT_TRUE(watch.expired());

    // Writers and readers on several threads see whole values only.
    auto shared = person("Shared", 4);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 2000; ++i) {
                if (t % 2) {
                    setAssociatedObject(*shared, &first, Value(person("P", i)));
                } else if (auto value = associatedObject(*shared, &first); !value.isNil()) {
                    EXPECT_EQ(value.objectAs<TestPerson>()->name(), u"P");
                }
            }
        });
    for (auto& thread : threads)
        thread.join();
    removeAssociatedObjects(*shared);
    EXPECT_TRUE(associatedObject(*shared, &first).isNil());
}

TEST(IndexSet, KeepsDisjointSortedRanges)
{
    const struct {
        std::function<void(IndexSet&)> edit;
        std::vector<Range> ranges;
        const char* description;
    } cases[] = {
        { [](IndexSet& s) {
             s.add(Range { 5, 3 });
             s.add(1);
         },
            { { 1, 1 }, { 5, 3 } }, "[number of indexes: 4 (in 2 ranges), indexes: (1 5-7)]" },
        { [](IndexSet& s) {
             s.add(Range { 5, 3 });
             s.add(8);
             s.add(4);
         },
            { { 4, 5 } }, nullptr }, // adjacent merge
        { [](IndexSet& s) {
             s.add(Range { 0, 3 });
             s.add(Range { 6, 2 });
             s.add(Range { 2, 5 });
         },
            { { 0, 8 } }, nullptr },
        { [](IndexSet& s) {
             s.add(Range { 0, 10 });
             s.remove(Range { 3, 4 });
         },
            { { 0, 3 }, { 7, 3 } }, nullptr },
        { [](IndexSet& s) {
             s.add(Range { 0, 10 });
             s.remove(Range { 0, 10 });
         },
            {}, "(no indexes)" },
        { [](IndexSet& s) {
             s.add(Range { 2, 2 });
             s.add(Range { 8, 2 });
             s.remove(Range { 3, 6 });
         },
            { { 2, 1 }, { 9, 1 } }, nullptr },
        { [](IndexSet& s) {
             s.add(Range { 4, 0 });
             s.remove(9);
         },
            {}, nullptr },
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        IndexSet s;
        cases[i].edit(s);
        EXPECT_EQ(s.ranges(), cases[i].ranges) << "case " << i << ": " << s.description();
        if (cases[i].description) {
            EXPECT_EQ(s.description(), String(cases[i].description));
        }
    }

    IndexSet s { 3, 4, 5, 9 };
    EXPECT_EQ(s.count(), 4);
    EXPECT_EQ(s.firstIndex(), 3);
    EXPECT_EQ(s.lastIndex(), 9);
    EXPECT_TRUE(s.contains(Range { 3, 3 }));
    EXPECT_FALSE(s.contains(Range { 4, 3 }));
    EXPECT_FALSE(s.contains(8));
    EXPECT_TRUE(s.intersects(Range { 6, 4 }));
    EXPECT_EQ(s.indexes(), (std::vector<Index> { 3, 4, 5, 9 }));
    EXPECT_EQ(IndexSet().firstIndex(), NotFound);
    EXPECT_EQ(IndexSet().lastIndex(), NotFound);
    EXPECT_THROW(s.add(-1), Exception);
    EXPECT_THROW(s.add(Range { NotFound - 1, 2 }), Exception);
    // Equal by content, also inside values.
    EXPECT_EQ(Value(std::make_shared<IndexSet>(s)), Value(std::make_shared<IndexSet>(IndexSet { 9, 5, 4, 3 })));
}

TEST(Log, StandardErrorLeavesOutDebugLinesUnlessAsked)
{
    ASSERT_EQ(std::getenv("BARCODES_DEBUG"), nullptr);
    testing::internal::CaptureStderr();
    fnd::logToStandardError(fnd::LogLevel::Debug, "hidden");
    fnd::logToStandardError(fnd::LogLevel::Info, "shown");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "[info] shown\n");
}
