#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/ClassBuilder.h"
#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Perform.h"
#include "platform/foundation/runtime/Thread.h"
#include "platform/foundation/runtime/Timer.h"

#include "platform/foundation/TestSupport.h"
#include "support/Waiting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>

using namespace fnd;

namespace {

// Records the selector performs it receives.
class PerformRecorder : public Object {
    FND_OBJECT(PerformRecorder)
public:
    static void describeClass(ClassBuilder<PerformRecorder>& c)
    {
        c.action("note:", &PerformRecorder::note);
        c.action("display", &PerformRecorder::display);
    }
    void note(const Value& what) { received.push_back("note:" + what.description().utf8()); }
    void display() { received.push_back("display"); }

    std::vector<std::string> received;
};

}

FND_REGISTER_CLASS(PerformRecorder, Object)

namespace {

// Every test runs on virtual time starting at t = 0 (reference date 1000); the main loop skips idle time.
class RunLoopTest : public ::testing::Test {
protected:
    Date at(double seconds) const { return Date::fromReferenceDate(1000 + seconds); }
    double elapsed() const { return clock->now().timeIntervalSince(at(0)); }
    std::shared_ptr<Timer> timerAt(double seconds, Timer::Action action, const String& mode)
    {
        auto timer = Timer::create(at(seconds), 0, false, std::move(action));
        loop.addTimer(timer, mode);
        return timer;
    }

