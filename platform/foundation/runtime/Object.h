#pragma once

#include "platform/foundation/runtime/Selector.h"
#include "platform/foundation/runtime/String.h"
#include "platform/foundation/runtime/Value.h"

#include <atomic>
#include <concepts>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <type_traits>
#include <unordered_map>
#include <vector>

namespace fnd {

class Object;
class IndexSet;
struct KeyValueChange;
template <typename T> class ClassBuilder;

using ObjectFactory = std::function<std::shared_ptr<Object>()>;

namespace detail {
struct ObjectState;
struct ObjectAccess;
}

// A key the runtime reads and writes by name. A scalar property (number, boolean, geometry) cannot hold nil:
// setting nil goes to setNilValueForKey instead.
struct PropertyAccessors {
    std::function<Value(const Object&)> get;
    std::function<void(Object&, const Value&)> set; // empty for a read-only key
    bool isScalar { false };
};

// A method the runtime calls by selector. Missing arguments arrive as nil; extra ones are ignored.
using ActionInvoker = std::function<Value(Object&, std::span<const Value>)>;

// What a class declares in its describeClass: its own keys, actions, dependent keys and exposed bindings.
// Lookups walk up the superclass chain, so a subclass answers everything its superclasses declare.
struct ClassMembers {
    std::unordered_map<String, PropertyAccessors> properties;
    std::unordered_map<Selector, ActionInvoker> actions;
    std::unordered_map<String, std::vector<String>> keyPathsAffecting;
    std::vector<String> exposedBindings;
};

// How the runtime makes instances of a class; each is empty when the class cannot be made without arguments.
struct ClassFactories {
    ClassFactories() = default;
    // One function for all three (a class without initialisers of its own).
    ClassFactories(ObjectFactory make)
        : factory(make)
        , allocator(make)
        , decodingFactory(std::move(make))
    {
    }
    ClassFactories(ObjectFactory factory, ObjectFactory allocator, ObjectFactory decodingFactory)
        : factory(std::move(factory))
        , allocator(std::move(allocator))
        , decodingFactory(std::move(decodingFactory))
    {
    }

    // Constructed, then the class's default initialiser `init()`: what ClassRegistry::create gives.
    ObjectFactory factory;
    // Constructed only: the caller runs a designated initialiser next (an interface file makes a view with the
    // file's frame).
    ObjectFactory allocator;
    // What an unarchiver makes before initWithCoder: the factory, or the allocator for a class whose initWithCoder
    // runs its designated initialiser itself (it declares `static constexpr bool initWithCoderInitialises = true`).
    ObjectFactory decodingFactory;
};

// What the runtime knows of a class: its name, its superclass and how to make an instance.
struct ClassInfo {
    String name;
    const ClassInfo* superclass { nullptr };
    ObjectFactory factory;
    ObjectFactory allocator;
    ObjectFactory decodingFactory;
    ClassMembers members {};

    bool isSubclassOf(const ClassInfo& other) const;
    // Searches this class, then its superclasses.
    const PropertyAccessors* findProperty(const String& key) const;
    const ActionInvoker* findAction(Selector selector) const;
};

// Classes by name, so that stored class names (defaults, archives, interface files) can be turned into objects.
class ClassRegistry {
public:
    static ClassRegistry& shared();

