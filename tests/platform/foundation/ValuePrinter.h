#pragma once

#include "platform/foundation/runtime/Value.h"

#include <ostream>

// Readable failure messages for values.
namespace fnd {

inline void PrintTo(const Value& value, std::ostream* os)
{
    *os << value.description();
}

}
