#pragma once

#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/PopUpButtonCell.h"

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

    // Bindings besides a control's: "content" (the objects the items stand for, titled by their descriptions),
    // "contentObjects" (what each item represents instead), "contentValues" (the titles instead), "selectedIndex"
    // (the chosen item's index in the content) and "selectedObject" (the object the chosen item represents). A
    // selection marker shows as an item of its own above the content, titled with the binding's placeholder; a
    // selection the content does not hold chooses nothing.
    void pushBoundValues() override;
    void unbind(const fnd::String& binding) override;

protected:
    void takeBoundValue(const fnd::Value& value, const fnd::String& binding, const fnd::Dictionary& options) override;

private:
    struct BoundContent {
        bool hasContent { false };
        fnd::Array content;
        std::optional<fnd::Array> objects;
        std::optional<fnd::Array> values;
        fnd::String selectionBinding;
        fnd::Value selection;
        std::optional<fnd::String> placeholderTitle;
    };
    void rebuildBoundItems();
    void showBoundSelection();
    // The number of items the bound content makes.
    std::size_t boundItemCount() const;

    BoundContent m_bound;
};

}
