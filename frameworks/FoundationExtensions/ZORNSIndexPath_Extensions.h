#pragma once

#include "platform/foundation/runtime/IndexPath.h"

namespace ZORNSIndexPath_Extensions {

// The index at position 0, and at the last position; NotFound for the empty path.
fnd::Index firstIndex(const fnd::IndexPath& path);
fnd::Index lastIndex(const fnd::IndexPath& path);
// The same path with its last index one higher (the next sibling); the empty path stays empty.
fnd::IndexPath indexPathByIncrementingLastIndex(const fnd::IndexPath& path);
// A copy with the index at the position replaced; a position outside the path raises a range exception.
fnd::IndexPath indexPathByReplacingIndexAtPosition(const fnd::IndexPath& path, fnd::Index position, fnd::Index index);

}
