#pragma once

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/runtime/Object.h"

#include <functional>
#include <initializer_list>
#include <vector>

namespace fnd {

// A sorted set of non-negative indexes kept as disjoint, non-adjacent ranges. An object so that it can travel in a
// Value (selection indexes, the indexes of a to-many change), compared by content. Archived as its ranges.
class IndexSet : public Object, public Coding {
    FND_OBJECT(IndexSet)
public:
    IndexSet() = default;
    explicit IndexSet(Index index) { add(index); }
    explicit IndexSet(Range range) { add(range); }
    IndexSet(std::initializer_list<Index> indexes);

    // Adding or removing a negative index, or a range past the largest index, raises a range exception.
    void add(Index index) { add(Range { index, 1 }); }
    void add(Range range);
    void add(const IndexSet& other);
    void remove(Index index) { remove(Range { index, 1 }); }
    void remove(Range range);
    void remove(const IndexSet& other);
    void removeAll() { m_ranges.clear(); }

    bool contains(Index index) const;
    // Every index of the range (an empty range is contained).
    bool contains(Range range) const;
    bool contains(const IndexSet& other) const;
    bool intersects(Range range) const;

    Index count() const;
    bool isEmpty() const { return m_ranges.empty(); }
    // NotFound when empty.
    Index firstIndex() const { return m_ranges.empty() ? NotFound : m_ranges.front().location; }
    Index lastIndex() const { return m_ranges.empty() ? NotFound : m_ranges.back().max() - 1; }

    // Ascending; set stop to end early.
    void enumerate(const std::function<void(Index index, bool& stop)>& body) const;
    std::vector<Index> indexes() const;
    const std::vector<Range>& ranges() const { return m_ranges; }

    bool operator==(const IndexSet& other) const { return m_ranges == other.m_ranges; }
    bool isEqual(const Object& other) const override;
    std::size_t hash() const override;
    String description() const override;

    // Keyed: "NSRanges", an array of ranges; sequential: the count of ranges, then each location and length.
    void encodeWithCoder(Coder& coder) const override;
    bool initWithCoder(Coder& coder) override;

private:
    std::vector<Range> m_ranges;
};

}
