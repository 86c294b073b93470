#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/ui/accessibility/AccessibilityElement.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/views/Forward.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace gfx {
class Font;
}

namespace ui {

class Menu;

// What shows a menu as its own (a pop-up button's cell), as assistive technologies see it.
class MenuAccessibilityOwner {
public:
    virtual ~MenuAccessibilityOwner() = default;
    // The element that stands for the owner, the menu's parent.
    virtual fnd::Value menuOwnerAccessibilityElement() const = 0;
    // The item the owner shows as chosen while the menu is closed; nullptr when it shows none.
    virtual std::shared_ptr<MenuItem> menuOwnerChosenItem() const { return nullptr; }
    // The item the owner shows as its own title (a pull-down's first), which is none of the menu's choices.
    virtual std::shared_ptr<MenuItem> menuOwnerTitleItem() const { return nullptr; }
    // Chooses the item as a person would through the owner; false when the menu should perform it itself.
    virtual bool menuOwnerChooseItemAtIndex(long /*index*/) { return false; }
};

// How a menu's highlighted item is told to assistive technologies: as the focus, or as selected only.
enum class MenuHighlight { Focus, Select };

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

// An ordered list of items. With auto-enabling on (the default), update() enables each item whose action has a
// target that answers it and, when the target validates menu items, agrees.
class Menu : public fnd::Object, public AccessibilityElement {
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
    // How the menu is shown: its items' font (nullptr: the menu font) and the width it has at least.
    const std::shared_ptr<gfx::Font>& font() const { return m_font; }
    void setFont(std::shared_ptr<gfx::Font> font) { m_font = std::move(font); }
    double minimumWidth() const { return m_minimumWidth; }
    void setMinimumWidth(double width) { m_minimumWidth = width < 0 ? 0 : width; }
    // The item under the keyboard or the mouse while the menu is open (before it opens: the one to start with).
    std::shared_ptr<MenuItem> highlightedItem() const { return m_highlightedItem.lock(); }
    void setHighlightedItem(const std::shared_ptr<MenuItem>& item) { m_highlightedItem = item; }

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
    // The same for a key-down event (the application offers its main menu every Command or Control key).
    bool performKeyEquivalent(const Event& event);
    std::shared_ptr<MenuItem> itemForKeyEquivalent(
        const fnd::String& charactersIgnoringModifiers, unsigned long modifierFlags) const;

    // Opens the menu with the item's top left (the menu's, without an item) at a screen point (y up), through the
    // backend (the headless one answers from its script); runs until it closes. The picked item's action is performed;
    // the answer is whether an enabled item was picked.
    bool popUpMenuPositioningItem(const std::shared_ptr<MenuItem>& item, gfx::Point screenLocation);
    // A context menu at the event's location in the view's window.
    static bool popUpContextMenu(const std::shared_ptr<Menu>& menu, const Event& event, View& view);

    // The target the item's action would reach now: its own target when it answers the action, else, without a
    // target, the first object of the application's nil-target search that answers it; nullptr when none.
    static std::shared_ptr<fnd::Object> targetForItem(const MenuItem& item);
    // Whether the item would be enabled by auto-enabling.
    static bool validateItem(MenuItem& item);

    // Accessibility (MenuAccessibility.cpp): a menu (the menu bar for the application's main menu) whose children
    // are its shown items. Its parent is the item that opens it, else its owner (the pop-up button showing it), else
    // the application for the main menu.
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    bool accessibilityIsIgnored() const override { return false; }
    void setAccessibilityOwner(const std::shared_ptr<MenuAccessibilityOwner>& owner) { m_accessibilityOwner = owner; }
    bool isMainMenu() const;
    // The window the menu shows in while it is open (a pop-up menu's own window; for a menu of the desktop's menu
    // bar, the window whose bar opened it); nullptr while it is closed. The menus the platform draws set it as they
    // open and close, a backend that shows menus itself likewise; assistive technologies hear MenuOpened and
    // MenuClosed. The main menu shows wherever the backend shows its bar.
    std::shared_ptr<Window> accessibilityWindow() const;
    void setAccessibilityShownInWindow(const std::shared_ptr<Window>& window);
    // In a menu a backend shows itself: the item the keyboard or pointer is on now (nullptr: none), highlighted and
    // told to assistive technologies as the focus, as the menus the platform draws tell theirs, or only as selected
    // (the bar's item whose menu is open).
    void accessibilityHighlightItem(const std::shared_ptr<MenuItem>& item, MenuHighlight highlight);

private:
    friend class MenuItem;

    void adopt(const std::shared_ptr<MenuItem>& item);
    bool performKeyEquivalentOfEvent(const fnd::Value& event);

    fnd::String m_title;
    std::vector<std::shared_ptr<MenuItem>> m_items;
    std::weak_ptr<MenuItem> m_parentItem;
    std::weak_ptr<MenuDelegate> m_delegate;
    bool m_autoenablesItems { true };
    std::shared_ptr<gfx::Font> m_font;
    double m_minimumWidth { 0 };
    std::weak_ptr<MenuItem> m_highlightedItem;
    std::weak_ptr<MenuAccessibilityOwner> m_accessibilityOwner;
    std::weak_ptr<Window> m_shownInWindow;
};

}
