// How the containers answer assistive technologies: tab views and their tabs, scroll views and scroll bars, split
// views, boxes and the toolbar.

#include "platform/ui/containers/Box.h"
#include "platform/ui/containers/ClipView.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/containers/Scroller.h"
#include "platform/ui/containers/SplitView.h"
#include "platform/ui/containers/TabView.h"
#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/containers/ToolbarItem.h"
#include "platform/ui/containers/ToolbarView.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/views/Window.h"

#include <algorithm>

namespace ui {

namespace Attr = AccessibilityAttribute;

namespace {

void containerAccessibilityAddNames(std::vector<fnd::String>& names, std::initializer_list<fnd::String> more)
{
    for (const auto& name : more)
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
}

}

// Tab views.

std::vector<fnd::String> TabView::accessibilityAttributeNames() const
{
    auto names = View::accessibilityAttributeNames();
    containerAccessibilityAddNames(names, { Attr::Tabs, Attr::Value, Attr::Contents });
    return names;
}

fnd::Value TabView::accessibilityAttributeValue(const fnd::String& attribute) const
{
    if (attribute == Attr::Role)
        return AccessibilityRole::TabGroup;
    if (attribute == Attr::Tabs) {
        fnd::Array tabs;
        if (hasTabs())
            for (const auto& item : m_items)
                tabs.push_back(item->selfValue());
        return tabs;
    }
    if (attribute == Attr::Value) {
        auto selected = selectedTabViewItem();
        return selected ? selected->selfValue() : fnd::Value();
    }
    if (attribute == Attr::Contents)
        return accessibilityChildrenOfSubviews();
    if (attribute == Attr::Children) {
        auto children = *accessibilityAttributeValue(Attr::Tabs).array();
        for (const auto& child : accessibilityChildrenOfSubviews())
            children.push_back(child);
        return children;
    }
    return View::accessibilityAttributeValue(attribute);
}

bool TabView::accessibilityIsAttributeSettable(const fnd::String& attribute) const
{
    return attribute == Attr::Value || View::accessibilityIsAttributeSettable(attribute);
}

void TabView::accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute)
{
    if (attribute != Attr::Value) {
        View::accessibilitySetValue(value, attribute);
        return;
    }
    if (auto item = value.objectAs<TabViewItem>())
        selectTabViewItem(item);
}

std::optional<gfx::Rect> TabView::accessibilityFrameOfTab(const TabViewItem& item) const
{
    auto rect = rectOfTabViewItem(item);
    return rect.isEmpty() ? std::nullopt : std::optional<gfx::Rect>(rect);
}

std::vector<fnd::String> TabViewItem::accessibilityAttributeNames() const
{
    return { Attr::Role, Attr::Subrole, Attr::RoleDescription, Attr::Title, Attr::Value, Attr::Parent, Attr::Window,
        Attr::TopLevelUIElement, Attr::Position, Attr::Size, Attr::Enabled, Attr::Focused, Attr::Help };
}

fnd::Value TabViewItem::accessibilityAttributeValue(const fnd::String& attribute) const
{
    auto owner = tabView();
    if (attribute == Attr::Role)
        return AccessibilityRole::RadioButton;
    if (attribute == Attr::Subrole)
        return AccessibilitySubrole::TabButton;
    if (attribute == Attr::Title)
        return m_label;
    if (attribute == Attr::Value)
        return owner && owner->selectedTabViewItem().get() == this ? 1 : 0;
    if (attribute == Attr::Parent)
        return owner ? owner->selfValue() : fnd::Value();
    if (attribute == Attr::Window || attribute == Attr::TopLevelUIElement) {
        auto window = owner ? owner->window() : nullptr;
        return window ? window->selfValue() : fnd::Value();
    }
    if (attribute == Attr::Position || attribute == Attr::Size) {
        auto frame = owner ? owner->accessibilityFrameOfTab(*this) : std::nullopt;
        if (!frame)
            return {};
        auto onScreen = owner->convertRectToView(*frame, nullptr);
        if (auto window = owner->window())
            onScreen = window->convertRectToScreen(onScreen);
        return attribute == Attr::Position ? fnd::Value(onScreen.origin) : fnd::Value(onScreen.size);
    }
    if (attribute == Attr::Enabled)
        return true;
    if (attribute == Attr::Focused)
        return owner && owner->accessibilityHasKeyboardFocus() && owner->selectedTabViewItem().get() == this;
    if (attribute == Attr::Help)
        return m_toolTip.isEmpty() ? fnd::Value() : fnd::Value(m_toolTip);
    return AccessibilityElement::accessibilityAttributeValue(attribute);
}

std::vector<fnd::String> TabViewItem::accessibilityActionNames() const
{
    return { AccessibilityAction::Press };
}

void TabViewItem::accessibilityPerformAction(const fnd::String& action)
{
    auto owner = tabView();
    if (action == AccessibilityAction::Press && owner)
        owner->selectTabViewItem(std::static_pointer_cast<TabViewItem>(shared_from_this()));
}

// Scroll views.

std::vector<fnd::String> ScrollView::accessibilityAttributeNames() const
{
    auto names = View::accessibilityAttributeNames();
    containerAccessibilityAddNames(names, { Attr::Contents, Attr::HorizontalScrollBar, Attr::VerticalScrollBar });
    return names;
}

