#pragma once

#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/Geometry.h"

#include <cstdint>
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
//
// A mask that fills its shape with opaque colours is known by its outlines (recorded by a shape-capturing context):
// the ring is worked out once along its band, where it can show, and kept while the outlines stay in place in
// whole device pixels, so a redraw draws only the kept pieces that meet the area drawn. Any other mask is
// rasterised and its ring worked out again each time, where the area drawn reaches.
void drawFocusRing(View& view, gfx::GraphicsContext& context, const gfx::AffineTransform& rootCTM,
    const gfx::AffineTransform& toTarget, const std::vector<gfx::Rect>& rects, gfx::Rect clip);

// Marks for drawing a rect of the view (its own coordinates) grown by as far as a ring around it reaches.
void setNeedsDisplayForFocusRingAround(View& view, gfx::Rect rect);

// How many of the ring's pixels were worked out, and how many mask pixels rasterised, so far on every thread (for
// tests: the cost follows the band, not the view's size, and a ring drawn again costs neither).
std::uint64_t focusRingPixelsWorkedOut();
std::uint64_t focusRingMaskPixelsRasterised();

}

}
