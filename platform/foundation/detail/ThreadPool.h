#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>

namespace fnd::detail {

// The worker threads behind concurrent queues and operation queues. Workers start on demand up to about one per
// core and leave after a while without work. A worker that blocks waiting for other queued work (a sync call, a
// wait for operations) says so with a BlockingScope, so the pool may start one more instead of deadlocking.
class ThreadPool {
public:
    static ThreadPool& shared();

    void submit(std::function<void()> task);
    std::size_t width() const { return m_width; }

    static bool isWorkerThread();

    class BlockingScope {
    public:
        BlockingScope();
        ~BlockingScope();
        BlockingScope(const BlockingScope&) = delete;
        BlockingScope& operator=(const BlockingScope&) = delete;

    private:
        bool m_active;
    };

private:
    explicit ThreadPool(std::size_t width);
    void spawnIfNeeded();
    void workerLoop();

    std::mutex m_mutex;
    std::condition_variable m_available;
    std::deque<std::function<void()>> m_tasks;
    std::size_t m_width;
    std::size_t m_workers { 0 };
    std::size_t m_idle { 0 };
    std::size_t m_blocked { 0 };
};

}
