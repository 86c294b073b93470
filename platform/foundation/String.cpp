#include "platform/foundation/String.h"

#include "platform/foundation/Exception.h"

#include <ostream>

namespace fnd {

namespace {

void appendUTF16(std::u16string& out, char32_t cp)
{
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
}

// Decodes UTF-8; ill-formed sequences become U+FFFD so that literals and file names never throw.
std::u16string decodeUTF8(std::string_view in)
{
    std::u16string out;
    out.reserve(in.size());
    std::size_t i = 0;
    while (i < in.size()) {
        auto c = static_cast<unsigned char>(in[i]);
        char32_t cp;
        int extra;
        if (c < 0x80) {
            cp = c;
            extra = 0;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            extra = 2;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07;
            extra = 3;
        } else {
            out += u'\uFFFD';
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
            out += u'\uFFFD';
            ++i;
            continue;
        }
        appendUTF16(out, cp);
        i += extra + 1;
    }
    return out;
}

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
    appendUTF16(units, codePoint);
    return String(std::move(units));
}

char16_t String::characterAt(Index i) const
{
    if (i < 0 || i >= length())
        throw Exception::range(fmt::format("index {} beyond length {}", i, length()));
    return m_units[static_cast<std::size_t>(i)];
}

std::string String::utf8() const
{
    std::string out;
    out.reserve(m_units.size());
    for (std::size_t i = 0; i < m_units.size(); ++i) {
        char32_t cp = m_units[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < m_units.size() && m_units[i + 1] >= 0xDC00
            && m_units[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (m_units[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD; // a lone surrogate has no UTF-8 form
        }
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

static void checkRange(Range r, Index length)
{
    if (r.location < 0 || r.length < 0 || r.location > length || r.length > length - r.location)
        throw Exception::range(fmt::format("range {{{}, {}}} beyond length {}", r.location, r.length, length));
}

String String::substring(Range r) const
{
    checkRange(r, length());
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
    checkRange(r, length());
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

std::size_t String::hash() const
{
    return std::hash<std::u16string>()(m_units);
}

std::ostream& operator<<(std::ostream& os, const String& s)
{
    return os << s.utf8();
}

}
