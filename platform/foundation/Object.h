#pragma once

#include "platform/foundation/String.h"

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <type_traits>

namespace fnd {

class Object;

using ObjectFactory = std::function<std::shared_ptr<Object>()>;

// What the runtime knows of a class: its name, its superclass and how to make an instance (empty when the class
// cannot be made without arguments).
struct ClassInfo {
    String name;
    const ClassInfo* superclass { nullptr };
    ObjectFactory factory;

    bool isSubclassOf(const ClassInfo& other) const;
};

// Classes by name, so that stored class names (defaults, archives, interface files) can be turned into objects.
class ClassRegistry {
public:
    static ClassRegistry& shared();

    const ClassInfo& registerClass(const String& name, const ClassInfo* superclass, ObjectFactory factory);
    const ClassInfo* find(const String& name) const;
    // nullptr when the name is unknown or the class has no factory.
    std::shared_ptr<Object> create(const String& name) const;

private:
    mutable std::mutex m_mutex;
    std::map<String, std::unique_ptr<ClassInfo>> m_classes;
};

// Root of the spec's class hierarchy. Objects live in shared_ptr; an object may hand out shared_from_this().
class Object : public std::enable_shared_from_this<Object> {
public:
    virtual ~Object() = default;

    static const ClassInfo& staticClassInfo();
    virtual const ClassInfo& classInfo() const { return staticClassInfo(); }
    const String& className() const { return classInfo().name; }
    bool isKindOf(const ClassInfo& info) const { return classInfo().isSubclassOf(info); }
    bool isKindOf(const String& className) const;
    template<typename T>
    bool isKindOf() const
    {
        return isKindOf(T::staticClassInfo());
    }

    virtual String description() const;
    // Identity unless a class compares by value.
    virtual bool isEqual(const Object& other) const { return this == &other; }
    virtual std::size_t hash() const { return std::hash<const void*>()(this); }
};

namespace detail {

template<typename T>
ObjectFactory factoryFor()
{
    if constexpr (std::is_default_constructible_v<T> && !std::is_abstract_v<T>)
        return [] { return std::static_pointer_cast<Object>(std::make_shared<T>()); };
    else
        return {};
}

}

}

// Declares the runtime class of a class deriving from fnd::Object. Put it first in the class body.
#define FND_OBJECT(Class)                                                                                            \
public:                                                                                                              \
    static const ::fnd::ClassInfo& staticClassInfo();                                                                \
    const ::fnd::ClassInfo& classInfo() const override { return staticClassInfo(); }                                 \
                                                                                                                     \
private:

// Defines and registers the runtime class, in the class's .cpp. Registration happens when the library loads.
#define FND_REGISTER_CLASS(Class, Superclass)                                                                        \
    const ::fnd::ClassInfo& Class::staticClassInfo()                                                                 \
    {                                                                                                                \
        static const ::fnd::ClassInfo& info = ::fnd::ClassRegistry::shared().registerClass(                          \
            #Class, &Superclass::staticClassInfo(), ::fnd::detail::factoryFor<Class>());                             \
        return info;                                                                                                 \
    }                                                                                                                \
    [[maybe_unused]] static const bool Class##_isRegistered = (Class::staticClassInfo(), true);
