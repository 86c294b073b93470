#include "platform/foundation/archiving/SequentialUnarchiver.h"

#include "platform/foundation/detail/SequentialArchiveFormat.h"
#include "platform/foundation/runtime/Exception.h"

#include <fmt/format.h>

#include <bit>

namespace fnd {

namespace SequentialFormat = detail::SequentialArchiveFormat;

namespace {

std::string describeTag(char tag)
{
    if (tag >= 0x21 && tag <= 0x7E)
        return fmt::format("'{}'", tag);
    return fmt::format("byte 0x{:02X}", static_cast<unsigned char>(tag));
}

}

SequentialUnarchiver::SequentialUnarchiver(const Data& data)
    : m_data(data)
{
    if (!data.view().starts_with(SequentialFormat::Magic)) {
        fail("the data is not a sequential archive");
        return;
    }
    m_position = SequentialFormat::Magic.size();
    auto version = byte();
    if (!version)
        return;
    if (*version > SequentialFormat::Version)
        fail(fmt::format("it was written in format version {}, newer than this program reads", *version));
}

Expected<Value> SequentialUnarchiver::unarchiveTopLevelObjectWithData(const Data& data)
{
    SequentialUnarchiver unarchiver(data);
    Value root = unarchiver.decodeObject();
    if (!unarchiver.hasFailed() && !unarchiver.isAtEnd())
        unarchiver.fail("data follows the root object");
    if (unarchiver.error())
        return std::unexpected(*unarchiver.error());
    return root;
}

Value SequentialUnarchiver::unarchiveObjectWithData(const Data& data)
{
    auto root = unarchiveTopLevelObjectWithData(data);
    return root ? *root : Value();
}

Index SequentialUnarchiver::versionForClassName(const String& className) const
{
    auto it = m_versions.find(className);
    return it == m_versions.end() ? NotFound : it->second;
}

void SequentialUnarchiver::fail(const std::string& description)
{
    failWithError(detail::coderError(CoderError::ReadCorrupt,
        fmt::format("The archive could not be read: {} (at byte {}).", description, m_position)));
}

std::optional<std::uint8_t> SequentialUnarchiver::byte()
{
    if (hasFailed())
        return std::nullopt;
    if (m_position >= m_data.length()) {
        fail("it ends early");
        return std::nullopt;
    }
    return m_data.bytes()[m_position++];
}

std::optional<std::uint64_t> SequentialUnarchiver::fixed(int size)
{
    if (hasFailed())
        return std::nullopt;
    if (m_data.length() - m_position < static_cast<std::size_t>(size)) {
        fail("it ends early");
        return std::nullopt;
    }
    std::uint64_t bits = 0;
    for (int i = 0; i < size; ++i)
        bits |= static_cast<std::uint64_t>(m_data.bytes()[m_position + static_cast<std::size_t>(i)]) << (8 * i);
    m_position += static_cast<std::size_t>(size);
    return bits;
}

std::optional<double> SequentialUnarchiver::readDouble()
{
    auto bits = fixed(8);
    return bits ? std::optional(std::bit_cast<double>(*bits)) : std::nullopt;
}

std::optional<std::uint64_t> SequentialUnarchiver::readUnsigned()
{
    std::uint64_t value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        auto b = byte();
        if (!b)
            return std::nullopt;
        value |= static_cast<std::uint64_t>(*b & 0x7F) << shift;
        if (!(*b & 0x80))
            return value;
    }
    fail("a number is too long");
    return std::nullopt;
}

std::optional<std::int64_t> SequentialUnarchiver::readSigned()
{
    auto bits = readUnsigned();
    if (!bits)
        return std::nullopt;
    return static_cast<std::int64_t>((*bits >> 1) ^ (~(*bits & 1) + 1));
}

std::optional<std::size_t> SequentialUnarchiver::readCount(std::size_t unit)
{
    auto count = readUnsigned();
    if (!count)
        return std::nullopt;
    if (*count > (m_data.length() - m_position) / unit) {
        fail(fmt::format("a count of {} runs past the end", *count));
        return std::nullopt;
    }
    return static_cast<std::size_t>(*count);
}

std::optional<Data> SequentialUnarchiver::readBytes()
{
    auto length = readCount(1);
    if (!length)
        return std::nullopt;
    Data data(m_data.bytes() + m_position, *length);
    m_position += *length;
    return data;
}

std::optional<String> SequentialUnarchiver::readString()
{
    auto count = readCount(2);
    if (!count)
        return std::nullopt;
    std::u16string units(*count, u'\0');
    for (auto& unit : units)
        unit = static_cast<char16_t>(fixed(2).value_or(0));
    return String(std::move(units));
}

std::optional<std::vector<double>> SequentialUnarchiver::readDoubles(int count)
{
    std::vector<double> out;
    for (int i = 0; i < count; ++i) {
        auto d = readDouble();
        if (!d)
            return std::nullopt;
        out.push_back(*d);
    }
    return out;
}

