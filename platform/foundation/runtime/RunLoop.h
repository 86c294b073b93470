#pragma once

#include "platform/foundation/runtime/Selector.h"
#include "platform/foundation/runtime/Value.h"

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace fnd {

class Timer;

// Run-loop modes, by the platform's names. Work added "in common modes" runs in each of the other three.
namespace RunLoopMode {
inline const String Default = "NSDefaultRunLoopMode";
inline const String EventTracking = "NSEventTrackingRunLoopMode";
inline const String ModalPanel = "NSModalPanelRunLoopMode";
inline const String Common = "NSRunLoopCommonModes";
}

using RunLoopModes = std::vector<String>;

// How a run loop waits when nothing is due, when someone else owns the thread's event loop (the GLib adapter
// iterates its main context here, so windows keep receiving events during nested runs).
class RunLoopWaiter {
public:
    virtual ~RunLoopWaiter() = default;
    // Blocks until work may be due, at most about the given number of seconds (nullopt: no limit). May return early.
    virtual void waitForWork(std::optional<double> timeoutSeconds) = 0;
};

// One per thread: fires timers and delayed performs, runs work posted from any thread, and runs ordered performs
// before it waits. Runs nest (tracking loops, modal sessions), each in one mode; only work added for that mode, or
// for the common modes when the mode is one of them, happens during it.
class RunLoop : public std::enable_shared_from_this<RunLoop> {
public:
    enum class RunResult { Stopped, TimedOut, HandledSource };

    RunLoop();
    ~RunLoop();
    RunLoop(const RunLoop&) = delete;
    RunLoop& operator=(const RunLoop&) = delete;

    // The calling thread's loop, made on first use.
    static RunLoop& current();
    static std::shared_ptr<RunLoop> currentShared();
    // The loop of the process's first thread, reachable from every thread.
    static RunLoop& main();
    static std::shared_ptr<RunLoop> mainShared();
    static bool isMainThread();

    bool isMain() const { return this == &main(); }

    // Timers. A timer belongs to one loop and may be added for several modes; the loop keeps it until it is
    // invalidated. Thread-safe.
    void addTimer(const std::shared_ptr<Timer>& timer, const String& mode);

    // Runs work on this loop's thread in one of the modes, in posting order, waking the loop. Thread-safe.
    void post(std::function<void()> work, RunLoopModes modes = { RunLoopMode::Common });
    // Runs work once, before the loop next waits in one of the modes; lower orders first. Thread-safe.
    void performBeforeWaiting(std::function<void()> work, long order, RunLoopModes modes);

    // Runs in the mode until the limit date passes or stop() is called and, when asked, until one posted work item
    // has run. Timers and delayed performs firing do not count as handled sources. Always makes at least one pass,
    // so a limit in the past polls. The common-modes name is not a mode one can run in: invalid argument.
    RunResult runInMode(const String& mode, Date limit, bool returnAfterSourceHandled);
    // One turn: until a source was handled or the date passed.
    bool runMode(const String& mode, Date beforeDate);
    // Runs in the default mode until the date or a stop.
    void runUntilDate(Date limit);
    // Runs in the default mode until stopped.
    void run();
    // Ends the innermost running run; nothing when the loop is not running. Thread-safe.
    void stop();
    // The mode of the innermost run; nothing when the loop is not running.
    std::optional<String> currentMode() const;

    // For an outside event loop (GLib): the mode work is done in right now (the innermost run's, else default),
    // how long until something is due in it (nullopt: nothing is, until woken), and one non-blocking pass over what
    // is due. The wake-up descriptor becomes readable whenever the answer to secondsUntilDue may have changed. What
    // runDueWork handles while a run waits counts as handled by that run.
    String activeMode() const;
    std::optional<double> secondsUntilDue() const;
    bool runDueWork();
    int wakeUpDescriptor() const { return m_wakeFd; }
    void wakeUp();
    // Makes the descriptor unreadable again until the next wake-up.
    void acknowledgeWakeUps();
    // Replaces the built-in poll while this loop waits (nullptr restores it). The waiter must outlive its use.
    void setWaiter(RunLoopWaiter* waiter);
    // For tests: runs on the loop's thread each time the loop has settled how long it waits, just before it blocks
    // (or moves a virtual clock it drives), the moment where work handed over must still wake it.
    void setWillWaitHook(std::function<void()> hook);

    // Delayed performs are timers the loop keeps with the identity of their request, for cancellation.
    struct PerformIdentity {
        std::shared_ptr<Object> target;
        Selector selector;
        Value argument;
    };
    void addDelayedPerform(const std::shared_ptr<Timer>& timer, PerformIdentity identity, const RunLoopModes& modes);
    // Invalidates the pending delayed performs with that target, selector and equal argument (or, without
    // matchSelectorAndArgument, every one with that target).
    void cancelDelayedPerforms(const Object* target, const Selector* selector, const Value* argument);

    static bool modeMatches(const String& mode, const String& runningMode);

private:
    friend class Timer;
    struct Posted {
        std::function<void()> work;
        RunLoopModes modes;
        std::uint64_t sequence;
        // Run already, by a pass that found it behind work of another mode; left until it reaches the front.
        bool taken { false };
    };
    struct Ordered {
        std::function<void()> work;
        long order;
        std::uint64_t sequence;
        RunLoopModes modes;
    };
    struct Frame {
        String mode;
        Date limit;
        bool stopped { false };
        // An outside event loop ran this run's work while it waited (runDueWork).
        bool handledOutside { false };
    };
    struct DelayedPerform {
        std::shared_ptr<Timer> timer;
        PerformIdentity identity;
    };

    bool doPass(const String& mode);
    // How the run at that depth ends now, if it does: stopped, or it handled a source and returns after one.
    std::optional<RunResult> runEnds(std::size_t depth, bool handled, bool returnAfterSourceHandled);
    bool fireTimers(const String& mode);
    bool runPosted(const String& mode);
    // The next posted work of the mode after the sequence `after` and up to `last`, taken out of the queue.
    std::optional<std::function<void()>> takePosted(const String& mode, std::uint64_t& after, std::uint64_t last);
    bool runOrdered(const String& mode);
    void wait(const String& mode, Date limit);
    bool hasPendingWakeUp() const;
    std::optional<Date> nextTimerDate(const String& mode) const;
    bool hasImmediateWork(const String& mode) const;
    void removeTimer(const Timer* timer);
    void forgetDelayedPerform(const Timer* timer);

    mutable std::mutex m_mutex;
    std::vector<std::shared_ptr<Timer>> m_timers;
    // In posting order (sequences rise from front to back).
    std::deque<Posted> m_posted;
    std::size_t m_postedTaken { 0 };
    std::vector<Ordered> m_ordered;
    std::vector<DelayedPerform> m_delayedPerforms;
    std::vector<Frame> m_frames;
    std::uint64_t m_sequence { 0 };
    int m_wakeFd { -1 };
    RunLoopWaiter* m_waiter { nullptr };
    std::function<void()> m_willWaitHook;
};

}
