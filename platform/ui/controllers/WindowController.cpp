#include "platform/ui/controllers/WindowController.h"

#include "platform/foundation/runtime/Log.h"
#include "platform/ui/interface/InterfaceFile.h"
#include "platform/ui/views/Window.h"

namespace ui {

FND_REGISTER_CLASS(WindowController, Responder)

void WindowController::describeClass(fnd::ClassBuilder<WindowController>& c)
{
    // Key-value coding reads the window without loading it: an interface file connecting the outlet asks first.
    c.property(
        "window", [](const WindowController& w) { return w.m_window; }, &WindowController::setWindow);
    c.property("windowNibName", &WindowController::windowNibName);
    c.property("windowFrameAutosaveName", &WindowController::windowFrameAutosaveName,
        &WindowController::setWindowFrameAutosaveName);
    c.action("showWindow:", &WindowController::showWindow);
}

void WindowController::initWithWindow(const std::shared_ptr<Window>& window)
{
    setWindow(window);
}

void WindowController::initWithWindowNibName(
    const fnd::String& windowNibName, const std::shared_ptr<fnd::Object>& owner)
{
    m_windowNibName = windowNibName;
    m_owner = owner;
    m_hasOtherOwner = owner != nullptr;
}

std::shared_ptr<fnd::Object> WindowController::owner() const
{
    if (m_hasOtherOwner)
        return m_owner.lock();
    return std::const_pointer_cast<fnd::Object>(shared_from_this());
}

std::shared_ptr<Window> WindowController::window()
{
    if (m_window || m_loading || m_windowNibName.isEmpty())
        return m_window;
    auto self = shared_from_this();
    m_loading = true;
    windowWillLoad();
    loadWindow();
    m_loading = false;
    if (!m_window)
        return nullptr;
    if (!m_windowFrameAutosaveName.isEmpty())
        m_window->setFrameAutosaveName(m_windowFrameAutosaveName);
    windowDidLoad();
    return m_window;
}

void WindowController::setWindow(const std::shared_ptr<Window>& window)
{
    if (window == m_window)
        return;
    willChangeValueForKey("window");
    m_window = window;
    didChangeValueForKey("window");
    if (m_window && !m_loading && !m_windowFrameAutosaveName.isEmpty())
        m_window->setFrameAutosaveName(m_windowFrameAutosaveName);
}

void WindowController::loadWindow()
{
    auto fileOwner = owner();
    if (!fileOwner) {
        fnd::logf(fnd::LogLevel::Error, "{}: the owner of the interface file \u201c{}\u201d is gone.",
            className().utf8(), m_windowNibName.utf8());
        return;
    }
    auto loaded = InterfaceFile::loadNamed(m_windowNibName, fileOwner);
    if (!loaded) {
        fnd::logf(fnd::LogLevel::Error, "{} could not load its window: {}", className().utf8(),
            loaded.error().localizedDescription().utf8());
        return;
    }
    m_topLevelObjects = std::move(loaded->topLevelObjects);
    if (!m_window)
        fnd::logf(fnd::LogLevel::Error,
            "{} loaded the interface file \u201c{}\u201d, but its window outlet was not "
            "connected.",
            className().utf8(), m_windowNibName.utf8());
}

void WindowController::showWindow(const fnd::Value&)
{
    if (auto w = window())
        w->makeKeyAndOrderFront(selfValue());
}

void WindowController::close()
{
    if (m_window)
        m_window->close();
}

void WindowController::setWindowFrameAutosaveName(const fnd::String& name)
{
    if (name == m_windowFrameAutosaveName)
        return;
    m_windowFrameAutosaveName = name;
    if (m_window)
        m_window->setFrameAutosaveName(name);
}

}
