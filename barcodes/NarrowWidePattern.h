#pragma once

#include "barcodes/ModuleString.h"

#include <string_view>

// The modules of a pattern of narrow ("0") and wide ("1") elements, alternating bar and space from a bar: a narrow
// element is one module, a wide one `wideModules`.
inline ModuleString expandNarrowWidePattern(std::string_view elements, int wideModules)
{
    ModuleString out;
    for (std::size_t i = 0; i < elements.size(); ++i)
        out.append(elements[i] == '1' ? static_cast<std::size_t>(wideModules) : 1, i % 2 == 0 ? '1' : '0');
    return out;
}
