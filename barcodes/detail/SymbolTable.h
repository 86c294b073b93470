#pragma once

#include <cstddef>

namespace SymbolTable {

// The row of character c in a symbology's table of rows that each name their `character`; -1 when it has none.
template <typename Table> int rowOf(const Table& table, unsigned char c)
{
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (static_cast<unsigned char>(table[i].character) == c)
            return static_cast<int>(i);
    }
    return -1;
}

}
