#include "platform/foundation/runtime/StringFormat.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/detail/StringDetail.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>

namespace fnd {

namespace {

constexpr Index MaxWidth = 65535;

enum class Length { Char, Short, Int, Long, LongDouble };

struct Directive {
    bool left = false, plus = false, space = false, alternate = false, zero = false;
    Index width = -1;
    Index precision = -1;
    Length length = Length::Int;
    char16_t conversion = 0;
};

class FormatRun {
public:
    FormatRun(const String& format, const std::vector<Value>& arguments)
        : m_format(format.view())
        , m_arguments(arguments)
    {
    }

    String run()
    {
        std::u16string out;
        out.reserve(m_format.size() + 16 * m_arguments.size());
        std::size_t literalStart = 0;
        while (m_at < m_format.size()) {
            if (m_format[m_at] != '%') {
                ++m_at;
                continue;
            }
            out.append(m_format.substr(literalStart, m_at - literalStart));
            m_directiveStart = m_at++;
            if (m_at < m_format.size() && m_format[m_at] == '%') {
                out += u'%';
                ++m_at;
            } else {
                convert(out);
            }
            literalStart = m_at;
        }
        out.append(m_format.substr(literalStart));
        return String(std::move(out));
    }

private:
    [[noreturn]] void fail(const std::string& what) const
    {
        throw Exception::invalidArgument(String(
            fmt::format("{} in the format \"{}\" at offset {}", what, String(m_format).utf8(), m_directiveStart)));
    }

    bool atDigit() const { return m_at < m_format.size() && m_format[m_at] >= '0' && m_format[m_at] <= '9'; }

    Index readNumber()
    {
        Index n = 0;
        while (atDigit()) {
            n = n * 10 + (m_format[m_at++] - '0');
            if (n > MaxWidth)
                fail("a width, precision or position beyond 65535");
        }
        return n;
    }

    const Value& argument(Index position)
    {
        std::size_t index = position > 0 ? static_cast<std::size_t>(position - 1) : m_next++;
        if (index >= m_arguments.size())
            fail(fmt::format("argument {} is missing ({} given)", index + 1, m_arguments.size()));
        return m_arguments[index];
    }

    // A "$" after digits makes them a position; otherwise the digits are rewound.
    Index readPosition()
    {
        std::size_t save = m_at;
        if (atDigit()) {
            Index n = readNumber();
            if (m_at < m_format.size() && m_format[m_at] == '$' && n > 0) {
                ++m_at;
                return n;
            }
        }
        m_at = save;
        return 0;
    }

    // "*" or "*m$": the value comes from an argument.
    Index readStar()
    {
        ++m_at;
        Index position = readPosition();
        std::int64_t n = argument(position).integerValue();
        if (n > MaxWidth || n < -MaxWidth)
            fail(fmt::format("a width or precision of {}", n));
        return static_cast<Index>(n);
    }

    void convert(std::u16string& out)
    {
        Directive directive;
        Index position = readPosition();
        for (bool more = true; more && m_at < m_format.size();) {
            switch (m_format[m_at]) {
            case '-':
                directive.left = true;
                break;
            case '+':
                directive.plus = true;
                break;
            case ' ':
                directive.space = true;
                break;
            case '#':
                directive.alternate = true;
                break;
            case '0':
                directive.zero = true;
                break;
            default:
                more = false;
                continue;
            }
            ++m_at;
        }
        if (m_at < m_format.size() && m_format[m_at] == '*') {
            directive.width = readStar();
            if (directive.width < 0) {
                directive.left = true;
                directive.width = -directive.width;
            }
        } else if (atDigit()) {
            directive.width = readNumber();
        }
        if (m_at < m_format.size() && m_format[m_at] == '.') {
            ++m_at;
            if (m_at < m_format.size() && m_format[m_at] == '*') {
                directive.precision = readStar();
                if (directive.precision < 0)
                    directive.precision = -1;
            } else {
                directive.precision = readNumber();
            }
        }
        readLength(directive);
        if (m_at >= m_format.size())
            fail("an unfinished conversion");
        directive.conversion = m_format[m_at++];
        switch (directive.conversion) {
        case 'd':
        case 'i':
        case 'u':
        case 'o':
        case 'x':
        case 'X':
            out += formatInteger(directive, argument(position));
            break;
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G':
        case 'a':
        case 'A':
            out += formatReal(directive, argument(position).doubleValue());
            break;
        case '@':
        case 's':
        case 'S': {
            const Value& v = argument(position);
            out += pad(directive, v.isString() ? v.string()->view() : std::u16string_view(v.description().view()));
            break;
        }
        case 'c':
        case 'C':
            out += pad(directive, character(directive, argument(position)).view());
            break;
        default:
            fail(fmt::format("the unknown conversion '{}'", String::fromCodePoint(directive.conversion).utf8()));
        }
    }

    void readLength(Directive& directive)
    {
        auto next = [&](char16_t c) {
            if (m_at < m_format.size() && m_format[m_at] == c) {
                ++m_at;
                return true;
            }
            return false;
        };
        if (next('h'))
            directive.length = next('h') ? Length::Char : Length::Short;
        else if (next('l')) {
            next('l');
            directive.length = Length::Long;
        } else if (next('q') || next('z') || next('j') || next('t'))
            directive.length = Length::Long;
        else if (next('L'))
            directive.length = Length::LongDouble;
    }

