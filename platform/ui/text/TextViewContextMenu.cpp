// The menu a right click or the menu key opens over text: Cut, Copy, Paste and Select All, sent to the text view
// like the Edit menu's items and enabled as its validation says.
#include "platform/ui/text/TextView.h"

#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/views/Window.h"
#include "platform/ui/views/detail/PanelText.h"

namespace ui {

std::shared_ptr<Menu> TextView::menuForEvent(const Event& event)
{
    if (auto own = View::menuForEvent(event))
        return own;
    return standardEditingMenu();
}

std::shared_ptr<Menu> TextView::standardEditingMenu()
{
    auto self = std::static_pointer_cast<TextView>(shared_from_this());
    auto menu = Menu::create();
    menu->setAutoenablesItems(false);
    struct Entry {
        const char* title;
        const char* action;
        const char* key;
    };
    static constexpr Entry entries[] = {
        { "Cut", "cut:", "x" },
        { "Copy", "copy:", "c" },
        { "Paste", "paste:", "v" },
        { nullptr, nullptr, nullptr },
        { "Select All", "selectAll:", "a" },
    };
    for (const auto& entry : entries) {
        if (!entry.title) {
            menu->addItem(MenuItem::separatorItem());
            continue;
        }
        auto item
            = MenuItem::create(detail::panelText(entry.title, entry.title), fnd::Selector(entry.action), entry.key);
        item->setTarget(self);
        const bool enabled = fnd::Selector(entry.action) == fnd::Selector("selectAll:")
            ? textStorage() && textStorage()->length() > 0
            : validateUserInterfaceItem(fnd::Value(item));
        item->setEnabled(enabled);
        menu->addItem(item);
    }
    return menu;
}

void TextView::showContextMenu(const fnd::Value&)
{
    auto self = shared_from_this();
    // Under the selection's start, where the keyboard is.
    auto caret = firstRectForCharacterRange({ m_selectedRange.location, 0 }, nullptr);
    standardEditingMenu()->popUpMenuPositioningItem(nullptr, { caret.minX(), caret.minY() });
}

}
