#include "platform/foundation/archiving/SequentialArchiver.h"

#include "platform/foundation/detail/SequentialArchiveFormat.h"
#include "platform/foundation/runtime/Exception.h"

#include <fmt/format.h>

#include <bit>

namespace fnd {

namespace SequentialFormat = detail::SequentialArchiveFormat;

SequentialArchiver::SequentialArchiver()
{
    m_bytes.append(SequentialFormat::Magic);
    put(static_cast<char>(SequentialFormat::Version));
}

Expected<Data> SequentialArchiver::archivedDataWithRootObject(const Value& root)
{
    // The first pass learns which objects are archived at all; it stays alive so that no address it saw is reused.
    SequentialArchiver survey;
    survey.encodeObject(root);
    if (survey.error())
        return std::unexpected(*survey.error());

    SequentialArchiver archiver;
    for (const auto& [object, number] : survey.m_objectNumbers)
        archiver.m_willBeEncoded.insert(object);
    archiver.encodeObject(root);
    return archiver.archiverData();
}

Expected<Data> SequentialArchiver::archiverData() const
{
    if (error())
        return std::unexpected(*error());
    return Data::fromString(m_bytes);
}

Index SequentialArchiver::versionForClassName(const String& className) const
{
    auto* cls = ClassRegistry::shared().find(className);
    return cls ? classVersion(*cls) : NotFound;
}

void SequentialArchiver::putUnsigned(std::uint64_t value)
{
    do {
        auto low = static_cast<std::uint8_t>(value & 0x7F);
        value >>= 7;
        put(static_cast<char>(value ? low | 0x80 : low));
    } while (value);
}

void SequentialArchiver::putSigned(std::int64_t value)
{
    auto bits = static_cast<std::uint64_t>(value);
    putUnsigned((bits << 1) ^ (value < 0 ? ~std::uint64_t(0) : 0));
}

void SequentialArchiver::putFixed(std::uint64_t bits, int size)
{
    for (int i = 0; i < size; ++i)
        put(static_cast<char>((bits >> (8 * i)) & 0xFF));
}

void SequentialArchiver::putDouble(double value)
{
    putFixed(std::bit_cast<std::uint64_t>(value), 8);
}

void SequentialArchiver::putString(const String& text)
{
    putUnsigned(text.view().size());
    for (char16_t unit : text.view())
        putFixed(unit, 2);
}

void SequentialArchiver::putClass(const ClassInfo& cls)
{
    if (auto it = m_classNumbers.find(&cls); it != m_classNumbers.end()) {
        put(SequentialFormat::ClassReference);
        putUnsigned(it->second);
        return;
    }
    std::uint64_t number = m_classNumbers.size();
    m_classNumbers[&cls] = number;
    std::uint64_t count = 0;
    for (const ClassInfo* c = &cls; c; c = c->superclass)
        ++count;
    put(SequentialFormat::NewClass);
    putUnsigned(count);
    for (const ClassInfo* c = &cls; c; c = c->superclass) {
        putString(c->name);
        putSigned(classVersion(*c));
    }
}

void SequentialArchiver::putObject(const std::shared_ptr<Object>& object)
{
    if (auto it = m_objectNumbers.find(object.get()); it != m_objectNumbers.end()) {
        put(SequentialFormat::ObjectReference);
        putUnsigned(it->second);
        return;
    }
    auto* coding = dynamic_cast<const Coding*>(object.get());
    if (!coding) {
        failWithError(detail::coderError(CoderError::InvalidArchiveOperation,
            fmt::format("Objects of class {} cannot be archived.", object->className().utf8())));
        put(SequentialFormat::NilValue);
        return;
    }
    // Numbered before its items, so the object's own items may refer back to it.
    std::uint64_t number = m_objectNumbers.size();
    m_objectNumbers[object.get()] = number;
    m_retained.push_back(object);
    put(SequentialFormat::NewObject);
    putClass(object->classInfo());
    coding->encodeWithCoder(*this);
    put(SequentialFormat::EndOfObject);
}

void SequentialArchiver::putValue(const Value& value)
{
    if (m_depth >= SequentialFormat::MaxDepth) {
        failWithError(detail::coderError(CoderError::InvalidArchiveOperation,
            fmt::format("Objects are nested more than {} deep.", SequentialFormat::MaxDepth)));
        put(SequentialFormat::NilValue);
        return;
    }
    ++m_depth;
    switch (value.type()) {
    case Value::Type::Nil:
        put(SequentialFormat::NilValue);
        break;
    case Value::Type::Null:
        put(SequentialFormat::NullValue);
        break;
    case Value::Type::String:
        put(SequentialFormat::StringValue);
        putString(*value.string());
        break;
    case Value::Type::Number: {
        const Number& n = *value.number();
        switch (n.kind()) {
        case Number::Kind::Bool:
            put(SequentialFormat::BoolValue);
            put(n.boolValue() ? 1 : 0);
            break;
        case Number::Kind::Integer:
            put(SequentialFormat::IntegerValue);
            putFixed(static_cast<std::uint64_t>(n.integerValue()), 8);
            break;
        case Number::Kind::Unsigned:
            put(SequentialFormat::UnsignedValue);
            putFixed(n.unsignedValue(), 8);
            break;
        case Number::Kind::Float:
            put(SequentialFormat::FloatValue);
            putFixed(std::bit_cast<std::uint32_t>(n.floatValue()), 4);
            break;
        case Number::Kind::Double:
            put(SequentialFormat::DoubleValue);
            putDouble(n.doubleValue());
            break;
        }
        break;
    }
    case Value::Type::Data:
        put(SequentialFormat::DataValue);
        putUnsigned(value.data()->length());
        m_bytes.append(value.data()->view());
        break;
    case Value::Type::Date:
        put(SequentialFormat::DateValue);
        putDouble(value.date()->timeIntervalSinceReferenceDate());
        break;
    case Value::Type::Array:
        put(SequentialFormat::ArrayValue);
        putUnsigned(value.array()->size());
        for (const Value& element : *value.array())
            putValue(element);
        break;
    case Value::Type::Dictionary:
        put(SequentialFormat::DictionaryValue);
        putUnsigned(value.dictionary()->count());
        for (const auto& [key, element] : *value.dictionary()) {
            putString(key);
            putValue(element);
        }
        break;
    case Value::Type::Range:
        put(SequentialFormat::RangeValue);
        putFixed(static_cast<std::uint64_t>(value.range()->location), 8);
        putFixed(static_cast<std::uint64_t>(value.range()->length), 8);
        break;
    case Value::Type::Point:
        put(SequentialFormat::PointValue);
        putDouble(value.point()->x);
        putDouble(value.point()->y);
        break;
    case Value::Type::Size:
        put(SequentialFormat::SizeValue);
        putDouble(value.size()->width);
        putDouble(value.size()->height);
        break;
    case Value::Type::Rect: {
        auto r = *value.rect();
        put(SequentialFormat::RectValue);
        for (double d : { r.origin.x, r.origin.y, r.size.width, r.size.height })
            putDouble(d);
        break;
    }
    case Value::Type::Object:
        putObject(value.object());
        break;
    case Value::Type::Set:
        put(SequentialFormat::SetValue);
        putUnsigned(value.set()->count());
        for (const Value& member : *value.set())
            putValue(member);
        break;
    }
    --m_depth;
}

void SequentialArchiver::encodeObject(const Value& object)
{
    put(SequentialFormat::ObjectItem);
    putValue(object);
}

void SequentialArchiver::encodeConditionalObject(const Value& object)
{
    auto* raw = object.object().get();
    if (raw && !m_objectNumbers.contains(raw) && !m_willBeEncoded.contains(raw)) {
        put(SequentialFormat::ObjectItem);
        put(SequentialFormat::NilValue);
        return;
    }
    encodeObject(object);
}

void SequentialArchiver::encodeValueOfObjCType(char type, Number value)
{
    int size = SequentialFormat::scalarSize(type);
    if (!size)
        throw Exception::invalidArgument(String(fmt::format("'{}' is not a scalar type code.", type)));
    put(type);
    switch (type) {
    case 'f':
        putFixed(std::bit_cast<std::uint32_t>(value.floatValue()), 4);
        break;
    case 'd':
        putDouble(value.doubleValue());
        break;
    case 'B':
        put(value.boolValue() ? 1 : 0);
        break;
    case 'C':
    case 'S':
    case 'I':
    case 'Q':
        putFixed(value.unsignedValue(), size);
        break;
    default:
        putFixed(static_cast<std::uint64_t>(value.integerValue()), size);
    }
}

void SequentialArchiver::encodeDataObject(const Data& data)
{
    put(SequentialFormat::DataItem);
    putUnsigned(data.length());
    m_bytes.append(data.view());
}

void SequentialArchiver::encodePoint(gfx::Point point)
{
    put(SequentialFormat::PointItem);
    putDouble(point.x);
    putDouble(point.y);
}

void SequentialArchiver::encodeSize(gfx::Size size)
{
    put(SequentialFormat::SizeItem);
    putDouble(size.width);
    putDouble(size.height);
}

void SequentialArchiver::encodeRect(gfx::Rect rect)
{
    put(SequentialFormat::RectItem);
    for (double d : { rect.origin.x, rect.origin.y, rect.size.width, rect.size.height })
        putDouble(d);
}

}
