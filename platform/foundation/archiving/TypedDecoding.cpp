#include "platform/foundation/archiving/TypedDecoding.h"

#include <fmt/format.h>

#include <cmath>

namespace fnd {

void failDecoding(Coder& coder, const std::string& description)
{
    coder.failWithError(
        detail::coderError(CoderError::ReadCorrupt, fmt::format("The archive could not be read: {}.", description)));
}

String decodeStringForKey(Coder& coder, const String& key)
{
    return decodeOptionalStringForKey(coder, key).value_or(String());
}

std::optional<String> decodeOptionalStringForKey(Coder& coder, const String& key)
{
    Value value = coder.decodeObjectForKey(key);
    if (value.isNil() || coder.hasFailed())
        return std::nullopt;
    if (!value.string()) {
        failDecoding(coder, detail::keyDescription(key) + " is not a string");
        return std::nullopt;
    }
    return *value.string();
}

double decodeBoundedDoubleForKey(Coder& coder, const String& key, double minimum, double maximum, double fallback)
{
    if (!coder.containsValueForKey(key))
        return fallback;
    double value = coder.decodeDoubleForKey(key);
    if (coder.hasFailed())
        return fallback;
    if (!std::isfinite(value) || value < minimum || value > maximum) {
        failDecoding(
            coder, fmt::format("{} ({}) is outside {} to {}", detail::keyDescription(key), value, minimum, maximum));
        return fallback;
    }
    return value;
}

std::int64_t decodeBoundedIntegerForKey(
    Coder& coder, const String& key, std::int64_t minimum, std::int64_t maximum, std::int64_t fallback)
{
    if (!coder.containsValueForKey(key))
        return fallback;
    std::int64_t value = coder.decodeInt64ForKey(key);
    if (coder.hasFailed())
        return fallback;
    if (value < minimum || value > maximum) {
        failDecoding(
            coder, fmt::format("{} ({}) is outside {} to {}", detail::keyDescription(key), value, minimum, maximum));
        return fallback;
    }
    return value;
}

}
