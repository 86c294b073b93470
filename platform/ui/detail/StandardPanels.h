#pragma once

#include "platform/foundation/Object.h"

#include <memory>

namespace ui::detail {

// The target of the standard toolbar items that bring the shared colour and font panels to the front
// ("orderFrontColorPanel:", "orderFrontFontPanel:").
std::shared_ptr<fnd::Object> standardPanelActions();

}
