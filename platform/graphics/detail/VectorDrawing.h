#pragma once

// Drawing of vector pictures (PDF pages, SVG documents) through a context's Cairo pipeline, so they stay vectors
// on PDF and EPS targets.

#include "platform/graphics/GraphicsContext.h"

#include <cairo.h>

#include <functional>

namespace gfx::detail {

// `paint` draws the picture in its own space: y down from the top left, contentSize units. It is mapped so that
// `from` (y up from the picture's bottom edge, in points of the rep's size, which may have been set apart from the
// content's; empty for all of it) fills `destination`, upright in a flipped context when `flipped` is set, with the
// operator and the fraction as opacity.
void drawVectorContent(GraphicsContext& context, Size contentSize, Size repSize, const Rect& destination,
    const Rect& from,
    CompositingOperation op, double fraction, bool flipped, const std::function<void(cairo_t*)>& paint);

}
