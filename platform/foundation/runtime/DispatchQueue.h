#pragma once

#include "platform/foundation/runtime/String.h"

#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace fnd {

// Work queues. The main queue runs its work in order on the main run loop, in the common modes. A serial queue runs
// one item at a time in order on the shared worker threads; a concurrent queue runs its items side by side there.
// Work that throws is logged and the queue goes on.
class DispatchQueue : public std::enable_shared_from_this<DispatchQueue> {
public:
    enum class Kind { Main, Serial, Concurrent };

    static DispatchQueue& main();
    // The process-wide concurrent queue.
    static DispatchQueue& global();
    static std::shared_ptr<DispatchQueue> createSerial(String label);
    static std::shared_ptr<DispatchQueue> createConcurrent(String label);
    // The queue whose work the calling thread is running; the main queue on the main thread; else null.
    static DispatchQueue* current();

    DispatchQueue(Kind kind, String label);

    Kind kind() const { return m_kind; }
    const String& label() const { return m_label; }

    void async(std::function<void()> work);
    // Runs the work and returns when it is done, passing on what it threw. Asking a serial queue (or the main
    // queue) to wait for itself would never return: that raises an internal-inconsistency exception instead.
    void sync(const std::function<void()>& work);
    // Queues the work once the delay (on the current clock) has passed.
    void after(double delay, std::function<void()> work);

private:
    void drain();
    void runItem(const std::function<void()>& work);

    Kind m_kind;
    String m_label;
    std::mutex m_mutex;
    std::deque<std::function<void()>> m_pending;
    bool m_draining { false };
};

}
