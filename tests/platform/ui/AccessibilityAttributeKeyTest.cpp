#include "platform/ui/accessibility/AccessibilityAttributeKey.h"
#include "platform/ui/accessibility/AccessibilityNames.h"

#include <gtest/gtest.h>

#include <utility>

using namespace ui;

namespace {

namespace A = AccessibilityAttribute;
namespace P = AccessibilityParameterizedAttribute;
using K = AccessibilityAttributeKey;

}

// Every name of the protocol finds its own key, whichever string holds it; a name that differs in any way finds none.
TEST(AccessibilityAttributeKey, EveryNameFindsItsOwnKeyAndNoOtherNameFindsOne)
{
    const std::pair<fnd::String, K> names[] = {
        { A::Role, K::Role },
        { A::Subrole, K::Subrole },
        { A::RoleDescription, K::RoleDescription },
        { A::Title, K::Title },
        { A::Value, K::Value },
        { A::ValueDescription, K::ValueDescription },
        { A::Description, K::Description },
        { A::Help, K::Help },
        { A::TitleUIElement, K::TitleUIElement },
        { A::Enabled, K::Enabled },
        { A::Focused, K::Focused },
        { A::Selected, K::Selected },
        { A::Position, K::Position },
        { A::Size, K::Size },
        { A::Parent, K::Parent },
        { A::Children, K::Children },
        { A::SelectedChildren, K::SelectedChildren },
        { A::VisibleChildren, K::VisibleChildren },
        { A::Contents, K::Contents },
        { A::Window, K::Window },
        { A::TopLevelUIElement, K::TopLevelUIElement },
        { A::Orientation, K::Orientation },
        { A::MinValue, K::MinValue },
        { A::MaxValue, K::MaxValue },
        { A::Edited, K::Edited },
        { A::Invalid, K::Invalid },
        { A::DescribedBy, K::DescribedBy },
        { A::NumberOfCharacters, K::NumberOfCharacters },
        { A::SelectedText, K::SelectedText },
        { A::SelectedTextRange, K::SelectedTextRange },
        { A::VisibleCharacterRange, K::VisibleCharacterRange },
        { A::InsertionPointLineNumber, K::InsertionPointLineNumber },
        { A::Rows, K::Rows },
        { A::SelectedRows, K::SelectedRows },
        { A::VisibleRows, K::VisibleRows },
        { A::Columns, K::Columns },
        { A::Header, K::Header },
        { A::Index, K::Index },
        { A::Disclosing, K::Disclosing },
        { A::DisclosureLevel, K::DisclosureLevel },
        { A::Expanded, K::Expanded },
        { A::Tabs, K::Tabs },
        { A::HorizontalScrollBar, K::HorizontalScrollBar },
        { A::VerticalScrollBar, K::VerticalScrollBar },
        { A::Main, K::Main },
        { A::Minimized, K::Minimized },
        { A::Modal, K::Modal },
        { A::DefaultButton, K::DefaultButton },
        { A::Windows, K::Windows },
        { A::MainWindow, K::MainWindow },
        { A::FocusedWindow, K::FocusedWindow },
        { A::FocusedUIElement, K::FocusedUIElement },
        { A::MenuBar, K::MenuBar },
        { A::MenuItemMarkChar, K::MenuItemMarkChar },
        { A::MenuItemCmdChar, K::MenuItemCmdChar },
        { P::StringForRange, K::StringForRange },
        { P::BoundsForRange, K::BoundsForRange },
        { P::RangeForPosition, K::RangeForPosition },
    };
    for (const auto& [name, key] : names) {
        EXPECT_EQ(accessibilityAttributeKey(name), key) << name.utf8();
        // A copy made at run time, as a request off the bus arrives.
        EXPECT_EQ(accessibilityAttributeKey(fnd::String(name.utf8())), key) << name.utf8();
    }

    const char16_t* others[] = { u"", u"AX", u"Role", u"AXrole", u"axRole", u"AXRol", u"AXRoles", u"AXRole ",
        u" AXRole", u"AXSizes", u"AXMenuItemCmdCha", u"AXRangeForPositio", u"AXTitleUIElementX",
        u"AXInsertionPointLineNumbers", u"AXWindowZ", u"AXZZZZ" };
    for (const auto* other : others)
        EXPECT_EQ(accessibilityAttributeKey(fnd::String(other)), K::Unknown) << fnd::String(other).utf8();
    EXPECT_EQ(accessibilityAttributeKey(fnd::String(std::u16string(u"AXRole\0", 7))), K::Unknown);
}