bool SequentialUnarchiver::expectItem(char tag)
{
    if (hasFailed())
        return false;
    if (m_position >= m_data.length()) {
        fail(fmt::format("a value {} was read beyond the end", describeTag(tag)));
        return false;
    }
    char found = static_cast<char>(m_data.bytes()[m_position]);
    if (found == SequentialFormat::EndOfObject && !m_objectStack.empty()) {
        fail(fmt::format("an object of class {} read more values than were written", m_objectStack.back().utf8()));
        return false;
    }
    if (found != tag) {
        fail(fmt::format("a value {} was read where {} was written", describeTag(tag), describeTag(found)));
        return false;
    }
    ++m_position;
    return true;
}

const SequentialUnarchiver::ClassRecord* SequentialUnarchiver::readClass()
{
    auto tag = byte();
    if (!tag)
        return nullptr;
    if (*tag == SequentialFormat::ClassReference) {
        auto number = readUnsigned();
        if (!number)
            return nullptr;
        if (*number >= m_classes.size()) {
            fail(fmt::format("it refers to class {} before describing it", *number));
            return nullptr;
        }
        return &m_classes[static_cast<std::size_t>(*number)];
    }
    if (*tag != SequentialFormat::NewClass) {
        fail(fmt::format("{} stands where a class belongs", describeTag(static_cast<char>(*tag))));
        return nullptr;
    }
    auto count = readCount(2);
    if (!count)
        return nullptr;
    if (*count == 0) {
        fail("a class has no name");
        return nullptr;
    }
    String name;
    for (std::size_t i = 0; i < *count; ++i) {
        auto className = readString();
        auto version = className ? readSigned() : std::nullopt;
        if (!version)
            return nullptr;
        if (i == 0)
            name = *className;
        m_versions.emplace(*className, *version);
    }
    m_classes.push_back({ name, ClassRegistry::shared().find(name) });
    return &m_classes.back();
}

Value SequentialUnarchiver::readNewObject()
{
    const ClassRecord* record = readClass();
    if (!record)
        return {};
    if (!record->cls) {
        fail(fmt::format("it holds an object of class {}, which this program does not know", record->name.utf8()));
        return {};
    }
    std::shared_ptr<Object> object = record->cls->decodingFactory ? record->cls->decodingFactory() : nullptr;
    auto* coding = dynamic_cast<Coding*>(object.get());
    if (!coding) {
        fail(fmt::format("objects of class {} cannot be unarchived", record->name.utf8()));
        return {};
    }

    // Registered before its items are read, so they may refer back to it.
    std::size_t number = m_objects.size();
    m_objects.push_back(object);
    m_objectStack.push_back(record->name);
    bool accepted = coding->initWithCoder(*this);
    // Items an older reader does not know about are passed over.
    bool ended = skipItemsOfObject();
    m_objectStack.pop_back();
    if (!accepted || !ended || hasFailed()) {
        m_objects[number] = Value();
        return {};
    }
    return object;
}

Value SequentialUnarchiver::readValue()
{
    if (m_depth >= SequentialFormat::MaxDepth) {
        fail(fmt::format("objects are nested more than {} deep", SequentialFormat::MaxDepth));
        return {};
    }
    auto tag = byte();
    if (!tag)
        return {};
    struct DepthGuard {
        int& depth;
        explicit DepthGuard(int& d)
            : depth(d)
        {
            ++depth;
        }
        ~DepthGuard() { --depth; }
    } guard(m_depth);

    switch (static_cast<char>(*tag)) {
    case SequentialFormat::NilValue:
        return {};
    case SequentialFormat::NullValue:
        return Null {};
    case SequentialFormat::ObjectReference: {
        auto number = readUnsigned();
        if (!number)
            return {};
        if (*number >= m_objects.size()) {
            fail(fmt::format("it refers to object {} before writing it", *number));
            return {};
        }
        return m_objects[static_cast<std::size_t>(*number)];
    }
    case SequentialFormat::NewObject:
        return readNewObject();
    case SequentialFormat::StringValue: {
        auto text = readString();
        return text ? Value(*text) : Value();
    }
    case SequentialFormat::BoolValue: {
        auto b = byte();
        return b ? Value(*b != 0) : Value();
    }
    case SequentialFormat::IntegerValue: {
        auto bits = fixed(8);
        return bits ? Value(static_cast<long long>(*bits)) : Value();
    }
    case SequentialFormat::UnsignedValue: {
        auto bits = fixed(8);
        return bits ? Value(static_cast<unsigned long long>(*bits)) : Value();
    }
    case SequentialFormat::FloatValue: {
        auto bits = fixed(4);
        return bits ? Value(std::bit_cast<float>(static_cast<std::uint32_t>(*bits))) : Value();
    }
    case SequentialFormat::DoubleValue: {
        auto d = readDouble();
        return d ? Value(*d) : Value();
    }
    case SequentialFormat::DataValue: {
        auto data = readBytes();
        return data ? Value(std::move(*data)) : Value();
    }
    case SequentialFormat::DateValue: {
        auto d = readDouble();
        return d ? Value(Date::fromReferenceDate(*d)) : Value();
    }
    case SequentialFormat::ArrayValue: {
        auto count = readCount(1);
        if (!count)
            return {};
        Array array;
        array.reserve(*count);
        for (std::size_t i = 0; i < *count && !hasFailed(); ++i)
            array.push_back(readValue());
        return hasFailed() ? Value() : Value(std::move(array));
    }
    case SequentialFormat::SetValue: {
        auto count = readCount(1);
        if (!count)
            return {};
        Set set;
        for (std::size_t i = 0; i < *count && !hasFailed(); ++i)
            set.add(readValue());
        return hasFailed() ? Value() : Value(std::move(set));
    }
    case SequentialFormat::DictionaryValue: {
        auto count = readCount(2);
        if (!count)
            return {};
        Dictionary dictionary;
        for (std::size_t i = 0; i < *count && !hasFailed(); ++i) {
            auto key = readString();
            if (!key)
                break;
            dictionary.set(*key, readValue());
        }
        return hasFailed() ? Value() : Value(std::move(dictionary));
    }
    case SequentialFormat::RangeValue: {
        auto location = fixed(8);
        auto length = location ? fixed(8) : std::nullopt;
        return length ? Value(Range { static_cast<Index>(*location), static_cast<Index>(*length) }) : Value();
    }
    case SequentialFormat::PointValue: {
        auto d = readDoubles(2);
        return d ? Value(gfx::Point { (*d)[0], (*d)[1] }) : Value();
    }
    case SequentialFormat::SizeValue: {
        auto d = readDoubles(2);
        return d ? Value(gfx::Size { (*d)[0], (*d)[1] }) : Value();
    }
    case SequentialFormat::RectValue: {
        auto d = readDoubles(4);
        return d ? Value(gfx::Rect((*d)[0], (*d)[1], (*d)[2], (*d)[3])) : Value();
    }
    default:
        --m_position;
        fail(fmt::format("{} is not an object value", describeTag(static_cast<char>(*tag))));
        return {};
    }
}

