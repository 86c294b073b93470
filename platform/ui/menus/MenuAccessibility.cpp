// How menus and their items answer assistive technologies.

#include "platform/ui/accessibility/AccessibilityAttributeKey.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuView.h"
#include "platform/ui/views/Application.h"

namespace ui {

namespace Attr = AccessibilityAttribute;
using Key = AccessibilityAttributeKey;

bool Menu::isMainMenu() const
{
    return Application::shared().mainMenu().get() == this;
}

std::vector<fnd::String> Menu::accessibilityAttributeNames() const
{
    return accessibilityAttributeNameList({ Attr::Role, Attr::RoleDescription, Attr::Title, Attr::Parent,
        Attr::Children, Attr::Enabled, Attr::SelectedChildren });
}

fnd::Value Menu::accessibilityAttributeValue(const fnd::String& attribute) const
{
    switch (accessibilityAttributeKey(attribute)) {
    case Key::Role:
        return isMainMenu() ? AccessibilityRole::MenuBar : AccessibilityRole::Menu;
    case Key::Title:
        return m_title;
    case Key::Parent:
        if (auto item = m_parentItem.lock())
            return item->selfValue();
        if (auto owner = m_accessibilityOwner.lock())
            return accessibilityUnignoredAncestor(owner->menuOwnerAccessibilityElement());
        return isMainMenu() ? Application::shared().selfValue() : fnd::Value();
    case Key::Children: {
        fnd::Array items;
        items.reserve(m_items.size());
        for (const auto& item : m_items)
            if (!item->isHidden())
                items.push_back(item->selfValue());
        return items;
    }
    case Key::SelectedChildren: {
        auto item = highlightedItem();
        if (auto owner = m_accessibilityOwner.lock(); owner && !item)
            item = owner->menuOwnerChosenItem();
        return item ? fnd::Array { item->selfValue() } : fnd::Array();
    }
    case Key::Enabled:
        return true;
    default:
        return AccessibilityElement::accessibilityAttributeValue(attribute);
    }
}

std::vector<fnd::String> MenuItem::accessibilityAttributeNames() const
{
    return accessibilityAttributeNameList({ Attr::Role, Attr::Subrole, Attr::RoleDescription, Attr::Title, Attr::Parent,
        Attr::Children, Attr::Enabled, Attr::Selected, Attr::Help, Attr::MenuItemMarkChar, Attr::MenuItemCmdChar });
}

fnd::Value MenuItem::accessibilityAttributeValue(const fnd::String& attribute) const
{
    switch (accessibilityAttributeKey(attribute)) {
    case Key::Role: {
        auto owner = menu();
        return owner && owner->isMainMenu() ? AccessibilityRole::MenuBarItem : AccessibilityRole::MenuItem;
    }
    case Key::Subrole:
        return m_isSeparator ? fnd::Value(AccessibilitySubrole::Separator) : fnd::Value();
    case Key::Title:
        return m_title;
    case Key::Parent: {
        auto owner = menu();
        return owner ? owner->selfValue() : fnd::Value();
    }
    case Key::Children:
        return m_submenu ? fnd::Array { m_submenu->selfValue() } : fnd::Array();
    case Key::Enabled:
        return m_enabled && !m_isSeparator;
    case Key::Selected: {
        auto owner = menu();
        if (!owner)
            return false;
        // A pop-up's closed menu has the pop-up's choice selected; an open menu the item under the pointer.
        auto menuOwner = owner->m_accessibilityOwner.lock();
        if (menuOwner && !owner->highlightedItem())
            return menuOwner->menuOwnerChosenItem().get() == this;
        return owner->highlightedItem().get() == this;
    }
    case Key::Help:
        return m_toolTip.isEmpty() ? fnd::Value() : fnd::Value(m_toolTip);
    case Key::MenuItemMarkChar:
        if (m_state == ControlStateValue::On)
            return fnd::String("\u2713");
        return m_state == ControlStateValue::Mixed ? fnd::Value(fnd::String("-")) : fnd::Value();
    case Key::MenuItemCmdChar:
        return m_keyEquivalent.isEmpty() ? fnd::Value() : fnd::Value(MenuView::keyEquivalentDisplayString(*this));
    default:
        return AccessibilityElement::accessibilityAttributeValue(attribute);
    }
}

std::vector<fnd::String> MenuItem::accessibilityActionNames() const
{
    if (m_isSeparator || m_submenu)
        return {};
    return { AccessibilityAction::Press };
}

void MenuItem::accessibilityPerformAction(const fnd::String& action)
{
    auto owner = menu();
    if (action != AccessibilityAction::Press || !owner || m_isSeparator || m_submenu)
        return;
    auto self = shared_from_this();
    long index = owner->indexOfItem(*this);
    if (auto menuOwner = owner->m_accessibilityOwner.lock(); menuOwner && menuOwner->menuOwnerChooseItemAtIndex(index))
        return;
    owner->update();
    if (m_enabled)
        owner->performActionForItemAtIndex(index);
}

fnd::Value MenuView::accessibilityAttributeValue(const fnd::String& attribute) const
{
    if (m_menu && accessibilityAttributeKey(attribute) == Key::Children)
        return fnd::Array { m_menu->selfValue() };
    return View::accessibilityAttributeValue(attribute);
}

}
