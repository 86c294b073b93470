#pragma once

#include "platform/foundation/runtime/Geometry.h"
#include "platform/foundation/runtime/Range.h"
#include "platform/foundation/runtime/Set.h"
#include "platform/foundation/runtime/String.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace fnd {

class Object;
class Value;

// A number that remembers what it was made from, and compares with other numbers by value whatever their kinds,
// as the platform's numbers do (true == 1, 2 == 2.0).
class Number {
public:
    enum class Kind { Bool, Integer, Unsigned, Float, Double };

    constexpr Number() = default;
    constexpr Number(bool b)
        : m_kind(Kind::Bool)
        , m_int(b)
    {
    }
    constexpr Number(int i)
        : m_kind(Kind::Integer)
        , m_int(i)
    {
    }
    constexpr Number(long i)
        : m_kind(Kind::Integer)
        , m_int(i)
    {
    }
    constexpr Number(long long i)
        : m_kind(Kind::Integer)
        , m_int(i)
    {
    }
    constexpr Number(unsigned u)
        : m_kind(Kind::Unsigned)
        , m_uint(u)
    {
    }
    constexpr Number(unsigned long u)
        : m_kind(Kind::Unsigned)
        , m_uint(u)
    {
    }
    constexpr Number(unsigned long long u)
        : m_kind(Kind::Unsigned)
        , m_uint(u)
    {
    }
    constexpr Number(float f)
        : m_kind(Kind::Float)
        , m_double(f)
    {
    }
    constexpr Number(double d)
        : m_kind(Kind::Double)
        , m_double(d)
    {
    }

    Kind kind() const { return m_kind; }
    bool isReal() const { return m_kind == Kind::Float || m_kind == Kind::Double; }

    bool boolValue() const;
    std::int64_t integerValue() const;
    std::uint64_t unsignedValue() const;
    float floatValue() const { return static_cast<float>(doubleValue()); }
    double doubleValue() const;

    String stringValue() const;

    std::partial_ordering operator<=>(const Number& other) const;
    bool operator==(const Number& other) const { return (*this <=> other) == 0; }

private:
    Kind m_kind { Kind::Integer };
    std::int64_t m_int { 0 };
    std::uint64_t m_uint { 0 };
    double m_double { 0 };
};

class Data {
public:
    Data() = default;
    Data(std::vector<std::uint8_t> bytes)
        : m_bytes(std::move(bytes))
    {
    }
    Data(const void* bytes, std::size_t length);
    static Data fromString(std::string_view bytes) { return Data(bytes.data(), bytes.size()); }

    std::size_t length() const { return m_bytes.size(); }
    bool isEmpty() const { return m_bytes.empty(); }
    const std::uint8_t* bytes() const { return m_bytes.data(); }
    std::uint8_t* mutableBytes() { return m_bytes.data(); }
    const std::vector<std::uint8_t>& vector() const { return m_bytes; }
    std::vector<std::uint8_t>& vector() { return m_bytes; }
    std::string_view view() const { return { reinterpret_cast<const char*>(m_bytes.data()), m_bytes.size() }; }
    void append(const void* bytes, std::size_t length);
    void append(const Data& other) { append(other.bytes(), other.length()); }

    bool operator==(const Data&) const = default;

private:
    std::vector<std::uint8_t> m_bytes;
};

// A moment, kept as seconds since the reference date 2001-01-01 00:00:00 UTC.
class Date {
public:
    static constexpr double IntervalBetween1970And2001 = 978307200.0;

    constexpr Date() = default;
    static constexpr Date fromReferenceDate(double seconds) { return Date(seconds); }
    static constexpr Date fromUnixTime(double seconds) { return Date(seconds - IntervalBetween1970And2001); }
    static Date now();
    static constexpr Date distantPast() { return Date(-63114076800.0); }
    static constexpr Date distantFuture() { return Date(63113904000.0); }

    constexpr double timeIntervalSinceReferenceDate() const { return m_seconds; }
    constexpr double timeIntervalSince1970() const { return m_seconds + IntervalBetween1970And2001; }
    constexpr double timeIntervalSince(Date other) const { return m_seconds - other.m_seconds; }
    constexpr Date addingTimeInterval(double seconds) const { return Date(m_seconds + seconds); }

    constexpr auto operator<=>(const Date&) const = default;

private:
    constexpr explicit Date(double seconds)
        : m_seconds(seconds)
    {
    }
    double m_seconds { 0 };
};

using Array = std::vector<Value>;

// String keys in sorted order, so written property lists and archives are stable.
class Dictionary {
public:
    using Map = std::map<String, Value>;

    Dictionary() = default;
    Dictionary(std::initializer_list<std::pair<const String, Value>> items);

    std::size_t count() const { return m_items.size(); }
    bool isEmpty() const { return m_items.empty(); }
    // nullptr when absent.
    const Value* find(const String& key) const;
    Value* find(const String& key);
    // The value, or a nil value when absent.
    Value get(const String& key) const;
    bool contains(const String& key) const { return m_items.contains(key); }
    void set(const String& key, Value value);
    // Keys arriving in sorted order (as written) go in without a search.
    void set(String&& key, Value value);
    void remove(const String& key) { m_items.erase(key); }
    std::vector<String> keys() const;

    Map::const_iterator begin() const { return m_items.begin(); }
    Map::const_iterator end() const { return m_items.end(); }
    const Map& map() const { return m_items; }

