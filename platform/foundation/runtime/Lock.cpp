#include "platform/foundation/runtime/Lock.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <unordered_map>

namespace fnd {

void SpinLock::lock() noexcept
{
    for (int spins = 0; m_flag.test_and_set(std::memory_order_acquire); ++spins) {
        // Spin briefly, then let the holder run; wait() sleeps until the flag changes.
        if (spins < 64)
            continue;
        m_flag.wait(true, std::memory_order_relaxed);
    }
}

namespace {

// One recursive lock per object address, made on first use and dropped when nobody holds or waits for it, so the
// table stays as small as the set of objects locked right now.
class SyncTable {
public:
    static SyncTable& shared()
    {
        static auto* table = new SyncTable;
        return *table;
    }

    void enter(const void* object)
    {
        std::unique_lock lock(m_mutex);
        auto& entry = m_entries[object];
        ++entry.users;
        auto self = std::this_thread::get_id();
        m_released.wait(lock, [&] { return entry.depth == 0 || entry.owner == self; });
        entry.owner = self;
        ++entry.depth;
    }

    void exit(const void* object)
    {
        std::lock_guard lock(m_mutex);
        auto it = m_entries.find(object);
        if (it == m_entries.end())
            return;
        auto& entry = it->second;
        --entry.users;
        if (--entry.depth == 0) {
            entry.owner = {};
            m_released.notify_all();
        }
        if (entry.users == 0)
            m_entries.erase(it);
    }

private:
    struct Entry {
        std::thread::id owner;
        unsigned depth { 0 };
        unsigned users { 0 };
    };
    std::mutex m_mutex;
    std::condition_variable m_released;
    std::unordered_map<const void*, Entry> m_entries;
};

}

SynchronizedGuard::SynchronizedGuard(const void* object)
    : m_object(object)
{
    SyncTable::shared().enter(m_object);
}

SynchronizedGuard::~SynchronizedGuard()
{
    SyncTable::shared().exit(m_object);
}

}
