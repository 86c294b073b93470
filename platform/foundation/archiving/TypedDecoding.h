#pragma once

#include "platform/foundation/archiving/Coding.h"

#include <memory>
#include <optional>
#include <vector>

// Reading objects of an expected kind from a coder. An archive is outside data: what a key holds is checked, and a
// value of another kind fails the coder (which then returns defaults to every later call) instead of being taken for
// nil or, worse, used as what it is not.
namespace fnd {

// Records "The archive could not be read: <description>." as the coder's failure.
void failDecoding(Coder& coder, const std::string& description);

namespace detail {

template <typename T> std::shared_ptr<T> objectOfClass(Coder& coder, const Value& value, const std::string& where)
{
    if (value.isNil() || coder.hasFailed())
        return nullptr;
    auto object = std::dynamic_pointer_cast<T>(value.object());
    if (!object)
        failDecoding(coder, where + " is not a " + T::staticClassInfo().name.utf8());
    return object;
}

inline std::string keyDescription(const String& key)
{
    return "the value under the key \"" + key.utf8() + "\"";
}

}

// Whether the decoding object will own what it reads (its children: an object still being decoded is then refused,
// see Coder::decodeOwnedObjectForKey) or only refer to it (a delegate, a target, a partner).
enum class Ownership { Referenced, Owned };

// The object under the key as a T: nullptr when the key is absent or holds nil.
template <typename T>
std::shared_ptr<T> decodeObjectOfClass(Coder& coder, const String& key, Ownership ownership = Ownership::Referenced)
{
    Value value = ownership == Ownership::Owned ? coder.decodeOwnedObjectForKey(key) : coder.decodeObjectForKey(key);
    return detail::objectOfClass<T>(coder, value, detail::keyDescription(key));
}

// The next object of a sequential archive as a T (nullptr for nil).
template <typename T> std::shared_ptr<T> decodeObjectOfClass(Coder& coder)
{
    return detail::objectOfClass<T>(coder, coder.decodeObject(), "the next object");
}

// An array of T under the key, each element checked, at most maxCount of them; empty when the key is absent.
template <typename T>
std::vector<std::shared_ptr<T>> decodeArrayOfClass(
    Coder& coder, const String& key, std::size_t maxCount, Ownership ownership = Ownership::Referenced)
{
    Value value = ownership == Ownership::Owned ? coder.decodeOwnedObjectForKey(key) : coder.decodeObjectForKey(key);
    std::vector<std::shared_ptr<T>> objects;
    if (value.isNil() || coder.hasFailed())
        return objects;
    const Array* array = value.array();
    if (!array) {
        failDecoding(coder, detail::keyDescription(key) + " is not an array");
        return objects;
    }
    if (array->size() > maxCount) {
        failDecoding(coder, detail::keyDescription(key) + " holds more than " + std::to_string(maxCount) + " objects");
        return objects;
    }
    for (const Value& element : *array) {
        auto object = detail::objectOfClass<T>(coder, element, "an element of " + detail::keyDescription(key));
        if (!object) {
            if (!coder.hasFailed())
                failDecoding(coder, "an element of " + detail::keyDescription(key) + " is nil");
            return {};
        }
        objects.push_back(std::move(object));
    }
    return objects;
}

// The string under the key (the empty string when absent or nil); anything else fails the coder.
String decodeStringForKey(Coder& coder, const String& key);
// Present only when the key holds a string.
std::optional<String> decodeOptionalStringForKey(Coder& coder, const String& key);
// A finite number under the key, within [minimum, maximum], else the coder fails; the fallback when absent.
double decodeBoundedDoubleForKey(Coder& coder, const String& key, double minimum, double maximum, double fallback);
std::int64_t decodeBoundedIntegerForKey(
    Coder& coder, const String& key, std::int64_t minimum, std::int64_t maximum, std::int64_t fallback);

}
