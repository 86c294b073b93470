#pragma once

#include "platform/ui/views/BoundedNumbers.h"

namespace ui::detail {

// The largest coordinate a view's frame or bounds may reach: ten million points is far beyond any screen. A view
// archive holds no more, and a resize that keeps the bounds scale leaves no more.
inline constexpr double ViewLargestCoordinate = LargestCoordinate;

// A frame or bounds rectangle a setter was given, each of its numbers bounded as boundedCoordinate bounds them (a
// size may be negative, as a part laid out as "the width less its margins" is): what the view keeps is what its
// archive can hold, and no edge computed from it overflows.
inline gfx::Rect boundedViewRect(gfx::Rect wanted, gfx::Rect current)
{
    return { boundedPoint(wanted.origin, current.origin),
        { boundedCoordinate(wanted.size.width, current.size.width),
            boundedCoordinate(wanted.size.height, current.size.height) } };
}

}
