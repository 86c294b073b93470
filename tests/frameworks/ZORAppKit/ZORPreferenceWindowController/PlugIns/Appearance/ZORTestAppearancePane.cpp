// A plug-in pane whose view comes from an interface file in its bundle. It keeps the pane messages it hears, so
// tests can read them through the runtime ("events"), and has an action only it answers.

#include "frameworks/ZORAppKit/ZORPreferenceWindowController/ZORPreferencePanel.h"

#include "platform/foundation/files/Bundle.h"

class ZORTestAppearancePane : public ZORPreferencePanel, public ZORPrefPaneBundleProtocol {
    FND_OBJECT(ZORTestAppearancePane)
    static void describeClass(fnd::ClassBuilder<ZORTestAppearancePane>& c);

public:
    bool initWithBundle(const std::shared_ptr<fnd::Bundle>& bundle) override
    {
        initWithNibName("AppearancePane", bundle->bundleIdentifier());
        return true;
    }

    fnd::String label() const override { return "Appearance (instance)"; }
    fnd::String category() const override { return "Display"; }
    void willSelect() override { note("willSelect"); }
    void didSelect() override { note("didSelect"); }
    void willUnselect() override { note("willUnselect"); }
    void didUnselect() override { note("didUnselect"); }
    std::optional<gfx::Size> minSize() override { return gfx::Size { 300, 150 }; }

    void resetAppearance(const fnd::Value&) { note("resetAppearance"); }
    const fnd::Array& events() const { return m_events; }

private:
    void note(const char* event) { m_events.push_back(fnd::String(event)); }

    fnd::Array m_events;
};

FND_REGISTER_CLASS(ZORTestAppearancePane, ZORPreferencePanel)

void ZORTestAppearancePane::describeClass(fnd::ClassBuilder<ZORTestAppearancePane>& c)
{
    c.property("events", &ZORTestAppearancePane::events);
    c.action("resetAppearance:", &ZORTestAppearancePane::resetAppearance);
}
