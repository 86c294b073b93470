#pragma once

#include "platform/foundation/bindings/SelectionMarker.h"

namespace ui::detail {

// What a control shows for a selection marker when its binding's options give no placeholder.
fnd::String defaultPlaceholder(fnd::SelectionMarker::Kind kind);

}
