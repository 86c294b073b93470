#pragma once

#include "platform/foundation/runtime/Range.h"
#include "platform/foundation/runtime/String.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Helpers shared by the files of the string implementation.
namespace fnd::detail {

// Raise a range exception when the range or index lies beyond a text of the given length.
void checkRange(Range r, Index length);
void checkIndex(Index i, Index length);

// Number syntax shared by the string accessors and the scanner. Each reads from index at (no white space skipped)
// and answers the value and the index just past the number, or nothing when no number begins there.
template <typename T> struct Scanned {
    T value;
    std::size_t end;
};
// [+-] digits [separator digits] [(e|E) [+-] digits], at least one digit before or after the separator; overflow
// gives an infinity, underflow 0.
std::optional<Scanned<double>> scanDecimal(std::u16string_view s, std::size_t at, std::u16string_view separator);
// [+-] digits, saturating at the limits of 64 bits.
std::optional<Scanned<std::int64_t>> scanInteger(std::u16string_view s, std::size_t at);
// The index of the first character at or after at that is not white space or a line break.
std::size_t skipWhitespace(std::u16string_view s, std::size_t at);

// Code-point access to UTF-16 text. A lone surrogate reads as itself.

using fnd::isLeadSurrogate;
using fnd::isTrailSurrogate;

// The code point starting at i; count receives its length in units (1 or 2).
inline char32_t codePointAt(std::u16string_view s, std::size_t i, std::size_t& count)
{
    auto codePoint = fnd::codePointAt(s, i);
    count = codePoint.length;
    return codePoint.value;
}

// The code point ending just before end; count receives its length in units.
inline char32_t codePointBefore(std::u16string_view s, std::size_t end, std::size_t& count)
{
    char32_t u = s[end - 1];
    if (isTrailSurrogate(u) && end >= 2 && isLeadSurrogate(s[end - 2])) {
        count = 2;
        return 0x10000 + ((s[end - 2] - 0xD800) << 10) + (u - 0xDC00);
    }
    count = 1;
    return u;
}

inline void appendCodePoint(std::u16string& out, char32_t cp)
{
    if (cp > 0x10FFFF)
        cp = 0xFFFD;
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
}

}
