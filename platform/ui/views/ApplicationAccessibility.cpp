// How the application answers assistive technologies: the root of its tree.

#include "platform/foundation/files/Bundle.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Backend.h"
#include "platform/ui/views/Window.h"

namespace ui {

namespace Attr = AccessibilityAttribute;

namespace {

fnd::String applicationAccessibilityName()
{
    auto bundle = fnd::Bundle::mainBundle();
    if (!bundle)
        return {};
    for (const char* key : { "CFBundleDisplayName", "CFBundleName", "CFBundleExecutable" }) {
        auto name = bundle->objectForInfoDictionaryKey(key);
        if (name.isString() && !name.string()->isEmpty())
            return *name.string();
    }
    return {};
}

}

std::vector<fnd::String> Application::accessibilityAttributeNames() const
{
    return accessibilityAttributeNameList({ Attr::Role, Attr::RoleDescription, Attr::Title, Attr::Children,
        Attr::Windows, Attr::MainWindow, Attr::FocusedWindow, Attr::FocusedUIElement, Attr::MenuBar, Attr::Enabled });
}

fnd::Value Application::accessibilityAttributeValue(const fnd::String& attribute) const
{
    if (attribute == Attr::Role)
        return AccessibilityRole::Application;
    if (attribute == Attr::Title)
        return applicationAccessibilityName();
    if (attribute == Attr::Children || attribute == Attr::Windows) {
        fnd::Array windows;
        for (const auto& window : m_order)
            if (window->isVisible())
                windows.push_back(window->selfValue());
        if (attribute == Attr::Children && m_mainMenu && !accessibilityMenuBarWindow())
            windows.push_back(m_mainMenu->selfValue());
        return windows;
    }
    if (attribute == Attr::MainWindow) {
        auto window = mainWindow();
        return window ? window->selfValue() : fnd::Value();
    }
    if (attribute == Attr::FocusedWindow) {
        auto window = keyWindow();
        return window ? window->selfValue() : fnd::Value();
    }
    if (attribute == Attr::FocusedUIElement) {
        auto window = keyWindow();
        return window ? window->accessibilityFocusedUIElement() : fnd::Value();
    }
    if (attribute == Attr::MenuBar)
        return m_mainMenu ? m_mainMenu->selfValue() : fnd::Value();
    if (attribute == Attr::Enabled)
        return true;
    return AccessibilityElement::accessibilityAttributeValue(attribute);
}

std::shared_ptr<Window> Application::accessibilityMenuBarWindow() const
{
    if (!m_mainMenu)
        return nullptr;
    auto& backend = Backend::current();
    auto shows = [&](const std::shared_ptr<Window>& window) {
        return window && window->isVisible() && backend.menuBarFrame(*window).has_value();
    };
    if (auto main = mainWindow(); shows(main))
        return main;
    if (auto key = keyWindow(); shows(key))
        return key;
    for (const auto& window : m_order)
        if (shows(window))
            return window;
    return nullptr;
}

fnd::Value Application::accessibilityHitTest(gfx::Point screenPoint) const
{
    for (const auto& window : m_order)
        if (window->isVisible() && !window->ignoresMouseEvents() && gfx::pointInRect(screenPoint, window->frame()))
            return window->accessibilityHitTest(screenPoint);
    return selfValue();
}

fnd::Value Application::accessibilityFocusedUIElement() const
{
    auto window = keyWindow();
    return window ? window->accessibilityFocusedUIElement() : selfValue();
}

}
