#pragma once

#include "platform/ui/text/TextFieldCell.h"
#include "platform/ui/views/BoundedNumbers.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace ui {

class ComboBox;

// Names of the notifications a combo box posts (object: the combo box).
namespace ComboBoxNotification {
inline const fnd::String WillPopUp = "NSComboBoxWillPopUpNotification";
inline const fnd::String WillDismiss = "NSComboBoxWillDismissNotification";
inline const fnd::String SelectionDidChange = "NSComboBoxSelectionDidChangeNotification";
inline const fnd::String SelectionIsChanging = "NSComboBoxSelectionIsChangingNotification";
}

// Where a combo box that uses a data source gets its items. The defaults are what a data source that answers
// nothing gives: no items; a string's index and completion searched among the items.
class ComboBoxDataSource {
public:
    virtual ~ComboBoxDataSource() = default;
    virtual long numberOfItemsInComboBox(ComboBox&) { return 0; }
    virtual fnd::Value comboBoxObjectValueForItemAtIndex(ComboBox&, long) { return {}; }
    // The index of the item the string stands for (NotFound for none); nullopt: not answered.
    virtual std::optional<long> comboBoxIndexOfItemWithStringValue(ComboBox&, const fnd::String&)
    {
        return std::nullopt;
    }
    // The item text that completes the typed start; nullopt: not answered.
    virtual std::optional<fnd::String> comboBoxCompletedString(ComboBox&, const fnd::String&) { return std::nullopt; }
};

// The cell of a combo box: a text field's cell with a button at its right end, and the list of items (its own, or a
// data source's) the box offers.
class ComboBoxCell : public TextFieldCell {
    UI_CELL_OBJECT(ComboBoxCell)
    static void describeClass(fnd::ClassBuilder<ComboBoxCell>& c);

public:
    ComboBoxCell() = default;

    // Items.
    bool usesDataSource() const { return m_usesDataSource; }
    void setUsesDataSource(bool flag) { m_usesDataSource = flag; }
    std::shared_ptr<ComboBoxDataSource> dataSource() const { return m_dataSource.lock(); }
    void setDataSource(const std::shared_ptr<ComboBoxDataSource>& dataSource) { m_dataSource = dataSource; }
    // An item that is a number that is not finite, the cell, its combo box or a view around the box raises
    // InvalidArgument and nothing is added: the list could not be drawn or archived.
    void addItemWithObjectValue(const fnd::Value& object);
    void addItemsWithObjectValues(const std::vector<fnd::Value>& objects);
    void insertItemWithObjectValue(const fnd::Value& object, long index);
    void removeItemWithObjectValue(const fnd::Value& object);
    void removeItemAtIndex(long index);
    void removeAllItems();
    void checkItem(const fnd::Value& object) const;
    const std::vector<fnd::Value>& objectValues() const { return m_items; }
    long numberOfItems() const;
    fnd::Value itemObjectValueAtIndex(long index) const;
    // The item as the box shows it (through the formatter).
    fnd::String itemStringAtIndex(long index) const;
    long indexOfItemWithObjectValue(const fnd::Value& object) const;
    // The item a text stands for; NotFound for none.
    long indexOfItemWithStringValue(const fnd::String& string) const;
    // The first item that begins with the text (ignoring case), or nullopt.
    std::optional<fnd::String> completedString(const fnd::String& string) const;

    // The chosen item: -1 for none.
    long indexOfSelectedItem() const { return m_selectedIndex; }
    fnd::Value objectValueOfSelectedItem() const;
    void setSelectedIndex(long index) { m_selectedIndex = index; }

    bool completes() const { return m_completes; }
    void setCompletes(bool flag) { m_completes = flag; }
    long numberOfVisibleItems() const { return m_numberOfVisibleItems; }
    // From 1 to the largest count an archive holds (a 32-bit integer).
    void setNumberOfVisibleItems(long count)
    {
        m_numberOfVisibleItems = std::clamp(count, 1L, long(std::numeric_limits<std::int32_t>::max()));
    }
    // 0: a line of the font with a little room. A height is a length (boundedLength), as archives hold it.
    double itemHeight() const;
    void setItemHeight(double height) { m_itemHeight = boundedLength(height, m_itemHeight); }
    bool isButtonBordered() const { return m_buttonBordered; }
    void setButtonBordered(bool flag) { m_buttonBordered = flag; }

    // Geometry and drawing: the text stops where the button begins.
    gfx::Rect buttonRectForBounds(gfx::Rect bounds) const;
    gfx::Rect drawingRectForBounds(gfx::Rect bounds) const override;
    gfx::Size cellSizeForBounds(gfx::Rect bounds) const override;
    void drawWithFrame(gfx::Rect cellFrame, View& controlView) override;

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    ComboBox* comboBox() const;

    std::vector<fnd::Value> m_items;
    bool m_usesDataSource { false };
    std::weak_ptr<ComboBoxDataSource> m_dataSource;
    long m_selectedIndex { -1 };
    bool m_completes { false };
    long m_numberOfVisibleItems { 5 };
    double m_itemHeight { 0 };
    bool m_buttonBordered { true };
};

}
