#pragma once

// Private to the layers module: pixel work on premultiplied ARGB32 buffers.

#include "platform/graphics/PixelBuffer.h"
#include "platform/layers/detail/Homography.h"

#include <array>
#include <vector>

namespace ui::detail {

// Integer pixel bounds, [x0, x1) × [y0, y1).
struct PixelBox {
    int x0 { 0 }, y0 { 0 }, x1 { 0 }, y1 { 0 };
    bool isEmpty() const { return x1 <= x0 || y1 <= y0; }
};

// Pictures handed to compositeProjective carry this many pixels around their content that repeat its edge pixels
// (extendEdges), so that pixels at the content's edge sample its colour and get their coverage from the outline.
constexpr int SourceMargin = 8;

// Copies the edge pixels of the inner rectangle (the buffer less SourceMargin on every side) outwards.
void extendEdges(gfx::PixelBufferView pixels);

// Planes are composited front to back: each goes under what the target holds already (what is in front of it), so
// a pixel the planes in front cover wholly costs the planes behind nothing.

// Composites the content rectangle of the source (in its pixel coordinates, continuous, y down) under the target
// through a projective map to target pixel coordinates: sampled bilinearly, multiplied by the tint (r, g, b, a) as
// multiplyPixels does, covered by the antialiased outline of the content, with the opacity, within the box.
void compositeProjective(gfx::ConstPixelBufferView source, const gfx::Rect& content, const Homography& sourceToTarget,
    double opacity, gfx::PixelBufferView target, PixelBox box, const std::array<double, 4>& tint = { 1, 1, 1, 1 });

// The pixel loops compositeProjective picks from: the fastest the processor runs (the default), or, for tests that
// compare each with the arithmetic above, the SSE2 baseline or one pixel at a time.
enum class CompositorKernels { Fastest, Baseline, OneByOne };
void useCompositorKernels(CompositorKernels kernels);

// Fills a convex outline (target coordinates), antialiased, with a colour (r, g, b, a; not premultiplied), under
// the target.
void compositeSolid(const std::array<double, 4>& rgba, const std::vector<gfx::Point>& outline,
    gfx::PixelBufferView target, PixelBox box);

// Multiplies every pixel by a colour (r, g, b, a), as a replicator instance's colour does.
void multiplyPixels(gfx::PixelBufferView pixels, const std::array<double, 4>& color);

}
