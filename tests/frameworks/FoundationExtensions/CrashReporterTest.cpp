#include "frameworks/FoundationExtensions/ui/ZORAlertPanel.h"
#include "frameworks/FoundationExtensions/ui/ZORCrashReporter.h"
#include "frameworks/FoundationExtensions/ui/ZORFeedbackProvider.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/services/Process.h"
#include "platform/foundation/files/UserDefaults.h"
#include "platform/ui/panels/Alert.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/text/ComboBox.h"
#include "platform/ui/text/TextView.h"

#include "DialogDriving.h"

#include "support/LocalHTTPServer.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>

namespace {

using testsupport::LocalHTTPServer;
using namespace dialogs;

// An application bundle in a temporary folder whose receivers are the test's server, with its state in the folder.
class ServiceFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        server = std::make_unique<LocalHTTPServer>([this](const LocalHTTPServer::Request&) {
            LocalHTTPServer::Response response;
            response.status = status.load();
            response.body = "thanks";
            return response;
        });
        setenv("XDG_STATE_HOME", folder.file("state").c_str(), 1);
        bundlePath = folder.file("Crashy");
        folder.write("Crashy/Info.plist",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
            "<key>CFBundleIdentifier</key><string>org.example.crashy</string>"
            "<key>CFBundleExecutable</key><string>Crashy</string>"
            "<key>CFBundleShortVersionString</key><string>2.1</string>"
            "<key>ZORFeedbackSubjectPrefix</key><string>[Crashy] </string>"
            "<key>ZORFeedbackURL</key><string>https://example.org/feedback</string>"
            "<key>ZORCrashReporterCGIURL</key><string>"
                + server->url("/crash") + "</string><key>ZORFeedbackProviderCGIURL</key><string>"
                + server->url("/feedback") + "</string></dict></plist>\n");
        fnd::Bundle::setMainBundlePath(bundlePath.c_str());
        auto& defaults = fnd::UserDefaults::standardUserDefaults();
        for (const auto& key : { ZORCrashReporter::LastCrashReportDateKey, ZORFeedbackProvider::EmailAddressDefaultKey,
                 ZORFeedbackProvider::SendMeACopyDefaultKey })
            defaults.removeObjectForKey(key);
        backend = ui::HeadlessBackend::install();
    }
    void TearDown() override
    {
        ui::Backend::install(nullptr);
        fnd::Bundle::setMainBundleName({});
        unsetenv("XDG_STATE_HOME");
    }

    // The answer to the next modal session: the panel or window it ran, then the given work.
    template <typename Work> void answerNext(Work work)
    {
        backend->answerNextModal([this, work](ui::Window& window) {
            ++sessions;
            work(window);
        });
    }

    testsupport::TemporaryFolder folder;
    std::string bundlePath;
    std::unique_ptr<LocalHTTPServer> server;
    std::atomic<int> status { 200 };
    std::shared_ptr<ui::HeadlessBackend> backend;
    int sessions { 0 };
    fnd::ScopedClock clock { std::make_shared<fnd::VirtualClock>() };
};

std::string partOf(const std::string& body, const std::string& boundary, const std::string& name)
{
    auto header = "Content-Disposition: form-data; name=\"" + name + "\"\r\n\r\n";
    auto start = body.find(header);
    if (start == std::string::npos)
        return "<missing>";
    start += header.size();
    return body.substr(start, body.find("\r\n--" + boundary, start) - start);
}

std::string boundaryOf(const LocalHTTPServer::Request& request)
{
    auto type = request.header("Content-Type");
    auto at = type.find("boundary=");
    return at == std::string::npos ? std::string() : type.substr(at + 9);
}

using CrashReporter = ServiceFixture;

// The alert a modal answer was given: its panel, checked to be one.
std::shared_ptr<ZORAlertPanel> alertPanelOf(ui::Window& window)
{
    auto panel = ZORAlertPanel::panelForWindow(window);
    EXPECT_TRUE(panel) << "an alert panel runs";
    return panel;
}

