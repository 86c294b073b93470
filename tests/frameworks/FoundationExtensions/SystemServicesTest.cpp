#include "frameworks/FoundationExtensions/QFAppKitExtensions.h"
#include "frameworks/FoundationExtensions/ui/ZHKHotKeyCenter.h"
#include "frameworks/FoundationExtensions/ui/ZORAlertPanel.h"
#include "frameworks/FoundationExtensions/ZORAppKitSuppressAlertsAndWarnings.h"
#include "frameworks/FoundationExtensions/ZORManagedObjectModelExtensions.h"
#include "frameworks/FoundationExtensions/ZORNSFileManagerExtension.h"
#include "frameworks/FoundationExtensions/ZORNSURLExtension.h"
#include "frameworks/FoundationExtensions/ui/ZORNSWorkspaceExtension.h"
#include "frameworks/FoundationExtensions/ZORNetwork.h"
#include "frameworks/FoundationExtensions/ui/ZORSoundManager.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/foundation/services/DesktopEntry.h"
#include "platform/foundation/services/Process.h"
#include "platform/ui/panels/Alert.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/desktop/GlobalHotKeys.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/desktop/Sound.h"

#include "support/LocalHTTPServer.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

namespace {

// Sets an environment variable for the scope of a test.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value)
        : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment()
    {
        if (m_old)
            setenv(m_name, m_old->c_str(), 1);
        else
            unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

TEST(AlertSuppression, AlertsShowUntilSwitchedOffAndAgainAfterAReset)
{
    testsupport::TemporaryFolder folder;
    fnd::UserDefaults defaults("org.example.alerts", folder.path().c_str());
    namespace S = ZORAppKitSuppressAlertsAndWarnings;
    EXPECT_TRUE(S::shouldShowAlertWithIdentifier(defaults, "delete"));
    S::setShowState(defaults, false, "delete");
    S::setShowState(defaults, true, "overwrite");
    EXPECT_FALSE(S::shouldShowAlertWithIdentifier(defaults, "delete"));
    EXPECT_TRUE(S::shouldShowAlertWithIdentifier(defaults, "overwrite"));
    EXPECT_TRUE(S::shouldShowAlertWithIdentifier(defaults, "other"));
    EXPECT_EQ(defaults.objectForKey(S::DefaultsKey),
        fnd::Value(fnd::Dictionary({ { "delete", false }, { "overwrite", true } })));

    fnd::UserDefaults reread("org.example.alerts", folder.path().c_str());
    EXPECT_FALSE(S::shouldShowAlertWithIdentifier(reread, "delete"));
    S::resetAlertsAndWarnings(reread);
    EXPECT_TRUE(S::shouldShowAlertWithIdentifier(reread, "delete"));
}

TEST(DefaultsColours, ColoursSurviveTheDefaultsAndOtherDataIsNoColour)
{
    testsupport::TemporaryFolder folder;
    fnd::UserDefaults defaults("org.example.colours", folder.path().c_str());
    auto red = gfx::Color::colorWithCalibratedRed(0.8, 0.1, 0.2, 0.5);
    QFAppKitExtensions::setColor(defaults, red, "label");
    ASSERT_TRUE(defaults.dataForKey("label"));

    fnd::UserDefaults reread("org.example.colours", folder.path().c_str());
    auto back = QFAppKitExtensions::colorForKey(reread, "label");
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->isEqual(*red)) << back->description();
    EXPECT_FALSE(QFAppKitExtensions::colorForKey(reread, "missing"));
    reread.setObject(fnd::Data::fromString("not an archive"), "junk");
    EXPECT_FALSE(QFAppKitExtensions::colorForKey(reread, "junk"));
}

TEST(StandardFolders, ComeFromTheXDGFolders)
{
    testsupport::TemporaryFolder folder;
    ScopedEnvironment config("XDG_CONFIG_HOME", folder.file("config"));
    ScopedEnvironment data("XDG_DATA_HOME", folder.file("data"));
    ScopedEnvironment temporary("TMPDIR", folder.path());
    EXPECT_EQ(ZORNSFileManagerExtension::preferencesDirectory(), fnd::String(folder.file("config")));
    EXPECT_EQ(ZORNSFileManagerExtension::applicationSupportDirectory(), fnd::String(folder.file("data")));
    EXPECT_EQ(ZORNSFileManagerExtension::temporaryFolder(), fnd::String(folder.path()));
    EXPECT_FALSE(ZORNSFileManagerExtension::documentsDirectory().isEmpty());
    EXPECT_FALSE(ZORNSFileManagerExtension::usersDirectory().isEmpty());
}

TEST(ModelLocalization, TriesTheEntityKeyThenThePropertyKeyThenFallsBack)
{
    const ZORExtensions::ModelLocalization model { { "Property/name/Entity/Person", "Full name" },
        { "Property/name", "Name" }, { "Label/Property/age", "Age" }, { "Placeholder/Property/name", "Jane Doe" },
        { "Entity/Person", "Person" } };
    namespace Z = ZORExtensions;
    EXPECT_EQ(Z::localizedPropertyNameForPropertyName(model, "name", "Person"), "Full name");
    EXPECT_EQ(Z::localizedPropertyNameForPropertyName(model, "name", "Pet"), "Name");
    EXPECT_EQ(Z::localizedPropertyNameForPropertyName(model, "age", "Pet"), "missing localization");
    EXPECT_EQ(Z::localizedLabelForPropertyName(model, "age", "Pet"), "Age:");
    EXPECT_EQ(Z::localizedLabelForPropertyName(model, "name", "Person"), "Full name:");
    EXPECT_EQ(Z::localizedLabelForPropertyName(model, "size", "Pet"), "missing localization:");
    EXPECT_EQ(Z::localizedPlaceholderForPropertyName(model, "name", "Person"), "Jane Doe");
    EXPECT_EQ(Z::localizedPlaceholderForPropertyName(model, "age", "Pet"), "missing localization");
    EXPECT_EQ(Z::localizedEntityNameOfEntity(model, "Person"), "Person");
    EXPECT_EQ(Z::localizedEntityNameOfEntity(model, "Pet"), "missing localization");
}

std::string nulSeparated(std::initializer_list<std::string> items)
{
    std::string out;
    for (const auto& item : items)
        out += item + '\0';
    return out;
}

TEST(Mail, EveryTextReachesTheMailProgramAsOneArgumentUnchanged)
{
    testsupport::TemporaryFolder folder;
    auto record = folder.file("arguments");
    auto script = folder.write("mailer",
        "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\0' \"$a\"; done > " + record
            + "\n[ \"$3\" = \"fail@example.org\" ] && exit 3\nexit 0\n");
    chmod(script.c_str(), 0755);
    auto previous = ZORNSWorkspaceExtension::setEmailProgram(script.c_str());

    const std::string body = "Line one\n\"quoted\" $(touch " + folder.file("injected") + ") `id` ; rm -rf '/'";
    EXPECT_TRUE(ZORNSWorkspaceExtension::emailTo(
        fnd::String("-x@example.org"), fnd::String("Sub'ject"), fnd::String(body), { "/tmp/a file.pdf" }));
    auto arguments = folder.read("arguments");
    EXPECT_EQ(arguments,
        nulSeparated({ "--utf8", "--to", "-x@example.org", "--subject", "Sub'ject", "--body", body, "--attach",
            "/tmp/a file.pdf" }));
    EXPECT_FALSE(std::filesystem::exists(folder.file("injected")));

    // No subject and no body leave the options out; a failing mail program is a failure.
    EXPECT_FALSE(ZORNSWorkspaceExtension::emailTo(fnd::String("fail@example.org"), std::nullopt, std::nullopt, {}));
    EXPECT_EQ(folder.read("arguments"), nulSeparated({ "--utf8", "--to", "fail@example.org" }));

    ZORNSWorkspaceExtension::setEmailProgram(folder.file("missing-program").c_str());
    EXPECT_FALSE(ZORNSWorkspaceExtension::emailTo(std::nullopt, fnd::String("s"), std::nullopt, {}));
    ZORNSWorkspaceExtension::setEmailProgram(previous);
}

TEST(LoginItems, AreAutostartEntriesRunningThisExecutable)
{
    testsupport::TemporaryFolder folder;
    ScopedEnvironment config("XDG_CONFIG_HOME", folder.path());
    EXPECT_FALSE(ZORNSWorkspaceExtension::isAppRegisteredAsLoginItem());
    ASSERT_TRUE(ZORNSWorkspaceExtension::addAppAsLoginItem());
    EXPECT_TRUE(ZORNSWorkspaceExtension::isAppRegisteredAsLoginItem());

    auto autostart = std::filesystem::path(folder.path()) / "autostart";
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(autostart))
        files.push_back(entry.path().string());
    ASSERT_EQ(files.size(), 1u);
    auto entry = fnd::DesktopEntry::read(files.front().c_str());
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->execArguments(), fnd::StringArray { fnd::Process::executablePath() });
    EXPECT_EQ(entry->value("Type"), fnd::String("Application"));

    // Another entry running this executable is removed too; one running another program stays.
    folder.write("autostart/copy.desktop",
        "[Desktop Entry]\nType=Application\nExec=" + fnd::Process::executablePath().utf8() + " --minimised\n");
    folder.write("autostart/other.desktop", "[Desktop Entry]\nType=Application\nExec=/usr/bin/true\n");
    ASSERT_TRUE(ZORNSWorkspaceExtension::removeAppFromLoginItem());
    EXPECT_FALSE(ZORNSWorkspaceExtension::isAppRegisteredAsLoginItem());
    EXPECT_FALSE(std::filesystem::exists(files.front()));
    EXPECT_FALSE(std::filesystem::exists(autostart / "copy.desktop"));
    EXPECT_TRUE(std::filesystem::exists(autostart / "other.desktop"));
}

