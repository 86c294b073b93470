#pragma once

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/graphics/Geometry.h"
#include "platform/ui/accessibility/AccessibilityElement.h"
#include "platform/ui/views/Forward.h"

#include <memory>

namespace ui {

class TabView;

// The state a tab shows, with the platform's values.
enum class TabState { Selected = 0, Background = 1, Pressed = 2 };

// One page of a tab view: a label for its tab, an identifier the program chooses (any value) and the view shown
// while it is selected. Label and identifier are observable by key-value observing and can be bound.
class TabViewItem : public fnd::Object, public fnd::Coding, public AccessibilityElement {
    FND_OBJECT(TabViewItem)
    static void describeClass(fnd::ClassBuilder<TabViewItem>& c);

public:
    TabViewItem() = default;
    static std::shared_ptr<TabViewItem> create(const fnd::Value& identifier = {});
    // The designated initializer.
    void initWithIdentifier(const fnd::Value& identifier);

    // Keyed archives: "NSLabel", "NSIdentifier" (left out when it is an object no archive holds), "NSView",
    // "NSToolTip"; the tab view sets the item's back link when it takes the item.
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

    const fnd::String& label() const { return m_label; }
    void setLabel(const fnd::String& label);
    const fnd::Value& identifier() const { return m_identifier; }
    void setIdentifier(const fnd::Value& identifier);
    const std::shared_ptr<View>& view() const { return m_view; }
    void setView(const std::shared_ptr<View>& view);
    const fnd::String& toolTip() const { return m_toolTip; }
    void setToolTip(const fnd::String& toolTip) { m_toolTip = toolTip; }
    std::shared_ptr<View> initialFirstResponder() const { return m_initialFirstResponder.lock(); }
    void setInitialFirstResponder(const std::shared_ptr<View>& view) { m_initialFirstResponder = view; }

    std::shared_ptr<TabView> tabView() const { return m_tabView.lock(); }
    TabState tabState() const { return m_tabState; }

    // The room the label takes in the tab view's font.
    gfx::Size sizeOfLabel(bool computeMin) const;

    // Used by the tab view.
    void setTabView(const std::shared_ptr<TabView>& tabView) { m_tabView = tabView; }
    void setTabState(TabState state) { m_tabState = state; }

    // Accessibility: a tab, a radio button whose value tells whether it is selected; pressing it selects it.
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    std::vector<fnd::String> accessibilityActionNames() const override;
    void accessibilityPerformAction(const fnd::String& action) override;
    bool accessibilityIsIgnored() const override { return false; }

private:
    fnd::String m_label;
    fnd::Value m_identifier;
    std::shared_ptr<View> m_view;
    fnd::String m_toolTip;
    std::weak_ptr<View> m_initialFirstResponder;
    std::weak_ptr<TabView> m_tabView;
    TabState m_tabState { TabState::Background };
};

}
