// How our accessibility tree reads in ATK's terms: roles, states, names, the interfaces an element needs, actions,
// coordinates and character offsets.

#include "platform/backend/gtk/GtkAccessible.h"
#include "platform/backend/gtk/GtkBackend.h"
#include "platform/backend/gtk/GtkDisplayState.h"
#include "platform/ui/views/Backend.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace ui::gtkaccessible {

namespace {

namespace AXAttr = AccessibilityAttribute;
namespace AXRole = AccessibilityRole;

fnd::String stringAttribute(const AccessibilityElement& element, const fnd::String& name)
{
    auto value = accessibilityAttribute(element, name);
    return value.isString() ? *value.string() : fnd::String();
}

bool hasAttribute(const AccessibilityElement& element, const fnd::String& name)
{
    auto names = accessibilityAttributeNamesWithOverrides(element);
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool isTextRole(const fnd::String& role)
{
    // A pop-up button's text is the title of its choice, which it shows.
    return role == AXRole::TextField || role == AXRole::TextArea || role == AXRole::ComboBox
        || role == AXRole::StaticText || role == AXRole::PopUpButton;
}

bool isValueRole(const fnd::String& role)
{
    return role == AXRole::Slider || role == AXRole::Incrementor || role == AXRole::ProgressIndicator
        || role == AXRole::LevelIndicator || role == AXRole::ScrollBar || role == AXRole::ValueIndicator;
}

// Controls whose value is a text to read but not to edit: a colour in words, a date, a recorded shortcut.
bool isValueTextRole(const fnd::String& role)
{
    return role == AXRole::ColorWell || role == AXRole::DateField;
}

bool isMenuItemRole(const fnd::String& role)
{
    return role == AXRole::MenuItem || role == AXRole::MenuBarItem;
}

std::uint64_t bit(AtkStateType state)
{
    return std::uint64_t(1) << unsigned(state);
}

// Whether the element is in view within its parent: a parent that names its children in view (a list whose items
// scroll away) must name it, a table its rows among the rows in view, and a row must be in view for its cells; any
// other parent shows all its children.
bool isAmongVisibleChildren(const AccessibilityElement& element)
{
    auto* parent = accessibilityElement(accessibilityAttribute(element, AXAttr::Parent));
    if (!parent)
        return true;
    auto named = [&](const fnd::String& attribute) {
        auto visible = accessibilityAttribute(*parent, attribute);
        if (!visible.isArray())
            return true;
        const auto& children = *visible.array();
        return std::any_of(children.begin(), children.end(),
            [&](const fnd::Value& child) { return accessibilityElement(child) == &element; });
    };
    if (!named(AXAttr::VisibleChildren))
        return false;
    const auto role = stringAttribute(element, AXAttr::Role);
    if (role == AXRole::Row)
        return named(AXAttr::VisibleRows);
    if (stringAttribute(*parent, AXAttr::Role) == AXRole::Row)
        return isAmongVisibleChildren(*parent);
    return true;
}

// The screen our y-up coordinates hang from: the first one; its height turns y up into y down.
struct GtkAccessibleScreen {
    double height { 0 };
    double originX { 0 };
    double originY { 0 };
    double scale { 1 };
};

GtkAccessibleScreen accessibleScreen()
{
    GtkAccessibleScreen screen;
    if (auto* gtk = dynamic_cast<GtkBackend*>(&Backend::current())) {
        auto primary = gtk->display().primaryMonitorGeometry();
        screen.height = primary.height;
        screen.originX = primary.x;
        screen.originY = primary.y;
        screen.scale = gtk->display().scale();
        return screen;
    }
    auto screens = Backend::current().screens();
    if (!screens.empty()) {
        screen.height = screens.front().frame.height();
        screen.scale = screens.front().backingScaleFactor;
    }
    return screen;
}

}

unsigned interfacesFor(const AccessibilityElement& element)
{
    unsigned interfaces = 0;
    auto role = stringAttribute(element, AXAttr::Role);
    if (!element.accessibilityActionNames().empty())
        interfaces |= Interface::Action;
    if (isTextRole(role) || isValueTextRole(role) || hasAttribute(element, AXAttr::NumberOfCharacters)) {
        interfaces |= Interface::Text;
        if (role != AXRole::StaticText && element.accessibilityIsAttributeSettable(AXAttr::Value))
            interfaces |= Interface::EditableText;
    }
    // A value told in words (a colour) is a value too: its text is the value's text.
    if (isValueRole(role) || accessibilityAttribute(element, AXAttr::ValueDescription).isString())
        interfaces |= Interface::Value;
    if (role == AXRole::TabGroup || hasAttribute(element, AXAttr::SelectedChildren)
        || hasAttribute(element, AXAttr::SelectedRows))
        interfaces |= Interface::Selection;
    if (role == AXRole::Window || role == AXRole::Sheet)
        interfaces |= Interface::Window;
    return interfaces;
}

AtkRole roleFor(const AccessibilityElement& element)
{
    auto role = stringAttribute(element, AXAttr::Role);
    auto subrole = stringAttribute(element, AXAttr::Subrole);
    // Cells of a row are table cells, whatever control draws them; the rows of a list are its items.
    if (auto* parent = accessibilityElement(accessibilityAttribute(element, AXAttr::Parent))) {
        auto parentRole = stringAttribute(*parent, AXAttr::Role);
        if (parentRole == AXRole::Row)
            return ATK_ROLE_TABLE_CELL;
        if (parentRole == AXRole::List && (role == AXRole::Row || role == AXRole::StaticText))
            return ATK_ROLE_LIST_ITEM;
    }
    if ((role == AXRole::Window || role == AXRole::Sheet) && subrole == AccessibilitySubrole::Alert)
        return ATK_ROLE_ALERT;
    if (role == AXRole::Window)
        return subrole == AccessibilitySubrole::Dialog ? ATK_ROLE_DIALOG
            : subrole.isEmpty()                        ? ATK_ROLE_WINDOW
                                                       : ATK_ROLE_FRAME;
    if (role == AXRole::Button) {
        // A button that keeps a state is a toggle (tabs of a tab bar are such buttons).
        auto value = accessibilityAttribute(element, AXAttr::Value);
        return subrole == AccessibilitySubrole::Toggle || value.isNumber() ? ATK_ROLE_TOGGLE_BUTTON
                                                                           : ATK_ROLE_PUSH_BUTTON;
    }
    if (role == AXRole::RadioButton)
        return subrole == AccessibilitySubrole::TabButton ? ATK_ROLE_PAGE_TAB : ATK_ROLE_RADIO_BUTTON;
    if (role == AXRole::TextField)
        return subrole == AccessibilitySubrole::SecureTextField ? ATK_ROLE_PASSWORD_TEXT : ATK_ROLE_ENTRY;
    if (role == AXRole::MenuItem) {
        if (subrole == AccessibilitySubrole::Separator)
            return ATK_ROLE_SEPARATOR;
        return accessibilityUnignoredChildrenOfElement(accessibilityObject(element)).empty() ? ATK_ROLE_MENU_ITEM
                                                                                             : ATK_ROLE_MENU;
    }
    static const std::map<fnd::String, AtkRole> roles {
        { AXRole::Application, ATK_ROLE_APPLICATION },
        { AXRole::Sheet, ATK_ROLE_DIALOG },
        { AXRole::CheckBox, ATK_ROLE_CHECK_BOX },
        { AXRole::RadioGroup, ATK_ROLE_PANEL },
        { AXRole::PopUpButton, ATK_ROLE_COMBO_BOX },
        { AXRole::MenuButton, ATK_ROLE_PUSH_BUTTON },
        { AXRole::ComboBox, ATK_ROLE_COMBO_BOX },
        { AXRole::TextArea, ATK_ROLE_TEXT },
        { AXRole::StaticText, ATK_ROLE_LABEL },
        { AXRole::Slider, ATK_ROLE_SLIDER },
        { AXRole::Incrementor, ATK_ROLE_SPIN_BUTTON },
        // The knob of a scroll bar shows a level; it is not moved by itself.
        { AXRole::ValueIndicator, ATK_ROLE_LEVEL_BAR },
        { AXRole::ProgressIndicator, ATK_ROLE_PROGRESS_BAR },
        { AXRole::LevelIndicator, ATK_ROLE_LEVEL_BAR },
        { AXRole::ColorWell, ATK_ROLE_PUSH_BUTTON },
        { AXRole::DateField, ATK_ROLE_DATE_EDITOR },
        { AXRole::Image, ATK_ROLE_IMAGE },
        { AXRole::Group, ATK_ROLE_PANEL },
        { AXRole::List, ATK_ROLE_LIST },
        { AXRole::Table, ATK_ROLE_TABLE },
        { AXRole::Outline, ATK_ROLE_TREE_TABLE },
        { AXRole::Row, ATK_ROLE_TABLE_ROW },
        { AXRole::Column, ATK_ROLE_COLUMN_HEADER },
        { AXRole::Cell, ATK_ROLE_TABLE_CELL },
        { AXRole::DisclosureTriangle, ATK_ROLE_TOGGLE_BUTTON },
        { AXRole::TabGroup, ATK_ROLE_PAGE_TAB_LIST },
        { AXRole::ScrollArea, ATK_ROLE_SCROLL_PANE },
        { AXRole::ScrollBar, ATK_ROLE_SCROLL_BAR },
        { AXRole::SplitGroup, ATK_ROLE_SPLIT_PANE },
        { AXRole::Splitter, ATK_ROLE_SEPARATOR },
        { AXRole::Toolbar, ATK_ROLE_TOOL_BAR },
        { AXRole::Menu, ATK_ROLE_MENU },
        { AXRole::MenuBar, ATK_ROLE_MENU_BAR },
        { AXRole::MenuBarItem, ATK_ROLE_MENU },
        { AXRole::Ruler, ATK_ROLE_RULER },
    };
    auto found = roles.find(role);
    return found != roles.end() ? found->second : ATK_ROLE_UNKNOWN;
}

std::uint64_t statesFor(const AccessibilityElement& element)
{
    std::uint64_t states = 0;
    auto role = stringAttribute(element, AXAttr::Role);
    auto subrole = stringAttribute(element, AXAttr::Subrole);
    auto enabled = accessibilityAttribute(element, AXAttr::Enabled);
    if (enabled.isNil() || enabled.boolValue())
        states |= bit(ATK_STATE_ENABLED) | bit(ATK_STATE_SENSITIVE);
    if (role != AXRole::Application)
        states |= bit(ATK_STATE_VISIBLE);
    // Shown while its window is on screen; a menu is shown only while it is open (it then lies in a window); an
    // item of a list only while the list has it in view.
    if (auto window = accessibilityAttribute(element, AXAttr::Window).objectAs<Window>();
        window && window->isVisible() && isAmongVisibleChildren(element))
        states |= bit(ATK_STATE_SHOWING);
    if (element.accessibilityIsAttributeSettable(AXAttr::Focused))
        states |= bit(ATK_STATE_FOCUSABLE);
    if (accessibilityAttribute(element, AXAttr::Focused).boolValue())
        states |= bit(role == AXRole::Window || role == AXRole::Sheet ? ATK_STATE_ACTIVE : ATK_STATE_FOCUSED);
    if (role == AXRole::Window || role == AXRole::Sheet) {
        if (accessibilityAttribute(element, AXAttr::Modal).boolValue())
            states |= bit(ATK_STATE_MODAL);
        if (element.accessibilityIsAttributeSettable(AXAttr::Size))
            states |= bit(ATK_STATE_RESIZABLE);
    }
    auto selected = accessibilityAttribute(element, AXAttr::Selected);
    if (!selected.isNil() || role == AXRole::Row) {
        states |= bit(ATK_STATE_SELECTABLE);
        if (selected.boolValue())
            states |= bit(ATK_STATE_SELECTED);
    }
    auto value = accessibilityAttribute(element, AXAttr::Value);
    if (value.isNumber()
        && (role == AXRole::CheckBox || role == AXRole::RadioButton || role == AXRole::Button
            || role == AXRole::DisclosureTriangle)) {
        states |= bit(ATK_STATE_CHECKABLE);
        if (value.integerValue() == 1)
            states |= bit(ATK_STATE_CHECKED) | (role == AXRole::Button ? bit(ATK_STATE_PRESSED) : 0);
        else if (value.integerValue() == 2)
            states |= bit(ATK_STATE_INDETERMINATE);
        if (subrole == AccessibilitySubrole::TabButton) {
            states |= bit(ATK_STATE_SELECTABLE);
            if (value.integerValue() == 1)
                states |= bit(ATK_STATE_SELECTED);
        }
    }
    if (role == AXRole::MenuItem && !stringAttribute(element, AXAttr::MenuItemMarkChar).isEmpty())
        states |= bit(ATK_STATE_CHECKABLE) | bit(ATK_STATE_CHECKED);
    if (role == AXRole::TextField || role == AXRole::TextArea || role == AXRole::ComboBox) {
        if (element.accessibilityIsAttributeSettable(AXAttr::Value))
            states |= bit(ATK_STATE_EDITABLE);
        states |= bit(role == AXRole::TextArea ? ATK_STATE_MULTI_LINE : ATK_STATE_SINGLE_LINE);
        states |= bit(ATK_STATE_SELECTABLE_TEXT);
    }
    if (role == AXRole::PopUpButton || role == AXRole::MenuButton || role == AXRole::ComboBox)
        states |= bit(ATK_STATE_HAS_POPUP);
    if (accessibilityAttribute(element, AXAttr::Invalid).boolValue())
        states |= bit(ATK_STATE_INVALID_ENTRY);
    auto orientation = stringAttribute(element, AXAttr::Orientation);
    if (orientation == AccessibilityOrientation::Horizontal)
        states |= bit(ATK_STATE_HORIZONTAL);
    else if (orientation == AccessibilityOrientation::Vertical)
        states |= bit(ATK_STATE_VERTICAL);
    if (element.accessibilityIsAttributeSettable(AXAttr::Disclosing)) {
        states |= bit(ATK_STATE_EXPANDABLE);
        if (accessibilityAttribute(element, AXAttr::Disclosing).boolValue())
            states |= bit(ATK_STATE_EXPANDED);
    }
    if (managesDescendants(element))
        states |= bit(ATK_STATE_MANAGES_DESCENDANTS);
    return states;
}

bool managesDescendants(const AccessibilityElement& element)
{
    // A table or a list may hold thousands of rows or items (a flow view's pictures): assistive technologies ask
    // for those they need instead of caching them all, and the ATK bridge's own cache does not walk them.
    auto role = stringAttribute(element, AXAttr::Role);
    return role == AXRole::Table || role == AXRole::Outline || role == AXRole::List;
}

std::string nameFor(const AccessibilityElement& element)
{
    auto role = stringAttribute(element, AXAttr::Role);
    auto title = stringAttribute(element, AXAttr::Title);
    if (!title.isEmpty())
        return title.utf8();
    if (role == AXRole::StaticText)
        return textFor(element).utf8();
    auto description = stringAttribute(element, AXAttr::Description);
    if (!description.isEmpty())
        return description.utf8();
    // A field is named by the label beside it.
    if (auto* label = accessibilityElement(accessibilityAttribute(element, AXAttr::TitleUIElement))) {
        auto labelTitle = stringAttribute(*label, AXAttr::Title);
        auto text = labelTitle.isEmpty() ? stringAttribute(*label, AXAttr::Value) : labelTitle;
        // "Content:" names the field "Content".
        auto utf8 = text.utf8();
        while (!utf8.empty() && (utf8.back() == ':' || utf8.back() == ' '))
            utf8.pop_back();
        return utf8;
    }
    return {};
}

std::string descriptionFor(const AccessibilityElement& element)
{
    // The texts of the elements that describe it (an error and a hint beside a field) come first.
    std::string described;
    for (const auto& object : accessibilityElements(element, AXAttr::DescribedBy)) {
        auto* describer = dynamic_cast<AccessibilityElement*>(object.get());
        if (!describer || describer == &element)
            continue;
        auto text = textFor(*describer).utf8();
        if (text.empty())
            text = nameFor(*describer);
        if (!text.empty())
            described += (described.empty() ? "" : " ") + text;
    }
    if (!described.empty())
        return described;
    auto help = stringAttribute(element, AXAttr::Help);
    auto description = stringAttribute(element, AXAttr::Description);
    if (!description.isEmpty() && !stringAttribute(element, AXAttr::Title).isEmpty())
        return description.utf8();
    // A control whose value is read in words (a colour well) is described by it, as a screen reader reads a
    // button's description but not its text.
    if (help.isEmpty() && isValueTextRole(stringAttribute(element, AXAttr::Role)))
        return stringAttribute(element, AXAttr::ValueDescription).utf8();
    return help.utf8();
}

std::optional<std::string> valueTextFor(const AccessibilityElement& element)
{
    auto words = accessibilityAttribute(element, AXAttr::ValueDescription);
    return words.isString() ? std::optional<std::string>(words.string()->utf8()) : std::nullopt;
}

std::vector<Live> accessibleChildrenOf(const AccessibilityElement& element)
{
    std::vector<Live> children;
    auto value = accessibilityAttribute(element, AXAttr::Children);
    const auto* array = value.array();
    if (!array)
        return children;
    auto unignored = accessibilityUnignoredChildren(*array);
    // A menu item's one child is its submenu: the submenu's items are the item's children, as a desktop's menus
    // show them (a menu holding its items), without a second menu between.
    if (unignored.size() == 1 && isMenuItemRole(stringAttribute(element, AXAttr::Role)))
        if (auto* submenu = accessibilityElement(unignored.front());
            submenu && stringAttribute(*submenu, AXAttr::Role) == AXRole::Menu) {
            auto items = accessibilityAttribute(*submenu, AXAttr::Children);
            unignored = items.array() ? accessibilityUnignoredChildren(*items.array()) : fnd::Array();
        }
    children.reserve(unignored.size());
    for (auto& child : unignored)
        if (auto* childElement = accessibilityElement(child))
            children.push_back({ child.object(), childElement });
    return children;
}

fnd::Value accessibleParentOf(const AccessibilityElement& element)
{
    auto parent = accessibilityUnignoredAncestor(accessibilityAttribute(element, AXAttr::Parent));
    // An item of a submenu hangs from the item that opens the submenu (see accessibleChildrenOf).
    if (auto* menu = accessibilityElement(parent); menu && stringAttribute(*menu, AXAttr::Role) == AXRole::Menu) {
        auto opener = accessibilityUnignoredAncestor(accessibilityAttribute(*menu, AXAttr::Parent));
        if (auto* item = accessibilityElement(opener); item && isMenuItemRole(stringAttribute(*item, AXAttr::Role)))
            return opener;
    }
    return parent;
}

std::string atkActionName(const fnd::String& action)
{
    static const std::map<fnd::String, std::string> names {
        { AccessibilityAction::Press, "click" },
        { AccessibilityAction::Increment, "increment" },
        { AccessibilityAction::Decrement, "decrement" },
        { AccessibilityAction::Confirm, "activate" },
        { AccessibilityAction::Cancel, "cancel" },
        { AccessibilityAction::ShowMenu, "showmenu" },
        { AccessibilityAction::Pick, "pick" },
        { AccessibilityAction::Raise, "raise" },
    };
    auto found = names.find(action);
    return found != names.end() ? found->second : action.utf8();
}

fnd::String textFor(const AccessibilityElement& element)
{
    auto value = accessibilityAttribute(element, AXAttr::Value);
    if (value.isString())
        return *value.string();
    if (stringAttribute(element, AXAttr::Role) == AXRole::StaticText)
        return stringAttribute(element, AXAttr::Title);
    return {};
}

std::optional<double> numericValueFor(const AccessibilityElement& element)
{
    auto value = accessibilityAttribute(element, AXAttr::Value);
    return value.isNumber() ? std::optional<double>(value.doubleValue()) : std::nullopt;
}

std::optional<AtkRectangle> screenRectFor(const AccessibilityElement& element)
{
    auto position = accessibilityAttribute(element, AXAttr::Position).point();
    auto size = accessibilityAttribute(element, AXAttr::Size).size();
    if (!position || !size)
        return std::nullopt;
    return screenRectForRect({ *position, *size });
}

AtkRectangle screenRectForRect(gfx::Rect r)
{
    auto screen = accessibleScreen();
    double left = screen.originX + r.minX();
    double top = screen.originY + screen.height - r.maxY();
    AtkRectangle rect;
    rect.x = int(std::lround(left * screen.scale));
    rect.y = int(std::lround(top * screen.scale));
    rect.width = int(std::lround(r.width() * screen.scale));
    rect.height = int(std::lround(r.height() * screen.scale));
    return rect;
}

gfx::Point screenPointFromRoot(int x, int y)
{
    auto screen = accessibleScreen();
    double left = x / screen.scale;
    double top = y / screen.scale;
    return { left - screen.originX, screen.originY + screen.height - top };
}

long characterOffsetFor(const fnd::String& text, fnd::Index utf16Index)
{
    long offset = 0;
    utf16Index = std::clamp<fnd::Index>(utf16Index, 0, text.length());
    for (fnd::Index i = 0; i < utf16Index; ++i) {
        auto unit = text.characterAt(i);
        // The trailing half of a surrogate pair is the same character.
        if (unit < 0xDC00 || unit > 0xDFFF)
            ++offset;
    }
    return offset;
}

fnd::Index utf16IndexFor(const fnd::String& text, long characterOffset)
{
    if (characterOffset < 0)
        return text.length();
    fnd::Index i = 0;
    for (long offset = 0; offset < characterOffset && i < text.length(); ++offset) {
        auto unit = text.characterAt(i);
        i += (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.length()) ? 2 : 1;
    }
    return i;
}

}