TEST_F(CrashReporter, ACrashIsOfferedUntilTheReceiverTakesIt)
{
    auto crashed = fnd::Process::run({ CRASHING_CHILD, bundlePath.c_str() });
    ASSERT_TRUE(crashed);
    EXPECT_EQ(*crashed, 128 + SIGABRT);

    auto path = ZORCrashReporter::pathAndNameOfCrashReportFile();
    ASSERT_TRUE(path);
    EXPECT_TRUE(path->hasPrefix(fnd::String(folder.file("state/org.example.crashy/crashes/Crashy_"))));
    EXPECT_NE(ZORCrashReporter::lastCrashReport().utf8().find("Signal:          6 SIGABRT"), std::string::npos);
    auto console = ZORCrashReporter::consoleLog().utf8();
    EXPECT_NE(console.find("Crashy["), std::string::npos) << console;
    EXPECT_NE(console.find("]: the export went wrong"), std::string::npos) << console;

    // The person accepts the offer with Return, then types a description (the field has the keyboard) and, the
    // second time, replaces the report with a shorter one before pressing Send.
    auto offerAndSend = [&](bool editReport) {
        answerNext([&](ui::Window& window) {
            auto panel = alertPanelOf(window);
            ASSERT_TRUE(panel);
            EXPECT_EQ(panel->alert()->messageText(), "Send a Crash Report?");
            EXPECT_EQ(panel->alert()->informativeText(),
                "Crashy quit unexpectedly the last time it ran. Would you like to send the crash report so the problem "
                "can be fixed?");
            pressReturn(*backend, window);
        });
        answerNext([&, editReport](ui::Window& window) {
            auto reporter = std::dynamic_pointer_cast<ZORCrashReporter>(window.delegate());
            ASSERT_TRUE(reporter);
            EXPECT_NE(reporter->reportTextView()->string().utf8().find("Backtrace:"), std::string::npos);
            EXPECT_EQ(reporter->describeTextView()->string(), "");
            type(*backend, window, "It crashed\nwhile exporting.");
            if (editReport) {
                click(*backend, *reporter->reportTextView());
                selectAll(*backend, window);
                type(*backend, window, "Nothing private here.");
            }
            click(*backend, *buttonTitled(window, "Send"));
        });
        ZORCrashReporter::checkForCrash();
    };

    status = 500;
    offerAndSend(false);
    EXPECT_EQ(sessions, 2);
    ASSERT_EQ(server->requests().size(), 1u);
    auto refused = server->requests().front();
    auto boundary = boundaryOf(refused);
    EXPECT_EQ(
        partOf(refused.body, boundary, "crashlog"), ZORCrashReporter::lastCrashReport().utf8() + "\n\n" + console);
    EXPECT_TRUE(
        fnd::UserDefaults::standardUserDefaults().objectForKey(ZORCrashReporter::LastCrashReportDateKey).isNil())
        << "a refused upload keeps the report pending";

    status = 200;
    offerAndSend(true);
    EXPECT_EQ(sessions, 4);
    ASSERT_EQ(server->requests().size(), 2u);
    auto request = server->requests().back();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.header("User-Agent"), "ZORCrashReporter");
    boundary = boundaryOf(request);
    ASSERT_FALSE(boundary.empty());
    EXPECT_TRUE(request.body.starts_with("--" + boundary + "\r\n"));
    EXPECT_TRUE(request.body.ends_with("\r\n--" + boundary + "--\r\n"));
    EXPECT_EQ(partOf(request.body, boundary, "crashlog"), "Nothing private here.");
    EXPECT_EQ(partOf(request.body, boundary, "description"), "It crashed\nwhile exporting.");
    auto stored = fnd::UserDefaults::standardUserDefaults().objectForKey(ZORCrashReporter::LastCrashReportDateKey);
    ASSERT_TRUE(stored.number());
    EXPECT_EQ(stored.number()->kind(), fnd::Number::Kind::Double);

    // Sent: nothing is offered any more.
    ZORCrashReporter::checkForCrash();
    EXPECT_EQ(sessions, 4);
}

