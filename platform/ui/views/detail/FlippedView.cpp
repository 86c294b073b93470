#include "platform/ui/views/detail/FlippedView.h"

namespace ui::detail {

FND_REGISTER_CLASS(FlippedView, View)

std::shared_ptr<FlippedView> FlippedView::create(gfx::Rect frame)
{
    return ui::makeView<FlippedView>(frame);
}

}
