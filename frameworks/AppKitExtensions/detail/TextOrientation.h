#pragma once

#include "platform/graphics/GraphicsContext.h"

#include <cmath>

// Text laid along a path stands on the path's left as seen on screen: the side of the normal (-sin a, cos a) in a
// y-up space, the other side in a flipped one. Without a current context the space is y up.
namespace ZORTextOrientation {

inline bool isFlipped()
{
    auto* context = gfx::GraphicsContext::current();
    return context && context->isFlipped();
}

// +1 when the text stands on the side of the normal (-sin a, cos a), -1 when on the other.
inline double textSide()
{
    return isFlipped() ? -1.0 : 1.0;
}

// The unit normal pointing to the text's side of a path running in direction `angle`.
inline gfx::Point textNormal(double angle)
{
    double side = textSide();
    return { -side * std::sin(angle), side * std::cos(angle) };
}

}
