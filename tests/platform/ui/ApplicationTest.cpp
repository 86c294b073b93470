#include "TestViews.h"
#include "UiTestSupport.h"

#include "platform/foundation/TestSupport.h"
#include "platform/foundation/files/UserDefaults.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/ui/text/TextField.h"
#include "platform/ui/text/TextView.h"

#include "support/Waiting.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

using namespace ui;

namespace {

using Strings = std::vector<std::string>;

class LifeCycle : public ApplicationDelegate {
public:
    void applicationWillFinishLaunching(Application&) override { log.push_back("willFinishLaunching"); }
    void applicationDidFinishLaunching(Application&) override { log.push_back("didFinishLaunching"); }
    TerminateReply applicationShouldTerminate(Application&) override
    {
        log.push_back("shouldTerminate");
        return reply;
    }
    void applicationWillTerminate(Application&) override { log.push_back("willTerminate"); }
    TerminateReply reply { TerminateReply::Now };
    Strings log;
};

class ApplicationTest : public uitest::UiTest { };

}

TEST_F(ApplicationTest, RunLaunchesHandlesEventsAndEndsWhenTerminated)
{
    auto life = std::make_shared<LifeCycle>();
    app().setDelegate(life);
    auto window = Window::create({ 0, 0, 100, 100 });
    auto view = uitest::TestView::make({ 0, 0, 100, 100 });
    window->contentView()->addSubview(view);
    window->makeKeyAndOrderFront();

    backend->click(*window, { 10, 10 });
    backend->after(1, [&] { backend->click(*window, { 20, 20 }); });
    // The first request is put off, then granted.
    life->reply = TerminateReply::Later;
    backend->after(2, [&] { app().terminate(); });
    backend->after(3, [&] { app().replyToApplicationShouldTerminate(true); });
    auto start = clock->now();
    app().run();

    EXPECT_EQ(life->log, (Strings { "willFinishLaunching", "didFinishLaunching", "shouldTerminate", "willTerminate" }));
    EXPECT_EQ(view->events, (Strings { "down", "up", "down", "up" }));
    EXPECT_TRUE(app().hasTerminated());
    EXPECT_NEAR(clock->now().timeIntervalSince(start), 3, 1e-9);
    app().setDelegate(nullptr);
}

TEST_F(ApplicationTest, ACancelledTerminationKeepsRunningAndServicesAreRecorded)
{
    auto life = std::make_shared<LifeCycle>();
    life->reply = TerminateReply::Cancel;
    app().setDelegate(life);
    app().finishLaunching();
    app().terminate();
    EXPECT_FALSE(app().hasTerminated());

    app().beep();
    EXPECT_EQ(backend->beepCount(), 1);
    EXPECT_TRUE(app().openURL("https://example.org/help"));
    EXPECT_EQ(backend->openedURLs(), std::vector<fnd::String> { "https://example.org/help" });
    app().setDelegate(nullptr);
}

TEST_F(ApplicationTest, AnExceptionRaisedWhileAnEventIsHandledIsLoggedAndTheLoopGoesOn)
{
    std::vector<std::string> errors;
    auto previous = fnd::setLogSink([&](fnd::LogLevel level, const fnd::String& message) {
        if (level == fnd::LogLevel::Error)
            errors.push_back(message.utf8());
    });
    auto window = Window::create({ 0, 0, 100, 100 });
    auto view = uitest::TestView::make({ 0, 0, 100, 100 });
    window->contentView()->addSubview(view);
    window->makeKeyAndOrderFront();
    int presses = 0;
    view->onMouseDown = [&](const Event&) {
        if (++presses == 1)
            throw fnd::Exception::invalidArgument("the first press is refused");
    };

    // Inside run(): the press that raises is logged, its release and the next click still arrive.
    backend->click(*window, { 10, 10 });
    backend->after(1, [&] { backend->click(*window, { 20, 20 }); });
    backend->after(2, [&] { app().terminate(); });
    app().run();
    EXPECT_EQ(presses, 2);
    EXPECT_EQ(view->events, (Strings { "down", "up", "down", "up" }));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("NSInvalidArgumentException"), std::string::npos);
    EXPECT_NE(errors[0].find("the first press is refused"), std::string::npos);

    // Queued events sent without waiting (how the windowing backend delivers them) go through the same boundary.
    presses = 0;
    view->events.clear();
    backend->click(*window, { 10, 10 });
    backend->click(*window, { 30, 30 });
    backend->dispatchEvents();
    EXPECT_EQ(presses, 2);
    EXPECT_EQ(view->events, (Strings { "down", "up", "down", "up" }));
    EXPECT_EQ(errors.size(), 2u);
    fnd::setLogSink(previous);
}

