#pragma once

#include "frameworks/FoundationExtensions/ZORLocaleEntry.h"

#include <memory>
#include <vector>

// An entry of a language pop-up: a locale identifier shown by its name in the user's current locale.
class ZORLanguageLocale : public ZORLocaleEntry<ZORLanguageLocale, fnd::LocaleKey::Identifier> {
    FND_OBJECT(ZORLanguageLocale)
    static void describeClass(fnd::ClassBuilder<ZORLanguageLocale>& c);

public:
    using ZORLocaleEntry::ZORLocaleEntry;

    // Every available locale identifier that has a name; made once, each call answers a copy.
    static std::vector<std::shared_ptr<ZORLanguageLocale>> supportedLanguageLocales();
    static std::vector<std::shared_ptr<ZORLanguageLocale>> supportedLanguageLocalesSortedByDisplayName();

    void setLocaleIdentifier(const fnd::String& code) { m_localeIdentifier = code; }
};
