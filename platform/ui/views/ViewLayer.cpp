#include "platform/ui/views/View.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/layers/Layer.h"
#include "platform/layers/LayerRenderer.h"
#include "platform/layers/Transaction.h"
#include "platform/ui/views/ViewDrawing.h"

// A view hosting a layer tree.

namespace ui {

namespace detail {

struct ViewLayerHosting final : LayerHost {
    std::weak_ptr<View> view;
    std::shared_ptr<Layer> layer;
    bool wantsLayer { false };

    void layerTreeNeedsDisplay() override
    {
        auto redraw = [weak = view] {
            if (auto v = weak.lock())
                v->setNeedsDisplay(true);
        };
        if (fnd::RunLoop::isMainThread())
            redraw();
        else
            fnd::RunLoop::main().post(redraw);
    }
};

}

namespace {

// The view's coordinates to the hosted tree's superlayer space: the same, mirrored in y for a flipped view so
// the tree stays upright.
gfx::AffineTransform viewToLayerSpace(const View& view)
{
    if (!view.isFlipped())
        return {};
    const auto b = view.bounds();
    return { 1, 0, 0, -1, 0, b.minY() + b.maxY() };
}

}

std::shared_ptr<Layer> View::layer() const
{
    return m_layerHosting ? m_layerHosting->layer : nullptr;
}

void View::setLayer(std::shared_ptr<Layer> layer)
{
    if (!m_layerHosting) {
        m_layerHosting = std::make_shared<detail::ViewLayerHosting>();
        m_layerHosting->view = std::static_pointer_cast<View>(shared_from_this());
    }
    if (m_layerHosting->layer == layer)
        return;
    if (m_layerHosting->layer)
        m_layerHosting->layer->setHost(nullptr);
    m_layerHosting->layer = std::move(layer);
    if (m_layerHosting->layer)
        m_layerHosting->layer->setHost(m_layerHosting);
    hostedLayerGeometryDidChange();
    setNeedsDisplay(true);
}

bool View::wantsLayer() const
{
    return m_layerHosting && m_layerHosting->wantsLayer;
}

void View::setWantsLayer(bool flag)
{
    if (flag == wantsLayer())
        return;
    if (!layer())
        setLayer(Layer::layer());
    m_layerHosting->wantsLayer = flag;
    setNeedsDisplay(true);
}

void View::hostedLayerGeometryDidChange()
{
    auto root = layer();
    if (!root)
        return;
    // The view's own geometry is not animated.
    TransactionScope transaction;
    Transaction::setDisableActions(true);
    root->setFrame(bounds());
}

void drawHostedLayer(View& view, gfx::GraphicsContext& context)
{
    auto root = view.layer();
    if (!root || !view.wantsLayer())
        return;
    context.saveGraphicsState();
    context.concatCTM(viewToLayerSpace(view));
    renderLayerTree(*root, context);
    context.restoreGraphicsState();
}

}
