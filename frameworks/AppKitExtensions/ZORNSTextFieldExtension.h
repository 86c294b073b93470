#pragma once

#include "platform/graphics/Color.h"
#include "platform/ui/text/TextField.h"

namespace ZORNSTextFieldExtension {

// Shows the field's current text in a colour: its value becomes that text in the system font of the cell's control
// size, with the colour and the field's alignment.
void markTextField(ui::TextField& field, const gfx::ColorPtr& color);

}
