#pragma once

#include "platform/foundation/Object.h"
#include "platform/ui/MenuItem.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace ui {

class Menu;

// Optional callbacks of a menu's delegate.
class MenuDelegate {
public:
    virtual ~MenuDelegate() = default;
    // Before the menu opens or validates: the delegate may rebuild it.
    virtual void menuNeedsUpdate(Menu&) { }
    // When answered, the menu is resized to that many items and each is passed to menuUpdateItem.
    virtual std::optional<long> numberOfItemsInMenu(Menu&) { return std::nullopt; }
    // false stops the update after this item.
    virtual bool menuUpdateItem(Menu&, MenuItem&, long /*index*/, bool /*shouldCancel*/) { return true; }
    virtual void menuWillOpen(Menu&) { }
    virtual void menuDidClose(Menu&) { }
};

// An object that decides for itself whether a menu item it would receive the action of is enabled.
class MenuItemValidation {
public:
    virtual ~MenuItemValidation() = default;
    virtual bool validateMenuItem(MenuItem& item) = 0;
};

// Shows a menu and answers the item picked (nullptr when dismissed). The real backend opens a pop-up; the
// headless one answers from a script (MenuScript).
class MenuPresenter {
public:
    virtual ~MenuPresenter() = default;
    virtual std::shared_ptr<MenuItem> popUpMenu(
        Menu& menu, const std::shared_ptr<MenuItem>& positioningItem, gfx::Point screenLocation)
        = 0;
};

// An ordered list of items. With auto-enabling on (the default), update() enables each item whose action has a
// target that answers it and, when the target validates menu items, agrees.
class Menu : public fnd::Object {
    FND_OBJECT(Menu)
    static void describeClass(fnd::ClassBuilder<Menu>& c);

public:
    Menu() = default;
    static std::shared_ptr<Menu> create(const fnd::String& title = {});
    // A deep copy: the items are copied too.
    std::shared_ptr<Menu> copy() const;

    const fnd::String& title() const { return m_title; }
    void setTitle(const fnd::String& title) { m_title = title; }
    // The menu whose item opens this one.
    std::shared_ptr<Menu> supermenu() const;
    bool autoenablesItems() const { return m_autoenablesItems; }
    void setAutoenablesItems(bool flag) { m_autoenablesItems = flag; }
    std::shared_ptr<MenuDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<MenuDelegate>& delegate) { m_delegate = delegate; }

    // An item belongs to one menu: adding one held by another menu raises invalid argument, as does an index out
    // of range.
    void addItem(const std::shared_ptr<MenuItem>& item);
    void insertItem(const std::shared_ptr<MenuItem>& item, long index);
    std::shared_ptr<MenuItem> addItemWithTitle(
        const fnd::String& title, fnd::Selector action = {}, const fnd::String& keyEquivalent = {});
    std::shared_ptr<MenuItem> insertItemWithTitle(
        const fnd::String& title, fnd::Selector action, const fnd::String& keyEquivalent, long index);
    void removeItem(const std::shared_ptr<MenuItem>& item);
    void removeItemAtIndex(long index);
    void removeAllItems();
    // The item gets the submenu.
    void setSubmenu(std::shared_ptr<Menu> submenu, MenuItem& item) { item.setSubmenu(std::move(submenu)); }

    long numberOfItems() const { return static_cast<long>(m_items.size()); }
    const std::vector<std::shared_ptr<MenuItem>>& itemArray() const { return m_items; }
    // nullptr out of range.
    std::shared_ptr<MenuItem> itemAtIndex(long index) const;
    std::shared_ptr<MenuItem> itemWithTitle(const fnd::String& title) const;
    std::shared_ptr<MenuItem> itemWithTag(long tag) const;
    // -1 when not found.
    long indexOfItem(const MenuItem& item) const;
    long indexOfItemWithTitle(const fnd::String& title) const;
    long indexOfItemWithTag(long tag) const;
    long indexOfItemWithRepresentedObject(const fnd::Value& object) const;
    long indexOfItemWithTarget(const fnd::Object* target, fnd::Selector action) const;
    long indexOfItemWithSubmenu(const Menu& submenu) const;

    // Lets the delegate rebuild the menu, then enables the items when the menu auto-enables them.
    void update();
    // Sends the item's action to its target, or along the responder chain when it has none; the item is the
    // sender. False when the item is disabled or nothing took the action.
    bool performActionForItemAtIndex(long index);
    // The first enabled item, searched depth-first through submenus, whose key equivalent matches; its action
    // is performed. Characters are compared case-insensitively, with an upper-case equivalent requiring Shift.
    bool performKeyEquivalent(const fnd::String& charactersIgnoringModifiers, unsigned long modifierFlags);
    std::shared_ptr<MenuItem> itemForKeyEquivalent(
        const fnd::String& charactersIgnoringModifiers, unsigned long modifierFlags) const;

    // Opens the menu at a screen point (y up) with the item under it; runs until it closes. The picked item's
    // action is performed; the answer is whether an item was picked.
    bool popUpMenuPositioningItem(const std::shared_ptr<MenuItem>& item, gfx::Point screenLocation);

    // Where the window system shows menus; the headless MenuScript when nothing else was set.
    static MenuPresenter& presenter();
    static void setPresenter(std::shared_ptr<MenuPresenter> presenter);

    // How an item without a target finds one: the application installs the responder-chain search. With none,
    // such items find no target.
    using TargetResolver = std::function<std::shared_ptr<fnd::Object>(fnd::Selector action, const fnd::Value& sender)>;
    using ActionSender = std::function<bool(
        fnd::Selector action, const std::shared_ptr<fnd::Object>& target, const fnd::Value& sender)>;
    static void setTargetResolver(TargetResolver resolver);
    static void setActionSender(ActionSender sender);
    // The target the item's action would reach now (its own, else the resolver's), or nullptr.
    static std::shared_ptr<fnd::Object> targetForItem(const MenuItem& item);
    // Whether the item would be enabled by auto-enabling.
    static bool validateItem(MenuItem& item);

private:
    friend class MenuItem;

    void adopt(const std::shared_ptr<MenuItem>& item);

    fnd::String m_title;
    std::vector<std::shared_ptr<MenuItem>> m_items;
    std::weak_ptr<MenuItem> m_parentItem;
    std::weak_ptr<MenuDelegate> m_delegate;
    bool m_autoenablesItems { true };
};

}
