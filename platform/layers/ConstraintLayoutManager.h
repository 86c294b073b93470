#pragma once

#include "platform/layers/LayerDelegate.h"

#include <memory>

namespace ui {

// Places sublayers by their constraints (Layer::constraints): per axis, a width or height constraint sets the
// size, and min, mid or max place the layer (two of them without a size constraint also give the size); an axis
// without enough constraints keeps the layer's current size or place. A source is the superlayer (its bounds) or
// the sibling with that name (its frame as laid out in this pass), so siblings are solved in dependency order; a
// sibling that depends on itself through others is logged and laid out from the frames as they are.
class ConstraintLayoutManager final : public LayoutManager {
public:
    // One manager serves every layer; it holds no state.
    static std::shared_ptr<ConstraintLayoutManager> layoutManager();

    void layoutSublayersOfLayer(Layer& layer) override;
    std::optional<gfx::Size> preferredSizeOfLayer(Layer& layer) override;
};

}
