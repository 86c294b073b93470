#pragma once

// Small model classes shared by the runtime, observing and binding tests.

#include "platform/foundation/runtime/IndexSet.h"
#include "platform/foundation/runtime/KeyValueObserving.h"
#include "platform/foundation/runtime/Object.h"

#include <vector>

namespace rtmodel {

using namespace fnd;

class TestAddress : public Object {
    FND_OBJECT(TestAddress)
    static void describeClass(ClassBuilder<TestAddress>& c);

public:
    static std::shared_ptr<TestAddress> make(const String& city)
    {
        auto a = std::make_shared<TestAddress>();
        a->city = city;
        return a;
    }
    String city;
};

class TestPerson : public Object {
    FND_OBJECT(TestPerson)
    static void describeClass(ClassBuilder<TestPerson>& c);

public:
    static std::shared_ptr<TestPerson> make(const String& name, int age = 0, const String& city = {})
    {
        auto p = std::make_shared<TestPerson>();
        p->setName(name);
        p->age = age;
        if (!city.isEmpty())
            p->address = TestAddress::make(city);
        return p;
    }
    const String& name() const { return m_name; }
    // Notifies by itself, so a direct call is observed too.
    void setName(const String& name);
    String summary() const;

    void greet(const Value& sender) { greetedBy.push_back(sender); }
    int addYears(int years) { return age += years; }

    int age { 0 };
    double height { 0 };
    bool isActive { false };
    std::shared_ptr<TestAddress> address;
    // How often "summary" was worked out, for what observing it costs.
    mutable int summaryReads { 0 };
    Dictionary settings;
    Array items;
    std::vector<Value> greetedBy;
    // Keys of other shapes.
    std::weak_ptr<TestPerson> manager;
    std::vector<std::shared_ptr<TestAddress>> homes;
    std::optional<int> rank;
    IndexSet selection;
    gfx::Rect frame;
    enum class Mood { Calm = 1, Cross = 2 } mood { Mood::Calm };

private:
    String m_name;
};

// Adds its own keys and actions to the ones it inherits.
class TestEmployee : public TestPerson {
    FND_OBJECT(TestEmployee)
    static void describeClass(ClassBuilder<TestEmployee>& c);

public:
    void pay(double amount) { salary += amount; }
    void setNilValueForKey(const String& key) override;

    double salary { 0 };
};

// Records every change it is told about.
class Recorder : public Object {
    FND_OBJECT(Recorder)
    static void describeClass(ClassBuilder<Recorder>& c);

public:
    struct Seen {
        String keyPath;
        KeyValueChange change;
        const void* context;
    };
    void observeValueForKeyPath(
        const String& keyPath, Object&, const KeyValueChange& change, const void* context) override
    {
        seen.push_back({ keyPath, change, context });
        if (onChange)
            onChange(seen.back());
    }
    void noticed(const Value& notification) { notifications.push_back(notification); }

    std::vector<Seen> seen;
    std::vector<Value> notifications;
    std::function<void(const Seen&)> onChange;
};

// A view-like object with keys to bind.
class TestView : public Object {
    FND_OBJECT(TestView)
    static void describeClass(ClassBuilder<TestView>& c);

public:
    Value title;
    bool hidden { false };
};

}
