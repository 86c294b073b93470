#include "platform/ui/views/View.h"

#include "platform/ui/containers/ClipView.h"
#include "platform/ui/containers/ScrollView.h"

namespace ui {

// A plain view hands the rect to its superview in that view's coordinates; clip views do the scrolling.
bool View::scrollRectToVisible(gfx::Rect rect)
{
    auto parent = superview();
    return parent && parent->scrollRectToVisible(convertRectToView(rect, parent.get()));
}

void View::scrollPoint(gfx::Point point)
{
    for (auto view = superview(); view; view = view->superview()) {
        if (auto clip = std::dynamic_pointer_cast<ClipView>(view)) {
            clip->scrollToPoint(convertPointToView(point, clip.get()));
            return;
        }
    }
}

std::shared_ptr<ScrollView> View::enclosingScrollView() const
{
    for (auto view = superview(); view; view = view->superview()) {
        if (auto scrollView = std::dynamic_pointer_cast<ScrollView>(view))
            return scrollView;
    }
    return nullptr;
}

bool View::autoscroll(const Event& event)
{
    auto parent = superview();
    return parent && parent->autoscroll(event);
}

}
