#include "platform/foundation/detail/ThreadPool.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Log.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

namespace fnd::detail {

namespace {

thread_local bool t_isWorker = false;

constexpr auto IdleLifetime = std::chrono::seconds(5);

// How much nicer than the main thread a worker is: on a core they share, the main thread's frames and input come
// first (a worker then gets about a tenth of the core), while a worker alone on a core runs at full speed.
constexpr int WorkerNiceness = 10;

// The cores the process may run on (a process pinned to some cores has as many workers as those), else the
// machine's.
std::size_t threadPoolCoresAvailable()
{
    cpu_set_t cores;
    CPU_ZERO(&cores);
    if (sched_getaffinity(0, sizeof cores, &cores) == 0 && CPU_COUNT(&cores) > 0)
        return std::size_t(CPU_COUNT(&cores));
    return std::thread::hardware_concurrency();
}

void threadPoolLowerPriority()
{
    errno = 0;
    const int mainThread = getpriority(PRIO_PROCESS, id_t(getpid()));
    if (errno != 0)
        return;
    // Only ever lowered, which needs no privilege; a failure leaves the worker as it is.
    (void)setpriority(PRIO_PROCESS, id_t(gettid()), std::min(19, mainThread + WorkerNiceness));
}

}

ThreadPool& ThreadPool::shared()
{
    // Never destroyed: detached workers may still be waiting on it while the process exits.
    static auto* pool = new ThreadPool(std::clamp<std::size_t>(threadPoolCoresAvailable(), 2, 16));
    return *pool;
}

ThreadPool::ThreadPool(std::size_t width)
    : m_width(width)
{
}

bool ThreadPool::isWorkerThread()
{
    return t_isWorker;
}

void ThreadPool::submit(std::function<void()> task)
{
    std::lock_guard lock(m_mutex);
    m_tasks.push_back(std::move(task));
    spawnIfNeeded();
    m_available.notify_one();
}

// With m_mutex held.
void ThreadPool::spawnIfNeeded()
{
    if (m_tasks.size() <= m_idle || m_workers - m_blocked >= m_width)
        return;
    ++m_workers;
    std::thread([this] { workerLoop(); }).detach();
}

void ThreadPool::workerLoop()
{
    t_isWorker = true;
    threadPoolLowerPriority();
    std::unique_lock lock(m_mutex);
    for (;;) {
        ++m_idle;
        bool woke = m_available.wait_for(lock, IdleLifetime, [&] { return !m_tasks.empty(); });
        --m_idle;
        if (!woke)
            break;
        auto task = std::move(m_tasks.front());
        m_tasks.pop_front();
        lock.unlock();
        try {
            task();
        } catch (const Exception& e) {
            logf(LogLevel::Error, "Exception in queued work: {}: {}", e.name().utf8(), e.reason().utf8());
        } catch (const std::exception& e) {
            logf(LogLevel::Error, "Exception in queued work: {}", e.what());
        }
        task = nullptr;
        lock.lock();
    }
    --m_workers;
}

ThreadPool::BlockingScope::BlockingScope()
    : m_active(t_isWorker)
{
    if (!m_active)
        return;
    auto& pool = shared();
    std::lock_guard lock(pool.m_mutex);
    ++pool.m_blocked;
    pool.spawnIfNeeded();
}

ThreadPool::BlockingScope::~BlockingScope()
{
    if (!m_active)
        return;
    auto& pool = shared();
    std::lock_guard lock(pool.m_mutex);
    --pool.m_blocked;
}

}
