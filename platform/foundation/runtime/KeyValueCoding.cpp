#include "platform/foundation/runtime/KeyValueCoding.h"

#include "platform/foundation/detail/KeyPath.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/IndexSet.h"

#include <fmt/format.h>

#include <mutex>

namespace fnd {

namespace {

struct Handlers {
    std::mutex mutex;
    KeyValueCoding::UndefinedKeyGetter getter;
    KeyValueCoding::UndefinedKeySetter setter;
    KeyValueCoding::ArrayKeyHandler array;
};

Handlers& handlers()
{
    // Never destroyed: objects a program keeps alive past main still reach it while they are destroyed.
    static auto& h = *new Handlers;
    return h;
}

template <typename F> F exchangeHandler(F& slot, F handler)
{
    std::lock_guard lock(handlers().mutex);
    std::swap(slot, handler);
    return handler;
}

template <typename F> F currentHandler(F& slot)
{
    std::lock_guard lock(handlers().mutex);
    return slot;
}

bool isOperator(const String& key)
{
    return !key.isEmpty() && key.characterAt(0) == u'@';
}

String receiverDescription(const Value& receiver)
{
    if (auto o = receiver.object())
        return String(fmt::format("<{} {}>", o->className().utf8(), static_cast<const void*>(o.get())));
    return String(fmt::format("<{}>", classNameOf(receiver).utf8()));
}

std::shared_ptr<const Dictionary> undefinedKeyInfo(const Value& receiver, const String& key)
{
    auto info = std::make_shared<Dictionary>();
    // An object outside a shared_ptr is not put in the exception: the exception may outlive it.
    if (auto o = receiver.object(); !o || o.use_count() > 0)
        info->set("NSTargetObjectUserInfoKey", receiver);
    info->set("NSUnknownUserInfoKey", key);
    return info;
}

Value numberKey(const Number& n, const String& key)
{
    const std::string k = key.utf8();
    if (k == "intValue")
        return Value(static_cast<int>(static_cast<std::int32_t>(n.integerValue())));
    if (k == "integerValue" || k == "longValue" || k == "longLongValue")
        return Value(static_cast<long long>(n.integerValue()));
    if (k == "unsignedIntValue")
        return Value(static_cast<unsigned>(n.unsignedValue()));
    if (k == "unsignedIntegerValue" || k == "unsignedLongValue" || k == "unsignedLongLongValue")
        return Value(static_cast<unsigned long long>(n.unsignedValue()));
    if (k == "doubleValue")
        return Value(n.doubleValue());
    if (k == "floatValue")
        return Value(n.floatValue());
    if (k == "boolValue")
        return Value(n.boolValue());
    if (k == "stringValue" || k == "description")
        return Value(n.stringValue());
    return {};
}

Value stringKey(const Value& s, const String& key)
{
    const std::string k = key.utf8();
    if (k == "length")
        return Value(static_cast<long long>(s.string()->length()));
    if (k == "intValue")
        return Value(static_cast<int>(static_cast<std::int32_t>(s.integerValue())));
    if (k == "integerValue" || k == "longLongValue")
        return Value(static_cast<long long>(s.integerValue()));
    if (k == "doubleValue")
        return Value(s.doubleValue());
    if (k == "floatValue")
        return Value(s.floatValue());
    if (k == "boolValue")
        return Value(s.boolValue());
    if (k == "description")
        return s;
    return {};
}

Value dictionaryKey(const Dictionary& d, const Value& receiver, const String& key)
{
    if (!isOperator(key))
        return d.get(key);
    // "@key" asks the dictionary itself rather than its entries.
    String own(key.units().substr(1));
    if (own == String("count"))
        return Value(static_cast<long long>(d.count()));
    if (own == String("allKeys")) {
        Array keys;
        for (const auto& k : d.keys())
            keys.emplace_back(k);
        return Value(std::move(keys));
    }
    if (own == String("allValues")) {
        Array values;
        for (const auto& [k, v] : d)
            values.push_back(v);
        return Value(std::move(values));
    }
    return KeyValueCoding::valueForUndefinedKey(receiver, own);
}

// Number sums keep integers exact while every operand is an integer.
struct Sum {
    long long integer { 0 };
    double real { 0 };
    bool isInteger { true };

