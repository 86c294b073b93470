#pragma once

#include "platform/foundation/runtime/String.h"

#include <initializer_list>
#include <utility>

// A caption with separators inserted at character positions of the plain caption, highest position first so the
// lower ones keep their meaning; a position past the end is left out.
inline fnd::String groupedCaption(
    const fnd::String& caption, std::initializer_list<std::pair<std::size_t, char16_t>> marks)
{
    std::u16string units = caption.units();
    for (auto [position, separator] : marks) {
        if (position <= units.size())
            units.insert(units.begin() + static_cast<std::ptrdiff_t>(position), separator);
    }
    return fnd::String(std::move(units));
}
