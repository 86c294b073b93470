#include "registry/SetterPools.h"

#include <fmt/format.h>

#include <array>
#include <cmath>
#include <limits>
#include <span>

namespace registrytest {

namespace {

constexpr double SetterPoolsInfinity = std::numeric_limits<double>::infinity();

constexpr std::array<double, 7> SetterPoolsOrdinaryReals { 0.0, 0.5, 1.0, 2.0, 12.0, 100.0, 250.5 };
constexpr std::array<double, 8> SetterPoolsExtremeReals { std::numeric_limits<double>::quiet_NaN(), SetterPoolsInfinity,
    -SetterPoolsInfinity, 1e308, -1e308, 0.0, -1.0, 1e7 };

template <typename T, std::size_t N> const T& setterPoolsPick(const std::array<T, N>& pool, std::mt19937& random)
{
    return pool[std::uniform_int_distribution<std::size_t>(0, N - 1)(random)];
}

double setterPoolsReal(bool extreme, std::mt19937& random)
{
    // An extreme geometry value mixes extreme and ordinary components, as a caller's arithmetic gone wrong does.
    if (extreme && std::bernoulli_distribution(0.6)(random))
        return setterPoolsPick(SetterPoolsExtremeReals, random);
    return setterPoolsPick(SetterPoolsOrdinaryReals, random);
}

const fnd::String& setterPoolsLongString()
{
    static const fnd::String text(std::string(100'000, 'W'));
    return text;
}

fnd::Value setterPoolsString(bool extreme, std::mt19937& random)
{
    if (extreme) {
        switch (std::uniform_int_distribution<int>(0, 2)(random)) {
        case 0:
            return fnd::String();
        case 1:
            return setterPoolsLongString();
        default:
            return fnd::Value();
        }
    }
    static const std::array<const char*, 4> texts { "", "Title", "Two words", "Grüße, 東京" };
    return fnd::String(setterPoolsPick(texts, random));
}

fnd::Value setterPoolsInteger(bool extreme, std::mt19937& random)
{
    if (!extreme) {
        static constexpr std::array<long long, 5> integers { 0, 1, 2, 3, 7 };
        return setterPoolsPick(integers, random);
    }
    // The extreme reals reach an integer setter as a caller's double would; -1, 0 and 1e7 also as integers.
    if (std::bernoulli_distribution(0.5)(random)) {
        static constexpr std::array<long long, 3> integers { -1, 0, 10'000'000 };
        return setterPoolsPick(integers, random);
    }
    return setterPoolsPick(SetterPoolsExtremeReals, random);
}

fnd::Value setterPoolsRange(bool extreme, std::mt19937& random)
{
    if (!extreme) {
        static constexpr std::array<fnd::Range, 3> ranges { fnd::Range { 0, 0 }, fnd::Range { 0, 1 },
            fnd::Range { 1, 2 } };
        return setterPoolsPick(ranges, random);
    }
    static constexpr std::array<fnd::Range, 5> ranges { fnd::Range { fnd::NotFound, 0 }, fnd::Range { 0, 10'000'000 },
        fnd::Range { 10'000'000, 10'000'000 }, fnd::Range { -1, 1 }, fnd::Range { 0, -1 } };
    return setterPoolsPick(ranges, random);
}

fnd::Value setterPoolsDate(bool extreme, std::mt19937& random)
{
    if (!extreme)
        return fnd::Date::fromReferenceDate(setterPoolsPick(SetterPoolsOrdinaryReals, random) * 86'400.0);
    return fnd::Date::fromReferenceDate(setterPoolsPick(SetterPoolsExtremeReals, random));
}

// A fresh object of the class of `current`, when the registry makes that class by name.
std::shared_ptr<fnd::Object> setterPoolsFreshLike(const fnd::Value& current)
{
    auto object = current.object();
    if (!object)
        return nullptr;
    try {
        return fnd::ClassRegistry::shared().create(object->className());
    } catch (const fnd::Exception&) {
        return nullptr;
    }
}

fnd::Value setterPoolsObject(
    bool extreme, const fnd::Value& current, const ObjectNeighbours& neighbours, std::mt19937& random)
{
    if (!extreme) {
        if (std::bernoulli_distribution(0.5)(random))
            return current;
        if (auto fresh = setterPoolsFreshLike(current))
            return fnd::Value(fresh);
        return current;
    }
    switch (std::uniform_int_distribution<int>(0, 4)(random)) {
    case 0:
        return fnd::Value(neighbours.self);
    case 1:
        return fnd::Value(neighbours.parent);
    case 2:
        return fnd::Value(neighbours.ancestor);
    case 3:
        return fnd::Value(neighbours.elsewhere);
    default:
        return fnd::Value();
    }
}

fnd::Value setterPoolsArray(
    bool extreme, const fnd::Value& current, const ObjectNeighbours& neighbours, std::mt19937& random)
{
    if (!extreme)
        return std::bernoulli_distribution(0.5)(random) ? current : fnd::Value(fnd::Array {});
    fnd::Array items;
    // Members like the ones it holds, extreme ones, and the objects around it.
    const auto* held = current.array();
    const auto count = std::uniform_int_distribution<int>(1, 4)(random);
    for (int i = 0; i < count; ++i) {
        const fnd::Value like = held && !held->empty() ? (*held)[random() % held->size()] : fnd::Value();
        items.push_back(pooledValue(setterKindOf(like), true, like, neighbours, random));
    }
    return items;
}

}

SetterKind setterKindOf(const fnd::Value& current)
{
    using Type = fnd::Value::Type;
    switch (current.type()) {
    case Type::Number: {
        const auto kind = current.number()->kind();
        if (kind == fnd::Number::Kind::Bool)
            return SetterKind::Bool;
        return current.number()->isReal() ? SetterKind::Real : SetterKind::Integer;
    }
    case Type::String:
        return SetterKind::String;
    case Type::Point:
        return SetterKind::Point;
    case Type::Size:
        return SetterKind::Size;
    case Type::Rect:
        return SetterKind::Rect;
    case Type::Range:
        return SetterKind::Range;
    case Type::Date:
        return SetterKind::Date;
    case Type::Object:
        return SetterKind::Object;
    case Type::Array:
        return SetterKind::Array;
    case Type::Dictionary:
        return SetterKind::Dictionary;
    default:
        return SetterKind::Any;
    }
}

fnd::Value pooledValue(
    SetterKind kind, bool extreme, const fnd::Value& current, const ObjectNeighbours& neighbours, std::mt19937& random)
{
    switch (kind) {
    case SetterKind::Real:
        return extreme ? setterPoolsPick(SetterPoolsExtremeReals, random)
                       : setterPoolsPick(SetterPoolsOrdinaryReals, random);
    case SetterKind::Integer:
        return setterPoolsInteger(extreme, random);
    case SetterKind::Bool:
        return extreme ? fnd::Value(-1) : fnd::Value(std::bernoulli_distribution(0.5)(random));
    case SetterKind::String:
        return setterPoolsString(extreme, random);
    case SetterKind::Point:
        return gfx::Point { setterPoolsReal(extreme, random), setterPoolsReal(extreme, random) };
    case SetterKind::Size:
        return gfx::Size { setterPoolsReal(extreme, random), setterPoolsReal(extreme, random) };
    case SetterKind::Rect:
        return gfx::Rect { { setterPoolsReal(extreme, random), setterPoolsReal(extreme, random) },
            { setterPoolsReal(extreme, random), setterPoolsReal(extreme, random) } };
    case SetterKind::Range:
        return setterPoolsRange(extreme, random);
    case SetterKind::Date:
        return setterPoolsDate(extreme, random);
    case SetterKind::Object:
        return setterPoolsObject(extreme, current, neighbours, random);
    case SetterKind::Array:
        return setterPoolsArray(extreme, current, neighbours, random);
    case SetterKind::Dictionary:
        return extreme ? fnd::Value(fnd::Dictionary {}) : current;
    case SetterKind::Any:
        break;
    }
    // Nothing tells what the setter takes (a represented object, an identifier): a value of any kind, held as given.
    // Its extreme pool has no NaN or infinity: what the object keeps for its caller is no number of its own.
    if (extreme) {
        static constexpr std::array<SetterKind, 2> kinds { SetterKind::String, SetterKind::Object };
        return pooledValue(setterPoolsPick(kinds, random), true, current, neighbours, random);
    }
    static constexpr std::array<SetterKind, 5> kinds { SetterKind::Real, SetterKind::String, SetterKind::Object,
        SetterKind::Bool, SetterKind::Rect };
    return pooledValue(setterPoolsPick(kinds, random), false, current, neighbours, random);
}

std::string describedValue(const fnd::Value& value, const ObjectNeighbours& neighbours)
{
    if (auto* text = value.string(); text && text->length() > 40)
        return fmt::format("a string of {} characters", text->length());
    if (auto object = value.object()) {
        const char* who = object == neighbours.self ? "itself"
            : object == neighbours.parent           ? "its parent"
            : object == neighbours.ancestor         ? "its ancestor"
            : object == neighbours.elsewhere        ? "an object held elsewhere"
                                                    : "another";
        return fmt::format("{} ({})", who, object->className().utf8());
    }
    if (auto* items = value.array()) {
        std::string text = "[";
        for (const auto& item : *items)
            text += (text.size() > 1 ? ", " : "") + describedValue(item, neighbours);
        return text + "]";
    }
    if (value.isNil())
        return "nil";
    return value.description().utf8();
}

}
