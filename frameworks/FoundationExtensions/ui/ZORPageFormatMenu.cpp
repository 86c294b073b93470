#include "frameworks/FoundationExtensions/ZORPageFormat.h"

#include "frameworks/FoundationExtensions/detail/PageFormats.h"

#include "platform/ui/menus/Menu.h"

std::shared_ptr<ui::Menu> ZORPageFormat::standardPageFormatMenuWithUserDefineEntry(bool userDefineEntry)
{
    auto menu = ui::Menu::create();
    for (long index = 0; index < NumberOfFormats; ++index) {
        const auto& format = PageFormats::Formats[index];
        auto item = ui::MenuItem::create(PageFormats::localizedName(format.nameKey));
        item->setTag(index);
        item->setRepresentedObject(PageFormats::sizeOf(format));
        menu->addItem(item);
        if (format.separatorAfter)
            menu->addItem(ui::MenuItem::separatorItem());
    }
    if (userDefineEntry) {
        menu->addItem(ui::MenuItem::separatorItem());
        auto item = ui::MenuItem::create(PageFormats::localizedName("ZORPageFormatUserDefined"));
        item->setTag(UserDefinedTag);
        menu->addItem(item);
    }
    return menu;
}

long ZORPageFormat::indexOfStandardPageFormatWithSize(gfx::Size size, const ui::Menu& menu, Direction* direction)
{
    long fallback = -1;
    for (long index = 0; index < menu.numberOfItems(); ++index) {
        auto item = menu.itemAtIndex(index);
        if (item->isSeparatorItem())
            continue;
        auto itemSize = item->representedObject().size();
        if (!itemSize) {
            fallback = index;
            continue;
        }
        if (itemSize->width == size.width && itemSize->height == size.height) {
            if (direction)
                *direction = Direction::Portrait;
            return index;
        }
        if (itemSize->width == size.height && itemSize->height == size.width) {
            if (direction)
                *direction = Direction::Turned;
            return index;
        }
    }
    if (direction)
        *direction = Direction::NoMatch;
    return fallback;
}