bool SequentialUnarchiver::skipItemsOfObject()
{
    while (!hasFailed()) {
        auto tag = byte();
        if (!tag)
            return false;
        char item = static_cast<char>(*tag);
        if (item == SequentialFormat::EndOfObject)
            return true;
        if (int size = SequentialFormat::scalarSize(item)) {
            fixed(size);
            continue;
        }
        switch (item) {
        case SequentialFormat::DataItem: {
            auto length = readCount(1);
            if (length)
                m_position += *length;
            break;
        }
        case SequentialFormat::PointItem:
        case SequentialFormat::SizeItem:
            readDoubles(2);
            break;
        case SequentialFormat::RectItem:
            readDoubles(4);
            break;
        case SequentialFormat::ObjectItem:
            // Passed-over objects are still made, so later references to them resolve.
            readValue();
            break;
        default:
            --m_position;
            fail(fmt::format("{} is not an item", describeTag(item)));
        }
    }
    return false;
}

Value SequentialUnarchiver::decodeObject()
{
    if (!expectItem(SequentialFormat::ObjectItem))
        return {};
    return readValue();
}

Number SequentialUnarchiver::decodeValueOfObjCType(char type)
{
    int size = SequentialFormat::scalarSize(type);
    if (!size)
        throw Exception::invalidArgument(String(fmt::format("'{}' is not a scalar type code.", type)));
    if (!expectItem(type))
        return Number(0);
    auto bits = fixed(size);
    if (!bits)
        return Number(0);
    switch (type) {
    case 'c':
        return Number(static_cast<int>(static_cast<std::int8_t>(*bits)));
    case 's':
        return Number(static_cast<int>(static_cast<std::int16_t>(*bits)));
    case 'i':
        return Number(static_cast<int>(static_cast<std::int32_t>(*bits)));
    case 'q':
        return Number(static_cast<long long>(*bits));
    case 'C':
    case 'S':
    case 'I':
    case 'Q':
        return Number(static_cast<unsigned long long>(*bits));
    case 'f':
        return Number(std::bit_cast<float>(static_cast<std::uint32_t>(*bits)));
    case 'd':
        return Number(std::bit_cast<double>(*bits));
    default: // 'B'
        return Number(*bits != 0);
    }
}

Data SequentialUnarchiver::decodeDataObject()
{
    if (!expectItem(SequentialFormat::DataItem))
        return {};
    return readBytes().value_or(Data {});
}

gfx::Point SequentialUnarchiver::decodePoint()
{
    auto d = expectItem(SequentialFormat::PointItem) ? readDoubles(2) : std::nullopt;
    return d ? gfx::Point { (*d)[0], (*d)[1] } : gfx::Point {};
}

gfx::Size SequentialUnarchiver::decodeSize()
{
    auto d = expectItem(SequentialFormat::SizeItem) ? readDoubles(2) : std::nullopt;
    return d ? gfx::Size { (*d)[0], (*d)[1] } : gfx::Size {};
}

gfx::Rect SequentialUnarchiver::decodeRect()
{
    auto d = expectItem(SequentialFormat::RectItem) ? readDoubles(4) : std::nullopt;
    return d ? gfx::Rect((*d)[0], (*d)[1], (*d)[2], (*d)[3]) : gfx::Rect {};
}

}
