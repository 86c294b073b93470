#include "frameworks/FoundationExtensions/ZORNSMutableAttributedStringExtensions.h"

#include "platform/foundation/runtime/CharacterSet.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/graphics/Color.h"

#include <algorithm>
#include <string_view>

namespace ZORNSMutableAttributedStringExtensions {

namespace {

bool isSchemeCharacter(char16_t c, bool first)
{
    bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    return first ? letter : letter || (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
}

bool isHexDigit(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// Whether the text can stand as an address: a scheme, then only characters an address may hold (percent escapes
// complete), as the platform's URL parser requires.
bool isAddress(std::u16string_view text)
{
    auto colon = text.find(u':');
    if (colon == 0 || colon == std::u16string_view::npos || colon + 1 >= text.size())
        return false;
    for (std::size_t i = 0; i < colon; ++i) {
        if (!isSchemeCharacter(text[i], i == 0))
            return false;
    }
    static constexpr std::u16string_view Excluded = u" \"<>\\^`{|}";
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c <= 0x20 || c >= 0x7F || Excluded.find(c) != std::u16string_view::npos)
            return false;
        if (c == u'%' && !(i + 2 < text.size() && isHexDigit(text[i + 1]) && isHexDigit(text[i + 2])))
            return false;
    }
    return true;
}

std::optional<fnd::String> addressOfWord(const fnd::String& word)
{
    struct Prefix {
        const char* start;
        const char* scheme;
    };
    static constexpr Prefix Completed[] = { { "www.", "http://" }, { "ftp.", "ftp://" }, { "gopher.", "gopher://" } };
    std::optional<fnd::String> address;
    if (word.rangeOfString("://", fnd::StringCompareOptions::Literal).location != fnd::NotFound
        || word.hasPrefix("mailto:")) {
        address = word;
    } else {
        for (const auto& prefix : Completed) {
            if (word.hasPrefix(prefix.start)) {
                address = fnd::String(prefix.scheme) + word;
                break;
            }
        }
    }
    if (address && !isAddress(address->view()))
        return std::nullopt;
    return address;
}

}

void appendString(txt::AttributedString& text, const fnd::String& string, const txt::Attributes& attributes)
{
    text.appendAttributedString(txt::AttributedString(string, attributes));
}

void appendString(txt::AttributedString& text, const fnd::String& string)
{
    txt::Attributes attributes;
    if (text.length() > 0)
        attributes = text.attributesAtIndex(text.length() - 1);
    appendString(text, string, attributes);
}

bool mutateRanges(txt::AttributedString& text, const RangeMutator& mutator, fnd::Range inRange,
    const std::optional<fnd::String>& matchingString)
{
    fnd::Index position = inRange.location;
    fnd::Index end = inRange.max();
    bool editing = false;
    bool replaced = false;
    while (position < end) {
        fnd::Range match { position, 0 };
        if (matchingString) {
            match = text.string().rangeOfString(
                *matchingString, fnd::StringCompareOptions::None, { position, end - position });
            if (match.location == fnd::NotFound)
                break;
            fnd::assertThat(match.location >= position && match.max() <= end,
                "ZORNSMutableAttributedStringExtensions:cannot not mutate ranges");
            position = match.location;
        }
        fnd::Range run;
        const auto attributes = text.attributesAtIndex(position, &run);
        run = fnd::intersection(run, { position, end - position });
        if (matchingString)
            run = fnd::intersection(run, match);
        else
            match = run;
        if (run.length == 0) {
            fnd::assertThat(false, "ZORNSMutableAttributedStringExtensions:cannot not mutate ranges");
            break;
        }
        auto replacement = mutator(text.string(), attributes, match, run, editing);
        if (replacement) {
            if (!editing) {
                text.beginEditing();
                editing = true;
            }
            text.replaceCharactersInRange(match, *replacement);
            end += replacement->length() - match.length;
            position = match.location + replacement->length();
            replaced = true;
        } else {
            position = match.max();
        }
    }
    if (editing)
        text.endEditing();
    return replaced;
}

bool mutateRanges(
    txt::AttributedString& text, const RangeMutator& mutator, const std::optional<fnd::String>& matchingString)
{
    return mutateRanges(text, mutator, { 0, text.length() }, matchingString);
}

void detectURLs(txt::AttributedString& text, const std::shared_ptr<gfx::Color>& color)
{
    const auto& separators = fnd::CharacterSet::whitespaceAndNewlineCharacterSet();
    const fnd::String string = text.string();
    fnd::Index position = 0;
    const fnd::Index length = string.length();
    while (position < length) {
        auto gap = string.rangeOfCharacterFromSet(
            separators, fnd::StringCompareOptions::None, { position, length - position });
        fnd::Index wordEnd = gap.location == fnd::NotFound ? length : gap.location;
        if (wordEnd > position) {
            fnd::Range word { position, wordEnd - position };
            if (auto address = addressOfWord(string.substring(word))) {
                text.addAttribute(txt::LinkAttributeName, *address, word);
                text.addAttribute(txt::UnderlineStyleAttributeName, txt::UnderlineStyle::Single, word);
                if (color)
                    text.addAttribute(txt::ForegroundColorAttributeName, color, word);
            }
        }
        position = gap.location == fnd::NotFound ? length : gap.max();
    }
}

}
