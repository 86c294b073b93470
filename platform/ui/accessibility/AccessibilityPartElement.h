#pragma once

#include "platform/ui/accessibility/AccessibilityAttributeKey.h"
#include "platform/ui/accessibility/AccessibilityElement.h"

#include <memory>
#include <vector>

namespace ui {

// What a view answers for the parts it draws itself and that are no objects of their own: the rows of a list it
// draws, the folders of a path bar, the day, month and year of a date. Parts are told apart by their index; the
// owner answers each one's title, value, state and place (Position and Size on the screen, y up).
class AccessibilityPartOwner {
public:
    virtual ~AccessibilityPartOwner() = default;
    // The part's answer for any attribute but its role, parent, window and children; nil for none.
    virtual fnd::Value accessibilityPartAttributeValue(long part, AccessibilityAttributeKey key) const = 0;
    virtual bool accessibilityPartIsAttributeSettable(long part, AccessibilityAttributeKey key) const
    {
        return (void)part, (void)key, false;
    }
    virtual void accessibilityPartSetValue(long part, AccessibilityAttributeKey key, const fnd::Value& value)
    {
        (void)part, (void)key, (void)value;
    }
    virtual std::vector<fnd::String> accessibilityPartActionNames(long part) const
    {
        (void)part;
        return {};
    }
    virtual void accessibilityPartPerformAction(long part, const fnd::String& action) { (void)part, (void)action; }
};

// The element of one part: its role is fixed, its parent is the owner (the element of the view that draws it), and
// everything else comes from the owner while it lives. A gone owner leaves an element that answers nothing.
class AccessibilityPartElement final : public fnd::Object, public AccessibilityElement {
public:
    // The owner must be an element too (a view), and an AccessibilityPartOwner.
    AccessibilityPartElement(
        const std::shared_ptr<fnd::Object>& owner, long part, fnd::String role, fnd::String subrole = {});

    long part() const { return m_part; }
    // Whether the element stands for a part of this owner (a value handed to an owner may be anyone's element).
    bool isPartOf(const fnd::Object& owner) const { return m_owner.lock().get() == &owner; }

    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    bool accessibilityIsAttributeSettable(const fnd::String& attribute) const override;
    void accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute) override;
    std::vector<fnd::String> accessibilityActionNames() const override;
    void accessibilityPerformAction(const fnd::String& action) override;
    bool accessibilityIsIgnored() const override { return false; }
    fnd::Value accessibilityHitTest(gfx::Point screenPoint) const override;
    fnd::Value accessibilityFocusedUIElement() const override;

private:
    std::shared_ptr<fnd::Object> ownerObject() const { return m_owner.lock(); }
    AccessibilityPartOwner* owner(const std::shared_ptr<fnd::Object>& object) const;

    std::weak_ptr<fnd::Object> m_owner;
    long m_part;
    fnd::String m_role;
    fnd::String m_subrole;
};

// The part elements of one owner, made when first asked for and kept while the parts stay the same, so an
// assistive technology meets the same element for a part on every walk. When the parts change (a list given new
// rows), clear() lets the old elements go: new ones stand for the new parts.
class AccessibilityParts {
public:
    // The elements of parts 0 to count - 1, in order.
    fnd::Array elements(const fnd::Object& owner, long count, const fnd::String& role, const fnd::String& subrole = {});
    // The element of one part; nil outside 0 to count - 1.
    fnd::Value element(
        const fnd::Object& owner, long part, long count, const fnd::String& role, const fnd::String& subrole = {});
    // The element of one part if it was made already (nil otherwise): for telling of a change no one asked about.
    fnd::Value existingElement(long part) const;
    void clear() { m_elements.clear(); }

private:
    std::vector<std::shared_ptr<AccessibilityPartElement>> m_elements;
};

}
