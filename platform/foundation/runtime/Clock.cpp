#include "platform/foundation/runtime/Clock.h"

#include <chrono>
#include <vector>

namespace fnd {

namespace {

struct ClockState {
    std::mutex mutex;
    std::shared_ptr<Clock> current;
    std::vector<std::function<void()>> handlers;
};

ClockState& state()
{
    // Never destroyed: threads may still read the clock while the process exits.
    static auto* s = new ClockState { {}, std::make_shared<SystemClock>(), {} };
    return *s;
}

}

std::shared_ptr<Clock> Clock::current()
{
    auto& s = state();
    std::lock_guard lock(s.mutex);
    return s.current;
}

void Clock::setCurrent(std::shared_ptr<Clock> clock)
{
    auto& s = state();
    {
        std::lock_guard lock(s.mutex);
        s.current = clock ? std::move(clock) : std::make_shared<SystemClock>();
    }
    notifyChanged();
}

void Clock::addChangeHandler(std::function<void()> handler)
{
    auto& s = state();
    std::lock_guard lock(s.mutex);
    s.handlers.push_back(std::move(handler));
}

void Clock::notifyChanged()
{
    auto& s = state();
    std::vector<std::function<void()>> handlers;
    {
        std::lock_guard lock(s.mutex);
        handlers = s.handlers;
    }
    for (auto& handler : handlers)
        handler();
}

Date SystemClock::now() const
{
    using namespace std::chrono;
    static const auto originSteady = steady_clock::now();
    static const Date originDate = Date::now();
    return originDate.addingTimeInterval(duration<double>(steady_clock::now() - originSteady).count());
}

VirtualClock::VirtualClock(Date start)
    : m_now(start)
    , m_driver(std::this_thread::get_id())
{
}

Date VirtualClock::now() const
{
    std::lock_guard lock(m_mutex);
    return m_now;
}

void VirtualClock::advance(double seconds)
{
    advanceTo(now().addingTimeInterval(seconds));
}

void VirtualClock::advanceTo(Date date)
{
    {
        std::lock_guard lock(m_mutex);
        if (date <= m_now)
            return;
        m_now = date;
    }
    notifyChanged();
}

bool VirtualClock::advancesWhenIdle() const
{
    std::lock_guard lock(m_mutex);
    return m_advancesWhenIdle;
}

void VirtualClock::setAdvancesWhenIdle(bool flag)
{
    std::lock_guard lock(m_mutex);
    m_advancesWhenIdle = flag;
}

bool VirtualClock::isDrivenFrom(std::thread::id thread) const
{
    std::lock_guard lock(m_mutex);
    return m_advancesWhenIdle && thread == m_driver;
}

ScopedClock::ScopedClock(std::shared_ptr<Clock> clock)
    : m_previous(Clock::current())
{
    Clock::setCurrent(std::move(clock));
}

ScopedClock::~ScopedClock()
{
    Clock::setCurrent(std::move(m_previous));
}

}
