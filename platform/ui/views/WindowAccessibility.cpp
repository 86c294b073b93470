// How a window answers assistive technologies.

#include "platform/ui/views/Application.h"
#include "platform/ui/views/Backend.h"
#include "platform/ui/views/Window.h"

namespace ui {

namespace Attr = AccessibilityAttribute;

std::vector<fnd::String> Window::accessibilityAttributeNames() const
{
    return accessibilityAttributeNameList({ Attr::Role, Attr::Subrole, Attr::RoleDescription, Attr::Title, Attr::Parent,
        Attr::Children, Attr::Position, Attr::Size, Attr::Focused, Attr::Main, Attr::Minimized, Attr::Modal,
        Attr::Enabled, Attr::FocusedUIElement, Attr::DefaultButton });
}

fnd::Value Window::accessibilityAttributeValue(const fnd::String& attribute) const
{
    if (attribute == Attr::Role)
        return isSheet() ? AccessibilityRole::Sheet : AccessibilityRole::Window;
    if (attribute == Attr::Subrole) {
        if (!(m_styleMask & WindowStyleMask::Titled) || isSheet())
            return {};
        if (Application::shared().modalWindow().get() == this)
            return AccessibilitySubrole::Dialog;
        if (m_level > WindowLevel::Normal || (m_styleMask & WindowStyleMask::Utility))
            return AccessibilitySubrole::FloatingWindow;
        return AccessibilitySubrole::StandardWindow;
    }
    if (attribute == Attr::Title)
        return m_title;
    if (attribute == Attr::Parent) {
        if (auto parent = sheetParent())
            return parent->selfValue();
        auto app = Application::sharedPointer();
        return app ? app->selfValue() : fnd::Value();
    }
    if (attribute == Attr::Children) {
        // The bars' elements, each bar in its place when it is unignored, else its unignored children.
        fnd::Array children;
        children.reserve(2 + (m_contentView ? m_contentView->subviews().size() : 0));
        // The main menu's bar, where the backend shows it at the window's top.
        if (const auto& menu = Application::shared().mainMenu(); menu && Backend::current().menuBarFrame(*this)
            && Application::shared().accessibilityMenuBarWindow().get() == this)
            children.push_back(menu->selfValue());
        if (m_toolbarView && !m_toolbarView->isHidden())
            m_toolbarView->accessibilityAppendUnignoredSelf(children);
        if (m_contentView && !m_contentView->isHidden())
            m_contentView->accessibilityAppendUnignoredSelf(children);
        return children;
    }
    if (attribute == Attr::Window || attribute == Attr::TopLevelUIElement)
        return selfValue();
    if (attribute == Attr::Position)
        return m_frame.origin;
    if (attribute == Attr::Size)
        return m_frame.size;
    if (attribute == Attr::Focused)
        return m_isKey;
    if (attribute == Attr::Main)
        return m_isMain;
    if (attribute == Attr::Minimized)
        return false;
    if (attribute == Attr::Modal)
        return Application::shared().modalWindow().get() == this || isSheet();
    if (attribute == Attr::Enabled)
        return acceptsInput();
    if (attribute == Attr::FocusedUIElement) {
        auto focused = accessibilityFocusedUIElement();
        return focused.object().get() == this ? fnd::Value() : focused;
    }
    if (attribute == Attr::DefaultButton) {
        auto* view = defaultButtonView();
        return view ? accessibilityUnignoredAncestor(view->selfValue()) : fnd::Value();
    }
    return AccessibilityElement::accessibilityAttributeValue(attribute);
}

bool Window::accessibilityIsAttributeSettable(const fnd::String& attribute) const
{
    if (attribute == Attr::Main || attribute == Attr::Focused)
        return canBecomeKeyWindow();
    return attribute == Attr::Position || (attribute == Attr::Size && (m_styleMask & WindowStyleMask::Resizable));
}

void Window::accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute)
{
    auto self = shared_from_this();
    if ((attribute == Attr::Main || attribute == Attr::Focused) && value.boolValue() && canBecomeKeyWindow()) {
        makeKeyAndOrderFront();
    } else if (attribute == Attr::Position) {
        if (auto point = value.point())
            setFrameOrigin(*point);
    } else if (attribute == Attr::Size && (m_styleMask & WindowStyleMask::Resizable)) {
        if (auto size = value.size())
            setFrame({ m_frame.origin, *size }, true);
    }
}

std::vector<fnd::String> Window::accessibilityActionNames() const
{
    return { AccessibilityAction::Raise };
}

void Window::accessibilityPerformAction(const fnd::String& action)
{
    if (action == AccessibilityAction::Raise && m_visible)
        makeKeyAndOrderFront();
}

fnd::Value Window::accessibilityHitTest(gfx::Point screenPoint) const
{
    auto base = convertScreenToBase(screenPoint);
    if (auto view = hitTestViews(base))
        return view->accessibilityHitTest(screenPoint);
    return selfValue();
}

std::shared_ptr<View> Window::accessibilityFocusedView() const
{
    if (auto client = fieldEditorClientView())
        return client;
    return std::dynamic_pointer_cast<View>(m_firstResponder.lock());
}

fnd::Value Window::accessibilityFocusedUIElement() const
{
    if (auto view = accessibilityFocusedView()) {
        auto focused = view->accessibilityFocusedUIElement();
        if (!focused.isNil())
            return focused;
    }
    return selfValue();
}

}
