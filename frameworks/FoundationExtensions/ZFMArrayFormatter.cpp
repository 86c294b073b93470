#include "frameworks/FoundationExtensions/ZFMArrayFormatter.h"

#include "frameworks/FoundationExtensions/detail/FormatterCoding.h"
#include "frameworks/FoundationExtensions/detail/FormatterStrings.h"

#include "platform/foundation/runtime/CharacterSet.h"

FND_REGISTER_CLASS(ZFMArrayFormatter, fnd::Formatter)

namespace {

using ZFMFormatterCoding::decodeString;
using ZFMFormatterStrings::text;

// The first occurrence of the word in the text that stands alone: at the text's ends or next to a separator (or
// white space), so "and" is found in "b and c" but not in "Alexander".
fnd::Range wordRange(const fnd::String& text, const fnd::String& word, const fnd::String& separator)
{
    auto standsAlone = [&](fnd::Index at, bool before) {
        if (before ? at == 0 : at == text.length())
            return true;
        const auto& blanks = fnd::CharacterSet::whitespaceAndNewlineCharacterSet();
        if (before) {
            if (!separator.isEmpty() && at >= separator.length()
                && text.substring({ at - separator.length(), separator.length() }) == separator)
                return true;
            return blanks.characterIsMember(text.characterAt(at - 1));
        }
        if (!separator.isEmpty() && text.length() - at >= separator.length()
            && text.substring({ at, separator.length() }) == separator)
            return true;
        return blanks.characterIsMember(text.characterAt(at));
    };
    fnd::Index from = 0;
    while (from < text.length()) {
        auto found = text.rangeOfString(word, fnd::StringCompareOptions::Literal, { from, text.length() - from });
        if (found.location == fnd::NotFound)
            break;
        if (standsAlone(found.location, true) && standsAlone(found.max(), false))
            return found;
        from = found.location + 1;
    }
    return fnd::Range::notFound();
}

}

ZFMArrayFormatter::ZFMArrayFormatter()
    : m_delimiter(text(","))
    , m_separator(text(" "))
    , m_conjunction(text("and"))
    , m_abbreviatedConjunction(text("&"))
{
}

fnd::String ZFMArrayFormatter::localizedStringFromArray(const fnd::Array& array, std::int32_t arrayStyle)
{
    ZFMArrayFormatter formatter;
    formatter.setArrayStyle(arrayStyle);
    return formatter.stringFromArray(array);
}

fnd::String ZFMArrayFormatter::stringFromArray(
    const fnd::Array& array, std::vector<fnd::Range>* rangesOfComponents) const
{
    fnd::String result;
    const std::size_t n = array.size();
    const auto& conjunction = m_usesAbbreviatedConjunction ? m_abbreviatedConjunction : m_conjunction;
    for (std::size_t i = 0; i < n; ++i) {
        if (array[i].isNil())
            continue;
        if (m_arrayStyle == Sentence && !conjunction.isEmpty() && i > 0 && i == n - 1) {
            result += conjunction;
            result += m_separator;
        }
        const auto description = array[i].description();
        if (rangesOfComponents)
            rangesOfComponents->push_back({ result.length(), description.length() });
        result += description;
        if (m_arrayStyle == Sentence) {
            if (!m_delimiter.isEmpty() && n >= 3 && i < n - 1) {
                if (i == n - 2 && !m_usesSerialDelimiter) {
                    result += m_separator;
                } else {
                    result += m_delimiter;
                    result += m_separator;
                }
            } else if (n == 2 && i == 0) {
                result += m_separator;
            }
        } else if (i < n - 1) {
            result += m_delimiter;
            result += m_separator;
        }
    }
    return result;
}

std::optional<fnd::StringArray> ZFMArrayFormatter::arrayFromString(const fnd::String& string) const
{
    auto value = getObjectValue(string);
    if (!value)
        return std::nullopt;
    fnd::StringArray strings;
    for (const auto& piece : *value->array())
        strings.push_back(*piece.string());
    return strings;
}

std::optional<fnd::String> ZFMArrayFormatter::stringForObjectValue(const fnd::Value& value) const
{
    if (auto* array = value.array())
        return stringFromArray(*array);
    return std::nullopt;
}

std::expected<fnd::Value, fnd::String> ZFMArrayFormatter::getObjectValue(const fnd::String& string) const
{
    if (m_delimiter.isEmpty())
        return std::unexpected(text("Couldn\u2019t convert to NSArray"));
    auto pieces = string.componentsSeparatedByString(m_delimiter);
    auto last = pieces.back();
    pieces.pop_back();
    // Only the conjunction as a word: a name that holds its letters ("Alexander") stays whole.
    if (!m_conjunction.isEmpty()) {
        auto conjunction = wordRange(last, m_conjunction, m_separator);
        if (conjunction.location != fnd::NotFound)
            last.replaceCharacters(conjunction, m_delimiter);
    }
    for (auto& piece : last.componentsSeparatedByString(m_delimiter))
        pieces.push_back(std::move(piece));
    fnd::Array array;
    for (auto& piece : pieces)
        array.emplace_back(std::move(piece));
    return fnd::Value(std::move(array));
}

std::shared_ptr<fnd::Formatter> ZFMArrayFormatter::copy() const
{
    return std::make_shared<ZFMArrayFormatter>(*this);
}

void ZFMArrayFormatter::encodeWithCoder(fnd::Coder& coder) const
{
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeInt32(m_arrayStyle, "arrayStyle");
    coder.encodeObject(m_delimiter, "delimiter");
    coder.encodeObject(m_separator, "separator");
    coder.encodeObject(m_conjunction, "conjunction");
    coder.encodeObject(m_abbreviatedConjunction, "abbreviatedConjunction");
    coder.encodeBool(m_usesAbbreviatedConjunction, "usesAbbreviatedConjunction");
    coder.encodeBool(m_usesSerialDelimiter, "usesSerialDelimiter");
}

bool ZFMArrayFormatter::initWithCoder(fnd::Coder& coder)
{
    if (!coder.allowsKeyedCoding())
        return false;
    m_arrayStyle = coder.decodeInt32ForKey("arrayStyle");
    decodeString(coder, "delimiter", m_delimiter);
    decodeString(coder, "separator", m_separator);
    decodeString(coder, "conjunction", m_conjunction);
    decodeString(coder, "abbreviatedConjunction", m_abbreviatedConjunction);
    if (coder.containsValueForKey("usesAbbreviatedConjunction"))
        m_usesAbbreviatedConjunction = coder.decodeBoolForKey("usesAbbreviatedConjunction");
    if (coder.containsValueForKey("usesSerialDelimiter"))
        m_usesSerialDelimiter = coder.decodeBoolForKey("usesSerialDelimiter");
    return true;
}
