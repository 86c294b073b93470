#pragma once

#include "platform/foundation/runtime/Object.h"

#include <memory>

namespace ui::detail {

// The target of the standard toolbar items that bring the shared colour and font panels to the front
// ("orderFrontColorPanel:", "orderFrontFontPanel:"). The panels, a layer above the toolbars, put theirs here when the
// library loads; until then (and without them) it is nullptr.
std::shared_ptr<fnd::Object>& standardPanelActions();

}
