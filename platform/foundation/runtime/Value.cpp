#include "platform/foundation/runtime/Value.h"

#include "platform/foundation/runtime/Object.h"

#include <fmt/format.h>

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <utility>

namespace fnd {

// Number

bool Number::boolValue() const
{
    switch (m_kind) {
    case Kind::Bool:
    case Kind::Integer:
        return m_int != 0;
    case Kind::Unsigned:
        return m_uint != 0;
    case Kind::Float:
    case Kind::Double:
        return m_double != 0;
    }
    return false;
}

std::int64_t Number::integerValue() const
{
    switch (m_kind) {
    case Kind::Bool:
    case Kind::Integer:
        return m_int;
    case Kind::Unsigned:
        return static_cast<std::int64_t>(m_uint);
    case Kind::Float:
    case Kind::Double:
        if (std::isnan(m_double))
            return 0;
        if (m_double >= 9.2233720368547758e18)
            return INT64_MAX;
        if (m_double <= -9.2233720368547758e18)
            return INT64_MIN;
        return static_cast<std::int64_t>(m_double);
    }
    return 0;
}

std::uint64_t Number::unsignedValue() const
{
    if (m_kind == Kind::Unsigned)
        return m_uint;
    if (isReal()) {
        if (m_double <= 0 || std::isnan(m_double))
            return 0;
        return m_double >= 1.8446744073709552e19 ? UINT64_MAX : static_cast<std::uint64_t>(m_double);
    }
    return static_cast<std::uint64_t>(m_int);
}

double Number::doubleValue() const
{
    switch (m_kind) {
    case Kind::Bool:
    case Kind::Integer:
        return static_cast<double>(m_int);
    case Kind::Unsigned:
        return static_cast<double>(m_uint);
    case Kind::Float:
    case Kind::Double:
        return m_double;
    }
    return 0;
}

namespace {

// Numbers are written as ASCII into a buffer on the stack and widened straight to UTF-16: every attribute an
// assistive technology reads as text passes through here, and a round trip through a UTF-8 string cost allocations.
constexpr std::size_t NumberTextCapacity = 32;

// An integral double whose shortest form is its integer digits: below 2^53 (2^24 for a float) every integer is
// exact, so no shorter decimal rounds to it, and the shortest form stays in fixed notation up to 1e16. Minus zero
// ("-0") and everything else go through fmt.
template <typename Real> bool numberTextIsWhole(Real value)
{
    constexpr Real limit = sizeof(Real) == sizeof(float) ? Real(16777216) : Real(9007199254740992.0);
    return value > -limit && value < limit && value == std::trunc(value) && !(value == 0 && std::signbit(value));
}

template <typename Real> char* numberTextOfReal(char* out, Real value)
{
    if (numberTextIsWhole(value))
        return std::to_chars(out, out + NumberTextCapacity, static_cast<std::int64_t>(value)).ptr;
    return fmt::format_to_n(out, NumberTextCapacity, "{}", value).out;
}

String numberTextString(const char* begin, const char* end)
{
    return String(std::u16string(begin, end));
}

}

String Number::stringValue() const
{
    char text[NumberTextCapacity];
    char* end = text;
    switch (m_kind) {
    case Kind::Bool:
    case Kind::Integer:
        end = std::to_chars(text, text + sizeof text, m_int).ptr;
        break;
    case Kind::Unsigned:
        end = std::to_chars(text, text + sizeof text, m_uint).ptr;
        break;
    case Kind::Float:
        end = numberTextOfReal(text, static_cast<float>(m_double));
        break;
    case Kind::Double:
        end = numberTextOfReal(text, m_double);
        break;
    }
    return numberTextString(text, end);
}

std::partial_ordering Number::operator<=>(const Number& other) const
{
    if (isReal() || other.isReal())
        return doubleValue() <=> other.doubleValue();
    bool selfUnsignedLarge = m_kind == Kind::Unsigned && m_uint > static_cast<std::uint64_t>(INT64_MAX);
    bool otherUnsignedLarge = other.m_kind == Kind::Unsigned && other.m_uint > static_cast<std::uint64_t>(INT64_MAX);
    if (selfUnsignedLarge || otherUnsignedLarge) {
        if (selfUnsignedLarge && otherUnsignedLarge)
            return m_uint <=> other.m_uint;
        return selfUnsignedLarge ? std::partial_ordering::greater : std::partial_ordering::less;
    }
    return integerValue() <=> other.integerValue();
}

// Data

Data::Data(const void* bytes, std::size_t length)
{
    append(bytes, length);
}

void Data::append(const void* bytes, std::size_t length)
{
    if (length == 0)
        return;
    auto p = static_cast<const std::uint8_t*>(bytes);
    m_bytes.insert(m_bytes.end(), p, p + length);
}

// Date

Date Date::now()
{
    auto since = std::chrono::system_clock::now().time_since_epoch();
    return fromUnixTime(std::chrono::duration<double>(since).count());
}

// Dictionary

Dictionary::Dictionary(std::initializer_list<std::pair<const String, Value>> items)
    : m_items(items)
{
}

const Value* Dictionary::find(const String& key) const
{
    auto it = m_items.find(key);
    return it == m_items.end() ? nullptr : &it->second;
}

Value* Dictionary::find(const String& key)
{
    auto it = m_items.find(key);
    return it == m_items.end() ? nullptr : &it->second;
}

Value Dictionary::get(const String& key) const
{
    auto* v = find(key);
    return v ? *v : Value();
}

void Dictionary::set(const String& key, Value value)
{
    if (value.isNil())
        m_items.erase(key);
    else
        m_items.insert_or_assign(key, std::move(value));
}

void Dictionary::set(String&& key, Value value)
{
    if (value.isNil())
        m_items.erase(key);
    else
        m_items.insert_or_assign(m_items.end(), std::move(key), std::move(value));
}

std::vector<String> Dictionary::keys() const
{
    std::vector<String> out;
    out.reserve(m_items.size());
    for (auto& [k, v] : m_items)
        out.push_back(k);
    return out;
}

bool Dictionary::operator==(const Dictionary& other) const
{
    return m_items == other.m_items;
}

// Value

Value::Value(std::shared_ptr<Object> o)
{
    if (o)
        m_storage = std::move(o);
}

std::optional<Range> Value::range() const
{
    if (auto* r = std::get_if<Range>(&m_storage))
        return *r;
    return std::nullopt;
}

std::optional<gfx::Point> Value::point() const
{
    if (auto* p = std::get_if<gfx::Point>(&m_storage))
        return *p;
    return std::nullopt;
}

std::optional<gfx::Size> Value::size() const
{
    if (auto* s = std::get_if<gfx::Size>(&m_storage))
        return *s;
    return std::nullopt;
}

std::optional<gfx::Rect> Value::rect() const
{
    if (auto* r = std::get_if<gfx::Rect>(&m_storage))
        return *r;
    return std::nullopt;
}

std::shared_ptr<Object> Value::object() const
{
    if (auto* o = std::get_if<std::shared_ptr<Object>>(&m_storage))
        return *o;
    return nullptr;
}

// Strings answer through String's own parsing, which is locale-independent and skips Unicode white space, so a
// value and the string it holds always agree.
bool Value::boolValue() const
{
    if (auto* n = number())
        return n->boolValue();
    if (auto* s = string())
        return s->boolValue();
    return false;
}

std::int64_t Value::integerValue() const
{
    if (auto* n = number())
        return n->integerValue();
    if (auto* s = string())
        return s->integerValue();
    return 0;
}

double Value::doubleValue() const
{
    if (auto* n = number())
        return n->doubleValue();
    if (auto* s = string())
        return s->doubleValue();
    return 0;
}

String Value::stringValue() const
{
    if (auto* s = string())
        return *s;
    if (auto* n = number())
        return n->stringValue();
    if (isNil())
        return {};
    return description();
}

namespace {

// Descriptions are read for every element of a list (an assistive technology reads whole trees as text): the pieces go
// into one UTF-16 buffer, with no round trip through UTF-8 per element, and text and nested lists without a string
// of their own each.
void valueAppendDescription(const Value& value, std::u16string& out);

template <typename List>
void valueAppendDescriptionOfList(
    const List& list, std::u16string_view open, std::u16string_view close, std::u16string& out)
{
    out += open;
    bool first = true;
    for (auto& v : list) {
        out += first ? u"\n    " : u",\n    ";
        valueAppendDescription(v, out);
        first = false;
    }
    if (!first)
        out += u'\n';
    out += close;
}

void valueAppendDescriptionOfDictionary(const Dictionary& dictionary, std::u16string& out)
{
    out += u'{';
    for (auto& [k, v] : dictionary) {
        out += u"\n    ";
        out += k.units();
        out += u" = ";
        valueAppendDescription(v, out);
        out += u';';
    }
    out += dictionary.isEmpty() ? u"}" : u"\n}";
}

void valueAppendDescription(const Value& value, std::u16string& out)
{
    if (const auto* text = value.string())
        out += text->units();
    else if (const auto* array = value.array())
        valueAppendDescriptionOfList(*array, u"(", u")", out);
    else if (const auto* set = value.set())
        valueAppendDescriptionOfList(*set, u"{(", u")}", out);
    else if (const auto* dictionary = value.dictionary())
        valueAppendDescriptionOfDictionary(*dictionary, out);
    else
        out += value.description().units();
}

String valueDescriptionOfContainer(const Value& value)
{
    std::u16string out;
    valueAppendDescription(value, out);
    return String(std::move(out));
}

// Geometry is written on the stack as numbers do, "{a, b}", "{{x, y}, {w, h}}": ASCII, short enough for any four
// doubles (at most 24 characters each).
class ValueDescriptionText {
public:
    ValueDescriptionText& put(char c)
    {
        *m_end++ = c;
        return *this;
    }
    ValueDescriptionText& pair(double a, double b)
    {
        put('{');
        m_end = numberTextOfReal(m_end, a);
        put(',').put(' ');
        m_end = numberTextOfReal(m_end, b);
        return put('}');
    }
    ValueDescriptionText& pair(Index a, Index b)
    {
        put('{');
        m_end = std::to_chars(m_end, m_end + NumberTextCapacity, a).ptr;
        put(',').put(' ');
        m_end = std::to_chars(m_end, m_end + NumberTextCapacity, b).ptr;
        return put('}');
    }
    String string() const { return numberTextString(m_text, m_end); }

private:
    char m_text[4 * NumberTextCapacity + 16];
    char* m_end = m_text;
};

}

String Value::description() const
{
    switch (type()) {
    case Type::Nil:
        return "(null)";
    case Type::Null:
        return "<null>";
    case Type::Number:
        return number()->stringValue();
    case Type::String:
        return *string();
    case Type::Data: {
        std::string out = "<";
        const auto& d = *data();
        for (std::size_t i = 0; i < d.length(); ++i) {
            if (i && i % 4 == 0)
                out += ' ';
            out += fmt::format("{:02x}", d.bytes()[i]);
        }
        return String(out + ">");
    }
    case Type::Date: {
        const double seconds = std::floor(date()->timeIntervalSince1970());
        // Past what a calendar date can say (NaN, infinities, far beyond the years 0 to 9999), the seconds are told;
        // the conversion to time_t would be undefined.
        if (!(std::abs(seconds) < 1e14))
            return String(fmt::format("{} seconds since 1970", seconds));
        auto t = static_cast<std::time_t>(seconds);
        std::tm tm {};
        gmtime_r(&t, &tm);
        char buffer[64];
        std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S +0000", &tm);
        return String(buffer);
    }
    case Type::Array:
    case Type::Dictionary:
    case Type::Set:
        return valueDescriptionOfContainer(*this);
    case Type::Range: {
        auto r = *range();
        return ValueDescriptionText().pair(r.location, r.length).string();
    }
    case Type::Point: {
        auto p = *point();
        return ValueDescriptionText().pair(p.x, p.y).string();
    }
    case Type::Size: {
        auto s = *size();
        return ValueDescriptionText().pair(s.width, s.height).string();
    }
    case Type::Rect: {
        auto r = *rect();
        return ValueDescriptionText()
            .put('{')
            .pair(r.origin.x, r.origin.y)
            .put(',')
            .put(' ')
            .pair(r.size.width, r.size.height)
            .put('}')
            .string();
    }
    case Type::Object:
        return object()->description();
    }
    return {};
}

bool Value::operator==(const Value& other) const
{
    if (isObject() && other.isObject()) {
        auto* a = objectPointer();
        auto* b = other.objectPointer();
        return a == b || a->isEqual(*b);
    }
    return m_storage == other.m_storage;
}

namespace {

std::size_t valueHashCombine(std::size_t seed, std::size_t hash)
{
    return seed ^ (hash + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2));
}

std::size_t valueHashDouble(double d)
{
    // 0.0 and -0.0 are equal.
    return std::hash<double>()(d == 0 ? 0.0 : d);
}

}

