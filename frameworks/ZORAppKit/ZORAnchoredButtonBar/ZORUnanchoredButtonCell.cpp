#include "frameworks/ZORAppKit/ZORAnchoredButtonBar/ZORUnanchoredButtonCell.h"

#include "frameworks/ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredButtonLook.h"

FND_REGISTER_CLASS(ZORUnanchoredButtonCell, ZORAnchoredButtonCell)

void ZORUnanchoredButtonCell::drawBezelWithFrame(gfx::Rect frame, ui::View& controlView)
{
    ZORAnchoredButtonLook::drawFreeStandingFace(frame, controlView);
}

gfx::Rect ZORUnanchoredButtonCell::highlightRectForBounds(gfx::Rect bounds) const
{
    return gfx::insetRect(bounds, 0, 1);
}
