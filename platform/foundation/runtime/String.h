#pragma once

#include "platform/foundation/runtime/Range.h"

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fnd {

class CharacterSet;
class Value;

// Options of search and comparison, with the platform's bit values (callers pass them through unchanged).
enum class StringCompareOptions : unsigned {
    None = 0,
    // Letters compare by their full case folding ("ss" finds "ß").
    CaseInsensitive = 1,
    // Code units compare exactly; without it, canonically equivalent text matches (a precomposed "é" equals "e"
    // followed by the combining acute accent).
    Literal = 2,
    // Search from the end of the range.
    Backwards = 4,
    // The match must start at the range's start (or, backwards, end at its end).
    Anchored = 8,
    // Runs of decimal digits compare by numeric value ("a9" < "a10"); compare only.
    Numeric = 64,
};

constexpr StringCompareOptions operator|(StringCompareOptions a, StringCompareOptions b)
{
    return static_cast<StringCompareOptions>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}
constexpr StringCompareOptions operator&(StringCompareOptions a, StringCompareOptions b)
{
    return static_cast<StringCompareOptions>(static_cast<unsigned>(a) & static_cast<unsigned>(b));
}
constexpr StringCompareOptions operator~(StringCompareOptions a)
{
    return static_cast<StringCompareOptions>(~static_cast<unsigned>(a));
}
constexpr bool hasOption(StringCompareOptions options, StringCompareOptions option)
{
    return (options & option) != StringCompareOptions::None;
}

// Text as UTF-16 code units. Lengths, indexes and ranges count code units, so a character outside the BMP takes two.
// A value type: copies are independent. Operations that take an index or a range raise a range exception when it
// lies beyond the text (a programming error); operations on text from outside never raise.
// Code points of UTF-16 text. A surrogate pair reads as one code point of two units; a lone surrogate reads as itself.
constexpr bool isLeadSurrogate(char32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}
constexpr bool isTrailSurrogate(char32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}
constexpr bool isSurrogate(char32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDFFF;
}

struct CodePoint {
    char32_t value;
    // In UTF-16 units: 1 or 2.
    std::size_t length;
};

// The code point that starts at index (which must be inside the units).
constexpr CodePoint codePointAt(std::u16string_view units, std::size_t index)
{
    char32_t unit = units[index];
    if (isLeadSurrogate(unit) && index + 1 < units.size() && isTrailSurrogate(units[index + 1]))
        return { 0x10000 + ((unit - 0xD800) << 10) + (char32_t(units[index + 1]) - 0xDC00), 2 };
    return { unit, 1 };
}

class String {
public:
    String() = default;
    String(const char* utf8);
    String(std::string_view utf8);
    String(const std::string& utf8);
    String(std::u16string units)
        : m_units(std::move(units))
    {
    }
    String(const char16_t* units)
        : m_units(units)
    {
    }
    String(std::u16string_view units)
        : m_units(units)
    {
    }

    static String fromUTF8(std::string_view utf8);
    // A code point above U+FFFF becomes a surrogate pair; a value beyond U+10FFFF becomes U+FFFD.
    static String fromCodePoint(char32_t codePoint);

    // printf-style formatting; see StringFormat.h for the conversions and for the variadic form.
    static String format(const String& format, const std::vector<Value>& arguments);

    Index length() const { return static_cast<Index>(m_units.size()); }
    bool isEmpty() const { return m_units.empty(); }
    char16_t characterAt(Index i) const;
    // The code point starting at unit i (see fnd::codePointAt).
    CodePoint codePointAt(Index i) const { return fnd::codePointAt(m_units, static_cast<std::size_t>(i)); }
    const std::u16string& units() const { return m_units; }
    std::u16string_view view() const { return m_units; }

    std::string utf8() const;
    // The text itself, so that strings describe themselves as every value does.
    const String& description() const { return *this; }

    String substring(Range r) const;
    String substringFrom(Index i) const;
    String substringTo(Index i) const;

    String appending(const String& other) const;
    void append(const String& other) { m_units += other.m_units; }
    void append(char16_t unit) { m_units += unit; }
    void replaceCharacters(Range r, const String& replacement);
    void insert(const String& s, Index at);
    void deleteCharacters(Range r);

    // Searching. Not found gives Range::notFound(); an empty needle is never found.
    Range rangeOfString(const String& needle, StringCompareOptions options = StringCompareOptions::None) const;
    Range rangeOfString(const String& needle, StringCompareOptions options, Range range) const;
    // The code point found (two units for a surrogate pair). CaseInsensitive also accepts the other cases of a
    // character; Literal and Numeric have no effect.
    Range rangeOfCharacterFromSet(
        const CharacterSet& set, StringCompareOptions options = StringCompareOptions::None) const;
    Range rangeOfCharacterFromSet(const CharacterSet& set, StringCompareOptions options, Range range) const;
    bool hasPrefix(const String& prefix) const;
    bool hasSuffix(const String& suffix) const;

    // Comparing; Backwards and Anchored have no effect. The range limits the receiver's part that is compared.
    std::weak_ordering compare(const String& other, StringCompareOptions options = StringCompareOptions::None) const;
    std::weak_ordering compare(const String& other, StringCompareOptions options, Range range) const;
    std::weak_ordering caseInsensitiveCompare(const String& other) const;

    // Composed character sequences: user-perceived characters (extended grapheme clusters), so a surrogate pair,
    // a letter with its combining marks and CR LF each form one.
    Range rangeOfComposedCharacterSequenceAtIndex(Index i) const;
    Range rangeOfComposedCharacterSequencesForRange(Range r) const;

    // Replacing every match of target (searched with the options inside the range, Anchored: only the match at the
    // anchor). The in-place form answers how many were replaced.
    String stringByReplacingOccurrencesOfString(const String& target, const String& replacement,
        StringCompareOptions options = StringCompareOptions::None) const;
    String stringByReplacingOccurrencesOfString(
        const String& target, const String& replacement, StringCompareOptions options, Range range) const;
    Index replaceOccurrencesOfString(
        const String& target, const String& replacement, StringCompareOptions options, Range range);

    // Trimming, splitting, padding.
    String stringByTrimmingCharactersInSet(const CharacterSet& set) const;
    // "a,,b" gives "a", "", "b"; an empty receiver gives one empty string.
    std::vector<String> componentsSeparatedByString(const String& separator) const;
    std::vector<String> componentsSeparatedByCharactersInSet(const CharacterSet& separators) const;
    // Cut or extended to newLength units, repeating pad from padIndex on.
    String stringByPaddingToLength(Index newLength, const String& pad, Index padIndex) const;

    // Case mapping over the whole Unicode repertoire, independent of the user's language.
    String uppercaseString() const;
    String lowercaseString() const;
    // The first character of every word (a run between white space or line breaks) in title case, the rest lower.
    String capitalizedString() const;

    // Numeric prefixes: leading white space and line breaks are skipped, then the longest number is read; text
    // that does not begin with a number gives 0. Integers saturate at their type's limits.
    double doubleValue() const;
    float floatValue() const { return static_cast<float>(doubleValue()); }
    std::int32_t intValue() const;
    std::int64_t integerValue() const;
    long long longLongValue() const { return integerValue(); }
    // True for text beginning (after white space, a sign and zeros) with Y, y, T, t or a digit 1 to 9.
    bool boolValue() const;

    // Paths, "/" separated. Trailing separators are ignored except in a bare "/".
    String lastPathComponent() const;
    String stringByDeletingLastPathComponent() const;
    String stringByAppendingPathComponent(const String& component) const;
    // The text after the last "." of the last component; none for a leading "." (hidden files).
    String pathExtension() const;
    String stringByDeletingPathExtension() const;
    // The receiver unchanged when it has no last component to extend ("" or "/").
    String stringByAppendingPathExtension(const String& extension) const;
    // "/", then each component, then "/" again when the path ends with one.
    std::vector<String> pathComponents() const;
    // "~" or "~/..." from $HOME, "~user/..." from the password database; unknown users stay unchanged.
    String stringByExpandingTildeInPath() const;

    // Percent escapes over UTF-8: every byte of a character outside the set becomes "%XX" (upper-case hex). Fails
    // for text with a lone surrogate, which has no UTF-8 form.
    std::optional<String> stringByAddingPercentEncodingWithAllowedCharacters(const CharacterSet& allowed) const;
    // Fails when a "%" is not followed by two hex digits or the decoded bytes are not UTF-8.
    std::optional<String> stringByRemovingPercentEncoding() const;

    // Hash over the whole content, stable within one process.
    std::size_t hash() const;

    bool operator==(const String& other) const = default;
    // Literal order of code units, as an unqualified compare does.
    std::strong_ordering operator<=>(const String& other) const { return m_units <=> other.m_units; }

    String& operator+=(const String& other)
    {
        m_units += other.m_units;
        return *this;
    }
    friend String operator+(String a, const String& b)
    {
        a += b;
        return a;
    }

private:
    std::u16string m_units;
};

using StringArray = std::vector<String>;

// The strings joined with the separator between each two.
String componentsJoinedByString(const std::vector<String>& strings, const String& separator);

std::ostream& operator<<(std::ostream&, const String&);

}

template <> struct std::hash<fnd::String> {
    std::size_t operator()(const fnd::String& s) const { return s.hash(); }
};
