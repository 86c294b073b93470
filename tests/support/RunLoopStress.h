#pragma once

#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/DispatchQueue.h"
#include "platform/foundation/runtime/OperationQueue.h"
#include "platform/foundation/runtime/Perform.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

// Worker threads hand the main run loop work at random moments, in bursts, each followed by a quiet spell in which
// nothing but the loop's own deadlines and wake-ups can get it going again: posts, timers added and moved, delayed
// and ordered performs, main-queue work, nested runs in another mode, waits for the main thread. Everything handed
// over notes how late it ran after it was due. A loop that sleeps through a due timer or a post shows as work late by
// seconds while the loop sits idle, or as a quiet spell that never ends; load alone delays it by milliseconds.
namespace runloopstress {

struct Options {
    int workers { 4 };
    int rounds { 40 };
    int actionsPerBurst { 30 };
    // A 10 ms repeating timer in the common modes, whose beat must go on through every burst and quiet spell.
    bool beat { false };
    // Work this late after its due date is a missed wake-up, not load.
    double lateBound { 2.0 };
    // Now and then a worker calls this too, to stir the event source the loop waits on (a GLib context).
    std::function<void(std::mt19937&)> noise;
    // The loop runs on the calling thread, which must be the main thread; 0: a seed from the system.
    unsigned seed { 0 };
};

struct Report {
    unsigned seed { 0 };
    int rounds { 0 };
    long handedOver { 0 };
    long ran { 0 };
    long beats { 0 };
    long late { 0 };
    double worstLateness { 0 };
    std::string worst;
    // Quiet spells in which due work was still waiting after the bound, each described.
    std::vector<std::string> stalls;

    std::string describe() const
    {
        std::ostringstream out;
        out << "seed " << seed << ", " << rounds << " rounds, " << ran << " of " << handedOver << " items ran, "
            << beats << " beats, " << late << " late; the latest, " << worst << ", ran " << worstLateness
            << " s after it was due";
        for (const auto& stall : stalls)
            out << "\n  " << stall;
        return out.str();
    }
};

namespace detail {

using Seconds = std::chrono::duration<double>;

inline double now()
{
    return fnd::Clock::current()->now().timeIntervalSinceReferenceDate();
}

class Harness {
public:
    Harness(fnd::RunLoop& loop, const Options& options)
        : m_loop(loop)
        , m_options(options)
    {
        m_report.seed = options.seed ? options.seed : std::random_device {}();
    }

    Report run()
    {
        makeTimers();
        std::vector<std::thread> threads;
        for (int i = 0; i < m_options.workers; ++i)
            threads.emplace_back([this, i] { work(i); });
        std::thread coordinator([this] { coordinate(); });
        // Bounded, should the coordinator never come back: the loop must still return.
        const auto limit = fnd::Clock::current()->now().addingTimeInterval(300);
        while (!finished() && fnd::Clock::current()->now() < limit)
            m_loop.runInMode(fnd::RunLoopMode::Default, limit, false);
        {
            std::lock_guard lock(m_mutex);
            m_quit = true;
            m_changed.notify_all();
        }
        // A worker cut short in a burst may still wait for the main thread.
        while (!allWorkersLeft())
            m_loop.runInMode(fnd::RunLoopMode::Default, fnd::Clock::current()->now().addingTimeInterval(0.05), false);
        coordinator.join();
        for (auto& thread : threads)
            thread.join();
        for (auto& probe : m_probes)
            probe.timer->invalidate();
        if (m_beat)
            m_beat->invalidate();
        std::lock_guard lock(m_mutex);
        return m_report;
    }

private:
    struct Probe {
        std::shared_ptr<fnd::Timer> timer;
        bool armed { false };
        double due { 0 };
    };

    bool allWorkersLeft()
    {
        std::lock_guard lock(m_mutex);
        return m_workersLeft == m_options.workers;
    }

    bool finished()
    {
        std::lock_guard lock(m_mutex);
        return m_finished;
    }