TEST_F(CrashReporter, DecliningOrCancellingRecordsTheOfferAndOnlyTheNewestReportOfThisApplicationCounts)
{
    EXPECT_FALSE(ZORCrashReporter::pathAndNameOfCrashReportFile());
    EXPECT_EQ(ZORCrashReporter::lastCrashReport(), "");
    ZORCrashReporter::checkForCrash();
    EXPECT_EQ(sessions, 0) << "no crash log, no offer";

    auto crashes = "state/org.example.crashy/crashes/";
    folder.write(crashes + std::string("Crashy_old.crash"), "old report");
    folder.write(crashes + std::string("Crashy_new.crash"), "first\n\n**********\n\nsecond report");
    folder.write(crashes + std::string("Other_newest.crash"), "another application");
    // The walk is deep, but names are matched from the folder on, so reports in subfolders are not this application's.
    folder.write(crashes + std::string("nested/Crashy_newest.crash"), "nested");
    auto now = std::filesystem::file_time_type::clock::now();
    std::filesystem::last_write_time(
        folder.file(crashes + std::string("Crashy_old.crash")), now - std::chrono::hours(2));
    std::filesystem::last_write_time(
        folder.file(crashes + std::string("Crashy_new.crash")), now - std::chrono::hours(1));
    EXPECT_EQ(ZORCrashReporter::pathAndNameOfCrashReportFile(),
        fnd::String(folder.file(crashes + std::string("Crashy_new.crash"))));
    EXPECT_EQ(ZORCrashReporter::lastCrashReport(), "second report");

    // The offer's buttons: Send rightmost, Don't Send left of it; the person clicks Don't Send.
    answerNext([&](ui::Window& window) {
        auto send = buttonTitled(window, "Send Report\u2026");
        auto dontSend = buttonTitled(window, "Don't Send");
        ASSERT_TRUE(send && dontSend);
        EXPECT_LT(dontSend->frame().maxX(), send->frame().minX());
        EXPECT_EQ(alertPanelOf(window)->alert()->alertStyle(), ui::AlertStyle::Warning);
        auto image = snapshot(*backend, window, "crash-offer");
        EXPECT_GT(blueShare(*image, *send, send->bounds()), 0.5) << "the default button wears the accent colour";
        EXPECT_LT(blueShare(*image, *dontSend, dontSend->bounds()), 0.1);
        click(*backend, *dontSend);
    });
    ZORCrashReporter::checkForCrash();
    EXPECT_EQ(sessions, 1);
    ZORCrashReporter::checkForCrash();
    EXPECT_EQ(sessions, 1) << "declined once, not offered again";

    // A newer crash is offered; cancelling the dialog counts as declining it, and nothing is sent.
    folder.write(crashes + std::string("Crashy_newer.crash"), "third report");
    std::filesystem::last_write_time(
        folder.file(crashes + std::string("Crashy_newer.crash")), now + std::chrono::hours(1));
    answerNext([&](ui::Window& window) { pressReturn(*backend, window); });
    answerNext([&](ui::Window& window) {
        EXPECT_EQ(std::dynamic_pointer_cast<ZORCrashReporter>(window.delegate())->reportTextView()->string(),
            "third report\n\n");
        click(*backend, *buttonTitled(window, "Cancel"));
    });
    ZORCrashReporter::checkForCrash();
    EXPECT_EQ(sessions, 3);
    ZORCrashReporter::checkForCrash();
    EXPECT_EQ(sessions, 3);
    EXPECT_TRUE(server->requests().empty());
}