    static String character(const Directive& directive, const Value& v)
    {
        if (const String* s = v.string()) {
            if (s->isEmpty())
                return {};
            std::size_t count;
            return String::fromCodePoint(detail::codePointAt(s->view(), 0, count));
        }
        std::int64_t code = v.integerValue();
        if (directive.conversion == 'c')
            return String::fromCodePoint(static_cast<unsigned char>(code));
        return String::fromCodePoint(code < 0 || code > 0x10FFFF ? 0xFFFD : static_cast<char32_t>(code));
    }

    // Width and precision for text: the precision cuts (not inside a surrogate pair), the width pads with blanks.
    static std::u16string pad(const Directive& directive, std::u16string_view text)
    {
        if (directive.precision >= 0 && static_cast<std::size_t>(directive.precision) < text.size()) {
            auto cut = static_cast<std::size_t>(directive.precision);
            if (cut > 0 && detail::isLeadSurrogate(text[cut - 1]) && detail::isTrailSurrogate(text[cut]))
                --cut;
            text = text.substr(0, cut);
        }
        std::u16string out(text);
        if (directive.width > 0 && static_cast<std::size_t>(directive.width) > out.size()) {
            std::u16string blanks(static_cast<std::size_t>(directive.width) - out.size(), u' ');
            out = directive.left ? out + blanks : blanks + out;
        }
        return out;
    }

    static std::u16string formatInteger(const Directive& directive, const Value& v)
    {
        bool isSigned = directive.conversion == 'd' || directive.conversion == 'i';
        // The raw 64 bits: unsigned numbers keep their full range, everything else converts as a signed integer.
        std::uint64_t raw;
        const Number* n = v.number();
        if (n && n->kind() == Number::Kind::Unsigned)
            raw = n->unsignedValue();
        else
            raw = static_cast<std::uint64_t>(v.integerValue());
        bool negative = false;
        std::uint64_t magnitude;
        switch (directive.length) {
        case Length::Char:
            raw = isSigned ? static_cast<std::uint64_t>(static_cast<std::int8_t>(raw)) : static_cast<std::uint8_t>(raw);
            break;
        case Length::Short:
            raw = isSigned ? static_cast<std::uint64_t>(static_cast<std::int16_t>(raw))
                           : static_cast<std::uint16_t>(raw);
            break;
        case Length::Int:
            raw = isSigned ? static_cast<std::uint64_t>(static_cast<std::int32_t>(raw))
                           : static_cast<std::uint32_t>(raw);
            break;
        case Length::Long:
        case Length::LongDouble:
            break;
        }
        if (isSigned && static_cast<std::int64_t>(raw) < 0) {
            negative = true;
            magnitude = ~raw + 1;
        } else {
            magnitude = raw;
        }

        unsigned base = directive.conversion == 'o'                        ? 8
            : (directive.conversion == 'x' || directive.conversion == 'X') ? 16
                                                                           : 10;
        const char* digitsOf = directive.conversion == 'X' ? "0123456789ABCDEF" : "0123456789abcdef";
        std::u16string digits;
        for (std::uint64_t m = magnitude; m; m /= base)
            digits.insert(digits.begin(), static_cast<char16_t>(digitsOf[m % base]));
        if (directive.precision < 0 && digits.empty())
            digits = u"0";
        if (directive.precision > 0 && static_cast<std::size_t>(directive.precision) > digits.size())
            digits.insert(0, static_cast<std::size_t>(directive.precision) - digits.size(), u'0');
        if (directive.alternate && base == 8 && (digits.empty() || digits[0] != '0'))
            digits.insert(digits.begin(), u'0');

        std::u16string prefix;
        if (negative)
            prefix = u"-";
        else if (isSigned && directive.plus)
            prefix = u"+";
        else if (isSigned && directive.space)
            prefix = u" ";
        if (directive.alternate && base == 16 && magnitude != 0)
            prefix += directive.conversion == 'X' ? u"0X" : u"0x";

        std::size_t used = prefix.size() + digits.size();
        auto width = static_cast<std::size_t>(directive.width > 0 ? directive.width : 0);
        if (width <= used)
            return prefix + digits;
        std::size_t fill = width - used;
        if (directive.left)
            return prefix + digits + std::u16string(fill, u' ');
        if (directive.zero && directive.precision < 0)
            return prefix + std::u16string(fill, u'0') + digits;
        return std::u16string(fill, u' ') + prefix + digits;
    }

    // The C library formats reals exactly as printf does; it runs under the C locale so that the separator is
    // always ".", whatever locale the process has set.
    static std::u16string formatReal(const Directive& directive, double value)
    {
        std::string c = "%";
        if (directive.left)
            c += '-';
        if (directive.plus)
            c += '+';
        if (directive.space)
            c += ' ';
        if (directive.alternate)
            c += '#';
        if (directive.zero)
            c += '0';
        if (directive.width > 0)
            c += std::to_string(directive.width);
        if (directive.precision >= 0)
            c += '.' + std::to_string(directive.precision);
        c += static_cast<char>(directive.conversion);

        static locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
        locale_t previous = uselocale(cLocale);
        int n = std::snprintf(nullptr, 0, c.c_str(), value);
        std::string text(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
        if (n > 0)
            std::snprintf(text.data(), text.size() + 1, c.c_str(), value);
        uselocale(previous);
        return std::u16string(text.begin(), text.end());
    }

    std::u16string_view m_format;
    const std::vector<Value>& m_arguments;
    std::size_t m_at = 0;
    std::size_t m_directiveStart = 0;
    std::size_t m_next = 0;
};

}

String String::format(const String& format, const std::vector<Value>& arguments)
{
    return FormatRun(format, arguments).run();
}

}
