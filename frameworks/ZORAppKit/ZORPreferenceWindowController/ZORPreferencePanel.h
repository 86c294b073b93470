#pragma once

#include "frameworks/ZORAppKit/ZORPreferenceWindowController/ZORPrefPaneProtocol.h"

#include "platform/foundation/runtime/Object.h"

// A pane built into the program whose view comes from an interface file: the file is loaded with the panel as its
// owner and connects the view to the outlet "paneMainView". Subclasses give the label, icon and category.
class ZORPreferencePanel : public fnd::Object, public ZORPrefPaneProtocol {
    FND_OBJECT(ZORPreferencePanel)
    static void describeClass(fnd::ClassBuilder<ZORPreferencePanel>& c);

public:
    ZORPreferencePanel() = default;

    // Loads "<nibName>.interface" from the bundle of the panel's class and sends viewDidLoad. A file that cannot be
    // loaded raises "View initialization failed" with the reason "<nibName>: Could not load views resources!".
    void initWithNibName(const fnd::String& nibName, const fnd::String& identifier);
    // For subclasses: the view has been loaded.
    virtual void viewDidLoad() { }

    fnd::String identifier() const override { return m_identifier; }
    std::shared_ptr<ui::View> mainView() override { return m_paneMainView; }
    fnd::String label() const override { return {}; }
    std::shared_ptr<gfx::Image> icon() const override { return nullptr; }
    fnd::String category() const override { return {}; }
    unsigned long sortOrder() const override { return m_sortOrder; }
    void setSortOrder(unsigned long sortOrder) override { m_sortOrder = sortOrder; }

    std::optional<bool> shouldResize() override { return false; }
    std::optional<fnd::String> categoryDisplayName() override { return category(); }

    const std::shared_ptr<ui::View>& paneMainView() const { return m_paneMainView; }
    void setPaneMainView(const std::shared_ptr<ui::View>& view) { m_paneMainView = view; }

private:
    std::shared_ptr<ui::View> m_paneMainView;
    fnd::String m_identifier;
    unsigned long m_sortOrder { 0 };
};
