#pragma once

// Private to the text module: which keys were met recently, so caches keep only what comes back.

#include <array>
#include <cstddef>
#include <cstdint>

namespace txt::detail {

// Remembers the hashes of recent keys in a direct-mapped table: a key is let in the second time it is met (unless
// another key took its place meanwhile). Costs no allocation, so text that passes once (a grid scrolled page after
// page) pays only a hash.
class Doorkeeper {
public:
    bool admits(std::size_t hash)
    {
        auto& slot = m_seen[hash & (Slots - 1)];
        if (slot == hash)
            return true;
        slot = hash;
        return false;
    }
    void clear() { m_seen.fill(0); }

private:
    static constexpr std::size_t Slots = 16 * 1024;
    std::array<std::size_t, Slots> m_seen {};
};

}
