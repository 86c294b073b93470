#include "platform/foundation/archiving/Coding.h"

#include "platform/foundation/runtime/Exception.h"

#include <map>
#include <mutex>

namespace fnd {

namespace {

struct ClassVersions {
    std::mutex mutex;
    std::map<const ClassInfo*, Index> versions;
};

ClassVersions& classVersions()
{
    static ClassVersions shared;
    return shared;
}

}

void setClassVersion(const ClassInfo& cls, Index version)
{
    auto& table = classVersions();
    std::lock_guard lock(table.mutex);
    table.versions[&cls] = version;
}

Index classVersion(const ClassInfo& cls)
{
    auto& table = classVersions();
    std::lock_guard lock(table.mutex);
    auto it = table.versions.find(&cls);
    return it == table.versions.end() ? 0 : it->second;
}

namespace detail {

Error coderError(std::int64_t code, const std::string& description)
{
    return Error::make(ErrorDomain::Cocoa, code, String(description));
}

}

void Coder::failWithError(const Error& error)
{
    if (!m_error)
        m_error = error;
}

void Coder::refuse(const char* operation) const
{
    throw Exception(ExceptionName::InvalidArchiveOperation,
        String(fmt::format("{} is not available on a {}.", operation, coderName())));
}

// Every operation is refused unless the concrete coder offers it.

void Coder::encodeObject(const Value&, const String&)
{
    refuse("encodeObject:forKey:");
}
void Coder::encodeConditionalObject(const Value&, const String&)
{
    refuse("encodeConditionalObject:forKey:");
}
void Coder::encodeBool(bool, const String&)
{
    refuse("encodeBool:forKey:");
}
void Coder::encodeInt64(std::int64_t, const String&)
{
    refuse("encodeInt64:forKey:");
}
void Coder::encodeFloat(float, const String&)
{
    refuse("encodeFloat:forKey:");
}
void Coder::encodeDouble(double, const String&)
{
    refuse("encodeDouble:forKey:");
}
void Coder::encodeBytes(const Data&, const String&)
{
    refuse("encodeBytes:forKey:");
}
void Coder::encodePoint(gfx::Point, const String&)
{
    refuse("encodePoint:forKey:");
}
void Coder::encodeSize(gfx::Size, const String&)
{
    refuse("encodeSize:forKey:");
}
void Coder::encodeRect(gfx::Rect, const String&)
{
    refuse("encodeRect:forKey:");
}

bool Coder::containsValueForKey(const String&) const
{
    refuse("containsValueForKey:");
}
Value Coder::decodeObjectForKey(const String&)
{
    refuse("decodeObjectForKey:");
}
Value Coder::decodeOwnedObjectForKey(const String&)
{
    refuse("decodeOwnedObjectForKey:");
}
bool Coder::decodeBoolForKey(const String&)
{
    refuse("decodeBoolForKey:");
}
std::int64_t Coder::decodeInt64ForKey(const String&)
{
    refuse("decodeInt64ForKey:");
}
float Coder::decodeFloatForKey(const String&)
{
    refuse("decodeFloatForKey:");
}
double Coder::decodeDoubleForKey(const String&)
{
    refuse("decodeDoubleForKey:");
}
Data Coder::decodeBytesForKey(const String&)
{
    refuse("decodeBytesForKey:");
}
gfx::Point Coder::decodePointForKey(const String&)
{
    refuse("decodePointForKey:");
}
gfx::Size Coder::decodeSizeForKey(const String&)
{
    refuse("decodeSizeForKey:");
}
gfx::Rect Coder::decodeRectForKey(const String&)
{
    refuse("decodeRectForKey:");
}

std::int32_t Coder::decodeInt32ForKey(const String& key)
{
    std::int64_t value = decodeInt64ForKey(key);
    if (value < INT32_MIN || value > INT32_MAX) {
        failWithError(detail::coderError(CoderError::ReadCorrupt,
            fmt::format("The value {} under the key \"{}\" does not fit in 32 bits.", value, key.utf8())));
        return 0;
    }
    return static_cast<std::int32_t>(value);
}

void Coder::encodeObject(const Value&)
{
    refuse("encodeObject:");
}
void Coder::encodeConditionalObject(const Value&)
{
    refuse("encodeConditionalObject:");
}
void Coder::encodeValueOfObjCType(char, Number)
{
    refuse("encodeValueOfObjCType:");
}
void Coder::encodeDataObject(const Data&)
{
    refuse("encodeDataObject:");
}
void Coder::encodePoint(gfx::Point)
{
    refuse("encodePoint:");
}
void Coder::encodeSize(gfx::Size)
{
    refuse("encodeSize:");
}
void Coder::encodeRect(gfx::Rect)
{
    refuse("encodeRect:");
}

Value Coder::decodeObject()
{
    refuse("decodeObject");
}
Number Coder::decodeValueOfObjCType(char)
{
    refuse("decodeValueOfObjCType:");
}
Data Coder::decodeDataObject()
{
    refuse("decodeDataObject");
}
gfx::Point Coder::decodePoint()
{
    refuse("decodePoint");
}
gfx::Size Coder::decodeSize()
{
    refuse("decodeSize");
}
gfx::Rect Coder::decodeRect()
{
    refuse("decodeRect");
}

}
