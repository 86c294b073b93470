#pragma once

#include "platform/foundation/Object.h"

#include <compare>
#include <memory>
#include <string>
#include <vector>

// An entry of a language pop-up: a locale identifier shown by its name in the user's current locale.
class ZORLanguageLocale : public fnd::Object {
    FND_OBJECT(ZORLanguageLocale)
    static void describeClass(fnd::ClassBuilder<ZORLanguageLocale>& c);

public:
    ZORLanguageLocale() = default;
    explicit ZORLanguageLocale(fnd::String code)
        : m_localeIdentifier(std::move(code))
    {
    }

    // Every available locale identifier that has a name; made once, each call answers a copy.
    static std::vector<std::shared_ptr<ZORLanguageLocale>> supportedLanguageLocales();
    static std::vector<std::shared_ptr<ZORLanguageLocale>> supportedLanguageLocalesSortedByDisplayName();

    const fnd::String& localeIdentifier() const { return m_localeIdentifier; }
    void setLocaleIdentifier(const fnd::String& code) { m_localeIdentifier = code; }
    fnd::String displayName() const;
    fnd::String description() const override { return displayName(); }
    std::string UTF8String() const { return m_localeIdentifier.utf8(); }
    // Equal to an entry with the same code, and to the code as a plain string.
    bool isEqual(const fnd::Object& other) const override;
    bool isEqualToString(const fnd::String& code) const { return code == m_localeIdentifier; }
    std::size_t hash() const override { return m_localeIdentifier.hash(); }
    // Localised and case-insensitive, by display name.
    std::weak_ordering caseInsensitiveDisplayNameCompare(const ZORLanguageLocale& other) const;

private:
    fnd::String m_localeIdentifier;
};
