// How a scope bar answers assistive technologies: a tool bar named "Scope bar" (an interface file may name it
// otherwise), whose groups are radio groups of the items' buttons, and whose accessory view follows them.

#include "frameworks/KRScoreBar/KRScopeBarAccessibility.h"

#include "frameworks/KRScoreBar/KRScopeBar.h"
#include "frameworks/KRScoreBar/KRScopeBarBundle.h"
#include "frameworks/KRScoreBar/KRScopeBarGroup.h"
#include "frameworks/KRScoreBar/KRScopeBarGroupHelper.h"

#include "platform/text/AttributedString.h"
#include "platform/ui/accessibility/AccessibilityAttributeKey.h"
#include "platform/ui/controls/ButtonCell.h"
#include "platform/ui/views/Window.h"

#include <algorithm>

namespace {

namespace Attr = ui::AccessibilityAttribute;
using Key = ui::AccessibilityAttributeKey;

std::shared_ptr<KRScopeBarGroupHelper> krAccessibilityHelper(const KRScopeBar& bar, const KRScopeBarGroup& group)
{
    for (const auto& helper : bar.groupHelpers())
        if (helper->group().get() == &group)
            return helper;
    return nullptr;
}

fnd::Value krAccessibilityWindow(const KRScopeBar& bar)
{
    auto window = bar.window();
    return window ? window->selfValue() : fnd::Value();
}

// A rectangle of the bar on the screen, y up.
gfx::Rect krAccessibilityOnScreen(const KRScopeBar& bar, gfx::Rect rect)
{
    auto inWindow = bar.convertRectToView(rect, nullptr);
    auto window = bar.window();
    return window ? window->convertRectToScreen(inWindow) : inWindow;
}

}

// One item of a group: a radio button in a group of one choice, an on/off button in a group of several. An item the
// bar shows in a collapsed group's pop-up, or in the overflow pull-down, stands where that pop-up is drawn.
class KRScopeBarAccessibilityItem : public fnd::Object, public ui::AccessibilityElement {
public:
    KRScopeBarAccessibilityItem(std::weak_ptr<KRScopeBarAccessibilityGroup> group, std::uint64_t index)
        : m_group(std::move(group))
        , m_index(index)
    {
    }

    std::vector<fnd::String> accessibilityAttributeNames() const override
    {
        return ui::accessibilityAttributeNameList(
            { Attr::Role, Attr::Subrole, Attr::RoleDescription, Attr::Title, Attr::Value, Attr::Enabled, Attr::Parent,
                Attr::Window, Attr::TopLevelUIElement, Attr::Position, Attr::Size });
    }

    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override
    {
        auto element = m_group.lock();
        auto bar = element ? element->bar() : nullptr;
        auto group = element ? element->group() : nullptr;
        if (!bar || !group || m_index >= group->numberOfObjects())
            return {};
        const bool radio = group->groupSelectionStyle() == KRScopeBarGroupSelectionStyleRadio;
        const auto key = ui::accessibilityAttributeKey(attribute);
        switch (key) {
        case Key::Role:
            return radio ? ui::AccessibilityRole::RadioButton : ui::AccessibilityRole::Button;
        case Key::Subrole:
            return radio ? fnd::Value() : fnd::Value(ui::AccessibilitySubrole::Toggle);
        case Key::Title: {
            auto index = bar->indexOfGroup(*group);
            auto cell
                = index == fnd::NotFound ? nullptr : bar->preparedButtonCellForGroup(std::uint64_t(index), m_index);
            return cell ? fnd::Value(cell->title()) : fnd::Value();
        }
        case Key::Value:
            return group->selectionIndexes().contains(fnd::Index(m_index)) ? 1 : 0;
        case Key::Enabled:
            return bar->isEnabled();
        case Key::Parent:
            return element->selfValue();
        case Key::Window:
        case Key::TopLevelUIElement:
            return krAccessibilityWindow(*bar);
        case Key::Position:
        case Key::Size: {
            auto helper = krAccessibilityHelper(*bar, *group);
            if (!helper)
                return {};
            gfx::Rect rect = bar->overflowPullDownRect();
            if (m_index < helper->numberOfVisibleItems())
                rect = group->isCollapsed()                  ? helper->buttonRect()
                    : m_index < helper->buttonRects().size() ? helper->buttonRects()[m_index]
                                                             : rect;
            auto onScreen = krAccessibilityOnScreen(*bar, rect);
            return key == Key::Position ? fnd::Value(onScreen.origin) : fnd::Value(onScreen.size);
        }
        default:
            return AccessibilityElement::accessibilityAttributeValue(attribute);
        }
    }

