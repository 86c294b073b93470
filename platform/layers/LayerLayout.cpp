#include "platform/layers/Layer.h"

#include "platform/layers/Autoresizing.h"
#include "platform/layers/detail/LayerRuntime.h"

#include <algorithm>

// Layout: marking, laying out from the top down, autoresizing.

namespace ui {

using detail::lockLayers;

void Layer::setNeedsLayout()
{
    if (m_isPresentation)
        return;
    {
        auto lock = lockLayers();
        if (m_needsLayout)
            return;
        m_needsLayout = true;
        ++detail::pendingModelWork();
        if (auto super = m_superlayer.lock())
            super->noteSublayerNeedsLayout();
    }
    if (auto manager = layoutManager())
        manager->invalidateLayoutOfLayer(*this);
    if (auto self = weak_from_this().lock())
        detail::noteNeedsLayout(std::static_pointer_cast<Layer>(self));
    treeDidChange();
}

bool Layer::needsLayout() const
{
    return read(m_needsLayout);
}

void Layer::noteSublayerNeedsLayout()
{
    for (auto layer = std::static_pointer_cast<Layer>(shared_from_this()); layer && !layer->m_sublayerNeedsLayout;
         layer = layer->m_superlayer.lock())
        layer->m_sublayerNeedsLayout = true;
}

void Layer::layoutIfNeeded()
{
    if (m_isPresentation)
        return;
    auto keepAlive = weak_from_this().lock();
    bool needed;
    {
        auto lock = lockLayers();
        needed = m_needsLayout;
        m_needsLayout = false;
        if (needed)
            --detail::pendingModelWork();
    }
    if (needed)
        layoutSublayers();
    // Only the sublayers that need layout, or have some below them that do (the layout above may have asked).
    std::vector<std::shared_ptr<Layer>> due;
    {
        auto lock = lockLayers();
        if (!std::exchange(m_sublayerNeedsLayout, false))
            return;
        for (const auto& sub : m_sublayers)
            if (sub->m_needsLayout || sub->m_sublayerNeedsLayout)
                due.push_back(sub);
    }
    for (const auto& sub : due)
        sub->layoutIfNeeded();
}

void Layer::layoutSublayers()
{
    if (auto manager = layoutManager())
        manager->layoutSublayersOfLayer(*this);
    else if (auto d = delegate())
        d->layoutSublayersOfLayer(*this);
}

void Layer::resizeSublayersWithOldSize(gfx::Size oldSize)
{
    for (const auto& sub : sublayers())
        sub->resizeWithOldSuperlayerSize(oldSize);
}

void Layer::resizeWithOldSuperlayerSize(gfx::Size oldSize)
{
    auto parent = superlayer();
    const unsigned mask = autoresizingMask();
    if (!parent || mask == LayerAutoresizingMask::NotSizable)
        return;
    const auto superBounds = parent->bounds();
    auto frame = this->frame();
    // Margins count from the superlayer's bounds origin, which a scroll layer moves.
    frame.origin.x -= superBounds.minX();
    frame.origin.y -= superBounds.minY();
    frame = autoresizedFrame(frame, mask, oldSize, superBounds.size);
    frame.origin.x += superBounds.minX();
    frame.origin.y += superBounds.minY();
    setFrame(frame);
}

gfx::Size Layer::preferredFrameSize() const
{
    if (auto manager = layoutManager())
        if (auto size = manager->preferredSizeOfLayer(const_cast<Layer&>(*this)))
            return *size;
    return bounds().size;
}

}
