#include "platform/foundation/runtime/GLibRunLoopSource.h"
#include "platform/foundation/runtime/RunLoop.h"

#include "support/RunLoopStress.h"

#include <glib.h>
#include <gtest/gtest.h>

using namespace fnd;

namespace {

// Worker threads hand the main loop work at random moments while it waits (tests/support/RunLoopStress.h); a loop
// that sleeps through due work leaves it seconds late, or never runs it.
TEST(RunLoopWakeUpTest, WorkHandedOverFromOtherThreadsNeverWaitsForASleepingLoop)
{
    auto report = runloopstress::run(RunLoop::main(), {});
    EXPECT_TRUE(report.stalls.empty()) << report.describe();
    EXPECT_EQ(report.late, 0) << report.describe();
    EXPECT_EQ(report.ran, report.handedOver) << report.describe();
}

TEST(RunLoopWakeUpTest, ARepeatingTimerInTheCommonModesKeepsItsBeatThroughBurstsOfWork)
{
    runloopstress::Options options;
    options.beat = true;
    auto report = runloopstress::run(RunLoop::main(), options);
    EXPECT_TRUE(report.stalls.empty()) << report.describe();
    EXPECT_EQ(report.late, 0) << report.describe();
    EXPECT_GE(report.beats, 3 * report.rounds) << report.describe();
}

// GLib's own sources in the context the loop waits in: timeouts that end its poll early or late, and a callback
// that iterates the context itself while it waits for something (as a synchronous clipboard read does).
class GLibNoise {
public:
    explicit GLibNoise(GMainContext* context)
        : m_context(context)
    {
    }

    void operator()(std::mt19937& random)
    {
        GSource* source = std::uniform_int_distribution(0, 1)(random)
            ? g_timeout_source_new(guint(std::uniform_int_distribution(0, 20)(random)))
            : g_idle_source_new();
        if (std::uniform_int_distribution(0, 1)(random)) {
            g_source_set_callback(source, &GLibNoise::iterateNested, m_context, nullptr);
        } else {
            g_source_set_callback(
                source, [](gpointer) -> gboolean { return G_SOURCE_REMOVE; }, nullptr, nullptr);
        }
        g_source_attach(source, m_context);
        g_source_unref(source);
    }

private:
    // Given the context, which outlives what is left of these sources once the noise has gone.
    static gboolean iterateNested(gpointer context)
    {
        for (int i = 0; i < 3; ++i)
            g_main_context_iteration(static_cast<GMainContext*>(context), FALSE);
        return G_SOURCE_REMOVE;
    }

    GMainContext* m_context;
};

TEST(RunLoopWakeUpTest, ALoopWaitingInAGLibContextNeverSleepsThroughDueWork)
{
    GMainContext* context = g_main_context_new();
    {
        GLibRunLoopSource source(RunLoop::mainShared(), context);
        GLibNoise noise(context);
        runloopstress::Options options;
        options.beat = true;
        options.noise = std::ref(noise);
        auto report = runloopstress::run(RunLoop::main(), options);
        EXPECT_TRUE(report.stalls.empty()) << report.describe();
        EXPECT_EQ(report.late, 0) << report.describe();
        EXPECT_EQ(report.ran, report.handedOver) << report.describe();
        EXPECT_GE(report.beats, 3 * report.rounds) << report.describe();
    }
    while (g_main_context_iteration(context, FALSE)) { }
    g_main_context_unref(context);
}

}
