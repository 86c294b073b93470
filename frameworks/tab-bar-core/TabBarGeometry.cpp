#include "frameworks/tab-bar-core/TabBarGeometry.h"

namespace tbcore {

gfx::Rect hideShowFrame(gfx::Rect frame, bool vertical, HideShowPartner partner, bool hide, double thickness)
{
    const double g = hide ? thickness : -thickness;
    double& origin = vertical ? frame.origin.x : frame.origin.y;
    double& size = vertical ? frame.size.width : frame.size.height;
    switch (partner) {
    case HideShowPartner::BarAtMaxEdge:
        size += g;
        break;
    case HideShowPartner::BarAtMinEdge:
        origin -= g;
        size += g;
        break;
    case HideShowPartner::Window:
        origin += g;
        size -= g;
        break;
    }
    return frame;
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
