#include "platform/foundation/files/Bundle.h"

#include "platform/foundation/files/Paths.h"
#include "platform/foundation/files/StringsFile.h"
#include "platform/foundation/TestSupport.h"

#include <gtest/gtest.h>

using namespace fnd;
using testsupport::CapturedLog;
using testsupport::ScopedEnvironment;

namespace {

// Sets the one variable that decides the language and clears the ones that would override it.
struct Language {
    explicit Language(const char* lang)
        : language("LANGUAGE", std::nullopt)
        , all("LC_ALL", std::nullopt)
        , messages("LC_MESSAGES", std::nullopt)
        , lang("LANG", lang)
    {
    }
    ScopedEnvironment language, all, messages, lang;
};

std::shared_ptr<Bundle> testBundle()
{
    auto bundle = Bundle::bundleWithName("TestBundle");
    EXPECT_TRUE(bundle) << "resources/TestBundle must be found through the resource roots";
    return bundle;
}

}

TEST(StringsFile, ParsesEntriesCommentsAndEscapes)
{
    struct Case {
        const char* source;
        const char* key;
        const char* value;
    };
    const Case cases[] = {
        { R"("k" = "v";)", "k", "v" },
        { "/* c */ \"k\" /* c */ = // c\n \"v\" ;", "k", "v" },
        { R"("q\"uote" = "a\\b";)", "q\"uote", "a\\b" },
        { R"("k" = "line\nnext\ttab\r";)", "k", "line\nnext\ttab\r" },
        { R"("k" = "\U00e9\u20AC";)", "k", "\xC3\xA9\xE2\x82\xAC" },
        { R"("k" = "\UD83D\UDE00";)", "k", "\xF0\x9F\x98\x80" },
        { R"("k" = "it\'s";)", "k", "it's" },
        { "bare_key.1 = bareValue;", "bare_key.1", "bareValue" },
        { R"("alone";)", "alone", "alone" },
        { "\xEF\xBB\xBF\"bom\" = \"x\";", "bom", "x" },
        { R"("k" = "first"; "k" = "second";)", "k", "second" },
    };
    for (const auto& c : cases) {
        auto table = StringsFile::parse(Data::fromString(c.source));
        ASSERT_TRUE(table) << c.source << ": " << table.error().localizedDescription();
        EXPECT_EQ((*table)[String(c.key)].utf8(), c.value) << c.source;
    }

    // UTF-16 in both byte orders, told apart by the mark.
    const char little[] = "\xFF\xFE\"\0k\0\"\0=\0\"\0\xE9\0\"\0;\0";
    const char big[] = "\xFE\xFF\0\"\0k\0\"\0=\0\"\0\xE9\0\"\0;";
    for (auto bytes : { std::string(little, sizeof little - 1), std::string(big, sizeof big - 1) }) {
        auto table = StringsFile::parse(Data::fromString(bytes));
        ASSERT_TRUE(table);
        EXPECT_EQ((*table)["k"].utf8(), "\xC3\xA9");
    }
}

TEST(StringsFile, MalformedTablesGiveAnErrorNamingTheLine)
{
    struct Case {
        const char* source;
        const char* line;
    };
    const Case cases[] = {
        { "\"a\" = \"b\";\n\"c\" = \"d\"\n\"e\" = \"f\";", "line 3" },
        { "\"a\" = \"unterminated;\n", "line 2" },
        { "/* never closed", "line 1" },
        { "\"a\" \"b\";", "line 1" },
        { "\"a\" = ;", "line 1" },
        { "\n\n\"a\" = \"\\U\";", "line 3" },
        { "\"a\" = \"b\\", "line 1" },
    };
    for (const auto& c : cases) {
        auto table = StringsFile::parse(Data::fromString(c.source));
        ASSERT_FALSE(table) << c.source;
        EXPECT_NE(table.error().localizedDescription().utf8().find(c.line), std::string::npos)
            << c.source << " gave: " << table.error().localizedDescription();
    }
    EXPECT_TRUE(StringsFile::parse(Data())->empty());
}

TEST(Bundle, PreferredLanguagesComeFromTheEnvironmentInGettextOrder)
{
    struct Case {
        const char* language;
        const char* lcAll;
        const char* lang;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        { nullptr, nullptr, nullptr, { "en" } },
        { nullptr, nullptr, "C.UTF-8", { "en" } },
        { nullptr, nullptr, "de_CH.UTF-8@euro", { "de_CH", "de", "en" } },
        { nullptr, "fr_FR.UTF-8", "de_DE.UTF-8", { "fr_FR", "fr", "en" } },
        { "nl:de_AT", "fr_FR", "de_DE", { "nl", "de_AT", "de", "en" } },
        { "en_GB", nullptr, nullptr, { "en_GB", "en" } },
    };
    for (const auto& c : cases) {
        ScopedEnvironment language("LANGUAGE", c.language ? std::optional<std::string>(c.language) : std::nullopt);
        ScopedEnvironment all("LC_ALL", c.lcAll ? std::optional<std::string>(c.lcAll) : std::nullopt);
        ScopedEnvironment messages("LC_MESSAGES", std::nullopt);
        ScopedEnvironment lang("LANG", c.lang ? std::optional<std::string>(c.lang) : std::nullopt);
        std::vector<std::string> got;
        for (const auto& l : Bundle::preferredLanguages())
            got.push_back(l.utf8());
        EXPECT_EQ(got, c.expected) << (c.language ? c.language : "-") << " / " << (c.lcAll ? c.lcAll : "-") << " / "
                                   << (c.lang ? c.lang : "-");
    }
}

