#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/foundation/runtime/Operation.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace fnd {

// Runs operations when they are ready, in the order added, at most maxConcurrentOperationCount at a time, on the
// shared worker threads (the main queue: one at a time on the main run loop, in the common modes).
class OperationQueue : public Object {
    FND_OBJECT(OperationQueue)
public:
    // The platform's "as many as the system sees fit".
    static constexpr long DefaultMaxConcurrentOperationCount = -1;

    OperationQueue() = default;
    ~OperationQueue() override;

    static std::shared_ptr<OperationQueue> mainQueue();
    // The queue running the calling thread's operation; the main queue on the main thread; else null.
    static std::shared_ptr<OperationQueue> currentQueue();

    // Queuing an operation twice, or one that already ran, is an invalid argument, as on the platform.
    void addOperation(const std::shared_ptr<Operation>& operation);
    void addOperationWithBlock(std::function<void()> block);

    long maxConcurrentOperationCount() const;
    void setMaxConcurrentOperationCount(long count);

    // Operations queued or running.
    std::size_t operationCount() const;
    // Key-value observing sees the count under the key "operationCount" as the observers below do: each change in
    // order, with old and new values that follow each other.
    static void describeClass(ClassBuilder<OperationQueue>& c);
    // Called with the new count whenever it changes, on the thread that changed it or, while another thread is
    // still telling the observers of an earlier change, on that thread. Calls never overlap and come in the order
    // of the changes, every change once, and no lock is held during them, so an observer may queue work or wait for
    // another thread. An added operation starts only once the observers have heard the count that includes it (a
    // progress window listens before the work it shows begins); one that an observer adds while it hears a change
    // starts at once. An observer must therefore not wait for work another thread adds meanwhile.
    using CountObserver = std::function<void(std::size_t)>;
    std::uint64_t addOperationCountObserver(CountObserver observer);
    void removeOperationCountObserver(std::uint64_t token);

    void cancelAllOperations();
    // Blocks until the queue is empty. On the main thread, waiting for the main queue runs the main run loop.
    void waitUntilAllOperationsAreFinished();

    // Runs work as an operation on this queue and waits until it has run, or runs it at once when this is the
    // caller's current queue. Block observers of notifications deliver through it.
    std::function<void(std::function<void()>)> executor();

    const String& name() const { return m_name; }
    void setName(String name) { m_name = std::move(name); }

private:
    friend class Operation;
    bool isMainQueue() const;
    void schedule();
    void execute(const std::shared_ptr<Operation>& operation);
    void finished(const std::shared_ptr<Operation>& operation);
    // With the lock held: records the new count (with the operation whose adding changed it) and says whether the
    // calling thread is to deliver it, with deliverCounts after letting go of the lock.
    bool recordCount(const std::shared_ptr<Operation>& added);
    void deliverCounts();
    bool isAnnounced(const Operation& operation) const;

    struct CountChange {
        std::size_t count { 0 };
        std::shared_ptr<Operation> added;
    };

    mutable std::mutex m_mutex;
    std::condition_variable m_emptied;
    std::vector<std::shared_ptr<Operation>> m_operations;
    std::size_t m_running { 0 };
    long m_maxConcurrent { DefaultMaxConcurrentOperationCount };
    String m_name;

    std::map<std::uint64_t, CountObserver> m_observers;
    std::deque<CountChange> m_undeliveredCounts;
    // Added while another thread was delivering: held back from starting until their count is delivered.
    std::vector<const Operation*> m_unannounced;
    std::size_t m_reportedCount { 0 };
    bool m_delivering { false };
    std::thread::id m_deliveringThread;
    std::uint64_t m_nextToken { 0 };
};

}
