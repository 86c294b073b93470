#include "frameworks/ZORAppKit/source-list/ZOROutlineView.h"

FND_REGISTER_CLASS(ZOROutlineView, ui::OutlineView)

std::shared_ptr<ZOROutlineView> ZOROutlineView::create(gfx::Rect frame)
{
    return ui::makeView<ZOROutlineView>(frame);
}
