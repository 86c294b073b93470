#pragma once

#include "frameworks/ZORRegex/ZORRegexAdditions.h"

#include <cstdint>
#include <optional>

// What the regex cache did, counted since the last reset, so its behaviour can be checked and measured.
namespace ZORRegexCacheStatistics {

struct Counters {
    // Pattern lookups answered by the entry used last, by the lookaside table, by a search of the pattern's set.
    std::uint64_t lastRegexHits { 0 };
    std::uint64_t lookasideHits { 0 };
    std::uint64_t setHits { 0 };
    // Patterns compiled (successfully or not), and compiled patterns pushed out to make room.
    std::uint64_t compilations { 0 };
    std::uint64_t evictions { 0 };
    // Subjects handed to an entry anew (its text copied or found in a buffer), and of those, how the text was got.
    std::uint64_t subjectsSet { 0 };
    std::uint64_t fixedBufferCopies { 0 };
    std::uint64_t dynamicBufferCopies { 0 };
    std::uint64_t bufferReuses { 0 };
    // Search steps answered from the entry's last search, and those that asked ICU.
    std::uint64_t memoisedSearches { 0 };
    std::uint64_t icuSearches { 0 };
};

Counters counters();
void resetCounters();

// The set of 13 a pattern falls into, and the cache line (set × 4 + way) that holds it compiled, if any. Neither
// counts as a use.
int setForRegex(const fnd::String& regex, ZORRegexAdditions::ZRXRegexOptions options);
std::optional<int> lineHoldingRegex(const fnd::String& regex, ZORRegexAdditions::ZRXRegexOptions options);

}
