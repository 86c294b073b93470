#pragma once

#include "platform/foundation/Value.h"

namespace fnd::detail {

// Controllers tell objects apart by identity, other values by equality.
inline bool sameElement(const Value& a, const Value& b)
{
    if (a.isObject() && b.isObject())
        return a.object() == b.object();
    return a == b;
}

}
