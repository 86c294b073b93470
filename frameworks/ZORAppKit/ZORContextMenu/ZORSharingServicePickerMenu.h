#pragma once

#include "platform/ui/desktop/SharingService.h"
#include "platform/ui/menus/Menu.h"

// A menu of the ways the desktop can share some items (e-mail, other applications, the clipboard).
namespace ZORSharingServicePickerMenu {

// Titled "MountainLionSharingMenu", one item per service in the services' order: the service's title and image,
// the action and target given, no key equivalent, the service as represented object; every service gets the
// delegate. nullptr when no service takes the items.
std::shared_ptr<ui::Menu> menuForSharingItems(const std::vector<fnd::Value>& items,
    const std::shared_ptr<fnd::Object>& target, fnd::Selector selector,
    const std::shared_ptr<ui::SharingServiceDelegate>& serviceDelegate);

}