    void makeTimers()
    {
        // One probe a worker: a timer the worker moves to a near date from its own thread, again and again.
        m_probes.resize(std::size_t(m_options.workers));
        for (std::size_t i = 0; i < m_probes.size(); ++i) {
            m_probes[i].timer = fnd::Timer::create(fnd::Date::distantFuture(), 1e6, true, [this, i](fnd::Timer&) {
                std::lock_guard lock(m_mutex);
                auto& probe = m_probes[i];
                if (!probe.armed)
                    return;
                probe.armed = false;
                ranLocked(now() - probe.due, "a timer moved by a worker");
            });
            m_loop.addTimer(m_probes[i].timer, fnd::RunLoopMode::Default);
        }
        if (!m_options.beat)
            return;
        m_beat = fnd::Timer::create(0.01, true, [this](fnd::Timer& timer) {
            const double lateness = now() - timer.fireDate().timeIntervalSinceReferenceDate();
            std::lock_guard lock(m_mutex);
            ++m_report.beats;
            noteLatenessLocked(lateness, "the 10 ms beat");
            m_changed.notify_all();
        });
        m_loop.addTimer(m_beat, fnd::RunLoopMode::Common);
    }

    // With m_mutex held.
    void noteLatenessLocked(double lateness, const char* what)
    {
        if (lateness > m_options.lateBound)
            ++m_report.late;
        if (lateness > m_report.worstLateness) {
            m_report.worstLateness = lateness;
            m_report.worst = what;
        }
    }

    void ranLocked(double lateness, const char* what)
    {
        noteLatenessLocked(lateness, what);
        ++m_report.ran;
        m_changed.notify_all();
    }

    void ran(double due, const char* what)
    {
        const double lateness = now() - due;
        std::lock_guard lock(m_mutex);
        ranLocked(lateness, what);
    }

    void handedOver()
    {
        std::lock_guard lock(m_mutex);
        ++m_report.handedOver;
    }

    // Rounds: a burst from every worker at once, then a quiet spell that lasts until everything handed over
    // has run (and the beat has gone on), or until the bound says the loop slept through it.
    void coordinate()
    {
        std::unique_lock lock(m_mutex);
        for (int round = 1; round <= m_options.rounds && !m_quit; ++round) {
            m_round = round;
            m_workersDone = 0;
            m_changed.notify_all();
            // A worker waiting for the main thread (performOnMainThread) waits as long as the loop sleeps.
            auto burstEnded = [&] { return m_workersDone == m_options.workers || m_quit; };
            if (!m_changed.wait_for(lock, Seconds(30), burstEnded)) {
                m_report.stalls.push_back(
                    "round " + std::to_string(round) + ": the workers' burst had not ended after 30 s");
                lock.unlock();
                m_loop.wakeUp();
                lock.lock();
                if (!m_changed.wait_for(lock, Seconds(60), burstEnded))
                    break;
            }
            const long beatsAtEnd = m_report.beats;
            auto settled = [&] {
                return m_quit || (m_report.ran == m_report.handedOver && (!m_beat || m_report.beats >= beatsAtEnd + 3));
            };
            if (!m_changed.wait_for(lock, Seconds(m_options.lateBound * 1.5), settled)) {
                std::ostringstream stall;
                stall << "round " << round << ": " << (m_report.handedOver - m_report.ran)
                      << " items still waiting and " << (m_report.beats - beatsAtEnd) << " beats "
                      << m_options.lateBound * 1.5 << " s after the burst ended";
                m_report.stalls.push_back(stall.str());
                // Woken from outside, the loop shows how late the work it slept through is.
                lock.unlock();
                m_loop.wakeUp();
                lock.lock();
                if (!m_changed.wait_for(lock, Seconds(60), settled))
                    break;
            }
            m_report.rounds = round;
        }
        m_quit = true;
        m_changed.notify_all();
        lock.unlock();
        m_loop.post(
            [this] {
                {
                    std::lock_guard guard(m_mutex);
                    m_finished = true;
                }
                m_loop.stop();
            },
            { fnd::RunLoopMode::Default });
    }

    void work(int index)
    {
        std::mt19937 random(m_report.seed + unsigned(index) * 7919u);
        int seen = 0;
        for (;;) {
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [&] { return m_round > seen || m_quit; });
                if (m_quit) {
                    ++m_workersLeft;
                    return;
                }
                seen = m_round;
            }
            for (int i = 0; i < m_options.actionsPerBurst; ++i) {
                act(index, random);
                pause(random);
            }
            std::lock_guard lock(m_mutex);
            ++m_workersDone;
            m_changed.notify_all();
        }
    }

