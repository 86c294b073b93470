#include "platform/foundation/archiving/KeyedUnarchiver.h"

#include "platform/foundation/archiving/PropertyList.h"
#include "platform/foundation/detail/KeyedArchiveFormat.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <utility>

namespace fnd {

namespace KeyedFormat = detail::KeyedArchiveFormat;

namespace {

struct GlobalClasses {
    std::mutex mutex;
    std::map<String, const ClassInfo*> classes;
};

GlobalClasses& globalClasses()
{
    static GlobalClasses shared;
    return shared;
}

// A number meant as a 64-bit integer: whole numbers exactly, reals cut to their whole part. Beyond ±2^63 (or NaN) no
// integer is meant.
std::optional<std::int64_t> keyedArchiveInteger(const Number& number)
{
    if (number.isReal()) {
        const double d = number.doubleValue();
        if (!(d >= -0x1p63 && d < 0x1p63))
            return std::nullopt;
        return static_cast<std::int64_t>(d);
    }
    if (number.kind() == Number::Kind::Unsigned && number.unsignedValue() > INT64_MAX)
        return std::nullopt;
    return number.integerValue();
}

// A whole number stored as one (a reference, a count): reals and booleans are not.
std::optional<std::int64_t> integerIn(const Value* value)
{
    if (!value || !value->number() || value->number()->isReal() || value->number()->kind() == Number::Kind::Bool)
        return std::nullopt;
    return keyedArchiveInteger(*value->number());
}
}

KeyedUnarchiver::KeyedUnarchiver(const Data& data)
{
    auto plist = PropertyList::read(data);
    if (!plist) {
        failWithError(detail::coderError(CoderError::ReadCorrupt,
            fmt::format("The archive could not be read: {}", plist.error().localizedDescription().utf8())));
        return;
    }
    Dictionary* root = plist->dictionary();
    const Value* format = root ? root->find(KeyedFormat::FormatKey) : nullptr;
    if (!format || !format->string() || *format->string() != String(KeyedFormat::Identifier)) {
        fail("the data is not a keyed archive");
        return;
    }
    auto version = integerIn(root->find(KeyedFormat::FormatVersionKey));
    if (!version || *version < 1) {
        fail("the format version is missing");
        return;
    }
    if (*version > KeyedFormat::Version) {
        fail(fmt::format("it was written in format version {}, newer than this program reads", *version));
        return;
    }
    Value* top = root->find(KeyedFormat::TopKey);
    Value* objects = root->find(KeyedFormat::ObjectsKey);
    Value* classes = root->find(KeyedFormat::ClassesKey);
    if (!top || !top->dictionary() || !objects || !objects->array() || !classes || !classes->array()) {
        fail("the top keys, objects or classes are missing");
        return;
    }
    // The parsed list is this archive's alone: its tables move in rather than being copied.
    m_top = std::move(*top->dictionary());
    m_objects = std::move(*objects->array());
    m_classes = std::move(*classes->array());

    for (const Value& cls : m_classes) {
        const Dictionary* entry = cls.dictionary();
        const Value* hierarchy = entry ? entry->find(KeyedFormat::HierarchyKey) : nullptr;
        const Value* versions = entry ? entry->find(KeyedFormat::VersionsKey) : nullptr;
        if (!hierarchy || !hierarchy->array() || hierarchy->array()->empty() || !versions || !versions->array()
            || versions->array()->size() != hierarchy->array()->size()) {
            fail("a class description is malformed");
            return;
        }
        for (std::size_t i = 0; i < hierarchy->array()->size(); ++i) {
            const String* name = (*hierarchy->array())[i].string();
            auto classVersion = integerIn(&(*versions->array())[i]);
            if (!name || !classVersion) {
                fail("a class description is malformed");
                return;
            }
            m_versions.emplace(*name, *classVersion);
        }
    }
}

Expected<Value> KeyedUnarchiver::unarchiveTopLevelObjectWithData(const Data& data)
{
    KeyedUnarchiver unarchiver(data);
    if (!unarchiver.hasFailed() && !unarchiver.containsValueForKey(String(KeyedFormat::RootKey)))
        unarchiver.fail("it holds no root object");
    Value root = unarchiver.decodeObjectForKey(String(KeyedFormat::RootKey));
    unarchiver.finishDecoding();
    if (unarchiver.error())
        return std::unexpected(*unarchiver.error());
    return root;
}

Value KeyedUnarchiver::unarchiveObjectWithData(const Data& data)
{
    auto root = unarchiveTopLevelObjectWithData(data);
    return root ? *root : Value();
}

void KeyedUnarchiver::performAfterDecoding(std::function<void()> step)
{
    if (!hasFailed())
        m_afterDecoding.push_back(std::move(step));
}

void KeyedUnarchiver::finishDecoding()
{
    auto steps = std::move(m_afterDecoding);
    m_afterDecoding.clear();
    if (hasFailed())
        return;
    for (auto& step : steps)
        step();
}

void KeyedUnarchiver::setClass(const ClassInfo& cls, const String& className)
{
    m_classesForNames[className] = &cls;
}

void KeyedUnarchiver::setGlobalClass(const ClassInfo& cls, const String& className)
{
    auto& table = globalClasses();
    std::lock_guard lock(table.mutex);
    table.classes[className] = &cls;
}

const ClassInfo* KeyedUnarchiver::classForClassName(const String& className) const
{
    auto it = m_classesForNames.find(className);
    return it == m_classesForNames.end() ? nullptr : it->second;
}

const ClassInfo* KeyedUnarchiver::globalClassForClassName(const String& className)
{
    auto& table = globalClasses();
    std::lock_guard lock(table.mutex);
    auto it = table.classes.find(className);
    return it == table.classes.end() ? nullptr : it->second;
}

Index KeyedUnarchiver::versionForClassName(const String& className) const
{
    auto it = m_versions.find(className);
    return it == m_versions.end() ? NotFound : it->second;
}

void KeyedUnarchiver::fail(const std::string& description)
{
    failWithError(
        detail::coderError(CoderError::ReadCorrupt, fmt::format("The archive could not be read: {}.", description)));
}

const Dictionary* KeyedUnarchiver::currentEntry() const
{
    Index entry = m_entryStack.back();
    return entry == TopLevel ? &m_top : m_objects[static_cast<std::size_t>(entry)].dictionary();
}

const Value* KeyedUnarchiver::slot(const String& key) const
{
    if (hasFailed())
        return nullptr;
    return currentEntry()->find(KeyedFormat::storedKey(key));
}

bool KeyedUnarchiver::containsValueForKey(const String& key) const
{
    return slot(key) != nullptr;
}

const Number* KeyedUnarchiver::numberSlot(const String& key, const char* expected)
{
    const Value* value = slot(key);
    if (!value)
        return nullptr;
    if (!value->number()) {
        fail(fmt::format("the value under the key \"{}\" is not {}", key.utf8(), expected));
        return nullptr;
    }
    return value->number();
}

Value KeyedUnarchiver::decodeObjectForKey(const String& key)
{
    const Value* value = slot(key);
    return value ? valueFrom(*value) : Value();
}

Value KeyedUnarchiver::decodeOwnedObjectForKey(const String& key)
{
    const Value* value = slot(key);
    if (!value)
        return {};
    m_refusesObjectsBeingDecoded = true;
    Value decoded = valueFrom(*value);
    m_refusesObjectsBeingDecoded = false;
    return decoded;
}

bool KeyedUnarchiver::isBeingDecoded(std::int64_t index) const
{
    return std::find(m_entryStack.begin(), m_entryStack.end(), index) != m_entryStack.end();
}

bool KeyedUnarchiver::decodeBoolForKey(const String& key)
{
    const Number* number = numberSlot(key, "a boolean");
    return number && number->boolValue();
}

std::int64_t KeyedUnarchiver::decodeInt64ForKey(const String& key)
{
    const Number* number = numberSlot(key, "an integer");
    if (!number)
        return 0;
    auto integer = keyedArchiveInteger(*number);
    if (!integer)
        fail(fmt::format("the value under the key \"{}\" does not fit in 64 bits", key.utf8()));
    return integer.value_or(0);
}

float KeyedUnarchiver::decodeFloatForKey(const String& key)
{
    const Number* number = numberSlot(key, "a number");
    return number ? number->floatValue() : 0.0f;
}

double KeyedUnarchiver::decodeDoubleForKey(const String& key)
{
    const Number* number = numberSlot(key, "a number");
    return number ? number->doubleValue() : 0.0;
}

Data KeyedUnarchiver::decodeBytesForKey(const String& key)
{
    const Value* value = slot(key);
    if (!value)
        return {};
    if (!value->data()) {
        fail(fmt::format("the value under the key \"{}\" is not bytes", key.utf8()));
        return {};
    }
    return *value->data();
}

std::optional<std::vector<double>> KeyedUnarchiver::numbersIn(const Value& slot, const String& tag, std::size_t count)
{
    const Dictionary* tagged = slot.dictionary();
    const Value* content = tagged && tagged->count() == 1 ? tagged->find(tag) : nullptr;
    if (!content || !content->array() || content->array()->size() != count) {
        fail(fmt::format("a {} is malformed", tag.substringFrom(1).utf8()));
        return std::nullopt;
    }
    std::vector<double> numbers;
    for (const Value& element : *content->array()) {
        if (!element.number()) {
            fail(fmt::format("a {} is malformed", tag.substringFrom(1).utf8()));
            return std::nullopt;
        }
        numbers.push_back(element.number()->doubleValue());
    }
    return numbers;
}

// A range's ends are read as integers (the not-found location is the largest index, which no double holds); one
// beyond the indexes, or not a number at all, is refused.
std::optional<Range> KeyedUnarchiver::rangeIn(const Value& slot)
{
    const Dictionary* tagged = slot.dictionary();
    const Value* content = tagged && tagged->count() == 1 ? tagged->find(KeyedFormat::RangeKey) : nullptr;
    const Array* ends = content ? content->array() : nullptr;
    if (!ends || ends->size() != 2) {
        fail("a range is malformed");
        return std::nullopt;
    }
    Index parts[2];
    for (std::size_t i = 0; i < 2; ++i) {
        const Number* number = (*ends)[i].number();
        if (!number) {
            fail("a range is malformed");
            return std::nullopt;
        }
        auto integer = keyedArchiveInteger(*number);
        if (!integer) {
            fail(fmt::format("a range has an end ({}) beyond the indexes", number->stringValue().utf8()));
            return std::nullopt;
        }
        parts[i] = *integer;
    }
    return Range { parts[0], parts[1] };
}

gfx::Point KeyedUnarchiver::decodePointForKey(const String& key)
{
    const Value* value = slot(key);
    auto n = value ? numbersIn(*value, KeyedFormat::PointKey, 2) : std::nullopt;
    return n ? gfx::Point { (*n)[0], (*n)[1] } : gfx::Point {};
}

gfx::Size KeyedUnarchiver::decodeSizeForKey(const String& key)
{
    const Value* value = slot(key);
    auto n = value ? numbersIn(*value, KeyedFormat::SizeKey, 2) : std::nullopt;
    return n ? gfx::Size { (*n)[0], (*n)[1] } : gfx::Size {};
}

gfx::Rect KeyedUnarchiver::decodeRectForKey(const String& key)
{
    const Value* value = slot(key);
    auto n = value ? numbersIn(*value, KeyedFormat::RectKey, 4) : std::nullopt;
    return n ? gfx::Rect((*n)[0], (*n)[1], (*n)[2], (*n)[3]) : gfx::Rect {};
}

Value KeyedUnarchiver::valueFrom(const Value& slot)
{
    if (hasFailed())
        return {};
    switch (slot.type()) {
    case Value::Type::String:
    case Value::Type::Number:
    case Value::Type::Data:
    case Value::Type::Date:
        return slot;
    case Value::Type::Dictionary:
        break;
    default:
        fail("a value is malformed");
        return {};
    }

    const Dictionary& tagged = *slot.dictionary();
    if (tagged.count() != 1) {
        fail("a value is malformed");
        return {};
    }
    const auto& [tag, content] = *tagged.begin();
    if (tag == KeyedFormat::Reference) {
        auto index = integerIn(&content);
        if (!index) {
            fail("an object reference is malformed");
            return {};
        }
        return objectAt(*index);
    }
    if (tag == KeyedFormat::Nil)
        return {};
    if (tag == KeyedFormat::Null)
        return Null {};
    if (tag == KeyedFormat::EscapedString) {
        if (!content.data() || content.data()->length() % 2) {
            fail("an escaped string is malformed");
            return {};
        }
        const Data& bytes = *content.data();
        std::u16string units(bytes.length() / 2, u'\0');
        for (std::size_t i = 0; i < units.size(); ++i)
            units[i] = static_cast<char16_t>(bytes.bytes()[2 * i] | (bytes.bytes()[2 * i + 1] << 8));
        return String(std::move(units));
    }
    if (tag == KeyedFormat::ArrayKey && content.array()) {
        Array array;
        array.reserve(content.array()->size());
        for (const Value& element : *content.array())
            array.push_back(valueFrom(element));
        return hasFailed() ? Value() : Value(std::move(array));
    }
    if (tag == KeyedFormat::SetKey && content.array()) {
        Set set;
        for (const Value& element : *content.array())
            set.add(valueFrom(element));
        return hasFailed() ? Value() : Value(std::move(set));
    }
    if (tag == KeyedFormat::DictionaryKey && content.dictionary()) {
        Dictionary dictionary;
        for (const auto& [key, element] : *content.dictionary())
            dictionary.set(key, valueFrom(element));
        return hasFailed() ? Value() : Value(std::move(dictionary));
    }
    if (tag == KeyedFormat::PointKey) {
        auto n = numbersIn(slot, tag, 2);
        return n ? Value(gfx::Point { (*n)[0], (*n)[1] }) : Value();
    }
    if (tag == KeyedFormat::SizeKey) {
        auto n = numbersIn(slot, tag, 2);
        return n ? Value(gfx::Size { (*n)[0], (*n)[1] }) : Value();
    }
    if (tag == KeyedFormat::RectKey) {
        auto n = numbersIn(slot, tag, 4);
        return n ? Value(gfx::Rect((*n)[0], (*n)[1], (*n)[2], (*n)[3])) : Value();
    }
    if (tag == KeyedFormat::RangeKey) {
        auto range = rangeIn(slot);
        return range ? Value(*range) : Value();
    }
    fail(fmt::format("a value has the unknown tag \"{}\"", tag.utf8()));
    return {};
}

const ClassInfo* KeyedUnarchiver::resolveClass(std::int64_t classIndex)
{
    if (classIndex < 0 || static_cast<std::uint64_t>(classIndex) >= m_classes.size()) {
        fail(fmt::format("an object refers to class {}, which the archive does not describe", classIndex));
        return nullptr;
    }
    const String& name = *m_classes[static_cast<std::size_t>(classIndex)]
                              .dictionary()
                              ->find(KeyedFormat::HierarchyKey)
                              ->array()
                              ->front()
                              .string();
    const ClassInfo* substituted = classForClassName(name);
    if (!substituted)
        substituted = globalClassForClassName(name);
    if (substituted) {
        // The class reads the version stored under its former name when it asks with its own.
        m_versions.emplace(substituted->name, versionForClassName(name));
        return substituted;
    }
    if (auto* cls = ClassRegistry::shared().find(name))
        return cls;
    fail(fmt::format("it holds an object of class {}, which this program does not know", name.utf8()));
    return nullptr;
}

Value KeyedUnarchiver::objectAt(std::int64_t index)
{
    if (hasFailed())
        return {};
    if (index < 0 || static_cast<std::uint64_t>(index) >= m_objects.size()) {
        fail(fmt::format("a reference points to object {}, which the archive does not hold", index));
        return {};
    }
    if (auto it = m_decoded.find(index); it != m_decoded.end()) {
        if (m_refusesObjectsBeingDecoded && isBeingDecoded(index)) {
            fail(fmt::format("object {} would own itself or an object that contains it", index));
            return {};
        }
        return it->second;
    }

    const Dictionary* entry = m_objects[static_cast<std::size_t>(index)].dictionary();
    auto classIndex = integerIn(entry ? entry->find(KeyedFormat::ClassKey) : nullptr);
    if (!classIndex) {
        fail(fmt::format("object {} has no class", index));
        return {};
    }
    const ClassInfo* cls = resolveClass(*classIndex);
    if (!cls)
        return {};
    if (m_entryStack.size() > static_cast<std::size_t>(KeyedFormat::MaxObjectDepth)) {
        fail(fmt::format("objects are nested more than {} deep", KeyedFormat::MaxObjectDepth));
        return {};
    }
    std::shared_ptr<Object> object = cls->decodingFactory ? cls->decodingFactory() : nullptr;
    auto* coding = dynamic_cast<Coding*>(object.get());
    if (!coding) {
        fail(fmt::format("objects of class {} cannot be unarchived", cls->name.utf8()));
        return {};
    }

    m_decoded[index] = object;
    m_entryStack.push_back(index);
    // The object's own decode calls choose for themselves what they refuse.
    bool refusing = std::exchange(m_refusesObjectsBeingDecoded, false);
    bool accepted = coding->initWithCoder(*this);
    m_refusesObjectsBeingDecoded = refusing;
    m_entryStack.pop_back();
    if (!accepted || hasFailed()) {
        m_decoded[index] = Value();
        return {};
    }
    return object;
}

}
