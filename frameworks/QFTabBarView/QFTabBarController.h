#pragma once

#include "frameworks/tab-bar-core/TabOverflowMenu.h"
#include "platform/ui/menus/Menu.h"

#include <memory>
#include <vector>

class QFAttachedTabBarButton;
class QFTabBarView;
namespace ui {
class TabViewItem;
}

// Lays a tab bar view's buttons out: their widths (or, in a vertical bar, where each starts), which ones show a
// close button, and which ones do not fit and go to the overflow menu, which it builds.
class QFTabBarController {
public:
    // The view outlives its controller (it owns it).
    explicit QFTabBarController(QFTabBarView& tabBarView);

    const std::shared_ptr<ui::Menu>& overflowMenu() const { return m_overflowMenu; }
    void layoutButtons();
    std::vector<double> _generateWidthsFromAttachedButtons(
        const std::vector<std::shared_ptr<QFAttachedTabBarButton>>& buttons);
    void _setupAttachedButtons(
        const std::vector<std::shared_ptr<QFAttachedTabBarButton>>& buttons, const std::vector<double>& widths);
    void _addItemToOverflowMenu(const std::shared_ptr<ui::TabViewItem>& item, const fnd::String& title);

    // The overflow menu's delegate (the menu holds it weakly).
    ui::MenuDelegate& menuDelegate() const { return *m_menuDelegate; }

private:
    QFTabBarView& m_tabBarView;
    std::shared_ptr<ui::Menu> m_overflowMenu;
    std::shared_ptr<tbcore::OverflowMenuDelegate> m_menuDelegate = std::make_shared<tbcore::OverflowMenuDelegate>();
};
