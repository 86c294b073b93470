#include "platform/foundation/runtime/String.h"

#include "platform/foundation/detail/StringDetail.h"
#include "platform/foundation/runtime/CharacterSet.h"
#include "platform/foundation/runtime/Exception.h"

#include <unicode/casemap.h>
#include <unicode/stringoptions.h>
#include <unicode/ustring.h>

#include <ostream>

namespace fnd {

namespace {

// Decodes UTF-8; ill-formed sequences become U+FFFD so that literals and file names never throw.
std::u16string decodeUTF8(std::string_view in)
{
    // No sequence gives more units than it has bytes, so the units are written in place and the length set once:
    // every literal and key becomes a String through here, and appending unit by unit costs several times more.
    std::u16string out(in.size(), u'\0');
    char16_t* units = out.data();
    std::size_t n = 0;
    std::size_t i = 0;
    while (i < in.size()) {
        auto c = static_cast<unsigned char>(in[i]);
        if (c < 0x80) {
            units[n++] = c;
            ++i;
            continue;
        }
        char32_t cp;
        int extra;
        if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            extra = 2;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07;
            extra = 3;
        } else {
            units[n++] = u'\uFFFD';
            ++i;
            continue;
        }
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= in.size() || (static_cast<unsigned char>(in[i + k]) & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (static_cast<unsigned char>(in[i + k]) & 0x3F);
        }
        static constexpr char32_t minimum[] = { 0, 0x80, 0x800, 0x10000 };
        if (!ok || cp < minimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            units[n++] = u'\uFFFD';
            ++i;
            continue;
        }
        if (cp < 0x10000) {
            units[n++] = static_cast<char16_t>(cp);
        } else {
            cp -= 0x10000;
            units[n++] = static_cast<char16_t>(0xD800 + (cp >> 10));
            units[n++] = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    out.resize(n);
    return out;
}

// Runs one ICU case mapping with the usual preflight-then-fill protocol.
template <typename Map> std::u16string mapCase(std::u16string_view in, Map&& map)
{
    std::u16string out(in.size(), u'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        UErrorCode status = U_ZERO_ERROR;
        int32_t n
            = map(out.data(), static_cast<int32_t>(out.size()), in.data(), static_cast<int32_t>(in.size()), &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            out.resize(static_cast<std::size_t>(n));
            continue;
        }
        if (U_FAILURE(status))
            return std::u16string(in);
        out.resize(static_cast<std::size_t>(n));
        return out;
    }
    return std::u16string(in);
}

}

void detail::checkRange(Range r, Index length)
{
    if (r.location < 0 || r.length < 0 || r.location > length || r.length > length - r.location)
        throw Exception::range(fmt::format("range {{{}, {}}} beyond length {}", r.location, r.length, length));
}

void detail::checkIndex(Index i, Index length)
{
    if (i < 0 || i >= length)
        throw Exception::range(fmt::format("index {} beyond length {}", i, length));
}

String::String(const char* utf8)
    : m_units(decodeUTF8(utf8 ? std::string_view(utf8) : std::string_view()))
{
}

String::String(std::string_view utf8)
    : m_units(decodeUTF8(utf8))
{
}

String::String(const std::string& utf8)
    : m_units(decodeUTF8(utf8))
{
}

String String::fromUTF8(std::string_view utf8)
{
    return String(utf8);
}

String String::fromCodePoint(char32_t codePoint)
{
    std::u16string units;
    detail::appendCodePoint(units, codePoint);
    return String(std::move(units));
}

char16_t String::characterAt(Index i) const
{
    detail::checkIndex(i, length());
    return m_units[static_cast<std::size_t>(i)];
}

std::string String::utf8() const
{
    std::string out;
    out.reserve(m_units.size());
    for (std::size_t i = 0; i < m_units.size();) {
        std::size_t count;
        char32_t cp = detail::codePointAt(m_units, i, count);
        i += count;
        if (cp >= 0xD800 && cp <= 0xDFFF)
            cp = 0xFFFD; // a lone surrogate has no UTF-8 form
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

String String::substring(Range r) const
{
    detail::checkRange(r, length());
    return String(m_units.substr(static_cast<std::size_t>(r.location), static_cast<std::size_t>(r.length)));
}

String String::substringFrom(Index i) const
{
    return substring({ i, length() - i });
}
String String::substringTo(Index i) const
{
    return substring({ 0, i });
}

String String::appending(const String& other) const
{
    return String(m_units + other.m_units);
}

void String::replaceCharacters(Range r, const String& replacement)
{
    detail::checkRange(r, length());
    m_units.replace(static_cast<std::size_t>(r.location), static_cast<std::size_t>(r.length), replacement.m_units);
}

void String::insert(const String& s, Index at)
{
    replaceCharacters({ at, 0 }, s);
}
void String::deleteCharacters(Range r)
{
    replaceCharacters(r, String());
}

String String::stringByTrimmingCharactersInSet(const CharacterSet& set) const
{
    std::size_t begin = 0, end = m_units.size(), count;
    while (begin < end && set.longCharacterIsMember(detail::codePointAt(m_units, begin, count)))
        begin += count;
    while (end > begin && set.longCharacterIsMember(detail::codePointBefore(m_units, end, count)))
        end -= count;
    return String(m_units.substr(begin, end - begin));
}

std::vector<String> String::componentsSeparatedByString(const String& separator) const
{
    std::vector<String> parts;
    if (separator.isEmpty())
        return { *this };
    auto text = view();
    std::size_t start = 0;
    for (;;) {
        std::size_t found = text.find(separator.view(), start);
        if (found == std::u16string_view::npos)
            break;
        parts.emplace_back(text.substr(start, found - start));
        start = found + separator.m_units.size();
    }
    parts.emplace_back(text.substr(start));
    return parts;
}

std::vector<String> String::componentsSeparatedByCharactersInSet(const CharacterSet& separators) const
{
    std::vector<String> parts;
    auto text = view();
    std::size_t start = 0, count;
    for (std::size_t i = 0; i < text.size(); i += count) {
        if (separators.longCharacterIsMember(detail::codePointAt(text, i, count))) {
            parts.emplace_back(text.substr(start, i - start));
            start = i + count;
        }
    }
    parts.emplace_back(text.substr(start));
    return parts;
}

String String::stringByPaddingToLength(Index newLength, const String& pad, Index padIndex) const
{
    if (newLength < 0)
        throw Exception::range(fmt::format("padding to the negative length {}", newLength));
    if (newLength <= length())
        return substringTo(newLength);
    if (pad.isEmpty() || padIndex < 0 || padIndex >= pad.length())
        throw Exception::range(fmt::format("pad index {} beyond the pad's length {}", padIndex, pad.length()));
    std::u16string out = m_units;
    out.reserve(static_cast<std::size_t>(newLength));
    auto p = static_cast<std::size_t>(padIndex);
    while (out.size() < static_cast<std::size_t>(newLength)) {
        out += pad.m_units[p];
        p = (p + 1) % pad.m_units.size();
    }
    return String(std::move(out));
}

String String::uppercaseString() const
{
    return String(mapCase(m_units, [](char16_t* d, int32_t dn, const char16_t* s, int32_t sn, UErrorCode* e) {
        return u_strToUpper(d, dn, s, sn, "", e);
    }));
}

String String::lowercaseString() const
{
    return String(mapCase(m_units, [](char16_t* d, int32_t dn, const char16_t* s, int32_t sn, UErrorCode* e) {
        return u_strToLower(d, dn, s, sn, "", e);
    }));
}

String String::capitalizedString() const
{
    // Words are cut at white space and line breaks only, so "o'neil-smith" stays one word: "O'neil-smith".
    const auto& separators = CharacterSet::whitespaceAndNewlineCharacterSet();
    std::u16string out;
    out.reserve(m_units.size());
    std::size_t i = 0, count;
    while (i < m_units.size()) {
        std::size_t wordStart = i;
        while (i < m_units.size() && !separators.longCharacterIsMember(detail::codePointAt(m_units, i, count)))
            i += count;
        if (i > wordStart) {
            out += mapCase(std::u16string_view(m_units).substr(wordStart, i - wordStart),
                [](char16_t* d, int32_t dn, const char16_t* s, int32_t sn, UErrorCode* e) {
                    return icu::CaseMap::toTitle("", U_TITLECASE_WHOLE_STRING | U_TITLECASE_NO_BREAK_ADJUSTMENT,
                        nullptr, s, sn, d, dn, nullptr, *e);
                });
        }
        std::size_t gapStart = i;
        while (i < m_units.size() && separators.longCharacterIsMember(detail::codePointAt(m_units, i, count)))
            i += count;
        out.append(m_units, gapStart, i - gapStart);
    }
    return String(std::move(out));
}

std::size_t String::hash() const
{
    return std::hash<std::u16string>()(m_units);
}

String componentsJoinedByString(const std::vector<String>& strings, const String& separator)
{
    String out;
    for (std::size_t i = 0; i < strings.size(); ++i) {
        if (i)
            out += separator;
        out += strings[i];
    }
    return out;
}

std::ostream& operator<<(std::ostream& os, const String& s)
{
    return os << s.utf8();
}

}
