// How menus and their items answer assistive technologies.

#include "platform/ui/accessibility/AccessibilityAttributeKey.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuView.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Backend.h"
#include "platform/ui/views/Window.h"

namespace ui {

namespace Attr = AccessibilityAttribute;
using Key = AccessibilityAttributeKey;

bool Menu::isMainMenu() const
{
    return Application::shared().mainMenu().get() == this;
}

std::shared_ptr<Window> Menu::accessibilityWindow() const
{
    if (isMainMenu())
        return Application::shared().accessibilityMenuBarWindow();
    return m_shownInWindow.lock();
}

void Menu::setAccessibilityShownInWindow(const std::shared_ptr<Window>& window)
{
    if (window == m_shownInWindow.lock())
        return;
    m_shownInWindow = window;
    accessibilityPostNotification(
        *this, window ? AccessibilityNotification::MenuOpened : AccessibilityNotification::MenuClosed);
}

void Menu::accessibilityHighlightItem(const std::shared_ptr<MenuItem>& item, MenuHighlight highlight)
{
    auto previous = highlightedItem();
    if (item == previous)
        return;
    setHighlightedItem(item);
    if (previous)
        accessibilityPostNotification(*previous, AccessibilityNotification::StateChanged);
    if (item)
        accessibilityPostNotification(*item,
            highlight == MenuHighlight::Focus ? AccessibilityNotification::FocusedUIElementChanged
                                              : AccessibilityNotification::StateChanged);
}

std::vector<fnd::String> Menu::accessibilityAttributeNames() const
{
    return accessibilityAttributeNameList(
        { Attr::Role, Attr::RoleDescription, Attr::Title, Attr::Parent, Attr::Children, Attr::Enabled,
            Attr::SelectedChildren, Attr::Window, Attr::TopLevelUIElement, Attr::Position, Attr::Size });
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
        if (!isMainMenu())
            return {};
        // The bar lies in the window that shows it, else (no window shows one) in the application.
        if (auto window = Application::shared().accessibilityMenuBarWindow())
            return window->selfValue();
        return Application::shared().selfValue();
    case Key::Window:
    case Key::TopLevelUIElement: {
        auto window = accessibilityWindow();
        return window ? window->selfValue() : fnd::Value();
    }
    case Key::Position:
    case Key::Size: {
        auto window = isMainMenu() ? accessibilityWindow() : nullptr;
        auto frame = window ? Backend::current().menuBarFrame(*window) : std::nullopt;
        if (!frame)
            return {};
        return accessibilityAttributeKey(attribute) == Key::Position ? fnd::Value(frame->origin)
                                                                     : fnd::Value(frame->size);
    }
    case Key::Children: {
        // A pull-down's title item is not shown among the choices when the menu opens, nor listed while it is closed.
        auto owner = m_accessibilityOwner.lock();
        auto titleItem = owner ? owner->menuOwnerTitleItem() : nullptr;
        fnd::Array items;
        items.reserve(m_items.size());
        for (const auto& item : m_items)
            if (!item->isHidden() && item != titleItem)
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
        Attr::Children, Attr::Enabled, Attr::Selected, Attr::Focused, Attr::Help, Attr::MenuItemMarkChar,
        Attr::MenuItemCmdChar, Attr::Window, Attr::TopLevelUIElement });
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
    case Key::Focused: {
        // The item the keyboard is on while its menu is open: not the one whose own menu is open below it.
        auto owner = menu();
        return owner && owner->highlightedItem().get() == this && owner->accessibilityWindow() != nullptr
            && !(m_submenu && m_submenu->accessibilityWindow());
    }
    case Key::Window:
    case Key::TopLevelUIElement: {
        auto owner = menu();
        auto window = owner ? owner->accessibilityWindow() : nullptr;
        return window ? window->selfValue() : fnd::Value();
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
