#include "platform/layers/Layer.h"

#include "platform/layers/detail/LayerRuntime.h"

#include <algorithm>

// Layout: marking, laying out from the top down, autoresizing.

namespace ui {

using detail::lockLayers;

namespace {

// The change of the superlayer's size is shared among the flexible parts (the two margins and the size) in
// proportion to their current lengths, or equally when they are all zero, as views do.
void distribute(double delta, double& position, double& length, double superLength, bool minFlexible, bool sizeFlexible,
    bool maxFlexible)
{
    const double parts[3] = { position, length, superLength - position - length };
    const bool flexible[3] = { minFlexible, sizeFlexible, maxFlexible };
    double total = 0;
    int count = 0;
    for (int i = 0; i < 3; ++i) {
        if (flexible[i]) {
            total += std::max(parts[i], 0.0);
            ++count;
        }
    }
    if (count == 0)
        return;
    double share[3] = {};
    for (int i = 0; i < 3; ++i)
        if (flexible[i])
            share[i] = total > 0 ? delta * std::max(parts[i], 0.0) / total : delta / count;
    position += share[0];
    length = std::max(0.0, length + share[1]);
}

}

void Layer::setNeedsLayout()
{
    if (m_isPresentation)
        return;
    {
        auto lock = lockLayers();
        if (m_needsLayout)
            return;
        m_needsLayout = true;
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
    }
    if (needed)
        layoutSublayers();
    for (const auto& sub : sublayers())
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
    using namespace LayerAutoresizingMask;
    distribute(superBounds.width() - oldSize.width, frame.origin.x, frame.size.width, oldSize.width, mask & MinXMargin,
        mask & WidthSizable, mask & MaxXMargin);
    distribute(superBounds.height() - oldSize.height, frame.origin.y, frame.size.height, oldSize.height,
        mask & MinYMargin, mask & HeightSizable, mask & MaxYMargin);
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
