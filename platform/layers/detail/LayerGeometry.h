#pragma once

// Private to the layers module: how layer planes map to each other and to the screen.

#include "platform/layers/Layer.h"
#include "platform/layers/detail/Homography.h"

#include <array>
#include <vector>

namespace ui::detail {

// The layer's coordinates to its superlayer's, before the superlayer's sublayerTransform: about the anchor point,
// through the transform, to the position and zPosition.
Transform3D placementTransform(const Layer& layer);
// The layer's sublayerTransform about its anchor point, in its own coordinates.
Transform3D sublayerTransformAboutAnchor(const Layer& layer);
// The layer's plane to an ancestor's (nullptr: the root's superlayer space), flattened wherever a layer on the
// way flattens its sublayers.
Homography planeToAncestor(const Layer& layer, const Layer* ancestor);

// Whether the plane, carried to a base space by toBase, shows its front; baseIsFlipped for a y-down base.
bool facesViewer(const Homography& toBase, const gfx::Rect& bounds, bool baseIsFlipped);
bool insideRoundedRect(gfx::Point p, const gfx::Rect& rect, double radius);

// The bounds of a masking layer, in its plane.
struct Clip {
    Homography toBase;
    gfx::Rect bounds;
    double cornerRadius { 0 };
};

// One layer's plane as it is drawn: where it lands, with what opacity and colour (a replicator instance's), and
// inside which masking ancestors.
struct Plane {
    Layer* layer { nullptr };
    Homography toBase;
    double opacity { 1 };
    std::array<double, 4> color { 1, 1, 1, 1 };
    bool replica { false };
    std::vector<Clip> clips;
};

// The planes of a layer and its descendants, back to front, in the base space that superToBase maps the layer's
// superlayer space to. The caller holds the layer lock and keeps the tree alive.
std::vector<Plane> collectPlanes(Layer& top, const Homography& superToBase);

}