    bool operator==(const Dictionary& other) const;

private:
    Map m_items;
};

struct Null {
    bool operator==(const Null&) const = default;
};

// Any value the runtime passes around: property-list values, sets, geometry and ranges, and object references.
// A default Value is nil (absent); Null is the explicit null object, which is a present value.
class Value {
public:
    // New kinds go at the end: the numbering is the variant's index.
    enum class Type { Nil, Null, Number, String, Data, Date, Array, Dictionary, Range, Point, Size, Rect, Object, Set };

    Value() = default;
    Value(std::nullptr_t) { }
    Value(Null)
        : m_storage(Null {})
    {
    }
    Value(bool b)
        : m_storage(Number(b))
    {
    }
    Value(int i)
        : m_storage(Number(i))
    {
    }
    Value(long i)
        : m_storage(Number(i))
    {
    }
    Value(long long i)
        : m_storage(Number(i))
    {
    }
    Value(unsigned u)
        : m_storage(Number(u))
    {
    }
    Value(unsigned long u)
        : m_storage(Number(u))
    {
    }
    Value(unsigned long long u)
        : m_storage(Number(u))
    {
    }
    Value(float f)
        : m_storage(Number(f))
    {
    }
    Value(double d)
        : m_storage(Number(d))
    {
    }
    Value(Number n)
        : m_storage(n)
    {
    }
    Value(String s)
        : m_storage(std::move(s))
    {
    }
    Value(const char* s)
        : m_storage(String(s))
    {
    }
    Value(Data d)
        : m_storage(std::move(d))
    {
    }
    Value(Date d)
        : m_storage(d)
    {
    }
    Value(Array a)
        : m_storage(std::move(a))
    {
    }
    Value(Dictionary d)
        : m_storage(std::move(d))
    {
    }
    Value(Set s)
        : m_storage(std::move(s))
    {
    }
    Value(Range r)
        : m_storage(r)
    {
    }
    Value(gfx::Point p)
        : m_storage(p)
    {
    }
    Value(gfx::Size s)
        : m_storage(s)
    {
    }
    Value(gfx::Rect r)
        : m_storage(r)
    {
    }
    Value(std::shared_ptr<Object> o);
    template <typename T>
    requires std::is_base_of_v<Object, T> Value(std::shared_ptr<T> o)
        : Value(std::static_pointer_cast<Object>(std::move(o)))
    {
    }

    Type type() const { return static_cast<Type>(m_storage.index()); }
    bool isNil() const { return type() == Type::Nil; }
    bool isNull() const { return type() == Type::Null; }
    bool isNumber() const { return type() == Type::Number; }
    bool isString() const { return type() == Type::String; }
    bool isData() const { return type() == Type::Data; }
    bool isDate() const { return type() == Type::Date; }
    bool isArray() const { return type() == Type::Array; }
    bool isDictionary() const { return type() == Type::Dictionary; }
    bool isObject() const { return type() == Type::Object; }
    bool isSet() const { return type() == Type::Set; }
    explicit operator bool() const { return !isNil(); }

    // Typed access; nullptr when the value holds another type.
    const Number* number() const { return std::get_if<Number>(&m_storage); }
    const String* string() const { return std::get_if<String>(&m_storage); }
    const Data* data() const { return std::get_if<Data>(&m_storage); }
    const Date* date() const { return std::get_if<Date>(&m_storage); }
    const Array* array() const { return std::get_if<Array>(&m_storage); }
    Array* array() { return std::get_if<Array>(&m_storage); }
    const Dictionary* dictionary() const { return std::get_if<Dictionary>(&m_storage); }
    Dictionary* dictionary() { return std::get_if<Dictionary>(&m_storage); }
    const Set* set() const { return std::get_if<Set>(&m_storage); }
    Set* set() { return std::get_if<Set>(&m_storage); }
    std::optional<Range> range() const;
    std::optional<gfx::Point> point() const;
    std::optional<gfx::Size> size() const;
    std::optional<gfx::Rect> rect() const;
    std::shared_ptr<Object> object() const;
    // The object held, without taking a reference (identity tests over many values); nullptr for none.
    Object* objectPointer() const
    {
        auto* o = std::get_if<std::shared_ptr<Object>>(&m_storage);
        return o ? o->get() : nullptr;
    }
    template <typename T> std::shared_ptr<T> objectAs() const { return std::dynamic_pointer_cast<T>(object()); }

    // Loose conversions as the platform's value accessors make them: numbers from numbers and numeric strings,
    // 0 / false / empty otherwise.
    bool boolValue() const;
    std::int64_t integerValue() const;
    double doubleValue() const;
    float floatValue() const { return static_cast<float>(doubleValue()); }
    String stringValue() const;

    // A human-readable form, as the platform's description gives (used by "%@").
    String description() const;

    // Equality by value; objects compare with isEqual.
    bool operator==(const Value& other) const;
    // Equal values hash alike: numbers by their value whatever their kind, objects by their own hash.
    std::size_t hash() const;

private:
    std::variant<std::monostate, Null, Number, String, Data, Date, Array, Dictionary, Range, gfx::Point, gfx::Size,
        gfx::Rect, std::shared_ptr<Object>, Set>
        m_storage;
};

}

// Values as keys of hashed containers.
template <> struct std::hash<fnd::Value> {
    std::size_t operator()(const fnd::Value& value) const { return value.hash(); }
};
