#include "platform/foundation/runtime/DispatchQueue.h"

#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"
#include "platform/foundation/detail/Completion.h"
#include "platform/foundation/detail/ThreadPool.h"

#include <chrono>
#include <condition_variable>
#include <exception>
#include <map>
#include <thread>

namespace fnd {

namespace {

thread_local DispatchQueue* t_currentQueue = nullptr;

class CurrentQueueScope {
public:
    explicit CurrentQueueScope(DispatchQueue* queue)
        : m_previous(t_currentQueue)
    {
        t_currentQueue = queue;
    }
    ~CurrentQueueScope() { t_currentQueue = m_previous; }

private:
    DispatchQueue* m_previous;
};

// Serial queues hand the pool a batch at a time, so one busy queue cannot starve the others.
constexpr int DrainBatch = 16;

// Holds work for worker queues until its date on the current clock. A moving virtual clock releases the due work
// on the thread that moved it, before advance() returns, so tests see it queued deterministically.
class DelayedDispatcher {
public:
    static DelayedDispatcher& shared()
    {
        static auto* dispatcher = new DelayedDispatcher;
        return *dispatcher;
    }

    void schedule(Date when, std::function<void()> release)
    {
        std::lock_guard lock(m_mutex);
        m_pending.emplace(std::make_pair(when, ++m_sequence), std::move(release));
        if (!m_started) {
            m_started = true;
            std::thread([this] { loop(); }).detach();
        }
        m_changed.notify_all();
    }

private:
    DelayedDispatcher()
    {
        Clock::addChangeHandler([this] {
            releaseDue();
            std::lock_guard lock(m_mutex);
            m_changed.notify_all();
        });
    }

    void releaseDue()
    {
        auto now = Clock::current()->now();
        std::vector<std::function<void()>> due;
        {
            std::lock_guard lock(m_mutex);
            while (!m_pending.empty() && m_pending.begin()->first.first <= now) {
                due.push_back(std::move(m_pending.begin()->second));
                m_pending.erase(m_pending.begin());
            }
        }
        for (auto& release : due)
            release();
    }

    void loop()
    {
        for (;;) {
            releaseDue();
            std::unique_lock lock(m_mutex);
            auto clock = Clock::current();
            if (m_pending.empty() || clock->isVirtual()) {
                m_changed.wait_for(lock, std::chrono::seconds(60));
                continue;
            }
            auto seconds = m_pending.begin()->first.first.timeIntervalSince(clock->now());
            if (seconds > 0)
                m_changed.wait_for(lock, std::chrono::duration<double>(std::min(seconds, 60.0)));
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::multimap<std::pair<Date, std::uint64_t>, std::function<void()>> m_pending;
    std::uint64_t m_sequence { 0 };
    bool m_started { false };
};

void logFailure(const char* what)
{
    try {
        throw;
    } catch (const Exception& e) {
        logf(LogLevel::Error, "Exception in {}: {}: {}", what, e.name().utf8(), e.reason().utf8());
    } catch (const std::exception& e) {
        logf(LogLevel::Error, "Exception in {}: {}", what, e.what());
    }
}

}

DispatchQueue::DispatchQueue(Kind kind, String label)
    : m_kind(kind)
    , m_label(std::move(label))
{
}

DispatchQueue& DispatchQueue::main()
{
    static auto* queue
        = new std::shared_ptr<DispatchQueue>(std::make_shared<DispatchQueue>(Kind::Main, "com.apple.main-thread"));
    return **queue;
}

DispatchQueue& DispatchQueue::global()
{
    static auto* queue
        = new std::shared_ptr<DispatchQueue>(std::make_shared<DispatchQueue>(Kind::Concurrent, "global"));
    return **queue;
}

std::shared_ptr<DispatchQueue> DispatchQueue::createSerial(String label)
{
    return std::make_shared<DispatchQueue>(Kind::Serial, std::move(label));
}

std::shared_ptr<DispatchQueue> DispatchQueue::createConcurrent(String label)
{
    return std::make_shared<DispatchQueue>(Kind::Concurrent, std::move(label));
}

DispatchQueue* DispatchQueue::current()
{
    if (t_currentQueue)
        return t_currentQueue;
    return RunLoop::isMainThread() ? &main() : nullptr;
}

void DispatchQueue::runItem(const std::function<void()>& work)
{
    CurrentQueueScope scope(this);
    try {
        work();
    } catch (...) {
        logFailure("queued work");
    }
}

void DispatchQueue::async(std::function<void()> work)
{
    auto self = shared_from_this();
    switch (m_kind) {
    case Kind::Main:
        RunLoop::main().post([self, work = std::move(work)] { self->runItem(work); }, { RunLoopMode::Common });
        return;
    case Kind::Concurrent:
        detail::ThreadPool::shared().submit([self, work = std::move(work)] { self->runItem(work); });
        return;
    case Kind::Serial: {
        std::lock_guard lock(m_mutex);
        m_pending.push_back(std::move(work));
        if (m_draining)
            return;
        m_draining = true;
    }
        detail::ThreadPool::shared().submit([self] { self->drain(); });
        return;
    }
}

void DispatchQueue::drain()
{
    for (int i = 0; i < DrainBatch; ++i) {
        std::function<void()> work;
        {
            std::lock_guard lock(m_mutex);
            if (m_pending.empty()) {
                m_draining = false;
                return;
            }
            work = std::move(m_pending.front());
            m_pending.pop_front();
        }
        runItem(work);
    }
    detail::ThreadPool::shared().submit([self = shared_from_this()] { self->drain(); });
}

void DispatchQueue::sync(const std::function<void()>& work)
{
    if (m_kind == Kind::Concurrent) {
        runItem(work);
        return;
    }
    if (current() == this || (m_kind == Kind::Main && RunLoop::isMainThread()))
        throw Exception::internalInconsistency(
            String("A synchronous call to the queue \"") + m_label + "\" from its own work would wait forever.");

    auto completion = detail::Completion::create();
    // The work runs inside the queue's item scope, so what it throws reaches the caller, not the log.
    async(detail::Completion::wrap(completion, work));
    detail::ThreadPool::BlockingScope blocking;
    completion->wait();
}

void DispatchQueue::after(double delay, std::function<void()> work)
{
    auto self = shared_from_this();
    if (m_kind == Kind::Main) {
        auto timer = Timer::create(
            std::max(delay, 0.0), false, [self, work = std::move(work)](Timer&) { self->runItem(work); });
        RunLoop::main().addTimer(timer, RunLoopMode::Common);
        return;
    }
    auto when = Clock::current()->now().addingTimeInterval(std::max(delay, 0.0));
    DelayedDispatcher::shared().schedule(
        when, [self, work = std::move(work)]() mutable { self->async(std::move(work)); });
}

}
