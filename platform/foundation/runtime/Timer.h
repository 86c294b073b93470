#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Value.h"

#include <functional>
#include <memory>
#include <mutex>
#include <set>

namespace fnd {

// Fires its action at its fire date on the run loop it was added to, once or every interval. A repeating timer that
// falls behind fires once and then keeps to its original beat: the next fire date is the first one on the grid
// fireDate + k * interval that lies after the time it fired.
class Timer : public Object {
    FND_OBJECT(Timer)
public:
    using Action = std::function<void(Timer&)>;

    Timer() = default;
    static std::shared_ptr<Timer> create(
        Date fireDate, double interval, bool repeats, Action action, Value userInfo = {});
    // Fires first after the interval.
    static std::shared_ptr<Timer> create(double interval, bool repeats, Action action, Value userInfo = {});
    // Made and added to the current run loop in the default mode.
    static std::shared_ptr<Timer> scheduled(double interval, bool repeats, Action action, Value userInfo = {});

    Date fireDate() const;
    // Moves the next firing; a valid timer added to a loop is rescheduled at once.
    void setFireDate(Date date);
    // The interval of a repeating timer; 0 for a one-shot timer.
    double timeInterval() const;
    bool repeats() const { return m_repeats; }
    const Value& userInfo() const { return m_userInfo; }

    bool isValid() const;
    // Stops the timer for good and removes it from its run loop. Safe from its own action and from any thread.
    void invalidate();
    // Runs the action now. A one-shot timer is then invalidated; a repeating one keeps its schedule.
    void fire();

private:
    friend class RunLoop;

    void attach(const std::shared_ptr<RunLoop>& loop, const String& mode, std::uint64_t sequence);
    bool runsIn(const String& mode) const;
    // Called by the loop when the fire date has passed.
    void fireFromLoop(Date now);
    // After the action fired for that date, even when it threw: a one-shot timer is done, a repeating one moves on.
    void firingEnded(Date scheduledFor, Date now);

    mutable std::mutex m_mutex;
    Date m_fireDate;
    double m_interval { 0 };
    bool m_repeats { false };
    bool m_valid { true };
    // Set while the action runs (see runsIn).
    bool m_firing { false };
    Action m_action;
    Value m_userInfo;
    std::weak_ptr<RunLoop> m_loop;
    std::set<String> m_modes;
    std::uint64_t m_sequence { 0 };
};

}
