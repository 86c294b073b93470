// How a window answers its menu items, the toolbar's among them. It lives with the toolbar, above the menus, which the
// window's own layer does not know.
#include "platform/ui/views/Window.h"

#include "platform/ui/containers/Toolbar.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/views/detail/PanelText.h"

namespace ui {

bool Window::validateMenuItem(const fnd::Value& item)
{
    auto menuItem = item.objectAs<MenuItem>();
    if (!menuItem)
        return true;
    const auto action = menuItem->action();
    if (action == fnd::Selector("performZoom:"))
        return isZoomable();
    auto bar = std::dynamic_pointer_cast<Toolbar>(m_toolbar);
    if (action == fnd::Selector("toggleToolbarShown:")) {
        // The title says what choosing the item will do.
        const bool shown = !bar || bar->isVisible();
        menuItem->setTitle(shown ? detail::panelText("Hide Toolbar", "Hide Toolbar")
                                 : detail::panelText("Show Toolbar", "Show Toolbar"));
        return bar && !m_attachedSheet;
    }
    if (action == fnd::Selector("runToolbarCustomizationPalette:"))
        return bar && bar->allowsUserCustomization() && !bar->customizationPaletteIsRunning() && !m_attachedSheet;
    return true;
}

void Window::toggleToolbarShown(const fnd::Value& sender)
{
    if (auto bar = std::dynamic_pointer_cast<Toolbar>(m_toolbar))
        bar->toggleToolbarShown(sender);
}

void Window::runToolbarCustomizationPalette(const fnd::Value& sender)
{
    if (auto bar = std::dynamic_pointer_cast<Toolbar>(m_toolbar)) {
        // A hidden toolbar comes back to be customised.
        bar->setVisible(true);
        bar->runCustomizationPalette(sender);
    }
}

}
