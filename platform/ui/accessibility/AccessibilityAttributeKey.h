#pragma once

#include "platform/foundation/runtime/String.h"

#include <cstdint>

namespace ui {

// An attribute name (AccessibilityNames.h) as a small number, so a reader switches on it instead of comparing the
// name with each it knows in turn. Unknown stands for every other name, which readers answer as before: with their
// base class's answer, usually nil.
enum class AccessibilityAttributeKey : std::uint8_t {
    Unknown,
    Role,
    Subrole,
    RoleDescription,
    Title,
    Value,
    ValueDescription,
    Description,
    Help,
    TitleUIElement,
    Enabled,
    Focused,
    Selected,
    Position,
    Size,
    Parent,
    Children,
    SelectedChildren,
    VisibleChildren,
    Contents,
    Window,
    TopLevelUIElement,
    Orientation,
    MinValue,
    MaxValue,
    Edited,
    Invalid,
    DescribedBy,
    NumberOfCharacters,
    SelectedText,
    SelectedTextRange,
    VisibleCharacterRange,
    InsertionPointLineNumber,
    Rows,
    SelectedRows,
    VisibleRows,
    Columns,
    Header,
    Index,
    Disclosing,
    DisclosureLevel,
    Expanded,
    Tabs,
    HorizontalScrollBar,
    VerticalScrollBar,
    Main,
    Minimized,
    Modal,
    DefaultButton,
    Windows,
    MainWindow,
    FocusedWindow,
    FocusedUIElement,
    MenuBar,
    MenuItemMarkChar,
    MenuItemCmdChar,
    // Parameterized attributes.
    StringForRange,
    BoundsForRange,
    RangeForPosition,
};

// The key of an attribute name; Unknown for a name that is none of ours (names compare exactly, case included).
AccessibilityAttributeKey accessibilityAttributeKey(const fnd::String& name);

}
