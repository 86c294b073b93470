#pragma once

#include "platform/foundation/runtime/Object.h"

#include <initializer_list>
#include <vector>

namespace fnd {

// A path of indexes into nested arrays (a node of a tree: the child index at each level). An object so that it can
// travel in a Value, compared by content.
class IndexPath : public Object {
    FND_OBJECT(IndexPath)
public:
    IndexPath() = default;
    explicit IndexPath(std::vector<Index> indexes)
        : m_indexes(std::move(indexes))
    {
    }
    IndexPath(std::initializer_list<Index> indexes)
        : m_indexes(indexes)
    {
    }

    Index length() const { return static_cast<Index>(m_indexes.size()); }
    // NotFound for a position outside the path.
    Index indexAtPosition(Index position) const;
    const std::vector<Index>& indexes() const { return m_indexes; }

    IndexPath indexPathByAddingIndex(Index index) const;
    // The empty path stays empty.
    IndexPath indexPathByRemovingLastIndex() const;

    bool operator==(const IndexPath& other) const { return m_indexes == other.m_indexes; }
    bool isEqual(const Object& other) const override;
    std::size_t hash() const override;
    String description() const override;

private:
    std::vector<Index> m_indexes;
};

}
