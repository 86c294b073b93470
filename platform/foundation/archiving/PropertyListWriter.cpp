#include "platform/foundation/archiving/PropertyList.h"

#include "platform/foundation/detail/PropertyListText.h"
#include "platform/foundation/runtime/Object.h"

#include <fmt/format.h>

#include <iterator>
#include <variant>

namespace fnd::PropertyList {

namespace {

constexpr std::string_view Header = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n";
constexpr std::string_view Footer = "</plist>\n";

constexpr bool isXMLCharacter(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
        || (c >= 0x10000 && c <= 0x10FFFF);
}

void appendUTF8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

class TreeWriter {
public:
    std::string out;

    Expected<void> write(const Value& value, int depth)
    {
        switch (value.type()) {
        case Value::Type::String:
            return writeText("string", *value.string(), depth);
        case Value::Type::Number:
            writeNumber(*value.number(), depth);
            return {};
        case Value::Type::Data:
            element(depth, "data", detail::encodeBase64(*value.data()));
            return {};
        case Value::Type::Date: {
            auto text = detail::formatDate(*value.date());
            if (!text)
                return fail("holds a date outside the years 0000 to 9999");
            element(depth, "date", *text);
            return {};
        }
        case Value::Type::Array:
            return writeArray(*value.array(), depth);
        case Value::Type::Dictionary:
            return writeDictionary(*value.dictionary(), depth);
        case Value::Type::Nil:
            return fail("is nil");
        case Value::Type::Null:
            return fail("is a null object");
        case Value::Type::Range:
        case Value::Type::Point:
        case Value::Type::Size:
        case Value::Type::Rect:
            return fail(fmt::format("is the geometry value {}", value.description().utf8()));
        case Value::Type::Object:
            return fail(fmt::format("is an object of class {}", value.object()->className().utf8()));
        case Value::Type::Set:
            return fail("is a set");
        }
        return fail("has an unknown type");
    }

private:
    // Keys and indexes from the root to the value being written, for error messages: only a failure spells them out,
    // so writing an element allocates nothing beyond the output.
    std::vector<std::variant<std::size_t, const String*>> m_path;

    void indent(int depth) { out.append(static_cast<std::size_t>(depth), '\t'); }
    void line(int depth, std::string_view text)
    {
        indent(depth);
        out += text;
        out += '\n';
    }
    void open(std::string_view name)
    {
        out += '<';
        out += name;
        out += '>';
    }
    void close(std::string_view name)
    {
        out += "</";
        out += name;
        out += ">\n";
    }
    void element(int depth, std::string_view name, std::string_view text)
    {
        indent(depth);
        open(name);
        out += text;
        close(name);
    }

    std::unexpected<Error> fail(const std::string& what)
    {
        std::string where = "the root";
        if (!m_path.empty()) {
            where = "the value at ";
            for (std::size_t i = 0; i < m_path.size(); ++i) {
                if (i)
                    where += '/';
                if (const auto* index = std::get_if<std::size_t>(&m_path[i]))
                    where += std::to_string(*index);
                else
                    where += std::get<const String*>(m_path[i])->utf8();
            }
        }
        return std::unexpected(Error::make(ErrorDomain::Cocoa, WriteInvalidError,
            String(fmt::format("The property list could not be written: {} {}.", where, what))));
    }

    void writeNumber(const Number& number, int depth)
    {
        switch (number.kind()) {
        case Number::Kind::Bool:
            line(depth, number.boolValue() ? "<true/>" : "<false/>");
            break;
        case Number::Kind::Integer:
            indent(depth);
            fmt::format_to(std::back_inserter(out), "<integer>{}</integer>\n", number.integerValue());
            break;
        case Number::Kind::Unsigned:
            indent(depth);
            fmt::format_to(std::back_inserter(out), "<integer>{}</integer>\n", number.unsignedValue());
            break;
        case Number::Kind::Float:
        case Number::Kind::Double:
            element(depth, "real", detail::formatReal(number.doubleValue()));
            break;
        }
    }

    // Appends the escaped text to the output.
    Expected<void> escape(const String& text)
    {
        std::string& into = out;
        auto units = text.view();
        for (std::size_t i = 0; i < units.size(); ++i) {
            auto [c, length] = codePointAt(units, i);
            i += length - 1;
            if (isSurrogate(c)) {
                return fail(
                    fmt::format("holds an unpaired surrogate (U+{:04X}) at index {}", static_cast<unsigned>(c), i));
            }
            if (!isXMLCharacter(c))
                return fail(
                    fmt::format("holds U+{:04X} at index {}, which XML cannot carry", static_cast<unsigned>(c), i));
            switch (c) {
            case '&':
                into += "&amp;";
                break;
            case '<':
                into += "&lt;";
                break;
            case '>':
                into += "&gt;";
                break;
            case '\r':
                // A raw carriage return would come back as a line feed.
                into += "&#13;";
                break;
            default:
                appendUTF8(into, c);
            }
        }
        return {};
    }

    Expected<void> writeText(std::string_view element, const String& text, int depth)
    {
        indent(depth);
        open(element);
        if (auto ok = escape(text); !ok)
            return ok;
        close(element);
        return {};
    }

    Expected<void> writeArray(const Array& array, int depth)
    {
        if (depth >= MaxDepth)
            return fail(fmt::format("is nested more than {} containers deep", MaxDepth));
        if (array.empty()) {
            line(depth, "<array/>");
            return {};
        }
        line(depth, "<array>");
        for (std::size_t i = 0; i < array.size(); ++i) {
            m_path.emplace_back(i);
            auto ok = write(array[i], depth + 1);
            m_path.pop_back();
            if (!ok)
                return ok;
        }
        line(depth, "</array>");
        return {};
    }

    Expected<void> writeDictionary(const Dictionary& dictionary, int depth)
    {
        if (depth >= MaxDepth)
            return fail(fmt::format("is nested more than {} containers deep", MaxDepth));
        if (dictionary.isEmpty()) {
            line(depth, "<dict/>");
            return {};
        }
        line(depth, "<dict>");
        for (const auto& [key, value] : dictionary) {
            m_path.emplace_back(&key);
            auto ok = writeText("key", key, depth + 1);
            if (ok)
                ok = write(value, depth + 1);
            m_path.pop_back();
            if (!ok)
                return ok;
        }
        line(depth, "</dict>");
        return {};
    }
};

}

Expected<Data> writeXML(const Value& root)
{
    TreeWriter writer;
    writer.out = Header;
    if (auto ok = writer.write(root, 0); !ok)
        return std::unexpected(ok.error());
    writer.out += Footer;
    return Data::fromString(writer.out);
}

bool canHoldDate(Date date)
{
    return detail::formatDate(date).has_value();
}

}
