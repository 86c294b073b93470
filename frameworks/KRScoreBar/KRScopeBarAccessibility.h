#pragma once

#include "platform/ui/accessibility/AccessibilityElement.h"

#include <cstdint>
#include <memory>
#include <vector>

class KRScopeBar;
class KRScopeBarGroup;
class KRScopeBarAccessibilityItem;

// A group of a scope bar as assistive technologies read it: a radio group (a group for multiple selection) named by
// the group's label, holding a button for every item, the selected ones on. The bar draws its groups and items
// itself, so they are elements of their own that ask the bar when they are read.
class KRScopeBarAccessibilityGroup : public fnd::Object, public ui::AccessibilityElement {
public:
    KRScopeBarAccessibilityGroup(std::weak_ptr<KRScopeBar> bar, std::weak_ptr<KRScopeBarGroup> group)
        : m_bar(std::move(bar))
        , m_group(std::move(group))
    {
    }

    bool standsFor(const KRScopeBarGroup& group) const { return m_group.lock().get() == &group; }
    std::shared_ptr<KRScopeBar> bar() const { return m_bar.lock(); }
    std::shared_ptr<KRScopeBarGroup> group() const { return m_group.lock(); }
    // The element of the item; nil outside the group's items.
    fnd::Value itemElement(std::uint64_t index) const;

    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    bool accessibilityIsAttributeSettable(const fnd::String& attribute) const override;
    void accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute) override;
    bool accessibilityIsIgnored() const override { return false; }

private:
    std::weak_ptr<KRScopeBar> m_bar;
    std::weak_ptr<KRScopeBarGroup> m_group;
    // Made when first asked for, so an item is the same element on every walk while the group keeps its items.
    mutable std::vector<std::shared_ptr<KRScopeBarAccessibilityItem>> m_items;
};

// The elements of a bar's groups, kept while their groups belong to the bar.
class KRScopeBarAccessibilityGroups {
public:
    fnd::Array elements(const KRScopeBar& bar);
    // The element of the group if one was made already: for telling of a change no one asked about.
    std::shared_ptr<KRScopeBarAccessibilityGroup> existingElement(const KRScopeBarGroup& group) const;

private:
    std::vector<std::shared_ptr<KRScopeBarAccessibilityGroup>> m_groups;
};
