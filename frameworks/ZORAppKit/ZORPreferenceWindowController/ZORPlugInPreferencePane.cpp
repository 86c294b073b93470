#include "frameworks/ZORAppKit/ZORPreferenceWindowController/ZORPlugInPreferencePane.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/graphics/Image.h"
#include "platform/ui/views/View.h"

#include <exception>

FND_REGISTER_CLASS(ZORPlugInPreferencePane, fnd::Object)

void ZORPlugInPreferencePane::describeClass(fnd::ClassBuilder<ZORPlugInPreferencePane>& c)
{
    c.property("identifier", &ZORPlugInPreferencePane::identifier, &ZORPlugInPreferencePane::setIdentifier);
    c.property("label", &ZORPlugInPreferencePane::label, &ZORPlugInPreferencePane::setLabel);
    c.property("category", &ZORPlugInPreferencePane::category, &ZORPlugInPreferencePane::setCategory);
    c.property("version", &ZORPlugInPreferencePane::version, &ZORPlugInPreferencePane::setVersion);
    c.property("helpURL", &ZORPlugInPreferencePane::helpURL, &ZORPlugInPreferencePane::setHelpURL);
}

namespace {

fnd::String infoString(const fnd::Bundle& bundle, const char* key)
{
    auto value = bundle.objectForInfoDictionaryKey(key);
    return value.isString() ? *value.string() : fnd::String();
}

void refuse(const fnd::Bundle& bundle, const fnd::String& reason)
{
    fnd::logf(
        fnd::LogLevel::Error, "{}; the preference pane {} is not loaded.", reason.utf8(), bundle.bundlePath().utf8());
}

}

std::shared_ptr<ZORPlugInPreferencePane> ZORPlugInPreferencePane::create(const std::shared_ptr<fnd::Bundle>& bundle)
{
    auto pane = fnd::makeObject<ZORPlugInPreferencePane>();
    return pane->initWithBundle(bundle) ? pane : nullptr;
}

bool ZORPlugInPreferencePane::initWithBundle(const std::shared_ptr<fnd::Bundle>& bundle)
{
    if (!bundle)
        return false;
    m_identifier = infoString(*bundle, "CFBundleIdentifier");
    auto className = infoString(*bundle, "NSPrincipalClass");
    if (className.isEmpty()) {
        refuse(*bundle, "principal class name not found");
        return false;
    }
    // A class of that name from other code would be taken for the plug-in's own (the registry keeps the first of
    // a name), so the plug-in is not loaded at all. Its own class, from loading it earlier, is fine.
    if (fnd::ClassRegistry::shared().find(className) && !bundle->classNamed(className)) {
        refuse(*bundle, "class " + className + " already exists");
        return false;
    }
    if (auto loaded = bundle->load(); !loaded) {
        refuse(*bundle, loaded.error().localizedDescription());
        return false;
    }
    if (!bundle->classNamed(className)) {
        refuse(*bundle, "principal class " + className + " not found in its library");
        return false;
    }
    m_pluginBundle = bundle;
    m_principalClassName = className;
    m_label = infoString(*bundle, "NSPrefPaneIconLabel");
    if (m_label.isEmpty())
        m_label = m_identifier;
    auto iconName = infoString(*bundle, "NSPrefPaneIconFile");
    m_icon = gfx::Image::imageForResource(*bundle, iconName.isEmpty() ? m_identifier : iconName);
    m_category = infoString(*bundle, "ZORPrefPaneCategory");
    m_version = infoString(*bundle, "ZORPrefPaneVersion");
    m_helpURL = infoString(*bundle, "ZORPrefPaneHelpURL");
    return true;
}

std::shared_ptr<fnd::Object> ZORPlugInPreferencePane::prefPane()
{
    if (m_prefPane || !m_pluginBundle || m_prefPaneFailed)
        return m_prefPane;
    std::shared_ptr<fnd::Object> object;
    bool refused = false;
    const bool ran = callPlugIn([&] {
        object = fnd::ClassRegistry::shared().create(m_principalClassName);
        auto* bundlePane = dynamic_cast<ZORPrefPaneBundleProtocol*>(object.get());
        auto* pane = dynamic_cast<ZORPrefPaneProtocol*>(object.get());
        if (!bundlePane || !pane) {
            failPlugIn("its principal class " + m_principalClassName.utf8() + " is not a preference pane.");
            refused = true;
        } else if (!bundlePane->initWithBundle(m_pluginBundle)) {
            failPlugIn("its principal class refused to initialise.");
            refused = true;
        } else {
            pane->loadMainView();
        }
    });
    if (!ran || refused)
        return nullptr;
    m_prefPane = object;
    return m_prefPane;
}

