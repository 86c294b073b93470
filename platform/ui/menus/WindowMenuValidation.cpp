// How a window answers its menu items. It lives with the menus, which the window's own layer does not know.
#include "platform/ui/views/Window.h"

#include "platform/ui/menus/MenuItem.h"

namespace ui {

bool Window::validateMenuItem(const fnd::Value& item)
{
    auto menuItem = item.objectAs<MenuItem>();
    if (menuItem && menuItem->action() == fnd::Selector("performZoom:"))
        return isZoomable();
    return true;
}

}
