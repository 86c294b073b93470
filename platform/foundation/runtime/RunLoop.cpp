#include "platform/foundation/runtime/RunLoop.h"

#include "platform/foundation/detail/ThreadSupport.h"
#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/Timer.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <exception>
#include <poll.h>
#include <set>
#include <sys/eventfd.h>
#include <unistd.h>
#include <utility>

namespace fnd {

namespace {

thread_local std::shared_ptr<RunLoop> t_current;

// Every live loop, so a change of the clock can wake them all to re-read their deadlines.
struct RunLoopRegistry {
    std::mutex mutex;
    std::set<RunLoop*> loops;
};

RunLoopRegistry& runLoopRegistry()
{
    static auto* r = [] {
        auto* made = new RunLoopRegistry;
        Clock::addChangeHandler([made] {
            std::lock_guard lock(made->mutex);
            for (auto* loop : made->loops)
                loop->wakeUp();
        });
        return made;
    }();
    return *r;
}

// Work that throws must not take the rest of the loop's queue with it; the platform's event loop reports and goes on.
template <typename F> void runGuarded(const char* what, F&& f)
{
    try {
        f();
    } catch (const Exception& e) {
        logf(LogLevel::Error, "Exception in {}: {}: {}", what, e.name().utf8(), e.reason().utf8());
    } catch (const std::exception& e) {
        logf(LogLevel::Error, "Exception in {}: {}", what, e.what());
    }
}

bool contains(const RunLoopModes& modes, const String& mode)
{
    return std::any_of(modes.begin(), modes.end(), [&](const String& m) { return RunLoop::modeMatches(m, mode); });
}

}

RunLoop::RunLoop()
    : m_wakeFd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
    if (m_wakeFd < 0)
        throw Exception::internalInconsistency("Cannot create the run loop's wake-up descriptor.");
    auto& r = runLoopRegistry();
    std::lock_guard lock(r.mutex);
    r.loops.insert(this);
}

RunLoop::~RunLoop()
{
    {
        auto& r = runLoopRegistry();
        std::lock_guard lock(r.mutex);
        r.loops.erase(this);
    }
    close(m_wakeFd);
}

bool RunLoop::isMainThread()
{
    return gettid() == getpid();
}

std::shared_ptr<RunLoop> RunLoop::mainShared()
{
    // Never destroyed: other threads may post to it while the process exits.
    static auto* loop = new std::shared_ptr<RunLoop>(std::make_shared<RunLoop>());
    return *loop;
}

RunLoop& RunLoop::main()
{
    return *mainShared();
}

std::shared_ptr<RunLoop> RunLoop::currentShared()
{
    if (!t_current)
        t_current = isMainThread() ? mainShared() : std::make_shared<RunLoop>();
    return t_current;
}

RunLoop& RunLoop::current()
{
    return *currentShared();
}

void detail::setCurrentRunLoop(std::shared_ptr<RunLoop> loop)
{
    t_current = std::move(loop);
}

bool RunLoop::modeMatches(const String& mode, const String& runningMode)
{
    if (mode == runningMode)
        return true;
    return mode == RunLoopMode::Common
        && (runningMode == RunLoopMode::Default || runningMode == RunLoopMode::EventTracking
            || runningMode == RunLoopMode::ModalPanel);
}

void RunLoop::addTimer(const std::shared_ptr<Timer>& timer, const String& mode)
{
    if (!timer || !timer->isValid())
        return;
    std::uint64_t sequence;
    {
        std::lock_guard lock(m_mutex);
        sequence = ++m_sequence;
    }
    timer->attach(shared_from_this(), mode, sequence);
    {
        std::lock_guard lock(m_mutex);
        // Invalidated by another thread since the check above: that invalidation has already taken it out of this
        // list, so put in now it would stay for good.
        if (!timer->isValid())
            return;
        if (std::find(m_timers.begin(), m_timers.end(), timer) == m_timers.end())
            m_timers.push_back(timer);
    }
    wakeUp();
}

