#pragma once

#include <cstddef>
#include <list>
#include <mutex>
#include <optional>
#include <unordered_map>

namespace fnd {

// A thread-safe store of values that can be made again: it may drop entries by itself, least recently used
// first, once it holds more than countLimit entries or more than totalCostLimit in cost (0 means no limit). Reading
// an entry counts as using it. Safe to use from any thread.
template <typename Key, typename Value, typename Hash = std::hash<Key>> class Cache {
public:
    std::optional<Value> objectForKey(const Key& key)
    {
        std::lock_guard lock(m_mutex);
        auto found = m_index.find(key);
        if (found == m_index.end())
            return std::nullopt;
        m_entries.splice(m_entries.begin(), m_entries, found->second);
        return found->second->value;
    }
    void setObject(const Key& key, Value value, std::size_t cost = 0)
    {
        std::lock_guard lock(m_mutex);
        if (auto found = m_index.find(key); found != m_index.end()) {
            m_totalCost -= found->second->cost;
            m_entries.erase(found->second);
            m_index.erase(found);
        }
        m_entries.push_front({ key, std::move(value), cost });
        m_index.emplace(key, m_entries.begin());
        m_totalCost += cost;
        evict();
    }
    void removeObjectForKey(const Key& key)
    {
        std::lock_guard lock(m_mutex);
        if (auto found = m_index.find(key); found != m_index.end()) {
            m_totalCost -= found->second->cost;
            m_entries.erase(found->second);
            m_index.erase(found);
        }
    }
    void removeAllObjects()
    {
        std::lock_guard lock(m_mutex);
        m_entries.clear();
        m_index.clear();
        m_totalCost = 0;
    }

    std::size_t countLimit() const { return std::lock_guard(m_mutex), m_countLimit; }
    void setCountLimit(std::size_t limit)
    {
        std::lock_guard lock(m_mutex);
        m_countLimit = limit;
        evict();
    }
    std::size_t totalCostLimit() const { return std::lock_guard(m_mutex), m_totalCostLimit; }
    void setTotalCostLimit(std::size_t limit)
    {
        std::lock_guard lock(m_mutex);
        m_totalCostLimit = limit;
        evict();
    }
    std::size_t count() const { return std::lock_guard(m_mutex), m_entries.size(); }
    std::size_t totalCost() const { return std::lock_guard(m_mutex), m_totalCost; }

private:
    struct Entry {
        Key key;
        Value value;
        std::size_t cost;
    };

    void evict()
    {
        while (!m_entries.empty()
            && ((m_countLimit && m_entries.size() > m_countLimit) || (m_totalCostLimit && m_totalCost > m_totalCostLimit))) {
            auto& last = m_entries.back();
            m_totalCost -= last.cost;
            m_index.erase(last.key);
            m_entries.pop_back();
        }
    }

    mutable std::mutex m_mutex;
    std::list<Entry> m_entries; // most recently used first
    std::unordered_map<Key, typename std::list<Entry>::iterator, Hash> m_index;
    std::size_t m_countLimit { 0 };
    std::size_t m_totalCostLimit { 0 };
    std::size_t m_totalCost { 0 };
};

}
