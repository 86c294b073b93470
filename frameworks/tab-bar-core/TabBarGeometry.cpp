#include "frameworks/tab-bar-core/TabBarGeometry.h"

#include "platform/graphics/Axis.h"

namespace tbcore {

HideShowPartner partnerPlacement(gfx::Rect bar, gfx::Rect partner, bool vertical, double thickness)
{
    if (vertical)
        return partner.maxX() <= bar.minX() ? HideShowPartner::BarAtMaxEdge : HideShowPartner::BarAtMinEdge;
    return bar.minY() - thickness > partner.minY() ? HideShowPartner::BarAtMaxEdge : HideShowPartner::BarAtMinEdge;
}

HideShowFrames hideShowFrames(gfx::Rect bar, gfx::Rect partner, bool vertical, HideShowPartner placement, bool hide,
    double thickness, double strip)
{
    // A horizontal bar gives up its height (along y), a vertical one its width (along x).
    const gfx::Axis axis = vertical ? gfx::Axis::X : gfx::Axis::Y;
    // Positive: room the partner gains; negative: room it gives back.
    const double moved = hide ? thickness - strip : -(thickness - strip);
    auto grow
        = [axis](gfx::Rect r, double by) { return gfx::withLengthAlong(r, axis, gfx::lengthAlong(r, axis) + by); };
    bar = grow(bar, -moved);
    switch (placement) {
    case HideShowPartner::BarAtMaxEdge:
        // The bar keeps its far edge; the partner grows or shrinks at its own max edge.
        bar = gfx::offsetAlong(bar, axis, moved);
        partner = grow(partner, moved);
        break;
    case HideShowPartner::BarAtMinEdge:
        partner = grow(gfx::offsetAlong(partner, axis, -moved), moved);
        break;
    case HideShowPartner::Window:
        partner = grow(gfx::offsetAlong(partner, axis, moved), -moved);
        break;
    }
    return { bar, partner };
}

bool DragFade::stepIn(double& tabAlpha, double& contentAlpha, bool hasTabWindow)
{
    if (contentAlpha < Opaque && hasTabWindow) {
        tabAlpha -= Step;
        contentAlpha += Step;
        return true;
    }
    return false;
}

bool DragFade::stepOut(double& tabAlpha, double& contentAlpha)
{
    if (contentAlpha <= 0) {
        contentAlpha = 0;
        tabAlpha = Opaque;
        return false;
    }
    if (tabAlpha < Opaque)
        tabAlpha += Step;
    contentAlpha -= Step;
    return true;
}

}
