#include "platform/foundation/runtime/Operation.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/OperationQueue.h"
#include "platform/foundation/detail/ThreadPool.h"

#include <algorithm>

namespace fnd {

FND_REGISTER_CLASS(Operation, Object)
FND_REGISTER_CLASS(BlockOperation, Operation)

bool Operation::claim()
{
    std::lock_guard lock(m_mutex);
    if (m_claimed)
        return false;
    m_claimed = true;
    return true;
}

void Operation::start()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_state != State::Pending)
            return;
        m_claimed = true;
        m_state = State::Executing;
    }
    auto self = weak_from_this().lock();
    if (!m_cancelled) {
        // An operation that throws still finishes, or its queue would wait for it forever.
        try {
            main();
        } catch (const Exception& e) {
            logf(LogLevel::Error, "Exception in an operation: {}: {}", e.name().utf8(), e.reason().utf8());
        } catch (const std::exception& e) {
            logf(LogLevel::Error, "Exception in an operation: {}", e.what());
        }
    }

    std::vector<std::function<void()>> handlers;
    std::function<void()> completion;
    {
        std::lock_guard lock(m_mutex);
        m_state = State::Finished;
        handlers.swap(m_finishHandlers);
        completion = std::move(m_completionBlock);
        m_completionBlock = nullptr;
    }
    m_finishedCondition.notify_all();
    if (completion)
        completion();
    for (auto& handler : handlers)
        handler();
}

void Operation::cancel()
{
    m_cancelled = true;
    // A cancelled operation is ready at once, whatever it waits for: its queue should let it finish.
    std::shared_ptr<OperationQueue> queue;
    {
        std::lock_guard lock(m_mutex);
        queue = m_queue.lock();
    }
    if (queue)
        queue->schedule();
}

bool Operation::enqueue(const std::shared_ptr<OperationQueue>& queue)
{
    std::lock_guard lock(m_mutex);
    if (m_enqueued || m_state != State::Pending)
        return false;
    m_enqueued = true;
    m_queue = queue;
    return true;
}

bool Operation::isExecuting() const
{
    std::lock_guard lock(m_mutex);
    return m_state == State::Executing;
}

bool Operation::isFinished() const
{
    std::lock_guard lock(m_mutex);
    return m_state == State::Finished;
}

bool Operation::isReady() const
{
    if (m_cancelled)
        return true;
    std::lock_guard lock(m_mutex);
    return std::all_of(m_dependencies.begin(), m_dependencies.end(), [](auto& d) { return d->isFinished(); });
}

void Operation::addDependency(const std::shared_ptr<Operation>& operation)
{
    if (!operation || operation.get() == this)
        throw Exception::invalidArgument("An operation cannot depend on nothing or on itself.");
    std::lock_guard lock(m_mutex);
    if (std::find(m_dependencies.begin(), m_dependencies.end(), operation) == m_dependencies.end())
        m_dependencies.push_back(operation);
}

void Operation::removeDependency(const std::shared_ptr<Operation>& operation)
{
    std::lock_guard lock(m_mutex);
    std::erase(m_dependencies, operation);
}

std::vector<std::shared_ptr<Operation>> Operation::dependencies() const
{
    std::lock_guard lock(m_mutex);
    return m_dependencies;
}

void Operation::setCompletionBlock(std::function<void()> block)
{
    std::lock_guard lock(m_mutex);
    m_completionBlock = std::move(block);
}

void Operation::waitUntilFinished()
{
    detail::ThreadPool::BlockingScope blocking;
    std::unique_lock lock(m_mutex);
    m_finishedCondition.wait(lock, [&] { return m_state == State::Finished; });
}

void Operation::whenFinished(std::function<void()> function)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_state != State::Finished) {
            m_finishHandlers.push_back(std::move(function));
            return;
        }
    }
    function();
}

std::shared_ptr<BlockOperation> BlockOperation::create(std::function<void()> block)
{
    auto operation = std::make_shared<BlockOperation>();
    operation->addExecutionBlock(std::move(block));
    return operation;
}

void BlockOperation::addExecutionBlock(std::function<void()> block)
{
    std::lock_guard lock(m_blocksMutex);
    m_blocks.push_back(std::move(block));
}

void BlockOperation::main()
{
    std::vector<std::function<void()>> blocks;
    {
        std::lock_guard lock(m_blocksMutex);
        blocks = m_blocks;
    }
    for (auto& block : blocks) {
        if (block)
            block();
    }
}

}
