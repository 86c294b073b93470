#include "GtkTestSupport.h"

#include "platform/foundation/runtime/RunLoop.h"

#include "support/RunLoopStress.h"

#include <gtk/gtk.h>

#include <atomic>

using namespace gtktest;

namespace {

// Work for GLib's default context from other threads, as GIO and GDK hand it over: idle callbacks and short
// timeouts, some of which iterate the context themselves while they wait (a synchronous clipboard read does), and
// a view that asks for a frame of the window's clock.
class GtkNoise {
public:
    explicit GtkNoise(std::shared_ptr<FillView> view)
        : m_view(std::move(view))
    {
    }

    void operator()(std::mt19937& random)
    {
        switch (std::uniform_int_distribution(0, 2)(random)) {
        case 0:
            g_idle_add(&GtkNoise::iterateNested, nullptr);
            return;
        case 1:
            g_timeout_add(
                guint(std::uniform_int_distribution(0, 20)(random)),
                [](gpointer) -> gboolean { return G_SOURCE_REMOVE; }, nullptr);
            return;
        default:
            fnd::RunLoop::main().post([view = m_view] { view->setNeedsDisplay(true); });
        }
    }

private:
    static gboolean iterateNested(gpointer)
    {
        for (int i = 0; i < 3; ++i)
            g_main_context_iteration(nullptr, FALSE);
        return G_SOURCE_REMOVE;
    }

    std::shared_ptr<FillView> m_view;
};

}

class RunLoopWakeUpTest : public GtkDisplayTest { };

// The main run loop waits in GDK's context, as a program's does, while worker threads hand it work at random
// moments; a window on the screen asks for frames meanwhile. A loop that sleeps through due work leaves it seconds
// late, or the 10 ms beat of its repeating timer stopped until something else (the next mouse event) wakes it.
TEST_F(RunLoopWakeUpTest, ALoopWaitingInGdksContextNeverSleepsThroughDueWork)
{
    auto view = FillView::make({}, gfx::Color::colorWithDeviceRed(0.2, 0.4, 0.8));
    std::atomic<int> draws { 0 };
    view->extra = [&](FillView&) { ++draws; };
    auto window = showWindow({ 60, 80, 200, 120 }, view);
    GtkNoise noise(view);
    runloopstress::Options options;
    options.beat = true;
    options.rounds = 30;
    options.noise = std::ref(noise);
    auto report = runloopstress::run(fnd::RunLoop::main(), options);
    EXPECT_TRUE(report.stalls.empty()) << report.describe();
    EXPECT_EQ(report.late, 0) << report.describe();
    EXPECT_EQ(report.ran, report.handedOver) << report.describe();
    EXPECT_GE(report.beats, 3 * report.rounds) << report.describe();
    EXPECT_GT(draws, 1);
    // What the workers left in the context goes before the window does.
    backend->runUntil([] { return !g_main_context_pending(nullptr); }, 5);
}