void RunLoop::removeTimer(const Timer* timer)
{
    std::shared_ptr<Timer> keep;
    std::lock_guard lock(m_mutex);
    auto it = std::find_if(m_timers.begin(), m_timers.end(), [&](auto& t) { return t.get() == timer; });
    if (it != m_timers.end()) {
        // Released after the lock: the timer's destruction may release objects that use this loop.
        keep = std::move(*it);
        m_timers.erase(it);
    }
}

void RunLoop::post(std::function<void()> work, RunLoopModes modes)
{
    {
        std::lock_guard lock(m_mutex);
        m_posted.push_back({ std::move(work), std::move(modes), ++m_sequence });
    }
    wakeUp();
}

void RunLoop::performBeforeWaiting(std::function<void()> work, long order, RunLoopModes modes)
{
    {
        std::lock_guard lock(m_mutex);
        m_ordered.push_back({ std::move(work), order, ++m_sequence, std::move(modes) });
    }
    wakeUp();
}

void RunLoop::addDelayedPerform(
    const std::shared_ptr<Timer>& timer, PerformIdentity identity, const RunLoopModes& modes)
{
    {
        std::lock_guard lock(m_mutex);
        m_delayedPerforms.push_back({ timer, std::move(identity) });
    }
    for (auto& mode : modes)
        addTimer(timer, mode);
}

void RunLoop::cancelDelayedPerforms(const Object* target, const Selector* selector, const Value* argument)
{
    if (!target)
        return;
    std::vector<std::shared_ptr<Timer>> cancelled;
    {
        std::lock_guard lock(m_mutex);
        for (auto& perform : m_delayedPerforms) {
            auto& id = perform.identity;
            if (id.target.get() != target)
                continue;
            if (selector && !(id.selector == *selector && id.argument == *argument))
                continue;
            cancelled.push_back(perform.timer);
        }
    }
    for (auto& timer : cancelled)
        timer->invalidate();
}

void RunLoop::forgetDelayedPerform(const Timer* timer)
{
    std::vector<DelayedPerform> released;
    std::lock_guard lock(m_mutex);
    auto it = std::partition(m_delayedPerforms.begin(), m_delayedPerforms.end(),
        [&](const DelayedPerform& p) { return p.timer.get() != timer; });
    // The target and argument are released after the lock, as their destructors may post again.
    std::move(it, m_delayedPerforms.end(), std::back_inserter(released));
    m_delayedPerforms.erase(it, m_delayedPerforms.end());
}

RunLoop::RunResult RunLoop::runInMode(const String& mode, Date limit, bool returnAfterSourceHandled)
{
    if (mode == RunLoopMode::Common)
        throw Exception::invalidArgument("A run loop cannot run in NSRunLoopCommonModes; run in one of its modes.");
    auto self = shared_from_this();
    std::size_t depth;
    {
        std::lock_guard lock(m_mutex);
        m_frames.push_back({ mode, limit, false });
        depth = m_frames.size();
    }
    auto result = RunResult::TimedOut;
    for (;;) {
        acknowledgeWakeUps();
        bool handled = doPass(mode);
        if (auto ends = runEnds(depth, handled, returnAfterSourceHandled)) {
            result = *ends;
            break;
        }
        if (Clock::current()->now() >= limit)
            break;
        wait(mode, limit);
        // The outside event loop may have run this run's work, or stopped it, while it waited.
        if (auto ends = runEnds(depth, false, returnAfterSourceHandled)) {
            result = *ends;
            break;
        }
    }
    std::lock_guard lock(m_mutex);
    m_frames.pop_back();
    return result;
}

std::optional<RunLoop::RunResult> RunLoop::runEnds(std::size_t depth, bool handled, bool returnAfterSourceHandled)
{
    std::lock_guard lock(m_mutex);
    auto& frame = m_frames[depth - 1];
    handled = std::exchange(frame.handledOutside, false) || handled;
    if (frame.stopped)
        return RunResult::Stopped;
    if (handled && returnAfterSourceHandled)
        return RunResult::HandledSource;
    return std::nullopt;
}

bool RunLoop::runMode(const String& mode, Date beforeDate)
{
    runInMode(mode, beforeDate, true);
    return true;
}

void RunLoop::runUntilDate(Date limit)
{
    runInMode(RunLoopMode::Default, limit, false);
}

void RunLoop::run()
{
    runInMode(RunLoopMode::Default, Date::distantFuture(), false);
}

