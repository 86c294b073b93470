#include "frameworks/tab-bar-core/TabBarGeometry.h"

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
    // Positive: room the partner gains; negative: room it gives back.
    const double moved = hide ? thickness - strip : -(thickness - strip);
    double& barOrigin = vertical ? bar.origin.x : bar.origin.y;
    double& barSize = vertical ? bar.size.width : bar.size.height;
    double& partnerOrigin = vertical ? partner.origin.x : partner.origin.y;
    double& partnerSize = vertical ? partner.size.width : partner.size.height;
    barSize -= moved;
    switch (placement) {
    case HideShowPartner::BarAtMaxEdge:
        // The bar keeps its far edge; the partner grows or shrinks at its own max edge.
        barOrigin += moved;
        partnerSize += moved;
        break;
    case HideShowPartner::BarAtMinEdge:
        partnerOrigin -= moved;
        partnerSize += moved;
        break;
    case HideShowPartner::Window:
        partnerOrigin += moved;
        partnerSize -= moved;
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