TEST(DesktopEntries, ExecLinesQuoteWhatTheyRunAndReadBackTheSame)
{
    const fnd::StringArray arguments { "/opt/My App/run", "50%", "a \"b\" $HOME `x` \\y", "--flag" };
    fnd::DesktopEntry entry;
    entry.setValue("Exec", fnd::DesktopEntry::execLine(arguments));
    entry.setValue("Comment", " leading blank\nand a line");
    testsupport::TemporaryFolder folder;
    auto path = folder.file("e.desktop");
    ASSERT_TRUE(entry.write(path.c_str()));
    auto back = fnd::DesktopEntry::read(path.c_str());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->execArguments(), arguments);
    EXPECT_EQ(back->value("Comment"), fnd::String(" leading blank\nand a line"));

    folder.write("f.desktop", "[Other]\nExec=nope\n[Desktop Entry]\nExec=prog %U --x=%%y\nList=a;b\\;c;d\n");
    auto fields = fnd::DesktopEntry::read(folder.file("f.desktop").c_str());
    EXPECT_EQ(fields->execArguments(), (fnd::StringArray { "prog", "--x=%y" }));
    EXPECT_EQ(fields->list("List"), (fnd::StringArray { "a", "b;c", "d" }));
}

TEST(Relaunch, StartsTheRunningExecutableAgainOnlyWhenAsked)
{
    auto backend = ui::HeadlessBackend::install();
    auto& app = ui::Application::shared();
    std::vector<fnd::StringArray> launched;
    auto previous = ZORNSWorkspaceExtension::setRelaunchLauncher([&](const fnd::StringArray& arguments) {
        launched.push_back(arguments);
        return fnd::Expected<void>();
    });
    std::vector<fnd::String> offered;
    auto answer = [&](long code) {
        return [&, code](ui::Window& window) {
            auto panel = ZORAlertPanel::panelForWindow(window);
            ASSERT_TRUE(panel);
            offered.push_back(panel->defaultButton());
            // The default button comes first, the alternate second.
            panel->alert()->buttons().at(code == ZORAlertPanel::DefaultReturn ? 0 : 1)->performClick();
        };
    };

    backend->answerNextModal(answer(ZORAlertPanel::AlternateReturn));
    ZORNSWorkspaceExtension::setShowsDockIcon(false);
    EXPECT_TRUE(launched.empty());
    EXPECT_FALSE(app.hasTerminated());

    backend->answerNextModal(answer(ZORAlertPanel::DefaultReturn));
    ZORNSWorkspaceExtension::setShowsDockIcon(false);
    ASSERT_EQ(launched.size(), 1u);
    EXPECT_EQ(launched.front().front(), fnd::Process::executablePath());
    EXPECT_EQ(launched.front(), ZORNSWorkspaceExtension::relaunchArguments());
    EXPECT_EQ(offered, (std::vector<fnd::String> { "Relaunch Now", "Relaunch Now" }));
    EXPECT_TRUE(app.hasTerminated());

    ZORNSWorkspaceExtension::setRelaunchLauncher(previous);
    ui::Backend::install(nullptr);
}