    std::shared_ptr<VirtualClock> clock = std::make_shared<VirtualClock>(Date::fromReferenceDate(1000));
    ScopedClock scopedClock { clock };
    RunLoop& loop = RunLoop::main();
};

TEST_F(RunLoopTest, TimersFireOnlyInTheirModes)
{
    struct Case {
        String running;
        std::vector<String> fired;
    };
    const std::vector<String> timerModes { RunLoopMode::Default, RunLoopMode::EventTracking, RunLoopMode::ModalPanel,
        RunLoopMode::Common };
    const std::vector<Case> cases {
        { RunLoopMode::Default, { RunLoopMode::Default, RunLoopMode::Common } },
        { RunLoopMode::EventTracking, { RunLoopMode::EventTracking, RunLoopMode::Common } },
        { RunLoopMode::ModalPanel, { RunLoopMode::ModalPanel, RunLoopMode::Common } },
        { "CustomMode", {} },
    };
    for (auto& c : cases) {
        std::vector<String> fired;
        std::vector<std::shared_ptr<Timer>> timers;
        for (auto& mode : timerModes)
            timers.push_back(timerAt(
                elapsed() + 1, [&fired, mode](Timer&) { fired.push_back(mode); }, mode));
        loop.runInMode(c.running, clock->now().addingTimeInterval(2), false);
        EXPECT_EQ(fired, c.fired) << "running in " << c.running;
        for (auto& timer : timers)
            timer->invalidate();
    }
}

TEST_F(RunLoopTest, TimerAddedForSeveralModesFiresOnceAndWaitsForAMatchingRun)
{
    int fired = 0;
    auto timer = timerAt(
        1, [&](Timer&) { ++fired; }, RunLoopMode::Default);
    loop.addTimer(timer, RunLoopMode::EventTracking);
    loop.runInMode(RunLoopMode::ModalPanel, at(5), false);
    EXPECT_EQ(fired, 0);
    EXPECT_TRUE(timer->isValid());
    loop.runInMode(RunLoopMode::EventTracking, at(6), false);
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(timer->isValid());
}

TEST_F(RunLoopTest, ATimerWhoseActionRunsTheLoopAgainIsNotFiredByTheNestedRun)
{
    int fired = 0;
    timerAt(
        1,
        [&](Timer&) {
            ++fired;
            // A modal session or tracking loop started from the action.
            loop.runInMode(RunLoopMode::ModalPanel, at(3), false);
        },
        RunLoopMode::Common);
    loop.runInMode(RunLoopMode::Default, at(5), false);
    EXPECT_EQ(fired, 1);
}

TEST_F(RunLoopTest, RepeatingTimerKeepsItsBeatAndFiresOnceWhenBehind)
{
    std::vector<double> firedAt;
    auto timer = Timer::create(1.0, true, [&](Timer&) { firedAt.push_back(elapsed()); });
    loop.addTimer(timer, RunLoopMode::Default);
    loop.runUntilDate(at(3.5));
    EXPECT_EQ(firedAt, (std::vector<double> { 1, 2, 3 }));
    EXPECT_DOUBLE_EQ(timer->fireDate().timeIntervalSince(at(0)), 4);

    // Nobody ran the loop for a while: one late firing, then back on the grid after now.
    clock->advance(5.2);
    loop.runMode(RunLoopMode::Default, Date::distantPast());
    EXPECT_EQ(firedAt.size(), 4u);
    EXPECT_DOUBLE_EQ(timer->fireDate().timeIntervalSince(at(0)), 9);
    timer->invalidate();
    EXPECT_DOUBLE_EQ(timer->timeInterval(), 1.0);
}

TEST_F(RunLoopTest, DueTimersAndDelayedPerformsFireInFireDateOrder)
{
    std::vector<std::string> order;
    auto target = std::make_shared<Object>();
    timerAt(
        3, [&](Timer&) { order.push_back("timer@3"); }, RunLoopMode::Default);
    performAfterDelay(
        target, [&] { order.push_back("perform@2"); }, 2);
    timerAt(
        1, [&](Timer&) { order.push_back("timer@1"); }, RunLoopMode::Default);
    performAfterDelay(
        target, [&] { order.push_back("perform@1"); }, 1);
    timerAt(
        2, [&](Timer&) { order.push_back("timer@2"); }, RunLoopMode::Common);

    // All of them are due by the time the loop looks: fire-date order, ties in scheduling order.
    clock->advance(10);
    loop.runMode(RunLoopMode::Default, Date::distantPast());
    EXPECT_EQ(order, (std::vector<std::string> { "timer@1", "perform@1", "perform@2", "timer@2", "timer@3" }));
}

TEST_F(RunLoopTest, TimerActionsCanInvalidateAndMoveTimers)
{
    std::vector<std::string> fired;
    std::shared_ptr<Timer> later, moved;
    auto repeating = Timer::create(at(1), 1, true, [&](Timer& self) {
        fired.push_back("repeating");
        later->invalidate();
        moved->setFireDate(at(7));
        self.invalidate();
    });
    loop.addTimer(repeating, RunLoopMode::Default);
    later = timerAt(
        1, [&](Timer&) { fired.push_back("later"); }, RunLoopMode::Default);
    moved = timerAt(
        1, [&](Timer&) { fired.push_back("moved@" + std::to_string(int(elapsed()))); }, RunLoopMode::Default);

    loop.runUntilDate(at(10));
    EXPECT_EQ(fired, (std::vector<std::string> { "repeating", "moved@7" }));
    EXPECT_FALSE(repeating->isValid());
    EXPECT_FALSE(moved->isValid());
}

TEST_F(RunLoopTest, FiringByHandKeepsARepeatingScheduleAndEndsAOneShot)
{
    int fired = 0;
    auto repeating = Timer::create(at(5), 5, true, [&](Timer&) { ++fired; });
    auto oneShot = Timer::create(at(5), 0, false, [&](Timer&) { ++fired; });
    loop.addTimer(repeating, RunLoopMode::Default);
    repeating->fire();
    oneShot->fire();
    EXPECT_EQ(fired, 2);
    EXPECT_TRUE(repeating->isValid());
    EXPECT_EQ(repeating->fireDate(), at(5));
    EXPECT_FALSE(oneShot->isValid());
    repeating->invalidate();
}

TEST_F(RunLoopTest, CancellingASelectorPerformMatchesTargetSelectorAndAnEqualArgument)
{
    auto recorder = std::make_shared<PerformRecorder>();
    performAfterDelay(recorder, "note:", Value("x"), 1);
    performAfterDelay(recorder, "note:", Value("y"), 1);
    performAfterDelay(recorder, "note:", Value(), 1);
    performAfterDelay(recorder, "display", Value("x"), 1);
    performAfterDelay(recorder, "note:", Value(Array { 1, 2 }), 1);

    // Equal, not identical, arguments cancel; nil only matches nil; the selector must match too.
    cancelPreviousPerformRequests(*recorder, "note:", Value(String("x")));
    cancelPreviousPerformRequests(*recorder, "note:", Value(Array { 1, 2 }));
    cancelPreviousPerformRequests(*recorder, "display", Value());
    loop.runUntilDate(at(2));
    EXPECT_EQ(recorder->received, (std::vector<std::string> { "note:y", "note:(null)", "display" }));

    performAfterDelay(recorder, "note:", Value(), 1);
    cancelPreviousPerformRequests(*recorder, "note:", Value());
    loop.runUntilDate(at(4));
    EXPECT_EQ(recorder->received.size(), 3u);
}

TEST_F(RunLoopTest, CancellingABlockPerformCancelsOnlyThatBlockOnThatTarget)
{
    auto target = std::make_shared<Object>();
    auto other = std::make_shared<Object>();
    std::vector<std::string> ran;
    auto first = performAfterDelay(
        target, [&] { ran.push_back("first"); }, 1);
    performAfterDelay(
        target, [&] { ran.push_back("second"); }, 1);
    auto onOther = performAfterDelay(
        other, [&] { ran.push_back("other"); }, 1);

    cancelPreviousPerformRequests(*target, first);
    cancelPreviousPerformRequests(*target, onOther); // the right block on the wrong target: nothing
    loop.runUntilDate(at(2));
    EXPECT_EQ(ran, (std::vector<std::string> { "second", "other" }));
}

TEST_F(RunLoopTest, CancellingAllPerformsOfATargetKeepsOtherTargetsAndReleasesTheTarget)
{
    auto target = std::make_shared<Object>();
    std::weak_ptr<Object> watch = target;
    auto other = std::make_shared<Object>();
    int ran = 0;
    performAfterDelay(
        target, [&] { ++ran; }, 1);
    performAfterDelay(target, [&] { ++ran; }, 2, { RunLoopMode::EventTracking });
    performAfterDelay(
        other, [&] { ran += 10; }, 1);

    cancelPreviousPerformRequests(*target);
    target.reset();
    EXPECT_TRUE(watch.expired()) << "a cancelled perform must let go of its target";
    loop.runUntilDate(at(3));
    loop.runInMode(RunLoopMode::EventTracking, at(4), false);
    EXPECT_EQ(ran, 10);
}

TEST_F(RunLoopTest, DelayedPerformRunsOnlyInItsModes)
{
    auto target = std::make_shared<Object>();
    int ran = 0;
    performAfterDelay(target, [&] { ++ran; }, 1, { RunLoopMode::ModalPanel });
    loop.runUntilDate(at(2));
    EXPECT_EQ(ran, 0);
    loop.runInMode(RunLoopMode::ModalPanel, at(3), false);
    EXPECT_EQ(ran, 1);
}

TEST_F(RunLoopTest, NestedTrackingRunEndsAtItsDateAndLeavesDefaultTimersAlone)
{
    std::vector<std::string> log;
    std::optional<String> modeInside;
    RunLoop::RunResult nested {};
    timerAt(
        1,
        [&](Timer&) {
            log.push_back("outer@1");
            nested = loop.runInMode(RunLoopMode::EventTracking, at(4), false);
            log.push_back("back@" + std::to_string(int(elapsed())));
        },
        RunLoopMode::Default);
    timerAt(
        2, [&](Timer&) { log.push_back("default@" + std::to_string(int(elapsed()))); }, RunLoopMode::Default);
    timerAt(
        3,
        [&](Timer&) {
            modeInside = loop.currentMode();
            log.push_back("common@3");
        },
        RunLoopMode::Common);

    loop.runUntilDate(at(10));
    EXPECT_EQ(log, (std::vector<std::string> { "outer@1", "common@3", "back@4", "default@4" }));
    EXPECT_EQ(nested, RunLoop::RunResult::TimedOut);
    EXPECT_EQ(modeInside, RunLoopMode::EventTracking);
    EXPECT_EQ(loop.currentMode(), std::nullopt);
}

TEST_F(RunLoopTest, StopEndsOnlyTheInnermostRun)
{
    std::vector<RunLoop::RunResult> results;
    timerAt(
        1,
        [&](Timer&) {
            results.push_back(loop.runInMode(RunLoopMode::ModalPanel, Date::distantFuture(), false));
            loop.stop();
        },
        RunLoopMode::Default);
    timerAt(
        2, [&](Timer&) { loop.stop(); }, RunLoopMode::ModalPanel);

    loop.stop(); // not running: must not end the next run at once
    results.push_back(loop.runInMode(RunLoopMode::Default, Date::distantFuture(), false));
    EXPECT_EQ(results, (std::vector { RunLoop::RunResult::Stopped, RunLoop::RunResult::Stopped }));
    EXPECT_DOUBLE_EQ(elapsed(), 2);
}

TEST_F(RunLoopTest, RunModeReturnsAfterOnePostedItemButNotAfterATimer)
{
    int posted = 0;
    bool timerFired = false;
    timerAt(
        1,
        [&](Timer&) {
            timerFired = true;
            loop.post([&] { ++posted; });
        },
        RunLoopMode::Default);
    EXPECT_TRUE(loop.runMode(RunLoopMode::Default, at(5)));
    EXPECT_TRUE(timerFired);
    EXPECT_EQ(posted, 1);
    EXPECT_DOUBLE_EQ(elapsed(), 1);
}

TEST_F(RunLoopTest, PostedWorkWaitsForAMatchingModeAndKeepsItsOrder)
{
    std::string ran;
    loop.post([&] { ran += "a"; }, { RunLoopMode::Default });
    loop.post([&] { ran += "b"; }, { RunLoopMode::EventTracking });
    loop.post([&] { ran += "c"; });
    loop.runInMode(RunLoopMode::EventTracking, Date::distantPast(), false);
    EXPECT_EQ(ran, "bc");
    loop.runInMode(RunLoopMode::Default, Date::distantPast(), false);
    EXPECT_EQ(ran, "bca");
}

TEST_F(RunLoopTest, PostedWorkOfManyModesAndNestedRunsRunsOnceInOrderOfItsMode)
{
    // Work for the default mode, the tracking mode or both, posted in a random mix; some default work runs a nested
    // tracking pass that takes tracking work posted before and after it. Each item runs once, in a pass of a mode
    // it was posted for, and the items of one mode run in the order they were posted.
    constexpr int Items = 600;
    enum Kind { DefaultOnly, TrackingOnly, Both };
    std::vector<Kind> kinds;
    std::vector<int> runs(Items, 0);
    std::vector<int> defaultOrder, trackingOrder;
    std::vector<std::string> wrongMode;
    unsigned seed = 1234;
    auto next = [&seed] { return (seed = seed * 1103515245 + 12345) >> 16; };
    std::function<void(int)> post = [&](int i) {
        const Kind kind = Kind(next() % 3);
        kinds.push_back(kind);
        const bool nests = kind == DefaultOnly && next() % 8 == 0;
        RunLoopModes modes = kind == DefaultOnly ? RunLoopModes { RunLoopMode::Default }
            : kind == TrackingOnly               ? RunLoopModes { RunLoopMode::EventTracking }
                                                 : RunLoopModes { RunLoopMode::Common };
        loop.post(
            [&, i, kind, nests] {
                ++runs[i];
                const auto mode = *loop.currentMode();
                if ((kind == DefaultOnly && mode != RunLoopMode::Default)
                    || (kind == TrackingOnly && mode != RunLoopMode::EventTracking))
                    wrongMode.push_back(std::to_string(i));
                if (kind != TrackingOnly)
                    defaultOrder.push_back(i);
                if (kind != DefaultOnly)
                    trackingOrder.push_back(i);
                if (nests)
                    loop.runInMode(RunLoopMode::EventTracking, Date::distantPast(), false);
            },
            modes);
    };
    for (int i = 0; i < Items; ++i)
        post(i);
    for (int pass = 0; pass < 4; ++pass) {
        loop.runInMode(pass % 2 ? RunLoopMode::EventTracking : RunLoopMode::Default, Date::distantPast(), false);
        if (pass == 0) // more work behind what is left, as a busy program posts it
            for (int i = 0; i < 50; ++i)
                runs.push_back(0), post(Items + i);
    }
    EXPECT_TRUE(wrongMode.empty()) << "run in a mode they were not posted for: " << wrongMode.size();
    for (std::size_t i = 0; i < runs.size(); ++i)
        ASSERT_EQ(runs[i], 1) << "item " << i << " of kind " << kinds[i];
    // Both-mode items may be taken by either mode's pass, but each mode's own work keeps its order.
    auto increasing = [&](const std::vector<int>& order, Kind only) {
        std::vector<int> own;
        for (int i : order)
            if (kinds[std::size_t(i)] == only)
                own.push_back(i);
        return std::is_sorted(own.begin(), own.end());
    };
    EXPECT_TRUE(increasing(defaultOrder, DefaultOnly));
    EXPECT_TRUE(increasing(trackingOrder, TrackingOnly));
}

TEST_F(RunLoopTest, WorkThatThrowsIsReportedAndTheRestStillRuns)
{
    std::string ran;
    loop.post([] { throw Exception::invalidArgument("bad"); });
    loop.post([&] { ran += "after"; });
    loop.runInMode(RunLoopMode::Default, Date::distantPast(), false);
    EXPECT_EQ(ran, "after");
}

TEST_F(RunLoopTest, ATimerWhoseActionThrowsIsDoneWithThatFiring)
{
    // Only the first firing of each throws: a timer left on its date would fire again at once.
    testsupport::CapturedLog log;
    std::vector<double> beats, shots;
    auto repeating = Timer::create(1.0, true, [&](Timer&) {
        beats.push_back(elapsed());
        if (beats.size() == 1)
            throw Exception::invalidArgument("the first beat");
    });
    loop.addTimer(repeating, RunLoopMode::Default);
    auto oneShot = timerAt(
        0.5,
        [&](Timer&) {
            shots.push_back(elapsed());
            if (shots.size() == 1)
                throw std::runtime_error("the shot");
        },
        RunLoopMode::Default);
    loop.runUntilDate(at(3.5));
    EXPECT_EQ(beats, (std::vector<double> { 1, 2, 3 }));
    EXPECT_EQ(shots, (std::vector<double> { 0.5 }));
    EXPECT_FALSE(oneShot->isValid());
    EXPECT_TRUE(repeating->isValid());
    EXPECT_TRUE(log.contains(LogLevel::Error, "the first beat"));
    EXPECT_TRUE(log.contains(LogLevel::Error, "the shot"));
    repeating->invalidate();
}

TEST_F(RunLoopTest, WorkHandedOverAsTheLoopGoesToSleepRunsBeforeVirtualTimeJumps)
{
    std::vector<std::string> order;
    timerAt(
        10, [&](Timer&) { order.push_back("timer@" + std::to_string(int(elapsed()))); }, RunLoopMode::Default);
    // Another thread posts once the loop has found nothing to do and settled on jumping to the timer.
    bool handed = false;
    loop.setWillWaitHook([&] {
        if (std::exchange(handed, true))
            return;
        std::thread([&] { loop.post([&] { order.push_back("posted@" + std::to_string(int(elapsed()))); }); }).join();
    });
    loop.runUntilDate(at(20));
    loop.setWillWaitHook(nullptr);
    EXPECT_EQ(order, (std::vector<std::string> { "posted@0", "timer@10" }));
}

TEST_F(RunLoopTest, OrderedSelectorPerformRunsOnceBeforeTheLoopWaits)
{
    auto recorder = std::make_shared<PerformRecorder>();
    performBeforeWaiting(recorder, "display", Value(), 1, { RunLoopMode::EventTracking, RunLoopMode::Default });
    loop.runInMode(RunLoopMode::EventTracking, at(1), false);
    loop.runInMode(RunLoopMode::Default, at(2), false);
    EXPECT_EQ(recorder->received, (std::vector<std::string> { "display" }));
}

TEST_F(RunLoopTest, OrderedPerformsRunBeforeWaitingByOrderInTheirModes)
{
    std::string ran;
    loop.performBeforeWaiting([&] { ran += "2"; }, 2, { RunLoopMode::Default, RunLoopMode::EventTracking });
    loop.performBeforeWaiting([&] { ran += "1a"; }, 1, { RunLoopMode::Default });
    loop.performBeforeWaiting([&] { ran += "T"; }, 0, { RunLoopMode::EventTracking });
    loop.performBeforeWaiting([&] { ran += "1b"; }, 1, { RunLoopMode::Default });
    loop.runInMode(RunLoopMode::Default, Date::distantPast(), false);
    EXPECT_EQ(ran, "1a1b2");
    loop.runInMode(RunLoopMode::EventTracking, Date::distantPast(), false);
    EXPECT_EQ(ran, "1a1b2T");
}

TEST_F(RunLoopTest, CommonModesIsNotARunnableMode)
{
    EXPECT_THROW(loop.runInMode(RunLoopMode::Common, at(1), false), Exception);
}

TEST_F(RunLoopTest, PerformOnMainThreadFromMainRunsAtOnceOnlyWhenWaiting)
{
    int ran = 0;
    performOnMainThread([&] { ++ran; }, true);
    EXPECT_EQ(ran, 1);
    performOnMainThread([&] { ++ran; }, false);
    EXPECT_EQ(ran, 1);
    loop.runInMode(RunLoopMode::ModalPanel, Date::distantPast(), false);
    EXPECT_EQ(ran, 2);
}

TEST_F(RunLoopTest, TimerOnAnotherThreadFiresWhenVirtualTimeMoves)
{
    std::atomic<double> firedAt { -1 };
    std::shared_ptr<RunLoop> workerLoop;
    std::atomic<bool> ready { false };
    auto worker = Thread::detachNewThread([&] {
        auto& own = RunLoop::current();
        auto timer = Timer::create(at(2), 0, false, [&](Timer&) {
            firedAt = elapsed();
            RunLoop::current().stop();
        });
        own.addTimer(timer, RunLoopMode::Default);
        ready = true;
        own.runUntilDate(at(100));
    });
    ASSERT_TRUE(testsupport::waitUntil([&] { return ready.load(); }));
    clock->advance(1);
    clock->advance(1.5);
    ASSERT_TRUE(worker->waitUntilFinished(testsupport::WaitSeconds));
    // Only this thread moves virtual time, so the worker saw 2.5 at the earliest.
    EXPECT_DOUBLE_EQ(firedAt, 2.5);
}

// Cross-thread hand-offs use real time: the waiting side must be woken, not skip ahead.
class RunLoopThreadTest : public ::testing::Test {
protected:
    static Date inSeconds(double s) { return Clock::current()->now().addingTimeInterval(s); }
    RunLoop& loop = RunLoop::main();
};

TEST_F(RunLoopThreadTest, PostingFromAnotherThreadWakesTheWaitingLoop)
{
    std::atomic<bool> ranOnMain { false };
    auto poster = Thread::detachNewThread([&] { RunLoop::main().post([&] { ranOnMain = RunLoop::isMainThread(); }); });
    // Until this work has run: the loop returns after any work it handles, and work posted before (by code an
    // earlier test ran) may come first.
    auto result = RunLoop::RunResult::TimedOut;
    const auto limit = inSeconds(testsupport::WaitSeconds);
    while (!ranOnMain && Clock::current()->now() < limit)
        result = loop.runInMode(RunLoopMode::Default, limit, true);
    EXPECT_EQ(result, RunLoop::RunResult::HandledSource);
    EXPECT_TRUE(ranOnMain);
    ASSERT_TRUE(poster->waitUntilFinished(testsupport::WaitSeconds));
}

// What another thread hands over once the loop has settled how long to sleep, just before it blocks: each must end
// the sleep, or the run would sleep on until its limit.
TEST_F(RunLoopThreadTest, WorkHandedOverJustBeforeTheLoopBlocksWakesIt)
{
    auto stop = [this](Timer&) { loop.stop(); };
    auto far = Timer::create(inSeconds(1000), 0, false, stop);
    auto tracking = Timer::create(inSeconds(0), 0, false, stop);
    loop.addTimer(far, RunLoopMode::Default);
    loop.addTimer(tracking, RunLoopMode::EventTracking);
    struct Case {
        const char* what;
        std::function<void()> handOver;
    };
    const std::vector<Case> cases {
        { "a post", [&] { loop.post([&] { loop.stop(); }); } },
        { "a timer added", [&] { loop.addTimer(Timer::create(0.0, false, stop), RunLoopMode::Default); } },
        { "a timer moved to now", [&] { far->setFireDate(inSeconds(0)); } },
        { "a due timer added for the running mode", [&] { loop.addTimer(tracking, RunLoopMode::Default); } },
        { "an ordered perform", [&] { loop.performBeforeWaiting([&] { loop.stop(); }, 0, { RunLoopMode::Common }); } },
        { "a stop", [&] { loop.stop(); } },
    };
    for (const auto& c : cases) {
        bool handed = false;
        loop.setWillWaitHook([&] {
            if (!std::exchange(handed, true))
                std::thread(c.handOver).join();
        });
        auto result = loop.runInMode(RunLoopMode::Default, inSeconds(30), false);
        EXPECT_EQ(result, RunLoop::RunResult::Stopped) << c.what;
        EXPECT_TRUE(handed) << c.what;
    }
    loop.setWillWaitHook(nullptr);
    far->invalidate();
    tracking->invalidate();
}

TEST_F(RunLoopThreadTest, PerformOnMainThreadAndWaitReturnsTheWorkAndItsFailure)
{
    std::atomic<int> step { 0 };
    std::string caught;
    auto worker = Thread::detachNewThread([&] {
        int value = 0;
        performOnMainThread([&] { value = RunLoop::isMainThread() ? 42 : -1; }, true);
        step = value;
        try {
            performOnMainThread([] { throw Exception::invalidArgument("no"); }, true);
        } catch (const Exception& e) {
            caught = e.reason().utf8();
        }
        RunLoop::main().post([&] { RunLoop::main().stop(); });
    });
    loop.runInMode(RunLoopMode::Default, inSeconds(30), false);
    ASSERT_TRUE(worker->waitUntilFinished(testsupport::WaitSeconds));
    EXPECT_EQ(step, 42);
    EXPECT_EQ(caught, "no");
}

TEST_F(RunLoopThreadTest, PerformOnAThreadRunsThereWhileItRunsItsLoop)
{
    auto worker = Thread::detachNewThread([] { RunLoop::current().runUntilDate(inSeconds(30)); });
    std::shared_ptr<Thread> ranOn;
    performOnThread(
        *worker, [&] { ranOn = Thread::current(); }, true);
    EXPECT_EQ(ranOn, worker);
    EXPECT_FALSE(worker->isFinished());

    performOnThread(
        *worker, [] { RunLoop::current().stop(); }, false);
    ASSERT_TRUE(worker->waitUntilFinished(testsupport::WaitSeconds));
    int ran = 0;
    performOnThread(
        *worker, [&] { ++ran; }, true); // finished: nothing runs and nobody hangs
    EXPECT_EQ(ran, 0);
}

TEST_F(RunLoopThreadTest, NestedRunTakesWorkPostedAfterTheItemThatStartedIt)
{
    // The outer item waits in a nested run for an item posted after it; it must not starve behind itself.
    bool innerRan = false;
    loop.post([&] {
        loop.post([&] {
            innerRan = true;
            loop.stop();
        });
        loop.runInMode(RunLoopMode::EventTracking, inSeconds(30), false);
    });
    loop.runInMode(RunLoopMode::Default, inSeconds(30), true);
    EXPECT_TRUE(innerRan);
}

TEST_F(RunLoopThreadTest, ThreadsAreCancelledByFlagAndReportTheirState)
{
    std::atomic<bool> sawCancel { false };
    std::shared_ptr<Thread> self;
    auto worker = Thread::create([&] {
        while (!Thread::current()->isCancelled())
            std::this_thread::yield();
        sawCancel = true;
    });
    EXPECT_FALSE(worker->isExecuting());
    worker->start();
    EXPECT_THROW(worker->start(), Exception);
    EXPECT_FALSE(worker->waitUntilFinished(0.001));
    worker->cancel();
    ASSERT_TRUE(worker->waitUntilFinished(testsupport::WaitSeconds));
    EXPECT_TRUE(sawCancel);
    EXPECT_TRUE(Thread::mainThread()->isExecuting());
    EXPECT_EQ(Thread::current(), Thread::mainThread());
}

}
