#include "platform/ui/panels/detail/StandardPanels.h"

#include "platform/foundation/runtime/ClassBuilder.h"
#include "platform/ui/panels/ColorPanel.h"
#include "platform/ui/panels/FontPanel.h"
#include "platform/ui/views/Screen.h"
#include "platform/ui/views/Window.h"
#include "platform/ui/views/detail/StandardPanelActions.h"

#include <cmath>

namespace ui::detail {

void orderFrontBesideMainWindow(Window& panel)
{
    auto keep = panel.shared_from_this();
    if (!panel.isVisible()) {
        auto& app = Application::shared();
        auto main = app.mainWindow();
        if (!main || main.get() == &panel)
            main = app.keyWindow();
        if (main && main.get() != &panel && main->isVisible()) {
            constexpr double Gap = 8;
            constexpr double CascadeStep = 28;
            const auto anchor = main->frame();
            const auto size = panel.frame().size;
            auto screen = Screen::screenForRect(anchor);
            const auto visible = screen ? screen->visibleFrame() : anchor;
            double x = anchor.maxX() + Gap;
            if (x + size.width > visible.maxX() && anchor.minX() - Gap - size.width >= visible.minX())
                x = anchor.minX() - Gap - size.width;
            double top = anchor.maxY();
            // Below the panels already shown there, so that none hides another.
            for (bool moved = true; moved;) {
                moved = false;
                for (const auto& other : app.windows()) {
                    if (other.get() == &panel || !other->isVisible() || !other->closesOnEscape())
                        continue;
                    if (std::abs(other->frame().minX() - x) < CascadeStep / 2
                        && std::abs(other->frame().maxY() - top) < CascadeStep / 2) {
                        top -= CascadeStep;
                        moved = true;
                    }
                }
            }
            panel.setFrame(Screen::frameKeptOnScreen({ x, top - size.height, size.width, size.height }), false);
        }
    }
    panel.makeKeyAndOrderFront();
}

namespace {

// Answers the standard toolbar items by bringing the shared panels to the front.
class StandardPanelActions : public fnd::Object {
    FND_OBJECT(StandardPanelActions)
    static void describeClass(fnd::ClassBuilder<StandardPanelActions>& c);

public:
    void orderFrontColorPanel(const fnd::Value& sender)
    {
        ColorPanel::sharedColorPanel()->orderFrontColorPanel(sender);
    }
    void orderFrontFontPanel(const fnd::Value& sender) { FontPanel::sharedFontPanel()->orderFrontFontPanel(sender); }
};

}

FND_REGISTER_CLASS(StandardPanelActions, fnd::Object)

void StandardPanelActions::describeClass(fnd::ClassBuilder<StandardPanelActions>& c)
{
    c.action("orderFrontColorPanel:", &StandardPanelActions::orderFrontColorPanel);
    c.action("orderFrontFontPanel:", &StandardPanelActions::orderFrontFontPanel);
}

namespace {

// The standard toolbar items find these when the library has loaded, before any toolbar is made.
[[maybe_unused]] const bool standardPanelsActionsInstalled = [] {
    standardPanelActions() = fnd::makeObject<StandardPanelActions>();
    return true;
}();

}

}
