// A plug-in pane that builds a small view when loaded and gives itself a new, larger one each time it is about to be
// shown (as a pane that builds its view from settings read at that moment does).

#include "frameworks/ZORAppKit/ZORPreferenceWindowController/ZORPrefPaneProtocol.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/ui/views/View.h"

class ZORTestReplacesViewPane : public fnd::Object, public ZORPrefPaneProtocol, public ZORPrefPaneBundleProtocol {
    FND_OBJECT(ZORTestReplacesViewPane)
    static void describeClass(fnd::ClassBuilder<ZORTestReplacesViewPane>& c);

public:
    bool initWithBundle(const std::shared_ptr<fnd::Bundle>& bundle) override
    {
        m_identifier = bundle->bundleIdentifier();
        return true;
    }

    fnd::String identifier() const override { return m_identifier; }
    std::shared_ptr<ui::View> mainView() override { return m_view; }
    fnd::String label() const override { return "Fresh View"; }
    std::shared_ptr<gfx::Image> icon() const override { return nullptr; }
    fnd::String category() const override { return "General"; }
    unsigned long sortOrder() const override { return m_sortOrder; }
    void setSortOrder(unsigned long sortOrder) override { m_sortOrder = sortOrder; }

    void loadMainView() override { m_view = ui::View::create({ 0, 0, 200, 80 }); }
    void willSelect() override
    {
        ++m_viewsMade;
        m_view = ui::View::create({ 0, 0, 320, 140 });
    }
    // How many views willSelect made.
    long viewsMade() const { return m_viewsMade; }

private:
    fnd::String m_identifier;
    std::shared_ptr<ui::View> m_view;
    unsigned long m_sortOrder { 0 };
    long m_viewsMade { 0 };
};

FND_REGISTER_CLASS(ZORTestReplacesViewPane, fnd::Object)

void ZORTestReplacesViewPane::describeClass(fnd::ClassBuilder<ZORTestReplacesViewPane>& c)
{
    c.property("viewsMade", &ZORTestReplacesViewPane::viewsMade);
}