    // describe fills in the members before the class is published. A name registered twice keeps the first class.
    const ClassInfo& registerClass(const String& name, const ClassInfo* superclass, ClassFactories factories,
        const std::function<void(ClassInfo&)>& describe = {});
    const ClassInfo* find(const String& name) const;
    // Constructed and initialised (ClassFactories::factory); nullptr when the name is unknown or the class cannot be
    // made without arguments.
    std::shared_ptr<Object> create(const String& name) const;
    // Constructed only, for a caller that runs a designated initialiser next.
    std::shared_ptr<Object> allocate(const String& name) const;
    // Every registered class that is `base` or derives from it, by name.
    std::vector<const ClassInfo*> classesDerivedFrom(const ClassInfo& base) const;

private:
    mutable std::mutex m_mutex;
    std::map<String, std::unique_ptr<ClassInfo>> m_classes;
};

// Options of addObserver, with the platform's bit values.
enum class KeyValueObservingOptions : unsigned {
    None = 0,
    New = 0x01,
    Old = 0x02,
    Initial = 0x04,
    Prior = 0x08,
};
constexpr KeyValueObservingOptions operator|(KeyValueObservingOptions a, KeyValueObservingOptions b)
{
    return static_cast<KeyValueObservingOptions>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}
constexpr bool operator&(KeyValueObservingOptions a, KeyValueObservingOptions b)
{
    return (static_cast<unsigned>(a) & static_cast<unsigned>(b)) != 0;
}

// The kind of a change, with the platform's values.
enum class KeyValueChangeKind { Setting = 1, Insertion = 2, Removal = 3, Replacement = 4 };

// Root of the class hierarchy. Objects normally live in shared_ptr; an object that does not (a function-local
// singleton) works everywhere too, except that nothing can keep it alive while it is being called back.
//
// A class takes part in the runtime by declaring, right after FND_OBJECT (it may stay private),
//     static void describeClass(fnd::ClassBuilder<Class>& c);
// defined in its .cpp, where it declares its keys, actions, dependent keys and bindings (see ClassBuilder.h).
// A subclass that overrides perform should add `using Object::perform;` to keep the other forms visible.
class Object : public std::enable_shared_from_this<Object> {
public:
    Object() = default;
    // Observers, bindings and identity belong to one object: a copy starts without them.
    Object(const Object&);
    Object& operator=(const Object&) { return *this; }
    virtual ~Object();

    static const ClassInfo& staticClassInfo();
    virtual const ClassInfo& classInfo() const { return staticClassInfo(); }
    const String& className() const { return classInfo().name; }
    bool isKindOf(const ClassInfo& info) const { return classInfo().isSubclassOf(info); }
    bool isKindOf(const String& className) const;
    template <typename T> bool isKindOf() const { return isKindOf(T::staticClassInfo()); }

    virtual String description() const;
    // Identity unless a class compares by value.
    virtual bool isEqual(const Object& other) const { return this == &other; }
    virtual std::size_t hash() const { return std::hash<const void*>()(this); }

    // This object as a Value. For an object outside a shared_ptr the value does not own it.
    Value selfValue() const;

    // Actions. respondsTo answers for declared actions and for the getters ("key") and setters ("setKey:") of
    // declared keys; perform calls them and raises an invalid-argument exception for a selector it does not know.
    virtual bool respondsTo(Selector selector) const;
    virtual Value perform(Selector selector, std::span<const Value> arguments);
    Value perform(Selector selector) { return perform(selector, std::span<const Value> {}); }
    template <typename... Args>
    requires(sizeof...(Args) > 0) Value perform(Selector selector, Args&&... args)
    {
        const Value values[] = { Value(std::forward<Args>(args))... };
        return perform(selector, std::span<const Value>(values));
    }

    // Key-value coding. Keys are looked up in the class's declared keys; "self" answers the object itself.
    virtual Value valueForKey(const String& key) const;
    virtual void setValueForKey(const Value& value, const String& key);
    // Virtual so that a proxy (a controller's selection) can answer a whole path per object it stands for.
    virtual Value valueForKeyPath(const String& keyPath) const;
    // Through objects in place; a dictionary or array on the way is changed as a copy and written back.
    virtual void setValueForKeyPath(const Value& value, const String& keyPath);
    // The elements of a to-many key's array at the indexes (ascending; those past its end are left out): what a
    // change of those elements reports. The default reads the whole value; a class holding the array answers from
    // it without copying the rest.
    virtual Array valuesForKeyAtIndexes(const String& key, const IndexSet& indexes) const;
    // Defaults hand over to the process-wide handler (KeyValueCoding), which raises NSUnknownKeyException.
    virtual Value valueForUndefinedKey(const String& key) const;
    virtual void setValueForUndefinedKey(const Value& value, const String& key);
    // Raises NSInvalidArgumentException.
    virtual void setNilValueForKey(const String& key);

