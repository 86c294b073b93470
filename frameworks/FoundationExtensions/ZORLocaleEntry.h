#pragma once

#include "platform/foundation/locale/Collator.h"
#include "platform/foundation/locale/Locale.h"
#include "platform/foundation/runtime/CharacterSet.h"
#include "platform/foundation/runtime/Object.h"

#include <algorithm>
#include <compare>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

// What the country and language entries share: an entry of a pop-up of locale codes, the code shown by its name for
// the key in the user's current locale. Entry is the entry class itself.
template <typename Entry, fnd::LocaleKey Key> class ZORLocaleEntry : public fnd::Object {
public:
    ZORLocaleEntry() = default;
    explicit ZORLocaleEntry(fnd::String code)
        : m_localeIdentifier(std::move(code))
    {
    }

    const fnd::String& localeIdentifier() const { return m_localeIdentifier; }
    // The name in the user's current locale; "" when there is none.
    fnd::String displayName() const { return displayNameOf(m_localeIdentifier); }
    fnd::String description() const override { return displayName(); }
    std::string UTF8String() const { return m_localeIdentifier.utf8(); }
    // Equal to an entry of the same kind with the same code, and to the code as a plain string.
    bool isEqual(const fnd::Object& other) const override
    {
        auto entry = dynamic_cast<const Entry*>(&other);
        return entry && entry->m_localeIdentifier == m_localeIdentifier;
    }
    bool isEqualToString(const fnd::String& code) const { return code == m_localeIdentifier; }
    std::size_t hash() const override { return m_localeIdentifier.hash(); }
    // Localised and case-insensitive, by display name.
    std::weak_ordering caseInsensitiveDisplayNameCompare(const Entry& other) const
    {
        return fnd::localizedCaseInsensitiveCompare(displayName(), other.displayName());
    }

protected:
    // A pop-up of every country names each entry several times as it fills (titles, values, sorting): ICU is asked
    // once per code for as long as the current locale stays the same.
    static fnd::String displayNameOf(const fnd::String& code)
    {
        static std::mutex namesMutex;
        static fnd::String namesLocale;
        static std::unordered_map<fnd::String, fnd::String> names;
        auto locale = fnd::Locale::current();
        std::lock_guard lock(namesMutex);
        if (locale.localeIdentifier() != namesLocale) {
            names.clear();
            namesLocale = locale.localeIdentifier();
        }
        auto [found, inserted] = names.try_emplace(code);
        if (inserted)
            found->second = locale.displayNameForKey(Key, code).value_or("");
        return found->second;
    }

    // The codes that have a non-blank name.
    static fnd::StringArray namedCodes(const fnd::StringArray& codes)
    {
        fnd::StringArray named;
        for (const auto& code : codes) {
            if (!displayNameOf(code)
                     .stringByTrimmingCharactersInSet(fnd::CharacterSet::whitespaceAndNewlineCharacterSet())
                     .isEmpty())
                named.push_back(code);
        }
        return named;
    }

    static std::vector<std::shared_ptr<Entry>> entries(const fnd::StringArray& codes)
    {
        std::vector<std::shared_ptr<Entry>> list;
        list.reserve(codes.size());
        for (const auto& code : codes)
            list.push_back(std::make_shared<Entry>(code));
        return list;
    }

    // Sorted as caseInsensitiveDisplayNameCompare orders them, each name made once.
    static std::vector<std::shared_ptr<Entry>> sortedByDisplayName(std::vector<std::shared_ptr<Entry>> list)
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

    fnd::String m_localeIdentifier;
};
