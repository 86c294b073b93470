#include "platform/foundation/runtime/Lock.h"
#include "platform/foundation/runtime/Object.h"

#include "support/Waiting.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

using namespace fnd;

namespace {

// Plain increments under the lock from several threads; a lost update shows as a short total.
template <typename Locked> long hammer(Locked locked)
{
    long counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; ++i)
                locked([&] { counter = counter + 1; });
        });
    }
    for (auto& thread : threads)
        thread.join();
    return counter;
}

TEST(Lock, SpinLockExcludesAndReportsItsState)
{
    SpinLock lock;
    EXPECT_EQ(hammer([&](auto f) {
        std::lock_guard guard(lock);
        f();
    }),
        80000);
    EXPECT_TRUE(lock.try_lock());
    EXPECT_TRUE(lock.isLocked());
    EXPECT_FALSE(lock.try_lock());
    lock.unlock();
    EXPECT_FALSE(lock.isLocked());
}

TEST(Lock, SynchronizedIsRecursivePerObjectAndIndependentAcrossObjects)
{
    auto object = std::make_shared<Object>();
    EXPECT_EQ(hammer([&](auto f) {
        auto outer = synchronize(*object);
        auto inner = synchronize(*object); // the holder may take it again
        f();
    }),
        80000);

    // Another thread holds a different object: this one must still be free.
    auto other = std::make_shared<Object>();
    std::atomic<bool> held { false }, release { false };
    std::thread holder([&] {
        auto guard = synchronize(*other);
        held = true;
        while (!release)
            std::this_thread::yield();
    });
    EXPECT_TRUE(testsupport::waitUntil([&] { return held.load(); })) << "the other thread never took its lock";
    {
        auto guard = synchronize(*object);
        SUCCEED();
    }
    release = true;
    holder.join();
}

TEST(Lock, ClassLockIsTheSameLockEverywhere)
{
    // Two call sites naming the class must exclude each other.
    EXPECT_EQ(hammer([](auto f) {
        auto guard = synchronizeOnClass<Object>();
        f();
    }),
        80000);
    EXPECT_EQ(hammer([](auto f) {
        static std::atomic<int> turn { 0 };
        if (++turn % 2) {
            auto guard = synchronizeOnClass<Object>();
            f();
        } else {
            auto guard = synchronize(Object::staticClassInfo());
            f();
        }
    }),
        80000);
}

}
