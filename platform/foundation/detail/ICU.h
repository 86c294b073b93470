#pragma once

// Small helpers shared by the ICU-backed classes. Only .cpp files include this header.

#include "platform/foundation/runtime/String.h"
#include "platform/foundation/runtime/Value.h"

#include <unicode/utypes.h>

#include <string>

namespace fnd::detail {

inline const UChar* icuChars(const String& s)
{
    return reinterpret_cast<const UChar*>(s.units().data());
}
inline int32_t icuLength(const String& s)
{
    return static_cast<int32_t>(s.length());
}

// ICU counts time in milliseconds since the Unix epoch.
inline UDate icuMillis(Date date)
{
    return date.timeIntervalSince1970() * 1000.0;
}
inline Date dateFromIcuMillis(UDate ms)
{
    return Date::fromUnixTime(ms / 1000.0);
}

// Calls fill(buffer, capacity, status) and grows the buffer once when ICU reports the needed size. The result is
// empty when ICU fails.
template <typename Fill> String icuString(Fill fill, int32_t initialCapacity = 64)
{
    std::u16string buffer(static_cast<std::size_t>(initialCapacity), u'\0');
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = fill(reinterpret_cast<UChar*>(buffer.data()), initialCapacity, &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        buffer.assign(static_cast<std::size_t>(length) + 1, u'\0');
        status = U_ZERO_ERROR;
        length = fill(reinterpret_cast<UChar*>(buffer.data()), length + 1, &status);
    }
    if (U_FAILURE(status) || length < 0)
        return {};
    buffer.resize(static_cast<std::size_t>(length));
    return String(std::move(buffer));
}

// The same for char buffers (locale identifiers).
template <typename Fill> std::string icuBytes(Fill fill, int32_t initialCapacity = 64)
{
    std::string buffer(static_cast<std::size_t>(initialCapacity), '\0');
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = fill(buffer.data(), initialCapacity, &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        buffer.assign(static_cast<std::size_t>(length) + 1, '\0');
        status = U_ZERO_ERROR;
        length = fill(buffer.data(), length + 1, &status);
    }
    if (U_FAILURE(status) || length < 0)
        return {};
    buffer.resize(static_cast<std::size_t>(length));
    return buffer;
}

}
