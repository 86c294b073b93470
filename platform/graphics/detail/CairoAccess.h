#pragma once

// For platform modules that draw with Cairo themselves (glyph runs, vector image pages): never include this outside
// platform/.

#include "platform/graphics/GraphicsContext.h"

#include <cairo.h>

#include <functional>

namespace gfx::detail {

// Runs draw on the context's Cairo handle with its matrix set to user space (y up), through the same pipeline as
// the context's own primitives: shadow, image masks, global alpha and compositing operator. The operator is set
// before draw runs; draw sets its source (or calls setFillSource) and paints, fills or shows glyphs. It may run
// twice (once for the shadow), so it must not consume anything.
void drawWithCairo(GraphicsContext& context, const std::function<void(cairo_t*)>& draw);
// Makes the context's fill colour (or pattern) the source of c.
void setFillSource(GraphicsContext& context, cairo_t* c);

}