TEST_F(CrashReporter, TheDialogIsLocalisedAndWithoutItsInterfaceFileTheOfferStaysPending)
{
    folder.write("state/org.example.crashy/crashes/Crashy_1.crash", "a report");
    answerNext([&](ui::Window& window) { pressReturn(*backend, window); });
    answerNext([&](ui::Window& window) {
        EXPECT_EQ(window.title(), "Crash Report");
        auto texts = shownTexts(*window.contentView());
        ASSERT_EQ(texts.size(), 2u);
        EXPECT_EQ(texts[1], "What were you doing when the problem happened?");
        auto send = buttonTitled(window, "Send");
        ASSERT_TRUE(send);
        EXPECT_EQ(send->keyEquivalent(), "\r") << "Send is the default button";
        EXPECT_EQ(send->tag(), 1);
        auto reporter = std::dynamic_pointer_cast<ZORCrashReporter>(window.delegate());
        EXPECT_EQ(window.firstResponder(), reporter->describeTextView());
        EXPECT_TRUE(reporter->reportTextView()->enclosingScrollView());
        type(*backend, window, "Described.");
        // Once the typing is in, the picture; then Cancel.
        backend->after(0, [this, w = &window, reporter] {
            auto image = snapshot(*backend, *w, "crash-reporter");
            auto view = reporter->describeTextView();
            EXPECT_GT(darkShare(*image, *view, { 0, 0, 120, 18 }), 0.05) << "the typed text shows";
            click(*backend, *buttonTitled(*w, "Cancel"));
        });
    });
    ZORCrashReporter::checkForCrash();
    EXPECT_EQ(sessions, 2);

    // Another bundle without the interface file: the reporter cannot be made, and the start-up check logs that and
    // leaves the report to be offered again.
    fnd::Bundle::registerClass("ZORCrashReporter", "TestBundle");
    try {
        fnd::makeObject<ZORCrashReporter>();
        ADD_FAILURE() << "a reporter without its interface file";
    } catch (const fnd::Exception& e) {
        EXPECT_EQ(e.name(), "View initialization failed");
    }
    std::vector<std::string> logged;
    auto previous = fnd::setLogSink([&](fnd::LogLevel, const fnd::String& line) { logged.push_back(line.utf8()); });
    folder.write("state/org.example.crashy/crashes/Crashy_2.crash", "another report");
    std::filesystem::last_write_time(folder.file("state/org.example.crashy/crashes/Crashy_2.crash"),
        std::filesystem::file_time_type::clock::now() + std::chrono::hours(1));
    answerNext([](ui::Window& window) {
        ui::Application::shared().stopModalWithCode(ui::AlertReturn::FirstButton);
        (void)window;
    });
    ZORCrashReporter::checkForCrash();
    fnd::setLogSink(previous);
    fnd::Bundle::registerClass("ZORCrashReporter", "ZORFramework");
    EXPECT_TRUE(std::any_of(logged.begin(), logged.end(),
        [](const std::string& line) { return line.starts_with("Exception during check for crash"); }));
    answerNext([](ui::Window& window) {
        ui::Application::shared().stopModalWithCode(ui::AlertReturn::SecondButton);
        (void)window;
    });
    ZORCrashReporter::checkForCrash();
    EXPECT_EQ(sessions, 4) << "offered again after the failure";
}

using FeedbackProvider = ServiceFixture;

TEST_F(FeedbackProvider, SendsWhatWasTypedAndKeepsAddressAndFlagForNextTime)
{
    std::vector<fnd::String> results;
    auto recordResult = [&](ui::Window& window) {
        if (auto panel = alertPanelOf(window))
            results.push_back(panel->title());
        pressReturn(*backend, window);
    };

    answerNext([&](ui::Window& window) {
        auto provider = std::dynamic_pointer_cast<ZORFeedbackProvider>(window.delegate());
        ASSERT_TRUE(provider);
        EXPECT_EQ(provider->emailAdress()->stringValue(), "");
        EXPECT_EQ(provider->sendMeACopyButton()->state(), ui::ControlStateValue::On);
        EXPECT_EQ(provider->subjectField()->stringValue(), "Bug Report");
        EXPECT_EQ(provider->subjectField()->numberOfItems(), 4);
        // The subject: the box completes "Ques" to "Question"; Tab goes on to the address.
        auto subject = provider->subjectField();
        clickAt(*backend, *subject, { 20, subject->bounds().midY() });
        selectAll(*backend, window);
        type(*backend, window, "Ques");
        pressTab(*backend, window);
        type(*backend, window, "jane@example.org");
        click(*backend, *provider->messageText());
        type(*backend, window, "How do I \"export\"?\n--boundary-like line");
        click(*backend, *provider->sendMeACopyButton());
        click(*backend, *buttonTitled(window, "Send"));
    });
    answerNext(recordResult);
    ZORFeedbackProvider::showFeedbackProviderDialog();

    ASSERT_EQ(server->requests().size(), 1u);
    auto request = server->requests().front();
    EXPECT_EQ(request.header("User-Agent"), "ZORFeedbackProvider");
    auto boundary = boundaryOf(request);
    EXPECT_TRUE(request.body.starts_with(
        "Content-Type: multipart/form-data; boundary=" + boundary + "\r\n\r\n--" + boundary + "\r\n"));
    EXPECT_EQ(partOf(request.body, boundary, "subject"), "[Crashy] Question");
    EXPECT_EQ(partOf(request.body, boundary, "from"), "jane@example.org");
    EXPECT_EQ(partOf(request.body, boundary, "message"), "How do I \"export\"?\n--boundary-like line");
    EXPECT_EQ(partOf(request.body, boundary, "sendmeacopy"), "NO");
    EXPECT_EQ(partOf(request.body, boundary, "appversion"), "2.1");
    EXPECT_EQ(results, std::vector<fnd::String> { "Thank You" });

    // The address and flag come back; the message and subject do not. A 500 answer is reported as a failure.
    status = 500;
    answerNext([&](ui::Window& window) {
        auto provider = std::dynamic_pointer_cast<ZORFeedbackProvider>(window.delegate());
        EXPECT_EQ(provider->emailAdress()->stringValue(), "jane@example.org");
        EXPECT_EQ(provider->sendMeACopyButton()->state(), ui::ControlStateValue::Off);
        EXPECT_EQ(provider->messageText()->string(), "");
        EXPECT_EQ(provider->subjectField()->stringValue(), "Bug Report");
        EXPECT_EQ(window.firstResponder(), provider->messageText()) << "the message has the keyboard";
        type(*backend, window, "Second");
        pressReturn(*backend, window);
        click(*backend, *buttonTitled(window, "Send"));
    });
    answerNext(recordResult);
    ZORFeedbackProvider::showFeedbackProviderDialog();
    EXPECT_EQ(results, (std::vector<fnd::String> { "Thank You", "Feedback Not Sent" }));
    ASSERT_EQ(server->requests().size(), 2u);
    EXPECT_EQ(partOf(server->requests().back().body, boundaryOf(server->requests().back()), "message"), "Second\n")
        << "Return in the message is a line break, not Send";
}

