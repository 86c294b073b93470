#pragma once

#include "platform/foundation/runtime/Geometry.h"
#include "platform/foundation/runtime/String.h"

#include <memory>
#include <optional>

namespace gfx {
class GraphicsContext;
}

namespace ui {

class Layer;
class LayerAction;

// What a layer asks of its delegate. Every method is optional: the defaults do nothing or do not answer.
class LayerDelegate {
public:
    virtual ~LayerDelegate() = default;
    // Sets the layer's contents itself; answering false lets the layer draw (drawLayerInContext).
    virtual bool displayLayer(Layer&) { return false; }
    // Draws the layer's contents; the context's user space is the layer's bounds, y up.
    virtual void drawLayerInContext(Layer&, gfx::GraphicsContext&) { }
    // nullopt does not answer (the layer's class default is asked next); an answer of nullptr means no action.
    virtual std::optional<std::shared_ptr<LayerAction>> actionForLayer(Layer&, const fnd::String& /*key*/)
    {
        return std::nullopt;
    }
    // Lays out the sublayers when the layer has no layout manager.
    virtual void layoutSublayersOfLayer(Layer&) { }
};

// Places a layer's sublayers; a layer holds its manager weakly, as it holds its delegate.
class LayoutManager {
public:
    virtual ~LayoutManager() = default;
    virtual void layoutSublayersOfLayer(Layer& layer) = 0;
    // The size the layer would like; the default is its bounds size.
    virtual std::optional<gfx::Size> preferredSizeOfLayer(Layer&) { return std::nullopt; }
    // Sent when the layer's layout becomes out of date.
    virtual void invalidateLayoutOfLayer(Layer&) { }
};

// Where a tree is shown: told (on any thread) that the tree must be drawn again.
class LayerHost {
public:
    virtual ~LayerHost() = default;
    virtual void layerTreeNeedsDisplay() = 0;
};

}
