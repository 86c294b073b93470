#include "RuntimeModel.h"

#include <fmt/format.h>

namespace rtmodel {

FND_REGISTER_CLASS(TestAddress, Object)
FND_REGISTER_CLASS(TestPerson, Object)
FND_REGISTER_CLASS(TestEmployee, TestPerson)
FND_REGISTER_CLASS(Recorder, Object)
FND_REGISTER_CLASS(TestView, Object)

void TestAddress::describeClass(ClassBuilder<TestAddress>& c)
{
    c.property("city", &TestAddress::city);
}

void TestPerson::describeClass(ClassBuilder<TestPerson>& c)
{
    c.property("name", &TestPerson::name, &TestPerson::setName)
        .property("summary", &TestPerson::summary)
        .property("age", &TestPerson::age)
        .property("height", &TestPerson::height)
        .property("isActive", &TestPerson::isActive)
        .property("address", &TestPerson::address)
        .property("settings", &TestPerson::settings)
        .property("items", &TestPerson::items)
        .property("manager", &TestPerson::manager)
        .property("homes", &TestPerson::homes)
        .property("rank", &TestPerson::rank)
        .property("selection", &TestPerson::selection)
        .property("frame", &TestPerson::frame)
        .property("mood", &TestPerson::mood)
        .property(
            "shout", [](const TestPerson& p) { return p.name() + String("!"); },
            [](TestPerson& p, const String& s) {
                p.setName(s.substring({ 0, s.length() - 1 }));
            })
        .action("greet:", &TestPerson::greet)
        .action("addYears:", &TestPerson::addYears)
        .keyPathsAffecting("summary", { "name", "age" });
}

void TestPerson::setName(const String& name)
{
    willChangeValueForKey("name");
    m_name = name;
    didChangeValueForKey("name");
}

String TestPerson::summary() const
{
    ++summaryReads;
    return m_name + String(fmt::format(" ({})", age));
}

void TestEmployee::describeClass(ClassBuilder<TestEmployee>& c)
{
    c.property("salary", &TestEmployee::salary).action("pay:", &TestEmployee::pay);
}

void TestEmployee::setNilValueForKey(const String& key)
{
    // nil salary is ignored; other keys keep the default behaviour.
    if (key != String("salary"))
        TestPerson::setNilValueForKey(key);
}

void Recorder::describeClass(ClassBuilder<Recorder>& c)
{
    c.action("noticed:", &Recorder::noticed);
}

void TestView::describeClass(ClassBuilder<TestView>& c)
{
    c.property("title", &TestView::title).property("hidden", &TestView::hidden).exposeBinding("title");
}

}
