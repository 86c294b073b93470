#pragma once

#include "platform/foundation/runtime/String.h"

#include <utility>

namespace fnd::detail {

// "a.b.c" -> ("a", "b.c"); a path without a dot -> (path, "").
inline std::pair<String, String> splitFirstKey(const String& path)
{
    auto dot = path.units().find(u'.');
    if (dot == std::u16string::npos)
        return { path, {} };
    return { String(path.units().substr(0, dot)), String(path.units().substr(dot + 1)) };
}

}
