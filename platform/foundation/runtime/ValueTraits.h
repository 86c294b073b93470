#pragma once

#include "platform/foundation/runtime/Value.h"

#include <concepts>
#include <memory>
#include <optional>
#include <type_traits>
#include <vector>

namespace fnd {

class Object;

// How a C++ type travels through a Value, for declared keys and action arguments. isScalar marks the types that
// cannot hold nil (setting nil for such a key calls setNilValueForKey).
template <typename T> struct ValueTraits;

template <> struct ValueTraits<Value> {
    static constexpr bool isScalar = false;
    static Value toValue(const Value& v) { return v; }
    static Value fromValue(const Value& v) { return v; }
};

template <> struct ValueTraits<bool> {
    static constexpr bool isScalar = true;
    static Value toValue(bool b) { return Value(b); }
    static bool fromValue(const Value& v) { return v.boolValue(); }
};

template <typename T>
requires(std::is_integral_v<T> && !std::is_same_v<T, bool>) struct ValueTraits<T> {
    static constexpr bool isScalar = true;
    static Value toValue(T n)
    {
        if constexpr (std::is_signed_v<T>)
            return Value(static_cast<long long>(n));
        else
            return Value(static_cast<unsigned long long>(n));
    }
    static T fromValue(const Value& v)
    {
        if constexpr (std::is_unsigned_v<T>) {
            if (auto* n = v.number())
                return static_cast<T>(n->unsignedValue());
        }
        return static_cast<T>(v.integerValue());
    }
};

template <typename T>
requires std::is_floating_point_v<T>
struct ValueTraits<T> {
    static constexpr bool isScalar = true;
    static Value toValue(T d) { return Value(d); }
    static T fromValue(const Value& v) { return static_cast<T>(v.doubleValue()); }
};

template <typename T>
requires std::is_enum_v<T>
struct ValueTraits<T> {
    using Underlying = std::underlying_type_t<T>;
    static constexpr bool isScalar = true;
    static Value toValue(T e) { return ValueTraits<Underlying>::toValue(static_cast<Underlying>(e)); }
    static T fromValue(const Value& v) { return static_cast<T>(ValueTraits<Underlying>::fromValue(v)); }
};

template <> struct ValueTraits<String> {
    static constexpr bool isScalar = false;
    static Value toValue(const String& s) { return Value(s); }
    // nil gives the empty string, a number its decimal form.
    static String fromValue(const Value& v) { return v.stringValue(); }
};

// Structures held directly by a Value: a Range, Point, Size or Rect.
template <typename T>
requires(
    std::is_same_v<T,
        Range> || std::is_same_v<T, gfx::Point> || std::is_same_v<T, gfx::Size> || std::is_same_v<T, gfx::Rect>) struct
    ValueTraits<T> {
    static constexpr bool isScalar = true;
    static Value toValue(const T& t) { return Value(t); }
    static T fromValue(const Value& v)
    {
        std::optional<T> t;
        if constexpr (std::is_same_v<T, Range>)
            t = v.range();
        else if constexpr (std::is_same_v<T, gfx::Point>)
            t = v.point();
        else if constexpr (std::is_same_v<T, gfx::Size>)
            t = v.size();
        else
            t = v.rect();
        return t.value_or(T {});
    }
};

// Property-list types held directly: another type of value gives an empty one.
template <typename T>
requires(
    std::is_same_v<T,
        Data> || std::is_same_v<T, Date> || std::is_same_v<T, Array> || std::is_same_v<T, Dictionary> || std::is_same_v<T, Number>) struct
    ValueTraits<T> {
    static constexpr bool isScalar = std::is_same_v<T, Number> || std::is_same_v<T, Date>;
    static Value toValue(const T& t) { return Value(t); }
    static T fromValue(const Value& v)
    {
        const T* t = nullptr;
        if constexpr (std::is_same_v<T, Data>)
            t = v.data();
        else if constexpr (std::is_same_v<T, Date>)
            t = v.date();
        else if constexpr (std::is_same_v<T, Array>)
            t = v.array();
        else if constexpr (std::is_same_v<T, Dictionary>)
            t = v.dictionary();
        else
            t = v.number();
        return t ? *t : T {};
    }
};

// An object reference: a value holding another kind of object, or no object, gives nullptr.
template <typename T>
requires std::is_base_of_v<Object, T>
struct ValueTraits<std::shared_ptr<T>> {
    static constexpr bool isScalar = false;
    static Value toValue(const std::shared_ptr<T>& o) { return Value(o); }
    static std::shared_ptr<T> fromValue(const Value& v) { return v.objectAs<T>(); }
};

template <typename T>
requires std::is_base_of_v<Object, T>
struct ValueTraits<std::weak_ptr<T>> {
    static constexpr bool isScalar = false;
    static Value toValue(const std::weak_ptr<T>& o) { return Value(o.lock()); }
    static std::weak_ptr<T> fromValue(const Value& v) { return v.objectAs<T>(); }
};

// An object kept by value (an index set): boxed into a fresh object on the way out, copied on the way in.
template <typename T>
requires(std::is_base_of_v<Object, T>&& std::is_copy_constructible_v<T>&&
        std::is_default_constructible_v<T>) struct ValueTraits<T> {
    static constexpr bool isScalar = false;
    static Value toValue(const T& t) { return Value(std::make_shared<T>(t)); }
    static T fromValue(const Value& v)
    {
        auto o = v.objectAs<T>();
        return o ? T(*o) : T {};
    }
};

template <typename T> struct ValueTraits<std::optional<T>> {
    static constexpr bool isScalar = false;
    static Value toValue(const std::optional<T>& t) { return t ? ValueTraits<T>::toValue(*t) : Value(); }
    static std::optional<T> fromValue(const Value& v)
    {
        if (v.isNil())
            return std::nullopt;
        return ValueTraits<T>::fromValue(v);
    }
};

template <typename T> struct ValueTraits<std::vector<T>> {
    static constexpr bool isScalar = false;
    static Value toValue(const std::vector<T>& items)
    {
        Array a;
        a.reserve(items.size());
        for (const auto& item : items)
            a.push_back(ValueTraits<T>::toValue(item));
        return Value(std::move(a));
    }
    static std::vector<T> fromValue(const Value& v)
    {
        std::vector<T> items;
        if (auto* a = v.array()) {
            items.reserve(a->size());
            for (const auto& item : *a)
                items.push_back(ValueTraits<T>::fromValue(item));
        }
        return items;
    }
};

template <typename T>
concept ValueConvertible = requires(const Value& v)
{
    { ValueTraits<std::remove_cvref_t<T>>::fromValue(v) };
};

template <typename T> Value toValue(const T& t)
{
    return ValueTraits<std::remove_cvref_t<T>>::toValue(t);
}

template <typename T> std::remove_cvref_t<T> fromValue(const Value& v)
{
    return ValueTraits<std::remove_cvref_t<T>>::fromValue(v);
}

}
