#pragma once

#include "platform/foundation/runtime/Value.h"

#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace fnd {

// Where run loops, timers and delayed work read the time. The process has one current clock; tests install a
// VirtualClock and move time themselves, so timers fire deterministically and without sleeping.
class Clock {
public:
    virtual ~Clock() = default;

    virtual Date now() const = 0;
    // A virtual clock only moves when told to; waits on it cannot be turned into real sleeps.
    virtual bool isVirtual() const { return false; }

    static std::shared_ptr<Clock> current();
    // nullptr restores the system clock. Waiting run loops are woken to re-read their deadlines.
    static void setCurrent(std::shared_ptr<Clock> clock);

    // Called (on the thread that moved time) after the current clock was replaced or a virtual clock moved.
    // Handlers live as long as the process: run loops and the delayed-dispatch thread use this to wake up.
    static void addChangeHandler(std::function<void()> handler);

protected:
    static void notifyChanged();
};

// Real time, read from the monotonic clock so that changes of the wall clock never make timers jump;
// it starts at the wall-clock date of the first read.
class SystemClock final : public Clock {
public:
    Date now() const override;
};

// Time that moves only when a test moves it.
class VirtualClock final : public Clock {
public:
    explicit VirtualClock(Date start = Date::fromReferenceDate(0));

    Date now() const override;
    bool isVirtual() const override { return true; }

    void advance(double seconds);
    // Moves time to the date; never backwards.
    void advanceTo(Date date);

    // When set (the default), a run loop on the thread that created the clock, finding nothing to do, moves the
    // time to its next timer or to the end of its run instead of sleeping. Loops of other threads always sleep
    // until time moves or work is posted to them.
    bool advancesWhenIdle() const;
    void setAdvancesWhenIdle(bool flag);
    bool isDrivenFrom(std::thread::id thread) const;

private:
    mutable std::mutex m_mutex;
    Date m_now;
    bool m_advancesWhenIdle { true };
    std::thread::id m_driver;
};

// Installs a clock for a scope (a test), restoring the previous one at the end.
class ScopedClock {
public:
    explicit ScopedClock(std::shared_ptr<Clock> clock);
    ~ScopedClock();
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;

private:
    std::shared_ptr<Clock> m_previous;
};

}
