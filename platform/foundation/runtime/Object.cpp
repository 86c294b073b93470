#include "platform/foundation/runtime/Object.h"

#include "platform/foundation/detail/ObjectState.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Log.h"

#include <fmt/format.h>

#include <charconv>
#include <cstdint>

namespace fnd {

bool ClassInfo::isSubclassOf(const ClassInfo& other) const
{
    for (auto* c = this; c; c = c->superclass) {
        if (c == &other)
            return true;
    }
    return false;
}

const PropertyAccessors* ClassInfo::findProperty(const String& key) const
{
    for (auto* c = this; c; c = c->superclass) {
        if (auto it = c->members.properties.find(key); it != c->members.properties.end())
            return &it->second;
    }
    return nullptr;
}

const ActionInvoker* ClassInfo::findAction(Selector selector) const
{
    for (auto* c = this; c; c = c->superclass) {
        if (auto it = c->members.actions.find(selector); it != c->members.actions.end())
            return &it->second;
    }
    return nullptr;
}

ClassRegistry& ClassRegistry::shared()
{
    // Never destroyed: objects a program keeps alive past main still reach it while they are destroyed.
    static auto& registry = *new ClassRegistry;
    return registry;
}

const ClassInfo& ClassRegistry::registerClass(const String& name, const ClassInfo* superclass, ClassFactories factories,
    const std::function<void(ClassInfo&)>& describe)
{
    {
        std::lock_guard lock(m_mutex);
        if (auto it = m_classes.find(name); it != m_classes.end()) {
            // Each class registers once; a second registration is another class under a taken name, whose
            // objects would silently get the first class's keys and actions.
            log(LogLevel::Error,
                String("Two classes are registered under the name \"" + name.utf8()
                    + "\"; the later one is not created by name."));
            return *it->second;
        }
    }
    // Described outside the lock: a description may touch other classes.
    auto info = std::make_unique<ClassInfo>(ClassInfo { name, superclass, std::move(factories.factory),
        std::move(factories.allocator), std::move(factories.decodingFactory), {} });
    if (describe)
        describe(*info);
    std::lock_guard lock(m_mutex);
    auto& slot = m_classes[name];
    if (!slot)
        slot = std::move(info);
    return *slot;
}

const ClassInfo* ClassRegistry::find(const String& name) const
{
    std::lock_guard lock(m_mutex);
    auto it = m_classes.find(name);
    return it == m_classes.end() ? nullptr : it->second.get();
}

std::vector<const ClassInfo*> ClassRegistry::classesDerivedFrom(const ClassInfo& base) const
{
    std::lock_guard lock(m_mutex);
    std::vector<const ClassInfo*> found;
    for (auto& [name, info] : m_classes) {
        if (info->isSubclassOf(base))
            found.push_back(info.get());
    }
    return found;
}

std::shared_ptr<Object> ClassRegistry::create(const String& name) const
{
    auto* info = find(name);
    if (!info || !info->factory)
        return nullptr;
    return info->factory();
}

std::shared_ptr<Object> ClassRegistry::allocate(const String& name) const
{
    auto* info = find(name);
    if (!info || !info->allocator)
        return nullptr;
    return info->allocator();
}

const ClassInfo& Object::staticClassInfo()
{
    static const ClassInfo& info = ClassRegistry::shared().registerClass(
        "NSObject", nullptr, ClassFactories(ObjectFactory([] { return std::make_shared<Object>(); })));
    return info;
}

[[maybe_unused]] static const bool Object_isRegistered = (Object::staticClassInfo(), true);

Object::Object(const Object&)
    : std::enable_shared_from_this<Object>()
{
}

Object::~Object()
{
    std::unique_ptr<detail::ObjectState> state(m_state.exchange(nullptr));
    if (!state)
        return;
    // Weak references must see this object as gone before its observations come apart.
    {
        std::lock_guard lock(state->mutex);
        state->lifetime.reset();
    }
    std::vector<std::shared_ptr<detail::ObservationRegistration>> registrations;
    std::map<String, std::shared_ptr<detail::BindingRecord>> bindings;
    std::map<const void*, Value> associations;
    {
        std::lock_guard lock(state->mutex);
        registrations.swap(state->registrations);
        bindings.swap(state->bindings);
        associations.swap(state->associations);
    }
}

detail::ObjectState& Object::state() const
{
    if (auto* s = m_state.load(std::memory_order_acquire))
        return *s;
    auto fresh = std::make_unique<detail::ObjectState>();
    detail::ObjectState* expected = nullptr;
    if (m_state.compare_exchange_strong(expected, fresh.get(), std::memory_order_acq_rel))
        return *fresh.release();
    return *expected;
}

std::weak_ptr<void> Object::lifetimeToken() const
{
    auto& s = state();
    std::lock_guard lock(s.mutex);
    if (!s.lifetime)
        s.lifetime = std::make_shared<int>(0);
    return s.lifetime;
}

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
    // Straight into UTF-16: lists of elements describe every member this way.
    char address[2 * sizeof(std::uintptr_t)];
    auto end = std::to_chars(address, address + sizeof address, reinterpret_cast<std::uintptr_t>(this), 16).ptr;
    const auto& name = className().units();
    std::u16string out;
    out.reserve(name.size() + std::size_t(end - address) + 6);
    out += u'<';
    out += name;
    out += u": 0x";
    out.append(address, end);
    out += u'>';
    return String(std::move(out));
}