void RunLoop::stop()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_frames.empty())
            return;
        m_frames.back().stopped = true;
    }
    wakeUp();
}

std::optional<String> RunLoop::currentMode() const
{
    std::lock_guard lock(m_mutex);
    if (m_frames.empty())
        return std::nullopt;
    return m_frames.back().mode;
}

String RunLoop::activeMode() const
{
    return currentMode().value_or(RunLoopMode::Default);
}

bool RunLoop::doPass(const String& mode)
{
    fireTimers(mode);
    bool handled = runPosted(mode);
    runOrdered(mode);
    return handled;
}

bool RunLoop::fireTimers(const String& mode)
{
    auto now = Clock::current()->now();
    struct Due {
        std::shared_ptr<Timer> timer;
        Date fireDate;
    };
    std::vector<Due> due;
    {
        std::lock_guard lock(m_mutex);
        for (auto& timer : m_timers) {
            if (!timer->runsIn(mode))
                continue;
            if (auto date = timer->fireDate(); date <= now)
                due.push_back({ timer, date });
        }
    }
    // By the dates read above: another thread may move a timer meanwhile, and a sort whose order changes as it
    // sorts may run off its range.
    std::sort(due.begin(), due.end(), [](const Due& a, const Due& b) {
        return a.fireDate != b.fireDate ? a.fireDate < b.fireDate : a.timer->m_sequence < b.timer->m_sequence;
    });
    for (auto& entry : due) {
        // An earlier action may have invalidated or moved this one, or a nested run fired it already.
        if (entry.timer->runsIn(mode))
            runGuarded("a timer", [&] { entry.timer->fireFromLoop(now); });
    }
    return !due.empty();
}

bool RunLoop::runPosted(const String& mode)
{
    // Only what was there when the pass began, taken one at a time so that a nested run can take later items.
    std::uint64_t last;
    {
        std::lock_guard lock(m_mutex);
        last = m_sequence;
    }
    bool handled = false;
    std::uint64_t after = 0;
    while (auto work = takePosted(mode, after, last)) {
        runGuarded("posted work", *work);
        handled = true;
    }
    return handled;
}

std::optional<std::function<void()>> RunLoop::takePosted(const String& mode, std::uint64_t& after, std::uint64_t last)
{
    std::lock_guard lock(m_mutex);
    // The search resumes after the last item this pass took (a nested run may have taken some since); each item is
    // passed over at most once a pass, so a pass over n items costs n, not n².
    auto it = std::lower_bound(m_posted.begin(), m_posted.end(), after + 1,
        [](const Posted& p, std::uint64_t sequence) { return p.sequence < sequence; });
    it = std::find_if(it, m_posted.end(),
        [&](const Posted& p) { return p.sequence > last || (!p.taken && contains(p.modes, mode)); });
    if (it == m_posted.end() || it->sequence > last)
        return std::nullopt;
    after = it->sequence;
    auto work = std::exchange(it->work, nullptr);
    if (it == m_posted.begin()) {
        m_posted.pop_front();
    } else {
        // Behind work of another mode: marked, and dropped once it reaches the front or half the queue is marked.
        it->taken = true;
        ++m_postedTaken;
    }
    while (!m_posted.empty() && m_posted.front().taken) {
        m_posted.pop_front();
        --m_postedTaken;
    }
    if (m_postedTaken > m_posted.size() / 2) {
        std::erase_if(m_posted, [](const Posted& p) { return p.taken; });
        m_postedTaken = 0;
    }
    return work;
}

bool RunLoop::runOrdered(const String& mode)
{
    std::vector<Ordered> batch;
    {
        std::lock_guard lock(m_mutex);
        std::vector<Ordered> kept;
        for (auto& o : m_ordered)
            (contains(o.modes, mode) ? batch : kept).push_back(std::move(o));
        m_ordered = std::move(kept);
    }
    // Sequences are unique, so this order is total: equal orders keep their scheduling order.
    std::sort(batch.begin(), batch.end(),
        [](auto& a, auto& b) { return a.order != b.order ? a.order < b.order : a.sequence < b.sequence; });
    for (auto& o : batch)
        runGuarded("an ordered perform", o.work);
    return !batch.empty();
}

