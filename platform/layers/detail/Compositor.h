#pragma once

// Private to the layers module: pixel work on premultiplied ARGB32 buffers.

#include "platform/graphics/PixelBuffer.h"
#include "platform/layers/detail/Homography.h"

#include <array>

namespace ui::detail {

// Integer pixel bounds, [x0, x1) × [y0, y1).
struct PixelBox {
    int x0 { 0 }, y0 { 0 }, x1 { 0 }, y1 { 0 };
    bool isEmpty() const { return x1 <= x0 || y1 <= y0; }
};

// Composites source over the target through a projective map from source pixel coordinates (continuous, y down)
// to target pixel coordinates, sampled bilinearly, with the opacity, within the box. The source's first row and
// column must be clear.
void compositeProjective(gfx::ConstPixelBufferView source, const Homography& sourceToTarget, double opacity,
    gfx::PixelBufferView target, PixelBox box);

// Multiplies every pixel by a colour (r, g, b, a), as a replicator instance's colour does.
void multiplyPixels(gfx::PixelBufferView pixels, const std::array<double, 4>& color);

}
