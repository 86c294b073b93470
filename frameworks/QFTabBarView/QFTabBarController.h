#pragma once

#include "frameworks/tab-bar-core/TabOverflowMenu.h"
#include "platform/ui/menus/Menu.h"

#include <functional>
#include <memory>
#include <vector>

class QFAttachedTabBarButton;
class QFTabBarView;
struct QFTabBarTab;
namespace ui {
class TabViewItem;
}

// Lays a tab bar view's buttons out: their widths (or, in a vertical bar, where each starts), which ones show a
// close button, and which ones do not fit and go to the overflow menu, which it builds. While no tab is dragged it
// makes buttons only for the tabs it shows: the others are listed in the menu by their items.
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
    void layoutTabs(std::vector<QFTabBarTab>& tabs);
    // Whether the button shows no close button (the delegate asked unless the options decide), among `tabCount`.
    void settleCloseButton(QFAttachedTabBarButton& button, std::size_t tabCount);
    std::vector<double> generateWidths(
        std::size_t count, const std::function<QFAttachedTabBarButton&(std::size_t)>& buttonAt);
    // Places the buttons shown; with `overflows` the last one stands for the overflow menu.
    void setupShownButtons(const std::vector<std::shared_ptr<QFAttachedTabBarButton>>& buttons,
        const std::vector<double>& widths, bool overflows);

    QFTabBarView& m_tabBarView;
    std::shared_ptr<ui::Menu> m_overflowMenu;
    std::shared_ptr<tbcore::OverflowMenuDelegate> m_menuDelegate = std::make_shared<tbcore::OverflowMenuDelegate>();
};