std::size_t Value::hash() const
{
    auto kind = static_cast<std::size_t>(type());
    switch (type()) {
    case Type::Nil:
    case Type::Null:
        return kind;
    case Type::Number:
        // Numbers of different kinds compare through their double values when they are equal at all, so the
        // double value is the one hash all of them share.
        return valueHashDouble(number()->doubleValue());
    case Type::String:
        return string()->hash();
    case Type::Data:
        return std::hash<std::string_view>()(data()->view());
    case Type::Date:
        return valueHashDouble(date()->timeIntervalSinceReferenceDate());
    case Type::Array: {
        std::size_t h = kind;
        for (const Value& v : *array())
            h = valueHashCombine(h, v.hash());
        return h;
    }
    case Type::Dictionary: {
        std::size_t h = kind;
        for (const auto& [k, v] : *dictionary())
            h = valueHashCombine(valueHashCombine(h, k.hash()), v.hash());
        return h;
    }
    case Type::Range: {
        auto r = *range();
        return valueHashCombine(valueHashCombine(kind, std::hash<Index>()(r.location)), std::hash<Index>()(r.length));
    }
    case Type::Point: {
        auto p = *point();
        return valueHashCombine(valueHashCombine(kind, valueHashDouble(p.x)), valueHashDouble(p.y));
    }
    case Type::Size: {
        auto s = *size();
        return valueHashCombine(valueHashCombine(kind, valueHashDouble(s.width)), valueHashDouble(s.height));
    }
    case Type::Rect: {
        auto r = *rect();
        std::size_t h = kind;
        for (double d : { r.origin.x, r.origin.y, r.size.width, r.size.height })
            h = valueHashCombine(h, valueHashDouble(d));
        return h;
    }
    case Type::Object:
        return object()->hash();
    case Type::Set:
        return valueHashCombine(kind, set()->hash());
    }
    return kind;
}

}