TEST_F(FeedbackProvider, CancelAndTheWebsiteButtonCloseWithoutSending)
{
    answerNext([&](ui::Window& window) {
        auto provider = std::dynamic_pointer_cast<ZORFeedbackProvider>(window.delegate());
        EXPECT_EQ(window.title(), "Send Feedback");
        EXPECT_EQ(shownTexts(*window.contentView()),
            (std::vector<std::string> { "Subject:", "Bug Report", "Your e-mail:", "Message:" }));
        EXPECT_EQ(provider->emailAdress()->placeholderString(), "So that we can answer you (optional)");
        type(*backend, window, "Never sent");
        backend->after(0, [this, w = &window, provider] {
            auto image = snapshot(*backend, *w, "feedback");
            auto view = provider->messageText();
            EXPECT_GT(darkShare(*image, *view, { 0, 0, 120, 18 }), 0.05) << "the typed text shows";
            click(*backend, *buttonTitled(*w, "Cancel"));
        });
    });
    ZORFeedbackProvider::showFeedbackProviderDialog();

    // The page button opens the feedback page and closes without sending.
    answerNext([&](ui::Window& window) { click(*backend, *buttonTitled(window, "Visit the Website")); });
    ZORFeedbackProvider::showFeedbackProviderDialog();
    EXPECT_EQ(backend->openedURLs(), std::vector<fnd::String> { "https://example.org/feedback" });
    EXPECT_EQ(sessions, 2);
    EXPECT_TRUE(server->requests().empty());

    fnd::Bundle::registerClass("ZORFeedbackProvider", "TestBundle");
    try {
        ZORFeedbackProvider::showFeedbackProviderDialog();
        ADD_FAILURE() << "a dialog without its interface file";
    } catch (const fnd::Exception& e) {
        EXPECT_EQ(e.name(), "View initialization failed");
        EXPECT_EQ(e.reason(), "ZORFeedbackProvider: Could not load views resources!");
    }
    fnd::Bundle::registerClass("ZORFeedbackProvider", "ZORFramework");
}

}

TEST_F(CrashReporter, WithoutAReceiverNothingIsOffered)
{
    folder.write("state/org.example.crashy/crashes/Crashy_new.crash", "a report");
    folder.write("Quiet/Info.plist",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
        "<key>CFBundleIdentifier</key><string>org.example.crashy</string>"
        "<key>CFBundleExecutable</key><string>Crashy</string></dict></plist>\n");
    fnd::Bundle::setMainBundlePath(folder.file("Quiet").c_str());
    EXPECT_FALSE(ZORCrashReporter::hasReceiver());
    EXPECT_FALSE(ZORFeedbackProvider::hasReceiver());
    ZORCrashReporter::checkForCrash();
    EXPECT_EQ(sessions, 0) << "a report that cannot be sent is not offered";
}
