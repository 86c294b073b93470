#pragma once

#include "platform/foundation/CharacterSet.h"
#include "platform/foundation/Collator.h"
#include "platform/foundation/Locale.h"

#include <algorithm>
#include <memory>
#include <vector>

// What the country and language entries share.
namespace ZORLocaleList {

// The name in the user's current locale; "" when there is none.
inline fnd::String displayName(fnd::LocaleKey key, const fnd::String& code)
{
    return fnd::Locale::current().displayNameForKey(key, code).value_or("");
}

// The codes that have a non-blank name.
inline fnd::StringArray namedCodes(const fnd::StringArray& codes, fnd::LocaleKey key)
{
    fnd::StringArray named;
    for (const auto& code : codes) {
        if (!displayName(key, code)
                 .stringByTrimmingCharactersInSet(fnd::CharacterSet::whitespaceAndNewlineCharacterSet())
                 .isEmpty())
            named.push_back(code);
    }
    return named;
}

template <typename Entry> std::vector<std::shared_ptr<Entry>> entries(const fnd::StringArray& codes)
{
    std::vector<std::shared_ptr<Entry>> list;
    list.reserve(codes.size());
    for (const auto& code : codes)
        list.push_back(std::make_shared<Entry>(code));
    return list;
}

// Sorted as caseInsensitiveDisplayNameCompare orders them, each name made once.
template <typename Entry>
std::vector<std::shared_ptr<Entry>> sortedByDisplayName(std::vector<std::shared_ptr<Entry>> list)
{
    std::vector<std::pair<fnd::String, std::shared_ptr<Entry>>> named;
    for (auto& entry : list)
        named.emplace_back(entry->displayName(), entry);
    fnd::Collator collator(fnd::Locale::current(), fnd::Collator::Case::Insensitive);
    std::stable_sort(named.begin(), named.end(),
        [&](const auto& a, const auto& b) { return collator.compare(a.first, b.first) < 0; });
    for (std::size_t i = 0; i < list.size(); ++i)
        list[i] = named[i].second;
    return list;
}

}
