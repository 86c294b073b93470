#pragma once

#include "platform/foundation/runtime/RunLoop.h"

#include <chrono>
#include <thread>

// Waits of tests for work that runs elsewhere: on worker threads, in helper processes, behind the X server. Each waits
// for a condition, bounded in real time; never for a fixed time or a fixed number of rounds, which a loaded machine
// (or the sanitizers' tenfold slowdown) outlasts.
namespace testsupport {

// Half a minute: a condition that holds ends the wait at once, so the bound only decides how long a fault takes to
// fail, and no busy machine comes near it.
inline constexpr double WaitSeconds = 30;

// Checks the condition until it holds, doing `turn` (a pass of a run loop, a dispatch of queued events) and resting a
// millisecond between checks, for at most `seconds` of real time; answers whether it held.
template <typename Condition, typename Turn>
bool waitUntilTurning(Condition&& condition, Turn&& turn, double seconds = WaitSeconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        turn();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// The same, for work that needs nothing of this thread.
template <typename Condition> bool waitUntil(Condition&& condition, double seconds = WaitSeconds)
{
    return waitUntilTurning(
        std::forward<Condition>(condition), [] {}, seconds);
}

// The same, with a pass of this thread's run loop in the mode as the turn: timers already due, work posted to it (the
// main queue's operations, a worker's hand-over), displays. A pass waits for nothing, so it moves no virtual clock.
template <typename Condition>
bool runLoopUntil(
    Condition&& condition, double seconds = WaitSeconds, const fnd::String& mode = fnd::RunLoopMode::Default)
{
    return waitUntilTurning(
        std::forward<Condition>(condition),
        [&] { fnd::RunLoop::current().runInMode(mode, fnd::Date::distantPast(), false); }, seconds);
}

}
