#pragma once

#include <optional>

#include "platform/ui/text/ComboBoxCell.h"
#include "platform/ui/text/TextField.h"

namespace ui {

namespace detail {
class ComboBoxAccessibilityList;
class ComboBoxListView;
}

// A text field with a list of items to choose from, shown below it in a window of its own: opened by the button at
// its right end or the Down key, driven by the mouse (a click on an item chooses it; a click elsewhere closes the
// list) and the keyboard (Up and Down move through the items, Return chooses, Escape closes). Choosing an item puts
// its text in the field and sends the action; Return sends it for typed text too, which the formatter reads as for
// any field. While typing at the end, a box that completes fills in the rest of the first item that begins with the
// typed text, selected, so typing on replaces it.
class ComboBox : public TextField {
    FND_OBJECT(ComboBox)
    static void describeClass(fnd::ClassBuilder<ComboBox>& c);

public:
    ComboBox() = default;
    ~ComboBox() override;
    static std::shared_ptr<ComboBox> create(gfx::Rect frame = {});
    std::shared_ptr<Cell> makeCell() const override;
    std::shared_ptr<ComboBoxCell> comboBoxCell() const { return std::dynamic_pointer_cast<ComboBoxCell>(cell()); }

    // Items (forwarded to the cell).
    bool usesDataSource() const;
    void setUsesDataSource(bool flag);
    std::shared_ptr<ComboBoxDataSource> dataSource() const;
    void setDataSource(const std::shared_ptr<ComboBoxDataSource>& dataSource);
    void addItemWithObjectValue(const fnd::Value& object);
    void addItemsWithObjectValues(const std::vector<fnd::Value>& objects);
    void insertItemWithObjectValue(const fnd::Value& object, long index);
    void removeItemWithObjectValue(const fnd::Value& object);
    void removeItemAtIndex(long index);
    void removeAllItems();
    std::vector<fnd::Value> objectValues() const;
    long numberOfItems() const;
    fnd::Value itemObjectValueAtIndex(long index) const;
    long indexOfItemWithObjectValue(const fnd::Value& object) const;
    // The data source's answer, else the first item whose text equals the string; NotFound for none.
    long indexOfItemWithStringValue(const fnd::String& string) const;
    // The list changed: it is shown again from the data source.
    void reloadData();
    void noteNumberOfItemsChanged() { reloadData(); }

    // The chosen item: selecting one shows its text in the field and tells observers.
    long indexOfSelectedItem() const;
    fnd::Value objectValueOfSelectedItem() const;
    void selectItemAtIndex(long index);
    void selectItemWithObjectValue(const fnd::Value& object);
    void deselectItemAtIndex(long index);

    bool completes() const;
    void setCompletes(bool flag);
    long numberOfVisibleItems() const;
    void setNumberOfVisibleItems(long count);
    double itemHeight() const;
    void setItemHeight(double height);

    // The list.
    bool isListShown() const { return m_listWindow != nullptr; }
    // Shows the list below the box (the selected item highlighted), or closes it.
    void showList();
    void closeList();
    // The item the list highlights: -1 for none.
    long highlightedIndex() const { return m_highlighted; }
    void setHighlightedIndex(long index);
    const std::shared_ptr<Window>& listWindow() const { return m_listWindow; }

    void mouseDown(const Event& event) override;
    bool textViewShouldChangeTextInRange(
        TextView& fieldEditor, fnd::Range range, const fnd::String* replacement) override;
    void textDidChange(const fnd::Notification& notification) override;
    void textDidEndEditing(const fnd::Notification& notification) override;
    bool textViewDoCommandBySelector(TextView& fieldEditor, fnd::Selector selector) override;

    // Where the list shows the item on the screen; nullopt while the list is closed or the item out of its view.
    std::optional<gfx::Rect> listRectOfItem(long index) const;

    // Accessibility (ComboBoxAccessibility.cpp): a combo box answering as its text field does, with its list as its
    // child (a list of the items, each a row named by its text, shown while the list is open).
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;

private:
    friend class detail::ComboBoxAccessibilityList;
    friend class detail::ComboBoxListView;
    // Tells assistive technologies of a change of the list, once its element exists.
    void accessibilityListChanged(const fnd::String& notification);
    mutable std::shared_ptr<detail::ComboBoxAccessibilityList> m_accessibilityList;
    // Takes the item from the list: its text, the selection, the action, and the list closes.
    void chooseItem(long index);
    void postNotification(const fnd::String& name);

    std::shared_ptr<Window> m_listWindow;
    long m_listMonitor { 0 }; // closes the list when a press lands anywhere else
    long m_highlighted { -1 };
    // The text the field held when the list opened, while it is open.
    std::optional<fnd::String> m_textBeforeList;
    // The change being typed adds to the end of the text, so completion may fill in the rest.
    bool m_typingAtEnd { false };
};

}
