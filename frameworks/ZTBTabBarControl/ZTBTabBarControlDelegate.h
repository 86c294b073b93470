#pragma once

#include "platform/graphics/Geometry.h"

#include <memory>
#include <optional>
#include <vector>

namespace fnd {
class String;
}
namespace gfx {
class Image;
}
namespace ui {
class DraggingInfo;
class Menu;
class MenuItem;
class TabView;
class TabViewItem;
}
class ZTBTabBarControl;

// Optional calls a tab bar control makes to its delegate; nullopt means "does not answer" and the default holds.
class ZTBTabBarControlDelegate {
public:
    virtual ~ZTBTabBarControlDelegate() = default;
    virtual std::optional<bool> tabViewShouldSelectTabViewItem(ui::TabView&, ui::TabViewItem&) { return std::nullopt; }
    virtual void tabViewWillSelectTabViewItem(ui::TabView&, ui::TabViewItem&) { }
    virtual void tabViewDidSelectTabViewItem(ui::TabView&, ui::TabViewItem&) { }
    virtual void tabViewDidChangeNumberOfTabViewItems(ui::TabView&) { }
    virtual std::optional<std::vector<fnd::String>> allowedDraggedTypesForTabView(ui::TabView&) { return std::nullopt; }
    // Sent for every removal.
    virtual void tabViewDidCloseTabViewItem(ui::TabView&, ui::TabViewItem&) { }
    virtual std::optional<bool> tabViewShouldCloseTabViewItem(ui::TabView&, ui::TabViewItem&) { return std::nullopt; }
    virtual std::optional<bool> tabViewDisableTabCloseForTabViewItem(ui::TabView&, ui::TabViewItem&) { return std::nullopt; }
    virtual std::shared_ptr<ui::Menu> tabViewMenuForTabViewItem(ui::TabView&, ui::TabViewItem&) { return nullptr; }
    virtual std::optional<fnd::String> tabViewToolTipForTabViewItem(ui::TabView&, ui::TabViewItem&) { return std::nullopt; }
    virtual std::optional<bool> tabViewValidateOverflowMenuItem(ui::TabView&, ui::MenuItem&, ui::TabViewItem&)
    {
        return std::nullopt;
    }
    // Not answered: tabs are never dragged.
    virtual std::optional<bool> tabViewShouldDragTabViewItem(ui::TabView&, ui::TabViewItem&, ZTBTabBarControl&)
    {
        return std::nullopt;
    }
    // A null bar asks whether the tab may be dropped outside every bar (torn off).
    virtual std::optional<bool> tabViewShouldDropTabViewItem(ui::TabView&, ui::TabViewItem&, ZTBTabBarControl*)
    {
        return std::nullopt;
    }
    // A drop of another kind on the bar (on a tab, or on none): whether the delegate took it.
    virtual std::optional<bool> tabViewAcceptedDraggingInfo(ui::TabView&, ui::DraggingInfo&, ui::TabViewItem*)
    {
        return std::nullopt;
    }
    virtual void tabViewTabBarDidHide(ui::TabView&, ZTBTabBarControl&) { }
    virtual void tabViewTabBarDidUnhide(ui::TabView&, ZTBTabBarControl&) { }
    virtual std::optional<double> desiredWidthForVerticalTabBar(ZTBTabBarControl&) { return std::nullopt; }
    virtual std::optional<bool> tabViewShouldAllowTabViewItemToLeaveTabBar(ui::TabView&, ui::TabViewItem&, ZTBTabBarControl&)
    {
        return std::nullopt;
    }
    // Whether the delegate makes new bars for torn-off tabs at all.
    virtual bool makesNewTabBars() const { return false; }
    virtual std::shared_ptr<ZTBTabBarControl> tabViewNewTabBarForDraggedTabViewItem(ui::TabView&, ui::TabViewItem&, gfx::Point)
    {
        return nullptr;
    }
    virtual void tabViewDidDropTabViewItem(ui::TabView&, ui::TabViewItem&, ZTBTabBarControl&) { }
    virtual void tabViewCloseWindowForLastTabViewItem(ui::TabView&, ui::TabViewItem&) { }
    virtual std::shared_ptr<gfx::Image> tabViewImageForTabViewItem(ui::TabView&, ui::TabViewItem&, gfx::Size& offset,
        unsigned& styleMask)
    {
        (void)offset, (void)styleMask;
        return nullptr;
    }
    virtual void tabViewTabViewItemIsInOverflowMenu(ui::TabView&, ui::TabViewItem&, bool) { }
    virtual std::optional<fnd::String> accessibilityStringForTabView(ui::TabView&, long objectCount)
    {
        (void)objectCount;
        return std::nullopt;
    }
};
