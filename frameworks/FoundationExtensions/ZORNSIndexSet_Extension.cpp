#include "frameworks/FoundationExtensions/ZORNSIndexSet_Extension.h"

namespace ZORNSIndexSet_Extension {

fnd::IndexSet invertedIndexSetForRange(const fnd::IndexSet& set, fnd::Range range)
{
    fnd::IndexSet inverted(range);
    inverted.remove(set);
    return inverted;
}

}
