#pragma once

// Private to the text module: which keys were met recently, so caches keep only what comes back.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace txt::detail {

// Remembers the hashes of recent keys in a direct-mapped table: a key is let in the second time it is met (unless
// another key took its place meanwhile). Costs no allocation, so text that passes once (a grid scrolled page after
// page) pays only a hash.
class Doorkeeper {
public:
    bool admits(std::size_t hash)
    {
        // The slot comes from the low bits, the tag kept in it from the high ones. Four bytes a slot keep the table
        // small enough to stay in the cache beside the pixels being drawn: a miss here cost more than the lookup.
        const auto index = hash & (Slots - 1);
        auto& slot = m_seen[index];
        const auto tag = static_cast<std::uint32_t>(static_cast<std::uint64_t>(hash) >> 32);
        if (slot == tag)
            return true;
        if (slot == 0) {
            if (m_takenCount < m_taken.size())
                m_taken[m_takenCount] = static_cast<std::uint16_t>(index);
            ++m_takenCount;
        }
        slot = tag;
        return false;
    }
    // Caches are cleared after every short piece of work (a fuzz input, a test): the few slots taken since the last
    // clear are emptied one by one, the whole table (one memset of 64 KB) only when more were taken.
    void clear()
    {
        if (m_takenCount > m_taken.size())
            std::memset(m_seen.data(), 0, sizeof m_seen);
        else
            for (std::size_t i = 0; i < m_takenCount; ++i)
                m_seen[m_taken[i]] = 0;
        m_takenCount = 0;
    }

private:
    static constexpr std::size_t Slots = 16 * 1024;
    static_assert(Slots <= 65536, "taken slots are kept as 16-bit indexes");
    std::array<std::uint32_t, Slots> m_seen {};
    // The slots taken since the last clear, while they fit.
    std::array<std::uint16_t, 64> m_taken {};
    std::size_t m_takenCount { 0 };
};
}