    void add(const Value& v)
    {
        if (v.isNil() || v.isNull())
            return;
        auto* n = v.number();
        if (n && !n->isReal() && isInteger) {
            integer += n->integerValue();
            real += static_cast<double>(n->integerValue());
            return;
        }
        if (isInteger)
            real = static_cast<double>(integer);
        isInteger = false;
        real += v.doubleValue();
    }
    Value value() const { return isInteger ? Value(integer) : Value(real); }
};

std::optional<Value> arrayKeyHandlerAnswer(const Array& array, const String& key)
{
    if (auto handler = currentHandler(handlers().array))
        return handler(array, key);
    return std::nullopt;
}

void appendFlattened(Array& out, const Value& element, const String& right)
{
    if (element.isNil())
        return;
    if (!element.isArray()) {
        out.push_back(right.isEmpty() ? element : valueForKeyPath(element, right));
        return;
    }
    Value inner = right.isEmpty() ? element : valueForKeyPath(element, right);
    if (auto* a = inner.array())
        out.insert(out.end(), a->begin(), a->end());
    else if (!inner.isNil())
        out.push_back(inner);
}

Array distinct(const Array& values)
{
    Array out;
    for (const auto& v : values) {
        if (std::find(out.begin(), out.end(), v) == out.end())
            out.push_back(v);
    }
    return out;
}

Value collectionOperator(const Array& array, const String& op, const String& right)
{
    const std::string name = op.utf8();
    if (name == "@count")
        return Value(static_cast<long long>(array.size()));

    if (name == "@unionOfArrays" || name == "@distinctUnionOfArrays") {
        Array flat;
        for (const auto& element : array)
            appendFlattened(flat, element, right);
        return Value(name == "@unionOfArrays" ? std::move(flat) : distinct(flat));
    }

    Array values;
    values.reserve(array.size());
    for (const auto& element : array)
        values.push_back(right.isEmpty() ? element : valueForKeyPath(element, right));

    if (name == "@sum" || name == "@avg") {
        Sum sum;
        for (const auto& v : values)
            sum.add(v);
        if (name == "@sum")
            return sum.value();
        // Missing values count as zero, so they still count.
        if (values.empty())
            return Value(0);
        double total = sum.isInteger ? static_cast<double>(sum.integer) : sum.real;
        return Value(total / static_cast<double>(values.size()));
    }
    if (name == "@min" || name == "@max") {
        Value best;
        for (const auto& v : values) {
            if (v.isNil() || v.isNull())
                continue;
            if (best.isNil()) {
                best = v;
                continue;
            }
            auto order = compareValues(v, best);
            if (order && (name == "@min" ? *order < 0 : *order > 0))
                best = v;
        }
        return best;
    }
    if (name == "@unionOfObjects" || name == "@distinctUnionOfObjects") {
        std::erase_if(values, [](const Value& v) { return v.isNil(); });
        return Value(name == "@unionOfObjects" ? std::move(values) : distinct(values));
    }
    throw Exception(ExceptionName::UndefinedKey,
        String(fmt::format("[<NSArray> valueForKeyPath:]: this class does not implement the {} operation.", name)));
}

}

String classNameOf(const Value& value)
{
    switch (value.type()) {
    case Value::Type::Nil:
        return "nil";
    case Value::Type::Null:
        return "NSNull";
    case Value::Type::Number:
        return "NSNumber";
    case Value::Type::String:
        return "NSString";
    case Value::Type::Data:
        return "NSData";
    case Value::Type::Date:
        return "NSDate";
    case Value::Type::Array:
        return "NSArray";
    case Value::Type::Dictionary:
        return "NSDictionary";
    case Value::Type::Range:
    case Value::Type::Point:
    case Value::Type::Size:
    case Value::Type::Rect:
        return "NSValue";
    case Value::Type::Object:
        return value.object()->className();
    case Value::Type::Set:
        return "NSSet";
    }
    return {};
}

std::optional<std::partial_ordering> compareValues(const Value& a, const Value& b)
{
    if (auto* x = a.number(), *y = b.number(); x && y)
        return *x <=> *y;
    if (auto* x = a.string(), *y = b.string(); x && y)
        return *x <=> *y;
    if (auto* x = a.date(), *y = b.date(); x && y)
        return *x <=> *y;
    return std::nullopt;
}

Value valueForKey(const Value& receiver, const String& key)
{
    switch (receiver.type()) {
    case Value::Type::Nil:
        return {};
    case Value::Type::Object:
        return receiver.object()->valueForKey(key);
    case Value::Type::Array:
        if (isOperator(key))
            return collectionOperator(*receiver.array(), key, {});
        return KeyValueCoding::arrayValueForKey(*receiver.array(), key);
    case Value::Type::Dictionary:
        return dictionaryKey(*receiver.dictionary(), receiver, key);
    case Value::Type::Set: {
        if (isOperator(key))
            return collectionOperator(receiver.set()->allObjects(), key, {});
        // Every member's value, nil answers left out, as a set.
        Set collected;
        for (const auto& member : *receiver.set())
            collected.add(valueForKey(member, key));
        return Value(std::move(collected));
    }
    default:
        break;
    }
    if (key == String("self"))
        return receiver;
    Value answer;
    if (auto* n = receiver.number())
        answer = numberKey(*n, key);
    else if (receiver.isString())
        answer = stringKey(receiver, key);
    else if (auto* d = receiver.data(); d && key == String("length"))
        answer = Value(static_cast<long long>(d->length()));
    if (!answer.isNil())
        return answer;
    return KeyValueCoding::valueForUndefinedKey(receiver, key);
}

Array elementsAtIndexes(const Array& array, const IndexSet& indexes)
{
    // Range by range, into room made once: many elements cost no call and no regrowth per index.
    Array picked;
    const auto size = static_cast<Index>(array.size());
    picked.reserve(static_cast<std::size_t>(std::min(indexes.count(), size)));
    for (const auto& range : indexes.ranges()) {
        const auto start = std::max<Index>(range.location, 0), end = std::min(range.max(), size);
        if (start < end)
            picked.insert(picked.end(), array.begin() + static_cast<std::ptrdiff_t>(start),
                array.begin() + static_cast<std::ptrdiff_t>(end));
        if (end < range.max())
            break;
    }
    return picked;
}

Value valueForKeyPath(const Value& receiver, const String& keyPath)
{
    if (auto o = receiver.object())
        return o->valueForKeyPath(keyPath);
    auto [first, rest] = detail::splitFirstKey(keyPath);
    if (auto* a = receiver.array(); a && !rest.isEmpty()) {
        if (isOperator(first))
            return collectionOperator(*a, first, rest);
        if (auto answer = arrayKeyHandlerAnswer(*a, first))
            return valueForKeyPath(*answer, rest);
        // The whole path on every element, so an element without the intermediate gives null, not an error.
        Array collected;
        collected.reserve(a->size());
        for (const auto& element : *a) {
            Value v = valueForKeyPath(element, keyPath);
            collected.push_back(v.isNil() ? Value(Null {}) : std::move(v));
        }
        return Value(std::move(collected));
    }
    if (auto* set = receiver.set(); set && !rest.isEmpty()) {
        if (isOperator(first))
            return collectionOperator(set->allObjects(), first, rest);
        Set collected;
        for (const auto& member : *set)
            collected.add(valueForKeyPath(member, keyPath));
        return Value(std::move(collected));
    }
    Value v = valueForKey(receiver, first);
    return rest.isEmpty() ? v : valueForKeyPath(v, rest);
}

void setValueForKey(Value& receiver, const Value& value, const String& key)
{
    if (receiver.isNil())
        return;
    if (auto o = receiver.object()) {
        o->setValueForKey(value, key);
    } else if (auto* d = receiver.dictionary()) {
        if (value.isNil())
            d->remove(key);
        else
            d->set(key, value);
    } else if (auto* a = receiver.array()) {
        for (auto& element : *a)
            setValueForKey(element, value, key);
    } else {
        KeyValueCoding::setValueForUndefinedKey(receiver, value, key);
    }
}

void setValueForKeyPath(Value& receiver, const Value& value, const String& keyPath)
{
    if (auto o = receiver.object()) {
        o->setValueForKeyPath(value, keyPath);
        return;
    }
    auto [first, rest] = detail::splitFirstKey(keyPath);
    if (rest.isEmpty()) {
        setValueForKey(receiver, value, first);
        return;
    }
    if (auto* a = receiver.array()) {
        for (auto& element : *a)
            setValueForKeyPath(element, value, keyPath);
        return;
    }
    Value child = valueForKey(receiver, first);
    if (child.isNil())
        return;
    if (auto o = child.object()) {
        o->setValueForKeyPath(value, rest);
        return;
    }
    if (auto* d = receiver.dictionary()) {
        setValueForKeyPath(child, value, rest);
        d->set(first, std::move(child));
    }
}

KeyValueCoding::UndefinedKeyGetter KeyValueCoding::setUndefinedKeyGetter(UndefinedKeyGetter handler)
{
    return exchangeHandler(handlers().getter, std::move(handler));
}

KeyValueCoding::UndefinedKeySetter KeyValueCoding::setUndefinedKeySetter(UndefinedKeySetter handler)
{
    return exchangeHandler(handlers().setter, std::move(handler));
}

KeyValueCoding::ArrayKeyHandler KeyValueCoding::setArrayKeyHandler(ArrayKeyHandler handler)
{
    return exchangeHandler(handlers().array, std::move(handler));
}

Value KeyValueCoding::valueForUndefinedKey(const Value& receiver, const String& key)
{
    if (auto handler = currentHandler(handlers().getter))
        return handler(receiver, key);
    raiseUndefinedKey(receiver, key);
}

void KeyValueCoding::setValueForUndefinedKey(const Value& receiver, const Value& value, const String& key)
{
    if (auto handler = currentHandler(handlers().setter)) {
        handler(receiver, value, key);
        return;
    }
    raiseUndefinedKeyForSetting(receiver, key);
}

void KeyValueCoding::raiseUndefinedKey(const Value& receiver, const String& key)
{
    throw Exception(ExceptionName::UndefinedKey,
        String(fmt::format("[{} valueForUndefinedKey:]: this class is not key value coding-compliant for the key {}.",
            receiverDescription(receiver).utf8(), key.utf8())),
        undefinedKeyInfo(receiver, key));
}

void KeyValueCoding::raiseUndefinedKeyForSetting(const Value& receiver, const String& key)
{
    throw Exception(ExceptionName::UndefinedKey,
        String(
            fmt::format("[{} setValue:forUndefinedKey:]: this class is not key value coding-compliant for the key {}.",
                receiverDescription(receiver).utf8(), key.utf8())),
        undefinedKeyInfo(receiver, key));
}

Value KeyValueCoding::arrayValueForKey(const Array& array, const String& key)
{
    if (auto answer = arrayKeyHandlerAnswer(array, key))
        return *answer;
    Array collected;
    collected.reserve(array.size());
    for (const auto& element : array) {
        Value v = valueForKey(element, key);
        collected.push_back(v.isNil() ? Value(Null {}) : std::move(v));
    }
    return Value(std::move(collected));
}

// Object's key-value coding.

Value Object::valueForKey(const String& key) const
{
    if (auto* property = classInfo().findProperty(key))
        return property->get(*this);
    static const String selfKey("self");
    if (key == selfKey)
        return selfValue();
    return valueForUndefinedKey(key);
}

Array Object::valuesForKeyAtIndexes(const String& key, const IndexSet& indexes) const
{
    const Value value = valueForKey(key);
    const auto* array = value.array();
    return array ? elementsAtIndexes(*array, indexes) : Array {};
}

void Object::setValueForKey(const Value& value, const String& key)
{
    auto* property = classInfo().findProperty(key);
    if (!property || !property->set) {
        setValueForUndefinedKey(value, key);
        return;
    }
    if (property->isScalar && (value.isNil() || value.isNull())) {
        setNilValueForKey(key);
        return;
    }
    willChangeValueForKey(key);
    try {
        property->set(*this, value);
    } catch (...) {
        // Close the change so the bookkeeping stays balanced; the setter's exception is the one that matters.
        try {
            didChangeValueForKey(key);
        } catch (...) {
        }
        throw;
    }
    didChangeValueForKey(key);
}

Value Object::valueForKeyPath(const String& keyPath) const
{
    // A single key, the usual path, is not copied apart.
    if (keyPath.units().find(u'.') == std::u16string::npos)
        return valueForKey(keyPath);
    auto [first, rest] = detail::splitFirstKey(keyPath);
    Value v = valueForKey(first);
    return rest.isEmpty() ? v : fnd::valueForKeyPath(v, rest);
}

void Object::setValueForKeyPath(const Value& value, const String& keyPath)
{
    if (keyPath.units().find(u'.') == std::u16string::npos) {
        setValueForKey(value, keyPath);
        return;
    }
    auto [first, rest] = detail::splitFirstKey(keyPath);
    if (rest.isEmpty()) {
        setValueForKey(value, first);
        return;
    }
    Value child = valueForKey(first);
    if (child.isNil())
        return;
    if (auto o = child.object()) {
        o->setValueForKeyPath(value, rest);
        return;
    }
    Value changed = child;
    fnd::setValueForKeyPath(changed, value, rest);
    // A dictionary or array is a value: the changed copy goes back through the key, which notifies its observers.
    if ((changed.isDictionary() || changed.isArray()) && !(changed == child))
        setValueForKey(changed, first);
}

Value Object::valueForUndefinedKey(const String& key) const
{
    return KeyValueCoding::valueForUndefinedKey(selfValue(), key);
}

void Object::setValueForUndefinedKey(const Value& value, const String& key)
{
    KeyValueCoding::setValueForUndefinedKey(selfValue(), value, key);
}

void Object::setNilValueForKey(const String& key)
{
    throw Exception::invalidArgument(
        String(fmt::format("[<{} {}> setNilValueForKey]: could not set nil as the value for the key {}.",
            className().utf8(), static_cast<const void*>(this), key.utf8())));
}

}
