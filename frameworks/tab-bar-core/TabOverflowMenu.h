#pragma once

#include "platform/ui/menus/Menu.h"

#include <memory>

// The overflow menu of a tab bar: the pull-down that lists the tabs with no room in the bar.
namespace tbcore {

// The menu's delegate: the menu keeps its size, and each entry shows the icon its tab view item's identifier offers.
// Asked about any other menu it logs a warning and answers no items.
class OverflowMenuDelegate : public ui::MenuDelegate {
public:
    // A new overflow menu with this delegate. Its first entry is the pull-down's own title entry (empty title, no
    // action); the caller keeps this delegate alive, since a menu holds its delegate weakly.
    std::shared_ptr<ui::Menu> makeMenu(const std::shared_ptr<OverflowMenuDelegate>& self);

    std::optional<long> numberOfItemsInMenu(ui::Menu& menu) override;
    bool menuUpdateItem(ui::Menu& menu, ui::MenuItem& item, long index, bool shouldCancel) override;

private:
    std::weak_ptr<ui::Menu> m_menu;
};

}
