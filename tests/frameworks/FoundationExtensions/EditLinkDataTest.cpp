#include "frameworks/FoundationExtensions/EditLinkData.h"

#include "platform/foundation/files/Bundle.h"

#include "support/Raised.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

class EditLinkDictionary : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder.write("App/Info.plist",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
            "<key>CFBundleIdentifier</key><string>org.example.maker</string>"
            "<key>CFBundleExecutable</key><string>Maker</string>"
            "<key>EditLinkApplicationURL</key><string>https://example.org/maker</string></dict></plist>\n");
        folder.write("Plain/Info.plist",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
            "<key>CFBundleIdentifier</key><string>org.example.plain</string></dict></plist>\n");
        fnd::Bundle::setMainBundlePath(folder.file("App").c_str());
    }
    void TearDown() override { fnd::Bundle::setMainBundleName({}); }
    testsupport::TemporaryFolder folder;
};

TEST_F(EditLinkDictionary, HoldsTheKeysPeersReadAndOnlyTheOptionalOnesGiven)
{
    auto full
        = EditLinkData::editLinkDataWithServerName(fnd::String("Barcode"), "payload", fnd::String("_Refresh"), 2.5);
    EXPECT_EQ(full,
        fnd::Dictionary({ { "bundleId", "org.example.maker" }, { "serverName", "Barcode" }, { "version", "A" },
            { "serverAppName", "Maker" }, { "serverActionKey", "_Refresh" }, { "appData", "payload" },
            { "ApplicationURL", "https://example.org/maker" }, { "refresh", 2.5f } }));
    EXPECT_EQ(full.get("refresh").number()->kind(), fnd::Number::Kind::Float);
    EXPECT_TRUE(EditLinkData::editLinkDataBelongsToActiveApplication(full));
    EXPECT_EQ(EditLinkData::editLinkSuggestedRefreshRate(full), 2.5);
    EXPECT_EQ(EditLinkData::editLinkApplicationURL(full), fnd::String("https://example.org/maker"));
    EXPECT_EQ(EditLinkData::editLinkActionName(full), "Refresh");
    EXPECT_EQ(EditLinkData::editLinkEditMenuTitle(full), "Refresh in Maker");

    auto shortForm = EditLinkCreatePasteboardData("Barcode", {});
    EXPECT_FALSE(shortForm.contains("serverActionKey"));
    EXPECT_FALSE(shortForm.contains("appData"));
    EXPECT_EQ(EditLinkData::editLinkActionName(shortForm), "Edit");
    EXPECT_EQ(EditLinkData::editLinkSuggestedRefreshRate(shortForm), 0);
    EXPECT_EQ(EditLinkData::editLinkDataWithServerName(fnd::String("S"), {}, 3).get("serverActionKey"),
        fnd::Value("_Refresh"));
    EXPECT_EQ(raised([] { EditLinkData::editLinkDataWithServerName(std::nullopt, {}); })->reason(),
        "EditLink Data cannot be created without a server name.");

    // Without the Info.plist key there is no address, and the data belongs to another application.
    fnd::Bundle::setMainBundlePath(folder.file("Plain").c_str());
    auto plain = EditLinkCreatePasteboardData("Barcode", fnd::Array { 1, 2 });
    EXPECT_FALSE(plain.contains("ApplicationURL"));
    EXPECT_FALSE(EditLinkData::editLinkApplicationURL(plain));
    EXPECT_EQ(EditLinkAppDataOf(plain), fnd::Value(fnd::Array { 1, 2 }));
    EXPECT_FALSE(EditLinkIsFromActiveApplication(full));
}

TEST_F(EditLinkDictionary, ItemKeysCountUpAndServerNamesJoinIdentifierAndName)
{
    std::regex pattern("org\\.example\\.maker[0-9]+\\.([0-9a-f]{4})");
    std::smatch first, second;
    auto a = EditLinkNewItemKey().utf8(), b = EditLinkNewItemKey().utf8();
    ASSERT_TRUE(std::regex_match(a, first, pattern)) << a;
    ASSERT_TRUE(std::regex_match(b, second, pattern)) << b;
    EXPECT_EQ(std::stoul(second[1], nullptr, 16), std::stoul(first[1], nullptr, 16) + 1);
    EXPECT_EQ(EditLinkServerRegisteredName("org.example.maker", "Barcode"), "org.example.maker:Barcode");
    EXPECT_EQ(EditLinkMultipleItemsMenuTitle(), "Edit EditLink Items");
    EXPECT_EQ(EditLinkNoItemMenuTitle(), "Edit EditLink Item");
}

}