TEST(Reachability, HeadAnswersAndTheNetworkMonitor)
{
    int status = 200;
    testsupport::LocalHTTPServer server([&](const auto&) {
        testsupport::LocalHTTPServer::Response response;
        response.status = status;
        return response;
    });
    for (int answer : { 200, 405, 404, 500 }) {
        status = answer;
        EXPECT_EQ(ZORNSURLExtension::httpIsValid(server.url("/page").c_str()), answer == 200 || answer == 405)
            << answer;
    }
    EXPECT_EQ(server.requests().front().method, "HEAD");
    auto closed = "http://127.0.0.1:" + std::to_string(testsupport::unusedLocalPort()) + "/";
    EXPECT_FALSE(ZORNSURLExtension::httpIsValid(closed.c_str()));

    EXPECT_TRUE(ZORNetwork::checkIfSiteReachable("127.0.0.1"));
    EXPECT_TRUE(ZORNetwork::checkIfSiteReachable("localhost"));
    EXPECT_FALSE(ZORNetwork::checkIfSiteReachable(""));
}

TEST(Sounds, ListsSoundFilesByNameAndPlaysOnlyKnownOnes)
{
    testsupport::TemporaryFolder folder;
    folder.write("theme/sounds/freedesktop/stereo/bell.oga", "x");
    folder.write("theme/sounds/freedesktop/stereo/readme.txt", "x");
    folder.write("home/sounds/Tink.WAV", "x");
    folder.write("home/sounds/nested/deep.wav", "x");
    std::vector<fnd::String> played;
    auto previous = ui::Sound::setPlayer([&](const fnd::String& path) {
        played.push_back(path);
        return true;
    });
    {
        ScopedEnvironment dataDirs("XDG_DATA_DIRS", folder.file("theme"));
        ScopedEnvironment dataHome("XDG_DATA_HOME", folder.file("home"));
        auto& manager = ZORSoundManager::getSharedSoundManager();
        ASSERT_EQ(manager.count(), 2);
        EXPECT_EQ(manager.getSoundNameAtIndex(0), "bell");
        EXPECT_EQ(manager.getSoundNameAtIndex(1), "Tink");
        EXPECT_EQ(manager.getSoundNameAtIndex(2), "");
    }
    ZORSoundManager manager;
    manager.addSoundsFromPath(folder.file("theme/sounds/freedesktop/stereo").c_str());
    manager.addSoundsFromPath(folder.file("missing").c_str());
    EXPECT_EQ(manager.indexOfSound("bell"), 0);
    EXPECT_EQ(manager.indexOfSound("Basso"), ZORSoundManager::NotFound);
    EXPECT_FALSE(manager.playSoundWithName("Basso"));
    EXPECT_FALSE(manager.playSoundAtIndex(-1));
    EXPECT_FALSE(manager.playSoundAtIndex(1));
    EXPECT_TRUE(played.empty());
    EXPECT_TRUE(manager.playSoundWithName("bell"));
    EXPECT_EQ(
        played, std::vector<fnd::String> { fnd::String(folder.file("theme/sounds/freedesktop/stereo/bell.oga")) });
    EXPECT_EQ(manager.sound(), played.back());

    auto menu = manager.getSoundMenu();
    ASSERT_EQ(menu->numberOfItems(), 1);
    EXPECT_EQ(menu->itemAtIndex(0)->title(), "bell");
    EXPECT_EQ(menu->itemAtIndex(0)->tag(), 0);
    ui::Sound::setPlayer(previous);
}

}

namespace {

TEST(HotKeys, WithoutAnX11DisplayRegisteringFailsWithAClearError)
{
    unsetenv("DISPLAY");
    auto registration = ui::GlobalHotKeys::registerHotKey(ui::KeyCode::K, ui::ModifierFlags::Command, [] {});
    ASSERT_FALSE(registration);
    EXPECT_NE(registration.error().localizedDescription().utf8().find("X11 display"), std::string::npos);
    ZHKHotKeyCenter center;
    EXPECT_FALSE(center.registerHotKeyWithKeyCode(ui::KeyCode::K, ui::ModifierFlags::Command, [](const ui::Event&) {}));
}

}
