#pragma once

#include "platform/foundation/runtime/String.h"

// The names of the accessibility protocol: attributes, roles, subroles, actions and notifications, with the
// platform's values. Elements answer attributes by these names; assistive technologies read them through the
// desktop's accessibility bus.
namespace ui {

namespace AccessibilityAttribute {
inline const fnd::String Role = "AXRole";
inline const fnd::String Subrole = "AXSubrole";
inline const fnd::String RoleDescription = "AXRoleDescription";
inline const fnd::String Title = "AXTitle";
inline const fnd::String Value = "AXValue";
inline const fnd::String ValueDescription = "AXValueDescription";
inline const fnd::String Description = "AXDescription";
inline const fnd::String Help = "AXHelp";
inline const fnd::String TitleUIElement = "AXTitleUIElement";
inline const fnd::String Enabled = "AXEnabled";
inline const fnd::String Focused = "AXFocused";
inline const fnd::String Selected = "AXSelected";
inline const fnd::String Position = "AXPosition";
inline const fnd::String Size = "AXSize";
inline const fnd::String Parent = "AXParent";
inline const fnd::String Children = "AXChildren";
inline const fnd::String SelectedChildren = "AXSelectedChildren";
inline const fnd::String VisibleChildren = "AXVisibleChildren";
inline const fnd::String Contents = "AXContents";
inline const fnd::String Window = "AXWindow";
inline const fnd::String TopLevelUIElement = "AXTopLevelUIElement";
inline const fnd::String Orientation = "AXOrientation";
inline const fnd::String MinValue = "AXMinValue";
inline const fnd::String MaxValue = "AXMaxValue";
inline const fnd::String Edited = "AXEdited";
// Whether the element holds a value it cannot take (a field whose content is refused): a boolean.
inline const fnd::String Invalid = "AXInvalid";
// The elements whose text describes this one (the error and the hint beside a field), in reading order.
inline const fnd::String DescribedBy = "AXDescribedBy";
// Text.
inline const fnd::String NumberOfCharacters = "AXNumberOfCharacters";
inline const fnd::String SelectedText = "AXSelectedText";
inline const fnd::String SelectedTextRange = "AXSelectedTextRange";
inline const fnd::String VisibleCharacterRange = "AXVisibleCharacterRange";
inline const fnd::String InsertionPointLineNumber = "AXInsertionPointLineNumber";
// Tables and outlines.
inline const fnd::String Rows = "AXRows";
inline const fnd::String SelectedRows = "AXSelectedRows";
inline const fnd::String VisibleRows = "AXVisibleRows";
inline const fnd::String Columns = "AXColumns";
inline const fnd::String Header = "AXHeader";
inline const fnd::String Index = "AXIndex";
inline const fnd::String Disclosing = "AXDisclosing";
inline const fnd::String DisclosureLevel = "AXDisclosureLevel";
inline const fnd::String Expanded = "AXExpanded";
// Tab views and scroll views.
inline const fnd::String Tabs = "AXTabs";
inline const fnd::String HorizontalScrollBar = "AXHorizontalScrollBar";
inline const fnd::String VerticalScrollBar = "AXVerticalScrollBar";
// Windows and the application.
inline const fnd::String Main = "AXMain";
inline const fnd::String Minimized = "AXMinimized";
inline const fnd::String Modal = "AXModal";
inline const fnd::String DefaultButton = "AXDefaultButton";
inline const fnd::String Windows = "AXWindows";
inline const fnd::String MainWindow = "AXMainWindow";
inline const fnd::String FocusedWindow = "AXFocusedWindow";
inline const fnd::String FocusedUIElement = "AXFocusedUIElement";
inline const fnd::String MenuBar = "AXMenuBar";
// Menu items.
inline const fnd::String MenuItemMarkChar = "AXMenuItemMarkChar";
inline const fnd::String MenuItemCmdChar = "AXMenuItemCmdChar";
}

// Attributes that take a parameter (text elements): a range gives its string or its rectangle on the screen, a
// screen point the one-character range under it.
namespace AccessibilityParameterizedAttribute {
inline const fnd::String StringForRange = "AXStringForRange";
inline const fnd::String BoundsForRange = "AXBoundsForRange";
inline const fnd::String RangeForPosition = "AXRangeForPosition";
}

namespace AccessibilityRole {
inline const fnd::String Application = "AXApplication";
inline const fnd::String Window = "AXWindow";
inline const fnd::String Sheet = "AXSheet";
inline const fnd::String Button = "AXButton";
inline const fnd::String CheckBox = "AXCheckBox";
inline const fnd::String RadioButton = "AXRadioButton";
inline const fnd::String RadioGroup = "AXRadioGroup";
inline const fnd::String PopUpButton = "AXPopUpButton";
inline const fnd::String MenuButton = "AXMenuButton";
inline const fnd::String ComboBox = "AXComboBox";
inline const fnd::String TextField = "AXTextField";
inline const fnd::String TextArea = "AXTextArea";
inline const fnd::String StaticText = "AXStaticText";
inline const fnd::String Slider = "AXSlider";
inline const fnd::String Incrementor = "AXIncrementor";
inline const fnd::String ValueIndicator = "AXValueIndicator";
inline const fnd::String ProgressIndicator = "AXProgressIndicator";
inline const fnd::String LevelIndicator = "AXLevelIndicator";
inline const fnd::String ColorWell = "AXColorWell";
inline const fnd::String DateField = "AXDateField";
inline const fnd::String Image = "AXImage";
inline const fnd::String Group = "AXGroup";
inline const fnd::String List = "AXList";
inline const fnd::String Table = "AXTable";
inline const fnd::String Outline = "AXOutline";
inline const fnd::String Row = "AXRow";
inline const fnd::String Column = "AXColumn";
inline const fnd::String Cell = "AXCell";
inline const fnd::String DisclosureTriangle = "AXDisclosureTriangle";
inline const fnd::String TabGroup = "AXTabGroup";
inline const fnd::String ScrollArea = "AXScrollArea";
inline const fnd::String ScrollBar = "AXScrollBar";
inline const fnd::String SplitGroup = "AXSplitGroup";
inline const fnd::String Splitter = "AXSplitter";
inline const fnd::String Toolbar = "AXToolbar";
inline const fnd::String Menu = "AXMenu";
inline const fnd::String MenuBar = "AXMenuBar";
inline const fnd::String MenuBarItem = "AXMenuBarItem";
inline const fnd::String MenuItem = "AXMenuItem";
inline const fnd::String Ruler = "AXRuler";
inline const fnd::String Unknown = "AXUnknown";
}

namespace AccessibilitySubrole {
inline const fnd::String StandardWindow = "AXStandardWindow";
inline const fnd::String Dialog = "AXDialog";
inline const fnd::String FloatingWindow = "AXFloatingWindow";
inline const fnd::String SecureTextField = "AXSecureTextField";
inline const fnd::String SearchField = "AXSearchField";
inline const fnd::String TabButton = "AXTabButton";
inline const fnd::String Toggle = "AXToggle";
inline const fnd::String TableRow = "AXTableRow";
inline const fnd::String OutlineRow = "AXOutlineRow";
inline const fnd::String Separator = "AXSeparatorMenuItem";
// A window or sheet that tells the person something and waits for an answer (an alert), named by its message.
inline const fnd::String Alert = "AXAlert";
}

namespace AccessibilityAction {
inline const fnd::String Press = "AXPress";
inline const fnd::String Increment = "AXIncrement";
inline const fnd::String Decrement = "AXDecrement";
inline const fnd::String Confirm = "AXConfirm";
inline const fnd::String Cancel = "AXCancel";
inline const fnd::String ShowMenu = "AXShowMenu";
inline const fnd::String Pick = "AXPick";
inline const fnd::String Raise = "AXRaise";
}

namespace AccessibilityOrientation {
inline const fnd::String Horizontal = "AXHorizontalOrientation";
inline const fnd::String Vertical = "AXVerticalOrientation";
}

// Posted through accessibilityPostNotification; the element is the one that changed.
namespace AccessibilityNotification {
inline const fnd::String FocusedUIElementChanged = "AXFocusedUIElementChanged";
inline const fnd::String ValueChanged = "AXValueChanged";
inline const fnd::String TitleChanged = "AXTitleChanged";
inline const fnd::String SelectedChildrenChanged = "AXSelectedChildrenChanged";
inline const fnd::String SelectedTextChanged = "AXSelectedTextChanged";
inline const fnd::String SelectedRowsChanged = "AXSelectedRowsChanged";
inline const fnd::String RowCountChanged = "AXRowCountChanged";
// The element's children were added, removed or reordered.
inline const fnd::String ChildrenChanged = "AXChildrenChanged";
inline const fnd::String Created = "AXCreated";
inline const fnd::String UIElementDestroyed = "AXUIElementDestroyed";
inline const fnd::String Moved = "AXMoved";
inline const fnd::String Resized = "AXResized";
inline const fnd::String WindowCreated = "AXWindowCreated";
inline const fnd::String FocusedWindowChanged = "AXFocusedWindowChanged";
inline const fnd::String MainWindowChanged = "AXMainWindowChanged";
inline const fnd::String MenuOpened = "AXMenuOpened";
inline const fnd::String MenuClosed = "AXMenuClosed";
// The element was hidden or shown, enabled or disabled, or an override value of it changed.
inline const fnd::String StateChanged = "AXStateChanged";
}

}
