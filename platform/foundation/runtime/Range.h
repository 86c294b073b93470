#pragma once

#include <cstdint>
#include <limits>

namespace fnd {

// Indexes and lengths count UTF-16 code units. NotFound is the largest signed index, as stored values expect.
using Index = std::int64_t;
inline constexpr Index NotFound = std::numeric_limits<Index>::max();

struct Range {
    Index location { 0 };
    Index length { 0 };

    constexpr Index max() const { return location + length; }
    constexpr bool contains(Index i) const { return i >= location && i < max(); }
    constexpr bool isEmpty() const { return length == 0; }
    constexpr bool operator==(const Range&) const = default;

    static constexpr Range notFound() { return { NotFound, 0 }; }
};

constexpr Range intersection(Range a, Range b)
{
    Index lo = a.location > b.location ? a.location : b.location;
    Index hi = a.max() < b.max() ? a.max() : b.max();
    return hi > lo ? Range { lo, hi - lo } : Range { 0, 0 };
}

constexpr Range unionRange(Range a, Range b)
{
    Index lo = a.location < b.location ? a.location : b.location;
    Index hi = a.max() > b.max() ? a.max() : b.max();
    return { lo, hi - lo };
}

}
