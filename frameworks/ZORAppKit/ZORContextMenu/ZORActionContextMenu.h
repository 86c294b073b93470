#pragma once

#include "platform/ui/menus/Menu.h"
#include "platform/ui/views/View.h"

// Owns a menu and pops it up as a context menu over a view.
class ZORActionContextMenu : public fnd::Object {
    FND_OBJECT(ZORActionContextMenu)

public:
    ZORActionContextMenu() = default;
    // With a new empty menu.
    void init();

    void addMenuItem(const std::shared_ptr<ui::MenuItem>& item);
    void addSeparatorItem();
    void removeAllItems();
    // A copy: changing it leaves the menu that is shown alone.
    std::shared_ptr<ui::Menu> menu() const;
    void setMenu(std::shared_ptr<ui::Menu> menu);

    // At the centre of the view's frame.
    void showContextMenuForView(ui::View& view);
    // At a point of the view's window, as a right mouse press there would.
    void showContextMenuForView(ui::View& view, gfx::Point windowPosition);

private:
    std::shared_ptr<ui::Menu> m_menu;
};
