#include "frameworks/FoundationExtensions/ZORMutableStringExtension.h"

#include <fmt/format.h>

#include <array>
#include <string_view>

namespace ZORMutableStringExtension {

namespace {

// HTML 4 entities of ISO 8859-1, U+00A0 to U+00FF.
constexpr std::array<std::string_view, 96> Latin1Entities = {
    "nbsp", "iexcl", "cent", "pound", "curren", "yen", "brvbar", "sect", // A0
    "uml", "copy", "ordf", "laquo", "not", "shy", "reg", "macr", // A8
    "deg", "plusmn", "sup2", "sup3", "acute", "micro", "para", "middot", // B0
    "cedil", "sup1", "ordm", "raquo", "frac14", "frac12", "frac34", "iquest", // B8
    "Agrave", "Aacute", "Acirc", "Atilde", "Auml", "Aring", "AElig", "Ccedil", // C0
    "Egrave", "Eacute", "Ecirc", "Euml", "Igrave", "Iacute", "Icirc", "Iuml", // C8
    "ETH", "Ntilde", "Ograve", "Oacute", "Ocirc", "Otilde", "Ouml", "times", // D0
    "Oslash", "Ugrave", "Uacute", "Ucirc", "Uuml", "Yacute", "THORN", "szlig", // D8
    "agrave", "aacute", "acirc", "atilde", "auml", "aring", "aelig", "ccedil", // E0
    "egrave", "eacute", "ecirc", "euml", "igrave", "iacute", "icirc", "iuml", // E8
    "eth", "ntilde", "ograve", "oacute", "ocirc", "otilde", "ouml", "divide", // F0
    "oslash", "ugrave", "uacute", "ucirc", "uuml", "yacute", "thorn", "yuml", // F8
};

void appendASCII(std::u16string& out, std::string_view text)
{
    out.append(text.begin(), text.end());
}

struct Entity {
    std::u16string_view name;
    char16_t character;
};
constexpr std::array<Entity, 5> XMLPredefined = {
    Entity { u"&quot;", u'"' },
    Entity { u"&amp;", u'&' },
    Entity { u"&lt;", u'<' },
    Entity { u"&gt;", u'>' },
    Entity { u"&apos;", u'\'' },
};

}

void HTMLEntities(fnd::String& string)
{
    auto units = string.view();
    std::u16string out;
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        char16_t c = units[i];
        switch (c) {
        case u'"':
            appendASCII(out, "&quot;");
            continue;
        case u'&':
            appendASCII(out, "&amp;");
            continue;
        case u'<':
            appendASCII(out, "&lt;");
            continue;
        case u'>':
            appendASCII(out, "&gt;");
            continue;
        case u'\n':
            appendASCII(out, "<br>");
            continue;
        default:
            break;
        }
        if (c >= 0xA0 && c <= 0xFF) {
            out += u'&';
            appendASCII(out, Latin1Entities[c - 0xA0]);
            out += u';';
        } else if (auto codePoint = fnd::codePointAt(units, i); codePoint.length == 2) {
            // A character beyond the BMP is one reference to its code point, not two to its surrogates.
            appendASCII(out, fmt::format("&#{};", static_cast<std::uint32_t>(codePoint.value)));
            ++i;
        } else if (c >= 0x100 && c <= 0xFFEF && !fnd::isSurrogate(c)) {
            appendASCII(out, fmt::format("&#{};", static_cast<unsigned>(c)));
        } else {
            out += c;
        }
    }
    string = fnd::String(std::move(out));
}

void XMLEntities(fnd::String& string)
{
    std::u16string out;
    out.reserve(string.view().size());
    for (char16_t c : string.view()) {
        switch (c) {
        case u'"':
            appendASCII(out, "&quot;");
            break;
        case u'&':
            appendASCII(out, "&amp;");
            break;
        case u'\'':
            appendASCII(out, "&apos;");
            break;
        case u'<':
            appendASCII(out, "&lt;");
            break;
        case u'>':
            appendASCII(out, "&gt;");
            break;
        default:
            out += c;
        }
    }
    string = fnd::String(std::move(out));
}

void XMLEntitiesToChars(fnd::String& string)
{
    // One pass: the character a decoded entity gives is never read again, so "&amp;lt;" stays "&lt;".
    auto units = string.view();
    std::u16string out;
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size();) {
        bool decoded = false;
        if (units[i] == u'&') {
            for (const auto& entity : XMLPredefined) {
                if (units.substr(i, entity.name.size()) == entity.name) {
                    out += entity.character;
                    i += entity.name.size();
                    decoded = true;
                    break;
                }
            }
        }
        if (!decoded)
            out += units[i++];
    }
    string = fnd::String(std::move(out));
}

}
