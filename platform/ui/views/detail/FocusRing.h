#pragma once

#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/Geometry.h"

#include <vector>

namespace gfx {
class GraphicsContext;
}

namespace ui {

class View;

namespace detail {

// How far the ring reaches outside the view's focus shape, in points.
inline constexpr double FocusRingOutset = 3;

// Draws the focus ring of the view around the shape its drawFocusRingMask fills. The ring is the shape grown by
// FocusRingOutset, less the shape itself, in the accent colour; it is drawn in the target's pixels, so it is as
// sharp at 2× as at 1×. toTarget maps the view's coordinates to the context's user space at rootCTM; only the parts
// inside `clip` and one of `rects` (both in that user space) are drawn.
void drawFocusRing(View& view, gfx::GraphicsContext& context, const gfx::AffineTransform& rootCTM,
    const gfx::AffineTransform& toTarget, const std::vector<gfx::Rect>& rects, gfx::Rect clip);

}

}
