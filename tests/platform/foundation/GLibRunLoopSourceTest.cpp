#include "platform/foundation/runtime/GLibRunLoopSource.h"

#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Thread.h"
#include "platform/foundation/runtime/Timer.h"

#include "support/Waiting.h"

#include <glib.h>
#include <gtest/gtest.h>

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