TEST(Bundle, LocalizedStringLookupRules)
{
    Language german("de_DE.UTF-8");
    auto bundle = testBundle();
    ASSERT_TRUE(bundle);
    struct Case {
        const char* key;
        const char* value;
        const char* table;
        const char* expected;
    };
    const Case cases[] = {
        { "Greeting", "", "", "Hallo" }, // preferred language, default table
        { "Greeting", "", "Localizable", "Hallo" }, // the default table by name
        { "OnlyEnglish", "", "", "Only in English" }, // missing in German: English next
        { "Empty", "fallback", "", "" }, // an empty text is still a text
        { "Missing", "Default text", "", "Default text" }, // missing key: the given value
        { "Missing", "", "", "Missing" }, // ... or the key itself
        { "Greeting", "", "Other", "Hello from another table" }, // another table
        { "Greeting", "", "NoSuchTable", "Greeting" }, // a missing table is an empty one
        { "Escapes", "", "", "say \"hi\"\\\n\tnext \xC3\xA9\xE2\x82\xAC" }, // escapes decoded
    };
    for (const auto& c : cases)
        EXPECT_EQ(bundle->localizedStringForKey(c.key, c.value, c.table).utf8(), c.expected) << c.key << " " << c.table;

    Language english("en_US.UTF-8");
    EXPECT_EQ(bundle->localizedStringForKey("Greeting", "", "").utf8(), "Hello");
}

TEST(Bundle, AMalformedTableIsLoggedAndGivesDefaults)
{
    Language english("en_US.UTF-8");
    CapturedLog log;
    auto bundle = testBundle();
    ASSERT_TRUE(bundle);
    EXPECT_EQ(bundle->localizedStringForKey("Good", "dflt", "Broken").utf8(), "dflt");
    EXPECT_EQ(bundle->localizedStringForKey("Later", "", "Broken").utf8(), "Later");
    EXPECT_TRUE(log.contains(LogLevel::Error, "Broken.strings"));
    EXPECT_TRUE(log.contains(LogLevel::Error, "line 3"));
}

TEST(Bundle, ResourcePathsByNameTypeSubdirectoryAndLanguage)
{
    auto bundle = testBundle();
    ASSERT_TRUE(bundle);
    auto relative = [&](const std::optional<String>& path) {
        if (!path)
            return std::string("(none)");
        auto text = path->utf8();
        auto root = bundle->bundlePath().utf8() + "/";
        return text.starts_with(root) ? text.substr(root.size()) : text;
    };
    {
        Language german("de_DE.UTF-8");
        EXPECT_EQ(relative(bundle->pathForResource("note", "txt")), "note.txt");
        EXPECT_EQ(relative(bundle->pathForResource("note.txt", "")), "note.txt");
        EXPECT_EQ(relative(bundle->pathForResource("localized", "txt")), "de.lproj/localized.txt");
        EXPECT_EQ(relative(bundle->pathForResource("pin", "png", "Images")), "Images/pin.png");
        EXPECT_EQ(relative(bundle->pathForResource("absent", "txt")), "(none)");
        EXPECT_EQ(relative(bundle->pathForImageResource("pin")), "pin.png");
        EXPECT_EQ(relative(bundle->pathForImageResource("plan")), "plan.pdf");
        EXPECT_EQ(relative(bundle->pathForImageResource("note")), "(none)");
    }
    Language french("fr_FR.UTF-8");
    EXPECT_EQ(relative(bundle->pathForResource("localized", "txt")), "en.lproj/localized.txt");
}

TEST(Bundle, BundleOfAClassByNameThenLongestPrefixElseMain)
{
    Bundle::registerClassPrefix("TST", "TestBundle");
    Bundle::registerClassPrefix("TSTX", "NoSuchBundle");
    Bundle::registerClass("TSTXSpecial", "TestBundle");
    auto test = testBundle();
    CapturedLog log;
    EXPECT_EQ(Bundle::bundleForClass("TSTThing"), test);
    EXPECT_EQ(Bundle::bundleForClass("TSTXSpecial"), test);
    EXPECT_EQ(Bundle::bundleForClass("TSTXOther"), Bundle::mainBundle()) << "a missing bundle falls back to main";
    EXPECT_TRUE(log.contains(LogLevel::Error, "NoSuchBundle"));
    EXPECT_EQ(Bundle::bundleForClass("AppDelegate"), Bundle::mainBundle());
    EXPECT_EQ(Bundle::bundleWithName("TestBundle"), test) << "one object per bundle";
    EXPECT_EQ(Bundle::bundleWithName("../TestBundle"), nullptr);
}

TEST(Bundle, AMissingMainBundleStillAnswersWithDefaults)
{
    Bundle::setMainBundleName("NoSuchApplication");
    auto main = Bundle::mainBundle();
    ASSERT_TRUE(main);
    EXPECT_TRUE(main->bundlePath().isEmpty());
    EXPECT_TRUE(main->bundleIdentifier().isEmpty());
    EXPECT_EQ(main->localizedStringForKey("VSversion", "Version", "").utf8(), "Version");
    EXPECT_FALSE(main->pathForResource("anything", "png"));
    Bundle::setMainBundleName({});
}