bool ZORPlugInPreferencePane::callPlugIn(const std::function<void()>& call)
{
    // The plug-in's code and resources are outside this program: whatever it throws, the pane is one that cannot
    // be set up, and the program goes on without it.
    try {
        call();
        return true;
    } catch (const std::exception& e) {
        failPlugIn(e.what());
    } catch (...) {
        failPlugIn("it threw an exception of an unknown type.");
    }
    return false;
}

void ZORPlugInPreferencePane::failPlugIn(const std::string& why)
{
    m_prefPane = nullptr;
    m_prefPaneFailed = true;
    fnd::logf(
        fnd::LogLevel::Error, "The preference pane {} cannot be set up: {}", m_pluginBundle->bundlePath().utf8(), why);
}

template <typename Result, typename Call> Result ZORPlugInPreferencePane::askPlugIn(Result fallback, Call&& call)
{
    // The instance is held for the call: a throw drops the pane's own hold on it.
    auto instance = prefPane();
    auto* pane = dynamic_cast<ZORPrefPaneProtocol*>(instance.get());
    if (!pane)
        return fallback;
    Result result = fallback;
    callPlugIn([&] { result = call(*pane); });
    return result;
}

template <typename Call> void ZORPlugInPreferencePane::tellPlugIn(Call&& call)
{
    auto instance = prefPane();
    if (auto* pane = dynamic_cast<ZORPrefPaneProtocol*>(instance.get()))
        callPlugIn([&] { call(*pane); });
}

std::shared_ptr<ui::View> ZORPlugInPreferencePane::mainView()
{
    if (!m_pluginBundle)
        return m_mainView;
    return askPlugIn(std::shared_ptr<ui::View>(), [](ZORPrefPaneProtocol& p) { return p.mainView(); });
}

void ZORPlugInPreferencePane::setMainView(const std::shared_ptr<ui::View>& view)
{
    if (!m_pluginBundle)
        m_mainView = view;
}

void ZORPlugInPreferencePane::loadMainView()
{
    // Making the instance sends it loadMainView already; a second one would build its view twice.
    if (m_prefPane)
        tellPlugIn([](ZORPrefPaneProtocol& p) { p.loadMainView(); });
    else
        prefPane();
}

void ZORPlugInPreferencePane::willSelect()
{
    tellPlugIn([](ZORPrefPaneProtocol& p) { p.willSelect(); });
}

void ZORPlugInPreferencePane::didSelect()
{
    tellPlugIn([](ZORPrefPaneProtocol& p) { p.didSelect(); });
}

bool ZORPlugInPreferencePane::shouldUnselect()
{
    return askPlugIn(true, [](ZORPrefPaneProtocol& p) { return p.shouldUnselect(); });
}

void ZORPlugInPreferencePane::willUnselect()
{
    tellPlugIn([](ZORPrefPaneProtocol& p) { p.willUnselect(); });
}

void ZORPlugInPreferencePane::didUnselect()
{
    tellPlugIn([](ZORPrefPaneProtocol& p) { p.didUnselect(); });
}

std::optional<bool> ZORPlugInPreferencePane::shouldResize()
{
    return askPlugIn(std::optional<bool>(), [](ZORPrefPaneProtocol& p) { return p.shouldResize(); });
}

std::optional<gfx::Size> ZORPlugInPreferencePane::minSize()
{
    return askPlugIn(std::optional<gfx::Size>(), [](ZORPrefPaneProtocol& p) { return p.minSize(); });
}

std::optional<gfx::Size> ZORPlugInPreferencePane::maxSize()
{
    return askPlugIn(std::optional<gfx::Size>(), [](ZORPrefPaneProtocol& p) { return p.maxSize(); });
}

std::optional<gfx::Size> ZORPlugInPreferencePane::standardSize()
{
    return askPlugIn(std::optional<gfx::Size>(), [](ZORPrefPaneProtocol& p) { return p.standardSize(); });
}

std::optional<fnd::String> ZORPlugInPreferencePane::categoryDisplayName()
{
    return askPlugIn(std::optional<fnd::String>(), [](ZORPrefPaneProtocol& p) { return p.categoryDisplayName(); });
}

void ZORPlugInPreferencePane::panelDidBecomeMain()
{
    tellPlugIn([](ZORPrefPaneProtocol& p) { p.panelDidBecomeMain(); });
}

bool ZORPlugInPreferencePane::respondsTo(fnd::Selector selector) const
{
    // Asking makes the instance, as any other use of the pane does.
    auto instance = const_cast<ZORPlugInPreferencePane*>(this)->prefPane();
    return (instance && instance->respondsTo(selector)) || Object::respondsTo(selector);
}

fnd::Value ZORPlugInPreferencePane::perform(fnd::Selector selector, std::span<const fnd::Value> arguments)
{
    if (!Object::respondsTo(selector)) {
        if (auto instance = prefPane(); instance && instance->respondsTo(selector)) {
            fnd::Value result;
            callPlugIn([&] { result = instance->perform(selector, arguments); });
            return result;
        }
    }
    return Object::perform(selector, arguments);
}
