// A plug-in pane with an ordinary view that answers a minimum size far beyond any screen.

#include "frameworks/ZORAppKit/ZORPreferenceWindowController/ZORPrefPaneProtocol.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/ui/views/View.h"

class ZORTestHugeMinimumPane : public fnd::Object, public ZORPrefPaneProtocol, public ZORPrefPaneBundleProtocol {
    FND_OBJECT(ZORTestHugeMinimumPane)

public:
    bool initWithBundle(const std::shared_ptr<fnd::Bundle>& bundle) override
    {
        m_identifier = bundle->bundleIdentifier();
        return true;
    }

    fnd::String identifier() const override { return m_identifier; }
    std::shared_ptr<ui::View> mainView() override { return m_view; }
    fnd::String label() const override { return "Huge Minimum"; }
    std::shared_ptr<gfx::Image> icon() const override { return nullptr; }
    fnd::String category() const override { return "General"; }
    unsigned long sortOrder() const override { return m_sortOrder; }
    void setSortOrder(unsigned long sortOrder) override { m_sortOrder = sortOrder; }

    void loadMainView() override { m_view = ui::View::create({ 0, 0, 300, 120 }); }
    std::optional<gfx::Size> minSize() override { return gfx::Size { 1e300, 1e300 }; }

private:
    fnd::String m_identifier;
    std::shared_ptr<ui::View> m_view;
    unsigned long m_sortOrder { 0 };
};

FND_REGISTER_CLASS(ZORTestHugeMinimumPane, fnd::Object)
