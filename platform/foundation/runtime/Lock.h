#pragma once

#include <atomic>
#include <memory>

namespace fnd {

struct ClassInfo;
class Object;

// A short-held process-wide lock that never sleeps in the kernel while it is free soon (the regex cache's lock).
// Meets BasicLockable and Lockable, so std::lock_guard and std::unique_lock work with it.
class SpinLock {
public:
    void lock() noexcept;
    bool try_lock() noexcept { return !m_flag.test_and_set(std::memory_order_acquire); }
    void unlock() noexcept
    {
        m_flag.clear(std::memory_order_release);
        m_flag.notify_one();
    }
    bool isLocked() const noexcept { return m_flag.test(std::memory_order_relaxed); }

private:
    std::atomic_flag m_flag;
};

// Mutual exclusion on an object, as the platform's synchronized blocks give it: recursive (the holding thread may
// take it again), one lock per distinct address, released when the guard ends.
class SynchronizedGuard {
public:
    explicit SynchronizedGuard(const void* object);
    ~SynchronizedGuard();
    SynchronizedGuard(const SynchronizedGuard&) = delete;
    SynchronizedGuard& operator=(const SynchronizedGuard&) = delete;

private:
    const void* m_object;
};

inline SynchronizedGuard synchronize(const Object& object)
{
    return SynchronizedGuard(&object);
}
// The lock on a class object: singletons are made under it.
inline SynchronizedGuard synchronize(const ClassInfo& classInfo)
{
    return SynchronizedGuard(&classInfo);
}
template <typename T> SynchronizedGuard synchronizeOnClass()
{
    return SynchronizedGuard(&T::staticClassInfo());
}

}
