#include "platform/foundation/runtime/GLibRunLoopSource.h"

#include <glib.h>

#include <cmath>
#include <limits>
#include <utility>

namespace fnd {

namespace {

struct LoopSource {
    GSource base;
    RunLoop* loop;
    // The dispatch depth (g_main_depth) at which a run of the loop waits in the context, or -1.
    int waitDepth;
};

// GLib wants milliseconds as an int; round up so a timer is never polled for just before it is due.
gint toTimeout(std::optional<double> seconds)
{
    if (!seconds)
        return -1;
    double ms = std::ceil(*seconds * 1000.0);
    return ms >= std::numeric_limits<gint>::max() ? std::numeric_limits<gint>::max() : static_cast<gint>(ms);
}

gboolean prepare(GSource* source, gint* timeout)
{
    auto* loop = reinterpret_cast<LoopSource*>(source)->loop;
    *timeout = toTimeout(loop->secondsUntilDue());
    return *timeout == 0;
}

gboolean check(GSource* source)
{
    auto* loop = reinterpret_cast<LoopSource*>(source)->loop;
    // Clear the wake-up first, or a wake-up with nothing due would keep the descriptor readable and spin the poll.
    loop->acknowledgeWakeUps();
    auto due = loop->secondsUntilDue();
    return due && *due <= 0;
}

gboolean dispatch(GSource* source, GSourceFunc, gpointer)
{
    auto* loopSource = reinterpret_cast<LoopSource*>(source);
    // In the iteration a run waits in, that run does the work itself once the iteration returns. In an iteration
    // nested in a callback of that one (a handler that waits for something by iterating the context), the run
    // cannot get back before the callback returns, and the callback may wait for this very work: it runs here,
    // and counts for the waiting run.
    if (loopSource->waitDepth < 0 || g_main_depth() != loopSource->waitDepth + 1)
        loopSource->loop->runDueWork();
    return G_SOURCE_CONTINUE;
}

GSourceFuncs sourceFuncs = { prepare, check, dispatch, nullptr, nullptr, nullptr };

}

class GLibRunLoopSource::Impl : public RunLoopWaiter {
public:
    Impl(std::shared_ptr<RunLoop> loop, GMainContext* context)
        : m_loop(std::move(loop))
        , m_context(g_main_context_ref(context))
    {
        m_source = g_source_new(&sourceFuncs, sizeof(LoopSource));
        reinterpret_cast<LoopSource*>(m_source)->loop = m_loop.get();
        reinterpret_cast<LoopSource*>(m_source)->waitDepth = -1;
        g_source_set_name(m_source, "fnd::RunLoop");
        // Run-loop work may run nested loops that iterate this context again.
        g_source_set_can_recurse(m_source, TRUE);
        g_source_add_unix_fd(m_source, m_loop->wakeUpDescriptor(), G_IO_IN);
        g_source_attach(m_source, m_context);
        m_loop->setWaiter(this);
    }

    ~Impl() override
    {
        m_loop->setWaiter(nullptr);
        g_source_destroy(m_source);
        g_source_unref(m_source);
        g_main_context_unref(m_context);
    }

    void waitForWork(std::optional<double>) override
    {
        // Runs nest (a tracking loop in a handler): each waits at its own depth, and the outer one's comes back.
        auto& waitDepth = reinterpret_cast<LoopSource*>(m_source)->waitDepth;
        const int outer = std::exchange(waitDepth, g_main_depth());
        // The source's prepare gives the context the same deadline, so one blocking iteration is enough.
        g_main_context_iteration(m_context, TRUE);
        waitDepth = outer;
    }

private:
    std::shared_ptr<RunLoop> m_loop;
    GMainContext* m_context;
    GSource* m_source;
};

GLibRunLoopSource::GLibRunLoopSource(std::shared_ptr<RunLoop> loop, GMainContext* context)
    : m_impl(std::make_unique<Impl>(std::move(loop), context))
{
}

GLibRunLoopSource::~GLibRunLoopSource() = default;

}
