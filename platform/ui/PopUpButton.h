#pragma once

#include "platform/ui/Button.h"
#include "platform/ui/PopUpButtonCell.h"

namespace ui {

// A button that opens a menu: a pop-up showing the chosen item, or a pull-down with a fixed title. Everything is
// forwarded to its PopUpButtonCell. With the keyboard, Space, Up and Down open the menu.
class PopUpButton : public Button {
    FND_OBJECT(PopUpButton)
    static void describeClass(fnd::ClassBuilder<PopUpButton>& c);

public:
    PopUpButton() = default;
    static std::shared_ptr<PopUpButton> create(gfx::Rect frame = {}, bool pullsDown = false);

    std::shared_ptr<Cell> makeCell() const override;
    std::shared_ptr<PopUpButtonCell> popUpCell() const { return std::dynamic_pointer_cast<PopUpButtonCell>(cell()); }

    // The pop-up's menu (which is also the menu the button answers as a responder).
    std::shared_ptr<Menu> menu() const;
    void setMenu(const std::shared_ptr<Menu>& menu) override;
    bool pullsDown() const;
    void setPullsDown(bool flag);
    bool autoenablesItems() const;
    void setAutoenablesItems(bool flag);
    RectEdge preferredEdge() const;
    void setPreferredEdge(RectEdge edge);

    void addItemWithTitle(const fnd::String& title);
    void addItemsWithTitles(const std::vector<fnd::String>& titles);
    void insertItemWithTitle(const fnd::String& title, long index);
    void removeItemWithTitle(const fnd::String& title);
    void removeItemAtIndex(long index);
    void removeAllItems();
    const std::vector<std::shared_ptr<MenuItem>>& itemArray() const;
    long numberOfItems() const;
    long indexOfItem(const MenuItem& item) const;
    long indexOfItemWithTitle(const fnd::String& title) const;
    long indexOfItemWithTag(long tag) const;
    long indexOfItemWithRepresentedObject(const fnd::Value& object) const;
    std::shared_ptr<MenuItem> itemAtIndex(long index) const;
    std::shared_ptr<MenuItem> itemWithTitle(const fnd::String& title) const;
    std::shared_ptr<MenuItem> lastItem() const;
    fnd::String itemTitleAtIndex(long index) const;
    std::vector<fnd::String> itemTitles() const;

    void selectItem(const std::shared_ptr<MenuItem>& item);
    void selectItemAtIndex(long index);
    bool selectItemWithTitle(const fnd::String& title);
    bool selectItemWithTag(long tag);
    std::shared_ptr<MenuItem> selectedItem() const;
    long indexOfSelectedItem() const;
    long selectedTag() const;
    fnd::String titleOfSelectedItem() const;
    void synchronizeTitleAndSelectedItem();

    void keyDown(const Event& event) override;
    // The menu replaces the context menu.
    std::shared_ptr<Menu> menuForEvent(const Event& event) override { return (void)event, nullptr; }
};

}
