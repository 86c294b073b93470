#include "platform/foundation/UserDefaults.h"

#include "platform/foundation/Exception.h"
#include "platform/foundation/FileManager.h"
#include "platform/foundation/Object.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/TestSupport.h"

#include <gtest/gtest.h>

using namespace fnd;
using testsupport::CapturedLog;
using testsupport::ScopedEnvironment;
using testsupport::TemporaryFolder;

namespace {

// Each test keeps its defaults in its own configuration folder.
struct DefaultsFolder {
    TemporaryFolder folder;
    ScopedEnvironment config { "XDG_CONFIG_HOME", folder.path() };
    std::string file(const std::string& suite) const { return folder / (suite + "/" + suite + ".plist"); }
};

const char* const Suite = "org.example.Barcodes";

}

TEST(UserDefaults, StoredValuesSitAboveRegisteredOnesAndRemovalRevealsThem)
{
    DefaultsFolder config;
    UserDefaults defaults(Suite);
    defaults.registerDefaults({ { "ZORICPageUnitMeasurementType", 2 }, { "ShowCaption", true },
        { "Symbology", "EAN13" }, { "ModuleWidth", 0.33 } });

    EXPECT_EQ(defaults.integerForKey("ZORICPageUnitMeasurementType"), 2);
    defaults.setInteger(4, "ZORICPageUnitMeasurementType");
    EXPECT_EQ(defaults.integerForKey("ZORICPageUnitMeasurementType"), 4);
    defaults.removeObjectForKey("ZORICPageUnitMeasurementType");
    EXPECT_EQ(defaults.integerForKey("ZORICPageUnitMeasurementType"), 2) << "removal falls back to the registration";

    // A later registration changes what a missing key gives, never what is stored.
    defaults.setObject("QR", "Symbology");
    defaults.registerDefaults({ { "Symbology", "Code128" }, { "ShowCaption", false } });
    EXPECT_EQ(defaults.stringForKey("Symbology")->utf8(), "QR");
    EXPECT_FALSE(defaults.boolForKey("ShowCaption"));

    EXPECT_TRUE(defaults.objectForKey("Unknown").isNil());
    EXPECT_FALSE(defaults.stringForKey("Unknown"));
    EXPECT_EQ(defaults.integerForKey("Unknown"), 0);

    auto merged = defaults.dictionaryRepresentation();
    EXPECT_EQ(merged.get("Symbology").stringValue().utf8(), "QR");
    EXPECT_EQ(merged.get("ModuleWidth"), Value(0.33));
    EXPECT_EQ(defaults.persistentDomain().count(), 1u);
}

TEST(UserDefaults, TypedGettersConvertLikeThePlatform)
{
    DefaultsFolder config;
    UserDefaults defaults(Suite);
    defaults.registerDefaults(
        { { "Number", 12.75 }, { "Text", "42.5" }, { "Yes", "YES" }, { "List", Array { 1, "two" } },
            { "Table", Dictionary { { "k", 1 } } }, { "Blob", Data::fromString("\x01\x02") } });
    struct Case {
        const char* key;
        bool asBool;
        std::int64_t asInteger;
        double asDouble;
        std::optional<std::string> asString;
    };
    const Case cases[] = {
        { "Number", true, 12, 12.75, "12.75" },
        { "Text", true, 42, 42.5, "42.5" },
        { "Yes", true, 0, 0, "YES" },
        { "List", false, 0, 0, std::nullopt },
        { "Blob", false, 0, 0, std::nullopt },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(defaults.boolForKey(c.key), c.asBool) << c.key;
        EXPECT_EQ(defaults.integerForKey(c.key), c.asInteger) << c.key;
        EXPECT_DOUBLE_EQ(defaults.doubleForKey(c.key), c.asDouble) << c.key;
        auto s = defaults.stringForKey(c.key);
        EXPECT_EQ(s ? std::optional<std::string>(s->utf8()) : std::nullopt, c.asString) << c.key;
    }
    EXPECT_EQ(defaults.floatForKey("Number"), 12.75f);
    EXPECT_EQ(defaults.arrayForKey("List")->size(), 2u);
    EXPECT_FALSE(defaults.arrayForKey("Table"));
    EXPECT_EQ(defaults.dictionaryForKey("Table")->get("k"), Value(1));
    EXPECT_EQ(defaults.dataForKey("Blob")->length(), 2u);
}

TEST(UserDefaults, ValuesThatAreNotPropertyListsAreRefused)
{
    DefaultsFolder config;
    UserDefaults defaults(Suite);
    EXPECT_THROW(defaults.setObject(gfx::Point { 1, 2 }, "Point"), Exception);
    EXPECT_THROW(defaults.setObject(Array { Null {} }, "Nested"), Exception);
    EXPECT_THROW(defaults.setObject(std::make_shared<Object>(), "Object"), Exception);
    EXPECT_THROW(defaults.registerDefaults({ { "Range", Range { 1, 2 } } }), Exception);
    EXPECT_THROW(UserDefaults("a/b"), Exception);
    EXPECT_TRUE(defaults.persistentDomain().isEmpty());
}