    // Key-value observing. Observers are not kept alive; one that is gone is skipped. The same observer may be
    // added several times (with different contexts); removal takes the most recent match and raises a range
    // exception when there is none.
    void addObserver(Object& observer, const String& keyPath,
        KeyValueObservingOptions options = KeyValueObservingOptions::None, const void* context = nullptr);
    void removeObserver(Object& observer, const String& keyPath);
    void removeObserver(Object& observer, const String& keyPath, const void* context);
    // Removes, for each key path, the most recent observation the observer made of it with the context, in one pass
    // over this object's observations; a key path it does not observe so is passed over. Answers how many went.
    std::size_t removeObserverForKeyPaths(Object& observer, const std::vector<String>& keyPaths, const void* context);
    // Raises an internal-inconsistency exception: a class that observes must handle its own changes.
    virtual void observeValueForKeyPath(
        const String& keyPath, Object& object, const KeyValueChange& change, const void* context);
    // Change hooks; setting a key through KVC calls them around the setter. Nested pairs for the same key send one
    // notification, so a setter may call them too.
    void willChangeValueForKey(const String& key);
    void didChangeValueForKey(const String& key);
    void willChange(KeyValueChangeKind kind, const IndexSet& indexes, const String& key);
    void didChange(KeyValueChangeKind kind, const IndexSet& indexes, const String& key);
    // Declared through ClassBuilder::keyPathsAffecting (this class and its superclasses).
    virtual std::vector<String> keyPathsForValuesAffectingValueForKey(const String& key) const;

    // Bindings: the bound key follows observable's key path (through the transformer of the options). The
    // binding does not keep the observed object alive.
    virtual void bind(const String& binding, Object& observable, const String& keyPath, const Dictionary& options = {});
    virtual void unbind(const String& binding);
    // NSObservedObject, NSObservedKeyPath and NSOptions; nullopt when the binding is not bound.
    virtual std::optional<Dictionary> infoForBinding(const String& binding) const;
    std::vector<String> exposedBindings() const;

protected:
    // Shows a new value of a bound key path in the binding: the value comes transformed (a selection marker
    // untransformed), with the binding's options. The default puts the options' placeholder in place of a marker
    // or null and sets the key named like the binding through key-value coding; controls show markers their own way.
    virtual void takeBoundValue(const Value& value, const String& binding, const Dictionary& options);
    // False while nothing has observed, bound or weakly referred to the object: a change then has no one to tell.
    bool mayHaveObservers() const { return existingState() != nullptr; }

private:
    friend struct detail::ObjectAccess;
    friend class WeakObjectRef;

    void removeObserverMatching(Object& observer, const String& keyPath, const void* context, bool matchContext);

    // Made on first need; existingState is nullptr before that (and while the object is destroyed).
    detail::ObjectState& state() const;
    detail::ObjectState* existingState() const { return m_state.load(std::memory_order_acquire); }
    std::weak_ptr<void> lifetimeToken() const;

    mutable std::atomic<detail::ObjectState*> m_state { nullptr };
};

// A reference that does not keep its object alive and knows when it is gone, whether the object lives in a
// shared_ptr or not.
class WeakObjectRef {
public:
    WeakObjectRef() = default;
    explicit WeakObjectRef(const Object& object);

