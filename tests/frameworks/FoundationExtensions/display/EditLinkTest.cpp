#include "frameworks/FoundationExtensions/ui/EditLink.h"
#include "frameworks/FoundationExtensions/ui/EditLinkServer.h"
#include "frameworks/FoundationExtensions/ui/ZORAlertPanel.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/ObjectBridge.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/ui/panels/Alert.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/dragging/Pasteboard.h"

#include "support/TemporaryFolder.h"
#include "support/Waiting.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

namespace {

std::string infoPlist(const std::string& identifier, const std::string& executable)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist "
           "version=\"1.0\"><dict><key>CFBundleIdentifier</key><string>"
        + identifier + "</string><key>CFBundleExecutable</key><string>" + executable + "</string></dict></plist>\n";
}

template <typename Condition> bool runUntil(Condition condition, double seconds = testsupport::WaitSeconds)
{
    auto limit = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!condition() && std::chrono::steady_clock::now() < limit)
        fnd::RunLoop::main().runUntilDate(fnd::Date::now().addingTimeInterval(0.02));
    return condition();
}

class Recorder : public EditLinkDelegate {
public:
    void editLinkServerDidSendEdit(EditLink& link) override
    {
        auto data = link.pasteboard()->propertyListForType(EditLinkPboardType);
        received.push_back(data.dictionary() ? EditLinkAppDataOf(*data.dictionary()).stringValue() : "<no data>");
    }
    void editLinkDidClose(EditLink&) override { ++closed; }
    std::vector<fnd::String> received;
    int closed { 0 };
};

class EditLinkSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("XDG_DATA_HOME", folder.file("data").c_str(), 1);
        folder.write("Client/Info.plist", infoPlist("org.example.client", "ClientApp"));
        folder.write("Server/Info.plist", infoPlist("org.example.server", "ServerApp"));
        folder.write("data/applications/tools/org.example.server.desktop",
            "[Desktop Entry]\nType=Application\nName=Server\nExec=\"" EDITLINK_SERVER "\" \"" + folder.file("Server")
                + "\"\nX-EditLinkServer=Other;Barcode;\n");
        fnd::Bundle::setMainBundlePath(folder.file("Client").c_str());
        backend = ui::HeadlessBackend::install();
    }
    void TearDown() override
    {
        ui::Backend::install(nullptr);
        unsetenv("XDG_DATA_HOME");
    }

    testsupport::TemporaryFolder folder;
    std::shared_ptr<ui::HeadlessBackend> backend;
};

TEST_F(EditLinkSession, AnItemGoesToTheServerApplicationAndComesBackEdited)
{
    EXPECT_EQ(EditLinkServer::desktopEntryForServer("org.example.server", "Barcode"),
        fnd::String(folder.file("data/applications/tools/org.example.server.desktop")));
    EXPECT_FALSE(EditLinkServer::desktopEntryForServer("org.example.server", "Missing"));

    // Data without the address to get the server from is editable all the same.
    fnd::Dictionary data { { "bundleId", "org.example.server" }, { "serverName", "Barcode" }, { "version", "A" },
        { "serverAppName", "ServerApp" }, { "appData", "4006381333931" }, { "refresh", 0.0f } };
    auto recorder = std::make_shared<Recorder>();
    auto key = EditLinkNewItemKey();
    auto link = EditLink::editEditLinkData(data, "Label.doc", recorder, key);
    ASSERT_TRUE(link) << "the server application was started from its desktop entry";
    EXPECT_TRUE(fnd::ObjectBridge::nameHasOwner(EditLinkServer::busNameFor("org.example.server", "Barcode")));
    EXPECT_EQ(EditLink::activeEditLinkForItemKey(key), link);
    ASSERT_TRUE(runUntil([&] { return recorder->received.size() == 1; }));
    EXPECT_EQ(recorder->received[0], "4006381333931 (edited by Label.doc)");

    // The same item again reuses the open link and sends the data anew.
    data.set("appData", "9780306406157");
    EXPECT_EQ(EditLink::editEditLinkData(data, "Label.doc", recorder, key), link);
    ASSERT_TRUE(runUntil([&] { return recorder->received.size() == 2; }));
    EXPECT_EQ(recorder->received[1], "9780306406157 (edited by Label.doc)");

    link->closeLink();
    EXPECT_FALSE(link->isConnected());
    EXPECT_FALSE(EditLink::activeEditLinkForItemKey(key));
    EXPECT_THROW(link->requestEdit(), fnd::Exception);
    // The server application quits when its link closes.
    EXPECT_TRUE(runUntil(
        [] { return !fnd::ObjectBridge::nameHasOwner(EditLinkServer::busNameFor("org.example.server", "Barcode")); }));
}

TEST_F(EditLinkSession, AMissingServerApplicationIsReportedWithADownloadButtonOnlyWithAnAddress)
{
    std::vector<std::pair<fnd::String, fnd::String>> buttons;
    auto answer = [&](long code) {
        backend->answerNextModal([&, code](ui::Window& window) {
            auto panel = ZORAlertPanel::panelForWindow(window);
            ASSERT_TRUE(panel);
            EXPECT_EQ(panel->alert()->alertStyle(), ui::AlertStyle::Critical);
            buttons.emplace_back(panel->defaultButton(), panel->alternateButton());
            // The default button comes first, the alternate second.
            panel->alert()->buttons().at(code == ZORAlertPanel::DefaultReturn ? 0 : 1)->performClick();
        });
    };
    fnd::Dictionary data { { "bundleId", "org.example.missing" }, { "serverName", "Barcode" },
        { "serverAppName", "Missing" }, { "ApplicationURL", "https://example.org/get" } };
    answer(ZORAlertPanel::AlternateReturn);
    EXPECT_FALSE(EditLink::editEditLinkData(data, "Doc", nullptr, EditLinkNewItemKey()));
    data.remove("ApplicationURL");
    answer(ZORAlertPanel::DefaultReturn);
    EXPECT_FALSE(EditLink::editEditLinkData(data, "Doc", nullptr, EditLinkNewItemKey()));
    EXPECT_EQ(
        buttons, (std::vector<std::pair<fnd::String, fnd::String>> { { "OK", "Get Application" }, { "OK", "" } }));
    EXPECT_EQ(backend->openedURLs(), std::vector<fnd::String> { "https://example.org/get" });

    EXPECT_THROW(
        EditLink::editEditLinkData(fnd::Dictionary { { "bundleId", "x" } }, "Doc", nullptr, "k"), fnd::Exception);
}

TEST_F(EditLinkSession, ServersArePublishedAndRetractedByName)
{
    auto delegate = std::make_shared<Recorder>();
    EditLink::retractServerWithName("NeverPublished");
    ASSERT_TRUE(EditLink::publishServerWithName("Local", delegate));
    auto name = EditLinkServer::busNameFor("org.example.client", "Local");
    EXPECT_EQ(name, "org.example.client.Local");
    EXPECT_TRUE(fnd::ObjectBridge::nameHasOwner(name));
    ASSERT_TRUE(EditLinkServer::EditLinkServerWithName("Local"));
    EXPECT_EQ(EditLinkServer::EditLinkServerWithName("Local")->delegate(), delegate);
    EditLink::retractServerWithName("Local");
    EXPECT_FALSE(EditLinkServer::EditLinkServerWithName("Local"));
    EXPECT_FALSE(fnd::ObjectBridge::nameHasOwner(name));
    EXPECT_EQ(EditLinkServer::busNameFor("3d.example", "my server:1"), "_3d.example.my_server_1");
}

}
