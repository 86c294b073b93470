#include "platform/ui/accessibility/AccessibilityPartElement.h"

#include <algorithm>

namespace ui {

namespace {

namespace Attr = AccessibilityAttribute;
using Key = AccessibilityAttributeKey;

}

AccessibilityPartElement::AccessibilityPartElement(
    const std::shared_ptr<fnd::Object>& owner, long part, fnd::String role, fnd::String subrole)
    : m_owner(owner)
    , m_part(part)
    , m_role(std::move(role))
    , m_subrole(std::move(subrole))
{
}

AccessibilityPartOwner* AccessibilityPartElement::owner(const std::shared_ptr<fnd::Object>& object) const
{
    return dynamic_cast<AccessibilityPartOwner*>(object.get());
}

std::vector<fnd::String> AccessibilityPartElement::accessibilityAttributeNames() const
{
    // The names a part of its role answers: an assistive technology reads every name it is given.
    auto names = accessibilityAttributeNameList(
        { Attr::Role, Attr::RoleDescription, Attr::Title, Attr::Description, Attr::Enabled, Attr::Selected,
            Attr::Focused, Attr::Parent, Attr::Window, Attr::TopLevelUIElement, Attr::Position, Attr::Size });
    if (!m_subrole.isEmpty())
        accessibilityAddAttributeNames(names, { Attr::Subrole });
    if (m_role == AccessibilityRole::Slider || m_role == AccessibilityRole::Incrementor)
        accessibilityAddAttributeNames(names, { Attr::Value, Attr::ValueDescription, Attr::MinValue, Attr::MaxValue });
    else if (m_role == AccessibilityRole::Button)
        accessibilityAddAttributeNames(names, { Attr::Value });
    return names;
}

fnd::Value AccessibilityPartElement::accessibilityAttributeValue(const fnd::String& attribute) const
{
    const auto key = accessibilityAttributeKey(attribute);
    switch (key) {
    case Key::Role:
        return m_role;
    case Key::Subrole:
        return m_subrole.isEmpty() ? fnd::Value() : fnd::Value(m_subrole);
    case Key::RoleDescription:
        return AccessibilityElement::accessibilityAttributeValue(attribute);
    default:
        break;
    }
    auto object = ownerObject();
    auto* partOwner = owner(object);
    auto* element = dynamic_cast<AccessibilityElement*>(object.get());
    if (!partOwner || !element)
        return {};
    switch (key) {
    case Key::Parent:
        return accessibilityUnignoredAncestor(object->selfValue());
    case Key::Window:
    case Key::TopLevelUIElement:
        return accessibilityAttribute(*element, attribute);
    case Key::Children:
    case Key::Unknown:
        return {};
    default:
        return partOwner->accessibilityPartAttributeValue(m_part, key);
    }
}

bool AccessibilityPartElement::accessibilityIsAttributeSettable(const fnd::String& attribute) const
{
    auto object = ownerObject();
    auto* partOwner = owner(object);
    return partOwner && partOwner->accessibilityPartIsAttributeSettable(m_part, accessibilityAttributeKey(attribute));
}

void AccessibilityPartElement::accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute)
{
    auto object = ownerObject();
    auto* partOwner = owner(object);
    const auto key = accessibilityAttributeKey(attribute);
    if (partOwner && partOwner->accessibilityPartIsAttributeSettable(m_part, key))
        partOwner->accessibilityPartSetValue(m_part, key, value);
}

std::vector<fnd::String> AccessibilityPartElement::accessibilityActionNames() const
{
    auto object = ownerObject();
    auto* partOwner = owner(object);
    return partOwner ? partOwner->accessibilityPartActionNames(m_part) : std::vector<fnd::String>();
}

void AccessibilityPartElement::accessibilityPerformAction(const fnd::String& action)
{
    // The owner may let this element go while the action runs (a press that lists other rows).
    auto self = shared_from_this();
    auto object = ownerObject();
    auto* partOwner = owner(object);
    if (!partOwner)
        return;
    auto actions = partOwner->accessibilityPartActionNames(m_part);
    if (std::find(actions.begin(), actions.end(), action) != actions.end())
        partOwner->accessibilityPartPerformAction(m_part, action);
}

fnd::Value AccessibilityPartElement::accessibilityHitTest(gfx::Point screenPoint) const
{
    (void)screenPoint;
    return selfValue();
}

fnd::Value AccessibilityPartElement::accessibilityFocusedUIElement() const
{
    return selfValue();
}

fnd::Array AccessibilityParts::elements(
    const fnd::Object& owner, long count, const fnd::String& role, const fnd::String& subrole)
{
    fnd::Array values;
    values.reserve(std::size_t(std::max(count, 0L)));
    for (long part = 0; part < count; ++part)
        values.push_back(element(owner, part, count, role, subrole));
    return values;
}

fnd::Value AccessibilityParts::element(
    const fnd::Object& owner, long part, long count, const fnd::String& role, const fnd::String& subrole)
{
    if (part < 0 || part >= count)
        return {};
    if (m_elements.size() != std::size_t(count))
        m_elements.resize(std::size_t(count));
    auto& slot = m_elements[std::size_t(part)];
    if (!slot)
        slot = std::make_shared<AccessibilityPartElement>(
            std::const_pointer_cast<fnd::Object>(owner.shared_from_this()), part, role, subrole);
    return slot->selfValue();
}

fnd::Value AccessibilityParts::existingElement(long part) const
{
    if (part < 0 || std::size_t(part) >= m_elements.size() || !m_elements[std::size_t(part)])
        return {};
    return m_elements[std::size_t(part)]->selfValue();
}

}
