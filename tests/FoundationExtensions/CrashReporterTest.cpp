#include "FoundationExtensions/ZORAlertPanel.h"
#include "FoundationExtensions/ZORCrashReporter.h"
#include "FoundationExtensions/ZORFeedbackProvider.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/Process.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Application.h"

#include "support/LocalHTTPServer.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>

namespace {

using testsupport::LocalHTTPServer;

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
        fnd::UserDefaults::standardUserDefaults().removeObjectForKey(ZORCrashReporter::LastCrashReportDateKey);
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

    auto& app = ui::Application::shared();
    auto offerAndSend = [&] {
        answerNext([&](ui::Window& window) {
            auto panel = dynamic_cast<ZORAlertPanel*>(&window);
            ASSERT_TRUE(panel);
            EXPECT_EQ(panel->message(),
                "Crashy quit unexpectedly the last time it ran. Would you like to send the crash report so the problem "
                "can be fixed?");
            app.stopModalWithCode(ZORAlertPanel::DefaultReturn);
        });
        answerNext([&](ui::Window& window) {
            auto reporter = std::dynamic_pointer_cast<ZORCrashReporter>(window.delegate());
            ASSERT_TRUE(reporter);
            EXPECT_NE(reporter->reportText().utf8().find("Backtrace:"), std::string::npos);
            reporter->setDescribeText("It crashed while exporting.");
            reporter->sendActionAbort(1);
        });
        ZORCrashReporter::checkForCrash();
    };

    status = 500;
    offerAndSend();
    EXPECT_EQ(sessions, 2);
    ASSERT_EQ(server->requests().size(), 1u);
    EXPECT_TRUE(
        fnd::UserDefaults::standardUserDefaults().objectForKey(ZORCrashReporter::LastCrashReportDateKey).isNil())
        << "a refused upload keeps the report pending";

    status = 200;
    offerAndSend();
    EXPECT_EQ(sessions, 4);
    ASSERT_EQ(server->requests().size(), 2u);
    auto request = server->requests().back();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.header("User-Agent"), "ZORCrashReporter");
    auto boundary = boundaryOf(request);
    ASSERT_FALSE(boundary.empty());
    EXPECT_TRUE(request.body.starts_with("--" + boundary + "\r\n"));
    EXPECT_TRUE(request.body.ends_with("\r\n--" + boundary + "--\r\n"));
    EXPECT_EQ(
        partOf(request.body, boundary, "crashlog"), ZORCrashReporter::lastCrashReport().utf8() + "\n\n" + console);
    EXPECT_EQ(partOf(request.body, boundary, "description"), "It crashed while exporting.");
    auto stored = fnd::UserDefaults::standardUserDefaults().objectForKey(ZORCrashReporter::LastCrashReportDateKey);
    ASSERT_TRUE(stored.number());
    EXPECT_EQ(stored.number()->kind(), fnd::Number::Kind::Double);

    // Sent: nothing is offered any more.
    ZORCrashReporter::checkForCrash();
    EXPECT_EQ(sessions, 4);
}

TEST_F(CrashReporter, DecliningRecordsTheOfferAndOnlyTheNewestReportOfThisApplicationCounts)
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

    answerNext([](ui::Window&) { ui::Application::shared().stopModalWithCode(ZORAlertPanel::AlternateReturn); });
    ZORCrashReporter::checkForCrash();
    EXPECT_EQ(sessions, 1);
    ZORCrashReporter::checkForCrash();
    EXPECT_EQ(sessions, 1) << "declined once, not offered again";
    EXPECT_TRUE(server->requests().empty());
}

using FeedbackProvider = ServiceFixture;

TEST_F(FeedbackProvider, SendsTheFieldsAndKeepsAddressAndFlagForNextTime)
{
    auto& app = ui::Application::shared();
    std::vector<fnd::String> results;
    auto recordResult = [&](ui::Window& window) {
        if (auto panel = dynamic_cast<ZORAlertPanel*>(&window))
            results.push_back(panel->title());
        app.stopModalWithCode(ZORAlertPanel::DefaultReturn);
    };

    answerNext([&](ui::Window& window) {
        auto provider = std::dynamic_pointer_cast<ZORFeedbackProvider>(window.delegate());
        ASSERT_TRUE(provider);
        EXPECT_EQ(provider->emailAdress(), "");
        EXPECT_TRUE(provider->sendMeACopy());
        EXPECT_EQ(provider->subject(), "Bug Report");
        provider->setSubject("Question");
        provider->setEmailAdress("jane@example.org");
        provider->setMessageText("How do I \"export\"?\r\n--boundary-like line");
        provider->setSendMeACopy(false);
        provider->sendFeedbackButtonAction({});
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
    EXPECT_EQ(partOf(request.body, boundary, "message"), "How do I \"export\"?\r\n--boundary-like line");
    EXPECT_EQ(partOf(request.body, boundary, "sendmeacopy"), "NO");
    EXPECT_EQ(partOf(request.body, boundary, "appversion"), "2.1");
    EXPECT_EQ(results, std::vector<fnd::String> { "Thank You" });

    // The address and flag come back; the message does not. A 500 answer is reported as a failure.
    status = 500;
    answerNext([&](ui::Window& window) {
        auto provider = std::dynamic_pointer_cast<ZORFeedbackProvider>(window.delegate());
        EXPECT_EQ(provider->emailAdress(), "jane@example.org");
        EXPECT_FALSE(provider->sendMeACopy());
        EXPECT_EQ(provider->messageText(), "");
        provider->sendFeedbackButtonAction({});
    });
    answerNext(recordResult);
    ZORFeedbackProvider::showFeedbackProviderDialog();
    EXPECT_EQ(results, (std::vector<fnd::String> { "Thank You", "Feedback Not Sent" }));

    // The page button opens the feedback page and closes without sending.
    answerNext(
        [&](ui::Window& window) { std::dynamic_pointer_cast<ZORFeedbackProvider>(window.delegate())->openURL({}); });
    ZORFeedbackProvider::showFeedbackProviderDialog();
    EXPECT_EQ(backend->openedURLs(), std::vector<fnd::String> { "https://example.org/feedback" });
    EXPECT_EQ(server->requests().size(), 2u);
}

}
