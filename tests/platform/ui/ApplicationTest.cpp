#include "TestViews.h"
#include "UiTestSupport.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Log.h"

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