    std::vector<fnd::String> accessibilityActionNames() const override { return { ui::AccessibilityAction::Press }; }

    // What a click on the item's button does: the delegate may refuse the item.
    void accessibilityPerformAction(const fnd::String& action) override
    {
        auto element = m_group.lock();
        auto bar = element ? element->bar() : nullptr;
        auto group = element ? element->group() : nullptr;
        if (action != ui::AccessibilityAction::Press || !bar || !group || !bar->isEnabled()
            || m_index >= group->numberOfObjects())
            return;
        auto keep = bar;
        if (!bar->delegateShouldSelectObject(group->objectAtIndex(m_index)))
            return;
        group->didClickObject(m_index);
        // A collapsed group's pop-up shows the new choice, at its width.
        bar->adjustSubviews();
        bar->setNeedsDisplay(true);
    }

    bool accessibilityIsIgnored() const override { return false; }

private:
    std::weak_ptr<KRScopeBarAccessibilityGroup> m_group;
    std::uint64_t m_index;
};

fnd::Value KRScopeBarAccessibilityGroup::itemElement(std::uint64_t index) const
{
    auto group = m_group.lock();
    const auto count = group ? group->numberOfObjects() : 0;
    if (index >= count)
        return {};
    if (m_items.size() != count)
        m_items.resize(count);
    if (!m_items[index]) {
        auto self = std::static_pointer_cast<KRScopeBarAccessibilityGroup>(
            std::const_pointer_cast<fnd::Object>(shared_from_this()));
        m_items[index] = std::make_shared<KRScopeBarAccessibilityItem>(self, index);
    }
    return m_items[index]->selfValue();
}

std::vector<fnd::String> KRScopeBarAccessibilityGroup::accessibilityAttributeNames() const
{
    return ui::accessibilityAttributeNameList(
        { Attr::Role, Attr::RoleDescription, Attr::Title, Attr::Children, Attr::SelectedChildren, Attr::Enabled,
            Attr::Parent, Attr::Window, Attr::TopLevelUIElement, Attr::Position, Attr::Size });
}

fnd::Value KRScopeBarAccessibilityGroup::accessibilityAttributeValue(const fnd::String& attribute) const
{
    auto bar = m_bar.lock();
    auto group = m_group.lock();
    if (!bar || !group || bar->indexOfGroup(*group) == fnd::NotFound)
        return {};
    const auto key = ui::accessibilityAttributeKey(attribute);
    switch (key) {
    case Key::Role:
        return group->groupSelectionStyle() == KRScopeBarGroupSelectionStyleRadio ? ui::AccessibilityRole::RadioGroup
                                                                                  : ui::AccessibilityRole::Group;
    case Key::Title: {
        // The label the group shows ("Show:" names the group "Show"), else its identifier.
        if (auto shown = group->explicitAttributedLabel() ? group->explicitAttributedLabel()->string()
                                                          : group->label().value_or(fnd::String());
            !shown.isEmpty()) {
            auto label = shown.utf8();
            while (!label.empty() && (label.back() == ':' || label.back() == ' '))
                label.pop_back();
            return fnd::String(label);
        }
        return group->identifier() ? fnd::Value(*group->identifier()) : fnd::Value();
    }
    case Key::Children: {
        fnd::Array items;
        for (std::uint64_t i = 0; i < group->numberOfObjects(); ++i)
            items.push_back(itemElement(i));
        return items;
    }
    case Key::SelectedChildren: {
        fnd::Array selected;
        group->selectionIndexes().enumerate([&](fnd::Index index, bool&) {
            if (auto item = itemElement(std::uint64_t(index)); !item.isNil())
                selected.push_back(item);
        });
        return selected;
    }
    case Key::Enabled:
        return bar->isEnabled();
    case Key::Parent:
        return bar->selfValue();
    case Key::Window:
    case Key::TopLevelUIElement:
        return krAccessibilityWindow(*bar);
    case Key::Position:
    case Key::Size: {
        auto helper = krAccessibilityHelper(*bar, *group);
        if (!helper)
            return {};
        auto onScreen = krAccessibilityOnScreen(*bar, helper->frame());
        return key == Key::Position ? fnd::Value(onScreen.origin) : fnd::Value(onScreen.size);
    }
    default:
        return AccessibilityElement::accessibilityAttributeValue(attribute);
    }
}

