#include "frameworks/FoundationExtensions/ZORCSVAdditions.h"

namespace ZORCSVAdditions {

void trimString_csv(fnd::String& text, const fnd::String& string)
{
    const auto cut = string.length();
    if (text.length() < 2 * cut) {
        text = fnd::String();
        return;
    }
    text = text.substring({ cut, text.length() - 2 * cut });
}

void trimCharactersInSet_csv(fnd::String& text, const fnd::CharacterSet& set)
{
    text = text.stringByTrimmingCharactersInSet(set);
}

void replaceOccurrencesOfString_csv(fnd::String& text, const fnd::String& target, const fnd::String& replacement)
{
    if (!text.isEmpty())
        text.replaceOccurrencesOfString(target, replacement, fnd::StringCompareOptions::Literal, { 0, text.length() });
}

}