    // Holds a shared_ptr-owned object alive while in scope.
    struct Locked {
        std::shared_ptr<Object> strong;
        Object* object { nullptr };
        Object* operator->() const { return object; }
        Object& operator*() const { return *object; }
        explicit operator bool() const { return object != nullptr; }
    };
    Locked lock() const;
    // Without taking a reference (which could end up being the last one).
    bool isGone() const { return m_isShared ? m_shared.expired() : m_lifetime.expired(); }
    const Object* identity() const { return m_identity; }

private:
    std::weak_ptr<Object> m_shared;
    std::weak_ptr<void> m_lifetime; // for objects outside a shared_ptr
    Object* m_identity { nullptr };
    bool m_isShared { false };
};

// Makes an object as the class registry does: constructed, then its designated initializer `init()` when the
// class has one. Initialisers that call overridable hooks cannot run in a constructor (a C++ constructor dispatches
// to its own class), so such classes do that work in init().
template <typename T, typename... Args> std::shared_ptr<T> makeObject(Args&&... args)
{
    auto object = std::make_shared<T>(std::forward<Args>(args)...);
    if constexpr (requires(T & t) { t.init(); })
        object->init();
    return object;
}

namespace detail {

template <typename T> ClassFactories factoriesFor()
{
    if constexpr (std::is_default_constructible_v<T> && !std::is_abstract_v<T>) {
        // A class whose objects made by name start out unlike one constructed in code (a view that refuses its
        // plain initialiser to code) constructs them with a static allocateByName(); its objects made whole by name
        // are that, then init().
        ObjectFactory allocator = [] {
            if constexpr (requires {
                              {
                                  T::allocateByName()
                                  } -> std::same_as<std::shared_ptr<T>>;
                          })
                return std::static_pointer_cast<Object>(T::allocateByName());
            else
                return std::static_pointer_cast<Object>(std::make_shared<T>());
        };
        // A class whose designated initialiser takes arguments says how it is made by name (interface files,
        // copies by class): a static createByName() answering a new, initialised object of exactly that class.
        ObjectFactory factory = [] {
            if constexpr (requires {
                              {
                                  T::createByName()
                                  } -> std::same_as<std::shared_ptr<T>>;
                          })
                return std::static_pointer_cast<Object>(T::createByName());
            else if constexpr (
                requires {
                    {
                        T::allocateByName()
                        } -> std::same_as<std::shared_ptr<T>>;
                }
                && requires(T & t) { t.init(); }) {
                auto object = T::allocateByName();
                object->init();
                return std::static_pointer_cast<Object>(object);
            } else
                return std::static_pointer_cast<Object>(makeObject<T>());
        };
        bool initialisesInCoder = false;
        if constexpr (requires { T::initWithCoderInitialises; })
            initialisesInCoder = T::initWithCoderInitialises;
        return ClassFactories(factory, allocator, initialisesInCoder ? allocator : factory);
    } else {
        return {};
    }
}

}

}

#include "platform/foundation/runtime/ClassBuilder.h"

// Declares the runtime class of a class deriving from fnd::Object. Put it first in the class body.
#define FND_OBJECT(Class)                                                                                              \
public:                                                                                                                \
    static const ::fnd::ClassInfo& staticClassInfo();                                                                  \
    const ::fnd::ClassInfo& classInfo() const override                                                                 \
    {                                                                                                                  \
        return staticClassInfo();                                                                                      \
    }                                                                                                                  \
                                                                                                                       \
private:

// Defines and registers the runtime class, in the class's .cpp. Registration happens when the library loads; the
// class's own describeClass, when it declares one, runs first.
#define FND_REGISTER_CLASS(Class, Superclass)                                                                          \
    const ::fnd::ClassInfo& Class::staticClassInfo()                                                                   \
    {                                                                                                                  \
        static const ::fnd::ClassInfo& info = ::fnd::ClassRegistry::shared().registerClass(#Class,                     \
            &Superclass::staticClassInfo(), ::fnd::detail::factoriesFor<Class>(), [](::fnd::ClassInfo& classInfo) {    \
                ::fnd::ClassBuilder<Class> builder(classInfo);                                                         \
                []<typename C>(C*, ::fnd::ClassBuilder<C>& b) {                                                        \
                    if constexpr (requires { C::describeClass(b); })                                                   \
                        C::describeClass(b);                                                                           \
                }(static_cast<Class*>(nullptr), builder);                                                              \
            });                                                                                                        \
        return info;                                                                                                   \
    }                                                                                                                  \
    [[maybe_unused]] static const bool Class##_isRegistered = (Class::staticClassInfo(), true);
