#include "frameworks/FoundationExtensions/ZORNSIndexPath_Extensions.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/StringFormat.h"

namespace ZORNSIndexPath_Extensions {

fnd::Index firstIndex(const fnd::IndexPath& path)
{
    return path.indexAtPosition(0);
}

fnd::Index lastIndex(const fnd::IndexPath& path)
{
    return path.indexAtPosition(path.length() - 1);
}

fnd::IndexPath indexPathByIncrementingLastIndex(const fnd::IndexPath& path)
{
    if (path.length() == 0)
        return path;
    return path.indexPathByRemovingLastIndex().indexPathByAddingIndex(lastIndex(path) + 1);
}

fnd::IndexPath indexPathByReplacingIndexAtPosition(const fnd::IndexPath& path, fnd::Index position, fnd::Index index)
{
    if (position < 0 || position >= path.length())
        throw fnd::Exception::range(
            fnd::stringWithFormat("Position %ld is outside an index path of length %ld.", position, path.length()));
    auto indexes = path.indexes();
    indexes[static_cast<std::size_t>(position)] = index;
    return fnd::IndexPath(std::move(indexes));
}

}