namespace {

// Hears the end of a field's editing.
class EditingRecorder : public fnd::Object, public ControlTextEditingDelegate {
public:
    void controlTextDidEndEditing(const fnd::Object& notification) override
    {
        const auto* note = dynamic_cast<const fnd::Notification*>(&notification);
        auto field = note ? note->object().objectAs<TextField>() : nullptr;
        ended.push_back(field ? field->stringValue().utf8() : "?");
    }
    Strings ended;
};

}

// Quitting while text is being edited, in the key window and in another one: each edit ends and goes to its owner
// first, before anyone hears of the termination, so it is in what the program writes at its end.
TEST_F(ApplicationTest, TerminationEndsTheEditingOpenInEveryWindowFirst)
{
    auto life = std::make_shared<LifeCycle>();
    app().setDelegate(life);
    app().finishLaunching();
    auto recorder = std::make_shared<EditingRecorder>();
    std::vector<std::shared_ptr<Window>> windows;
    std::vector<std::shared_ptr<TextField>> fields;
    for (const char* typed : { "behind", "in front" }) {
        auto window = Window::create({ 0, 0, 200, 100 });
        auto field = TextField::create({ 10, 10, 150, 24 });
        field->setDelegate(recorder);
        window->contentView()->addSubview(field);
        window->makeKeyAndOrderFront();
        ASSERT_TRUE(window->makeFirstResponder(field));
        auto editor = std::dynamic_pointer_cast<TextView>(field->currentEditor());
        ASSERT_TRUE(editor);
        editor->insertText(fnd::String(typed));
        windows.push_back(window);
        fields.push_back(field);
    }
    auto notified = fnd::NotificationCenter::defaultCenter().addObserverForName(
        ApplicationNotification::WillTerminate, {}, [&](const fnd::Notification&) { life->log.push_back("notified"); });
    app().terminate();
    fnd::NotificationCenter::defaultCenter().removeObserver(notified);

    EXPECT_EQ(recorder->ended, (Strings { "in front", "behind" })) << "the key window's first";
    for (const auto& field : fields)
        EXPECT_FALSE(field->currentEditor());
    EXPECT_EQ(life->log,
        (Strings { "willFinishLaunching", "didFinishLaunching", "shouldTerminate", "notified", "willTerminate" }));
    app().setDelegate(nullptr);
}

// An end the program cannot refuse (a signal, the display gone) asks no one, and writes what waits.
TEST_F(ApplicationTest, AnImmediateTerminationAsksNoOneAndWritesWhatWaits)
{
    auto life = std::make_shared<LifeCycle>();
    life->reply = TerminateReply::Cancel;
    app().setDelegate(life);
    app().finishLaunching();
    auto& defaults = fnd::UserDefaults::standardUserDefaults();
    defaults.setWriteDelay(1);
    defaults.setObject("typed just now", "ApplicationTestContent");
    ASSERT_TRUE(defaults.hasUnwrittenChanges());

    app().terminateImmediately();
    EXPECT_TRUE(app().hasTerminated());
    EXPECT_EQ(life->log, (Strings { "willFinishLaunching", "didFinishLaunching", "willTerminate" }));
    EXPECT_FALSE(defaults.hasUnwrittenChanges());
    defaults.removeObjectForKey("ApplicationTestContent");
    defaults.setWriteDelay(0);
    app().setDelegate(nullptr);
}

// SIGTERM or SIGHUP reaches the main run loop of a running program, which ends as it would for Quit, and then by
// the signal.
TEST_F(ApplicationTest, SigtermAndSighupEndTheRunningProgramThroughItsTermination)
{
    for (int signal : { SIGTERM, SIGHUP }) {
        SCOPED_TRACE(signal);
        testsupport::TemporaryFolder folder;
        const std::string ready = folder / "ready", ended = folder / "terminated";
        std::string program = TERMINATION_CHILD;
        std::string argument = folder.path();
        char* argv[] = { program.data(), argument.data(), nullptr };
        pid_t child = -1;
        ASSERT_EQ(posix_spawn(&child, program.c_str(), nullptr, nullptr, argv, environ), 0);
        // A generous wait: on a busy machine a program may take seconds to start.
        ASSERT_TRUE(testsupport::waitUntil([&] { return std::filesystem::exists(ready); })) << "the child runs its loop";
        ::kill(child, signal);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "status " << status;
        EXPECT_EQ(testsupport::readFile(ended), "willTerminate") << "the termination ran before the end";
    }
}
