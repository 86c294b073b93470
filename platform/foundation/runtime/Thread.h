#pragma once

#include "platform/foundation/runtime/Object.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace fnd {

class RunLoop;

// A thread of the process as the runtime sees it: its run loop (for performs aimed at it), a cancellation flag its
// work may poll, and whether it has finished. Threads not started here get an object on first request.
class Thread : public Object {
    FND_OBJECT(Thread)
public:
    Thread();
    ~Thread() override;

    static std::shared_ptr<Thread> current();
    static std::shared_ptr<Thread> mainThread();
    static bool isMainThread();

    // A thread that will run the entry when started, then end.
    static std::shared_ptr<Thread> create(std::function<void()> entry);
    // Made and started at once; the thread keeps its object alive while it runs.
    static std::shared_ptr<Thread> detachNewThread(std::function<void()> entry);
    void start();

    const std::shared_ptr<RunLoop>& runLoop() const { return m_runLoop; }

    void cancel() { m_cancelled = true; }
    bool isCancelled() const { return m_cancelled; }
    bool isExecuting() const;
    bool isFinished() const;
    // Waits at most the given number of real seconds for the entry to return; true when it has.
    bool waitUntilFinished(double timeoutSeconds) const;

private:
    enum class State { Created, Executing, Finished };

    std::function<void()> m_entry;
    std::shared_ptr<RunLoop> m_runLoop;
    std::atomic<bool> m_cancelled { false };
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_finished;
    State m_state { State::Created };
};

}
