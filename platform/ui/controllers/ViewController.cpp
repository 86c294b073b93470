#include "platform/ui/controllers/ViewController.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/ui/interface/InterfaceFile.h"
#include "platform/ui/views/View.h"

#include <fmt/format.h>

namespace ui {

FND_REGISTER_CLASS(ViewController, Responder)

void ViewController::describeClass(fnd::ClassBuilder<ViewController>& c)
{
    // Key-value coding reads the view without loading it: an interface file connecting the outlet asks first.
    c.property(
        "view", [](const ViewController& v) { return v.m_view; }, &ViewController::setView);
    c.property("nibName", &ViewController::nibName);
    c.property("representedObject", &ViewController::representedObject, &ViewController::setRepresentedObject);
    c.property("title", &ViewController::title, &ViewController::setTitle);
    c.exposeBinding("representedObject");
}

void ViewController::initWithNibName(const fnd::String& nibName, std::shared_ptr<fnd::Bundle> bundle)
{
    m_nibName = nibName;
    m_nibBundle = std::move(bundle);
}

std::shared_ptr<View> ViewController::view()
{
    if (!m_view)
        loadView();
    return m_view;
}

void ViewController::setView(const std::shared_ptr<View>& view)
{
    if (view == m_view)
        return;
    willChangeValueForKey("view");
    m_view = view;
    didChangeValueForKey("view");
}

void ViewController::loadView()
{
    auto self = shared_from_this();
    fnd::Expected<InterfaceFile::Contents> loaded = std::unexpected(fnd::Error());
    if (m_nibName.isEmpty()) {
        loaded = std::unexpected(fnd::Error::make(InterfaceFile::ErrorDomain, InterfaceFile::FileReadError,
            "The view controller has no interface file name."));
    } else if (m_nibBundle) {
        auto path = m_nibBundle->pathForResource(m_nibName, "interface");
        loaded = path ? InterfaceFile::loadFile(*path, self)
                      : std::unexpected(fnd::Error::make(InterfaceFile::ErrorDomain, InterfaceFile::FileReadError,
                          fnd::String(fmt::format("There is no interface file \u201c{}\u201d in {}.", m_nibName.utf8(),
                              m_nibBundle->bundlePath().utf8()))));
    } else {
        loaded = InterfaceFile::loadNamed(m_nibName, self);
    }
    if (!loaded)
        throw fnd::Exception::internalInconsistency(fnd::String(fmt::format("{} could not load the interface file "
                                                                            "\u201c{}\u201d: {}",
            className().utf8(), m_nibName.utf8(), loaded.error().localizedDescription().utf8())));
    m_topLevelObjects = std::move(loaded->topLevelObjects);
    if (!m_view)
        throw fnd::Exception::internalInconsistency(fnd::String(
            fmt::format("{} loaded the interface file \u201c{}\u201d, but its view outlet was not connected.",
                className().utf8(), m_nibName.utf8())));
}

void ViewController::setRepresentedObject(const fnd::Value& object)
{
    if (object == m_representedObject)
        return;
    willChangeValueForKey("representedObject");
    m_representedObject = object;
    didChangeValueForKey("representedObject");
}

void ViewController::setTitle(const fnd::String& title)
{
    if (title == m_title)
        return;
    willChangeValueForKey("title");
    m_title = title;
    didChangeValueForKey("title");
}

}
