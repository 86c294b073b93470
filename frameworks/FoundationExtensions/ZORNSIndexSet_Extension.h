#pragma once

#include "platform/foundation/runtime/IndexSet.h"

namespace ZORNSIndexSet_Extension {

// The indexes of the range that the set does not contain (empty for an empty range).
fnd::IndexSet invertedIndexSetForRange(const fnd::IndexSet& set, fnd::Range range);

}
