#include "frameworks/FoundationExtensions/EditLinkData.h"
#include "frameworks/FoundationExtensions/ui/EditLinkServer.h"
#include "frameworks/FoundationExtensions/ui/ZORAlertPanel.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/foundation/files/Bundle.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/panels/Alert.h"

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

TEST_F(EditLinkDictionary, AnApplicationFolderTheSearchCannotListIsReportedAndOneThatIsMissingIsNot)
{
    auto backend = ui::HeadlessBackend::install();
    const char* previous = std::getenv("XDG_DATA_HOME");
    const std::string previousHome = previous ? previous : "";
    // The data folder's "applications" is a file: listing it fails with "Not a directory".
    folder.write("data/applications", "not a folder");
    setenv("XDG_DATA_HOME", folder.file("data").c_str(), 1);
    std::vector<fnd::String> titles;
    backend->answerNextModal([&](ui::Window& window) {
        auto panel = ZORAlertPanel::panelForWindow(window);
        ASSERT_TRUE(panel);
        titles.push_back(panel->title());
        panel->alert()->buttons().at(0)->performClick();
    });
    EXPECT_FALSE(EditLinkServer::desktopEntryForServer("org.example.absent", "Barcode"));
    EXPECT_EQ(titles,
        std::vector<fnd::String> {
            "Could not list the folder \u201c" + folder.file("data/applications") + "\u201d: Not a directory." });

    // A data folder without applications is no failure: most of the desktop's data folders have none.
    setenv("XDG_DATA_HOME", folder.file("empty").c_str(), 1);
    backend->answerNextPanel(ui::PanelAnswer::pressing(ui::AlertReturn::FirstButton));
    EXPECT_FALSE(EditLinkServer::desktopEntryForServer("org.example.absent", "Barcode"));
    EXPECT_EQ(backend->pendingPanelAnswers(), 1u) << "no alert";

    if (previous)
        setenv("XDG_DATA_HOME", previousHome.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
    ui::Backend::install(nullptr);
}

}
