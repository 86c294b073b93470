// A plug-in pane whose code throws: built once per way of throwing, each with a principal class of its own (named by
// THROWING_PANE_CLASS), throwing a standard exception (THROWS_STANDARD) or a plain number (THROWS_ANYTHING) when it is
// initialised with its bundle, a framework exception when it loads its view (THROWS_ONLOAD), a standard exception as
// it is about to be shown (THROWS_ONSELECT, from willSelect) or once it is shown (THROWS_ONSHOWN, from didSelect and
// every later message).

#include "frameworks/ZORAppKit/ZORPreferenceWindowController/ZORPrefPaneProtocol.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/ui/views/View.h"

#include <stdexcept>

class THROWING_PANE_CLASS : public fnd::Object, public ZORPrefPaneProtocol, public ZORPrefPaneBundleProtocol {
    FND_OBJECT(THROWING_PANE_CLASS)

public:
    bool initWithBundle(const std::shared_ptr<fnd::Bundle>& bundle) override
    {
        m_identifier = bundle->bundleIdentifier();
#if defined(THROWS_STANDARD)
        throw std::runtime_error("the pane's settings file is damaged");
#elif defined(THROWS_ANYTHING)
        throw 42;
#endif
        return true;
    }

    fnd::String identifier() const override
    {
        return m_identifier;
    }
    std::shared_ptr<ui::View> mainView() override
    {
        return m_view;
    }
    fnd::String label() const override
    {
        return "Throwing";
    }
    std::shared_ptr<gfx::Image> icon() const override
    {
        return nullptr;
    }
    fnd::String category() const override
    {
        return "Broken";
    }
    unsigned long sortOrder() const override
    {
        return m_sortOrder;
    }
    void setSortOrder(unsigned long sortOrder) override
    {
        m_sortOrder = sortOrder;
    }

    void loadMainView() override
    {
#if defined(THROWS_ONLOAD)
        throw fnd::Exception::internalInconsistency("the pane's view could not be built");
#endif
        m_view = ui::View::create({ 0, 0, 200, 80 });
    }

#if defined(THROWS_ONSELECT)
    void willSelect() override
    {
        throw std::runtime_error("the pane lost its settings before it was shown");
    }
#elif defined(THROWS_ONSHOWN)
    void didSelect() override
    {
        throw std::runtime_error("the pane lost its settings once shown");
    }
    void willUnselect() override
    {
        throw std::runtime_error("the pane is asked after it failed");
    }
    void didUnselect() override
    {
        throw std::runtime_error("the pane is asked after it failed");
    }
    void panelDidBecomeMain() override
    {
        throw std::runtime_error("the pane is asked after it failed");
    }
#endif

private:
    fnd::String m_identifier;
    std::shared_ptr<ui::View> m_view;
    unsigned long m_sortOrder { 0 };
};

// Through a second macro, so that the class name is expanded before it is turned into the registered name.
#define ZOR_TEST_REGISTER_THROWING_PANE(Class) FND_REGISTER_CLASS(Class, fnd::Object)
ZOR_TEST_REGISTER_THROWING_PANE(THROWING_PANE_CLASS)