Value Object::selfValue() const
{
    if (auto owned = weak_from_this().lock())
        return Value(std::const_pointer_cast<Object>(owned));
    // An alias without ownership: valid while the object lives.
    return Value(std::shared_ptr<Object>(std::shared_ptr<void>(), const_cast<Object*>(this)));
}

namespace {

// The key a setter selector ("setTitle:") writes, if the class declares it with a setter.
const PropertyAccessors* setterProperty(const ClassInfo& info, const String& name, String& key)
{
    const auto& units = name.units();
    if (units.size() < 5 || !units.starts_with(u"set") || units.back() != u':' || units.find(u':') != units.size() - 1)
        return nullptr;
    String stem(std::u16string(units.substr(3, units.size() - 4)));
    String lowered = stem;
    if (char16_t c = stem.characterAt(0); c >= u'A' && c <= u'Z')
        lowered.replaceCharacters({ 0, 1 }, String(std::u16string(1, static_cast<char16_t>(c - u'A' + u'a'))));
    for (const String& candidate : { lowered, stem }) {
        if (auto* p = info.findProperty(candidate); p && p->set) {
            key = candidate;
            return p;
        }
    }
    return nullptr;
}

}

bool Object::respondsTo(Selector selector) const
{
    if (!selector)
        return false;
    const auto& info = classInfo();
    if (info.findAction(selector) || info.findProperty(selector.name()))
        return true;
    String key;
    return setterProperty(info, selector.name(), key) != nullptr;
}

Value Object::perform(Selector selector, std::span<const Value> arguments)
{
    const auto& info = classInfo();
    if (auto* action = info.findAction(selector))
        return (*action)(*this, arguments);
    if (selector && info.findProperty(selector.name()))
        return valueForKey(selector.name());
    String key;
    if (selector && setterProperty(info, selector.name(), key)) {
        setValueForKey(arguments.empty() ? Value() : arguments.front(), key);
        return {};
    }
    throw Exception::invalidArgument(String(fmt::format("-[{} {}]: unrecognized selector sent to instance {}",
        className().utf8(), selector.name().utf8(), static_cast<const void*>(this))));
}

std::vector<String> Object::exposedBindings() const
{
    std::vector<String> bindings;
    for (auto* c = &classInfo(); c; c = c->superclass)
        bindings.insert(bindings.end(), c->members.exposedBindings.begin(), c->members.exposedBindings.end());
    return bindings;
}

WeakObjectRef::WeakObjectRef(const Object& object)
    : m_identity(const_cast<Object*>(&object))
{
    // Owned by a shared_ptr when its weak reference has not expired: taking only that reference costs one count
    // rather than three (observing thousands of objects makes several of these for each).
    if (auto owned = const_cast<Object&>(object).weak_from_this(); !owned.expired()) {
        m_shared = std::move(owned);
        m_isShared = true;
    } else {
        m_lifetime = object.lifetimeToken();
    }
}

WeakObjectRef::Locked WeakObjectRef::lock() const
{
    Locked locked;
    if (!m_isShared) {
        if (!m_lifetime.expired())
            locked.object = m_identity;
        return locked;
    }
    locked.strong = m_shared.lock();
    locked.object = locked.strong.get();
    return locked;
}

}
