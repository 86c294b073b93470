#pragma once

#include "platform/foundation/Object.h"

#include <compare>
#include <memory>
#include <string>
#include <vector>

// An entry of a country pop-up: an ISO country code shown by its name in the user's current locale.
class ZORCountryLocale : public fnd::Object {
    FND_OBJECT(ZORCountryLocale)
    static void describeClass(fnd::ClassBuilder<ZORCountryLocale>& c);

public:
    ZORCountryLocale() = default;
    explicit ZORCountryLocale(fnd::String code)
        : m_localeIdentifier(std::move(code))
    {
    }

    // Every ISO country code with a non-blank name; made once, each call answers a copy.
    static std::vector<std::shared_ptr<ZORCountryLocale>> supportedCountryLocales();
    static std::vector<std::shared_ptr<ZORCountryLocale>> supportedCountryLocalesSortedByDisplayName();

    const fnd::String& localeIdentifier() const { return m_localeIdentifier; }
    void setLocalIdentifier(const fnd::String& code) { m_localeIdentifier = code; }
    fnd::String displayName() const;
    fnd::String description() const override { return displayName(); }
    std::string UTF8String() const { return m_localeIdentifier.utf8(); }
    // Equal to an entry with the same code, and to the code as a plain string.
    bool isEqual(const fnd::Object& other) const override;
    bool isEqualToString(const fnd::String& code) const { return code == m_localeIdentifier; }
    std::size_t hash() const override { return m_localeIdentifier.hash(); }
    // Localised and case-insensitive, by display name.
    std::weak_ordering caseInsensitiveDisplayNameCompare(const ZORCountryLocale& other) const;

private:
    fnd::String m_localeIdentifier;
};
