#include "platform/layers/Autoresizing.h"

#include "platform/layers/Layer.h"

#include <algorithm>

namespace ui {

namespace {

void distributeAlongAxis(double delta, double& position, double& length, double superLength, bool minFlexible,
    bool sizeFlexible, bool maxFlexible, bool belowZero)
{
    const double parts[3] = { position, length, superLength - position - length };
    const bool flexible[3] = { minFlexible, sizeFlexible, maxFlexible };
    double total = 0;
    int count = 0;
    for (int i = 0; i < 3; ++i) {
        if (flexible[i]) {
            total += std::max(parts[i], 0.0);
            ++count;
        }
    }
    if (count == 0)
        return;
    double share[3] = {};
    for (int i = 0; i < 3; ++i) {
        if (flexible[i])
            share[i] = total > 0 ? delta * std::max(parts[i], 0.0) / total : delta / count;
    }
    position += share[0];
    length = belowZero ? length + share[1] : std::max(0.0, length + share[1]);
}

gfx::Rect autoresized(gfx::Rect frame, unsigned mask, gfx::Size oldSuperSize, gfx::Size newSuperSize, bool belowZero)
{
    using namespace LayerAutoresizingMask;
    distributeAlongAxis(newSuperSize.width - oldSuperSize.width, frame.origin.x, frame.size.width, oldSuperSize.width,
        mask & MinXMargin, mask & WidthSizable, mask & MaxXMargin, belowZero);
    distributeAlongAxis(newSuperSize.height - oldSuperSize.height, frame.origin.y, frame.size.height,
        oldSuperSize.height, mask & MinYMargin, mask & HeightSizable, mask & MaxYMargin, belowZero);
    return frame;
}

}

gfx::Rect autoresizedFrame(gfx::Rect frame, unsigned mask, gfx::Size oldSuperSize, gfx::Size newSuperSize)
{
    return autoresized(frame, mask, oldSuperSize, newSuperSize, false);
}

gfx::Rect autoresizedFrameBelowZero(gfx::Rect frame, unsigned mask, gfx::Size oldSuperSize, gfx::Size newSuperSize)
{
    return autoresized(frame, mask, oldSuperSize, newSuperSize, true);
}

}