std::optional<Date> RunLoop::nextTimerDate(const String& mode) const
{
    std::optional<Date> next;
    std::lock_guard lock(m_mutex);
    for (auto& timer : m_timers) {
        if (!timer->runsIn(mode))
            continue;
        auto date = timer->fireDate();
        if (!next || date < *next)
            next = date;
    }
    return next;
}

bool RunLoop::hasImmediateWork(const String& mode) const
{
    {
        std::lock_guard lock(m_mutex);
        if (std::any_of(m_posted.begin(), m_posted.end(), [&](auto& p) { return !p.taken && contains(p.modes, mode); })
            || std::any_of(m_ordered.begin(), m_ordered.end(), [&](auto& o) { return contains(o.modes, mode); }))
            return true;
    }
    auto next = nextTimerDate(mode);
    return next && *next <= Clock::current()->now();
}

void RunLoop::wait(const String& mode, Date limit)
{
    if (hasImmediateWork(mode))
        return;
    auto clock = Clock::current();
    auto deadline = limit;
    if (auto next = nextTimerDate(mode); next && *next < deadline)
        deadline = *next;

    std::optional<double> timeout;
    if (!clock->isVirtual())
        timeout = std::max(0.0, deadline.timeIntervalSince(clock->now()));
    if (m_willWaitHook)
        m_willWaitHook();
    if (clock->isVirtual()) {
        auto& virtualClock = static_cast<VirtualClock&>(*clock);
        if (virtualClock.isDrivenFrom(std::this_thread::get_id())) {
            // Work handed over since the check above comes first: a sleep would have ended at once for it.
            if (!hasPendingWakeUp())
                virtualClock.advanceTo(deadline);
            return;
        }
    }

    if (m_waiter) {
        m_waiter->waitForWork(timeout);
        return;
    }
    pollfd fd { m_wakeFd, POLLIN, 0 };
    timespec ts {};
    timespec* tsp = nullptr;
    if (timeout) {
        // Capped so that the distant future does not overflow; the loop simply waits again.
        double seconds = std::min(*timeout, 86400.0);
        ts.tv_sec = static_cast<time_t>(seconds);
        ts.tv_nsec = static_cast<long>((seconds - std::floor(seconds)) * 1e9);
        tsp = &ts;
    }
    ppoll(&fd, 1, tsp, nullptr);
}

std::optional<double> RunLoop::secondsUntilDue() const
{
    auto mode = activeMode();
    if (hasImmediateWork(mode))
        return 0.0;
    auto next = nextTimerDate(mode);
    {
        std::lock_guard lock(m_mutex);
        if (!m_frames.empty() && (!next || m_frames.back().limit < *next))
            next = m_frames.back().limit;
    }
    if (!next)
        return std::nullopt;
    auto clock = Clock::current();
    auto seconds = next->timeIntervalSince(clock->now());
    if (seconds <= 0)
        return 0.0;
    if (clock->isVirtual())
        return std::nullopt;
    return seconds;
}

bool RunLoop::runDueWork()
{
    acknowledgeWakeUps();
    bool handled = doPass(activeMode());
    if (handled) {
        std::lock_guard lock(m_mutex);
        if (!m_frames.empty())
            m_frames.back().handledOutside = true;
    }
    return handled;
}

void RunLoop::wakeUp()
{
    std::uint64_t one = 1;
    // A full counter already means "awake"; nothing else can fail on an eventfd we own.
    [[maybe_unused]] auto written = write(m_wakeFd, &one, sizeof one);
}

void RunLoop::acknowledgeWakeUps()
{
    std::uint64_t count;
    while (read(m_wakeFd, &count, sizeof count) > 0) { }
}

bool RunLoop::hasPendingWakeUp() const
{
    pollfd fd { m_wakeFd, POLLIN, 0 };
    return poll(&fd, 1, 0) > 0 && (fd.revents & POLLIN);
}

void RunLoop::setWaiter(RunLoopWaiter* waiter)
{
    m_waiter = waiter;
}

void RunLoop::setWillWaitHook(std::function<void()> hook)
{
    m_willWaitHook = std::move(hook);
}

}
