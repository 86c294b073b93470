#include "frameworks/ZORAppKit/ZORContextMenu/ZORSharingServicePickerMenu.h"

#include "platform/ui/menus/MenuItem.h"

namespace ZORSharingServicePickerMenu {

std::shared_ptr<ui::Menu> menuForSharingItems(const std::vector<fnd::Value>& items,
    const std::shared_ptr<fnd::Object>& target, fnd::Selector selector,
    const std::shared_ptr<ui::SharingServiceDelegate>& serviceDelegate)
{
    auto services = ui::SharingService::sharingServicesForItems(items);
    if (services.empty())
        return nullptr;
    auto menu = ui::Menu::create("MountainLionSharingMenu");
    for (const auto& service : services) {
        auto item = ui::MenuItem::create(service->title(), selector, {});
        item->setImage(service->image());
        item->setRepresentedObject(fnd::Value(service));
        item->setTarget(target);
        service->setDelegate(serviceDelegate);
        menu->addItem(item);
    }
    return menu;
}

}
