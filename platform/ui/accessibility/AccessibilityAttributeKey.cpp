#include "platform/ui/accessibility/AccessibilityAttributeKey.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace ui {

namespace {

using K = AccessibilityAttributeKey;

struct AttributeKeyEntry {
    std::u16string_view name;
    AccessibilityAttributeKey key;
};

constexpr std::array<AttributeKeyEntry, std::size_t(K::RangeForPosition)> AttributeKeyNames { {
    { u"AXRole", K::Role },
    { u"AXSubrole", K::Subrole },
    { u"AXRoleDescription", K::RoleDescription },
    { u"AXTitle", K::Title },
    { u"AXValue", K::Value },
    { u"AXValueDescription", K::ValueDescription },
    { u"AXDescription", K::Description },
    { u"AXHelp", K::Help },
    { u"AXTitleUIElement", K::TitleUIElement },
    { u"AXEnabled", K::Enabled },
    { u"AXFocused", K::Focused },
    { u"AXSelected", K::Selected },
    { u"AXPosition", K::Position },
    { u"AXSize", K::Size },
    { u"AXParent", K::Parent },
    { u"AXChildren", K::Children },
    { u"AXSelectedChildren", K::SelectedChildren },
    { u"AXVisibleChildren", K::VisibleChildren },
    { u"AXContents", K::Contents },
    { u"AXWindow", K::Window },
    { u"AXTopLevelUIElement", K::TopLevelUIElement },
    { u"AXOrientation", K::Orientation },
    { u"AXMinValue", K::MinValue },
    { u"AXMaxValue", K::MaxValue },
    { u"AXEdited", K::Edited },
    { u"AXNumberOfCharacters", K::NumberOfCharacters },
    { u"AXSelectedText", K::SelectedText },
    { u"AXSelectedTextRange", K::SelectedTextRange },
    { u"AXVisibleCharacterRange", K::VisibleCharacterRange },
    { u"AXInsertionPointLineNumber", K::InsertionPointLineNumber },
    { u"AXRows", K::Rows },
    { u"AXSelectedRows", K::SelectedRows },
    { u"AXVisibleRows", K::VisibleRows },
    { u"AXColumns", K::Columns },
    { u"AXHeader", K::Header },
    { u"AXIndex", K::Index },
    { u"AXDisclosing", K::Disclosing },
    { u"AXDisclosureLevel", K::DisclosureLevel },
    { u"AXExpanded", K::Expanded },
    { u"AXTabs", K::Tabs },
    { u"AXHorizontalScrollBar", K::HorizontalScrollBar },
    { u"AXVerticalScrollBar", K::VerticalScrollBar },
    { u"AXMain", K::Main },
    { u"AXMinimized", K::Minimized },
    { u"AXModal", K::Modal },
    { u"AXDefaultButton", K::DefaultButton },
    { u"AXWindows", K::Windows },
    { u"AXMainWindow", K::MainWindow },
    { u"AXFocusedWindow", K::FocusedWindow },
    { u"AXFocusedUIElement", K::FocusedUIElement },
    { u"AXMenuBar", K::MenuBar },
    { u"AXMenuItemMarkChar", K::MenuItemMarkChar },
    { u"AXMenuItemCmdChar", K::MenuItemCmdChar },
    { u"AXStringForRange", K::StringForRange },
    { u"AXBoundsForRange", K::BoundsForRange },
    { u"AXRangeForPosition", K::RangeForPosition },
} };

// Every name is at least six units long. Its slot comes from its length and three of its units; the factors were
// searched for so that no two names share a slot (checked below), and a name is then found with one comparison.
constexpr std::size_t AttributeKeyShortest = 6;
constexpr std::size_t AttributeKeySlots = 256;

constexpr std::size_t attributeKeySlot(std::u16string_view name)
{
    const std::size_t length = name.size();
    return (length * 116 + std::size_t(name[4]) * 7 + std::size_t(name[length - 1]) * 3 + std::size_t(name[length / 2]))
        % AttributeKeySlots;
}

// Each slot holds the index of its name in AttributeKeyNames plus one; 0 is a slot no name has.
constexpr auto AttributeKeySlotTable = [] {
    std::array<std::uint8_t, AttributeKeySlots> slots {};
    for (std::size_t i = 0; i < AttributeKeyNames.size(); ++i)
        slots[attributeKeySlot(AttributeKeyNames[i].name)] = std::uint8_t(i + 1);
    return slots;
}();

constexpr bool attributeKeyTableIsSound()
{
    for (std::size_t i = 0; i < AttributeKeyNames.size(); ++i) {
        const auto& entry = AttributeKeyNames[i];
        // One row per key, in the enumeration's order, each in a slot of its own.
        if (entry.key != AccessibilityAttributeKey(i + 1) || entry.name.size() < AttributeKeyShortest
            || AttributeKeySlotTable[attributeKeySlot(entry.name)] != i + 1)
            return false;
    }
    return true;
}
static_assert(attributeKeyTableIsSound());

}

AccessibilityAttributeKey accessibilityAttributeKey(const fnd::String& name)
{
    // No loop of our own: every request passes here, and the fuzzer would count a loop's trips as features.
    const auto view = name.view();
    if (view.size() < AttributeKeyShortest)
        return K::Unknown;
    const auto index = AttributeKeySlotTable[attributeKeySlot(view)];
    if (index == 0)
        return K::Unknown;
    const auto& entry = AttributeKeyNames[index - 1];
    return entry.name == view ? entry.key : K::Unknown;
}

}
