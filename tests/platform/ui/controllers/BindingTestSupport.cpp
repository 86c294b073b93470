#include "BindingTestSupport.h"

namespace bindingtest {

FND_REGISTER_CLASS(RosterMember, fnd::Object)

void RosterMember::describeClass(fnd::ClassBuilder<RosterMember>& c)
{
    c.property("name", &RosterMember::name);
    c.property("age", &RosterMember::age);
    c.property("active", &RosterMember::active);
    c.property("partner", &RosterMember::partner);
}

std::shared_ptr<RosterMember> RosterMember::make(const fnd::String& name, int age)
{
    auto m = std::make_shared<RosterMember>();
    m->name = name;
    m->age = age;
    return m;
}

std::string names(const fnd::Array& members)
{
    std::string out;
    for (const auto& m : members) {
        if (!out.empty())
            out += ' ';
        auto member = m.objectAs<RosterMember>();
        out += member ? member->name.utf8() : m.description().utf8();
    }
    return out;
}

BindingTest::BindingTest()
{
    window = ui::Window::create({ 100, 100, 320, 240 });
    window->makeKeyAndOrderFront();
}

void BindingTest::click(ui::View& view)
{
    auto b = view.bounds();
    auto point = view.convertPointToView({ b.midX(), b.midY() }, nullptr);
    backend->mouseDown(*window, point);
    backend->mouseUp(*window, point);
    backend->dispatchEvents();
}

}
