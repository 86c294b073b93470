#pragma once

#include "platform/graphics/Font.h"

// The values controls, cells and menu items share and the look draws: a state and a size.

namespace ui {

// Values of an item's (and a button's) state.
enum class ControlStateValue : int { Mixed = -1, Off = 0, On = 1 };

using ControlSize = gfx::ControlSize;

}
