#include "platform/foundation/runtime/OperationQueue.h"

#include "platform/foundation/detail/ThreadPool.h"
#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/DispatchQueue.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/RunLoop.h"

#include <algorithm>

namespace fnd {

FND_REGISTER_CLASS(OperationQueue, Object)

namespace {

thread_local OperationQueue* t_currentOperationQueue = nullptr;

}

OperationQueue::~OperationQueue() = default;

void OperationQueue::describeClass(ClassBuilder<OperationQueue>& c)
{
    c.property("operationCount", [](const OperationQueue& queue) {
        std::lock_guard lock(queue.m_mutex);
        return queue.m_reportedCount;
    });
}

std::shared_ptr<OperationQueue> OperationQueue::mainQueue()
{
    static auto* queue = [] {
        auto made = std::make_shared<OperationQueue>();
        made->m_maxConcurrent = 1;
        made->m_name = "NSOperationQueue Main Queue";
        return new std::shared_ptr<OperationQueue>(std::move(made));
    }();
    return *queue;
}

std::shared_ptr<OperationQueue> OperationQueue::currentQueue()
{
    if (t_currentOperationQueue)
        return std::static_pointer_cast<OperationQueue>(t_currentOperationQueue->shared_from_this());
    return RunLoop::isMainThread() ? mainQueue() : nullptr;
}

bool OperationQueue::isMainQueue() const
{
    return this == mainQueue().get();
}

void OperationQueue::addOperation(const std::shared_ptr<Operation>& operation)
{
    auto self = std::static_pointer_cast<OperationQueue>(shared_from_this());
    if (!operation || !operation->enqueue(self))
        throw Exception::invalidArgument("An operation can be queued once, and only before it has run.");
    bool deliver = false;
    {
        std::lock_guard lock(m_mutex);
        m_operations.push_back(operation);
        deliver = recordCount(operation);
    }
    std::weak_ptr<OperationQueue> weakSelf = self;
    for (auto& dependency : operation->dependencies()) {
        dependency->whenFinished([weakSelf] {
            if (auto queue = weakSelf.lock())
                queue->schedule();
        });
    }
    if (deliver)
        deliverCounts();
    schedule();
}

void OperationQueue::addOperationWithBlock(std::function<void()> block)
{
    addOperation(BlockOperation::create(std::move(block)));
}

std::function<void(std::function<void()>)> OperationQueue::executor()
{
    return [queue = std::static_pointer_cast<OperationQueue>(shared_from_this())](std::function<void()> work) {
        if (currentQueue() == queue) {
            work();
            return;
        }
        auto operation = BlockOperation::create(std::move(work));
        queue->addOperation(operation);
        operation->waitUntilFinished();
    };
}

long OperationQueue::maxConcurrentOperationCount() const
{
    std::lock_guard lock(m_mutex);
    return m_maxConcurrent;
}

void OperationQueue::setMaxConcurrentOperationCount(long count)
{
    if (isMainQueue())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_maxConcurrent = count < 0 ? DefaultMaxConcurrentOperationCount : count;
    }
    schedule();
}

std::size_t OperationQueue::operationCount() const
{
    std::lock_guard lock(m_mutex);
    return m_operations.size();
}

std::uint64_t OperationQueue::addOperationCountObserver(CountObserver observer)
{
    std::lock_guard lock(m_mutex);
    m_observers.emplace(++m_nextToken, std::move(observer));
    return m_nextToken;
}

void OperationQueue::removeOperationCountObserver(std::uint64_t token)
{
    std::lock_guard lock(m_mutex);
    m_observers.erase(token);
}

void OperationQueue::cancelAllOperations()
{
    std::vector<std::shared_ptr<Operation>> operations;
    {
        std::lock_guard lock(m_mutex);
        operations = m_operations;
    }
    for (auto& operation : operations)
        operation->cancel();
    schedule();
}

