#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/foundation/runtime/ValueTraits.h"

#include <initializer_list>
#include <tuple>
#include <utility>

namespace fnd {

namespace detail {

template <typename F> struct MethodTraits;

template <typename R, typename C, typename... A> struct MethodTraits<R (C::*)(A...)> {
    using Result = R;
    using Arguments = std::tuple<A...>;
};

template <typename R, typename C, typename... A>
struct MethodTraits<R (C::*)(A...) const> : MethodTraits<R (C::*)(A...)> {
};

template <typename R, typename C, typename... A>
struct MethodTraits<R (C::*)(A...) noexcept> : MethodTraits<R (C::*)(A...)> {
};

template <typename R, typename C, typename... A>
struct MethodTraits<R (C::*)(A...) const noexcept> : MethodTraits<R (C::*)(A...)> {
};

template <typename T, typename Method, std::size_t... I>
Value invokeMethod(T& self, Method method, std::span<const Value> args, std::index_sequence<I...>)
{
    using Traits = MethodTraits<Method>;
    auto argument = [&](std::size_t i) -> const Value& {
        static const Value nil;
        return i < args.size() ? args[i] : nil;
    };
    if constexpr (std::is_void_v<typename Traits::Result>) {
        (self.*method)(fromValue<std::tuple_element_t<I, typename Traits::Arguments>>(argument(I))...);
        return {};
    } else {
        return toValue((self.*method)(fromValue<std::tuple_element_t<I, typename Traits::Arguments>>(argument(I))...));
    }
}

}

// Declares what a class offers to the runtime, inside its static describeClass:
//
//     void Label::describeClass(fnd::ClassBuilder<Label>& c)
//     {
//         c.property("text", &Label::text, &Label::setText);      // getter and setter member functions
//         c.property("lineCount", &Label::lineCount);             // read-only
//         c.property("isEdited", &Label::m_isEdited);             // a data member, read and written directly
//         c.action("takeStringValueFrom:", &Label::takeStringValueFrom);
//         c.keyPathsAffecting("summary", { "text", "font.pointSize" });
//         c.exposeBinding("value");
//     }
//
// Getters and setters may also be callables taking (const Label&) and (Label&, T). Types travel through Value as
// ValueTraits describes.
template <typename T> class ClassBuilder {
public:
    explicit ClassBuilder(ClassInfo& info)
        : m_members(info.members)
    {
    }

    template <typename Getter, typename Setter> ClassBuilder& property(const String& key, Getter getter, Setter setter)
    {
        PropertyAccessors accessors;
        accessors.get = makeGetter(getter);
        using ValueType = std::remove_cvref_t<decltype(getValue(getter, std::declval<const T&>()))>;
        accessors.isScalar = ValueTraits<ValueType>::isScalar;
        accessors.set = makeSetter<ValueType>(setter);
        m_members.properties[key] = std::move(accessors);
        return *this;
    }

    // A read-only key, or with a data member pointer a key read and written directly.
    template <typename Getter> ClassBuilder& property(const String& key, Getter getter)
    {
        if constexpr (std::is_member_object_pointer_v<Getter>)
            return property(key, getter, getter);
        else {
            PropertyAccessors accessors;
            accessors.get = makeGetter(getter);
            using ValueType = std::remove_cvref_t<decltype(getValue(getter, std::declval<const T&>()))>;
            accessors.isScalar = ValueTraits<ValueType>::isScalar;
            m_members.properties[key] = std::move(accessors);
            return *this;
        }
    }

    // A member function called by selector; its arguments and result travel through Value.
    template <typename Method>
    requires std::is_member_function_pointer_v<Method> ClassBuilder& action(Selector selector, Method method)
    {
        constexpr auto arity = std::tuple_size_v<typename detail::MethodTraits<Method>::Arguments>;
        m_members.actions[selector] = [method](Object& self, std::span<const Value> args) {
            return detail::invokeMethod(static_cast<T&>(self), method, args, std::make_index_sequence<arity> {});
        };
        return *this;
    }

    // The key paths whose changes also change key (what keyPathsForValuesAffectingValueForKey answers).
    ClassBuilder& keyPathsAffecting(const String& key, std::initializer_list<String> keyPaths)
    {
        auto& paths = m_members.keyPathsAffecting[key];
        paths.insert(paths.end(), keyPaths.begin(), keyPaths.end());
        return *this;
    }

    ClassBuilder& exposeBinding(const String& binding)
    {
        m_members.exposedBindings.push_back(binding);
        return *this;
    }

private:
    template <typename Getter> static decltype(auto) getValue(Getter getter, const T& self)
    {
        if constexpr (std::is_member_pointer_v<Getter>)
            return std::invoke(getter, self);
        else
            return getter(self);
    }

    template <typename Getter> static std::function<Value(const Object&)> makeGetter(Getter getter)
    {
        return [getter](const Object& self) { return toValue(getValue(getter, static_cast<const T&>(self))); };
    }

    template <typename ValueType, typename Setter>
    static std::function<void(Object&, const Value&)> makeSetter(Setter setter)
    {
        return [setter](Object& self, const Value& v) {
            auto& object = static_cast<T&>(self);
            if constexpr (std::is_member_object_pointer_v<Setter>)
                object.*setter = fromValue<ValueType>(v);
            else
                std::invoke(setter, object, fromValue<ValueType>(v));
        };
    }

    ClassMembers& m_members;
};

}
