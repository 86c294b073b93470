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
        auto& slot = m_seen[hash & (Slots - 1)];
        const auto tag = static_cast<std::uint32_t>(static_cast<std::uint64_t>(hash) >> 32);
        if (slot == tag)
            return true;
        slot = tag;
        return false;
    }
    // One memset: an element-wise fill costs a checked store per slot in the instrumented builds.
    void clear() { std::memset(m_seen.data(), 0, sizeof m_seen); }

private:
    static constexpr std::size_t Slots = 16 * 1024;
    std::array<std::uint32_t, Slots> m_seen {};
};

}
