#pragma once

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
class QFTabBarController : public ui::MenuDelegate {
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

    std::optional<long> numberOfItemsInMenu(ui::Menu& menu) override;
    bool menuUpdateItem(ui::Menu& menu, ui::MenuItem& item, long index, bool shouldCancel) override;

private:
    QFTabBarView& m_tabBarView;
    std::shared_ptr<ui::Menu> m_overflowMenu;
    std::shared_ptr<ui::MenuDelegate> m_menuDelegateHandle;
};
