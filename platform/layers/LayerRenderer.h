#pragma once

#include "platform/graphics/Geometry.h"

#include <memory>

namespace gfx {
class BitmapImageRep;
class GraphicsContext;
}

namespace ui {

class Layer;

// Draws a layer tree as it shows now into a context whose current user space is the root's superlayer space (the
// hosting view's coordinates), within the context's clip. The model is laid out and drawn where it needs it first;
// then every plane of the presentation tree is drawn in its own plane and mapped onto the target's pixels through
// the projection of its transforms, back to front.
void renderLayerTree(Layer& root, gfx::GraphicsContext& context);

// The part `area` of the root's superlayer space (y up) as a bitmap of `scale` pixels per point.
std::shared_ptr<gfx::BitmapImageRep> renderLayerTreeToBitmap(Layer& root, gfx::Rect area, double scale = 1);

}
