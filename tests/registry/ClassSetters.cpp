#include "registry/ClassSetters.h"

#include "registry/TabledSetters.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/ui/views/View.h"

#include <map>
#include <set>

namespace registrytest {

namespace {

constexpr gfx::Rect ClassSettersFrame { 20, 20, 240, 160 };

std::shared_ptr<fnd::Object> classSettersCreate(const fnd::String& name)
{
    try {
        return fnd::ClassRegistry::shared().create(name);
    } catch (const fnd::Exception&) {
        // A class made only by a designated initialiser with arguments says so when made by name.
        return nullptr;
    }
}

// A view inside a parent inside an ancestor, and a view of its class in a tree of its own.
Subject classSettersViewSubject(const fnd::ClassInfo& cls, std::shared_ptr<ui::View> view)
{
    auto ancestor = ui::View::create({ 0, 0, 400, 300 });
    auto parent = ui::View::create({ 10, 10, 300, 200 });
    ancestor->addSubview(parent);
    parent->addSubview(view);
    auto elsewhere = std::dynamic_pointer_cast<ui::View>(madeByName(cls));
    auto holder = ui::View::create({ 0, 0, 400, 300 });
    if (elsewhere)
        holder->addSubview(elsewhere);
    return { view, { view, parent, ancestor, elsewhere }, { holder } };
}

}

std::shared_ptr<fnd::Object> madeByName(const fnd::ClassInfo& cls)
{
    if (cls.isSubclassOf(ui::View::staticClassInfo())) {
        if (!cls.allocator)
            return nullptr;
        auto view = std::dynamic_pointer_cast<ui::View>(cls.allocator());
        if (view)
            view->initWithFrame(ClassSettersFrame);
        return view;
    }
    return classSettersCreate(cls.name);
}

Subject subjectMadeByName(const fnd::ClassInfo& cls)
{
    auto object = madeByName(cls);
    if (!object)
        return {};
    if (auto view = std::dynamic_pointer_cast<ui::View>(object))
        return classSettersViewSubject(cls, view);
    if (auto tree = treeSubject(cls, object))
        return *tree;
    return { object, { object, nullptr, nullptr, madeByName(cls) }, {} };
}

std::vector<Setter> settersOf(const fnd::ClassInfo& cls)
{
    std::vector<Setter> setters;
    std::set<fnd::String> seen;
    for (const auto* c = &cls; c; c = c->superclass) {
        for (const auto& [key, accessors] : c->members.properties) {
            // A subclass's declaration of a key stands for its superclasses'.
            if (!accessors.set || !seen.insert(key).second)
                continue;
            setters.push_back({ key.utf8(), std::nullopt, accessors.get, accessors.set });
        }
    }
    for (const auto* c = &cls; c; c = c->superclass)
        for (auto& setter : tabledSettersOf(c->name.utf8()))
            setters.push_back(std::move(setter));
    return setters;
}

}
