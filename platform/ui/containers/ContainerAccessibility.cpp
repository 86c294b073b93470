// How the containers answer assistive technologies: tab views and their tabs, scroll views and scroll bars, split
// views, boxes and the toolbar.

#include "platform/ui/accessibility/AccessibilityAttributeKey.h"
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
#include <cmath>

namespace ui {

namespace Attr = AccessibilityAttribute;
using Key = AccessibilityAttributeKey;

// Tab views.

std::vector<fnd::String> TabView::accessibilityAttributeNames() const
{
    auto names = View::accessibilityAttributeNames();
    accessibilityAddAttributeNames(names, { Attr::Tabs, Attr::Value, Attr::Contents });
    return names;
}

fnd::Value TabView::accessibilityAttributeValue(const fnd::String& attribute) const
{
    auto tabs = [this] {
        fnd::Array tabs;
        if (hasTabs()) {
            tabs.reserve(m_items.size());
            for (const auto& item : m_items)
                tabs.push_back(item->selfValue());
        }
        return tabs;
    };
    switch (accessibilityAttributeKey(attribute)) {
    case Key::Role:
        // Without tabs of its own it is the group of its page; what switches its pages is the list of tabs.
        return hasTabs() ? AccessibilityRole::TabGroup : AccessibilityRole::Group;
    case Key::Tabs:
        return tabs();
    case Key::Value: {
        auto selected = hasTabs() ? selectedTabViewItem() : nullptr;
        return selected ? selected->selfValue() : fnd::Value();
    }
    case Key::Contents:
        return accessibilityChildrenOfSubviews();
    case Key::Children: {
        auto children = tabs();
        for (auto& child : accessibilityChildrenOfSubviews())
            children.push_back(std::move(child));
        return children;
    }
    default:
        return View::accessibilityAttributeValue(attribute);
    }
}

bool TabView::accessibilityIsAttributeSettable(const fnd::String& attribute) const
{
    return accessibilityAttributeKey(attribute) == Key::Value || View::accessibilityIsAttributeSettable(attribute);
}

void TabView::accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute)
{
    if (accessibilityAttributeKey(attribute) != Key::Value) {
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
    return accessibilityAttributeNameList(
        { Attr::Role, Attr::Subrole, Attr::RoleDescription, Attr::Title, Attr::Value, Attr::Parent, Attr::Window,
            Attr::TopLevelUIElement, Attr::Position, Attr::Size, Attr::Enabled, Attr::Focused, Attr::Help });
}

fnd::Value TabViewItem::accessibilityAttributeValue(const fnd::String& attribute) const
{
    const auto key = accessibilityAttributeKey(attribute);
    switch (key) {
    case Key::Role:
        return AccessibilityRole::RadioButton;
    case Key::Subrole:
        return AccessibilitySubrole::TabButton;
    case Key::Title:
        return m_label;
    case Key::Value: {
        auto owner = tabView();
        return owner && owner->selectedTabViewItem().get() == this ? 1 : 0;
    }
    case Key::Parent: {
        auto owner = tabView();
        return owner ? owner->selfValue() : fnd::Value();
    }
    case Key::Window:
    case Key::TopLevelUIElement: {
        auto owner = tabView();
        auto window = owner ? owner->window() : nullptr;
        return window ? window->selfValue() : fnd::Value();
    }
    case Key::Position:
    case Key::Size: {
        auto owner = tabView();
        auto frame = owner ? owner->accessibilityFrameOfTab(*this) : std::nullopt;
        if (!frame)
            return {};
        auto onScreen = owner->convertRectToView(*frame, nullptr);
        if (auto window = owner->window())
            onScreen = window->convertRectToScreen(onScreen);
        return key == Key::Position ? fnd::Value(onScreen.origin) : fnd::Value(onScreen.size);
    }
    case Key::Enabled:
        return true;
    case Key::Focused: {
        auto owner = tabView();
        return owner && owner->accessibilityHasKeyboardFocus() && owner->selectedTabViewItem().get() == this;
    }
    case Key::Help:
        return m_toolTip.isEmpty() ? fnd::Value() : fnd::Value(m_toolTip);
    default:
        return AccessibilityElement::accessibilityAttributeValue(attribute);
    }
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
    accessibilityAddAttributeNames(names, { Attr::Contents, Attr::HorizontalScrollBar, Attr::VerticalScrollBar });
    return names;
}

fnd::Value ScrollView::accessibilityAttributeValue(const fnd::String& attribute) const
{
    auto shownScroller = [](const std::shared_ptr<Scroller>& scroller, bool has) {
        return scroller && has && !scroller->isHidden() ? scroller->selfValue() : fnd::Value();
    };
    switch (accessibilityAttributeKey(attribute)) {
    case Key::Role:
        return AccessibilityRole::ScrollArea;
    case Key::Contents: {
        auto document = documentView();
        fnd::Array contents;
        if (document)
            accessibilityAppendUnignoredChild(document->selfValue(), contents);
        return contents;
    }
    case Key::VerticalScrollBar:
        return shownScroller(m_verticalScroller, m_hasVerticalScroller);
    case Key::HorizontalScrollBar:
        return shownScroller(m_horizontalScroller, m_hasHorizontalScroller);
    default:
        return View::accessibilityAttributeValue(attribute);
    }
}

std::vector<fnd::String> Scroller::accessibilityAttributeNames() const
{
    auto names = Control::accessibilityAttributeNames();
    accessibilityAddAttributeNames(names, { Attr::Value, Attr::Orientation });
    return names;
}

fnd::Value Scroller::accessibilityAttributeValue(const fnd::String& attribute) const
{
    switch (accessibilityAttributeKey(attribute)) {
    case Key::Role:
        return AccessibilityRole::ScrollBar;
    case Key::Value:
        return std::clamp(doubleValue(), 0.0, 1.0);
    case Key::Orientation:
        return isVertical() ? AccessibilityOrientation::Vertical : AccessibilityOrientation::Horizontal;
    case Key::Enabled:
        return usableParts();
    default:
        return Control::accessibilityAttributeValue(attribute);
    }
}

bool Scroller::accessibilityIsAttributeSettable(const fnd::String& attribute) const
{
    return usableParts() && accessibilityAttributeKey(attribute) == Key::Value;
}

void Scroller::accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute)
{
    // A number that is no number would pass std::clamp and put the knob nowhere.
    if (!usableParts() || !value.isNumber() || std::isnan(value.doubleValue())
        || accessibilityAttributeKey(attribute) != Key::Value)
        return;
    // As a drag of the knob would: the scroll view follows the action.
    setDoubleValue(std::clamp(value.doubleValue(), 0.0, 1.0));
    sendAction(action(), target());
}

