#include "platform/ui/accessibility/AccessibilityElement.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/runtime/Thread.h"

#include <algorithm>
#include <atomic>
#include <mutex>

namespace ui {

namespace {

// Observers are few (the bridge, a test's recorder) and change rarely; the flag keeps the check of every posting
// site to one load.
struct AccessibilityObservers {
    std::mutex lock;
    std::vector<AccessibilityObserver*> list;
    std::atomic<bool> any { false };
};

AccessibilityObservers& accessibilityObservers()
{
    // Never destroyed: elements outliving main (statics) may still tell it they are gone.
    static auto* observers = new AccessibilityObservers;
    return *observers;
}

std::vector<AccessibilityObserver*> accessibilityObserverSnapshot()
{
    auto& observers = accessibilityObservers();
    std::lock_guard guard(observers.lock);
    return observers.list;
}

// An unignored chain longer than this is a cycle in a broken tree; searches stop instead of looping.
constexpr int AccessibilityElementMaximumDepth = 256;

}

AccessibilityElement::~AccessibilityElement()
{
    if (!isAccessibilityObserved())
        return;
    for (auto* observer : accessibilityObserverSnapshot())
        observer->accessibilityElementDestroyed(this);
}

fnd::Value AccessibilityElement::accessibilityAttributeValue(const fnd::String& attribute) const
{
    if (attribute == AccessibilityAttribute::RoleDescription) {
        auto role = accessibilityAttribute(*this, AccessibilityAttribute::Role);
        auto subrole = accessibilityAttribute(*this, AccessibilityAttribute::Subrole);
        if (role.isString())
            return accessibilityRoleDescription(*role.string(), subrole.isString() ? *subrole.string() : fnd::String());
    }
    return {};
}

bool AccessibilityElement::accessibilityIsAttributeSettable(const fnd::String& attribute) const
{
    (void)attribute;
    return false;
}

void AccessibilityElement::accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute)
{
    (void)value, (void)attribute;
}

fnd::Value AccessibilityElement::accessibilityAttributeValueForParameter(
    const fnd::String& attribute, const fnd::Value& parameter) const
{
    (void)attribute, (void)parameter;
    return {};
}

fnd::String AccessibilityElement::accessibilityActionDescription(const fnd::String& action) const
{
    auto names = accessibilityActionNames();
    if (std::find(names.begin(), names.end(), action) == names.end())
        return {};
    return ui::accessibilityActionDescription(action);
}

void AccessibilityElement::accessibilityPerformAction(const fnd::String& action)
{
    (void)action;
}

fnd::Value AccessibilityElement::accessibilityHitTest(gfx::Point screenPoint) const
{
    (void)screenPoint;
    return accessibilityElementValue();
}

fnd::Value AccessibilityElement::accessibilityFocusedUIElement() const
{
    return accessibilityElementValue();
}

bool AccessibilityElement::accessibilitySetOverrideValue(const fnd::Value& value, const fnd::String& attribute)
{
    if (attribute.isEmpty())
        return false;
    auto found = m_overrides.find(attribute);
    if (value.isNil()) {
        if (found == m_overrides.end())
            return true;
        m_overrides.erase(found);
    } else {
        if (found != m_overrides.end() && found->second == value)
            return true;
        m_overrides[attribute] = value;
    }
    // A program marks a field invalid or names what describes it this way: the change is told as any other.
    accessibilityPostNotification(*this, AccessibilityNotification::StateChanged);
    return true;
}

fnd::Value AccessibilityElement::accessibilityElementValue() const
{
    auto object = accessibilityObject(*this);
    return object ? fnd::Value(object) : fnd::Value();
}

AccessibilityElement* accessibilityElement(const fnd::Value& value)
{
    auto object = value.object();
    return object ? dynamic_cast<AccessibilityElement*>(object.get()) : nullptr;
}

std::shared_ptr<fnd::Object> accessibilityObject(const AccessibilityElement& element)
{
    auto* object = dynamic_cast<const fnd::Object*>(&element);
    if (!object)
        return nullptr;
    // An element that does not live in a shared_ptr (a stack object in a test) cannot stand in a value.
    auto weak = object->weak_from_this();
    return std::const_pointer_cast<fnd::Object>(weak.lock());
}

fnd::Value accessibilityAttribute(const AccessibilityElement& element, const fnd::String& attribute)
{
    const auto& overrides = element.accessibilityOverrideValues();
    if (auto found = overrides.find(attribute); found != overrides.end())
        return found->second;
    return element.accessibilityAttributeValue(attribute);
}

std::vector<fnd::String> accessibilityAttributeNameList(
    std::initializer_list<std::reference_wrapper<const fnd::String>> names)
{
    return std::vector<fnd::String>(names.begin(), names.end());
}

void accessibilityAddAttributeNames(
    std::vector<fnd::String>& names, std::initializer_list<std::reference_wrapper<const fnd::String>> more)
{
    for (const fnd::String& name : more)
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
}

std::vector<fnd::String> accessibilityAttributeNamesWithOverrides(const AccessibilityElement& element)
{
    auto names = element.accessibilityAttributeNames();
    for (const auto& [name, value] : element.accessibilityOverrideValues())
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    return names;
}

std::vector<std::shared_ptr<fnd::Object>> accessibilityElements(
    const AccessibilityElement& element, const fnd::String& attribute)
{
    std::vector<std::shared_ptr<fnd::Object>> elements;
    auto value = accessibilityAttribute(element, attribute);
    if (const auto* array = value.array()) {
        for (const auto& item : *array)
            if (accessibilityElement(item))
                elements.push_back(item.object());
    } else if (accessibilityElement(value)) {
        elements.push_back(value.object());
    }
    return elements;
}

