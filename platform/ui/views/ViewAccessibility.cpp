// How a view answers assistive technologies: its place in the tree, its rectangle on the screen and its focus.

#include "platform/ui/views/View.h"
#include "platform/ui/views/Window.h"

#include <typeinfo>

namespace ui {

namespace Attr = AccessibilityAttribute;

std::vector<fnd::String> View::accessibilityAttributeNames() const
{
    auto names = accessibilityAttributeNameList({ Attr::Role, Attr::RoleDescription, Attr::Parent, Attr::Children,
        Attr::Window, Attr::TopLevelUIElement, Attr::Position, Attr::Size, Attr::Focused, Attr::Enabled });
    if (!m_toolTip.isEmpty())
        names.push_back(Attr::Help);
    if (accessibilityTitleUIElement())
        names.push_back(Attr::TitleUIElement);
    return names;
}

fnd::Value View::accessibilityAttributeValue(const fnd::String& attribute) const
{
    if (attribute == Attr::Role)
        return AccessibilityRole::Group;
    if (attribute == Attr::Parent) {
        if (auto parent = superview())
            return accessibilityUnignoredAncestor(parent->selfValue());
        auto w = window();
        return w ? w->selfValue() : fnd::Value();
    }
    if (attribute == Attr::Children)
        return accessibilityChildrenOfSubviews();
    if (attribute == Attr::Window || attribute == Attr::TopLevelUIElement) {
        auto w = window();
        return w ? w->selfValue() : fnd::Value();
    }
    if (attribute == Attr::Position)
        return accessibilityFrameOnScreen().origin;
    if (attribute == Attr::Size)
        return accessibilityFrameOnScreen().size;
    if (attribute == Attr::Focused)
        return accessibilityHasKeyboardFocus();
    if (attribute == Attr::Enabled)
        return true;
    if (attribute == Attr::Help)
        return m_toolTip.isEmpty() ? fnd::Value() : fnd::Value(m_toolTip);
    if (attribute == Attr::TitleUIElement) {
        auto label = accessibilityTitleUIElement();
        return label ? accessibilityUnignoredAncestor(label->selfValue()) : fnd::Value();
    }
    return AccessibilityElement::accessibilityAttributeValue(attribute);
}

bool View::accessibilityIsAttributeSettable(const fnd::String& attribute) const
{
    return attribute == AccessibilityAttribute::Focused && acceptsFirstResponder() && !isHiddenOrHasHiddenAncestor();
}

void View::accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute)
{
    if (attribute != AccessibilityAttribute::Focused || !value.boolValue()
        || !accessibilityIsAttributeSettable(attribute))
        return;
    if (auto w = window())
        w->makeFirstResponder(std::static_pointer_cast<View>(shared_from_this()));
}

bool View::accessibilityIsIgnored() const
{
    return true;
}

fnd::Value View::accessibilityHitTest(gfx::Point screenPoint) const
{
    auto self = std::const_pointer_cast<View>(std::static_pointer_cast<const View>(shared_from_this()));
    if (auto w = window()) {
        auto base = w->convertScreenToBase(screenPoint);
        auto parent = superview();
        auto point = parent ? parent->convertPointFromView(base, nullptr) : base;
        auto hit = self->hitTest(point);
        // The deepest view answers for itself (a view of cells finds the cell there).
        if (hit && hit != self)
            return hit->accessibilityHitTest(screenPoint);
    }
    return accessibilityUnignoredAncestor(selfValue());
}

fnd::Value View::accessibilityFocusedUIElement() const
{
    return accessibilityUnignoredAncestor(selfValue());
}

std::optional<gfx::Rect> View::accessibilityFrameOfCell(const Cell& cell) const
{
    (void)cell;
    return std::nullopt;
}

gfx::Rect View::accessibilityFrameOnScreen() const
{
    auto w = window();
    if (!w)
        return m_frame;
    return w->convertRectToScreen(convertRectToView(m_bounds, nullptr));
}

bool View::accessibilityHasKeyboardFocus() const
{
    auto w = window();
    if (!w || !w->isKeyWindow())
        return false;
    auto first = w->firstResponder();
    if (first.get() == this)
        return true;
    // While a field is edited the shared field editor has the keyboard on the field's behalf.
    return w->fieldEditorClientView().get() == this;
}

fnd::String View::accessibilityDescription() const
{
    const auto& overrides = accessibilityOverrideValues();
    auto found = overrides.find(AccessibilityAttribute::Description);
    return found != overrides.end() && found->second.isString() ? *found->second.string() : fnd::String();
}

void View::setAccessibilityDescription(const fnd::String& description)
{
    accessibilitySetOverrideValue(
        description.isEmpty() ? fnd::Value() : fnd::Value(description), AccessibilityAttribute::Description);
}

fnd::Array View::accessibilityChildrenOfSubviews() const
{
    // Straight into the one list: every children request of a window goes through here for each ignored view.
    fnd::Array children;
    children.reserve(m_subviews.size());
    accessibilityAppendUnignoredSubviews(children);
    return children;
}

void View::accessibilityAppendUnignoredSubviews(fnd::Array& into) const
{
    for (const auto& subview : m_subviews)
        if (!subview->isHidden())
            subview->accessibilityAppendUnignoredSelf(into);
}

void View::accessibilityAppendUnignoredSelf(fnd::Array& into) const
{
    if (!accessibilityIsIgnored()) {
        into.push_back(selfValue());
        return;
    }
    // A plain view's children are its subviews' unignored elements, already what would take its place: they go in
    // as they are, without being looked up and asked again. A subclass may answer other children, and a value set
    // for the attribute answers in place of any view's own.
    if (typeid(*this) == typeid(View) && !accessibilityOverrideValues().contains(Attr::Children))
        accessibilityAppendUnignoredSubviews(into);
    else
        accessibilityAppendUnignoredChildrenOfIgnored(*this, into);
}

void View::accessibilityNoteChildrenChanged()
{
    if (!isAccessibilityObserved() || !window())
        return;
    auto owner = accessibilityIsIgnored() ? accessibilityUnignoredAncestor(selfValue()) : selfValue();
    accessibilityPostNotification(owner, AccessibilityNotification::ChildrenChanged);
}

}
