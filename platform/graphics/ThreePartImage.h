#pragma once

#include "platform/graphics/Geometry.h"
#include "platform/graphics/GraphicsContext.h"

namespace gfx {

class Image;

// Draws a stretchable picture from three pieces into the current context: the caps keep their own width (height for
// a vertical drawing) and stand at the ends, the fill stretches between them. Any piece may be missing. `flipped`
// says whether the frame's coordinates run top-down; when it differs from the context's a piece is drawn upside
// down, unless the image itself is flipped (the two cancel). Caps wider than half the frame are narrowed to half.
void drawThreePartImage(const Rect& frame, const Image* startCap, const Image* centerFill, const Image* endCap,
    bool vertical, CompositingOperation op, double alpha, bool flipped);

}
