#include "frameworks/tab-bar-core/TabOverflowMenu.h"

#include "platform/foundation/runtime/Log.h"
#include "platform/graphics/Image.h"
#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/menus/MenuItem.h"

namespace tbcore {

std::shared_ptr<ui::Menu> OverflowMenuDelegate::makeMenu(const std::shared_ptr<OverflowMenuDelegate>& self)
{
    auto menu = ui::Menu::create();
    menu->addItemWithTitle("", {}, "");
    menu->setDelegate(self);
    m_menu = menu;
    return menu;
}

std::optional<long> OverflowMenuDelegate::numberOfItemsInMenu(ui::Menu& menu)
{
    if (&menu == m_menu.lock().get())
        return menu.numberOfItems();
    fnd::logf(fnd::LogLevel::Warning, "Warning: Unexpected menu delegate call for menu {}", menu.description().utf8());
    return 0;
}

bool OverflowMenuDelegate::menuUpdateItem(ui::Menu& menu, ui::MenuItem& item, long, bool)
{
    if (&menu != m_menu.lock().get())
        return true;
    auto tabItem = item.representedObject().objectAs<ui::TabViewItem>();
    auto identifier = tabItem ? tabItem->identifier().object() : nullptr;
    if (identifier && identifier->classInfo().findProperty("icon"))
        item.setImage(identifier->valueForKey("icon").objectAs<gfx::Image>());
    return true;
}

}
