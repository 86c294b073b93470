#include "platform/foundation/detail/ThreadPool.h"
#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/DispatchQueue.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/KeyValueObserving.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/foundation/runtime/OperationQueue.h"
#include "platform/foundation/runtime/RunLoop.h"

#include "support/Waiting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <numeric>
#include <thread>
#include <utility>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

using namespace fnd;

namespace {

// A one-way gate with a bounded wait, so a fault fails the test instead of hanging it.
class Gate {
public:
    void open()
    {
        std::lock_guard lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }
    bool wait(double seconds = testsupport::WaitSeconds)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::duration<double>(seconds), [&] { return m_open; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_open { false };
};

// Counts arrivals and lets everyone through once `needed` have arrived; false when that never happened in time.
class Rendezvous {
public:
    explicit Rendezvous(int needed)
        : m_needed(needed)
    {
    }
    bool arriveAndWait()
    {
        // A worker that waits for its peers tells the pool, as the library's own waits do: the pool is only as wide
        // as the cores the process may use, and on two of them the third peer would never start.
        detail::ThreadPool::BlockingScope blocking;
        std::unique_lock lock(m_mutex);
        if (++m_arrived >= m_needed)
            m_changed.notify_all();
        return m_changed.wait_for(
            lock, std::chrono::duration<double>(testsupport::WaitSeconds), [&] { return m_arrived >= m_needed; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_needed;
    int m_arrived { 0 };
};

TEST(DispatchQueue, SerialQueueRunsItemsOneAtATimeInOrder)
{
    auto queue = DispatchQueue::createSerial("serial");
    std::vector<int> seen;
    std::atomic<int> inside { 0 };
    bool overlapped = false;
    for (int i = 0; i < 200; ++i) {
        queue->async([&, i] {
            overlapped |= ++inside > 1;
            seen.push_back(i);
            --inside;
        });
    }
    queue->sync([] {});
    std::vector<int> expected(200);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(seen, expected);
    EXPECT_FALSE(overlapped);
}

TEST(DispatchQueue, SyncPassesOnFailuresAndRefusesToWaitForItself)
{
    auto queue = DispatchQueue::createSerial("self");
    EXPECT_THROW(queue->sync([] { throw Exception::invalidArgument("inner"); }), Exception);

    bool refused = false;
    queue->sync([&] {
        EXPECT_EQ(DispatchQueue::current(), queue.get());
        try {
            queue->sync([] {});
        } catch (const Exception& e) {
            refused = e.name() == ExceptionName::InternalInconsistency;
        }
    });
    EXPECT_TRUE(refused);
    EXPECT_THROW(DispatchQueue::main().sync([] {}), Exception) << "the main thread waiting for the main queue";
}

TEST(DispatchQueue, ConcurrentQueueRunsItemsSideBySide)
{
    auto queue = DispatchQueue::createConcurrent("concurrent");
    Rendezvous both(2);
    std::atomic<int> met { 0 };
    Gate done;
    std::atomic<int> finished { 0 };
    for (int i = 0; i < 2; ++i) {
        queue->async([&] {
            met += both.arriveAndWait();
            if (++finished == 2)
                done.open();
        });
    }
    ASSERT_TRUE(done.wait());
    EXPECT_EQ(met, 2) << "two items never ran at the same time";
}

// On a core they share, the main thread's frames come before queued work: the workers run ten steps nicer.
TEST(DispatchQueue, WorkersRunBelowTheMainThreadsPriority)
{
    errno = 0;
    const int mainThread = getpriority(PRIO_PROCESS, id_t(getpid()));
    ASSERT_EQ(errno, 0);
    std::atomic<int> worker { -100 };
    Gate done;
    DispatchQueue::global().async([&] {
        worker = getpriority(PRIO_PROCESS, id_t(gettid()));
        done.open();
    });
    ASSERT_TRUE(done.wait());
    EXPECT_EQ(worker, std::min(19, mainThread + 10));
}

TEST(DispatchQueue, SerialQueuesWaitingOnEachOtherFromWorkersDoNotStarveThePool)
{
    // More chained sync calls than the pool is wide: each waiting worker must make room for another.
    std::vector<std::shared_ptr<DispatchQueue>> queues;
    for (int i = 0; i < 40; ++i)
        queues.push_back(DispatchQueue::createSerial("chain"));
    std::function<void(std::size_t)> descend = [&](std::size_t i) {
        if (i + 1 < queues.size())
            queues[i + 1]->sync([&, i] { descend(i + 1); });
    };
    Gate done;
    queues[0]->async([&] {
        descend(0);
        done.open();
    });
    EXPECT_TRUE(done.wait());
}

TEST(DispatchQueue, MainQueueRunsOnTheMainLoopInEveryCommonMode)
{
    std::vector<String> modes;
    bool onMainQueue = false;
    auto worker = std::thread([&] {
        DispatchQueue::main().async([&] {
            modes.push_back(*RunLoop::main().currentMode());
            onMainQueue = DispatchQueue::current() == &DispatchQueue::main();
        });
        DispatchQueue::main().async([&] { modes.push_back(*RunLoop::main().currentMode()); });
    });
    worker.join();
    RunLoop::main().runInMode(RunLoopMode::EventTracking, Date::distantPast(), false);
    EXPECT_EQ(modes, (std::vector<String> { RunLoopMode::EventTracking, RunLoopMode::EventTracking }));
    EXPECT_TRUE(onMainQueue);
}

TEST(DispatchQueue, SyncToTheMainQueueFromAWorkerWaitsForTheMainLoop)
{
    std::atomic<bool> returned { false };
    bool ranOnMain = false;
    auto worker = std::thread([&] {
        DispatchQueue::main().sync([&] { ranOnMain = RunLoop::isMainThread(); });
        returned = true;
    });
    EXPECT_TRUE(testsupport::runLoopUntil([&] { return returned.load(); }));
    worker.join();
    EXPECT_TRUE(ranOnMain);
}

TEST(DispatchQueue, AfterWaitsForTheClock)
{
    auto clock = std::make_shared<VirtualClock>();
    ScopedClock scoped(clock);
    auto queue = DispatchQueue::createSerial("later");
    std::vector<std::string> ran;
    queue->after(2, [&] { ran.push_back("queue@2"); });
    queue->after(1, [&] { ran.push_back("queue@1"); });
    DispatchQueue::main().after(1.5, [&] { ran.push_back("main@1.5"); });

    clock->advance(0.9);
    queue->sync([] {});
    EXPECT_TRUE(ran.empty());
    clock->advance(0.1);
    queue->sync([] {});
    EXPECT_EQ(ran, (std::vector<std::string> { "queue@1" }));
    // The main loop skips ahead on virtual time, to 1.5 where its work is due, and no further.
    RunLoop::main().runUntilDate(Date::fromReferenceDate(1.5));
    clock->advance(0.5);
    queue->sync([] {});
    EXPECT_EQ(ran, (std::vector<std::string> { "queue@1", "main@1.5", "queue@2" }));
}

TEST(OperationQueue, MaxConcurrencyBoundsHowManyRunAtOnce)
{
    for (long limit : { 1L, 3L }) {
        auto queue = std::make_shared<OperationQueue>();
        queue->setMaxConcurrentOperationCount(limit);
        std::atomic<int> running { 0 }, peak { 0 };
        Rendezvous firstBatch(static_cast<int>(limit));
        std::vector<int> order;
        std::mutex orderMutex;
        for (int i = 0; i < 8; ++i) {
            queue->addOperationWithBlock([&, i] {
                int now = ++running;
                for (int seen = peak; now > seen && !peak.compare_exchange_weak(seen, now);) { }
                if (i < limit)
                    firstBatch.arriveAndWait(); // proves `limit` can run together
                {
                    std::lock_guard lock(orderMutex);
                    order.push_back(i);
                }
                --running;
            });
        }
        queue->waitUntilAllOperationsAreFinished();
        EXPECT_EQ(peak, limit);
        EXPECT_EQ(order.size(), 8u);
        if (limit == 1) {
            EXPECT_EQ(order, (std::vector<int> { 0, 1, 2, 3, 4, 5, 6, 7 }));
        }
        EXPECT_EQ(queue->operationCount(), 0u);
    }
}

TEST(OperationQueue, CancelledOperationsFinishWithoutRunningAndTheCountFollows)
{
    auto queue = std::make_shared<OperationQueue>();
    queue->setMaxConcurrentOperationCount(1);
    std::vector<std::size_t> counts;
    std::mutex countsMutex;
    Gate emptied;
    queue->addOperationCountObserver([&](std::size_t count) {
        std::lock_guard lock(countsMutex);
        counts.push_back(count);
        if (counts.size() == 10)
            emptied.open();
    });
    Gate started, release;
    std::atomic<int> ran { 0 };
    auto blocker = BlockOperation::create([&] {
        started.open();
        release.wait();
        ++ran;
    });
    queue->addOperation(blocker);
    ASSERT_TRUE(started.wait());
    for (int i = 0; i < 4; ++i)
        queue->addOperationWithBlock([&] { ++ran; });
    EXPECT_EQ(queue->operationCount(), 5u);

    queue->cancelAllOperations();
    release.open();
    queue->waitUntilAllOperationsAreFinished();
    EXPECT_EQ(ran, 1) << "only the operation already running does its work";
    EXPECT_TRUE(blocker->isCancelled());
    EXPECT_TRUE(blocker->isFinished());
    // The waiter is released when the queue empties; observers hear of it on the worker, perhaps a little later.
    ASSERT_TRUE(emptied.wait());
    std::lock_guard lock(countsMutex);
    EXPECT_EQ(counts, (std::vector<std::size_t> { 1, 2, 3, 4, 5, 4, 3, 2, 1, 0 }));
}

class CountWatcher : public Object {
public:
    void observeValueForKeyPath(const String& keyPath, Object&, const KeyValueChange& change, const void*) override
    {
        std::lock_guard lock(mutex);
        changes.emplace_back(change.oldValue.integerValue(), change.newValue.integerValue());
        if (keyPath == "operationCount" && change.newValue.integerValue() == 0)
            emptied.open();
    }
    std::mutex mutex;
    std::vector<std::pair<long, long>> changes;
    Gate emptied;
};

TEST(OperationQueue, OperationCountIsObservableByKey)
{
    auto queue = std::make_shared<OperationQueue>();
    queue->setMaxConcurrentOperationCount(1);
    auto watcher = std::make_shared<CountWatcher>();
    queue->addObserver(*watcher, "operationCount", KeyValueObservingOptions::New | KeyValueObservingOptions::Old);
    Gate release;
    queue->addOperationWithBlock([&] { release.wait(); });
    queue->addOperationWithBlock([] {});
    release.open();
    ASSERT_TRUE(watcher->emptied.wait());
    queue->removeObserver(*watcher, "operationCount");
    std::lock_guard lock(watcher->mutex);
    EXPECT_EQ(watcher->changes, (std::vector<std::pair<long, long>> { { 0, 1 }, { 1, 2 }, { 2, 1 }, { 1, 0 } }));
}

TEST(OperationQueue, DependenciesAcrossQueuesHoldAnOperationBack)
{
    auto first = std::make_shared<OperationQueue>();
    auto second = std::make_shared<OperationQueue>();
    std::vector<std::string> order;
    std::mutex orderMutex;
    auto record = [&](std::string what) {
        std::lock_guard lock(orderMutex);
        order.push_back(std::move(what));
    };
    Gate release;
    auto a = BlockOperation::create([&] {
        release.wait();
        record("a");
    });
    auto b = BlockOperation::create([&] { record("b"); });
    b->addDependency(a);
    EXPECT_FALSE(b->isReady());
    second->addOperation(b);
    first->addOperation(a);
    release.open();
    second->waitUntilAllOperationsAreFinished();
    EXPECT_EQ(order, (std::vector<std::string> { "a", "b" }));

    // A cancelled operation does not wait for its dependencies.
    Gate never;
    auto blocked = BlockOperation::create([&] { never.wait(0.001); });
    auto dependent = BlockOperation::create([&] { record("dependent"); });
    dependent->addDependency(blocked);
    second->addOperation(dependent);
    dependent->cancel();
    second->waitUntilAllOperationsAreFinished();
    EXPECT_TRUE(dependent->isFinished());
    EXPECT_EQ(order.size(), 2u);
}

TEST(OperationQueue, FailingOperationsStillFinishAndMisuseIsRefused)
{
    auto queue = std::make_shared<OperationQueue>();
    auto failing = BlockOperation::create([] { throw Exception::invalidArgument("boom"); });
    bool completed = false;
    failing->setCompletionBlock([&] { completed = true; });
    queue->addOperation(failing);
    EXPECT_THROW(queue->addOperation(failing), Exception);
    failing->waitUntilFinished();
    queue->waitUntilAllOperationsAreFinished();
    EXPECT_TRUE(completed);
    EXPECT_THROW(std::make_shared<OperationQueue>()->addOperation(failing), Exception);
}

TEST(OperationQueue, MainQueueRunsOnTheMainThreadAndEachQueueKnowsItIsCurrent)
{
    auto main = OperationQueue::mainQueue();
    EXPECT_EQ(OperationQueue::currentQueue(), main);
    auto worker = std::make_shared<OperationQueue>();
    std::shared_ptr<OperationQueue> seenOnWorker, seenOnMain;
    bool onMainThread = false;
    worker->addOperationWithBlock([&] {
        seenOnWorker = OperationQueue::currentQueue();
        main->addOperationWithBlock([&] {
            seenOnMain = OperationQueue::currentQueue();
            onMainThread = RunLoop::isMainThread();
        });
    });
    worker->waitUntilAllOperationsAreFinished();
    main->waitUntilAllOperationsAreFinished();
    EXPECT_EQ(seenOnWorker, worker);
    EXPECT_EQ(seenOnMain, main);
    EXPECT_TRUE(onMainThread);
}

TEST(OperationQueue, CountObserverMayWaitForTheMainThreadWhileItAddsWork)
{
    // The count changes on a worker whose observer hands over to the main thread and waits, while the main
    // thread itself changes the count: no lock may be held across the observer.
    auto queue = std::make_shared<OperationQueue>();
    std::vector<std::size_t> seen;
    std::atomic<int> delivered { 0 };
    queue->addOperationCountObserver([&](std::size_t count) {
        if (RunLoop::isMainThread())
            seen.push_back(count);
        else
            DispatchQueue::main().sync([&] { seen.push_back(count); });
        ++delivered;
    });
    queue->addOperationWithBlock([] {});
    EXPECT_TRUE(testsupport::runLoopUntil([&] { return delivered == 2; }));
    queue->addOperationWithBlock([] {});
    EXPECT_TRUE(testsupport::runLoopUntil([&] { return delivered == 4; }));
    EXPECT_EQ(seen, (std::vector<std::size_t> { 1, 0, 1, 0 }));
}

// While a worker still tells the count observers of an earlier change, the main thread adds work: its count is
// handed to the worker, and the work must wait until the observers have heard it. It once started at once, so a
// progress window that starts listening when the count rises could miss the first thing the work told it.
TEST(OperationQueue, WorkStartsOnlyOnceTheCountObserversHaveHeardOfIt)
{
    auto main = OperationQueue::mainQueue();
    ASSERT_EQ(main->operationCount(), 0u);
    std::mutex heardMutex;
    std::vector<std::size_t> heard;
    Gate delivering, release;
    bool blocked = false;
    auto token = main->addOperationCountObserver([&](std::size_t count) {
        {
            std::lock_guard lock(heardMutex);
            heard.push_back(count);
        }
        if (!RunLoop::isMainThread() && !std::exchange(blocked, true)) {
            delivering.open();
            release.wait();
        }
    });
    // The worker's operation waits for one that never runs, so only the count it adds is in play.
    auto waiting = BlockOperation::create([] {});
    waiting->addDependency(BlockOperation::create([] {}));
    std::thread worker([&] { main->addOperation(waiting); });
    ASSERT_TRUE(delivering.wait());

    bool ran = false;
    std::vector<std::size_t> heardWhenItRan;
    main->addOperationWithBlock([&] {
        std::lock_guard lock(heardMutex);
        heardWhenItRan = heard;
        ran = true;
    });
    // The main queue's work runs in the order it is handed to the main loop: work handed over already would run
    // before this.
    bool passed = false;
    DispatchQueue::main().async([&] { passed = true; });
    EXPECT_TRUE(testsupport::runLoopUntil([&] { return passed; }));
    EXPECT_FALSE(ran) << "the work started before the observers heard of it";

    release.open();
    worker.join();
    EXPECT_TRUE(testsupport::runLoopUntil([&] { return ran; }));
    EXPECT_EQ(heardWhenItRan, (std::vector<std::size_t> { 1, 2 }));
    waiting->cancel();
    main->waitUntilAllOperationsAreFinished();
    main->removeOperationCountObserver(token);
    std::lock_guard lock(heardMutex);
    EXPECT_EQ(heard, (std::vector<std::size_t> { 1, 2, 1, 0 }));
}

TEST(OperationQueue, NotificationsObservedOnTheMainQueueArriveOnTheMainThread)
{
    NotificationCenter center;
    std::vector<std::pair<std::string, bool>> seen;
    auto token
        = center.addObserverForName("Progress", Value(), OperationQueue::mainQueue(), [&](const Notification& n) {
              seen.emplace_back(n.userInfo().get("step").description().utf8(), RunLoop::isMainThread());
          });

    // From the main thread: delivered before the post returns.
    center.postNotificationName("Progress", Value(), Dictionary { { "step", 1 } });
    EXPECT_EQ(seen.size(), 1u);

    // From a worker: the poster waits until the main loop has run the block.
    auto worker = std::make_shared<OperationQueue>();
    std::atomic<bool> posted { false };
    std::size_t seenWhenPostReturned = 0;
    worker->addOperationWithBlock([&] {
        center.postNotificationName("Progress", Value(), Dictionary { { "step", 2 } });
        seenWhenPostReturned = seen.size();
        posted = true;
    });
    EXPECT_TRUE(testsupport::runLoopUntil([&] { return posted.load(); }));
    worker->waitUntilAllOperationsAreFinished();
    EXPECT_EQ(seenWhenPostReturned, 2u);
    EXPECT_EQ(seen, (std::vector<std::pair<std::string, bool>> { { "1", true }, { "2", true } }));
    center.removeObserver(token);
}

}
