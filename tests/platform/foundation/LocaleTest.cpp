#include "platform/foundation/locale/Locale.h"
#include "platform/foundation/locale/Collator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

using namespace fnd;

namespace {

// Sets environment variables for one test and puts the old values back.
class ScopedLocaleEnvironment {
public:
    using Values = std::vector<std::pair<const char*, const char*>>;
    explicit ScopedLocaleEnvironment(const Values& values)
    {
        for (const char* name : { "LC_ALL", "LC_NUMERIC", "LC_MESSAGES", "LANG" }) {
            const char* old = std::getenv(name);
            m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
            unsetenv(name);
        }
        for (auto [name, value] : values)
            setenv(name, value, 1);
    }
    ~ScopedLocaleEnvironment()
    {
        for (auto& [name, value] : m_saved) {
            if (value)
                setenv(name, value->c_str(), 1);
            else
                unsetenv(name);
        }
    }

private:
    std::vector<std::pair<const char*, std::optional<std::string>>> m_saved;
};

}

TEST(Locale, CurrentComesFromTheEnvironmentInPosixPrecedence)
{
    struct Case {
        ScopedLocaleEnvironment::Values environment;
        const char* expected;
    };
    const Case cases[] = {
        { {}, "en_US" },
        { { { "LANG", "C" } }, "en_US" },
        { { { "LANG", "POSIX" } }, "en_US" },
        { { { "LANG", "C.UTF-8" } }, "en_US" },
        { { { "LANG", "fr_FR.UTF-8" } }, "fr_FR" },
        { { { "LANG", "fr_FR.UTF-8" }, { "LC_MESSAGES", "nl_NL" } }, "nl_NL" },
        { { { "LANG", "fr_FR" }, { "LC_MESSAGES", "nl_NL" }, { "LC_NUMERIC", "de_DE@euro" } }, "de_DE" },
        { { { "LANG", "fr_FR" }, { "LC_ALL", "es_ES.ISO-8859-1" } }, "es_ES" },
    };
    for (const Case& c : cases) {
        ScopedLocaleEnvironment environment(c.environment);
        EXPECT_EQ(Locale::current().localeIdentifier(), String(c.expected)) << "expected " << c.expected;
    }
}

TEST(Locale, IdentifiersAreCanonicalAndSplitIntoCodes)
{
    struct Case {
        const char* given;
        const char* identifier;
        const char* language;
        const char* country;
        const char* script;
    };
    const Case cases[] = {
        { "de_DE", "de_DE", "de", "DE", "" },
        { "de-CH", "de_CH", "de", "CH", "" },
        { "pt_BR.UTF-8", "pt_BR", "pt", "BR", "" },
        { "zh-Hans-CN", "zh_Hans_CN", "zh", "CN", "Hans" },
        { "nl", "nl", "nl", "", "" },
    };
    for (const Case& c : cases) {
        Locale locale(c.given);
        EXPECT_EQ(locale.localeIdentifier(), String(c.identifier)) << c.given;
        EXPECT_EQ(locale.languageCode(), String(c.language)) << c.given;
        EXPECT_EQ(locale.countryCode(), String(c.country)) << c.given;
        EXPECT_EQ(locale.scriptCode(), String(c.script)) << c.given;
    }
}

TEST(Locale, SeparatorsFollowTheLocale)
{
    EXPECT_EQ(Locale("en_US").decimalSeparator(), String("."));
    EXPECT_EQ(Locale("en_US").groupingSeparator(), String(","));
    EXPECT_EQ(Locale("de_DE").decimalSeparator(), String(","));
    EXPECT_EQ(Locale("de_DE").groupingSeparator(), String("."));
    EXPECT_EQ(Locale("fr_FR").decimalSeparator(), String(","));
}

TEST(Locale, DisplayNamesAreInTheLocalesLanguageAndAbsentForUnknownCodes)
{
    Locale french("fr_FR");
    EXPECT_EQ(french.displayNameForKey(LocaleKey::CountryCode, "DE"), String("Allemagne"));
    EXPECT_EQ(french.displayNameForKey(LocaleKey::LanguageCode, "de"), String("allemand"));
    EXPECT_EQ(french.displayNameForKey(LocaleKey::Identifier, "de_CH"), String("allemand (Suisse)"));
    EXPECT_EQ(Locale("en_US").displayNameForKey(LocaleKey::CountryCode, "NL"), String("Netherlands"));

    EXPECT_EQ(french.displayNameForKey(LocaleKey::CountryCode, "QQ"), std::nullopt);
    EXPECT_EQ(french.displayNameForKey(LocaleKey::LanguageCode, "qx"), std::nullopt);
    EXPECT_EQ(french.displayNameForKey(LocaleKey::Identifier, "xq_QQ"), std::nullopt);
    EXPECT_EQ(french.displayNameForKey(LocaleKey::CountryCode, ""), std::nullopt);
}

TEST(Locale, CodeListsHoldTheWellKnownCodesAndEveryCountryHasAName)
{
    auto countries = Locale::ISOCountryCodes();
    auto languages = Locale::ISOLanguageCodes();
    auto identifiers = Locale::availableLocaleIdentifiers();
    for (const char* code : { "DE", "US", "JP", "CH" })
        EXPECT_NE(std::ranges::find(countries, String(code)), countries.end()) << code;
    for (const char* code : { "de", "en", "ja", "ga" })
        EXPECT_NE(std::ranges::find(languages, String(code)), languages.end()) << code;
    for (const char* identifier : { "de_DE", "en_US", "es", "nl_NL" })
        EXPECT_NE(std::ranges::find(identifiers, String(identifier)), identifiers.end()) << identifier;

    Locale english("en_US");
    for (const String& code : countries)
        EXPECT_TRUE(english.displayNameForKey(LocaleKey::CountryCode, code)) << code;
}

TEST(Collator, OrdersAsPeopleOfTheLocaleDo)
{
    Collator english(Locale("en_US"));
    Collator englishNoCase(Locale("en_US"), Collator::Case::Insensitive);
    Collator swedish(Locale("sv_SE"));
    struct Case {
        const Collator& collator;
        const char* a;
        const char* b;
        std::weak_ordering expected;
    };
    const Case cases[] = {
        { english, "apple", "Banana", std::weak_ordering::less }, // literal order would put "B" first
        { english, "résumé", "resumes", std::weak_ordering::less }, // accents weigh less than letters
        { english, "abc", "ABC", std::weak_ordering::less },
        { englishNoCase, "abc", "ABC", std::weak_ordering::equivalent },
        { englishNoCase, "e", "é", std::weak_ordering::less }, // still tells accents apart
        { english, "Zebra", "Äpfel", std::weak_ordering::greater },
        { swedish, "Zebra", "Äpfel", std::weak_ordering::less }, // Ä sorts after Z in Swedish
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.collator.compare(c.a, c.b), c.expected) << c.a << " vs " << c.b;
}

TEST(Collator, FreeFunctionsUseTheCurrentLocale)
{
    ScopedLocaleEnvironment environment(ScopedLocaleEnvironment::Values { { "LANG", "sv_SE.UTF-8" } });
    EXPECT_EQ(localizedCompare("Zebra", "Äpfel"), std::weak_ordering::less);
    EXPECT_EQ(localizedCaseInsensitiveCompare("ÄPFEL", "äpfel"), std::weak_ordering::equivalent);
    EXPECT_EQ(localizedCompare("ÄPFEL", "äpfel"), std::weak_ordering::greater);
}
