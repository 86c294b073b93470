// A plug-in pane that builds its view in code when asked to load it, and counts how often it is asked.

#include "frameworks/ZORAppKit/ZORPreferenceWindowController/ZORPrefPaneProtocol.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/ui/text/TextField.h"
#include "platform/ui/views/View.h"

class ZORTestNetworkPane : public fnd::Object, public ZORPrefPaneProtocol, public ZORPrefPaneBundleProtocol {
    FND_OBJECT(ZORTestNetworkPane)
    static void describeClass(fnd::ClassBuilder<ZORTestNetworkPane>& c);

public:
    bool initWithBundle(const std::shared_ptr<fnd::Bundle>& bundle) override
    {
        m_identifier = bundle->bundleIdentifier();
        return true;
    }

    fnd::String identifier() const override { return m_identifier; }
    std::shared_ptr<ui::View> mainView() override { return m_view; }
    fnd::String label() const override { return "Network"; }
    std::shared_ptr<gfx::Image> icon() const override { return nullptr; }
    fnd::String category() const override { return "Internet"; }
    unsigned long sortOrder() const override { return m_sortOrder; }
    void setSortOrder(unsigned long sortOrder) override { m_sortOrder = sortOrder; }

    void loadMainView() override
    {
        ++m_loadCount;
        m_view = ui::View::create({ 0, 0, 280, 90 });
        auto field = ui::TextField::create({ 20, 40, 240, 24 });
        field->setPlaceholderString("Proxy server");
        m_view->addSubview(field);
    }
    long loadCount() const { return m_loadCount; }

private:
    fnd::String m_identifier;
    std::shared_ptr<ui::View> m_view;
    unsigned long m_sortOrder { 0 };
    long m_loadCount { 0 };
};

FND_REGISTER_CLASS(ZORTestNetworkPane, fnd::Object)

void ZORTestNetworkPane::describeClass(fnd::ClassBuilder<ZORTestNetworkPane>& c)
{
    c.property("loadCount", &ZORTestNetworkPane::loadCount);
}
