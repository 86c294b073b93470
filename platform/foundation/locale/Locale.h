#pragma once

#include "platform/foundation/runtime/String.h"

#include <optional>

namespace fnd {

// What a display name is asked for: a whole locale identifier ("de_CH"), a language code ("de") or a country
// code ("CH").
enum class LocaleKey { Identifier, LanguageCode, CountryCode };

// A locale named by an identifier of the form language[_Script][_COUNTRY] ("en_US", "zh_Hans_CN"). A value type.
class Locale {
public:
    // The root locale: language-neutral, "." decimal separator.
    Locale() = default;
    // Any identifier is accepted and canonicalised ("de-DE" and "de_DE.UTF-8" become "de_DE"); an identifier ICU
    // does not know still gives a locale, which falls back to the root locale's data.
    explicit Locale(const String& identifier);

    // The user's locale from the environment: LC_ALL, then LC_NUMERIC, LC_MESSAGES and LANG, the first that is set.
    // "C" and "POSIX" (and nothing set) mean en_US. Read anew on every call.
    static Locale current();

    const String& localeIdentifier() const { return m_identifier; }
    // Empty when the identifier has no such part.
    String languageCode() const;
    String countryCode() const;
    String scriptCode() const;

    // The text with the first character of every word (a run between white space and line breaks) in title case
    // and the rest in lower case, by this locale's rules: in Turkish "i" becomes a dotted capital I.
    String capitalizedString(const String& text) const;

    String decimalSeparator() const;
    String groupingSeparator() const;

    // The name of a locale identifier, language code or country code in this locale's language; nullopt when
    // there is none (an unknown code is not given a made-up name).
    std::optional<String> displayNameForKey(LocaleKey key, const String& value) const;

    static StringArray ISOCountryCodes();
    static StringArray ISOLanguageCodes();
    static StringArray availableLocaleIdentifiers();

    // ICU's name for the locale, for the other ICU-backed classes.
    const std::string& icuName() const { return m_icuName; }

    bool operator==(const Locale& other) const { return m_identifier == other.m_identifier; }

private:
    String m_identifier;
    std::string m_icuName;
};

}
