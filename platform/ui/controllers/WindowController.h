#pragma once

#include "platform/ui/views/Responder.h"

#include <memory>
#include <vector>

namespace ui {

// Manages one window that usually comes from an interface file: "<windowNibName>.interface" among the resources
// of the owner's bundle, loaded with the owner (the controller itself unless another is given) as the file's owner,
// whose "window" outlet it connects. The window loads on first request: windowWillLoad, the load (outlets
// connected, awakeFromNib sent), the autosaved frame restored, then windowDidLoad.
class WindowController : public Responder {
    FND_OBJECT(WindowController)
    static void describeClass(fnd::ClassBuilder<WindowController>& c);

public:
    WindowController() = default;
    void initWithWindow(const std::shared_ptr<Window>& window);
    // The owner is not kept alive; null means the controller itself.
    void initWithWindowNibName(const fnd::String& windowNibName, const std::shared_ptr<fnd::Object>& owner = nullptr);

    const fnd::String& windowNibName() const { return m_windowNibName; }
    std::shared_ptr<fnd::Object> owner() const;

    // Loads the window when it has none yet; nullptr when loading failed (the failure is logged). Subclasses that
    // finish their window on first use override it and call the base.
    virtual std::shared_ptr<Window> window();
    void setWindow(const std::shared_ptr<Window>& window);
    bool isWindowLoaded() const { return m_window != nullptr; }
    virtual void loadWindow();
    virtual void windowWillLoad() { }
    virtual void windowDidLoad() { }

    // Brings the window to the front as the key window (loading it first).
    void showWindow(const fnd::Value& sender);
    void close();

    // The window's frame is kept in the user defaults under this name and restored when the window loads.
    const fnd::String& windowFrameAutosaveName() const { return m_windowFrameAutosaveName; }
    void setWindowFrameAutosaveName(const fnd::String& name);

    // The objects at the top of the loaded file, kept alive with the controller.
    const std::vector<std::shared_ptr<fnd::Object>>& topLevelObjects() const { return m_topLevelObjects; }

private:
    fnd::String m_windowNibName;
    std::weak_ptr<fnd::Object> m_owner;
    bool m_hasOtherOwner { false };
    std::shared_ptr<Window> m_window;
    fnd::String m_windowFrameAutosaveName;
    std::vector<std::shared_ptr<fnd::Object>> m_topLevelObjects;
    bool m_loading { false };
};

}
