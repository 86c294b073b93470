#pragma once

#include "frameworks/ZORAppKit/ZORPreferenceWindowController/ZORPrefPaneProtocol.h"

#include "platform/foundation/runtime/Object.h"

#include <functional>
#include <string>

// Stands for a pane that lives in a plug-in bundle: a folder with an Info.plist, resources and a shared library
// whose principal class is the pane. The Info keys are read at once and the library is loaded then, so that a
// broken plug-in is refused before it is listed; the principal class is made only when the pane is first used,
// and from then on every optional pane message and every runtime message the proxy does not answer itself goes
// to it. Whatever the plug-in throws, at any of them, stays here: the plug-in is failed for good (logged once, no
// view, no more messages) and the message answers as for a pane that does not answer it.
class ZORPlugInPreferencePane : public fnd::Object, public ZORPrefPaneProtocol {
    FND_OBJECT(ZORPlugInPreferencePane)
    static void describeClass(fnd::ClassBuilder<ZORPlugInPreferencePane>& c);

public:
    ZORPlugInPreferencePane() = default;
    // A proxy for the bundle's pane; nullptr, with the reason logged, when the Info.plist names no principal class,
    // a class of that name is present already (from other code), the library does not load or does not register
    // the class.
    static std::shared_ptr<ZORPlugInPreferencePane> create(const std::shared_ptr<fnd::Bundle>& bundle);
    // Reads the Info keys and loads the library; false as create() describes.
    bool initWithBundle(const std::shared_ptr<fnd::Bundle>& bundle);

    const std::shared_ptr<fnd::Bundle>& bundle() const { return m_pluginBundle; }
    const std::shared_ptr<fnd::Bundle>& pluginBundle() const { return m_pluginBundle; }
    // The principal class's instance, made and sent loadMainView on first need; nullptr when it cannot be made
    // or throws anything while it is made or loads its view (the reason is logged once).
    std::shared_ptr<fnd::Object> prefPane();
    // Whether the plug-in failed for good: it could not be made, or threw at some message.
    bool hasFailed() const { return m_prefPaneFailed; }

    fnd::String identifier() const override { return m_identifier; }
    void setIdentifier(const fnd::String& identifier) { m_identifier = identifier; }
    fnd::String label() const override { return m_label; }
    void setLabel(const fnd::String& label) { m_label = label; }
    std::shared_ptr<gfx::Image> icon() const override { return m_icon; }
    void setIcon(const std::shared_ptr<gfx::Image>& icon) { m_icon = icon; }
    fnd::String category() const override { return m_category; }
    void setCategory(const fnd::String& category) { m_category = category; }
    const fnd::String& version() const { return m_version; }
    void setVersion(const fnd::String& version) { m_version = version; }
    const fnd::String& helpURL() const { return m_helpURL; }
    void setHelpURL(const fnd::String& helpURL) { m_helpURL = helpURL; }
    unsigned long sortOrder() const override { return m_sortOrder; }
    void setSortOrder(unsigned long sortOrder) override { m_sortOrder = sortOrder; }

    // With a bundle, the principal class's view; otherwise the stored one.
    std::shared_ptr<ui::View> mainView() override;
    // Ignored when the pane has a bundle.
    void setMainView(const std::shared_ptr<ui::View>& view);
    void loadMainView() override;

    void willSelect() override;
    void didSelect() override;
    bool shouldUnselect() override;
    void willUnselect() override;
    void didUnselect() override;
    std::optional<bool> shouldResize() override;
    std::optional<gfx::Size> minSize() override;
    std::optional<gfx::Size> maxSize() override;
    std::optional<gfx::Size> standardSize() override;
    std::optional<fnd::String> categoryDisplayName() override;
    void panelDidBecomeMain() override;

    using Object::perform;
    bool respondsTo(fnd::Selector selector) const override;
    fnd::Value perform(fnd::Selector selector, std::span<const fnd::Value> arguments) override;

private:
    // A pane message to the instance (made on first need): its answer, or the fallback when there is no instance or
    // the instance throws, which fails the plug-in.
    template <typename Result, typename Call> Result askPlugIn(Result fallback, Call&& call);
    template <typename Call> void tellPlugIn(Call&& call);
    // Runs the plug-in's code; false when it threw, which fails the plug-in.
    bool callPlugIn(const std::function<void()>& call);
    // Logs why the plug-in cannot be set up and drops its instance for good.
    void failPlugIn(const std::string& why);

    fnd::String m_identifier;
    fnd::String m_label;
    fnd::String m_category;
    fnd::String m_version;
    fnd::String m_helpURL;
    std::shared_ptr<gfx::Image> m_icon;
    std::shared_ptr<ui::View> m_mainView;
    unsigned long m_sortOrder { 0 };
    std::shared_ptr<fnd::Bundle> m_pluginBundle;
    fnd::String m_principalClassName;
    std::shared_ptr<fnd::Object> m_prefPane;
    bool m_prefPaneFailed { false };
};
