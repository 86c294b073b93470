#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>

namespace fnd::detail {

// What a caller that waits for work run elsewhere shares with that work: shared, so neither side can outlive it.
class Completion {
public:
    static std::shared_ptr<Completion> create() { return std::make_shared<Completion>(); }

    // Wraps work so that running it records what it threw and wakes the waiter.
    static std::function<void()> wrap(const std::shared_ptr<Completion>& completion, std::function<void()> work)
    {
        return [completion, work = std::move(work)] {
            std::exception_ptr error;
            try {
                work();
            } catch (...) {
                error = std::current_exception();
            }
            completion->finish(error);
        };
    }

    void finish(std::exception_ptr error = nullptr)
    {
        std::lock_guard lock(m_mutex);
        m_error = error;
        m_finished = true;
        m_done.notify_all();
    }

    // Blocks until the work ran, then rethrows what it threw.
    void wait()
    {
        std::unique_lock lock(m_mutex);
        m_done.wait(lock, [&] { return m_finished; });
        if (m_error)
            std::rethrow_exception(m_error);
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished { false };
    std::exception_ptr m_error;
};

}
