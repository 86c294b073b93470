#include "platform/foundation/runtime/GLibRunLoopSource.h"

#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Thread.h"
#include "platform/foundation/runtime/Timer.h"

#include "support/Waiting.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <thread>
#include <utility>

using namespace fnd;

namespace {

// A private context with a watchdog, so a fault ends an iteration instead of blocking the test.
class GLibRunLoopSourceTest : public ::testing::Test {
protected:
    GLibRunLoopSourceTest()
    {
        m_watchdog = g_timeout_source_new_seconds(guint(testsupport::WaitSeconds));
        g_source_set_callback(
            m_watchdog,
            [](gpointer flag) -> gboolean {
                *static_cast<bool*>(flag) = true;
                return G_SOURCE_CONTINUE;
            },
            &m_expired, nullptr);
        g_source_attach(m_watchdog, m_context);
    }
    ~GLibRunLoopSourceTest() override
    {
        g_source_destroy(m_watchdog);
        g_source_unref(m_watchdog);
        g_main_context_unref(m_context);
    }

    template <typename P> bool iterateUntil(P predicate)
    {
        while (!predicate() && !m_expired)
            g_main_context_iteration(m_context, TRUE);
        return predicate();
    }

    GMainContext* m_context = g_main_context_new();
    GSource* m_watchdog;
    bool m_expired = false;
};

TEST_F(GLibRunLoopSourceTest, WorkPostedFromAnotherThreadRunsInTheContext)
{
    auto loop = RunLoop::mainShared();
    GLibRunLoopSource source(loop, m_context);
    bool ran = false;
    auto poster = Thread::detachNewThread([&] { RunLoop::main().post([&] { ran = RunLoop::isMainThread(); }); });
    EXPECT_TRUE(iterateUntil([&] { return ran; }));
    EXPECT_TRUE(poster->waitUntilFinished(testsupport::WaitSeconds));
}

// A callback of the iteration a run waits in that waits for something by iterating the context itself, as a
// synchronous clipboard read in a drop handler does: the run cannot get back before the callback returns, so the
// loop's work due meanwhile runs in the callback's iterations, and counts for the waiting run.
TEST_F(GLibRunLoopSourceTest, WorkDueWhileACallbackIteratesTheContextRunsThereForTheWaitingRun)
{
    auto loop = RunLoop::mainShared();
    GLibRunLoopSource source(loop, m_context);
    bool timerFired = false, postRan = false;
    std::optional<std::pair<bool, bool>> seen;
    auto timer = Timer::create(0.01, false, [&](Timer&) { timerFired = true; });
    loop->addTimer(timer, RunLoopMode::Default);
    struct Waiting {
        std::function<void()> body;
    } waiting { [&] {
        loop->post([&] { postRan = true; });
        const gint64 deadline = g_get_monotonic_time() + gint64(testsupport::WaitSeconds) * G_USEC_PER_SEC;
        while (!(timerFired && postRan) && g_get_monotonic_time() < deadline) {
            if (!g_main_context_iteration(m_context, FALSE))
                g_usleep(500);
        }
        seen = { timerFired, postRan };
    } };
    GSource* callback = g_idle_source_new();
    g_source_set_callback(
        callback,
        [](gpointer data) -> gboolean {
            static_cast<Waiting*>(data)->body();
            return G_SOURCE_REMOVE;
        },
        &waiting, nullptr);
    g_source_attach(callback, m_context);
    g_source_unref(callback);
    auto result = loop->runInMode(RunLoopMode::Default, Clock::current()->now().addingTimeInterval(30), true);
    ASSERT_TRUE(seen);
    EXPECT_TRUE(seen->first) << "the timer, due while the callback waited, did not fire in its iterations";
    EXPECT_TRUE(seen->second) << "the post, handed over while the callback waited, did not run in its iterations";
    EXPECT_EQ(result, RunLoop::RunResult::HandledSource);
}

// Work handed over while GLib prepares its poll, after the loop's source has given its timeout: the poll must still
// end for it.
TEST_F(GLibRunLoopSourceTest, WorkHandedOverAfterTheLoopsSourceIsPreparedEndsThePoll)
{
    auto loop = RunLoop::mainShared();
    GLibRunLoopSource source(loop, m_context);
    auto stop = [&](Timer&) { loop->stop(); };
    auto far = Timer::create(Clock::current()->now().addingTimeInterval(1000), 0, false, stop);
    loop->addTimer(far, RunLoopMode::Default);
    struct Case {
        const char* what;
        std::function<void()> handOver;
    };
    const std::vector<Case> cases {
        { "a post", [&] { loop->post([&] { loop->stop(); }); } },
        { "a timer added", [&] { loop->addTimer(Timer::create(0.0, false, stop), RunLoopMode::Default); } },
        { "a timer moved to now", [&] { far->setFireDate(Clock::current()->now()); } },
        { "a stop", [&] { loop->stop(); } },
    };
    // Prepared after the loop's source, which comes first by priority; hands over once, from another thread.
    struct Late {
        GSource base;
        const std::function<void()>* handOver;
        bool handed;
    };
    static GSourceFuncs lateFuncs = { [](GSource* source, gint* timeout) -> gboolean {
                                         auto* late = reinterpret_cast<Late*>(source);
                                         if (!std::exchange(late->handed, true))
                                             std::thread(*late->handOver).join();
                                         *timeout = -1;
                                         return FALSE;
                                     },
        nullptr, [](GSource*, GSourceFunc, gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr, nullptr,
        nullptr };
    for (const auto& c : cases) {
        GSource* late = g_source_new(&lateFuncs, sizeof(Late));
        reinterpret_cast<Late*>(late)->handOver = &c.handOver;
        reinterpret_cast<Late*>(late)->handed = false;
        g_source_set_priority(late, G_PRIORITY_LOW);
        g_source_attach(late, m_context);
        auto result = loop->runInMode(RunLoopMode::Default, Clock::current()->now().addingTimeInterval(30), false);
        EXPECT_EQ(result, RunLoop::RunResult::Stopped) << c.what;
        EXPECT_TRUE(reinterpret_cast<Late*>(late)->handed) << c.what;
        g_source_destroy(late);
        g_source_unref(late);
    }
}

TEST_F(GLibRunLoopSourceTest, TimersFireWhenVirtualTimeReachesThemAndNotBefore)
{
    auto clock = std::make_shared<VirtualClock>();
    ScopedClock scoped(clock);
    auto loop = RunLoop::mainShared();
    GLibRunLoopSource source(loop, m_context);
    int fired = 0;
    auto timer = Timer::create(2.0, true, [&](Timer&) { ++fired; });
    loop->addTimer(timer, RunLoopMode::Default);

    for (double step : { 1.0, 0.5, 0.5, 1.0, 0.5 }) {
        clock->advance(step);
        while (g_main_context_iteration(m_context, FALSE)) { }
    }
    EXPECT_EQ(fired, 1) << "fired at 2; the next one is due at 4, not at 3.5";
    clock->advance(0.5);
    while (g_main_context_iteration(m_context, FALSE)) { }
    EXPECT_EQ(fired, 2);
    timer->invalidate();
}

TEST_F(GLibRunLoopSourceTest, NestedRunKeepsTheContextsOtherSourcesFlowing)
{
    auto loop = RunLoop::mainShared();
    GLibRunLoopSource source(loop, m_context);
    RunLoop::RunResult result = RunLoop::RunResult::HandledSource;
    bool nestedDone = false;
    loop->post([&] {
        // A window event arriving through GLib ends the tracking loop.
        GSource* event = g_idle_source_new();
        g_source_set_callback(
            event,
            [](gpointer) -> gboolean {
                RunLoop::main().stop();
                return G_SOURCE_REMOVE;
            },
            nullptr, nullptr);
        g_source_attach(event, m_context);
        g_source_unref(event);
        result = loop->runInMode(RunLoopMode::EventTracking, Clock::current()->now().addingTimeInterval(15), false);
        nestedDone = true;
    });
    EXPECT_TRUE(iterateUntil([&] { return nestedDone; }));
    EXPECT_EQ(result, RunLoop::RunResult::Stopped);
}

TEST_F(GLibRunLoopSourceTest, NestedRunEndsAtItsDateWhileWaitingInTheContext)
{
    auto loop = RunLoop::mainShared();
    GLibRunLoopSource source(loop, m_context);
    std::optional<RunLoop::RunResult> result;
    int trackingTicks = 0;
    auto tick = Timer::create(0.001, true, [&](Timer&) { ++trackingTicks; });
    loop->addTimer(tick, RunLoopMode::EventTracking);
    loop->post([&] {
        result = loop->runInMode(RunLoopMode::EventTracking, Clock::current()->now().addingTimeInterval(0.02), false);
    });
    EXPECT_TRUE(iterateUntil([&] { return result.has_value(); }));
    EXPECT_EQ(result, RunLoop::RunResult::TimedOut);
    EXPECT_GT(trackingTicks, 0);
    tick->invalidate();
}

}
