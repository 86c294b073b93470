#include "platform/foundation/runtime/String.h"

#include "platform/foundation/runtime/CharacterSet.h"
#include "platform/foundation/detail/StringDetail.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace fnd {

namespace {

// The path without trailing separators, keeping a lone "/".
std::u16string_view withoutTrailingSlashes(std::u16string_view p)
{
    while (p.size() > 1 && p.back() == '/')
        p.remove_suffix(1);
    return p;
}

// Start of the last component of a path that has no trailing separator.
std::size_t lastComponentStart(std::u16string_view p)
{
    std::size_t slash = p.rfind(u'/');
    return slash == std::u16string_view::npos ? 0 : slash + 1;
}

// The index of the "." that starts the extension of the last component, or npos.
std::size_t extensionDot(std::u16string_view p)
{
    std::size_t start = lastComponentStart(p);
    std::size_t dot = p.rfind(u'.');
    if (dot == std::u16string_view::npos || dot <= start || dot + 1 == p.size())
        return std::u16string_view::npos;
    return dot;
}

std::optional<std::string> homeOf(std::u16string_view user)
{
    if (user.empty()) {
        if (const char* home = std::getenv("HOME"); home && *home)
            return std::string(home);
    }
    std::vector<char> buffer(16384);
    passwd entry {};
    passwd* found = nullptr;
    int rc = user.empty() ? getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found)
                          : getpwnam_r(String(user).utf8().c_str(), &entry, buffer.data(), buffer.size(), &found);
    if (rc != 0 || !found || !found->pw_dir)
        return std::nullopt;
    return std::string(found->pw_dir);
}

int hexValue(char16_t u)
{
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// Strict UTF-8 check (no overlongs, surrogates or values beyond U+10FFFF).
bool isValidUTF8(const std::string& s)
{
    for (std::size_t i = 0; i < s.size();) {
        auto c = static_cast<unsigned char>(s[i]);
        int extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
        if (extra < 0 || s.size() - i <= static_cast<std::size_t>(extra))
            return false;
        char32_t cp = extra == 0 ? c : c & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            auto b = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
            if ((b & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (b & 0x3F);
        }
        static constexpr char32_t minimum[] = { 0, 0x80, 0x800, 0x10000 };
        if (cp < minimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

}

String String::lastPathComponent() const
{
    auto p = withoutTrailingSlashes(m_units);
    if (p == u"/")
        return String(u"/");
    return String(p.substr(lastComponentStart(p)));
}

String String::stringByDeletingLastPathComponent() const
{
    auto p = withoutTrailingSlashes(m_units);
    std::size_t slash = p.rfind(u'/');
    if (slash == std::u16string_view::npos)
        return String();
    if (p == u"/")
        return String(u"/");
    auto head = p.substr(0, slash);
    while (head.size() > 1 && head.back() == '/')
        head.remove_suffix(1);
    return String(head.empty() ? std::u16string_view(u"/") : head);
}

String String::stringByAppendingPathComponent(const String& component) const
{
    std::u16string joined = m_units;
    if (!joined.empty() && !component.isEmpty())
        joined += u'/';
    joined += component.m_units;
    // Runs of separators collapse and a trailing one goes, as paths are compared as text elsewhere.
    std::u16string out;
    out.reserve(joined.size());
    for (char16_t u : joined)
        if (!(u == '/' && !out.empty() && out.back() == '/'))
            out += u;
    return String(withoutTrailingSlashes(out));
}

String String::pathExtension() const
{
    auto p = withoutTrailingSlashes(m_units);
    std::size_t dot = extensionDot(p);
    return dot == std::u16string_view::npos ? String() : String(p.substr(dot + 1));
}

String String::stringByDeletingPathExtension() const
{
    auto p = withoutTrailingSlashes(m_units);
    std::size_t dot = extensionDot(p);
    return String(dot == std::u16string_view::npos ? p : p.substr(0, dot));
}

String String::stringByAppendingPathExtension(const String& extension) const
{
    auto p = withoutTrailingSlashes(m_units);
    if (p.empty() || p == u"/")
        return *this;
    std::u16string out(p);
    out += u'.';
    out += extension.m_units;
    return String(std::move(out));
}

std::vector<String> String::pathComponents() const
{
    std::vector<String> parts;
    auto p = view();
    std::size_t i = 0;
    if (!p.empty() && p[0] == '/') {
        parts.emplace_back(u"/");
        while (i < p.size() && p[i] == '/')
            ++i;
    }
    while (i < p.size()) {
        std::size_t end = p.find(u'/', i);
        if (end == std::u16string_view::npos)
            end = p.size();
        parts.emplace_back(p.substr(i, end - i));
        i = end;
        while (i < p.size() && p[i] == '/')
            ++i;
        if (i == p.size() && end < p.size())
            parts.emplace_back(u"/");
    }
    return parts;
}

String String::stringByExpandingTildeInPath() const
{
    if (m_units.empty() || m_units[0] != '~')
        return *this;
    std::size_t slash = m_units.find(u'/');
    if (slash == std::u16string::npos)
        slash = m_units.size();
    auto home = homeOf(std::u16string_view(m_units).substr(1, slash - 1));
    if (!home)
        return *this;
    String expanded(*home);
    expanded.m_units.append(m_units, slash);
    return String(withoutTrailingSlashes(expanded.m_units));
}

std::optional<String> String::stringByAddingPercentEncodingWithAllowedCharacters(const CharacterSet& allowed) const
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::u16string out;
    out.reserve(m_units.size());
    std::size_t count;
    for (std::size_t i = 0; i < m_units.size(); i += count) {
        char32_t cp = detail::codePointAt(m_units, i, count);
        if (cp >= 0xD800 && cp <= 0xDFFF)
            return std::nullopt;
        if (allowed.longCharacterIsMember(cp)) {
            out.append(m_units, i, count);
            continue;
        }
        for (char byte : String(std::u16string_view(m_units).substr(i, count)).utf8()) {
            auto b = static_cast<unsigned char>(byte);
            out += u'%';
            out += static_cast<char16_t>(hex[b >> 4]);
            out += static_cast<char16_t>(hex[b & 15]);
        }
    }
    return String(std::move(out));
}

std::optional<String> String::stringByRemovingPercentEncoding() const
{
    // Each run of adjacent escapes is one UTF-8 sequence; the text between runs is kept as it is.
    std::u16string out;
    out.reserve(m_units.size());
    std::size_t i = 0;
    while (i < m_units.size()) {
        if (m_units[i] != '%') {
            out += m_units[i++];
            continue;
        }
        std::string bytes;
        while (i < m_units.size() && m_units[i] == '%') {
            if (i + 2 >= m_units.size())
                return std::nullopt;
            int high = hexValue(m_units[i + 1]);
            int low = hexValue(m_units[i + 2]);
            if (high < 0 || low < 0)
                return std::nullopt;
            bytes += static_cast<char>(high * 16 + low);
            i += 3;
        }
        if (!isValidUTF8(bytes))
            return std::nullopt;
        out += String(bytes).m_units;
    }
    return String(std::move(out));
}

}