bool KRScopeBarAccessibilityGroup::accessibilityIsAttributeSettable(const fnd::String& attribute) const
{
    return ui::accessibilityAttributeKey(attribute) == Key::SelectedChildren;
}

void KRScopeBarAccessibilityGroup::accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute)
{
    // Choosing an item through the group is pressing it.
    const auto* items = value.array();
    if (ui::accessibilityAttributeKey(attribute) != Key::SelectedChildren || !items)
        return;
    for (std::size_t i = 0; i < m_items.size(); ++i)
        for (const auto& item : *items)
            if (m_items[i] && ui::accessibilityElement(item) == m_items[i].get()
                && ui::accessibilityAttribute(*m_items[i], Attr::Value).integerValue() == 0)
                m_items[i]->accessibilityPerformAction(ui::AccessibilityAction::Press);
}

fnd::Array KRScopeBarAccessibilityGroups::elements(const KRScopeBar& bar)
{
    auto self = std::static_pointer_cast<KRScopeBar>(std::const_pointer_cast<fnd::Object>(bar.shared_from_this()));
    std::vector<std::shared_ptr<KRScopeBarAccessibilityGroup>> kept;
    fnd::Array out;
    for (const auto& helper : bar.groupHelpers()) {
        const auto& group = helper->group();
        if (!group)
            continue;
        auto found = std::ranges::find_if(m_groups, [&](const auto& element) { return element->standsFor(*group); });
        kept.push_back(found != m_groups.end() ? *found : std::make_shared<KRScopeBarAccessibilityGroup>(self, group));
        out.push_back(kept.back()->selfValue());
    }
    m_groups = std::move(kept);
    return out;
}

std::shared_ptr<KRScopeBarAccessibilityGroup> KRScopeBarAccessibilityGroups::existingElement(
    const KRScopeBarGroup& group) const
{
    auto found = std::ranges::find_if(m_groups, [&](const auto& element) { return element->standsFor(group); });
    return found != m_groups.end() ? *found : nullptr;
}

// The bar.

std::vector<fnd::String> KRScopeBar::accessibilityAttributeNames() const
{
    auto names = ui::View::accessibilityAttributeNames();
    ui::accessibilityAddAttributeNames(names, { Attr::Description });
    return names;
}

fnd::Value KRScopeBar::accessibilityAttributeValue(const fnd::String& attribute) const
{
    switch (ui::accessibilityAttributeKey(attribute)) {
    case Key::Role:
        return ui::AccessibilityRole::Toolbar;
    case Key::Description: {
        auto bundle = KRScopeBarBundle::bundle();
        return bundle ? bundle->localizedStringForKey("Scope bar", "Scope bar", "KRScopeBar")
                      : fnd::String("Scope bar");
    }
    case Key::Children: {
        auto children = m_accessibilityGroups.elements(*this);
        // The accessory view (a search field) follows the groups.
        auto views = ui::View::accessibilityAttributeValue(attribute);
        if (const auto* array = views.array())
            children.insert(children.end(), array->begin(), array->end());
        return children;
    }
    case Key::Enabled:
        return isEnabled();
    default:
        // The bar's cell draws nothing of its own: the bar answers as a view.
        return ui::View::accessibilityAttributeValue(attribute);
    }
}

void KRScopeBar::accessibilityTellSelectionChanged(const KRScopeBarGroup& group)
{
    if (auto element = m_accessibilityGroups.existingElement(group)) {
        ui::accessibilityPostNotification(*element, ui::AccessibilityNotification::SelectedChildrenChanged);
        auto items = element->accessibilityAttributeValue(Attr::Children);
        if (const auto* array = items.array())
            for (const auto& item : *array)
                ui::accessibilityPostNotification(item, ui::AccessibilityNotification::ValueChanged);
    }
}