// Split views, boxes.

std::vector<fnd::String> SplitView::accessibilityAttributeNames() const
{
    auto names = View::accessibilityAttributeNames();
    accessibilityAddAttributeNames(names, { Attr::Orientation });
    return names;
}

fnd::Value SplitView::accessibilityAttributeValue(const fnd::String& attribute) const
{
    switch (accessibilityAttributeKey(attribute)) {
    case Key::Role:
        return AccessibilityRole::SplitGroup;
    // Vertical dividers lay the panes out side by side.
    case Key::Orientation:
        return m_vertical ? AccessibilityOrientation::Horizontal : AccessibilityOrientation::Vertical;
    default:
        return View::accessibilityAttributeValue(attribute);
    }
}

std::vector<fnd::String> Box::accessibilityAttributeNames() const
{
    auto names = View::accessibilityAttributeNames();
    accessibilityAddAttributeNames(names, { Attr::Title });
    return names;
}

fnd::Value Box::accessibilityAttributeValue(const fnd::String& attribute) const
{
    switch (accessibilityAttributeKey(attribute)) {
    case Key::Role:
        return AccessibilityRole::Group;
    case Key::Title:
        return m_titlePosition == TitlePosition::NoTitle ? fnd::Value() : fnd::Value(title());
    default:
        return View::accessibilityAttributeValue(attribute);
    }
}

bool Box::accessibilityIsIgnored() const
{
    return m_boxType == BoxType::Separator || m_titlePosition == TitlePosition::NoTitle || title().isEmpty();
}

// The toolbar.

std::vector<fnd::String> ToolbarItemViewer::accessibilityAttributeNames() const
{
    auto names = View::accessibilityAttributeNames();
    accessibilityAddAttributeNames(names, { Attr::Title, Attr::Help });
    return names;
}

fnd::Value ToolbarItemViewer::accessibilityAttributeValue(const fnd::String& attribute) const
{
    switch (accessibilityAttributeKey(attribute)) {
    case Key::Role:
        return AccessibilityRole::Button;
    case Key::Title:
        return m_item->label();
    case Key::Help:
        return m_item->toolTip().isEmpty() ? fnd::Value() : fnd::Value(m_item->toolTip());
    case Key::Enabled:
        return m_item->isEnabled();
    default:
        return View::accessibilityAttributeValue(attribute);
    }
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
    if (accessibilityAttributeKey(attribute) == Key::Role)
        return AccessibilityRole::Toolbar;
    return View::accessibilityAttributeValue(attribute);
}

}
