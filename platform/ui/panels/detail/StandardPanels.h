#pragma once

#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/ui/views/Application.h"

#include <memory>

namespace ui::detail {

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
