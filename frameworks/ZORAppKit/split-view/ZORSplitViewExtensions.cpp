#include "frameworks/ZORAppKit/split-view/ZORSplitViewExtensions.h"

#include "frameworks/ZORAppKit/split-view/ZORSplitSubview.h"
#include "frameworks/ZORAppKit/split-view/ZORSplitView.h"

namespace ZORSplitViewExtensions {

std::shared_ptr<ZORSplitView> enclosingZORSplitView(const ui::View& view)
{
    for (auto v = view.superview(); v; v = v->superview()) {
        if (auto split = std::dynamic_pointer_cast<ZORSplitView>(v))
            return split;
    }
    return nullptr;
}

std::shared_ptr<ZORSplitSubview> enclosingZORSplitSubview(const ui::View& view)
{
    for (auto v = view.superview(); v; v = v->superview()) {
        if (auto pane = std::dynamic_pointer_cast<ZORSplitSubview>(v))
            return pane;
    }
    return nullptr;
}

}