void OperationQueue::waitUntilAllOperationsAreFinished()
{
    if (isMainQueue() && RunLoop::isMainThread()) {
        // The main queue's operations run on this very thread: run its loop instead of blocking it.
        while (operationCount() > 0)
            RunLoop::main().runMode(RunLoopMode::Default, Clock::current()->now().addingTimeInterval(0.05));
        return;
    }
    detail::ThreadPool::BlockingScope blocking;
    std::unique_lock lock(m_mutex);
    m_emptied.wait(lock, [&] { return m_operations.empty(); });
}

void OperationQueue::schedule()
{
    std::vector<std::shared_ptr<Operation>> toStart;
    {
        std::lock_guard lock(m_mutex);
        auto limit
            = m_maxConcurrent < 0 ? detail::ThreadPool::shared().width() : static_cast<std::size_t>(m_maxConcurrent);
        for (auto& operation : m_operations) {
            if (m_running >= limit)
                break;
            if (isAnnounced(*operation) && operation->isReady() && operation->claim()) {
                ++m_running;
                toStart.push_back(operation);
            }
        }
    }
    for (auto& operation : toStart)
        execute(operation);
}

void OperationQueue::execute(const std::shared_ptr<Operation>& operation)
{
    auto self = std::static_pointer_cast<OperationQueue>(shared_from_this());
    auto run = [self, operation] {
        auto previous = t_currentOperationQueue;
        t_currentOperationQueue = self.get();
        operation->start();
        t_currentOperationQueue = previous;
        self->finished(operation);
    };
    if (isMainQueue())
        DispatchQueue::main().async(std::move(run));
    else
        detail::ThreadPool::shared().submit(std::move(run));
}

void OperationQueue::finished(const std::shared_ptr<Operation>& operation)
{
    bool deliver = false;
    {
        std::lock_guard lock(m_mutex);
        std::erase(m_operations, operation);
        --m_running;
        if (m_operations.empty())
            m_emptied.notify_all();
        // In the same hold of the lock as the change, so no other change comes between them.
        deliver = recordCount(nullptr);
    }
    if (deliver)
        deliverCounts();
    schedule();
}

bool OperationQueue::recordCount(const std::shared_ptr<Operation>& added)
{
    m_undeliveredCounts.push_back({ m_operations.size(), added });
    if (!m_delivering) {
        m_delivering = true;
        m_deliveringThread = std::this_thread::get_id();
        return true;
    }
    // Another thread delivers earlier changes and then this one; what was added waits for it. An observer that adds
    // work while it hears a change is that thread: its work starts at once, or it would wait for itself.
    if (added && m_deliveringThread != std::this_thread::get_id())
        m_unannounced.push_back(added.get());
    return false;
}

bool OperationQueue::isAnnounced(const Operation& operation) const
{
    return std::find(m_unannounced.begin(), m_unannounced.end(), &operation) == m_unannounced.end();
}

void OperationQueue::deliverCounts()
{
    for (;;) {
        CountChange change;
        std::vector<CountObserver> observers;
        {
            std::lock_guard lock(m_mutex);
            if (m_undeliveredCounts.empty()) {
                m_delivering = false;
                m_deliveringThread = {};
                return;
            }
            change = std::move(m_undeliveredCounts.front());
            m_undeliveredCounts.pop_front();
            for (auto& [token, observer] : m_observers)
                observers.push_back(observer);
        }
        willChangeValueForKey("operationCount");
        {
            std::lock_guard lock(m_mutex);
            m_reportedCount = change.count;
        }
        didChangeValueForKey("operationCount");
        for (auto& observer : observers) {
            // One failing observer must not leave the others, or later counts, undelivered.
            try {
                observer(change.count);
            } catch (const std::exception& e) {
                logf(LogLevel::Error, "Exception in an operation-count observer: {}", e.what());
            }
        }
        if (!change.added)
            continue;
        bool heldBack = false;
        {
            std::lock_guard lock(m_mutex);
            heldBack = std::erase(m_unannounced, change.added.get()) > 0;
        }
        if (heldBack)
            schedule();
    }
}

}
