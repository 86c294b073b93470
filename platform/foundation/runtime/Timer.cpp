#include "platform/foundation/runtime/Timer.h"

#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/Exception.h"

#include <cmath>

namespace fnd {

FND_REGISTER_CLASS(Timer, Object)

namespace {

// The platform's floor for repeating intervals, so that a zero interval cannot spin the loop.
constexpr double MinimumRepeatInterval = 0.0001;

}

std::shared_ptr<Timer> Timer::create(Date fireDate, double interval, bool repeats, Action action, Value userInfo)
{
    auto timer = std::make_shared<Timer>();
    timer->m_fireDate = fireDate;
    timer->m_repeats = repeats;
    timer->m_interval = repeats ? std::max(interval, MinimumRepeatInterval) : 0.0;
    timer->m_action = std::move(action);
    timer->m_userInfo = std::move(userInfo);
    return timer;
}

std::shared_ptr<Timer> Timer::create(double interval, bool repeats, Action action, Value userInfo)
{
    auto start = Clock::current()->now().addingTimeInterval(std::max(interval, 0.0));
    return create(start, interval, repeats, std::move(action), std::move(userInfo));
}

std::shared_ptr<Timer> Timer::scheduled(double interval, bool repeats, Action action, Value userInfo)
{
    auto timer = create(interval, repeats, std::move(action), std::move(userInfo));
    RunLoop::current().addTimer(timer, RunLoopMode::Default);
    return timer;
}

Date Timer::fireDate() const
{
    std::lock_guard lock(m_mutex);
    return m_fireDate;
}

void Timer::setFireDate(Date date)
{
    std::shared_ptr<RunLoop> loop;
    {
        std::lock_guard lock(m_mutex);
        m_fireDate = date;
        loop = m_loop.lock();
    }
    if (loop)
        loop->wakeUp();
}

double Timer::timeInterval() const
{
    return m_interval;
}

bool Timer::isValid() const
{
    std::lock_guard lock(m_mutex);
    return m_valid;
}

void Timer::invalidate()
{
    std::shared_ptr<RunLoop> loop;
    {
        std::lock_guard lock(m_mutex);
        if (!m_valid)
            return;
        m_valid = false;
        loop = m_loop.lock();
    }
    if (loop) {
        loop->removeTimer(this);
        loop->forgetDelayedPerform(this);
    }
    // The action may hold the last reference to what owns the timer; it must not outlive the timer's use.
    std::lock_guard lock(m_mutex);
    m_action = nullptr;
}

void Timer::fire()
{
    Action action;
    {
        std::lock_guard lock(m_mutex);
        if (!m_valid)
            return;
        action = m_action;
    }
    auto self = weak_from_this().lock();
    if (action)
        action(*this);
    if (!m_repeats)
        invalidate();
}

void Timer::attach(const std::shared_ptr<RunLoop>& loop, const String& mode, std::uint64_t sequence)
{
    std::lock_guard lock(m_mutex);
    if (auto current = m_loop.lock(); current && current != loop)
        throw Exception::invalidArgument("A timer can be added to one run loop only.");
    if (m_modes.empty())
        m_sequence = sequence;
    m_loop = loop;
    m_modes.insert(mode);
}

bool Timer::runsIn(const String& mode) const
{
    std::lock_guard lock(m_mutex);
    // While its action runs, a timer waits for nothing: nested runs neither fire it nor wait for it.
    if (!m_valid || m_firing)
        return false;
    for (auto& m : m_modes) {
        if (RunLoop::modeMatches(m, mode))
            return true;
    }
    return false;
}

void Timer::fireFromLoop(Date now)
{
    Action action;
    Date scheduledFor;
    {
        std::lock_guard lock(m_mutex);
        // A run nested in the action (a modal session, a tracking loop) must not fire the timer again.
        if (!m_valid || m_firing || m_fireDate > now)
            return;
        action = m_action;
        scheduledFor = m_fireDate;
        m_firing = true;
    }
    // The loop's reference may be dropped by the action (invalidate); keep the timer alive through the call.
    auto self = shared_from_this();
    try {
        if (action)
            action(*this);
    } catch (...) {
        // The loop reports it; the timer is done with this date all the same, or it stays due and fires every pass.
        firingEnded(scheduledFor, now);
        throw;
    }
    firingEnded(scheduledFor, now);
}

void Timer::firingEnded(Date scheduledFor, Date now)
{
    {
        std::lock_guard lock(m_mutex);
        m_firing = false;
        if (m_repeats) {
            // The action may have moved the fire date itself; that wins.
            if (!m_valid || m_fireDate != scheduledFor)
                return;
            auto after = std::max(Clock::current()->now(), now);
            auto beats = std::floor(after.timeIntervalSince(scheduledFor) / m_interval) + 1;
            m_fireDate = scheduledFor.addingTimeInterval(beats * m_interval);
            return;
        }
    }
    invalidate();
}

}
