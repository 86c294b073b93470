#pragma once

#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/Geometry.h"

#include <vector>

namespace gfx {
class GraphicsContext;
}

namespace ui {

class View;

// Draws a view and its subviews into a context. toTarget maps the view's coordinates to the context's user space
// at rootCTM; only the parts of the view inside `clip` and one of `rects` (both in that user space) are drawn.
// Views in `leftOut` are not drawn, nor their subviews (a window composites them itself).
void drawViewTree(View& view, gfx::GraphicsContext& context, const gfx::AffineTransform& rootCTM,
    const gfx::AffineTransform& toTarget, const std::vector<gfx::Rect>& rects, gfx::Rect clip,
    const std::vector<const View*>* leftOut = nullptr);

// Takes the dirty rects of the view and its shown subviews, as window base rects within what shows of each view,
// and appends them to rects.
void takeDirtyRects(View& view, std::vector<gfx::Rect>& rects);

// Draws the layer tree the view hosts, if any, over what drawRect drew (the context is in the view's coordinates).
void drawHostedLayer(View& view, gfx::GraphicsContext& context);

// The bounding box of a rect carried through a transform.
gfx::Rect transformedRect(const gfx::AffineTransform& t, gfx::Rect r);

}
