#pragma once

#include "platform/foundation/runtime/String.h"

namespace gfx {
class Color;
}

namespace ui {

// A colour as assistive technologies read it ("red 100%, green 50%, blue 0%", with its opacity when it is not
// opaque), from the platform's string table; empty for a colour without components (a pattern).
fnd::String accessibilityColorDescription(const gfx::Color& color);

}