fnd::Value accessibilityUnignoredAncestor(const fnd::Value& element)
{
    auto current = element;
    for (int depth = 0; depth < AccessibilityElementMaximumDepth; ++depth) {
        auto* e = accessibilityElement(current);
        if (!e)
            return {};
        if (!e->accessibilityIsIgnored())
            return current;
        current = accessibilityAttribute(*e, AccessibilityAttribute::Parent);
    }
    return {};
}

namespace {

// By value: children of an answer made for this call are moved along, not copied.
void accessibilityAppendUnignored(fnd::Value child, fnd::Array& into, int depth);

void accessibilityAppendChildrenOfIgnored(const AccessibilityElement& element, fnd::Array& into, int depth)
{
    auto children = accessibilityAttribute(element, AccessibilityAttribute::Children);
    if (auto* array = children.array())
        for (auto& grandchild : *array)
            accessibilityAppendUnignored(std::move(grandchild), into, depth + 1);
}

void accessibilityAppendUnignored(fnd::Value child, fnd::Array& into, int depth)
{
    auto* element = accessibilityElement(child);
    if (!element || depth > AccessibilityElementMaximumDepth)
        return;
    if (!element->accessibilityIsIgnored()) {
        into.push_back(std::move(child));
        return;
    }
    accessibilityAppendChildrenOfIgnored(*element, into, depth);
}

}

void accessibilityAppendUnignoredChild(const fnd::Value& child, fnd::Array& into)
{
    accessibilityAppendUnignored(child, into, 0);
}

void accessibilityAppendUnignoredChildrenOfIgnored(const AccessibilityElement& element, fnd::Array& into)
{
    accessibilityAppendChildrenOfIgnored(element, into, 0);
}

fnd::Array accessibilityUnignoredChildren(const fnd::Array& children)
{
    fnd::Array unignored;
    unignored.reserve(children.size());
    for (const auto& child : children)
        accessibilityAppendUnignored(child, unignored, 0);
    return unignored;
}

fnd::Array accessibilityUnignoredChildrenOfElement(const fnd::Value& element)
{
    auto* e = accessibilityElement(element);
    if (!e)
        return {};
    auto children = accessibilityAttribute(*e, AccessibilityAttribute::Children);
    return children.array() ? accessibilityUnignoredChildren(*children.array()) : fnd::Array();
}

fnd::Value accessibilityUnignoredDescendant(const fnd::Value& element)
{
    auto* e = accessibilityElement(element);
    if (!e)
        return {};
    if (!e->accessibilityIsIgnored())
        return element;
    auto children = accessibilityUnignoredChildrenOfElement(element);
    return children.empty() ? fnd::Value() : children.front();
}

fnd::String accessibilityRoleDescription(const fnd::String& role, const fnd::String& subrole)
{
    static const auto bundle = fnd::Bundle::bundleWithName("Foundation");
    // A plain reading of the name ("AXPopUpButton" → "pop up button") when the table lacks it.
    auto plain = [](const fnd::String& name) {
        auto text = name.utf8();
        if (text.starts_with("AX"))
            text = text.substr(2);
        std::string spaced;
        for (std::size_t i = 0; i < text.size(); ++i) {
            char c = text[i];
            if (i > 0 && c >= 'A' && c <= 'Z' && !(text[i - 1] >= 'A' && text[i - 1] <= 'Z'))
                spaced += ' ';
            spaced += (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
        }
        return fnd::String(spaced);
    };
    if (!subrole.isEmpty() && bundle) {
        auto key = role.appending(u":").appending(subrole);
        auto text = bundle->localizedStringForKey(key, {}, "Accessibility");
        if (text != key)
            return text;
    }
    // The plain reading only when the table lacks the role: every element's description asks for one.
    auto text = bundle ? bundle->localizedStringForKey(role, {}, "Accessibility") : role;
    return text == role ? plain(role) : text;
}

fnd::String accessibilityActionDescription(const fnd::String& action)
{
    static const auto bundle = fnd::Bundle::bundleWithName("Foundation");
    auto key = fnd::String(u"action:").appending(action);
    auto text = bundle ? bundle->localizedStringForKey(key, {}, "Accessibility") : key;
    if (text != key)
        return text;
    return (action.view().starts_with(u"AX") ? action.substringFrom(2) : action).lowercaseString();
}

void addAccessibilityObserver(AccessibilityObserver* observer)
{
    auto& observers = accessibilityObservers();
    std::lock_guard guard(observers.lock);
    if (std::find(observers.list.begin(), observers.list.end(), observer) == observers.list.end())
        observers.list.push_back(observer);
    observers.any = true;
}

void removeAccessibilityObserver(AccessibilityObserver* observer)
{
    auto& observers = accessibilityObservers();
    std::lock_guard guard(observers.lock);
    std::erase(observers.list, observer);
    observers.any = !observers.list.empty();
}

bool isAccessibilityObserved()
{
    return accessibilityObservers().any.load(std::memory_order_relaxed);
}

void accessibilityPostNotification(AccessibilityElement& element, const fnd::String& notification)
{
    if (!isAccessibilityObserved() || !fnd::Thread::isMainThread())
        return;
    for (auto* observer : accessibilityObserverSnapshot())
        observer->accessibilityNotification(element, notification);
}

void accessibilityPostNotification(const fnd::Value& element, const fnd::String& notification)
{
    if (auto* e = accessibilityElement(element))
        accessibilityPostNotification(*e, notification);
}

}
