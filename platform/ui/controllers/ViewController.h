#pragma once

#include "platform/ui/views/Responder.h"

#include <memory>
#include <vector>

namespace fnd {
class Bundle;
}

namespace ui {

// Manages one view that usually comes from an interface file: "<nibName>.interface" of the bundle (the bundle of
// the controller's class when none is given), loaded with the controller as its owner, whose "view" outlet it
// connects. The view loads on first request. The represented object is what the view shows; views inside the file
// bind to "representedObject.<key path>" of the owner.
class ViewController : public Responder {
    FND_OBJECT(ViewController)
    static void describeClass(fnd::ClassBuilder<ViewController>& c);

public:
    ViewController() = default;
    void initWithNibName(const fnd::String& nibName, std::shared_ptr<fnd::Bundle> bundle = nullptr);

    const fnd::String& nibName() const { return m_nibName; }
    const std::shared_ptr<fnd::Bundle>& nibBundle() const { return m_nibBundle; }

    // Loads the view when it has none yet.
    std::shared_ptr<View> view();
    void setView(const std::shared_ptr<View>& view);
    bool isViewLoaded() const { return m_view != nullptr; }
    // Loads the interface file; a file that cannot be loaded (a program's own resource) raises an
    // internal-inconsistency exception naming it.
    virtual void loadView();

    const fnd::Value& representedObject() const { return m_representedObject; }
    void setRepresentedObject(const fnd::Value& object);
    const fnd::String& title() const { return m_title; }
    void setTitle(const fnd::String& title);

    // The objects at the top of the loaded file, kept alive with the controller.
    const std::vector<std::shared_ptr<fnd::Object>>& topLevelObjects() const { return m_topLevelObjects; }

private:
    fnd::String m_nibName;
    std::shared_ptr<fnd::Bundle> m_nibBundle;
    std::shared_ptr<View> m_view;
    fnd::Value m_representedObject;
    fnd::String m_title;
    std::vector<std::shared_ptr<fnd::Object>> m_topLevelObjects;
};

}