    static void pause(std::mt19937& random)
    {
        switch (std::uniform_int_distribution(0, 3)(random)) {
        case 0:
            return;
        case 1:
            std::this_thread::yield();
            return;
        case 2: {
            // A short spin lands the next hand-over anywhere in the loop's pass or on its way into a wait.
            const auto until = std::chrono::steady_clock::now()
                + std::chrono::microseconds(std::uniform_int_distribution(1, 200)(random));
            while (std::chrono::steady_clock::now() < until) { }
            return;
        }
        default:
            std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution(1, 2000)(random)));
        }
    }

    void act(int index, std::mt19937& random)
    {
        const double delay = std::uniform_real_distribution(0.0, 0.02)(random);
        const fnd::String mode
            = std::uniform_int_distribution(0, 1)(random) ? fnd::RunLoopMode::Common : fnd::RunLoopMode::Default;
        switch (std::uniform_int_distribution(0, 10)(random)) {
        case 0: {
            handedOver();
            const double due = now();
            m_loop.post([this, due] { ran(due, "posted work"); }, { mode });
            return;
        }
        case 1: {
            handedOver();
            auto timer = fnd::Timer::create(delay, false, [this](fnd::Timer& t) {
                ran(t.fireDate().timeIntervalSinceReferenceDate(), "a timer added by a worker");
            });
            m_loop.addTimer(timer, mode);
            return;
        }
        case 2: {
            auto& probe = m_probes[std::size_t(index)];
            std::lock_guard lock(m_mutex);
            if (!probe.armed)
                ++m_report.handedOver;
            probe.armed = true;
            probe.due = now() + delay;
            probe.timer->setFireDate(fnd::Date::fromReferenceDate(probe.due));
            return;
        }
        case 3: {
            handedOver();
            const double due = now();
            m_loop.performBeforeWaiting([this, due] { ran(due, "an ordered perform"); },
                std::uniform_int_distribution(0, 3)(random), { fnd::RunLoopMode::Common });
            return;
        }
        case 4: {
            handedOver();
            const double due = now() + delay;
            fnd::DispatchQueue::main().after(delay, [this, due] { ran(due, "main-queue work after a delay"); });
            return;
        }
        case 5: {
            handedOver();
            const double due = now();
            fnd::DispatchQueue::main().async([this, due] { ran(due, "main-queue work"); });
            return;
        }
        case 6: {
            handedOver();
            const double due = now();
            fnd::OperationQueue::mainQueue()->addOperationWithBlock(
                [this, due] { ran(due, "an operation on the main queue"); });
            return;
        }
        case 7: {
            // A tracking loop or a modal session: a nested run in another mode, where default-mode work waits.
            handedOver();
            const double due = now();
            const double length = delay / 4;
            const fnd::String nested = std::uniform_int_distribution(0, 1)(random) ? fnd::RunLoopMode::EventTracking
                                                                                   : fnd::RunLoopMode::ModalPanel;
            m_loop.post([this, due, length, nested] {
                ran(due, "work that runs a nested run");
                m_loop.runInMode(nested, fnd::Clock::current()->now().addingTimeInterval(length), false);
            });
            return;
        }
        case 8:
            // The worker's probe runs in one more mode from now on.
            m_loop.addTimer(m_probes[std::size_t(index)].timer, fnd::RunLoopMode::EventTracking);
            return;
        case 9: {
            handedOver();
            const double due = now();
            fnd::performOnMainThread([this, due] { ran(due, "work the worker waited for"); }, true);
            return;
        }
        default:
            if (m_options.noise)
                m_options.noise(random);
        }
    }

    fnd::RunLoop& m_loop;
    const Options m_options;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    Report m_report;
    std::vector<Probe> m_probes;
    std::shared_ptr<fnd::Timer> m_beat;
    int m_round { 0 };
    int m_workersDone { 0 };
    int m_workersLeft { 0 };
    bool m_quit { false };
    bool m_finished { false };
};

}

// Runs the stress on the calling (main) thread's loop, which waits as it would in a program: in runInMode.
inline Report run(fnd::RunLoop& loop, const Options& options)
{
    detail::Harness harness(loop, options);
    return harness.run();
}

}
