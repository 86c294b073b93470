#include "platform/ui/views/detail/FlippedView.h"

namespace ui::detail {

FND_REGISTER_CLASS(FlippedView, View)

std::shared_ptr<FlippedView> FlippedView::create(gfx::Rect frame)
{
    auto view = fnd::makeObject<FlippedView>();
    view->initWithFrame(frame);
    return view;
}

}
