#include "platform/ui/panels/detail/StandardPanels.h"

#include "platform/foundation/runtime/ClassBuilder.h"
#include "platform/ui/panels/ColorPanel.h"
#include "platform/ui/panels/FontPanel.h"
#include "platform/ui/views/detail/StandardPanelActions.h"

namespace ui::detail {

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
