// The tab bar control and its tabs as assistive technologies read them: a group of buttons, one per tab.

#include "frameworks/ZTBTabBarControl/ZTBTabBarCell.h"
#include "frameworks/ZTBTabBarControl/ZTBTabBarControl.h"
#include "frameworks/ZTBTabBarControl/ZTBTabBarControlDelegate.h"
#include "platform/ui/views/Window.h"

namespace {

namespace ZTBAttr = ui::AccessibilityAttribute;

}

// The bar.

fnd::Value ZTBTabBarControl::accessibilityAttributeValue(const fnd::String& attribute) const
{
    if (attribute == ZTBAttr::Role)
        return ui::AccessibilityRole::Group;
    if (attribute == ZTBAttr::Children) {
        fnd::Array cells;
        for (const auto& cell : m_cells)
            cells.push_back(cell->selfValue());
        return ui::accessibilityUnignoredChildren(cells);
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
    return { ZTBAttr::Role, ZTBAttr::RoleDescription, ZTBAttr::Title, ZTBAttr::Value, ZTBAttr::Help, ZTBAttr::Focused,
        ZTBAttr::Enabled, ZTBAttr::Parent, ZTBAttr::Window, ZTBAttr::TopLevelUIElement, ZTBAttr::Position,
        ZTBAttr::Size };
}

fnd::Value ZTBTabBarCell::accessibilityAttributeValue(const fnd::String& attribute) const
{
    auto control = controlView();
    const bool selected = (m_tabState & ZTBTabState::Selected) != 0;
    if (attribute == ZTBAttr::Role)
        return ui::AccessibilityRole::Button;
    if (attribute == ZTBAttr::Title)
        return m_title;
    if (attribute == ZTBAttr::Value)
        return selected ? 1 : 0;
    if (attribute == ZTBAttr::Help)
        return accessibilityHelp();
    if (attribute == ZTBAttr::Focused)
        return selected;
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
        auto inWindow = control->convertRectToView(m_frame, nullptr);
        auto window = control->window();
        auto onScreen = window ? window->convertRectToScreen(inWindow) : inWindow;
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

fnd::Value ZTBTabBarCell::accessibilityHitTest(gfx::Point) const
{
    return ui::accessibilityUnignoredAncestor(selfValue());
}

fnd::Value ZTBTabBarCell::accessibilityFocusedUIElement() const
{
    return ui::accessibilityUnignoredAncestor(selfValue());
}
