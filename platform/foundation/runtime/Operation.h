#pragma once

#include "platform/foundation/runtime/Object.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace fnd {

class OperationQueue;

// A unit of work for an operation queue. It is ready when it is cancelled or all its dependencies have finished;
// starting a cancelled operation finishes it without running main().
class Operation : public Object {
    FND_OBJECT(Operation)
public:
    Operation() = default;

    // Runs main() (unless cancelled) and finishes. Queues call it; calling it twice does nothing the second time.
    void start();
    // The work; subclasses override it and may poll isCancelled() to stop early.
    virtual void main() { }

    void cancel();
    bool isCancelled() const { return m_cancelled; }
    bool isExecuting() const;
    bool isFinished() const;
    bool isReady() const;

    // Dependencies must be added before the operation is queued. Cycles leave their members waiting forever.
    void addDependency(const std::shared_ptr<Operation>& operation);
    void removeDependency(const std::shared_ptr<Operation>& operation);
    std::vector<std::shared_ptr<Operation>> dependencies() const;

    // Runs after the operation finished, on the thread that ran it.
    void setCompletionBlock(std::function<void()> block);
    // Blocks until the operation has finished.
    void waitUntilFinished();

private:
    friend class OperationQueue;
    enum class State { Pending, Executing, Finished };

    // Records the queue that holds the operation; false when it is queued already or has run.
    bool enqueue(const std::shared_ptr<OperationQueue>& queue);
    // Calls the function when the operation finishes (at once when it has). Queues use it for dependencies.
    void whenFinished(std::function<void()> function);
    // Marks the operation as taken by a queue; false when someone already started it.
    bool claim();

    mutable std::mutex m_mutex;
    std::condition_variable m_finishedCondition;
    State m_state { State::Pending };
    bool m_claimed { false };
    bool m_enqueued { false };
    std::weak_ptr<OperationQueue> m_queue;
    std::atomic<bool> m_cancelled { false };
    std::vector<std::shared_ptr<Operation>> m_dependencies;
    std::vector<std::function<void()>> m_finishHandlers;
    std::function<void()> m_completionBlock;
};

// An operation that runs one or more blocks, in the order added.
class BlockOperation : public Operation {
    FND_OBJECT(BlockOperation)
public:
    BlockOperation() = default;
    static std::shared_ptr<BlockOperation> create(std::function<void()> block);
    void addExecutionBlock(std::function<void()> block);
    void main() override;

private:
    std::mutex m_blocksMutex;
    std::vector<std::function<void()>> m_blocks;
};

}
