#include "platform/ui/accessibility/AccessibilityAttributeKey.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

namespace ui {

namespace {

using AttributeKeyOrder = std::pair<std::size_t, std::u16string_view>;

// Ordered by length first: most steps of the search then end on the lengths without reading the text.
struct AttributeKeyEntry {
    AttributeKeyOrder order;
    AccessibilityAttributeKey key;
};

constexpr AttributeKeyEntry attributeKeyEntry(std::u16string_view name, AccessibilityAttributeKey key)
{
    return { { name.size(), name }, key };
}

using K = AccessibilityAttributeKey;

constexpr auto AttributeKeyTable = [] {
    std::array table {
        attributeKeyEntry(u"AXRole", K::Role),
        attributeKeyEntry(u"AXSubrole", K::Subrole),
        attributeKeyEntry(u"AXRoleDescription", K::RoleDescription),
        attributeKeyEntry(u"AXTitle", K::Title),
        attributeKeyEntry(u"AXValue", K::Value),
        attributeKeyEntry(u"AXValueDescription", K::ValueDescription),
        attributeKeyEntry(u"AXDescription", K::Description),
        attributeKeyEntry(u"AXHelp", K::Help),
        attributeKeyEntry(u"AXTitleUIElement", K::TitleUIElement),
        attributeKeyEntry(u"AXEnabled", K::Enabled),
        attributeKeyEntry(u"AXFocused", K::Focused),
        attributeKeyEntry(u"AXSelected", K::Selected),
        attributeKeyEntry(u"AXPosition", K::Position),
        attributeKeyEntry(u"AXSize", K::Size),
        attributeKeyEntry(u"AXParent", K::Parent),
        attributeKeyEntry(u"AXChildren", K::Children),
        attributeKeyEntry(u"AXSelectedChildren", K::SelectedChildren),
        attributeKeyEntry(u"AXVisibleChildren", K::VisibleChildren),
        attributeKeyEntry(u"AXContents", K::Contents),
        attributeKeyEntry(u"AXWindow", K::Window),
        attributeKeyEntry(u"AXTopLevelUIElement", K::TopLevelUIElement),
        attributeKeyEntry(u"AXOrientation", K::Orientation),
        attributeKeyEntry(u"AXMinValue", K::MinValue),
        attributeKeyEntry(u"AXMaxValue", K::MaxValue),
        attributeKeyEntry(u"AXEdited", K::Edited),
        attributeKeyEntry(u"AXInvalid", K::Invalid),
        attributeKeyEntry(u"AXDescribedBy", K::DescribedBy),
        attributeKeyEntry(u"AXNumberOfCharacters", K::NumberOfCharacters),
        attributeKeyEntry(u"AXSelectedText", K::SelectedText),
        attributeKeyEntry(u"AXSelectedTextRange", K::SelectedTextRange),
        attributeKeyEntry(u"AXVisibleCharacterRange", K::VisibleCharacterRange),
        attributeKeyEntry(u"AXInsertionPointLineNumber", K::InsertionPointLineNumber),
        attributeKeyEntry(u"AXRows", K::Rows),
        attributeKeyEntry(u"AXSelectedRows", K::SelectedRows),
        attributeKeyEntry(u"AXVisibleRows", K::VisibleRows),
        attributeKeyEntry(u"AXColumns", K::Columns),
        attributeKeyEntry(u"AXHeader", K::Header),
        attributeKeyEntry(u"AXIndex", K::Index),
        attributeKeyEntry(u"AXDisclosing", K::Disclosing),
        attributeKeyEntry(u"AXDisclosureLevel", K::DisclosureLevel),
        attributeKeyEntry(u"AXExpanded", K::Expanded),
        attributeKeyEntry(u"AXTabs", K::Tabs),
        attributeKeyEntry(u"AXHorizontalScrollBar", K::HorizontalScrollBar),
        attributeKeyEntry(u"AXVerticalScrollBar", K::VerticalScrollBar),
        attributeKeyEntry(u"AXMain", K::Main),
        attributeKeyEntry(u"AXMinimized", K::Minimized),
        attributeKeyEntry(u"AXModal", K::Modal),
        attributeKeyEntry(u"AXDefaultButton", K::DefaultButton),
        attributeKeyEntry(u"AXWindows", K::Windows),
        attributeKeyEntry(u"AXMainWindow", K::MainWindow),
        attributeKeyEntry(u"AXFocusedWindow", K::FocusedWindow),
        attributeKeyEntry(u"AXFocusedUIElement", K::FocusedUIElement),
        attributeKeyEntry(u"AXMenuBar", K::MenuBar),
        attributeKeyEntry(u"AXMenuItemMarkChar", K::MenuItemMarkChar),
        attributeKeyEntry(u"AXMenuItemCmdChar", K::MenuItemCmdChar),
        attributeKeyEntry(u"AXStringForRange", K::StringForRange),
        attributeKeyEntry(u"AXBoundsForRange", K::BoundsForRange),
        attributeKeyEntry(u"AXRangeForPosition", K::RangeForPosition),
    };
    std::ranges::sort(table, {}, &AttributeKeyEntry::order);
    return table;
}();

// One row per key but Unknown, and no name twice.
static_assert(AttributeKeyTable.size() == std::size_t(K::RangeForPosition));
static_assert(std::ranges::adjacent_find(AttributeKeyTable, {}, &AttributeKeyEntry::order) == AttributeKeyTable.end());

}

AccessibilityAttributeKey accessibilityAttributeKey(const fnd::String& name)
{
    // The search and its comparisons are the library's: a loop of our own would be walked by every request.
    const AttributeKeyOrder wanted { name.units().size(), name.view() };
    auto found = std::ranges::lower_bound(AttributeKeyTable, wanted, {}, &AttributeKeyEntry::order);
    return found != AttributeKeyTable.end() && found->order == wanted ? found->key : K::Unknown;
}

}
