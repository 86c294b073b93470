#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/foundation/runtime/Value.h"
#include "platform/graphics/Geometry.h"
#include "platform/ui/accessibility/AccessibilityNames.h"

#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <vector>

namespace ui {

// The accessibility protocol: what an object that a person can reach through an assistive technology answers.
// Views, cells, windows, menus and the application take part; so can any fnd::Object that derives from this class
// (an element standing for a layer or a part of a view). Attributes are named values (AccessibilityNames.h): object
// values in them (parent, children, window) are the elements themselves.
//
// Ignored elements (a plain view that only groups others) are left out of the tree people see: their children are
// taken up by their unignored ancestor. Positions are screen coordinates, y up, of the element's bottom-left corner.
//
// Assistive technologies read an element through the free functions below (accessibilityAttribute, ...), which
// answer an override value set on the element before its own answer.
class AccessibilityElement {
public:
    AccessibilityElement() = default;
    AccessibilityElement(const AccessibilityElement&) = default;
    AccessibilityElement& operator=(const AccessibilityElement&) = default;
    // Tells the observers (the bridge to the desktop) that the element is gone.
    virtual ~AccessibilityElement();

    virtual std::vector<fnd::String> accessibilityAttributeNames() const { return {}; }
    virtual fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const;
    virtual bool accessibilityIsAttributeSettable(const fnd::String& attribute) const;
    virtual void accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute);
    virtual std::vector<fnd::String> accessibilityParameterizedAttributeNames() const { return {}; }
    virtual fnd::Value accessibilityAttributeValueForParameter(
        const fnd::String& attribute, const fnd::Value& parameter) const;

    virtual std::vector<fnd::String> accessibilityActionNames() const { return {}; }
    // The standard description of the action (accessibilityActionDescription of the name) by default.
    virtual fnd::String accessibilityActionDescription(const fnd::String& action) const;
    virtual void accessibilityPerformAction(const fnd::String& action);

    virtual bool accessibilityIsIgnored() const { return true; }
    // The deepest unignored element at the screen point, this one by default.
    virtual fnd::Value accessibilityHitTest(gfx::Point screenPoint) const;
    // The deepest unignored element that has the keyboard, this one by default.
    virtual fnd::Value accessibilityFocusedUIElement() const;

    // A value answered for the attribute in place of the element's own (a label an interface file gives an image
    // button, a description the application sets); a nil value removes it. False when the element refuses it.
    bool accessibilitySetOverrideValue(const fnd::Value& value, const fnd::String& attribute);
    const std::map<fnd::String, fnd::Value>& accessibilityOverrideValues() const { return m_overrides; }

    // The element as it stands in attribute values (its object).
    fnd::Value accessibilityElementValue() const;

private:
    std::map<fnd::String, fnd::Value> m_overrides;
};

// The element an attribute value stands for (nullptr for a value that is none).
AccessibilityElement* accessibilityElement(const fnd::Value& value);
std::shared_ptr<fnd::Object> accessibilityObject(const AccessibilityElement& element);

// What an assistive technology reads: the override value when there is one, else the element's answer.
fnd::Value accessibilityAttribute(const AccessibilityElement& element, const fnd::String& attribute);
std::vector<fnd::String> accessibilityAttributeNamesWithOverrides(const AccessibilityElement& element);
// A list of the protocol's names (AccessibilityNames.h): each is copied once, where a braced list of strings copies
// each twice (into the list, then out of it).
std::vector<fnd::String> accessibilityAttributeNameList(
    std::initializer_list<std::reference_wrapper<const fnd::String>> names);
// Adds the names the list lacks, in order: for an element that answers its base class's names and a few of its own.
// The names are referred to, so only those added are copied.
void accessibilityAddAttributeNames(
    std::vector<fnd::String>& names, std::initializer_list<std::reference_wrapper<const fnd::String>> more);
// The elements of an array attribute (children, rows, ...), in order.
std::vector<std::shared_ptr<fnd::Object>> accessibilityElements(
    const AccessibilityElement& element, const fnd::String& attribute);

// The element, or its nearest ancestor (through the parent attribute) that is not ignored; nil when none is.
fnd::Value accessibilityUnignoredAncestor(const fnd::Value& element);
// The elements with each ignored one replaced by its unignored children, recursively.
fnd::Array accessibilityUnignoredChildren(const fnd::Array& children);
// Appends the element, or in its place its unignored children, recursively.
void accessibilityAppendUnignoredChild(const fnd::Value& child, fnd::Array& into);
// Appends what stands in the place of an ignored element: its unignored children, recursively.
void accessibilityAppendUnignoredChildrenOfIgnored(const AccessibilityElement& element, fnd::Array& into);
fnd::Array accessibilityUnignoredChildrenOfElement(const fnd::Value& element);
// The element, or its first unignored descendant.
fnd::Value accessibilityUnignoredDescendant(const fnd::Value& element);

// Texts people hear for a role (with its subrole) and an action, from the platform's string table.
fnd::String accessibilityRoleDescription(const fnd::String& role, const fnd::String& subrole = {});
fnd::String accessibilityActionDescription(const fnd::String& action);

// Hears what happens in the tree. The bridge to the desktop's accessibility bus is one; tests install others.
class AccessibilityObserver {
public:
    virtual ~AccessibilityObserver() = default;
    virtual void accessibilityNotification(AccessibilityElement& element, const fnd::String& notification) = 0;
    // The element is being destroyed: only its address is left.
    virtual void accessibilityElementDestroyed(const AccessibilityElement* element) = 0;
};
void addAccessibilityObserver(AccessibilityObserver* observer);
void removeAccessibilityObserver(AccessibilityObserver* observer);
// Whether anyone listens; changes are posted only then, so a tree nobody reads costs nothing.
bool isAccessibilityObserved();
// Tells the observers (on the main thread) that the element changed.
void accessibilityPostNotification(AccessibilityElement& element, const fnd::String& notification);
void accessibilityPostNotification(const fnd::Value& element, const fnd::String& notification);

}
