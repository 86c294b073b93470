// The tab bar control and its tabs as assistive technologies read them: a named list of page tabs, one per tab,
// with their close buttons, then the overflow pull-down and the add-tab button while they show.

#include "frameworks/ZTBTabBarControl/ZTBTabBarCell.h"
#include "frameworks/ZTBTabBarControl/ZTBTabBarControl.h"
#include "frameworks/ZTBTabBarControl/ZTBTabBarControlDelegate.h"
#include "frameworks/ZTBTabBarControl/ZTBTabControls.h"
#include "platform/foundation/files/Bundle.h"
#include "platform/ui/views/Window.h"

namespace {

namespace ZTBAttr = ui::AccessibilityAttribute;

fnd::String ztbText(const char* key)
{
    auto bundle = ZTBTabBarControl::bundle();
    return bundle ? bundle->localizedStringForKey(key, key, "ZTBTabBarControl") : fnd::String(key);
}

bool ztbShows(const std::shared_ptr<ui::View>& button, const ZTBTabBarControl& bar)
{
    return button && !button->isHidden() && button->superview().get() == &bar;
}

// The bar's elements: its tabs (only those in the bar when `inView`), then its buttons that show.
fnd::Array ztbChildren(const ZTBTabBarControl& bar, bool inView)
{
    fnd::Array children;
    for (const auto& cell : bar.cells())
        if (!cell->isPlaceholder() && !(inView && cell->isInOverflowMenu()))
            children.push_back(cell->selfValue());
    if (ztbShows(bar.overflowPopUpButton(), bar))
        children.push_back(bar.overflowPopUpButton()->selfValue());
    if (ztbShows(bar.addTabButton(), bar))
        children.push_back(bar.addTabButton()->selfValue());
    return ui::accessibilityUnignoredChildren(children);
}

gfx::Rect ztbOnScreen(const ui::View& view, gfx::Rect rect)
{
    auto inWindow = view.convertRectToView(rect, nullptr);
    auto window = view.window();
    return window ? window->convertRectToScreen(inWindow) : inWindow;
}

}

// The bar.

fnd::Value ZTBTabBarControl::accessibilityAttributeValue(const fnd::String& attribute) const
{
    if (attribute == ZTBAttr::Role)
        return ui::AccessibilityRole::TabGroup;
    if (attribute == ZTBAttr::Description)
        return ztbText("Tabs");
    if (attribute == ZTBAttr::Children || attribute == ZTBAttr::VisibleChildren)
        return ztbChildren(*this, attribute == ZTBAttr::VisibleChildren);
    // A tab group's value is its selected tab.
    if (attribute == ZTBAttr::Value) {
        for (const auto& cell : m_cells)
            if (!cell->isPlaceholder() && (cell->tabState() & ZTBTabState::Selected))
                return cell->selfValue();
        return {};
    }
    return ZTBTabBarControlBase::accessibilityAttributeValue(attribute);
}

fnd::Value ZTBTabBarControl::accessibilityHitTest(gfx::Point screenPoint) const
{
    auto w = window();
    auto point = convertPointFromView(w ? w->convertScreenToBase(screenPoint) : screenPoint, nullptr);
    if (auto cell = cellForPoint(point); cell && !cell->isPlaceholder())
        return cell->selfValue();
    return selfValue();
}

// A tab.

std::vector<fnd::String> ZTBTabBarCell::accessibilityAttributeNames() const
{
    return { ZTBAttr::Role, ZTBAttr::Subrole, ZTBAttr::RoleDescription, ZTBAttr::Title, ZTBAttr::Value, ZTBAttr::Help,
        ZTBAttr::Focused, ZTBAttr::Enabled, ZTBAttr::Parent, ZTBAttr::Children, ZTBAttr::Window,
        ZTBAttr::TopLevelUIElement, ZTBAttr::Position, ZTBAttr::Size };
}

