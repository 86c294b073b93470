#include "platform/foundation/runtime/IndexPath.h"

#include <fmt/format.h>
#include <fmt/ranges.h>

namespace fnd {

FND_REGISTER_CLASS(IndexPath, Object)

Index IndexPath::indexAtPosition(Index position) const
{
    if (position < 0 || position >= length())
        return NotFound;
    return m_indexes[static_cast<std::size_t>(position)];
}

IndexPath IndexPath::indexPathByAddingIndex(Index index) const
{
    auto indexes = m_indexes;
    indexes.push_back(index);
    return IndexPath(std::move(indexes));
}

IndexPath IndexPath::indexPathByRemovingLastIndex() const
{
    auto indexes = m_indexes;
    if (!indexes.empty())
        indexes.pop_back();
    return IndexPath(std::move(indexes));
}

bool IndexPath::isEqual(const Object& other) const
{
    auto* path = dynamic_cast<const IndexPath*>(&other);
    return path && *path == *this;
}

std::size_t IndexPath::hash() const
{
    std::size_t h = m_indexes.size();
    for (Index i : m_indexes)
        h = h * 31 + std::hash<Index>()(i);
    return h;
}

String IndexPath::description() const
{
    return String(fmt::format("<IndexPath {{{}}}>", fmt::join(m_indexes, ", ")));
}

}