fnd::Value ScrollView::accessibilityAttributeValue(const fnd::String& attribute) const
{
    if (attribute == Attr::Role)
        return AccessibilityRole::ScrollArea;
    if (attribute == Attr::Contents) {
        auto document = documentView();
        return document ? accessibilityUnignoredChildren({ document->selfValue() }) : fnd::Array();
    }
    auto shownScroller = [](const std::shared_ptr<Scroller>& scroller, bool has) {
        return scroller && has && !scroller->isHidden() ? scroller->selfValue() : fnd::Value();
    };
    if (attribute == Attr::VerticalScrollBar)
        return shownScroller(m_verticalScroller, m_hasVerticalScroller);
    if (attribute == Attr::HorizontalScrollBar)
        return shownScroller(m_horizontalScroller, m_hasHorizontalScroller);
    return View::accessibilityAttributeValue(attribute);
}

std::vector<fnd::String> Scroller::accessibilityAttributeNames() const
{
    auto names = Control::accessibilityAttributeNames();
    containerAccessibilityAddNames(names, { Attr::Value, Attr::Orientation });
    return names;
}

fnd::Value Scroller::accessibilityAttributeValue(const fnd::String& attribute) const
{
    if (attribute == Attr::Role)
        return AccessibilityRole::ScrollBar;
    if (attribute == Attr::Value)
        return std::clamp(doubleValue(), 0.0, 1.0);
    if (attribute == Attr::Orientation)
        return isVertical() ? AccessibilityOrientation::Vertical : AccessibilityOrientation::Horizontal;
    if (attribute == Attr::Enabled)
        return usableParts();
    return Control::accessibilityAttributeValue(attribute);
}

bool Scroller::accessibilityIsAttributeSettable(const fnd::String& attribute) const
{
    return attribute == Attr::Value && usableParts();
}

void Scroller::accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute)
{
    if (attribute != Attr::Value || !usableParts() || !value.isNumber())
        return;
    // As a drag of the knob would: the scroll view follows the action.
    setDoubleValue(std::clamp(value.doubleValue(), 0.0, 1.0));
    sendAction(action(), target());
}

// Split views, boxes.

std::vector<fnd::String> SplitView::accessibilityAttributeNames() const
{
    auto names = View::accessibilityAttributeNames();
    containerAccessibilityAddNames(names, { Attr::Orientation });
    return names;
}

fnd::Value SplitView::accessibilityAttributeValue(const fnd::String& attribute) const
{
    if (attribute == Attr::Role)
        return AccessibilityRole::SplitGroup;
    // Vertical dividers lay the panes out side by side.
    if (attribute == Attr::Orientation)
        return m_vertical ? AccessibilityOrientation::Horizontal : AccessibilityOrientation::Vertical;
    return View::accessibilityAttributeValue(attribute);
}

std::vector<fnd::String> Box::accessibilityAttributeNames() const
{
    auto names = View::accessibilityAttributeNames();
    containerAccessibilityAddNames(names, { Attr::Title });
    return names;
}

fnd::Value Box::accessibilityAttributeValue(const fnd::String& attribute) const
{
    if (attribute == Attr::Role)
        return AccessibilityRole::Group;
    if (attribute == Attr::Title)
        return m_titlePosition == TitlePosition::NoTitle ? fnd::Value() : fnd::Value(title());
    return View::accessibilityAttributeValue(attribute);
}

bool Box::accessibilityIsIgnored() const
{
    return m_boxType == BoxType::Separator || m_titlePosition == TitlePosition::NoTitle || title().isEmpty();
}

// The toolbar.

std::vector<fnd::String> ToolbarItemViewer::accessibilityAttributeNames() const
{
    auto names = View::accessibilityAttributeNames();
    containerAccessibilityAddNames(names, { Attr::Title, Attr::Help });
    return names;
}

fnd::Value ToolbarItemViewer::accessibilityAttributeValue(const fnd::String& attribute) const
{
    if (attribute == Attr::Role)
        return AccessibilityRole::Button;
    if (attribute == Attr::Title)
        return m_item->label();
    if (attribute == Attr::Help)
        return m_item->toolTip().isEmpty() ? fnd::Value() : fnd::Value(m_item->toolTip());
    if (attribute == Attr::Enabled)
        return m_item->isEnabled();
    return View::accessibilityAttributeValue(attribute);
}

std::vector<fnd::String> ToolbarItemViewer::accessibilityActionNames() const
{
    return m_item->view() ? std::vector<fnd::String>() : std::vector<fnd::String> { AccessibilityAction::Press };
}

void ToolbarItemViewer::accessibilityPerformAction(const fnd::String& action)
{
    auto self = shared_from_this();
    if (action == AccessibilityAction::Press && !m_item->view())
        m_item->performAction();
}

bool ToolbarItemViewer::accessibilityIsIgnored() const
{
    // An item with a view of its own lets that view answer; spaces are only room.
    return m_item->view() != nullptr || m_item->isSpace();
}

std::vector<fnd::String> ToolbarView::accessibilityAttributeNames() const
{
    return View::accessibilityAttributeNames();
}

fnd::Value ToolbarView::accessibilityAttributeValue(const fnd::String& attribute) const
{
    if (attribute == Attr::Role)
        return AccessibilityRole::Toolbar;
    return View::accessibilityAttributeValue(attribute);
}

}
