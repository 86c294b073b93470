#pragma once

#include "registry/ClassSetters.h"

#include "platform/foundation/runtime/ValueTraits.h"

#include <string>
#include <type_traits>
#include <vector>

// Shorthands for the table of setters that key-value coding does not reach.
namespace registrytest {

using TabledSetterList = std::vector<Setter>;

// A setter of class T from a lambda taking the object and the value.
template <typename T, typename Apply> Setter tabled(std::string name, SetterKind kind, Apply apply)
{
    return { std::move(name), kind, {},
        [apply](fnd::Object& object, const fnd::Value& value) { apply(static_cast<T&>(object), value); } };
}

// The same with the getter whose value an object setter's ordinary pool holds.
template <typename T, typename Get, typename Apply>
Setter tabled(std::string name, SetterKind kind, Get get, Apply apply)
{
    auto setter = tabled<T>(std::move(name), kind, apply);
    setter.get = [get](const fnd::Object& object) { return fnd::Value(get(static_cast<const T&>(object))); };
    return setter;
}

// A one-argument member setter, its argument converted from the value as key-value coding converts it.
template <typename T, typename Class, typename Arg>
requires std::is_base_of_v<Class, T> Setter member(std::string name, SetterKind kind, void (Class::*method)(Arg))
{
    return tabled<T>(std::move(name), kind, [method](T& object, const fnd::Value& value) {
        (object.*method)(fnd::fromValue<std::remove_cvref_t<Arg>>(value));
    });
}

template <typename T> std::vector<std::shared_ptr<T>> tabledObjectsOf(const fnd::Value& value)
{
    std::vector<std::shared_ptr<T>> objects;
    if (auto* items = value.array())
        for (const auto& item : *items)
            objects.push_back(item.objectAs<T>());
    return objects;
}

// The lists of the model classes (formatters, markers, styles, text and graphics values), by class name.
std::vector<std::pair<std::string, TabledSetterList (*)()>> tabledModelSetterLists();

}
