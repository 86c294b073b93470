#pragma once

#include "platform/graphics/Geometry.h"
#include "platform/ui/containers/TabView.h"
#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/views/View.h"

#include <cstddef>
#include <memory>
#include <unordered_set>
#include <vector>

// What both tab-bar families need to know of a tab drag while the program goes on changing the tabs beneath it.
namespace tbcore {

// Where a dragged tab came from: its item and the tab view its bar showed when the drag began. While the person
// drags, the program may close the tab (its item leaves that tab view) or take the tab view from the bar; either
// way the tab has no place left to come back to or to be moved from.
struct DraggedTabOrigin {
    std::shared_ptr<ui::TabView> tabView;
    std::shared_ptr<ui::TabViewItem> item;

    // The program closed the tab: its item is no longer in the tab view it was dragged from.
    bool wasClosed() const;
    // Closed, or its bar (which now shows `barTabView`, maybe none) no longer shows the tab view it came from.
    bool hasDeparted(const ui::TabView* barTabView) const;
};

// The places, in the tab view's order, of the items no tab of a bar shows (`shown`), but the one a tab drag carries
// (`carried`): its tab is on its way, and comes back or goes with its item when the drag ends.
std::vector<std::size_t> itemsLackingTabs(const std::vector<std::shared_ptr<ui::TabViewItem>>& items,
    const std::unordered_set<const ui::TabViewItem*>& shown, const ui::TabViewItem* carried);

// The view of our windows under a point of the screen, where a drop there goes: in the frontmost window that takes
// the mouse at that point. None over empty screen.
std::shared_ptr<ui::View> viewUnderScreenPoint(gfx::Point screenPoint);

// The bar of a family (a view of class Bar, or the one a view lies in) under a point of the screen.
template <class Bar> std::shared_ptr<Bar> barUnderScreenPoint(gfx::Point screenPoint)
{
    for (auto view = viewUnderScreenPoint(screenPoint); view; view = view->superview())
        if (auto bar = std::dynamic_pointer_cast<Bar>(view))
            return bar;
    return nullptr;
}

}
