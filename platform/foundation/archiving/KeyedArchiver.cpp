#include "platform/foundation/archiving/KeyedArchiver.h"

#include "platform/foundation/archiving/PropertyList.h"
#include "platform/foundation/detail/KeyedArchiveFormat.h"
#include "platform/foundation/runtime/Exception.h"

#include <fmt/format.h>

#include <mutex>

namespace fnd {

namespace KeyedFormat = detail::KeyedArchiveFormat;

namespace {

struct GlobalClassNames {
    std::mutex mutex;
    std::map<const ClassInfo*, String> names;
};

GlobalClassNames& globalClassNames()
{
    static GlobalClassNames shared;
    return shared;
}

// Characters an XML property list cannot carry send the string through the UTF-16 escape.
bool fitsInXML(const String& text)
{
    auto units = text.view();
    for (std::size_t i = 0; i < units.size(); ++i) {
        auto [c, length] = codePointAt(units, i);
        if (length == 2) {
            ++i;
            continue;
        }
        bool allowed = c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD);
        if (!allowed)
            return false;
    }
    return true;
}

Data utf16LittleEndian(const String& text)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.view().size() * 2);
    for (char16_t unit : text.view()) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return Data(std::move(bytes));
}

Value tagged(const String& tag, Value content)
{
    // Moved in: a dictionary made from a braced list copies its entries, and a nested slot's content would be
    // copied once for every level above it.
    Dictionary slot;
    slot.set(tag, std::move(content));
    return slot;
}

}

KeyedArchiver::KeyedArchiver() = default;

Expected<Data> KeyedArchiver::archivedDataWithRootObject(const Value& root)
{
    KeyedArchiver archiver;
    archiver.encodeObject(root, String(KeyedFormat::RootKey));
    return archiver.encodedData();
}

void KeyedArchiver::setClassName(const String& name, const ClassInfo& cls)
{
    m_classNames[&cls] = name;
}

void KeyedArchiver::setGlobalClassName(const String& name, const ClassInfo& cls)
{
    auto& table = globalClassNames();
    std::lock_guard lock(table.mutex);
    table.names[&cls] = name;
}

std::optional<String> KeyedArchiver::classNameForClass(const ClassInfo& cls) const
{
    auto it = m_classNames.find(&cls);
    return it == m_classNames.end() ? std::nullopt : std::optional(it->second);
}

std::optional<String> KeyedArchiver::globalClassNameForClass(const ClassInfo& cls)
{
    auto& table = globalClassNames();
    std::lock_guard lock(table.mutex);
    auto it = table.names.find(&cls);
    return it == table.names.end() ? std::nullopt : std::optional(it->second);
}

String KeyedArchiver::storedName(const ClassInfo& cls) const
{
    if (auto name = classNameForClass(cls))
        return *name;
    if (auto name = globalClassNameForClass(cls))
        return *name;
    return cls.name;
}

Index KeyedArchiver::versionForClassName(const String& className) const
{
    auto* cls = ClassRegistry::shared().find(className);
    return cls ? classVersion(*cls) : NotFound;
}

Dictionary& KeyedArchiver::currentEntry()
{
    Index entry = m_entryStack.back();
    return entry == TopLevel ? m_top : m_objects[static_cast<std::size_t>(entry)];
}

void KeyedArchiver::store(const String& key, Value slot)
{
    if (m_finished)
        throw Exception(ExceptionName::InvalidArchiveOperation, "The keyed archiver has finished encoding.");
    currentEntry().set(KeyedFormat::storedKey(key), std::move(slot));
}

Index KeyedArchiver::classIndexFor(const ClassInfo& cls)
{
    if (auto it = m_classIndexes.find(&cls); it != m_classIndexes.end())
        return it->second;
    Array hierarchy;
    Array versions;
    for (const ClassInfo* c = &cls; c; c = c->superclass) {
        hierarchy.push_back(storedName(*c));
        versions.push_back(classVersion(*c));
    }
    auto index = static_cast<Index>(m_classes.size());
    m_classes.push_back(Dictionary {
        { KeyedFormat::HierarchyKey, std::move(hierarchy) }, { KeyedFormat::VersionsKey, std::move(versions) } });
    m_classIndexes[&cls] = index;
    return index;
}

Value KeyedArchiver::referenceTo(const std::shared_ptr<Object>& object)
{
    if (auto it = m_objectIndexes.find(object.get()); it != m_objectIndexes.end())
        return tagged(KeyedFormat::Reference, it->second);

    auto* coding = dynamic_cast<const Coding*>(object.get());
    if (!coding) {
        failWithError(detail::coderError(CoderError::InvalidArchiveOperation,
            fmt::format("Objects of class {} cannot be archived.", object->className().utf8())));
        return tagged(KeyedFormat::Nil, true);
    }
    if (m_entryStack.size() > static_cast<std::size_t>(KeyedFormat::MaxObjectDepth)) {
        failWithError(detail::coderError(CoderError::InvalidArchiveOperation,
            fmt::format("Objects are nested more than {} deep.", KeyedFormat::MaxObjectDepth)));
        return tagged(KeyedFormat::Nil, true);
    }

    // The index is taken before the object encodes itself, so references back to it (cycles) find it.
    auto index = static_cast<Index>(m_objects.size());
    m_objects.emplace_back();
    m_objectIndexes[object.get()] = index;
    m_retained.push_back(object);
    m_objects.back().set(KeyedFormat::ClassKey, classIndexFor(object->classInfo()));

    m_entryStack.push_back(index);
    coding->encodeWithCoder(*this);
    m_entryStack.pop_back();
    return tagged(KeyedFormat::Reference, index);
}

