#pragma once

#include "platform/ui/views/BoundedNumbers.h"

namespace ui::detail {

// The largest coordinate a window's frame may reach, and the bound other parts keep their lengths within: ten
// million points is far beyond any screen.
inline constexpr double ViewLargestCoordinate = LargestCoordinate;

// The largest coordinate a view's frame or bounds may reach: ten thousand million points, beyond any screen but not
// beyond a document view (a table of a hundred million rows, a tall ramp scrolled through). A view archive holds no
// more, and a resize that keeps the bounds scale leaves no more.
inline constexpr double ViewLargestExtent = 1e10;

// A frame or bounds rectangle a setter was given, each of its numbers within ViewLargestExtent of 0 (a larger one or
// an infinity is taken as that bound, NaN keeps the current number; a size may be negative, as a part laid out as
// "the width less its margins" is): what the view keeps is what its archive can hold, and no edge computed from it
// overflows.
inline gfx::Rect boundedViewRect(gfx::Rect wanted, gfx::Rect current)
{
    auto bounded
        = [](double number, double kept) { return boundedNumber(number, -ViewLargestExtent, ViewLargestExtent, kept); };
    return { { bounded(wanted.origin.x, current.origin.x), bounded(wanted.origin.y, current.origin.y) },
        { bounded(wanted.size.width, current.size.width), bounded(wanted.size.height, current.size.height) } };
}

}