fnd::Value ZTBTabBarCell::accessibilityAttributeValue(const fnd::String& attribute) const
{
    auto control = controlView();
    const bool selected = (m_tabState & ZTBTabState::Selected) != 0;
    if (attribute == ZTBAttr::Role)
        return ui::AccessibilityRole::RadioButton;
    if (attribute == ZTBAttr::Subrole)
        return ui::AccessibilitySubrole::TabButton;
    if (attribute == ZTBAttr::Children) {
        const bool closes = control && m_hasCloseButton && !m_isCloseButtonSuppressed && !control->disableTabClose()
            && !m_isInOverflowMenu && !m_isPlaceholder;
        return closes ? fnd::Value(m_closeButtonElement.elements(*this, 1, ui::AccessibilityRole::Button))
                      : fnd::Value(fnd::Array {});
    }
    if (attribute == ZTBAttr::Title)
        return m_title;
    if (attribute == ZTBAttr::Value)
        return selected ? 1 : 0;
    if (attribute == ZTBAttr::Help)
        return accessibilityHelp();
    // The selected tab stands for the bar when the bar has the keyboard, not whenever its window is open.
    if (attribute == ZTBAttr::Focused)
        return selected && control && control->accessibilityHasKeyboardFocus();
    if (attribute == ZTBAttr::Enabled)
        return true;
    if (attribute == ZTBAttr::Parent)
        return control ? ui::accessibilityUnignoredAncestor(control->selfValue()) : fnd::Value();
    if (attribute == ZTBAttr::Window || attribute == ZTBAttr::TopLevelUIElement) {
        auto window = control ? control->window() : nullptr;
        return window ? window->selfValue() : fnd::Value();
    }
    if (attribute == ZTBAttr::Position || attribute == ZTBAttr::Size) {
        if (!control)
            return {};
        // A tab in the overflow menu has no place in the bar: it is reached through the pull-down.
        const auto& overflow = control->overflowPopUpButton();
        auto onScreen = !m_isInOverflowMenu ? ztbOnScreen(*control, m_frame)
            : overflow                      ? ztbOnScreen(*overflow, overflow->bounds())
                                            : gfx::Rect {};
        return attribute == ZTBAttr::Position ? fnd::Value(onScreen.origin) : fnd::Value(onScreen.size);
    }
    return ui::AccessibilityElement::accessibilityAttributeValue(attribute);
}

fnd::String ZTBTabBarCell::accessibilityHelp() const
{
    auto control = controlView();
    auto delegate = control ? control->delegate() : nullptr;
    if (delegate && control->tabView())
        if (auto word = delegate->accessibilityStringForTabView(*control->tabView(), m_count))
            return fnd::String(m_title.utf8() + ", " + std::to_string(m_count) + " " + word->utf8());
    return m_title;
}

std::vector<fnd::String> ZTBTabBarCell::accessibilityActionNames() const
{
    // One array for every cell.
    static const std::vector<fnd::String> actions { ui::AccessibilityAction::Press };
    return actions;
}

void ZTBTabBarCell::accessibilityPerformAction(const fnd::String& action)
{
    auto control = controlView();
    if (action == ui::AccessibilityAction::Press && control)
        control->tabClick(*this);
}

// The close button.

fnd::Value ZTBTabBarCell::accessibilityPartAttributeValue(long, ui::AccessibilityAttributeKey key) const
{
    using Key = ui::AccessibilityAttributeKey;
    auto control = controlView();
    switch (key) {
    case Key::Title:
        return ztbText("Close %@").stringByReplacingOccurrencesOfString("%@", m_title);
    case Key::Enabled:
        return true;
    case Key::Position:
    case Key::Size: {
        if (!control)
            return {};
        auto onScreen = ztbOnScreen(*control, closeButtonRectForFrame(m_frame));
        return key == Key::Position ? fnd::Value(onScreen.origin) : fnd::Value(onScreen.size);
    }
    default:
        return {};
    }
}

std::vector<fnd::String> ZTBTabBarCell::accessibilityPartActionNames(long) const
{
    return { ui::AccessibilityAction::Press };
}

void ZTBTabBarCell::accessibilityPartPerformAction(long, const fnd::String& action)
{
    auto control = controlView();
    auto keep = std::static_pointer_cast<ZTBTabBarCell>(shared_from_this());
    if (action == ui::AccessibilityAction::Press && control)
        control->closeTabClick(*this);
}

fnd::Value ZTBTabBarCell::accessibilityHitTest(gfx::Point) const
{
    return ui::accessibilityUnignoredAncestor(selfValue());
}

fnd::Value ZTBTabBarCell::accessibilityFocusedUIElement() const
{
    return ui::accessibilityUnignoredAncestor(selfValue());
}

// The buttons beside the tabs.

fnd::Value ZTBOverflowPopUpButton::accessibilityAttributeValue(const fnd::String& attribute) const
{
    if (attribute == ZTBAttr::Role)
        return ui::AccessibilityRole::MenuButton;
    if (attribute == ZTBAttr::Description)
        return ztbText("More tabs");
    return ui::PopUpButton::accessibilityAttributeValue(attribute);
}

fnd::Value ZTBRolloverButton::accessibilityAttributeValue(const fnd::String& attribute) const
{
    if (attribute == ZTBAttr::Description)
        return ztbText("New tab");
    return ui::Button::accessibilityAttributeValue(attribute);
}
