#pragma once

#include "frameworks/FoundationExtensions/ZORLocaleEntry.h"

#include <memory>
#include <vector>

// An entry of a country pop-up: an ISO country code shown by its name in the user's current locale.
class ZORCountryLocale : public ZORLocaleEntry<ZORCountryLocale, fnd::LocaleKey::CountryCode> {
    FND_OBJECT(ZORCountryLocale)
    static void describeClass(fnd::ClassBuilder<ZORCountryLocale>& c);

public:
    using ZORLocaleEntry::ZORLocaleEntry;

    // Every ISO country code with a non-blank name; made once, each call answers a copy.
    static std::vector<std::shared_ptr<ZORCountryLocale>> supportedCountryLocales();
    static std::vector<std::shared_ptr<ZORCountryLocale>> supportedCountryLocalesSortedByDisplayName();

    void setLocalIdentifier(const fnd::String& code) { m_localeIdentifier = code; }
};
