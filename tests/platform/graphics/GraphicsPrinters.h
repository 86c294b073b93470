#pragma once

#include "platform/graphics/Geometry.h"

#include <ostream>

// Readable failure messages for geometry values.
namespace gfx {

inline void PrintTo(const Point& p, std::ostream* os)
{
    *os << stringFromPoint(p).utf8();
}
inline void PrintTo(const Size& s, std::ostream* os)
{
    *os << stringFromSize(s).utf8();
}
inline void PrintTo(const Rect& r, std::ostream* os)
{
    *os << stringFromRect(r).utf8();
}

}
