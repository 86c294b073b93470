#include "platform/ui/menus/Menu.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Backend.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/menus/MenuView.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/Window.h"

#include <algorithm>

namespace ui {

FND_REGISTER_CLASS(Menu, fnd::Object)

namespace {

const fnd::Selector ValidateMenuItemSelector("validateMenuItem:");

// The right mouse opens a view's menu through the menu classes.
[[maybe_unused]] const bool contextMenusInstalled
    = (View::setContextMenuPresenter([](const std::shared_ptr<Menu>& menu, const Event& event, View& view) {
          Menu::popUpContextMenu(menu, event, view);
      }),
        true);

void outOfRange(long index, long count)
{
    throw fnd::Exception(fnd::ExceptionName::Range,
        fnd::String("Index " + std::to_string(index) + " is beyond the menu's " + std::to_string(count) + " items."));
}

}

void Menu::describeClass(fnd::ClassBuilder<Menu>& c)
{
    c.property("title", &Menu::title, &Menu::setTitle);
    c.property("autoenablesItems", &Menu::autoenablesItems, &Menu::setAutoenablesItems);
    c.action("addItem:", &Menu::addItem);
    c.action("update", &Menu::update);
    c.action("performKeyEquivalent:", &Menu::performKeyEquivalentOfEvent);
}

std::shared_ptr<Menu> Menu::create(const fnd::String& title)
{
    auto menu = fnd::makeObject<Menu>();
    menu->m_title = title;
    return menu;
}

std::shared_ptr<Menu> Menu::copy() const
{
    auto menu = create(m_title);
    menu->m_autoenablesItems = m_autoenablesItems;
    menu->m_delegate = m_delegate;
    for (const auto& item : m_items)
        menu->addItem(item->copy());
    return menu;
}

std::shared_ptr<Menu> Menu::supermenu() const
{
    auto item = m_parentItem.lock();
    return item ? item->menu() : nullptr;
}

void Menu::adopt(const std::shared_ptr<MenuItem>& item)
{
    if (!item)
        throw fnd::Exception::invalidArgument("A menu cannot hold a nil item.");
    if (auto owner = item->m_menu.lock())
        throw fnd::Exception::invalidArgument(
            fnd::String("The item \"") + item->title() + "\" is already in the menu \"" + owner->title() + "\".");
    item->m_menu = std::static_pointer_cast<Menu>(weak_from_this().lock());
}

void Menu::addItem(const std::shared_ptr<MenuItem>& item)
{
    insertItem(item, numberOfItems());
}

void Menu::insertItem(const std::shared_ptr<MenuItem>& item, long index)
{
    if (index < 0 || index > numberOfItems())
        outOfRange(index, numberOfItems());
    adopt(item);
    m_items.insert(m_items.begin() + index, item);
}

std::shared_ptr<MenuItem> Menu::addItemWithTitle(
    const fnd::String& title, fnd::Selector action, const fnd::String& keyEquivalent)
{
    return insertItemWithTitle(title, action, keyEquivalent, numberOfItems());
}

std::shared_ptr<MenuItem> Menu::insertItemWithTitle(
    const fnd::String& title, fnd::Selector action, const fnd::String& keyEquivalent, long index)
{
    auto item = MenuItem::create(title, action, keyEquivalent);
    insertItem(item, index);
    return item;
}

void Menu::removeItem(const std::shared_ptr<MenuItem>& item)
{
    if (item)
        if (long index = indexOfItem(*item); index >= 0)
            removeItemAtIndex(index);
}

void Menu::removeItemAtIndex(long index)
{
    if (index < 0 || index >= numberOfItems())
        outOfRange(index, numberOfItems());
    m_items[index]->m_menu.reset();
    m_items.erase(m_items.begin() + index);
}

void Menu::removeAllItems()
{
    for (const auto& item : m_items)
        item->m_menu.reset();
    m_items.clear();
}

std::shared_ptr<MenuItem> Menu::itemAtIndex(long index) const
{
    return index >= 0 && index < numberOfItems() ? m_items[index] : nullptr;
}

std::shared_ptr<MenuItem> Menu::itemWithTitle(const fnd::String& title) const
{
    return itemAtIndex(indexOfItemWithTitle(title));
}

std::shared_ptr<MenuItem> Menu::itemWithTag(long tag) const
{
    return itemAtIndex(indexOfItemWithTag(tag));
}

namespace {

template <typename Pred> long indexWhere(const std::vector<std::shared_ptr<MenuItem>>& items, Pred pred)
{
    auto found = std::ranges::find_if(items, [&](const auto& item) { return pred(*item); });
    return found == items.end() ? -1 : static_cast<long>(found - items.begin());
}

}

long Menu::indexOfItem(const MenuItem& item) const
{
    return indexWhere(m_items, [&](const MenuItem& i) { return &i == &item; });
}

long Menu::indexOfItemWithTitle(const fnd::String& title) const
{
    return indexWhere(m_items, [&](const MenuItem& i) { return i.title() == title; });
}

long Menu::indexOfItemWithTag(long tag) const
{
    return indexWhere(m_items, [&](const MenuItem& i) { return i.tag() == tag; });
}

long Menu::indexOfItemWithRepresentedObject(const fnd::Value& object) const
{
    return indexWhere(m_items, [&](const MenuItem& i) { return i.representedObject() == object; });
}

long Menu::indexOfItemWithTarget(const fnd::Object* target, fnd::Selector action) const
{
    return indexWhere(m_items,
        [&](const MenuItem& i) { return i.target().get() == target && (action.isNull() || i.action() == action); });
}

long Menu::indexOfItemWithSubmenu(const Menu& submenu) const
{
    return indexWhere(m_items, [&](const MenuItem& i) { return i.submenu().get() == &submenu; });
}

std::shared_ptr<fnd::Object> Menu::targetForItem(const MenuItem& item)
{
    if (item.action().isNull())
        return nullptr;
    if (auto target = item.target())
        return target->respondsTo(item.action()) ? target : nullptr;
    return Application::shared().targetForAction(item.action());
}

bool Menu::validateItem(MenuItem& item)
{
    if (item.isSeparatorItem())
        return false;
    // An item that only opens a submenu is always available.
    if (item.action().isNull())
        return item.hasSubmenu();
    auto target = targetForItem(item);
    if (!target)
        return false;
    // A window showing a sheet takes nothing else until the sheet ends: actions on it or its views wait.
    std::shared_ptr<Window> window = std::dynamic_pointer_cast<Window>(target);
    if (auto view = std::dynamic_pointer_cast<View>(target))
        window = view->window();
    if (window && window->attachedSheet())
        return false;
    if (auto* validator = dynamic_cast<MenuItemValidation*>(target.get()))
        return validator->validateMenuItem(item);
    if (target->respondsTo(ValidateMenuItemSelector)) {
        auto self = item.weak_from_this().lock();
        return target->perform(ValidateMenuItemSelector, self ? fnd::Value(self) : fnd::Value()).boolValue();
    }
    return true;
}

void Menu::update()
{
    auto self = weak_from_this().lock(); // the delegate may drop the last reference
    if (auto delegate = m_delegate.lock()) {
        delegate->menuNeedsUpdate(*this);
        if (auto count = delegate->numberOfItemsInMenu(*this)) {
            const long wanted = std::max(0l, *count);
            while (numberOfItems() > wanted)
                removeItemAtIndex(numberOfItems() - 1);
            while (numberOfItems() < wanted)
                addItem(MenuItem::create({}));
            for (long i = 0; i < wanted; ++i)
                if (!delegate->menuUpdateItem(*this, *m_items[i], i, false))
                    break;
        }
    }
    if (m_autoenablesItems)
        for (const auto& item : m_items)
            item->setEnabled(validateItem(*item));
}

bool Menu::performActionForItemAtIndex(long index)
{
    auto item = itemAtIndex(index);
    if (!item || item->action().isNull())
        return false;
    if (m_autoenablesItems)
        item->setEnabled(validateItem(*item));
    if (!item->isEnabled())
        return false;
    return Application::shared().sendAction(item->action(), item->target(), fnd::Value(item));
}

namespace {

bool keyMatches(const MenuItem& item, const fnd::String& characters, unsigned long modifierFlags)
{
    if (item.keyEquivalent().isEmpty() || characters.isEmpty())
        return false;
    const auto& key = item.keyEquivalent();
    unsigned long wantedModifiers = item.keyEquivalentModifierMask();
    // An upper-case letter in the equivalent stands for the letter with Shift.
    if (key.lowercaseString() != key)
        wantedModifiers |= KeyEquivalentModifier::Shift;
    constexpr unsigned long relevant = KeyEquivalentModifier::Shift | KeyEquivalentModifier::Control
        | KeyEquivalentModifier::Option | KeyEquivalentModifier::Command;
    return key.lowercaseString() == characters.lowercaseString() && (modifierFlags & relevant) == wantedModifiers;
}

}

std::shared_ptr<MenuItem> Menu::itemForKeyEquivalent(const fnd::String& characters, unsigned long modifierFlags) const
{
    for (const auto& item : m_items) {
        if (item->isHidden())
            continue;
        if (item->submenu())
            if (auto found = item->submenu()->itemForKeyEquivalent(characters, modifierFlags))
                return found;
        if (keyMatches(*item, characters, modifierFlags))
            return item;
    }
    return nullptr;
}

bool Menu::performKeyEquivalent(const fnd::String& characters, unsigned long modifierFlags)
{
    auto item = itemForKeyEquivalent(characters, modifierFlags);
    if (!item)
        return false;
    auto menu = item->menu();
    if (menu)
        menu->update();
    return menu && menu->performActionForItemAtIndex(menu->indexOfItem(*item));
}

bool Menu::performKeyEquivalent(const Event& event)
{
    if (event.type() != EventType::KeyDown)
        return false;
    return performKeyEquivalent(event.charactersIgnoringModifiers(), event.modifierFlags());
}

bool Menu::performKeyEquivalentOfEvent(const fnd::Value& event)
{
    auto keyEvent = event.objectAs<Event>();
    return keyEvent && performKeyEquivalent(*keyEvent);
}

bool Menu::popUpMenuPositioningItem(const std::shared_ptr<MenuItem>& item, gfx::Point screenLocation)
{
    auto self = std::static_pointer_cast<Menu>(weak_from_this().lock());
    auto delegate = m_delegate.lock();
    update();
    // The item's row goes to the point: the menu's top is that far above it.
    gfx::Point topLeft = screenLocation;
    if (item && item->menu().get() == this) {
        auto layout = MenuView::layoutMenu(*this);
        for (const auto& row : layout.rows) {
            if (row.index == indexOfItem(*item))
                topLeft.y += row.rect.minY();
        }
    }
    setHighlightedItem(item);
    if (delegate)
        delegate->menuWillOpen(*this);
    const auto index = Backend::current().popUpMenu(*this, topLeft);
    setHighlightedItem(nullptr);
    if (delegate)
        delegate->menuDidClose(*this);
    auto picked = index ? itemAtIndex(*index) : nullptr;
    // A click on a separator, a disabled item or a submenu's title leaves without a choice.
    if (!picked || picked->isSeparatorItem() || !picked->isEnabled() || picked->hasSubmenu())
        return false;
    performActionForItemAtIndex(*index);
    return true;
}

bool Menu::popUpContextMenu(const std::shared_ptr<Menu>& menu, const Event& event, View& view)
{
    if (!menu)
        return false;
    auto window = view.window();
    const gfx::Point location
        = window ? window->convertBaseToScreen(event.locationInWindow()) : event.locationInWindow();
    return menu->popUpMenuPositioningItem(nullptr, location);
}

}
