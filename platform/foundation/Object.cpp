#include "platform/foundation/Object.h"

#include <fmt/format.h>

namespace fnd {

bool ClassInfo::isSubclassOf(const ClassInfo& other) const
{
    for (auto* c = this; c; c = c->superclass) {
        if (c == &other)
            return true;
    }
    return false;
}

ClassRegistry& ClassRegistry::shared()
{
    static ClassRegistry registry;
    return registry;
}

const ClassInfo& ClassRegistry::registerClass(const String& name, const ClassInfo* superclass, ObjectFactory factory)
{
    std::lock_guard lock(m_mutex);
    auto& slot = m_classes[name];
    if (!slot)
        slot = std::make_unique<ClassInfo>(ClassInfo { name, superclass, std::move(factory) });
    return *slot;
}

const ClassInfo* ClassRegistry::find(const String& name) const
{
    std::lock_guard lock(m_mutex);
    auto it = m_classes.find(name);
    return it == m_classes.end() ? nullptr : it->second.get();
}

std::shared_ptr<Object> ClassRegistry::create(const String& name) const
{
    auto* info = find(name);
    if (!info || !info->factory)
        return nullptr;
    return info->factory();
}

const ClassInfo& Object::staticClassInfo()
{
    static const ClassInfo& info = ClassRegistry::shared().registerClass("NSObject", nullptr, [] {
        return std::make_shared<Object>();
    });
    return info;
}

[[maybe_unused]] static const bool Object_isRegistered = (Object::staticClassInfo(), true);

bool Object::isKindOf(const String& name) const
{
    for (auto* c = &classInfo(); c; c = c->superclass) {
        if (c->name == name)
            return true;
    }
    return false;
}

String Object::description() const
{
    return String(fmt::format("<{}: {}>", className().utf8(), static_cast<const void*>(this)));
}

}
