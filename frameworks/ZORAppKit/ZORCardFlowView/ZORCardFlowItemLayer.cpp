#include "frameworks/ZORAppKit/ZORCardFlowView/ZORCardFlowItemLayer.h"

FND_REGISTER_CLASS(ZORCardFlowItemLayer, ui::Layer)

void ZORCardFlowItemLayer::describeClass(fnd::ClassBuilder<ZORCardFlowItemLayer>& c)
{
    c.property("index", &ZORCardFlowItemLayer::index, &ZORCardFlowItemLayer::setIndex);
}

std::int64_t ZORCardFlowItemLayer::index() const
{
    if (isPresentation())
        if (auto model = std::dynamic_pointer_cast<ZORCardFlowItemLayer>(modelLayer()))
            return model->index();
    return m_index;
}

void ZORCardFlowItemLayer::initWithLayer(const ui::Layer& layer)
{
    Layer::initWithLayer(layer);
    if (auto* other = dynamic_cast<const ZORCardFlowItemLayer*>(&layer))
        m_index = other->index();
}
