#include "frameworks/FoundationExtensions/ZORNSStringExtension.h"

#include "frameworks/FoundationExtensions/ZORFrameworkBundle.h"
#include "frameworks/FoundationExtensions/ZORMutableStringExtension.h"
#include "frameworks/FoundationExtensions/ZORNSAttributedStringExtension.h"
#include "platform/foundation/locale/DateFormatter.h"
#include "platform/foundation/runtime/ModifierFlags.h"
#include "platform/foundation/runtime/StringFormat.h"
#include "platform/foundation/runtime/UUID.h"
#include "platform/foundation/services/Workspace.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/text/AttributedString.h"

#include <algorithm>
#include <array>

namespace ZORNSStringExtension {

namespace {

bool containsString(const fnd::StringArray& array, const fnd::String& string)
{
    return std::ranges::find(array, string) != array.end();
}

bool isASCIIDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

const fnd::CharacterSet& blanks()
{
    return fnd::CharacterSet::whitespaceCharacterSet();
}

fnd::String trimmed(const fnd::String& string)
{
    return string.stringByTrimmingCharactersInSet(blanks());
}

// The stem without the blanks that stood before a counter, so "Name 1" counts on as "Name 2", not "Name  2".
fnd::String withoutTrailingBlanks(const fnd::String& string)
{
    auto units = string.view();
    std::size_t end = units.size();
    while (end > 0 && blanks().characterIsMember(units[end - 1]))
        --end;
    return fnd::String(units.substr(0, end));
}

// The decimal digits of a counter plus one. A name's counter is text of any length, so it is counted on as text: a
// machine integer would overflow at some length and cut or wrap the digits.
std::u16string nextCounter(std::u16string digits)
{
    for (auto i = digits.size(); i-- > 0;) {
        if (digits[i] != u'9') {
            ++digits[i];
            return digits;
        }
        digits[i] = u'0';
    }
    digits.insert(digits.begin(), u'1');
    return digits;
}

fnd::String characterString(char32_t c)
{
    return fnd::String::fromCodePoint(c);
}

// Characters a URL may hold unescaped (besides ASCII letters and digits), as the platform's default escaping leaves
// them: the reserved and unreserved characters of RFC 3986.
const fnd::CharacterSet& urlAllowedCharacters()
{
    static const fnd::CharacterSet set = [] {
        auto s = fnd::CharacterSet::characterSetWithRange({ 'a', 26 });
        s.addCharactersInRange({ 'A', 26 });
        s.addCharactersInRange({ '0', 10 });
        s.addCharactersInString("!#$&'()*+,-./:;=?@_~");
        return s;
    }();
    return set;
}

int eanCheckDigit(std::u16string_view twelveDigits)
{
    int sum = 0;
    for (std::size_t i = 0; i < twelveDigits.size(); ++i)
        sum += (twelveDigits[i] - u'0') * (i % 2 == 0 ? 1 : 3);
    return (10 - sum % 10) % 10;
}

bool allDigits(std::u16string_view text)
{
    return std::ranges::all_of(text, isASCIIDigit);
}

}

std::optional<fnd::String> stringWithData(const fnd::Data& data, fnd::StringEncoding encoding)
{
    auto text = fnd::stringWithData(data, encoding);
    if (!text)
        return std::nullopt;
    return *text;
}

fnd::String stringByConvertCharactersToHTML(const fnd::String& string)
{
    auto copy = string;
    ZORMutableStringExtension::HTMLEntities(copy);
    return copy;
}

fnd::String stringByConvertCharactersToXML(const fnd::String& string)
{
    auto copy = string;
    ZORMutableStringExtension::XMLEntities(copy);
    return copy;
}

fnd::String stringByConvertXMLToChars(const fnd::String& string)
{
    auto copy = string;
    ZORMutableStringExtension::XMLEntitiesToChars(copy);
    return copy;
}

fnd::String stringWithString(const fnd::String& string, fnd::Index repeatTimes)
{
    fnd::String result;
    for (fnd::Index i = 0; i < repeatTimes; ++i)
        result += string;
    return result;
}

fnd::String stringWithStrings(std::initializer_list<fnd::String> strings)
{
    fnd::String result;
    for (const auto& s : strings)
        result += s;
    return result;
}

fnd::String uniqueStringWithString(const fnd::String& string, const fnd::StringArray& stringArray)
{
    if (!containsString(stringArray, string))
        return string;
    auto units = string.view();
    std::size_t digitsStart = units.size();
    // The first character is never part of the counter: "7" stays the stem of "7 1".
    while (digitsStart > 1 && isASCIIDigit(units[digitsStart - 1]))
        --digitsStart;
    fnd::String stem = string;
    // The counter's integer value, without leading zeros; empty for 0.
    std::u16string counter;
    if (digitsStart < units.size()) {
        auto digits = units.substr(digitsStart);
        counter = std::u16string(digits.substr(std::min(digits.find_first_not_of(u'0'), digits.size())));
        stem = withoutTrailingBlanks(fnd::String(units.substr(0, digitsStart)));
    }
    for (;;) {
        counter = nextCounter(std::move(counter));
        auto candidate = stem + " " + fnd::String(counter);
        if (!containsString(stringArray, candidate))
            return candidate;
    }
}

fnd::String uniqueFilenameWithString(const fnd::String& string, const fnd::StringArray& filenameArray)
{
    fnd::StringArray stems;
    stems.reserve(filenameArray.size());
    for (const auto& name : filenameArray)
        stems.push_back(name.stringByDeletingPathExtension());
    auto extension = string.pathExtension();
    auto unique = uniqueStringWithString(string.stringByDeletingPathExtension(), stems);
    return extension.isEmpty() ? unique : unique.stringByAppendingPathExtension(extension);
}

fnd::String uniqueCopyStringWithString(const fnd::String& string, const fnd::StringArray& stringArray)
{
    ZORFrameworkBundle::registerClassPrefixes();
    auto bundle = fnd::Bundle::bundleForClass("ZORMeasurementTextField");
    auto copyWord = bundle ? bundle->localizedStringForKey("CopyString", "", "ZORNSStringExtensions") : fnd::String();
    auto name = string;
    if (copyWord.isEmpty() || name.rangeOfString(copyWord).location == fnd::NotFound)
        name = fnd::stringWithFormat("%@ %@", trimmed(name), copyWord);
    return uniqueStringWithString(name, stringArray);
}

fnd::String UUID()
{
    return fnd::UUID().UUIDString();
}

std::optional<fnd::String> universalTypeForFile(const fnd::String& path)
{
    auto type = fnd::Workspace::sharedWorkspace().typeOfFile(path);
    if (!type || type->isEmpty())
        return std::nullopt;
    return *type;
}

fnd::String stringForKeyEquivalent(const fnd::String& keyEquivalent, std::uint64_t modifierMask)
{
    fnd::String glyphs;
    if (modifierMask & fnd::ModifierFlags::Command)
        glyphs += commandKeyIndicatorString();
    if (modifierMask & fnd::ModifierFlags::Alternate)
        glyphs += alternateKeyIndicatorString();
    if (modifierMask & fnd::ModifierFlags::Control)
        glyphs += "^";
    if (modifierMask & fnd::ModifierFlags::Shift)
        glyphs += shiftKeyIndicatorString();
    return glyphs + keyEquivalent;
}

fnd::String timeStampForFileOperation()
{
    return fnd::descriptionWithCalendarFormat(fnd::Date::now(), "%Y%m%d%H%M%S%z%F");
}

fnd::String stringForRating(fnd::Index rating)
{
    if (rating == 0)
        return "-";
    return stringWithString(characterString(0x272D), std::min<fnd::Index>(rating, 5));
}

bool validateEMailAddress(const fnd::String& address)
{
    auto at = address.rangeOfString("@", fnd::StringCompareOptions::Literal).location;
    auto dot = address.rangeOfString(".", fnd::StringCompareOptions::Literal).location;
    auto last = address.length() - 1;
    return at != fnd::NotFound && at > 0 && at != last && dot != fnd::NotFound && dot > 0 && dot != last;
}

bool validateURL(const fnd::String& url)
{
    auto dot = url.rangeOfString(".", fnd::StringCompareOptions::Literal).location;
    return dot != fnd::NotFound && dot > 0 && dot != url.length() - 1;
}

fnd::String completedURLStringForString(const fnd::String& string)
{
    if (string.rangeOfString("://", fnd::StringCompareOptions::Literal).location != fnd::NotFound)
        return string;
    return fnd::stringWithFormat("http://%@", string);
}

fnd::String convertToURLConformString(const fnd::String& string)
{
    auto decoded = string.stringByRemovingPercentEncoding().value_or(string);
    return decoded.stringByAddingPercentEncodingWithAllowedCharacters(urlAllowedCharacters()).value_or(decoded);
}

const fnd::String& horizontalEllipsisString()
{
    static const fnd::String s = characterString(0x2026);
    return s;
}

const fnd::String& leftPointingDoubleAngleQuotationMarkString()
{
    static const fnd::String s = characterString(0x00AB);
    return s;
}

const fnd::String& rightPointingDoubleAngleQuotationMarkString()
{
    static const fnd::String s = characterString(0x00BB);
    return s;
}

const fnd::String& emdashString()
{
    static const fnd::String s = characterString(0x2014);
    return s;
}

const fnd::String& endashString()
{
    static const fnd::String s = characterString(0x2013);
    return s;
}

const fnd::String& commandKeyIndicatorString()
{
    static const fnd::String s = characterString(0x2318);
    return s;
}

const fnd::String& alternateKeyIndicatorString()
{
    static const fnd::String s = characterString(0x2325);
    return s;
}

const fnd::String& shiftKeyIndicatorString()
{
    static const fnd::String s = characterString(0x21E7);
    return s;
}

fnd::String stringWithCharacter(char32_t character)
{
    return characterString(character);
}

fnd::String stringByReplacNotFilenameConformCharacters(const fnd::String& string)
{
    auto result = string;
    for (const char* c : { "/", ":", "\\" })
        result = result.stringByReplacingOccurrencesOfString(c, "-", fnd::StringCompareOptions::CaseInsensitive);
    return result;
}

fnd::String stringByRemovingCharactersInSet(
    const fnd::String& string, const fnd::CharacterSet& set, fnd::StringCompareOptions options)
{
    options = options & ~fnd::StringCompareOptions::Backwards;
    fnd::String result;
    fnd::Index from = 0;
    while (from < string.length()) {
        auto found = string.rangeOfCharacterFromSet(set, options, { from, string.length() - from });
        if (found.location == fnd::NotFound)
            break;
        result += string.substring({ from, found.location - from });
        from = found.max();
    }
    result += string.substringFrom(from);
    return result;
}

fnd::String stringByRemovingCharacter(const fnd::String& string, char32_t character)
{
    return stringByRemovingCharactersInSet(
        string, fnd::CharacterSet::characterSetWithRange({ static_cast<fnd::Index>(character), 1 }));
}

fnd::String stringByAppendingEllipsis(const fnd::String& string)
{
    return string + horizontalEllipsisString();
}

fnd::String stringByReplaceOccurrencesOfString(const fnd::String& string, const fnd::String& target,
    const fnd::String& replacement, fnd::StringCompareOptions options, fnd::Range range)
{
    auto copy = string;
    copy.replaceOccurrencesOfString(target, replacement, options, range);
    return copy;
}

void drawWithFontAttributes(const fnd::String& string, const txt::Attributes& attributes, int alignment,
    bool verticallyCenter, const gfx::Rect& rectangle)
{
    ZORNSAttributedStringExtension::drawInRectangle(
        txt::AttributedString(string, attributes), rectangle, alignment, verticallyCenter);
}

void drawWithFontAttributes(
    const fnd::String& string, const txt::Attributes& attributes, int alignment, const gfx::Rect& rectangle)
{
    drawWithFontAttributes(string, attributes, alignment, false, rectangle);
}

void drawWithFont(const fnd::String& string, const std::shared_ptr<gfx::Font>& font,
    const std::shared_ptr<gfx::Color>& color, int alignment, bool verticallyCenter, const gfx::Rect& rectangle)
{
    txt::Attributes attributes;
    if (font)
        attributes.set(txt::FontAttributeName, font);
    if (color)
        attributes.set(txt::ForegroundColorAttributeName, color);
    drawWithFontAttributes(string, attributes, alignment, verticallyCenter, rectangle);
}

void drawWithFont(const fnd::String& string, const std::shared_ptr<gfx::Font>& font,
    const std::shared_ptr<gfx::Color>& color, int alignment, const gfx::Rect& rectangle)
{
    drawWithFont(string, font, color, alignment, false, rectangle);
}

fnd::String displayStringForRange(const fnd::String& string, fnd::Range range, fnd::Index maxCharacters)
{
    const fnd::Index length = string.length();
    const fnd::Index most = std::max<fnd::Index>(maxCharacters, 0);
    if (most >= length || range.location == fnd::NotFound)
        return string;
    const fnd::Index location = std::clamp<fnd::Index>(range.location, 0, length);
    const fnd::Index shown = std::clamp<fnd::Index>(range.length, 0, most);
    fnd::Index start = location;
    if (shown < most) {
        const fnd::Index room = most - shown;
        start = location > 0 && room < location ? location - room / 2 : 0;
    }
    // The window always lies inside the text, also for a range that runs past its end.
    start = std::min(start, length - most);
    fnd::String window = string.substring({ start, most });
    if (start > 0)
        window = horizontalEllipsisString() + window;
    if (start + most < length)
        window += horizontalEllipsisString();
    window = window.stringByReplacingOccurrencesOfString("\r", " ", fnd::StringCompareOptions::Literal);
    window = window.stringByReplacingOccurrencesOfString("\n", " ", fnd::StringCompareOptions::Literal);
    return window.stringByReplacingOccurrencesOfString("  ", " ", fnd::StringCompareOptions::Literal);
}

std::optional<fnd::String> convertISBN10ToISBN13(const fnd::String& string)
{
    auto taken = string.view().substr(0, 10);
    std::u16string digits = u"9780000000000";
    if (taken.size() == 10) {
        // The old check digit is dropped, but it must be one: a digit or X.
        if (!allDigits(taken.substr(0, 9)) || !(isASCIIDigit(taken[9]) || taken[9] == u'X' || taken[9] == u'x'))
            return std::nullopt;
        digits.replace(3, 9, taken.substr(0, 9));
    } else if (!allDigits(taken)) {
        return std::nullopt;
    }
    digits[12] = static_cast<char16_t>(u'0' + eanCheckDigit(std::u16string_view(digits).substr(0, 12)));
    return fnd::String(digits);
}

std::optional<fnd::String> convertISBN13ToISBN10(const fnd::String& string)
{
    auto taken = string.view().substr(0, 13);
    if (!allDigits(taken))
        return std::nullopt;
    std::u16string digits = u"0000000000";
    if (taken.size() == 13) {
        // Only the 978 prefix maps onto ISBN-10; a 979 number has no ISBN-10 form.
        if (taken.substr(0, 3) != u"978")
            return std::nullopt;
        digits.replace(0, 9, taken.substr(3, 9));
    }
    int sum = 0;
    for (int i = 1; i <= 9; ++i)
        sum += (digits[static_cast<std::size_t>(i - 1)] - u'0') * i;
    int check = sum % 11;
    digits[9] = check == 10 ? u'X' : static_cast<char16_t>(u'0' + check);
    return fnd::String(digits);
}

fnd::StringArray firstAndLastNameOfNameString(const fnd::String& string)
{
    if (string.isEmpty())
        return { "", "" };
    auto separator = string.rangeOfString(",", fnd::StringCompareOptions::Literal);
    if (separator.location == fnd::NotFound)
        separator = string.rangeOfString(";", fnd::StringCompareOptions::Literal);
    if (separator.location != fnd::NotFound)
        return { trimmed(string.substringFrom(separator.max())), trimmed(string.substringTo(separator.location)) };
    auto von = string.rangeOfString(" von ", fnd::StringCompareOptions::CaseInsensitive);
    if (von.location != fnd::NotFound)
        return { trimmed(string.substringTo(von.location)), trimmed(string.substringFrom(von.location)) };
    auto blank = string.rangeOfCharacterFromSet(
        fnd::CharacterSet::whitespaceAndNewlineCharacterSet(), fnd::StringCompareOptions::Backwards);
    if (blank.location != fnd::NotFound)
        return { trimmed(string.substringTo(blank.location)), trimmed(string.substringFrom(blank.max())) };
    return { "", trimmed(string) };
}

fnd::String percentEncodedRfc3986String(const fnd::String& string)
{
    static constexpr std::u16string_view Reserved = u";/?:@&=+$,[]#!'()*";
    static_assert(Reserved.size() == 18);
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::u16string out;
    out.reserve(string.view().size());
    for (char16_t c : string.view()) {
        if (Reserved.find(c) == std::u16string_view::npos) {
            out += c;
            continue;
        }
        out += u'%';
        out += static_cast<char16_t>(Hex[c >> 4]);
        out += static_cast<char16_t>(Hex[c & 0xF]);
    }
    return fnd::String(std::move(out));
}

std::optional<fnd::String> decodeAllPercentEscapes(const fnd::String& string)
{
    return string.stringByRemovingPercentEncoding();
}

bool UTIConformsTo(const fnd::String& type, const fnd::String& conformsToType)
{
    return fnd::Workspace::typeConformsTo(type, conformsToType);
}

bool UTIConformsToUTIOf(const fnd::String& type, const fnd::Array& types)
{
    return std::ranges::any_of(types, [&](const fnd::Value& value) {
        auto* other = value.string();
        return other && UTIConformsTo(type, *other);
    });
}

}