Value KeyedArchiver::slotFor(const Value& value)
{
    switch (value.type()) {
    case Value::Type::Nil:
        return tagged(KeyedFormat::Nil, true);
    case Value::Type::Null:
        return tagged(KeyedFormat::Null, true);
    case Value::Type::String:
        return fitsInXML(*value.string()) ? value
                                          : tagged(KeyedFormat::EscapedString, utf16LittleEndian(*value.string()));
    case Value::Type::Number:
    case Value::Type::Data:
    case Value::Type::Date:
        return value;
    case Value::Type::Array: {
        Array slots;
        slots.reserve(value.array()->size());
        for (const Value& element : *value.array())
            slots.push_back(slotFor(element));
        return tagged(KeyedFormat::ArrayKey, std::move(slots));
    }
    case Value::Type::Dictionary: {
        Dictionary slots;
        for (const auto& [key, element] : *value.dictionary())
            slots.set(key, slotFor(element));
        return tagged(KeyedFormat::DictionaryKey, std::move(slots));
    }
    case Value::Type::Range: {
        auto r = *value.range();
        return tagged(KeyedFormat::RangeKey, Array { r.location, r.length });
    }
    case Value::Type::Point: {
        auto p = *value.point();
        return tagged(KeyedFormat::PointKey, Array { p.x, p.y });
    }
    case Value::Type::Size: {
        auto s = *value.size();
        return tagged(KeyedFormat::SizeKey, Array { s.width, s.height });
    }
    case Value::Type::Rect: {
        auto r = *value.rect();
        return tagged(KeyedFormat::RectKey, Array { r.origin.x, r.origin.y, r.size.width, r.size.height });
    }
    case Value::Type::Object:
        return referenceTo(value.object());
    case Value::Type::Set: {
        Array slots;
        slots.reserve(value.set()->count());
        for (const Value& member : *value.set())
            slots.push_back(slotFor(member));
        return tagged(KeyedFormat::SetKey, std::move(slots));
    }
    }
    return tagged(KeyedFormat::Nil, true);
}

void KeyedArchiver::encodeObject(const Value& object, const String& key)
{
    store(key, slotFor(object));
}

void KeyedArchiver::encodeConditionalObject(const Value& object, const String& key)
{
    if (!object.isObject()) {
        encodeObject(object, key);
        return;
    }
    // Resolved by finishEncoding, when it is known whether the object was archived anywhere.
    m_conditionals.push_back({ m_entryStack.back(), KeyedFormat::storedKey(key), object.object().get() });
    store(key, tagged(KeyedFormat::Nil, true));
}

void KeyedArchiver::encodeBool(bool value, const String& key)
{
    store(key, value);
}
void KeyedArchiver::encodeInt64(std::int64_t value, const String& key)
{
    store(key, static_cast<long long>(value));
}
void KeyedArchiver::encodeFloat(float value, const String& key)
{
    store(key, static_cast<double>(value));
}
void KeyedArchiver::encodeDouble(double value, const String& key)
{
    store(key, value);
}
void KeyedArchiver::encodeBytes(const Data& bytes, const String& key)
{
    store(key, bytes);
}
void KeyedArchiver::encodePoint(gfx::Point point, const String& key)
{
    store(key, slotFor(point));
}
void KeyedArchiver::encodeSize(gfx::Size size, const String& key)
{
    store(key, slotFor(size));
}
void KeyedArchiver::encodeRect(gfx::Rect rect, const String& key)
{
    store(key, slotFor(rect));
}

void KeyedArchiver::finishEncoding()
{
    if (m_finished)
        return;
    for (const auto& conditional : m_conditionals) {
        auto it = m_objectIndexes.find(conditional.object);
        if (it == m_objectIndexes.end())
            continue;
        Dictionary& entry
            = conditional.entry == TopLevel ? m_top : m_objects[static_cast<std::size_t>(conditional.entry)];
        entry.set(conditional.key, tagged(KeyedFormat::Reference, it->second));
    }
    m_finished = true;
}

Expected<Data> KeyedArchiver::encodedData()
{
    finishEncoding();
    if (error())
        return std::unexpected(*error());
    // The tables move into the list for writing and back out after it, rather than being copied: an archive may be
    // large, and it may be asked for again.
    Array objects;
    objects.reserve(m_objects.size());
    for (auto& entry : m_objects)
        objects.emplace_back(std::move(entry));
    Dictionary root;
    root.set(KeyedFormat::FormatKey, String(KeyedFormat::Identifier));
    root.set(KeyedFormat::FormatVersionKey, static_cast<long long>(KeyedFormat::Version));
    root.set(KeyedFormat::TopKey, std::move(m_top));
    root.set(KeyedFormat::ObjectsKey, std::move(objects));
    root.set(KeyedFormat::ClassesKey, std::move(m_classes));
    // Handed over as a value of its own: a dictionary passed where a value is taken would be copied whole.
    Value list(std::move(root));
    auto written = PropertyList::writeXML(list);
    Dictionary& back = *list.dictionary();
    m_top = std::move(*back.find(KeyedFormat::TopKey)->dictionary());
    m_classes = std::move(*back.find(KeyedFormat::ClassesKey)->array());
    Array& writtenObjects = *back.find(KeyedFormat::ObjectsKey)->array();
    for (std::size_t i = 0; i < m_objects.size(); ++i)
        m_objects[i] = std::move(*writtenObjects[i].dictionary());
    if (!written)
        return std::unexpected(detail::coderError(CoderError::InvalidArchiveOperation,
            fmt::format("The archive could not be written: {}", written.error().localizedDescription().utf8())));
    return written;
}

}
