#pragma once

#include "platform/ui/controls/ButtonCell.h"
#include "platform/ui/menus/Menu.h"

namespace ui {

// Where a pop-up button draws its arrows, with the platform's values.
enum class PopUpArrowPosition { NoArrow = 0, ArrowAtCenter = 1, ArrowAtBottom = 2 };

// Posted (object: the pop-up button, or the cell when it has no control) just before the menu opens.
inline const fnd::String PopUpButtonWillPopUpNotification = "NSPopUpButtonWillPopUpNotification";

// The cell of pop-up buttons: a menu whose selected item the button shows (a pop-up), or a menu under a fixed title
// that is the first item (a pull-down, whose first item is not offered in the open menu). Choosing an item selects
// it (marking it on, when the cell alters the state of the selected item) and sends the item's own action when it
// has one, else the button's. The menu is shown through the backend; a pop-up puts the selected item over the
// button, a pull-down opens below it.
//
// Drawing: drawWithFrame → drawBorderAndBackgroundWithFrame (drawBezelWithFrame when bordered, then the arrows) →
// drawInteriorWithFrame (the item's image and title).
class PopUpButtonCell : public ButtonCell, public MenuAccessibilityOwner {
    UI_CELL_OBJECT(PopUpButtonCell)
    static void describeClass(fnd::ClassBuilder<PopUpButtonCell>& c);

public:
    PopUpButtonCell() = default;
    void init();
    void initTextCell(const fnd::String& title, bool pullsDown = false);
    // Also copies the menu.
    std::shared_ptr<Cell> copy() const override;

    std::shared_ptr<Menu> popUpMenu() const { return menu(); }
    void setMenu(std::shared_ptr<Menu> menu) override;
    bool pullsDown() const { return m_pullsDown; }
    virtual void setPullsDown(bool flag);
    bool autoenablesItems() const;
    void setAutoenablesItems(bool flag);
    PopUpArrowPosition arrowPosition() const { return m_arrowPosition; }
    void setArrowPosition(PopUpArrowPosition position);
    RectEdge preferredEdge() const { return m_preferredEdge; }
    void setPreferredEdge(RectEdge edge)
    {
        if (isWithin(edge, RectEdge::MinX, RectEdge::MaxY))
            m_preferredEdge = edge;
    }
    // Whether the button shows the selected item's title and image (else its own).
    bool usesItemFromMenu() const { return m_usesItemFromMenu; }
    void setUsesItemFromMenu(bool flag);
    bool altersStateOfSelectedItem() const { return m_altersStateOfSelectedItem; }
    void setAltersStateOfSelectedItem(bool flag);

    // Items.
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
    long indexOfItemWithTarget(const fnd::Object* target, fnd::Selector action) const;
    std::shared_ptr<MenuItem> itemAtIndex(long index) const;
    std::shared_ptr<MenuItem> itemWithTitle(const fnd::String& title) const;
    std::shared_ptr<MenuItem> lastItem() const;
    fnd::String itemTitleAtIndex(long index) const;
    std::vector<fnd::String> itemTitles() const;

    // Selection. Out-of-range indexes select nothing.
    virtual void selectItem(const std::shared_ptr<MenuItem>& item);
    virtual void selectItemAtIndex(long index);
    bool selectItemWithTitle(const fnd::String& title);
    bool selectItemWithTag(long tag);
    std::shared_ptr<MenuItem> selectedItem() const { return m_selectedItem.lock(); }
    long indexOfSelectedItem() const;
    long selectedTag() const;
    fnd::String titleOfSelectedItem() const;
    // Makes the title and image the button shows match the selected item again.
    void synchronizeTitleAndSelectedItem();

    // A pop-up shows the selected item's title; setting a title selects the item with that title (adding it when
    // there is none). A pull-down's title is its first item's.
    fnd::String title() const override;
    void setTitle(const fnd::String& title) override;
    // The value is the index of the selected item.
    fnd::Value objectValue() const override;
    void setObjectValue(const fnd::Value& value) override;
    fnd::String stringValue() const override;
    std::int64_t integerValue() const override;
    double doubleValue() const override;

    // Opens the menu for the frame of the view and runs it until it closes; the choice is then acted on.
    virtual void attachPopUpWithFrame(gfx::Rect cellFrame, View& controlView);
    virtual void dismissPopUp();
    void performClickWithFrame(gfx::Rect frame, View& controlView) override;
    // The menu opens as the mouse goes down; answers true (the mouse is handled).
    bool trackMouse(const Event& event, gfx::Rect cellFrame, View& controlView, bool untilMouseUp) override;
    void setNextState() override { }

    gfx::Size cellSizeForBounds(gfx::Rect bounds) const override;
    // One line of the control size's height, whatever the items say: the focus ring asks it with every change of
    // first responder, and the width would measure every item.
    double naturalHeight() const override;
    gfx::Rect drawingRectForBounds(gfx::Rect bounds) const override;
    gfx::Rect titleRectForBounds(gfx::Rect bounds) const override;
    gfx::Rect imageRectForBounds(gfx::Rect bounds) const override;
    void drawWithFrame(gfx::Rect cellFrame, View& controlView) override;
    virtual void drawBorderAndBackgroundWithFrame(gfx::Rect cellFrame, View& controlView);
    void drawInteriorWithFrame(gfx::Rect cellFrame, View& controlView) override;
    // The strip at the trailing edge that holds the arrows.
    gfx::Rect arrowRectForBounds(gfx::Rect bounds) const;

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

    // Accessibility: a pop-up button (a menu button when it pulls down) whose value is the selected title and whose
    // child is its menu; choosing an item of that menu selects it.
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    std::vector<fnd::String> accessibilityActionNames() const override;
    void accessibilityPerformAction(const fnd::String& action) override;
    // Acts on a choice of the item as the open menu does (assistive technologies choose without opening it): a
    // choosable item is selected and its action, or the cell's, is sent.
    void chooseItemAtIndex(long index);
    // The cell as its menu's owner: the pop-up is the menu's parent, its choice the closed menu's selected item.
    fnd::Value menuOwnerAccessibilityElement() const override { return accessibilityRepresentative(); }
    std::shared_ptr<MenuItem> menuOwnerChosenItem() const override { return selectedItem(); }
    std::shared_ptr<MenuItem> menuOwnerTitleItem() const override { return m_pullsDown ? itemAtIndex(0) : nullptr; }
    bool menuOwnerChooseItemAtIndex(long index) override
    {
        chooseItemAtIndex(index);
        return true;
    }

protected:
    // The item whose title and image the button shows.
    std::shared_ptr<MenuItem> shownItem() const;

private:
    // Enables the items as the menu's validation would, counting the items without an action as the cell's own.
    void validateItems();
    void noteMenuChanged();
    // Takes the menu as the cell's own (also for its accessibility).
    void adoptMenu(std::shared_ptr<Menu> menu);

    bool m_pullsDown { false };
    bool m_usesItemFromMenu { true };
    bool m_altersStateOfSelectedItem { true };
    PopUpArrowPosition m_arrowPosition { PopUpArrowPosition::ArrowAtCenter };
    RectEdge m_preferredEdge { RectEdge::MaxY };
    std::weak_ptr<MenuItem> m_selectedItem;
    bool m_tracking { false };
};

}
