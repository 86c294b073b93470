#pragma once

#include "platform/foundation/runtime/String.h"
#include "platform/graphics/Geometry.h"
#include "platform/ui/dragging/Dragging.h"

#include <memory>
#include <optional>
#include <vector>

namespace gfx {
class Image;
}
namespace ui {
class Menu;
class MenuItem;
class TabView;
class TabViewItem;
}
class QFTabBarView;

// What a tab bar view asks and tells its delegate. Every operation is optional: nullopt means "not implemented" and
// the view takes the default stated with the operation.
class QFTabBarViewDelegate {
public:
    virtual ~QFTabBarViewDelegate() = default;

    // Forwarded from the tab view.
    virtual std::optional<bool> tabViewShouldSelectTabViewItem(ui::TabView&, ui::TabViewItem&) { return std::nullopt; }
    virtual void tabViewWillSelectTabViewItem(ui::TabView&, ui::TabViewItem&) { }
    virtual void tabViewDidSelectTabViewItem(ui::TabView&, ui::TabViewItem&) { }
    virtual void tabViewDidChangeNumberOfTabViewItems(ui::TabView&) { }

    virtual std::optional<std::vector<fnd::String>> allowedDraggedTypesForTabView(ui::TabView&) { return std::nullopt; }
    // true when implemented.
    virtual bool addNewTabToTabView(ui::TabView&) { return false; }
    virtual std::optional<bool> tabViewShouldCloseTabViewItem(ui::TabView&, ui::TabViewItem&) { return std::nullopt; }
    virtual void tabViewWillCloseTabViewItem(ui::TabView&, ui::TabViewItem&) { }
    virtual void tabViewDidCloseTabViewItem(ui::TabView&, ui::TabViewItem&) { }
    virtual void tabViewDidDetachTabViewItem(ui::TabView&, ui::TabViewItem&) { }
    virtual std::optional<bool> tabViewDisableTabCloseForTabViewItem(ui::TabView&, ui::TabViewItem&)
    {
        return std::nullopt;
    }
    virtual std::optional<fnd::String> tabViewToolTipForTabViewItem(ui::TabView&, ui::TabViewItem&)
    {
        return std::nullopt;
    }
    virtual void tabViewTabViewItemIsInOverflowMenu(ui::TabView&, ui::TabViewItem&, bool) { }
    virtual std::optional<bool> tabViewValidateOverflowMenuItem(ui::TabView&, ui::MenuItem&, ui::TabViewItem&)
    {
        return std::nullopt;
    }
    virtual std::optional<std::shared_ptr<ui::Menu>> tabViewMenuForTabViewItem(ui::TabView&, ui::TabViewItem&)
    {
        return std::nullopt;
    }
    virtual std::optional<bool> tabViewAcceptedDraggingInfo(ui::TabView&, ui::DraggingInfo&, ui::TabViewItem&)
    {
        return std::nullopt;
    }
    virtual std::optional<bool> tabViewShouldDragTabViewItem(ui::TabView&, ui::TabViewItem&, QFTabBarView&)
    {
        return std::nullopt;
    }
    virtual std::optional<bool> tabViewShouldAllowTabViewItemToLeaveTabBarView(
        ui::TabView&, ui::TabViewItem&, QFTabBarView&)
    {
        return std::nullopt;
    }
    virtual std::optional<bool> tabViewValidateDrop(
        ui::TabView&, ui::DraggingInfo&, ui::TabViewItem& proposedItem, long proposedIndex, QFTabBarView&)
    {
        return (void)proposedItem, (void)proposedIndex, std::nullopt;
    }
    virtual std::optional<bool> tabViewValidateSlideOfProposedItem(
        ui::TabView&, ui::TabViewItem&, long proposedIndex, QFTabBarView&)
    {
        return (void)proposedIndex, std::nullopt;
    }
    virtual void tabViewDidDropTabViewItem(ui::TabView&, ui::TabViewItem&, QFTabBarView&) { }
    // True for a delegate that implements tabViewNewTabBarViewForDraggedTabViewItem (it is asked before a drag hides
    // the source window of its only tab).
    virtual bool makesNewTabBarViews() const { return false; }
    // The outer optional: implemented or not; a null bar means the delegate made none.
    virtual std::optional<std::shared_ptr<QFTabBarView>> tabViewNewTabBarViewForDraggedTabViewItem(
        ui::TabView&, ui::TabViewItem&, gfx::Point)
    {
        return std::nullopt;
    }
    // true when implemented.
    virtual bool tabViewCloseWindowForLastTabViewItem(ui::TabView&, ui::TabViewItem&) { return false; }
    // Fills offset and style mask.
    virtual std::optional<std::shared_ptr<gfx::Image>> tabViewImageForTabViewItem(
        ui::TabView&, ui::TabViewItem&, gfx::Size& offset, unsigned& styleMask)
    {
        return (void)offset, (void)styleMask, std::nullopt;
    }
    virtual void tabViewTabBarViewDidHide(ui::TabView&, QFTabBarView&) { }
    virtual void tabViewTabBarViewDidUnhide(ui::TabView&, QFTabBarView&) { }
};
