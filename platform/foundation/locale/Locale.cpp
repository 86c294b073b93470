#include "platform/foundation/locale/Locale.h"

#include "platform/foundation/detail/ICU.h"

#include "platform/foundation/runtime/CharacterSet.h"

#include <unicode/casemap.h>
#include <unicode/stringoptions.h>
#include <unicode/uenum.h>
#include <unicode/uloc.h>
#include <unicode/unum.h>

#include <cstdlib>
#include <memory>
#include <mutex>
#include <optional>

namespace fnd {

namespace {

// "de-DE", "de_DE.UTF-8" and "de_DE@euro" all name de_DE: the codeset and modifier of a POSIX name say nothing
// about the language or region.
std::string canonicalName(std::string_view raw)
{
    std::string name(raw.substr(0, raw.find_first_of(".@")));
    for (char& c : name) {
        if (c == '-')
            c = '_';
    }
    if (name.empty())
        return {};
    return detail::icuBytes([&](char* buffer, int32_t capacity, UErrorCode* status) {
        return uloc_canonicalize(name.c_str(), buffer, capacity, status);
    });
}

String part(const std::string& name, int32_t (*get)(const char*, char*, int32_t, UErrorCode*))
{
    return String(detail::icuBytes([&](char* buffer, int32_t capacity, UErrorCode* status) {
        return get(name.c_str(), buffer, capacity, status);
    }));
}

String symbol(const std::string& name, UNumberFormatSymbol which)
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UNumberFormat, decltype(&unum_close)> format(
        unum_open(UNUM_DECIMAL, nullptr, 0, name.c_str(), nullptr, &status), &unum_close);
    if (U_FAILURE(status))
        return which == UNUM_DECIMAL_SEPARATOR_SYMBOL ? String(".") : String(",");
    return detail::icuString([&](UChar* buffer, int32_t capacity, UErrorCode* st) {
        return unum_getSymbol(format.get(), which, buffer, capacity, st);
    });
}

StringArray fromList(const char* const* list)
{
    StringArray out;
    for (; list && *list; ++list)
        out.emplace_back(*list);
    return out;
}

}

Locale::Locale(const String& identifier)
    : m_icuName(canonicalName(identifier.utf8()))
{
    m_identifier = String(m_icuName);
}

Locale Locale::current()
{
    std::string_view chosen = "en_US";
    for (const char* variable : { "LC_ALL", "LC_NUMERIC", "LC_MESSAGES", "LANG" }) {
        const char* value = std::getenv(variable);
        if (!value || !*value)
            continue;
        std::string_view name(value);
        std::string_view bare = name.substr(0, name.find_first_of(".@"));
        if (bare != "C" && bare != "POSIX")
            chosen = name;
        break;
    }
    // Asked for every name a list of countries shows: the name is canonicalised again only when the environment
    // names another locale.
    static std::mutex lastMutex;
    static std::string lastName;
    static std::optional<Locale> last;
    std::lock_guard lock(lastMutex);
    if (!last || lastName != chosen) {
        last = Locale(String(chosen));
        lastName = chosen;
    }
    return *last;
}

String Locale::languageCode() const
{
    return part(m_icuName, uloc_getLanguage);
}
String Locale::countryCode() const
{
    return part(m_icuName, uloc_getCountry);
}
String Locale::scriptCode() const
{
    return part(m_icuName, uloc_getScript);
}

String Locale::capitalizedString(const String& text) const
{
    const auto& separators = CharacterSet::whitespaceAndNewlineCharacterSet();
    String out;
    Index i = 0;
    const Index n = text.length();
    auto isSeparator = [&](Index at) { return separators.characterIsMember(text.characterAt(at)); };
    while (i < n) {
        Index wordStart = i;
        while (i < n && !isSeparator(i))
            ++i;
        if (i > wordStart) {
            const String word = text.substring({ wordStart, i - wordStart });
            auto titled = detail::icuString(
                [&](UChar* buffer, int32_t capacity, UErrorCode* status) {
                    return icu::CaseMap::toTitle(m_icuName.c_str(),
                        U_TITLECASE_WHOLE_STRING | U_TITLECASE_NO_BREAK_ADJUSTMENT, nullptr, detail::icuChars(word),
                        detail::icuLength(word), buffer, capacity, nullptr, *status);
                },
                detail::icuLength(word) + 8);
            out = out + (titled.isEmpty() ? word : titled);
        }
        Index gapStart = i;
        while (i < n && isSeparator(i))
            ++i;
        if (i > gapStart)
            out = out + text.substring({ gapStart, i - gapStart });
    }
    return out;
}

String Locale::decimalSeparator() const
{
    return symbol(m_icuName, UNUM_DECIMAL_SEPARATOR_SYMBOL);
}
String Locale::groupingSeparator() const
{
    return symbol(m_icuName, UNUM_GROUPING_SEPARATOR_SYMBOL);
}

std::optional<String> Locale::displayNameForKey(LocaleKey key, const String& value) const
{
    std::string code = value.utf8();
    if (code.empty())
        return std::nullopt;
    // ICU names a language or a country through a locale identifier that holds only that part.
    std::string subject;
    switch (key) {
    case LocaleKey::Identifier:
        subject = canonicalName(code);
        break;
    case LocaleKey::LanguageCode:
        subject = canonicalName(code);
        break;
    case LocaleKey::CountryCode:
        subject = "und_" + code;
        break;
    }
    UErrorCode status = U_ZERO_ERROR;
    std::u16string buffer(256, u'\0');
    int32_t length = 0;
    auto capacity = static_cast<int32_t>(buffer.size());
    auto* out = reinterpret_cast<UChar*>(buffer.data());
    switch (key) {
    case LocaleKey::Identifier:
        length = uloc_getDisplayName(subject.c_str(), m_icuName.c_str(), out, capacity, &status);
        break;
    case LocaleKey::LanguageCode:
        length = uloc_getDisplayLanguage(subject.c_str(), m_icuName.c_str(), out, capacity, &status);
        break;
    case LocaleKey::CountryCode:
        length = uloc_getDisplayCountry(subject.c_str(), m_icuName.c_str(), out, capacity, &status);
        break;
    }
    // ICU answers an unknown code with the code itself and a "used the default" warning.
    if (U_FAILURE(status) || status == U_USING_DEFAULT_WARNING || length <= 0 || length > capacity)
        return std::nullopt;
    buffer.resize(static_cast<std::size_t>(length));
    return String(std::move(buffer));
}

StringArray Locale::ISOCountryCodes()
{
    return fromList(uloc_getISOCountries());
}
StringArray Locale::ISOLanguageCodes()
{
    return fromList(uloc_getISOLanguages());
}

StringArray Locale::availableLocaleIdentifiers()
{
    StringArray out;
    int32_t count = uloc_countAvailable();
    out.reserve(static_cast<std::size_t>(count));
    for (int32_t i = 0; i < count; ++i)
        out.emplace_back(uloc_getAvailable(i));
    return out;
}

}
