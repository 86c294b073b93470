#include "frameworks/tab-bar-core/TabDragOrigin.h"

#include "platform/ui/dragging/DropSession.h"
#include "platform/ui/views/Window.h"

namespace tbcore {

bool DraggedTabOrigin::wasClosed() const
{
    return !item || !tabView || tabView->indexOfTabViewItem(*item) == long(fnd::NotFound);
}

bool DraggedTabOrigin::hasDeparted(const ui::TabView* barTabView) const
{
    return wasClosed() || barTabView != tabView.get();
}

std::vector<std::size_t> itemsLackingTabs(const std::vector<std::shared_ptr<ui::TabViewItem>>& items,
    const std::unordered_set<const ui::TabViewItem*>& shown, const ui::TabViewItem* carried)
{
    std::vector<std::size_t> lacking;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].get() != carried && !shown.contains(items[i].get()))
            lacking.push_back(i);
    return lacking;
}

std::shared_ptr<ui::View> viewUnderScreenPoint(gfx::Point screenPoint)
{
    auto window = ui::windowForDragAt(screenPoint);
    return window ? window->hitTestViews(window->convertScreenToBase(screenPoint)) : nullptr;
}

}
