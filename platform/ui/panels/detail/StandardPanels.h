#pragma once

#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/ui/views/Application.h"

#include <memory>

namespace ui {
class Window;
}

namespace ui::detail {

// Shows a panel that is not on screen beside the main window (right of it, else left), its top level with the
// window's top and stepped down below a panel already there, inside the visible frame; makes it key either way.
void orderFrontBesideMainWindow(Window& panel);

// Where the shared colour or font panel is kept. The panel lives until the program ends; what its views use then must
// be made first, so it is gone later.
template <typename Panel> std::shared_ptr<Panel>& sharedPanelSlot()
{
    (void)fnd::NotificationCenter::defaultCenter();
    (void)Application::sharedPointer();
    static std::shared_ptr<Panel> panel;
    return panel;
}

}
