#include "platform/foundation/files/StringsFile.h"

#include <fmt/format.h>

namespace fnd::StringsFile {

namespace {

const String Domain = "StringsFileErrorDomain";

// Decodes by byte-order mark: UTF-16 in either order, else UTF-8 (a UTF-8 mark is skipped).
std::u16string decode(const Data& bytes)
{
    auto view = bytes.view();
    auto utf16 = [&](bool bigEndian) {
        std::u16string out;
        out.reserve(view.size() / 2);
        for (std::size_t i = 2; i + 1 < view.size(); i += 2) {
            auto a = static_cast<unsigned char>(view[i]);
            auto b = static_cast<unsigned char>(view[i + 1]);
            out += static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
        }
        return out;
    };
    if (view.size() >= 2 && static_cast<unsigned char>(view[0]) == 0xFF && static_cast<unsigned char>(view[1]) == 0xFE)
        return utf16(false);
    if (view.size() >= 2 && static_cast<unsigned char>(view[0]) == 0xFE && static_cast<unsigned char>(view[1]) == 0xFF)
        return utf16(true);
    if (view.starts_with("\xEF\xBB\xBF"))
        view.remove_prefix(3);
    return String(view).units();
}

class Parser {
public:
    explicit Parser(std::u16string text)
        : m_text(std::move(text))
    {
    }

    Expected<Table> run()
    {
        Table table;
        for (;;) {
            if (auto skipped = skipSpaceAndComments(); !skipped)
                return std::unexpected(skipped.error());
            if (atEnd())
                return table;
            auto key = token("a key");
            if (!key)
                return std::unexpected(key.error());
            if (auto skipped = skipSpaceAndComments(); !skipped)
                return std::unexpected(skipped.error());
            if (peek() == u';') {
                ++m_position;
                table[*key] = *key;
                continue;
            }
            if (peek() != u'=')
                return fail("\u201c=\u201d or \u201c;\u201d expected after a key");
            ++m_position;
            if (auto skipped = skipSpaceAndComments(); !skipped)
                return std::unexpected(skipped.error());
            auto value = token("a value");
            if (!value)
                return std::unexpected(value.error());
            if (auto skipped = skipSpaceAndComments(); !skipped)
                return std::unexpected(skipped.error());
            if (peek() != u';')
                return fail("\u201c;\u201d expected after a value");
            ++m_position;
            table[*key] = *value;
        }
    }

private:
    bool atEnd() const { return m_position >= m_text.size(); }
    char16_t peek() const { return atEnd() ? u'\0' : m_text[m_position]; }

    std::unexpected<Error> fail(const char* what) const
    {
        std::size_t line = 1;
        for (std::size_t i = 0; i < m_position && i < m_text.size(); ++i) {
            if (m_text[i] == u'\n')
                ++line;
        }
        return std::unexpected(
            Error::make(Domain, 1, String(fmt::format("Malformed string table at line {}: {}.", line, what))));
    }

    Expected<void> skipSpaceAndComments()
    {
        while (!atEnd()) {
            char16_t c = m_text[m_position];
            if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f' || c == u'\v' || c == 0xFEFF) {
                ++m_position;
            } else if (c == u'/' && m_position + 1 < m_text.size() && m_text[m_position + 1] == u'*') {
                auto close = m_text.find(u"*/", m_position + 2);
                if (close == std::u16string::npos)
                    return fail("a comment is not closed");
                m_position = close + 2;
            } else if (c == u'/' && m_position + 1 < m_text.size() && m_text[m_position + 1] == u'/') {
                auto newline = m_text.find(u'\n', m_position);
                m_position = newline == std::u16string::npos ? m_text.size() : newline + 1;
            } else {
                break;
            }
        }
        return {};
    }

    static bool isBareWordCharacter(char16_t c)
    {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_'
            || c == u'.' || c == u'$' || c == u'-' || c == u':' || c == u'/';
    }

    Expected<String> token(const char* what)
    {
        if (peek() == u'"')
            return quoted();
        std::size_t start = m_position;
        while (!atEnd() && isBareWordCharacter(m_text[m_position]))
            ++m_position;
        if (m_position == start)
            return fail(fmt::format("{} expected", what).c_str());
        return String(m_text.substr(start, m_position - start));
    }

    Expected<char16_t> hexUnit()
    {
        std::size_t digits = 0;
        char16_t unit = 0;
        while (digits < 4 && !atEnd()) {
            char16_t c = m_text[m_position];
            int v;
            if (c >= u'0' && c <= u'9')
                v = c - u'0';
            else if (c >= u'a' && c <= u'f')
                v = c - u'a' + 10;
            else if (c >= u'A' && c <= u'F')
                v = c - u'A' + 10;
            else
                break;
            unit = static_cast<char16_t>(unit * 16 + v);
            ++m_position;
            ++digits;
        }
        if (digits == 0)
            return fail("hex digits expected after \\U");
        return unit;
    }

    Expected<String> quoted()
    {
        ++m_position;
        std::u16string out;
        while (!atEnd()) {
            char16_t c = m_text[m_position++];
            if (c == u'"')
                return String(std::move(out));
            if (c != u'\\') {
                out += c;
                continue;
            }
            if (atEnd())
                break;
            char16_t e = m_text[m_position++];
            switch (e) {
            case u'n':
                out += u'\n';
                break;
            case u't':
                out += u'\t';
                break;
            case u'r':
                out += u'\r';
                break;
            case u'U':
            case u'u': {
                auto unit = hexUnit();
                if (!unit)
                    return std::unexpected(unit.error());
                out += *unit;
                break;
            }
            default:
                // \" \\ \' and any other escaped character stand for themselves.
                out += e;
                break;
            }
        }
        return fail("a quoted string is not closed");
    }

    std::u16string m_text;
    std::size_t m_position { 0 };
};

}

Expected<Table> parse(const Data& bytes)
{
    return Parser(decode(bytes)).run();
}

}
